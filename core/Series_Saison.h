#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>

#include <array>

// How the season goes, computed from the log's bytes in one pass: the points day by day, what
// they become once the castles waiting for validation are validated, the QSOs of each month by
// activity type, and the departements contacted so far. The summary's rules apply: a "*" QSO
// scores nothing yet but counts in its type and its departement.
namespace Series_Saison {

constexpr int Nombre_Types = 9;

// A day that holds at least one QSO with a readable date, and the log's figures at its end.
struct Jour
{
    QDate date;
    int points = 0;       // validated points so far
    int points_prevus = 0; // the same once every "*" QSO of those days is validated
    int departements = 0; // different departements contacted so far
};

// A month of the season; months without QSO between the first and the last are kept, empty,
// so that the bars stand in calendar order without gaps.
struct Mois
{
    int annee = 0;
    int mois = 0;
    std::array<int, Nombre_Types> qso{}; // by row of the table of activity types
    int autres = 0;                      // type text not in the table
    int total() const;
};

// The whole log, dated lines or not: what the main window's score line shows.
struct Bilan
{
    int points = 0;       // equals the total of points of the log
    int en_attente = 0;   // what the "*" QSOs will earn once validated
    int departements = 0; // the summary's count of departements
    int qso = 0;          // lines of the log
    std::array<int, Nombre_Types> par_type{}; // lines of each row of the table, "*" ones included
};

struct Series
{
    QList<Jour> jours;
    QList<Mois> mois;
    Bilan bilan;
    // Lines whose date cannot be read: in the totals, not in the curves.
    int lignes_sans_date = 0;
};

Series Calculer(const QByteArray& contenuLog);
Bilan Calculer_Bilan(const QByteArray& contenuLog);

// The points of one record read from its bytes, by the same rule as Enregistrement::Points_Ligne.
int Points_Octets(QByteArrayView ligne);

// "Points : N validés · M en attente · D départements"
QString Texte_Bilan(const Bilan& b);

// Past this many months from the first to the last, only the months that hold QSOs are kept:
// a line of another era must not stretch the bars over decades.
constexpr int Mois_Continus_Max = 36;

} // namespace Series_Saison
