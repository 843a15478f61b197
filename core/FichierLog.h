#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QFileDevice;
class QIODevice;

// What a file operation gives back: 0 when it went well, otherwise the original platform's
// run-time error number (53 file not found, 70 permission denied, 57 device I/O error,
// 61 disk full, 75 path/file access error) and a French sentence naming the file and the cause.
struct ErreurFichier
{
    int numero = 0;
    QString message;
    // The error came after the change reached the file (the disk did not confirm the folder's
    // sync): the file holds the change all the same.
    bool fait = false;
    bool ok() const { return numero == 0; }
};

// Reading and rewriting the log and the files beside it. Every rewrite is atomic: the new
// content goes whole to a temporary file in the same directory, is flushed to disk, and
// replaces the file in one rename, so the file on disk is always the old one or the new one.
namespace FichierLog {

// What a file's size and times were when last looked at: while they are the same, what was
// read or written then is still the file's.
struct Etat_Fichier
{
    bool existe = false;
    qint64 taille = 0;
    QDateTime modifie;
    QDateTime change;
    bool operator==(const Etat_Fichier& e) const
    {
        return existe == e.existe && taille == e.taille && modifie == e.modifie && change == e.change;
    }
    static Etat_Fichier De(const QString& chemin);
};

QString Nom_Log(const QString& repertoire, const QString& indicatif, const QString& annee);
// The callsign as the windows show it: every "_" of the log's name back to "/".
QString Indicatif_Affiche(const QString& indicatif);
QString Nom_Modele(const QString& repertoire);

// The log as the program reads it: a log saved again by a text editor (UTF-8, UTF-16, a byte-order
// mark, LF or CR line ends, trailing blanks taken away) comes back in the program's own form,
// so that the list, the points and every report are the same as for the file it wrote.
// Lines as bytes, without their line ends.
ErreurFichier Lire(const QString& chemin, QList<QByteArray>& lignes);
// The whole file's bytes, in the program's form.
ErreurFichier Lire_Tout(const QString& chemin, QByteArray& contenu);
// The file's bytes as they are on the disk.
ErreurFichier Lire_Octets(const QString& chemin, QByteArray& contenu);
// How many files Lire_Octets has read in this run: a change of the log reads it at most once.
int Nombre_Lectures();
// The file a path names once its symbolic links are followed: a log kept in a synced folder
// and linked into the program folder is written there, and the link stays a link.
QString Chemin_Reel(const QString& chemin);
// Refuses, before anything is written, a file the operator made read-only or that the user
// may not write: error 70 naming the file. A file that does not exist yet is no refusal.
ErreurFichier Verifier_Modifiable(const QString& chemin, const QString& action);
// A copy of a file's bytes beside the log, under a name of the program's own form:
// "<log without .txt>_<motif>_AAAAMMJJ-HHMMSS.txt", numbered when the second is taken.
// Gives back the name written, or the error.
ErreurFichier Garder_Copie(const QString& cheminLog, const QString& motif, const QByteArray& octets,
                           QString& copie);
// What a Windows error code (GetLastError) means for the operator: the error number the
// messages use and the French words of its cause.
struct Cause_Systeme
{
    int numero = 57;
    QString texte;
};
Cause_Systeme Cause_Windows(quint32 code);
// The same for an errno value; numero 0 when it tells nothing of its own.
Cause_Systeme Cause_Errno(int code);
// True for the Windows errors that another program holding the file for a moment gives
// (an antivirus or an indexer): a rename is tried again for a short time before failing.
bool Passager_Windows(quint32 code);
// Appends one line and its CR LF, and flushes it and its folder to disk before returning.
// When given, avant is called with the log's size and the exact bytes about to be appended
// before anything is written; an error from it stops the append.
ErreurFichier Ajouter(const QString& chemin, const QByteArray& ligne,
                      const std::function<ErreurFichier(qint64 taille, const QByteArray& donnees)>& avant = {});
// Writes every line with CR LF to a device; stops at the first failure.
ErreurFichier Ecrire(QIODevice& sortie, const QList<QByteArray>& lignes, const QString& nomPourMessage);
// Replaces the file with these lines, atomically.
ErreurFichier Reecrire(const QString& chemin, const QList<QByteArray>& lignes);
// Replaces the file with these bytes, atomically.
ErreurFichier Reecrire_Octets(const QString& chemin, const QByteArray& contenu);
// Flushes a folder's entries to disk: a rename or a new file is durable only then.
ErreurFichier Synchroniser_Dossier(const QString& cheminDansDossier);
// Pushes an open file's bytes to the disk (fsync, FlushFileBuffers); false when the disk
// says it could not.
bool Vers_Le_Disque(QFileDevice& fichier);
// Removes the temporary files of the program's own rewrites that a crash left beside a file
// (name.kvrt-tmp-XXXXXX), when they are older than the file and no process has them open;
// gives back the names removed. Any other file beside it is the operator's and stays.
QStringList Nettoyer_Restes(const QString& chemin);
// Gives a file another name in its folder (the journal set aside): on Windows tried again for
// a short time, as a rewrite is, while another program holds the file; action says what was
// not done ("impossible de mettre de côté") in the message of a failure.
ErreurFichier Renommer(const QString& source, const QString& cible, const QString& action);
// Copies a file to another name, atomically, replacing it.
ErreurFichier Copier(const QString& source, const QString& destination);
bool Existe(const QString& chemin);

// The French words for an error number, for messages.
QString Cause(int numero);
// "Erreur N° 57 : impossible de créer le fichier", its path, the cause, then suite: a file
// beside the log that could not be written.
QString Texte_Echec_Creation(const ErreurFichier& e, const QString& chemin, const QString& suite);
// Why a file the operator chose to write may not be written there: it is the log or its
// journal (at `journal`), by whatever path ("<quoi> ne peut pas remplacer le log ni son
// journal", then suite); empty when it may.
QString Refus_Cible(const QString& chemin, const QString& log, const QString& journal, const QString& quoi,
                    const QString& suite);

} // namespace FichierLog
