#pragma once

#include "Etat_Log.h"
#include "Qso.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class Plateforme;

// The entry area of the main window: one QSO typed field by field, each checked on Enter, and
// the buttons that record it, cancel it, insert a QSO at its date and delete the QSO shown. It
// owns its modes (an insertion, an edit) and the line of the list it shows; the QSO to write it
// hands to the main window by its signals, and the main window tells it the log's state after
// every change and the station it works for. The checks themselves are Validation_Saisie's.
// The controls keep the names the users' manual and the tests know them by.
class Zone_Saisie : public QWidget
{
    Q_OBJECT

public:
    // What the fields show, and so which of them are open: each way the entry area starts
    // afresh is one of these. Saisie, Insertion and Modification also say what Valider does.
    enum class Mode {
        Saisie,       // a new QSO: the first field of the date mode, emptied, in green
        Insertion,    // a QSO put at its date: the date, emptied, in green, under its own caption
        Affichage,    // the QSO of a line of the list, every field locked, Supprimer armed
        Modification, // the QSO of a line of the list, every field open, Valider armed
    };

    // Messages and questions go through the seam, and today's date comes from its clock.
    explicit Zone_Saisie(Plateforme& plateforme, QWidget* parent = nullptr);

    // The row of the buttons: the main window puts its own after the entry area's.
    QHBoxLayout* Ligne_Boutons() const { return m_boutons; }
    // The boxes that hold typed text, for the main window's undo keys.
    QList<QWidget*> Champs() const;

    // At start-up: the type last chosen, then the date mode of the station.
    void Preparer_Type(int typeActivite);
    void Preparer_Date(bool automatique);
    // At the end of start-up, once the list shows the log: the first field of the date mode,
    // and nothing of the last QSO shown.
    void Commencer();
    // The date of a new QSO is today's, or typed (Date > Date automatique, Oui or Non): the
    // fields follow the mode chosen (the main window has the station keep it).
    bool Date_Automatique() const { return m_dateAutomatique; }
    void Choisir_Date_Automatique(bool automatique);

    // The line of the list shown in the fields, empty when none; the modes.
    const QString& Ligne_Selectionnee() const { return m_ligneSelectionnee; }
    bool Mode_Modification() const { return m_mode == Mode::Modification; }
    bool Mode_Insertion() const { return m_mode == Mode::Insertion; }

    // The handlers of the entry area.
    void Main_Date_A_KeyPress(int& KeyAscii);
    void Main_Ind_A_KeyPress(int& KeyAscii);
    void Main_Type_A_KeyPress(int& KeyAscii);
    void Main_KVRT_A_KeyPress(int& KeyAscii);
    void Main_Validation_A_KeyPress(int& KeyAscii);
    void Main_Valide_A_Click();
    void Main_Efface_A_Click();
    void Efface();
    void Main_Ajout_Saisie_Click();
    void Main_Annule_Saisie_Click();
    // A line of the list clicked (empty: a click beside the lines), then double-clicked; an
    // empty list selects nothing.
    void Afficher_Ligne(const QString& ligneListe);
    void Editer_Ligne();
    void Oublier_Ligne();

