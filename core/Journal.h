#pragma once

#include "Differences.h"
#include "Empreinte.h"
#include "FichierLog.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The journal of a log's changes, kept beside it as "<log name>.journal": one line per change
// made by the program, written and flushed to disk before the log itself is touched, holding
// the bytes needed to reverse the change exactly. Undo, redo and the return to an older state
// are atomic rewrites of the log and are journalled like any other change.
namespace Journal {

enum class Genre { Modification, Annulation, Retablissement, Retour };

struct Entree
{
    qint64 numero = 0;
    Genre genre = Genre::Modification;
    // The change undone or redone; for a return, the entry whose state was brought back.
    qint64 cible = 0;
    QDateTime utc;
    QString operation;
    // Written by the append of one QSO's line: the only change that a crash or a power cut
    // can leave half done, every other being a rename that happens whole or not at all.
    bool ajout = false;
    Empreinte avant;
    Empreinte apres;
    QList<Bloc> blocs;
};

// One line of the journal, with its own check and the line end.
QByteArray Encoder_Entree(const Entree& e);
bool Decoder_Entree(QByteArrayView ligne, Entree& e);

// What the program keeps beside a log.
QString Chemin_Journal(const QString& cheminLog);

// The state of the undo and redo stacks, worked out from the entries in order.
struct Piles
{
    QList<qint64> faites;    // changes that can be undone, the last on top
    QList<qint64> annulees;  // changes undone that can be redone, the last undone on top
};
Piles Calculer_Piles(const QList<Entree>& entrees);

// The texts of the QSO lines a change added and removed, for the history window.
QStringList Lignes_Concernees(const Entree& e);

// The QSO lines, without their line ends, that the entries show the program wrote and that
// their latest state still held, which the log (in the program's form) no longer holds, in
// the order they were written. Lines are compared whole, their end blanks aside; a QSO the
// operator changed by hand is left out when the log with that one line put back is exactly
// the journal's latest state.
QList<QByteArray> Lignes_Disparues(const QList<Entree>& entrees, const QByteArray& contenuLog);

// The journal of one log, read once and kept in step with the file by its own writes.
class Journal_Log
{
public:
    explicit Journal_Log(const QString& cheminLog);

    QString Chemin_Log() const { return m_cheminLog; }
    QString Chemin() const { return Chemin_Journal(m_cheminLog); }
    const QList<Entree>& Entrees() const;

    enum class Accord {
        Sans_Journal,   // nothing journalled yet
        Accord,         // the log is the state after the last entry
        Reprise,        // the last entry never reached the log, or only part of its line did (a
                        // crash, a power cut): the log is as before it, and it was taken out
        Mis_De_Cote     // the log was changed outside the program: the journal was set aside
    };
    // Compares the log's bytes, as the program reads them, with the journal; takes out an
    // entry that never reached the log, and sets aside a journal that cannot explain the log.
    // The log itself is never changed. The name of a journal set aside is given back, or the
    // error that kept it in place (Mis_De_Cote all the same: the journal does not explain the log),
    // and with it, when asked for, the QSO lines it shows the program wrote that the log lacks.
    Accord Verifier(QByteArrayView contenuLog, QString* misDeCote = nullptr, ErreurFichier* erreur = nullptr,
                    QList<QByteArray>* disparues = nullptr);

    // What the check at start-up found and did.
    struct Demarrage
    {
        Accord accord = Accord::Sans_Journal;
        QString misDeCote;   // the journal set aside
        bool completee = false; // an appended QSO line had lost only its line end: given back
        QString copie;       // the log as it was, kept before a cut line was taken out
        ErreurFichier erreur; // the repair could not be written: the log is as it was
        // When the journal was set aside: the QSO lines it shows the program wrote that the
        // log no longer holds (an editor's stale save, or the operator's own deletions).
        QList<QByteArray> disparues;
    };
    // At start-up, from the log's bytes as they are on the disk: the one moment a QSO's
    // append may have been cut by a crash or a power cut. When the whole line is there and
    // only its line end is missing, the line is completed (it is the QSO the list showed);
    // when less is there, the log as it was is kept in a copy beside it before the part line
    // is taken out. Anything else that does not match the journal is the operator's: the
    // journal is set aside and the log left as it is.
    Demarrage Verifier_Au_Demarrage(const QByteArray& octetsLog);

