#include "Modele_Log.h"

#include <utility>

namespace Modele_Log {

QList<QByteArray> Lignes(const QByteArray& octets)
{
    QList<QByteArray> lignes = octets.split('\n');
    // A file ending in a line end has nothing after it.
    if (!lignes.isEmpty() && lignes.last().isEmpty())
        lignes.removeLast();
    for (QByteArray& l : lignes)
        if (l.endsWith('\r'))
            l.chop(1);
    return lignes;
}

QByteArray Joindre(const QList<QByteArray>& lignes)
{
    QByteArray octets;
    for (const QByteArray& l : lignes)
        octets += l + "\r\n";
    return octets;
}

static int Chiffres(const QByteArray& l, int i)
{
    const char a = l.at(i), b = l.at(i + 1);
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

int Date(const QByteArray& ligne)
{
    if (ligne.size() < 8 || ligne.at(2) != '/' || ligne.at(5) != '/')
        return -1;
    const int j = Chiffres(ligne, 0), m = Chiffres(ligne, 3), a = Chiffres(ligne, 6);
    if (j < 0 || m < 0 || a < 0)
        return -1;
    return ((a >= 50 ? 1900 : 2000) + a) * 10000 + m * 100 + j;
}

QByteArray Ajout(const QByteArray& avant, const QByteArray& enregistrement)
{
    QByteArray apres = avant;
    if (!apres.isEmpty() && !apres.endsWith('\n'))
        apres += apres.endsWith('\r') ? "\n" : "\r\n";
    return apres + enregistrement + "\r\n";
}

QByteArray Insertion(const QByteArray& avant, const QByteArray& enregistrement)
{
    QList<QByteArray> lignes = Lignes(avant);
    const int nouvelle = Date(enregistrement);
    qsizetype place = lignes.size();
    for (qsizetype i = 0; i < lignes.size() && nouvelle >= 0; ++i) {
        const int d = Date(lignes.at(i));
        if (d >= 0 && d >= nouvelle) {
            place = i;
            break;
        }
    }
    lignes.insert(place, enregistrement);
    return Joindre(lignes);
}

QByteArray Remplacement(const QByteArray& avant, const QByteArray& cle, const QByteArray& enregistrement)
{
    QList<QByteArray> lignes = Lignes(avant);
    bool trouve = false;
    for (QByteArray& l : lignes)
        if (l == cle) {
            l = enregistrement;
            trouve = true;
        }
    if (!trouve)
        lignes.append(enregistrement);
    return Joindre(lignes);
}

static QByteArray Sans_Blancs(QByteArray b)
{
    while (b.endsWith(' '))
        b.chop(1);
    while (b.startsWith(' '))
        b.remove(0, 1);
    return b;
}

QByteArray Suppression(const QByteArray& avant, const QByteArray& reference)
{
    const QByteArray cle = Sans_Blancs(reference);
    QList<QByteArray> lignes = Lignes(avant), gardees;
    for (const QByteArray& l : std::as_const(lignes))
        if (cle.isEmpty() || l.size() <= 10 || Sans_Blancs(l.mid(10, 5)) != cle)
            gardees.append(l);
    return gardees.size() == lignes.size() ? avant : Joindre(gardees);
}

static int Index_Type(const QByteArray& type)
{
    static const char* const types[] = {"Chateau Contacte",     "Reactivation Contactee", "Resident Contacte",
                                        "Chateau active",       "Reactivation activee",   "Resident active",
                                        "Operateur activation", "Operateur reactivation", "Double ou non valid\xe9"};
    for (int i = 0; i < 9; ++i)
        if (type == types[i])
            return i;
    return type == "Double" ? 8 : -1;
}

static QByteArray Type(const QByteArray& ligne)
{
    QByteArray t = ligne.mid(17, 22);
    while (t.startsWith(' '))
        t.remove(0, 1);
    while (t.endsWith(' '))
        t.chop(1);
    return t;
}

int Points(const QByteArray& ligne)
{
    static const int points[] = {2, 1, 1, 6, 3, 3, 6, 3, 0};
    if (ligne.size() >= 10 && ligne.at(9) == '*')
        return 0;
    const int i = Index_Type(Type(ligne));
    return i < 0 ? 0 : points[i];
}

int Total(const QByteArray& octets)
{
    int total = 0;
    for (const QByteArray& l : Lignes(octets))
        total += Points(l);
    return total;
}

bool Enregistrement_Complet(const QByteArray& ligne)
{
    if (ligne.size() < 42 || ligne.size() > 53 || Date(ligne) < 0 || ligne.at(8) != ' ')
        return false;
    if (ligne.at(9) != ' ' && ligne.at(9) != '*')
        return false;
    for (int i = 10; i < 15; ++i) {
        const char c = ligne.at(i);
        if (!((c >= '0' && c <= '9') || c == 'A' || c == 'B'))
            return false;
    }
    return ligne.mid(15, 2) == "  " && Index_Type(Type(ligne)) >= 0 && ligne.mid(39, 2) == "  ";
}

} // namespace Modele_Log
