#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>

// The fixed-column record of the log and everything cut from it: small pure functions
// that the windows and the routines of Sous_Programmes share.
namespace Enregistrement {

// Where each field of the record stands: its first character (0-based) and its width. The
// one place the record's columns are written; a line of the main list is the record behind
// its number, Debut_Enregistrement_Liste characters further on.
struct Place
{
    int debut;
    int largeur;
};
constexpr Place Place_Date{0, 8};
constexpr Place Place_Marque{9, 1};
constexpr Place Place_Reference{10, 5};
constexpr Place Place_Departement{10, 2}; // the reference's first two characters
constexpr Place Place_Marque_Reference{9, 6}; // "*2A001", as the reports show them
constexpr Place Place_Type{17, 22};
constexpr Place Place_Indicatif{41, 12};
constexpr int Longueur_Ligne_Log = 53;
constexpr int Debut_Enregistrement_Liste = 8;
// The same field in a line of the main list.
constexpr Place Dans_Liste(Place p)
{
    return {p.debut + Debut_Enregistrement_Liste, p.largeur};
}

// Widths of the record's fields.
constexpr int Largeur_Date = Place_Date.largeur;
constexpr int Largeur_Reference = Place_Reference.largeur;
constexpr int Largeur_Type = Place_Type.largeur;
constexpr int Largeur_Indicatif = Place_Indicatif.largeur;

// Characters from a 1-based position, as the original Mid$ does: nothing past the end.
QStringView Champ(QStringView ligne, int position, int largeur);
QString Champ_Nettoye(QStringView ligne, int position, int largeur); // blanks removed at both ends
// A field at its place, nothing past the end; the same without its blanks at both ends.
inline QStringView Champ(QStringView ligne, Place p)
{
    return Champ(ligne, p.debut + 1, p.largeur);
}
inline QString Champ_Nettoye(QStringView ligne, Place p)
{
    return Champ_Nettoye(ligne, p.debut + 1, p.largeur);
}
// A field at its place in a record's bytes (one byte a character in the log's code page).
inline QByteArrayView Champ_Octets(QByteArrayView ligne, Place p)
{
    if (p.debut >= ligne.size())
        return {};
    return ligne.sliced(p.debut, qMin<qsizetype>(p.largeur, ligne.size() - p.debut));
}

// Date + " " + mark + reference + "  " + type + "  " + callsign, each padded to its width.
QString Construire_Ligne_Log(const QString& date, bool attente, const QString& reference,
                             const QString& type, const QString& indicatif);
// The line number right-aligned in 5, three blanks, then the record cut to 53 characters.
QString Construire_Ligne_Liste(int numero, QStringView ligneLog);
// The record behind a main list's line number.
inline QStringView Ligne_Log_De_Liste(QStringView ligneListe)
{
    return ligneListe.mid(qMin<qsizetype>(Debut_Enregistrement_Liste, ligneListe.size()));
}
// A list line is empty when its 8 characters from position 17 hold no QSO.
bool Ligne_Liste_Vide(QStringView ligneListe);

// The nine activity types of the entry list, in their order.
const QStringList& Types_Activite();
int Points_Du_Type(int index);
// Row of the table for a type text (already trimmed), "Double" counting as the ninth; -1 when unknown.
int Index_Du_Type(QStringView type);
// Points of one record line: 0 with the mark "*", otherwise those of its type.
int Points_Ligne(QStringView ligneLog);

// 0 when the eight characters have the form "JJ/MM/AA", otherwise 1; the length is the caller's.
int Controle_Format_Date(QStringView texte);

// "JJ/MM/AA" from a date, "hh:mm:ss" from a time.
QString Texte_Date(const QDate& date);
QString Texte_Date_Longue(const QDate& date); // "JJ/MM/AAAA"
QString Texte_Heure(const QTime& heure);

// A record's date read as a number AAAAMMJJ, its two-digit year widened: 50-99 give 19xx,
// 00-49 give 20xx. Returns false when the text does not begin with a readable date.
bool Date_Comparable(QStringView debutLigne, int& valeur);

// Departement number of a reference's code for the summary: 2A/2a 96, 2B/2b 97,
// otherwise the value of its leading digits (0 without any).
int Numero_Departement(QStringView code);
// Box of the map painted by a code: 2A/2a 96, 2B/2b 97, two digits their value; -1 for none.
int Case_Departement(QStringView code);

} // namespace Enregistrement
