#pragma once

#include <QString>
#include <QStringList>

// Where the logs, the copy of the template and the exports live. A program folder this user
// can write keeps them, as it always did (the per-user install, the build folder); a shared
// one, installed read-only for every user of the machine, sends each user to a folder of his
// own. The choice is made once at start-up, and the manual, the licences and the original
// template stay in the program folder whatever it is.
struct Choix_Dossier
{
    // The folder in use for the logs, the template copy and the exports.
    QString dossier;
    // True when that folder is the program folder itself.
    bool programme = true;
    // A French sentence when the user's folder could not be made ready; empty otherwise.
    QString erreur;
};

namespace Dossier_Logs {

// True when a file can really be created in the folder: the rights, a read-only file system
// and access lists all count, as they will for the log's own rewrites.
bool Ecrivable(const QString& dossier);

// The program folder when it is writable and not shared; otherwise the user's folder,
// created if needed, with the program's empty template copied into it when it has none.
// A shared program folder (the system's package) is never written, even by root.
Choix_Dossier Choisir(const QString& programme, const QString& utilisateur, bool partage = false);

// The first of these folders, other than `enUsage`, that holds the log of this station and
// year: where a log is found again after a move between the per-user install and the
// package. Folders are compared by their real path; empty or missing ones are passed over.
QString Trouver_Log(const QStringList& dossiers, const QString& enUsage, const QString& indicatif, const QString& annee);

} // namespace Dossier_Logs