    // The one way a change reaches the log: the entry goes to the journal first, then the
    // log is rewritten atomically. When that fails, the log is read back: the entry stays
    // when the log holds the change (the error's fait), and is taken out otherwise.
    ErreurFichier Reecrire(QByteArrayView ancien, const QByteArray& nouveau, Genre genre, qint64 cible,
                           const QString& operation, const QDateTime& utc);
    // An append: only the new bytes are written. The log is summed first and compared with
    // the journal's checksum of it, so that a change made elsewhere sets the journal aside.
    // precedent: the log's bytes as the caller has just checked them against the file, summed
    // instead of reading the log again when the file still has their size. ajoutees: the bytes
    // the append wrote (the line, its CR LF, and the line end a last line lacked).
    ErreurFichier Ajouter(const QByteArray& ligne, const QString& operation, const QDateTime& utc,
                          const QByteArray* precedent = nullptr, QByteArray* ajoutees = nullptr);

    // Undo and redo of the change on top of each stack; 0 numero when there is none.
    const Entree* A_Annuler() const;
    const Entree* A_Retablir() const;

    // The bytes of the log in the state after an entry, from its present bytes.
    bool Etat_Apres(QByteArrayView contenuLog, qint64 numero, QByteArray& etat) const;

    // Entries kept: at least this many, or every entry of the latest entry's year.
    static constexpr int Minimum_Garde = 500;
    // Journals set aside kept beside a log, the newest; older ones of the program's naming go.
    static constexpr int Gardes_De_Cote = 5;
    // A season of this many changes, most of them records of a QSO, keeps every entry (all
    // of one year) in a journal under this size: about 230 bytes an entry, the bound 300.
    static constexpr int Changements_Saison = 20000;
    static constexpr qint64 Taille_Saison_Maximale = 6'000'000;

    // Forgets what was read, so that the next use reads the file again.
    void Oublier();

    // What an undo, a redo or a return did.
    struct Resultat
    {
        enum Etat { Fait, Rien_A_Faire, Log_Modifie, Erreur };
        Etat etat = Rien_A_Faire;
        ErreurFichier erreur;
        QString operation;   // the change undone, redone, or the return's own name
        QString misDeCote;   // the journal set aside when the log was changed elsewhere
        QByteArray contenu;  // the bytes written to the log, when they were
    };
    // Each reads the log (or takes lu, its bytes as the caller has just read them), checks it
    // against the journal first, and never rewrites a log the journal does not fully explain.
    Resultat Annuler(const QDateTime& utc, const QByteArray* lu = nullptr);
    Resultat Retablir(const QDateTime& utc, const QByteArray* lu = nullptr);
    Resultat Revenir_A(qint64 numero, const QString& operation, const QDateTime& utc, const QByteArray* lu = nullptr);
    // The journal last set aside by this object, if any.
    QString Dernier_Mis_De_Cote() const { return m_misDeCote; }

private:
    bool Charger() const;
    ErreurFichier Noter(Entree& e);
    ErreurFichier Retirer_Derniere();
    // After a failed write of the log: reads it back, keeps the last entry when the log holds
    // its change (r.fait) and takes it out otherwise.
    ErreurFichier Apres_Echec(ErreurFichier r, const Empreinte& apres);
    ErreurFichier Compacter();
    void Borner();
    // Renames the journal aside (its name in m_misDeCote); the error when it stays in place.
    ErreurFichier Mettre_De_Cote();
    // The length of what a power cut left of the last entry's append, when the log is the
    // state before it followed by only the first part of the bytes it appends; -1 otherwise.
    qsizetype Ajout_Coupe(QByteArrayView octetsLog) const;
    void Elaguer_De_Cote() const;
    Resultat Preparer(QByteArray& contenu, const QByteArray* lu);
    // An undo (Annulation) or a redo (Retablissement) of the change on top of its stack.
    Resultat Rejouer(Genre genre, const QDateTime& utc, const QByteArray* lu);

    // The journal file as this object last read or wrote it: while it is still so, the
    // entries kept in memory are the file's and an undo need not read and decode it again.
    using Etat_Fichier = FichierLog::Etat_Fichier;
    Etat_Fichier Etat_Actuel() const { return Etat_Fichier::De(Chemin()); }
    void Noter_Etat() const;
    const Piles& Piles_Actuelles() const;
    const Entree* Entree_Numero(qint64 numero) const;

    QString m_cheminLog;
    mutable std::optional<Etat_Fichier> m_etatVu;
    mutable std::optional<Piles> m_piles;   // of m_entrees, made again after any change of them
    mutable bool m_charge = false;
    mutable QList<Entree> m_entrees;
    mutable qint64 m_tailleFichier = 0;
    mutable bool m_reparer = false;   // a torn last line to cut away
    mutable bool m_abime = false;     // a damaged line before the end
    QString m_misDeCote;
};

// The operation names the program writes; also used for the menu and the history.
QString Nom_Genre(Genre g);

} // namespace Journal
