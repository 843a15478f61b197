#pragma once

#include "FichierLog.h"
#include "Journal.h"
#include "Series_Saison.h"
#include "Verrou_Log.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Plateforme;
class Reglages;
class QDate;
class QWidget;

// The program's one code module: the variables every window shares for the whole run and
// the routines that read and rewrite the log. One object is made at start-up and handed to
// every window, so that each test starts from a fresh one. Routines keep their original
// by-reference arguments; those that can fail also return false after telling the user.
// It knows no window above it: it says what changed by its signals, and the windows that
// show the log connect to them.
class Sous_Programmes : public QObject
{
    Q_OBJECT

public:
    Sous_Programmes(Plateforme& plateforme, Reglages& reglages);

    // Module variables.
    QString Indicatif_Station = QStringLiteral("FXXXX");
    QString Annee_Challenge = QStringLiteral("XXXX");
    QString Ligne_Selectionnee;
    bool Mode_Modification = false;
    bool Mode_Insertion = false;
    QString Numero_Version = QStringLiteral(" 1.1.7");
    QString Texte_Historique;
    // The log's figures at the last total of points: points, points waiting, departements.
    Series_Saison::Bilan Bilan_Log;

    Plateforme& plateforme;
    Reglages& reglages;
    // The window the module's messages stand over, and the last one Terminer_Programme hides.
    QWidget* Fenetre_Principale = nullptr;
    // The total of points as the main window shows it, empty while it shows none.
    QString Total_Affiche;
    // Opens the recovery window over parent when the log cannot be found (error 53); set by
    // the floor that owns the windows, and left empty where none may open.
    std::function<void(QWidget* parent)> Ouvrir_Recuperation;
    // Set once the program has been told to end (Quitter, or an error that ends it).
    bool Programme_Termine = false;

    // The folder of the logs, the template copy and the exports: the one chosen at start-up
    // by Choisir_Repertoire, or the program folder before that.
    QString Repertoire() const;
    // Chooses that folder once, from the program folder and the user's data folder, and tells
    // the user when his folder could not be made ready.
    void Choisir_Repertoire();
    QString Nom_Log() const;

    // Clock.
    void Date_Du_Jour(QString& date);
    void Heure_Utc(QString& heure);
    void Heure_Locale(QString& heure);

    // Log file.
    bool Creer_Log_Depuis_Modele(QString& indicatif, QString& annee);
    bool Rafraichir_Liste_Log();
    void Recherche_Doublon(QString& reference, int& trouve, QString& date);
    bool Remplace_Ou_Ajoute_Ligne(QString& ligne_liste, QString& nouvelle_ligne);
    bool Supprime_Lignes_Reference(QString& reference);
    bool Ajoute_Ligne(QString& nouvelle_ligne);
    // Puts a record at its date's place in the log: the insertion by date.
    bool Insere_Ligne(QString& nouvelle_ligne);

    // The journal of the current log, and the one routine every rewrite of the log goes
    // through: the change is journalled, then the log is replaced atomically. suite ends the
    // message of a failure ("Le log n'a pas été modifié.").
    Journal::Journal_Log& Journal_Log();
    bool Reecrire_Log(const QByteArray& ancien, const QList<QByteArray>& lignes, const QString& operation,
                      const QString& suite);
    bool Reecrire_Log(const QByteArray& ancien, const QByteArray& nouveau, const QString& operation,
                      const QString& suite);
    // At start-up: temporary files a crash left are removed, and the journal is compared
    // with the log (and set aside when the log was changed outside the program).
    void Verifier_Journal();
    // Undo, redo and the return to the state after a journal entry; each tells the user
    // what went wrong and returns true when the log changed.
    bool Annuler_Modification();
    bool Retablir_Modification();
    bool Revenir_A(qint64 numero);
    // What rewrote the log, for the entry area to start afresh the way that change asks.
    enum class Modification { Retour, Import };
    // After the log was rewritten by an undo, a redo, a return or an import: the total, the
    // list, then Log_Modifie for every window that shows the log.
    void Apres_Modification_Log(Modification sorte);
    // "suppression du KVRT 29001" and the like, or empty when there is nothing to undo/redo.
    QString Operation_A_Annuler();
    QString Operation_A_Retablir();
    // "enregistrement du KVRT 29001": an operation named after the reference of a record.
    static QString Nom_Operation(const QString& action, QStringView enregistrement);
    // Reads the log's bytes; tells the user and returns false on failure.
    bool Lire_Contenu(QByteArray& contenu, bool message = true);

