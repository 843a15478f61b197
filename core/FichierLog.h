#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// What a file operation gives back: 0 when it went well, otherwise the original platform's
// run-time error number (53 file not found, 70 permission denied, 57 device I/O error,
// 61 disk full, 75 path/file access error) and a French sentence naming the file and the cause.
struct ErreurFichier
{
    int numero = 0;
    QString message;
    bool ok() const { return numero == 0; }
};

// Reading and rewriting the log and the files beside it. Every rewrite is atomic: the new
// content goes whole to a temporary file in the same directory, is flushed to disk, and
// replaces the file in one rename, so the file on disk is always the old one or the new one.
namespace FichierLog {

QString Nom_Log(const QString& repertoire, const QString& indicatif, const QString& annee);
QString Nom_Modele(const QString& repertoire);

// Lines as bytes, without their line ends.
ErreurFichier Lire(const QString& chemin, QList<QByteArray>& lignes);
// The whole file's bytes.
ErreurFichier Lire_Tout(const QString& chemin, QByteArray& contenu);
// Appends one line and its CR LF, and flushes it to disk before returning.
ErreurFichier Ajouter(const QString& chemin, const QByteArray& ligne);
// Writes every line with CR LF to a device; stops at the first failure.
ErreurFichier Ecrire(QIODevice& sortie, const QList<QByteArray>& lignes, const QString& nomPourMessage);
// Replaces the file with these lines, atomically.
ErreurFichier Reecrire(const QString& chemin, const QList<QByteArray>& lignes);
// Copies a file to another name, atomically, replacing it.
ErreurFichier Copier(const QString& source, const QString& destination);
bool Existe(const QString& chemin);

// The French words for an error number, for messages.
QString Cause(int numero);

} // namespace FichierLog