    // The entry fields forget their own undo history: Ctrl+Z then goes to the log.
    void Oublier_Annulations_Champs();
    // True while a box holds text the operator typed: Ctrl+Z and Ctrl+Y then stay in the
    // boxes and never change the log.
    bool Saisie_Tapee() const;

public slots:
    // The log's state after a change, once the list shows it: its bytes say which castles were
    // contacted, and the fields start afresh the way that change asks.
    void Suivre_Log(const Etat_Log& etat);
    // The station and the year the log is kept for: "FXXXX" until the station is set up, and
    // the year a date typed must belong to.
    void Definir_Station(const QString& indicatif, const QString& annee);
    // A QSO heard elsewhere (a castle spotted, say) put in the fields as a new QSO, as if typed:
    // the callsign, the reference, the activity type (the one shown when empty) and the date
    // (today's in automatic date mode when empty). No check runs and nothing is recorded: the
    // focus goes to the first field of the date mode, and the operator goes on with Enter
    // through every check, as when typing.
    void Remplir(const QString& indicatif, const QString& reference, const QString& type, const QString& date);

public:
    // A castle spotted: a new QSO of that callsign and castle, "Chateau Contacte", today's date
    // in automatic date mode. What the operator is typing is his: replaced only when he says
    // so. True when the fields were filled.
    bool Proposer(const QString& indicatif, const QString& reference);
    // Tells whether a castle is in the list the operator loaded (true when none is): a
    // reference typed that is not gets a warning, never a refusal.
    void Definir_Chateau_Connu(std::function<bool(const QString&)> connu) { m_chateauConnu = std::move(connu); }
    // The log as it is on the disk when a reference is typed, so that a log changed or lost
    // since the last state is seen at once; none when it could not be read (whoever reads it
    // has told the operator why). Without it, the bytes of the last state are used.
    void Definir_Lecture_Log(std::function<std::optional<QByteArray>()> lire) { m_lireLog = std::move(lire); }

signals:
    // What the operator asked to write: a QSO at the end of the log, at its date's place, or in
    // place of the line of the list it was opened from; a castle's QSOs to delete.
    void Qso_A_Enregistrer(const Qso& qso);
    void Qso_A_Inserer(const Qso& qso);
    void Qso_A_Remplacer(const QString& ligneListe, const Qso& qso);
    void Qso_A_Supprimer(const QString& reference);
    // After the question of a delete answered Non, the total is counted again all the same, as
    // after any delete: a log gone meanwhile is found there.
    void Total_A_Recompter();
    // The activity type confirmed with Enter (its index in the list, -1 for another text), for
    // the station's settings to give it again at the next start.
    void Type_Retenu(int index);

private:
    // Lays the fields out for a mode. Opening an insertion or an edit also makes it what
    // Valider does; a new entry leaves that to its caller: Efface ends an edit or an
    // insertion, a recording ends an edit, a delete ends neither.
    void Appliquer(Mode mode);
    // The log changed and the list shows it: the fields start afresh the way that change asks.
    void Apres_Modification(Etat_Log::Modification sorte);
    void Entree_Nouvelle_Saisie();
    // Ends an edit or an insertion: Valider adds the next QSO by the date mode.
    void Terminer_Mode();
    // Shows a refusal of Validation_Saisie; true when there was one.
    bool Refuser(const QString& refus);
    void Creer_Controles();
    void Disposer();
    void Relier_Controles();
    int Index_Type_A() const;
    void Texte_Type_A(const QString& texte);
    Qso Qso_Saisi() const;
    // Makes sure the QSO of the fields fits the record; tells the user otherwise.
    bool Champs_Enregistrables();
    // Today's date in the date box, as the automatic date mode shows it.
    void Mettre_Date_Du_Jour();

    Plateforme& m_plateforme;
    QGroupBox* Frame3;
    QLabel* Label_Date;
    QLabel* Label8;
    QLabel* Label3;
    QLabel* Label1;
    QLineEdit* Date_A;
    QLineEdit* Ind_A;
    QComboBox* Type_A;
    QLineEdit* KVRT_A;
    QCheckBox* Validation_A;
    QPushButton* Valide_A;
    QPushButton* Efface_A;
    QPushButton* Ajout_Saisie;
    QPushButton* Annule_Saisie;
    QHBoxLayout* m_boutons;

    bool m_dateAutomatique = true;
    // Saisie, Insertion or Modification: what Valider does.
    Mode m_mode = Mode::Saisie;
    QString m_indicatif = QStringLiteral("FXXXX");
    QString m_annee = QStringLiteral("XXXX");
    Etat_Log m_log;
    QString m_ligneSelectionnee;
    std::function<bool(const QString&)> m_chateauConnu;
    std::function<std::optional<QByteArray>()> m_lireLog;
};
