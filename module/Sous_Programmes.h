#pragma once

#include "Changements_Log.h"
#include "Etat_Log.h"
#include "FichierLog.h"
#include "Garde_Log.h"
#include "Journal.h"
#include "Log_Ouvert.h"
#include "Station_Saison.h"
#include "Verrou_Log.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class Plateforme;
struct Qso;
class Reglages;
class QDate;
class QWidget;

// The log's service, the one object every window shares for the whole run: the station and
// season (Station_Saison), the open log (Log_Ouvert), what guards it (Garde_Log) and its changes
// (Changements_Log), under the routines' names. One object is made at start-up and handed to
// every window, so that each test starts from a fresh one. A change takes a Qso and gives back
// what it did and what to tell the operator, which the window that asked says. It knows no
// window above it: after every change of the log, whatever made it, it reads the log once and
// sends its new state in one signal (Etat_Change), which the main window and every open report
// window follow.
class Sous_Programmes : public QObject
{
    Q_OBJECT

public:
    using Modification = Etat_Log::Modification;

    Sous_Programmes(Plateforme& plateforme, Reglages& reglages);

    // The platform seam (messages, clock, program folder) and the settings store.
    Plateforme& plateforme() const { return m_plateforme; }
    Reglages& reglages() const { return m_reglages; }

    // The station and the year whose log the program works on; "FXXXX" before any is set up.
    const QString& Indicatif_Station() const { return m_station.Indicatif(); }
    const QString& Annee_Challenge() const { return m_station.Annee(); }
    void Choisir_Station(const QString& indicatif, const QString& annee);
    static QString Numero_Version() { return QStringLiteral(" 1.1.7"); }

    // The window the module's messages stand over, and the last one Terminer_Programme hides.
    // While there is none, nothing shows the log: no state is read nor sent.
    QWidget* Fenetre_Principale() const { return m_fenetre; }
    void Definir_Fenetre_Principale(QWidget* fenetre);
    // True once the program has been told to end (Quitter, or an error that ends it).
    bool Programme_Termine() const { return m_termine; }
    // The log's state last sent; its total is empty while none was.
    const Etat_Log& Etat() const { return m_etat; }

    // The folder of the logs, the template copy and the exports: the one chosen at start-up
    // by Choisir_Repertoire, or the program folder before that.
    QString Repertoire() const { return m_station.Repertoire(); }
    // Chooses that folder once, from the program folder and the user's data folder; gives what
    // to tell the user when his folder could not be made ready, or nothing.
    QString Choisir_Repertoire() { return m_station.Choisir_Repertoire(); }
    QString Nom_Log() const { return m_station.Nom_Log(); }

    // Clock.
    QString Date_Du_Jour() const;
    QString Heure_Utc() const;
    QString Heure_Locale() const;

    // Log file. Each change of the log gives back what it did and what to tell the operator
    // (the window says it through Plateforme::Dire), and ends by sending the log's new state;
    // Rafraichir_Liste_Log reads the log again and sends it as it is (false when it could not
    // be read).
    bool Creer_Log_Depuis_Modele(const QString& indicatif, const QString& annee);
    bool Rafraichir_Liste_Log();
    // The last QSO of this castle in the log: found, and its date. A log that cannot be read
    // finds nothing and gives its error.
    struct Doublon
    {
        bool trouve = false;
        QString date;
        QString erreur;
    };
    Doublon Recherche_Doublon(const QString& reference);
    // The QSO at the end of the log.
    Resultat_Changement Ajoute_Ligne(const Qso& qso);
    // The QSO at its date's place in the log: the insertion by date.
    Resultat_Changement Insere_Ligne(const Qso& qso);
    // The record of this main list's line replaced by the QSO (added when the log no longer
    // holds it).
    Resultat_Changement Remplace_Ou_Ajoute_Ligne(const QString& ligne_liste, const Qso& qso);
    // Every QSO of the castle deleted.
    Resultat_Changement Supprime_Lignes_Reference(const QString& reference);

    // The journal of the current log, and the one routine every rewrite of the log goes
    // through: the change is journalled, then the log is replaced atomically. suite ends the
    // message of a failure ("Le log n'a pas été modifié.").
    Journal::Journal_Log& Journal_Log();
    Resultat_Changement Reecrire_Log(const QByteArray& ancien, const QByteArray& nouveau, const QString& operation,
                                     const QString& suite);
    // At start-up: temporary files a crash left are removed, and the journal is compared
    // with the log (and set aside when the log was changed outside the program). What it found
    // comes back for the window to say: its messages, one box each, and QSOs the program wrote
    // that the log no longer holds (most often an editor left open since morning saved its old
    // copy over the log), kept in a file beside it and offered back by the question, empty
    // when the log is read-only.
    struct Controle_Journal
    {
        QStringList messages;
        QString question;
        QList<QByteArray> disparues;
        QString suite; // the end of the message when putting them back fails
    };
    Controle_Journal Verifier_Journal();
    // The QSOs of that question put back at their dates, in one change one undo takes back.
    Resultat_Changement Remettre_Qso_Disparus(const Controle_Journal& controle);
    // Undo, redo and the return to the state after a journal entry: done when the log changed.
    Resultat_Changement Annuler_Modification();
    Resultat_Changement Retablir_Modification();
    Resultat_Changement Revenir_A(qint64 numero);
    // After the log was changed (an undo, a redo, a return, an import, a QSO): reads it once,
    // or takes the bytes just written (ecrit), and sends its state to every window that shows
    // it. False when it could not be read: the recovery window, or an error that ends the
    // program, has then taken over.
    bool Apres_Modification_Log(Modification sorte, const QByteArray* ecrit = nullptr);
    // "suppression du KVRT 29001" and the like, or empty when there is nothing to undo/redo.
    QString Operation_A_Annuler();
    QString Operation_A_Retablir();
    // The log's bytes (in the program's form) read through the open log: the bytes last read
    // or written, unless the file changed since; or why they could not be read.
    struct Lecture
    {
        QByteArray contenu;
        ErreurFichier erreur;
        bool ok() const { return erreur.ok(); }
    };
    Lecture Lire_Contenu();
    // The same for a check that only advises (a castle already contacted, on Enter): the bytes
    // held are taken unless the file shows a change, so that typing a QSO reads the log once,
    // before its append; a log gone or unreadable gives its error all the same.
    Lecture Lire_Contenu_Pour_Avis();
    // The log the module works on, as it last read or wrote it.
    const Log_Ouvert& Log() const { return m_log; }

