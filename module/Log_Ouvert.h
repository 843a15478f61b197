#pragma once

#include "FichierLog.h"
#include "Forme_Log.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

// The log the program works on, as it last read or wrote it: its bytes, with the file's size
// and times at that moment. Before it hands the bytes out it looks at the file, so that a
// change made by a text editor is seen; the file is read again only when it changed, or when
// the times cannot tell (a change within the file system's time step of the last one). After
// the program's own append or rewrite it takes the bytes it knows it wrote, without reading.
class Log_Ouvert
{
public:
    // The log at this path; what was held for another path is forgotten.
    void Ouvrir(const QString& chemin);
    const QString& Chemin() const { return m_chemin; }
    // The file the path leads to once its links are followed, as last looked at.
    const QString& Chemin_Reel() const { return m_reel; }

    // The log's bytes as they are on the disk, checked against the file first. douteAdmis: the
    // bytes held are taken when the file's times cannot tell, too (a check that only advises,
    // such as the warning of a castle already contacted, may; a change never does).
    ErreurFichier Lire_Octets(QByteArray& octets, bool douteAdmis = false);
    // The same in the program's form (Forme_Log::Remettre).
    ErreurFichier Lire_Contenu(QByteArray& contenu, bool douteAdmis = false);
    // True when these are the bytes, in the program's form, handed out by the last Lire_Contenu
    // and still held: a change that read them need not look at the file a second time.
    bool Tient(const QByteArray& contenu) const;
    // What the file held at the last check or write, not checked again; its form (worked out
    // once for those bytes), and the same bytes in the program's form.
    const QByteArray& Octets() const { return m_octets; }
    // False when nothing is held: never read, or the last read failed.
    bool Connu() const { return m_connu; }
    const Forme_Log::Examen& Examen();
    const QByteArray& Contenu();

    // Before a change: a log saved again by a text editor is written back whole in the program's
    // own form, so that a file never holds two encodings, and the editor's version is kept
    // beside it. avis: what to tell the operator of it; refus: why the log cannot be changed
    // (nothing was written then). lu: bytes Lire_Contenu has just given for this change, not
    // checked against the file a second time. A log that cannot be read is no refusal here:
    // the change reads it and says what is wrong.
    struct Mise_En_Forme
    {
        QString avis;
        QString refus;
    };
    Mise_En_Forme Mettre_En_Forme(const QByteArray* lu = nullptr);

    // After the program wrote the log whole, or appended to it: the bytes it now holds.
    void Ecrit(const QByteArray& octets);
    void Ajoute(QByteArrayView donnees);
    // The file is to be read at the next use (a write that failed, a repair made elsewhere).
    void Oublier();

    // How many times the file was read: a change reads it at most once.
    int Lectures() const { return m_lectures; }

private:
    using Etat_Fichier = FichierLog::Etat_Fichier;
    Etat_Fichier Etat_Actuel();
    void Noter(const QDateTime& depuis);
    bool Douteux() const;

    QString m_chemin;
    QString m_reel;
    bool m_connu = false;
    QByteArray m_octets;
    QByteArray m_contenu;   // in the program's form, shared with m_octets when it is already in it
    bool m_contenuFait = false;
    std::optional<Forme_Log::Examen> m_examen;
    Etat_Fichier m_etat;
    // When the bytes were known to be the file's: a write after it within the time step of
    // the file's time could leave size and time as they were.
    QDateTime m_vu;
    int m_lectures = 0;
};
