#include "Insertion.h"

#include "Ecriture_Lignes.h"
#include "Enregistrement.h"
#include "Texte1252.h"

#include <QByteArrayView>

#include <algorithm>
#include <climits>
#include <vector>

namespace Insertion {

namespace {

struct Place
{
    qsizetype devant; // index of the line it goes before, n for the end
    int date;
    qsizetype ordre;
};

// A record's date as Enregistrement::Date_Comparable reads it, from the bytes themselves:
// the digits and the slashes of Windows-1252 are ASCII, and any other byte is neither.
bool Date_Octets(QByteArrayView l, int& valeur)
{
    if (l.size() < 8 || l[2] != '/' || l[5] != '/')
        return false;
    int v[3];
    for (int k = 0; k < 3; ++k) {
        const char a = l[3 * k], b = l[3 * k + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9')
            return false;
        v[k] = (a - '0') * 10 + (b - '0');
    }
    const int annee = v[2] + (v[2] >= 50 ? 1900 : 2000);
    valeur = annee * 10000 + v[1] * 100 + v[0];
    return true;
}

// Where each new record goes among the n lines of the log, `ligne(i)` giving the bytes of the
// i-th: in the order they are to be written.
template <typename Ligne>
QList<Place> Places_Par_Date(qsizetype n, Ligne ligne, const QList<QByteArray>& nouvelles)
{
    QList<Place> places;
    places.reserve(nouvelles.size());
    if (nouvelles.size() == 1) {
        // One QSO, as the entry area inserts it: the first line dated on or after it, and the
        // lines after that are not even looked at.
        int valeur = INT_MAX;
        Date_Octets(nouvelles.first(), valeur);
        qsizetype devant = n;
        for (qsizetype i = 0; i < n; ++i) {
            int date = 0;
            if (Date_Octets(ligne(i), date) && date >= valeur) {
                devant = i;
                break;
            }
        }
        places.append(Place{devant, valeur, 0});
        return places;
    }
    // A new record goes before the first line whose date is on or after its own, that is the
    // first line where the greatest date seen so far reaches it: that greatest date only
    // grows, so the place is found by a binary search and a long log is read once.
    QList<int> plusGrande(n);
    int maximum = INT_MIN;
    for (qsizetype i = 0; i < n; ++i) {
        int valeur = 0;
        if (Date_Octets(ligne(i), valeur))
            maximum = qMax(maximum, valeur);
        plusGrande[i] = maximum;
    }
    for (qsizetype k = 0; k < nouvelles.size(); ++k) {
        int valeur = INT_MAX;
        Date_Octets(nouvelles.at(k), valeur);
        const qsizetype devant = std::lower_bound(plusGrande.cbegin(), plusGrande.cend(), valeur) - plusGrande.cbegin();
        places.append(Place{devant, valeur, k});
    }
    // New records that go before the same line keep their dates in order, and of two on the
    // same day the later one goes first, as it would when typed after the other.
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        if (a.devant != b.devant)
            return a.devant < b.devant;
        if (a.date != b.date)
            return a.date < b.date;
        return a.ordre > b.ordre;
    });
    return places;
}

} // namespace

QList<QByteArray> Inserer_Par_Date(const QList<QByteArray>& lignes, const QList<QByteArray>& nouvelles)
{
    const qsizetype n = lignes.size();
    const QList<Place> places = Places_Par_Date(n, [&](qsizetype i) { return QByteArrayView(lignes.at(i)); }, nouvelles);
    QList<QByteArray> resultat;
    resultat.reserve(n + nouvelles.size());
    qsizetype p = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        while (p < places.size() && places.at(p).devant == i)
            resultat.append(nouvelles.at(places.at(p++).ordre));
        if (i < n)
            resultat.append(lignes.at(i));
    }
    return resultat;
}

QByteArray Inserer_Dans_Log(const QByteArray& log, const QList<QByteArray>& nouvelles)
{
    if (nouvelles.size() == 1) {
        // One QSO, as the entry area inserts it: one pass over the lines, which need not be
        // looked at once it has its place.
        const QByteArray& nouvelle = nouvelles.first();
        int valeur = INT_MAX;
        Date_Octets(nouvelle, valeur);
        Ecriture_Lignes resultat(log.size() + nouvelle.size() + 4);
        bool placee = false;
        Texte1252::Pour_Chaque_Ligne(log, [&](QByteArrayView ligne) {
            int date = 0;
            if (!placee && Date_Octets(ligne, date) && date >= valeur) {
                resultat.Ligne(nouvelle);
                placee = true;
            }
            resultat.Ligne(ligne);
        });
        if (!placee)
            resultat.Ligne(nouvelle);
        return resultat.Octets();
    }
    // The log's lines are looked at where they lie, not copied one by one: a long log is
    // rewritten at the cost of one copy of its bytes.
    std::vector<QByteArrayView> lignes;
    lignes.reserve(size_t(log.size() / (Enregistrement::Longueur_Ligne_Log + 2) + 1));
    qsizetype taille = 0;
    Texte1252::Pour_Chaque_Ligne(log, [&](QByteArrayView ligne) {
        lignes.push_back(ligne);
        taille += ligne.size() + 2;
    });
    for (const QByteArray& l : nouvelles)
        taille += l.size() + 2;
    const qsizetype n = qsizetype(lignes.size());
    const QList<Place> places = Places_Par_Date(n, [&](qsizetype i) { return lignes[size_t(i)]; }, nouvelles);
    QByteArray resultat;
    resultat.reserve(taille);
    qsizetype p = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        while (p < places.size() && places.at(p).devant == i) {
            resultat += nouvelles.at(places.at(p++).ordre);
            resultat += "\r\n";
        }
        if (i < n) {
            resultat.append(lignes[size_t(i)]);
            resultat += "\r\n";
        }
    }
    return resultat;
}

} // namespace Insertion