    // Points. Calcul_Total_Points returns false when the log could not be read: the
    // recovery window or the ending error has then been shown and the caller stops.
    bool Calcul_Total_Points(int& Total);
    // Counts the points again and sends the total to show (Total_Change); false as above.
    bool Actualiser_Total();
    void Calcul_Points_Ligne(QString& Ligne, int& Points);
    void Controle_Format_Date(QString& Texte, int& Resultat);

    // The log's files at hand: its folder shown by the desktop's file manager, and a copy of
    // the log saved where the operator chooses (a plain log, written whole or not at all).
    void Ouvre_Dossier_Logs();
    void Enregistre_Copie_Log();
    // "F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt" for that log and day.
    static QString Nom_Copie_Log(const QString& nomLog, const QDate& jour);

    // Exchange format. Enregistre_Adif writes the log as an .adi file where the operator
    // chooses (beside the log unless he says otherwise) and says where.
    void Enregistre_Adif();
    // Puts imported record lines into the log, each at its date place, in one rewrite, then
    // makes the total and the list again; false after telling the user. logLu: the log's bytes
    // as the caller has just read them, or null to read them here.
    bool Importe_Lignes(const QList<QByteArray>& nouvelles, const QByteArray* logLu = nullptr);

    // Reads the current log as text lines; tells the user and returns false on failure.
    bool Lire_Log(QList<QByteArray>& lignes, bool message = true);
    // Ends the program at once: every window closes and the event loop stops.
    void Terminer_Programme();

    static QString Texte_Historique_Complet();

    // One program per log. The lock of the log in use, held from start-up until the program
    // ends; a change of station or year takes the new log's lock before this one goes.
    Verrou_Log Verrou;
    // True when the lock of the current log is held, taken here when it is free. Otherwise
    // the user is told why (the message ends with suite) unless message is false, and the
    // log, its journal and the files beside it are left alone.
    bool Tenir_Verrou(const QString& suite, bool message = true);

    // Logs found again after a move. The folder of the logs at the last start (the settings'
    // "Chemin Repertoire"), read before this start writes its own.
    QString Dossier_Precedent;
    // Where a log of this program may be: that folder, the program folder, the user's own.
    QStringList Dossiers_Connus() const;
    // The log of this station and year is not in `dossier`: when another known folder has it,
    // the user is told and chooses to use it there (dossier then names that folder), to copy
    // it with its journal into `dossier`, or the answer `renoncer`.
    enum class Log_Retrouve { Nulle_Part, Pret, Renonce };
    Log_Retrouve Retrouver_Log(const QString& indicatif, const QString& annee, QString& dossier, const QString& renoncer,
                               QWidget* parent);
    // Makes this folder the folder of the logs for the rest of the run.
    void Utiliser_Repertoire(const QString& dossier);

signals:
    // The list of the log is about to be read again: its old lines go first.
    void Liste_A_Vider();
    // The log's bytes as just read, for the list to show.
    void Liste_Relue(const QByteArray& contenu);
    // The changes that undo and redo would reverse may have changed.
    void Annulation_Changee();
    // A new total of points to show.
    void Total_Change(int total);
    // The station and the year to show as the station's (the callsign written as shown).
    void Station_Affichee(const QString& indicatif, const QString& annee);
    // The log was rewritten and the list read again.
    void Log_Modifie(Sous_Programmes::Modification sorte);

private:
    std::unique_ptr<Journal::Journal_Log> m_journal;
    void Dire_Refus(const Journal::Journal_Log::Resultat& r, const QString& quoi, const QString& rienAFaire);
    // The end of a message when the change is in the log but the disk reported an error.
    static QString Texte_Fait_Sans_Confirmation(const QString& operation);

public:
    static QString Ligne_Credit();
    // A file beside the log that could not be written: its number, its name, the cause, then
    // what was not done.
    void Dire_Echec_Creation(const ErreurFichier& e, const QString& chemin, const QString& suite);

private:
    QString m_repertoire;
};
