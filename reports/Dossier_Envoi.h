#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The folder the operator sends the organisers at the season's end, beside the log: the log
// byte for byte, the export of the contacted castles, a one-page summary in PDF and the
// SHA-256 of each, in the form `sha256sum -c` reads. It is written whole under a temporary
// name and renamed into place, or not at all; it shows nothing and says what happened by its
// result.
namespace Dossier_Envoi {

struct Demande
{
    QString log;       // the log's path; the folder goes beside it
    QString indicatif; // the station, as in the log's name ("F1ABC", "F_ABC")
    QString annee;     // the challenge's year
    QDate jour;        // today (UTC, as the export's date): the folder's name and the files' dates
};

struct Resultat
{
    QString dossier; // the folder written, empty on failure
    QString erreur;  // why nothing was written, in French, empty on success
    bool Ok() const { return erreur.isEmpty(); }
};

// "F1ABC_Challenge_KVRT_2009_envoi_28_03_09", named as the copies of the log are.
QString Nom_Dossier(const QString& nomLog, const QDate& jour);
// "F1ABC_Challenge_KVRT_2009_resume.pdf"
QString Nom_Resume(const QString& nomLog);
// The file of the hashes.
inline QString Nom_Empreintes() { return QStringLiteral("SHA256SUMS.txt"); }

// Writes the folder, replacing one of the same name (the same day) only once the new one is
// whole; no part-written folder stays behind a failure.
Resultat Preparer(const Demande& demande);

} // namespace Dossier_Envoi
