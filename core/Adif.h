#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

// The tagged exchange format of amateur-radio logging programs (.adi files): reading and
// writing fields and records, nothing about the log. No widget here.
namespace Adif {

struct Champ
{
    QByteArray nom; // upper case
    QString valeur;
};

struct Enregistrement_Adif
{
    int numero = 0; // 1 for the first record of the file
    QList<Champ> champs;
    // The value of a field (name in upper case), empty when the record does not have it.
    QString Valeur(QByteArrayView nom) const;
    bool Possede(QByteArrayView nom) const;
};

struct Lecture
{
    bool entete = false; // an <EOH> was met
    QList<Champ> champsEntete;
    QList<Enregistrement_Adif> enregistrements;
    // Fields whose name breaks the format's rules, skipped with their data.
    int champsIgnores = 0;
    // The number of a last record cut off by the end of the file (left out), 0 when none.
    int enregistrementCoupe = 0;
};

// Why a file could not be read: the record where reading stopped (0 for the file as a whole)
// and the cause in French.
struct Erreur_Adif
{
    int enregistrement = 0;
    QString raison;
    // True when the file is of another kind altogether (a picture, a spreadsheet): the reason
    // then names what it looks like.
    bool autreNature = false;
    bool ok() const { return raison.isEmpty(); }
};

// The reader tells its progress at least once per this many bytes.
constexpr qsizetype Pas_Avancement = qsizetype(64) << 10;
// Fields of the XML form sit four elements deep; a file nested far deeper is damaged.
constexpr int Profondeur_Maximale_Adx = 100;

// Reads a whole file's bytes, tagged (.adi) or XML (.adx). Tags in any case, blanks inside a
// tag, fields in any order, text between fields ignored, lengths counted in bytes (in
// characters when only that count ends where a field can end), each value decoded as UTF-8
// when it is valid UTF-8 and as Windows-1252 otherwise. Fields named against the rules are
// skipped with their data and counted; a last record cut off by the end of the file is left
// out and named. When `gardes` is not empty only the fields it names (upper case) are kept,
// so that a large file costs little memory. `avancement` is told how many bytes have been
// read at least once every Pas_Avancement bytes, reading costing a time in proportion to the
// bytes whatever their shape: its caller decides by the clock when to look at it. A file
// of another kind, a bad length or tag inside a record, a file of which nothing whole can be
// read, an XML file nested deeper than Profondeur_Maximale_Adx give an error and no records.
Erreur_Adif Lire(QByteArrayView octets, Lecture& lecture, const QSet<QByteArray>& gardes = {},
                 const std::function<void(qsizetype)>& avancement = {});
// The XML form alone; Lire hands it what begins like XML.
Erreur_Adif Lire_Adx(QByteArrayView octets, Lecture& lecture, const QSet<QByteArray>& gardes = {},
                     const std::function<void(qsizetype)>& avancement = {});
// What a file that no logging program wrote looks like ("une image PNG"), empty when nothing
// is recognised.
QString Nature_Fichier(QByteArrayView octets);

// The sentence shown to the user for an error met in the named file.
QString Message_Erreur(const QString& nomFichier, const Erreur_Adif& erreur);

// A value as the format wants it: ASCII only. Accented letters lose their accent, any other
// character outside 32-126 (line ends included) becomes "?".
QByteArray Ascii(QStringView valeur);
// "<NAME:length>value" with the value made ASCII; nothing for an empty value.
QByteArray Ecrire_Champ(QByteArrayView nom, QStringView valeur);
// The same, added at the end of a file being written, without a copy of its own.
void Ajouter_Champ(QByteArray& sortie, QByteArrayView nom, QStringView valeur);

} // namespace Adif
