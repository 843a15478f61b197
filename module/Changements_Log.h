#pragma once

#include "Etat_Log.h"
#include "Journal.h"
#include "Resultat_Changement.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>

class Log_Ouvert;
struct Qso;

// The changes of the log: a QSO recorded at the end or at its date, a QSO edited, a castle's
// QSOs deleted, QSOs imported, and the undo, the redo and the return to an earlier state. Each
// reads the log at most once through the open log, is journalled, and gives back what it did,
// what to tell the operator and the bytes the log now holds. It knows neither windows nor
// message boxes.
class Changements_Log
{
public:
    // Before any write: the lock held, the log writable and in the program's form. Not done
    // when the change may not go on; its messages are said before the change's own. lu: the
    // log's bytes as the change has just read them.
    using Garde = std::function<Resultat_Changement(const QString& suite, const QByteArray* lu)>;
    using Horloge = std::function<QDateTime()>;

    Changements_Log(Log_Ouvert& log, Garde garde, Horloge maintenantUtc);
    ~Changements_Log();

    // What a change gives back: its result and, when every window is to be shown the log
    // again, how it changed and its bytes (none: to be read).
    struct Changement
    {
        Resultat_Changement resultat;
        bool montrer = false;
        Etat_Log::Modification sorte = Etat_Log::Modification::Lecture;
        std::optional<QByteArray> ecrit;
    };

    Changement Enregistrer(const Qso& qso);
    Changement Inserer(const Qso& qso);
    // The record of a main list's line replaced by the QSO; added at the end when the log no
    // longer holds it.
    Changement Modifier(QStringView ligneListe, const Qso& qso);
    // Every QSO of this castle; the log unchanged when it holds none.
    Changement Supprimer(const QString& reference);
    // Record lines put each at its date, in one rewrite that one undo takes back. logLu: the
    // log's bytes as the caller has just read them, or null to read them here.
    Changement Importer(const QList<QByteArray>& nouvelles, const QByteArray* logLu);
    // Lines put back at their dates under this operation's name, the rest as Importer.
    Changement Remettre(const QList<QByteArray>& lignes, const QString& operation, const QString& suite);
    Changement Annuler();
    Changement Retablir();
    Changement Revenir_A(qint64 numero, const QString& operationSansNom);

    // The journal of the log open; every rewrite goes through it: journalled, then the log
    // replaced atomically. suite ends the message of a failure.
    Journal::Journal_Log& Journal();
    Resultat_Changement Reecrire(const QByteArray& ancien, const QByteArray& nouveau, const QString& operation,
                                 const QString& suite);

    // "suppression du KVRT 29001", or empty when there is nothing to undo/redo.
    QString Operation_A_Annuler();
    QString Operation_A_Retablir();
    // "enregistrement du KVRT 29001": an operation named after the reference of a record.
    static QString Nom_Operation(const QString& action, QStringView enregistrement);
    // The end of a message when the change is in the log but the disk reported an error.
    static QString Texte_Fait_Sans_Confirmation(const QString& operation);

private:
    Changement Reecrire_Puis_Montrer(const QByteArray& ancien, QByteArray nouveau, const QString& operation,
                                     const QString& suite, Etat_Log::Modification sorte);
    Changement Retour(const Journal::Journal_Log::Resultat& r, const QString& quoi, const QString& rienAFaire);
    // The log's bytes in the program's form; none when they cannot be read, said in echec
    // (its message ending with suite).
    std::optional<QByteArray> Lire(Changement& echec, const QString& suite = QString());
    // An undo, a redo or a return: the guard, then the journal's work on the bytes it checked.
    Changement Rejouer(const std::function<Journal::Journal_Log::Resultat(const QByteArray*)>& faire, const QString& quoi,
                       const QString& rienAFaire);
    // The log's bytes as the guard of this change has just checked them, or null.
    const QByteArray* Lu() const;
    QString Texte_Refus(const Journal::Journal_Log::Resultat& r, const QString& quoi, const QString& rienAFaire);

    Log_Ouvert& m_log;
    Garde m_garde;
    Horloge m_maintenant;
    std::unique_ptr<Journal::Journal_Log> m_journal;
};
