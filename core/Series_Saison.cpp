#include "Series_Saison.h"

#include "Enregistrement.h"
#include "Texte1252.h"

#include <algorithm>
#include <vector>

namespace Series_Saison {

int Mois::total() const
{
    int n = autres;
    for (int q : qso)
        n += q;
    return n;
}

namespace {

// The mark "*" of a castle waiting for validation.
bool Marque(QByteArrayView l)
{
    return l.size() > Enregistrement::Place_Marque.debut && l[Enregistrement::Place_Marque.debut] == '*';
}

// The fields of one record, read from its bytes: the log is single-byte text, so the
// fixed positions are byte positions and nothing needs decoding.
struct Lecture
{
    int cle_date = -1;   // AAAAMMJJ, -1 when the date cannot be read
    int type = -1;       // row of the table, -1 when unknown
    int points = 0;      // what it scores now
    int points_prevus = 0; // what it scores once validated
    int departement = 0; // the summary's number, 0 for none
    bool attente = false;
};

const std::array<QByteArray, Nombre_Types>& Types_Octets()
{
    static const std::array<QByteArray, Nombre_Types> types = [] {
        std::array<QByteArray, Nombre_Types> t;
        const QStringList& textes = Enregistrement::Types_Activite();
        for (int i = 0; i < Nombre_Types; ++i)
            t[size_t(i)] = Texte1252::Encoder(textes.at(i));
        return t;
    }();
    return types;
}

int Index_Type(QByteArrayView type)
{
    // Blanks only, as the record's Trim does.
    while (!type.isEmpty() && type.front() == ' ')
        type = type.sliced(1);
    while (!type.isEmpty() && type.back() == ' ')
        type.chop(1);
    const auto& types = Types_Octets();
    for (int i = 0; i < Nombre_Types; ++i)
        if (type == types[size_t(i)])
            return i;
    if (type == "Double")
        return 8;
    return -1;
}

int Chiffre(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

int Cle_Date(QByteArrayView l)
{
    if (l.size() < Enregistrement::Largeur_Date || l[2] != '/' || l[5] != '/')
        return -1;
    int v[6];
    const int positions[6] = {0, 1, 3, 4, 6, 7};
    for (int i = 0; i < 6; ++i)
        if ((v[i] = Chiffre(l[positions[i]])) < 0)
            return -1;
    const int jour = v[0] * 10 + v[1], mois = v[2] * 10 + v[3];
    int annee = v[4] * 10 + v[5];
    annee += annee >= 50 ? 1900 : 2000; // as the insertion by date widens it
    if (!QDate::isValid(annee, mois, jour))
        return -1;
    return annee * 10000 + mois * 100 + jour;
}

// The summary's number of a departement code, as Enregistrement::Numero_Departement reads it:
// only ASCII decides, digits and the Corsican letters.
int Departement(QByteArrayView code)
{
    if (code.size() == 2 && code[0] == '2') {
        if (code[1] == 'A' || code[1] == 'a')
            return 96;
        if (code[1] == 'B' || code[1] == 'b')
            return 97;
    }
    int valeur = 0;
    for (char c : code) {
        if (c < '0' || c > '9')
            break;
        valeur = valeur * 10 + (c - '0');
    }
    return valeur;
}

// The whole log's figures need no date: after each change they are counted without it.
Lecture Lire(QByteArrayView l, bool avecDate = true)
{
    Lecture r;
    if (avecDate)
        r.cle_date = Cle_Date(l);
    r.attente = Marque(l);
    r.type = Index_Type(Enregistrement::Champ_Octets(l, Enregistrement::Place_Type));
    r.points_prevus = Enregistrement::Points_Du_Type(r.type);
    r.points = r.attente ? 0 : r.points_prevus;
    r.departement = Departement(Enregistrement::Champ_Octets(l, Enregistrement::Place_Departement));
    return r;
}

// The 111 flags of the summary; the number 0 is never counted.
struct Drapeaux
{
    bool vu[111] = {};
    int compte = 0;
    void Marquer(int n)
    {
        if (n < 0 || n > 110 || vu[n])
            return;
        vu[n] = true;
        if (n != 0)
            ++compte;
    }
};

// One more line in the whole log's figures.
void Compter(Bilan& b, Drapeaux& departements, const Lecture& r)
{
    ++b.qso;
    b.points += r.points;
    if (r.attente)
        b.en_attente += r.points_prevus;
    if (r.type >= 0)
        ++b.par_type[size_t(r.type)];
    departements.Marquer(r.departement);
}

} // namespace

int Points_Octets(QByteArrayView ligne)
{
    if (Marque(ligne))
        return 0;
    return Enregistrement::Points_Du_Type(Index_Type(Enregistrement::Champ_Octets(ligne, Enregistrement::Place_Type)));
}

QString Texte_Bilan(const Bilan& b)
{
    // French puts 0 and 1 in the singular.
    return QStringLiteral("Points : %1 validés · %2 en attente · %3 %4")
        .arg(b.points)
        .arg(b.en_attente)
        .arg(b.departements)
        .arg(b.departements < 2 ? QStringLiteral("département") : QStringLiteral("départements"));
}

Bilan Calculer_Bilan(const QByteArray& contenuLog)
{
    Bilan b;
    Drapeaux d;
    Texte1252::Pour_Chaque_Ligne(contenuLog, [&](QByteArrayView l) { Compter(b, d, Lire(l, false)); });
    b.departements = d.compte;
    return b;
}

Series Calculer(const QByteArray& contenuLog)
{
    Series s;
    std::vector<Lecture> datees;
    datees.reserve(size_t(contenuLog.size() / (Enregistrement::Longueur_Ligne_Log + 2) + 1));
    Drapeaux tous;
    bool ordonnees = true;
    Texte1252::Pour_Chaque_Ligne(contenuLog, [&](QByteArrayView l) {
        const Lecture r = Lire(l);
        Compter(s.bilan, tous, r);
        if (r.cle_date < 0) {
            ++s.lignes_sans_date;
            return;
        }
        if (!datees.empty() && datees.back().cle_date > r.cle_date)
            ordonnees = false;
        datees.push_back(r);
    });
    s.bilan.departements = tous.compte;
    // The log is kept in date order by the insertion; a hand-edited one may not be.
    if (!ordonnees)
        std::stable_sort(datees.begin(), datees.end(),
                         [](const Lecture& a, const Lecture& b) { return a.cle_date < b.cle_date; });

    Drapeaux deps;
    int points = 0, prevus = 0;
    int jourCourant = -1;
    std::vector<std::pair<int, Mois>> mois; // (AAAA*12 + MM-1, month)
    for (const Lecture& r : datees) {
        points += r.points;
        prevus += r.points_prevus;
        deps.Marquer(r.departement);
        // The day and the month come from the record's own numbers: a date is made only when
        // a new day starts, a few hundred times a season rather than once per QSO.
        if (r.cle_date != jourCourant) {
            jourCourant = r.cle_date;
            s.jours.append(Jour{QDate(r.cle_date / 10000, r.cle_date / 100 % 100, r.cle_date % 100), 0, 0, 0});
        }
        Jour& j = s.jours.last();
        j.points = points;
        j.points_prevus = prevus;
        j.departements = deps.compte;

        const int annee = r.cle_date / 10000, numeroMois = r.cle_date / 100 % 100;
        const int cle = annee * 12 + numeroMois - 1;
        if (mois.empty() || mois.back().first != cle) {
            Mois m;
            m.annee = annee;
            m.mois = numeroMois;
            mois.emplace_back(cle, m);
        }
        Mois& m = mois.back().second;
        if (r.type >= 0)
            ++m.qso[size_t(r.type)];
        else
            ++m.autres;
    }
    if (!mois.empty() && mois.back().first - mois.front().first < Mois_Continus_Max) {
        for (int cle = mois.front().first, i = 0; cle <= mois.back().first; ++cle) {
            if (mois[size_t(i)].first == cle) {
                s.mois.append(mois[size_t(i++)].second);
            } else {
                Mois vide;
                vide.annee = cle / 12;
                vide.mois = cle % 12 + 1;
                s.mois.append(vide);
            }
        }
    } else {
        for (const auto& m : mois)
            s.mois.append(m.second);
    }
    return s;
}

} // namespace Series_Saison
