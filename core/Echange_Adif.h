#pragma once

#include "Adif.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Between the log and the exchange format: what an imported file adds to the log, and the
// log written out for other programs. No widget here; the import window only shows this.
namespace Echange_Adif {

// The program's name in the format's application fields: APP_QEZ_KVRT_<name>.
inline constexpr char Programme[] = "QEZ_KVRT";
inline constexpr char Nom_Challenge[] = "KVRT";

// The fields an import looks at; the others are left aside while reading.
const QSet<QByteArray>& Champs_Utiles();

enum class Verdict {
    Ajoute,            // to be added
    Ajoute_Deja_Vu,    // to be added, but the castle is already contacted
    Deja_Dans_Log,     // same date, reference and callsign already in the log
    Double_Fichier,    // the same QSO earlier in the same file
    Autre_Annee,       // not of the Challenge's year
    Sans_Reference,    // no castle reference
    Refuse             // unreadable date or callsign
};

struct Options
{
    int typeContacte = 0; // row of the nine types for a "contacted" QSO
    int typeActive = 3;   // row for an activation
    bool attente = false; // mark the QSOs "*"
    bool chercherDansTexte = false; // a reference in COMMENT, NOTES or QSLMSG
    QString annee;        // the Challenge's year, four digits
    // The SIG and MY_SIG values that name the Challenge, compared without case: other
    // loggers may spell it their own way.
    QStringList nomsSig = {QString::fromLatin1(Nom_Challenge)};

    bool operator==(const Options& o) const
    {
        return typeContacte == o.typeContacte && typeActive == o.typeActive && attente == o.attente
               && chercherDansTexte == o.chercherDansTexte && annee == o.annee && nomsSig == o.nomsSig;
    }
};

// The names typed in the import window ("KVRT, Chateaux KVRT"), separated by commas or
// semicolons; the Challenge's own name when none.
QStringList Noms_Sig(QStringView texte);

struct Qso_Import
{
    int numero = 0;       // record number in the file
    QString date;         // "JJ/MM/AA" when readable, otherwise the raw value
    QString indicatif;
    QString reference;
    QString type;
    bool attente = false;
    Verdict verdict = Verdict::Refuse;
    QString raison;       // the reason of a refusal, or the date of the earlier contact
    QString chateauContacte; // from castle to castle: the castle contacted, not counted
    bool activation = false;  // the operator was at the castle (MY_SIG)
    bool notreExport = false; // written by this program's export, with its own type
    QByteArray ligne;     // the record line, for the QSOs to add
    bool Ajoute() const { return verdict == Verdict::Ajoute || verdict == Verdict::Ajoute_Deja_Vu; }
};

// A reference of the log's shape: two characters of departement (digits, or 2A/2B), then
// three digits; given back in capitals, or empty.
QString Reference_Valide(QStringView texte);
// Every such reference standing alone in a free text (not inside a longer word or number)
// with the Challenge's name or the word château (chateau) next to it ("KVRT-29018",
// "château 29018", "29018 (KVRT)"), each once, in the order met. Other numbers of a comment
// (member numbers, distances, other programmes' references) are not castles.
QStringList References_Dans_Texte(QStringView texte);

// The verdict of each record against the log's current bytes, in the file's order.
QList<Qso_Import> Examiner(const QList<Adif::Enregistrement_Adif>& enregistrements, const Options& options,
                           const QByteArray& log);

// The French words of a verdict, as the preview shows them.
QString Texte_Verdict(const Qso_Import& qso);

// The lines of the QSOs to add, in the order to hand to the insertion by date (Insertion). The
// QSOs of our own export come back in the file's order within a day, so that a log exported
// and imported again is the same log; the others go in as typed one after the other.
QList<QByteArray> Lignes_A_Ajouter(const QList<Qso_Import>& qsos);

// The log as a file of the format: a header, then one record per QSO line. Lines that are not
// QSOs (no calendar date, no reference or no callsign) are left out and counted.
QByteArray Exporter(const QList<QByteArray>& lignes, const QString& indicatifStation, const QString& annee,
                    const QString& version, const QDateTime& maintenantUtc, int& ecartees, int& exportees);

// The name of the export, beside the log's: "<callsign>_Challenge_KVRT_<year>.adi".
QString Nom_Export(const QString& indicatif, const QString& annee);

} // namespace Echange_Adif