    // Points.
    static int Calcul_Points_Ligne(QStringView ligne);
    static int Controle_Format_Date(QStringView texte);

    // Puts imported record lines into the log, each at its date place, in one rewrite, then
    // makes the total and the list again. logLu: the log's bytes as the caller has just read
    // them, or null to read them here.
    Resultat_Changement Importe_Lignes(const QList<QByteArray>& nouvelles, const QByteArray* logLu = nullptr);

    // Ends the program at once: every window closes and the event loop stops.
    void Terminer_Programme();

    static QString Texte_Historique_Complet();

    // One program per log. The lock of the log in use is held from start-up until the
    // program ends; a change of station or year takes the new log's lock before this one goes.
    // Done when the lock of the current log is held, taken here when it is free. Otherwise it
    // says why (the message ends with suite), and the log, its journal and the files beside
    // it are left alone.
    Resultat_Changement Tenir_Verrou(const QString& suite);
    // After a Prendre refused because another machine holds the log: the operator is asked
    // whether to open it anyway. Oui takes the lock from that machine (true, said once more
    // by Statut); Non opens the log for reading only, and every change is then refused.
    bool Ouvrir_Malgre_Verrou(Verrou_Log& verrou, const QString& log, QWidget* parent);
    // Before any change of the log: its lock held, the log writable (one its owner made
    // read-only is refused with a message naming it), and a log saved again by a text editor
    // written back in the program's form with the editor's version kept (said). Not done when
    // the change may not go on, the message ending with suite; nothing has been written then.
    // lu: the log's bytes as Lire_Contenu has just given them for this change, not checked a
    // second time.
    Resultat_Changement Preparer_Changement(const QString& suite, const QByteArray* lu = nullptr);
    // True when the module holds the lock of this log.
    bool Verrou_Tenu(const QString& log) const { return m_garde.Tient(log); }
    // The lock just taken becomes the module's, the one it held goes; or it holds none.
    void Garder_Verrou(Verrou_Log&& verrou) { m_garde.Garder(std::move(verrou)); }
    void Rendre_Verrou() { m_garde.Rendre(); }

    // Logs found again after a move. The folder of the logs at the last start (the settings'
    // "Chemin Repertoire"), read before this start writes its own.
    void Definir_Dossier_Precedent(const QString& dossier) { m_station.Definir_Dossier_Precedent(dossier); }
    // Where a log of this program may be: that folder, the program folder, the user's own.
    QStringList Dossiers_Connus() const { return m_station.Dossiers_Connus(); }
    // Makes this folder the folder of the logs for the rest of the run.
    void Utiliser_Repertoire(const QString& dossier) { m_station.Utiliser_Repertoire(dossier); }

signals:
    // The log's new state after a change, or after it was read again: for the total, the
    // score line, the list, the menu of undo and every report window.
    void Etat_Change(const Etat_Log& etat);
    // The log cannot be found: the recovery window opens, modal, over the main window.
    void Log_Introuvable();
    // The log could not be read after a change: the main window says why, and the program ends.
    void Log_Illisible(const QString& texte);
    // A short note for the main window's status line.
    void Statut(const QString& texte);

private:
    Log_Ouvert m_log;
    Changements_Log m_changements;
    // The open log, at the path of the current station and year.
    Log_Ouvert& Log_Courant();
    // The changes of that log; each one's state sent when it asks for it.
    Changements_Log& Changements();
    Resultat_Changement Montrer(Changements_Log::Changement c);
    // The QSOs the start-up found gone from the log: said, kept beside the log, and offered back
    // unless the log is read-only.
    void Qso_Disparus(Controle_Journal& controle, const QList<QByteArray>& lignes, const QString& journalMisDeCote,
                      bool proposer);

public:
    static QString Ligne_Credit();

private:
    Plateforme& m_plateforme;
    Reglages& m_reglages;
    QWidget* m_fenetre = nullptr;
    bool m_termine = false;
    Etat_Log m_etat;
    Station_Saison m_station;
    Garde_Log m_garde;
};
