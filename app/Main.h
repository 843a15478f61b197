#pragma once

#include "Sous_Programmes.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class Modele_Liste_Log;
class QTimer;
class QWidget;

class Station;
class Recapitulatif;
class Aff_Contacte;
class Carte_Acti;
class Progression;
class Recherche_Indicatif;
class Aide;
class Import_Adif;
class QDialog;
class Historique_Modifications;
class Chateaux_Spottes;
class Veille_Spots;

// The main window: station, clock, the log's list and the entry area of one QSO.
class Main : public QMainWindow
{
    Q_OBJECT

public:
    explicit Main(Sous_Programmes& sp, QWidget* parent = nullptr);
    ~Main() override;

    Sous_Programmes& sp;

    // Controls, named as the users' manual and the tests know them.
    QPushButton* ListeKVRT;
    QPushButton* Ajout_Saisie;
    QPushButton* Recherche;
    QCheckBox* Validation_A;
    QLineEdit* Total_Points;
    QComboBox* Type_A;
    QLineEdit* KVRT_A;
    QPushButton* Annule_Saisie;
    QPushButton* Efface_A;
    QListView* Liste_KVRT;
    Modele_Liste_Log* Modele_Liste;
    QLineEdit* Ind_A;
    QGroupBox* Frame2;
    QLabel* Label37;
    QLabel* Label34;
    QGroupBox* Frame7;
    QLabel* Label33;
    QGroupBox* Frame1;
    QLabel* A_Challenge;
    QLabel* Label2;
    QLabel* I_Station;
    QTimer* Timer1;
    QPushButton* Valide_A;
    QGroupBox* L_KVRT;
    QLabel* Label7;
    QLabel* Label6;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label25;
    QLabel* Label23;
    QGroupBox* Frame3;
    QLineEdit* Date_A;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label8;
    QLabel* Label_Date;
    QLabel* Label11;
    QLabel* Label14;
    QFrame* Line1;
    // The score line of the status bar: points validated, points waiting, departements.
    QLabel* Ligne_Score;

    // Menus.
    QMenu* Mnu_Fichier;
    QAction* Mnu_Annuler;
    QAction* Mnu_Retablir;
    QAction* Mnu_Historique_Modifications;
    QAction* Mnu_Quitter;
    QAction* Mnu_Importer_Adif;
    QAction* Mnu_Ouvrir_Dossier_Logs;
    QAction* Mnu_Enregistrer_Copie;
    QAction* Mnu_Charger_Liste_Chateaux;
    QMenu* Mnu_Setup;
    QMenu* Mnu_Date;
    QAction* Mnu_Date_Auto_Oui;
    QAction* Mnu_Date_Auto_Non;
    QMenu* Mnu_Station;
    QAction* Mnu_New_Indicatif;
    QMenu* Mnu_Imprimer;
    QAction* Mnu_Imp_Contacte;
    QMenu* Mnu_Enregistre;
    QAction* Mnu_Enr_Contacte;
    QAction* Mnu_Enr_Adif;
    QMenu* Mnu_Affichage;
    QAction* Mnu_C_Contacte;
    QAction* Mnu_Recap;
    QAction* Mnu_Progression;
    QMenu* Mnu_Carte;
    QAction* Mnu_Dpt_Contactes;
    QMenu* Mnu_Spots;
    QAction* Mnu_Chateaux_Spottes;
    QAction* Mnu_Reglement;
    QMenu* Mnu_aide;
    QAction* Mnu_Historique;
    QAction* Mnu_Mode_Emploi;
    QAction* Mnu_Apropos;

    // The secondary windows, each made on first use and discarded when closed.
    QPointer<Station> Fenetre_Station;
    QPointer<Recapitulatif> Fenetre_Recapitulatif;
    QPointer<Aff_Contacte> Fenetre_Aff_Contacte;
    QPointer<Carte_Acti> Fenetre_Carte_Acti;
    QPointer<Progression> Fenetre_Progression;
    QPointer<Recherche_Indicatif> Fenetre_Recherche;
    QPointer<QWidget> Fenetre_Reglement;
    QPointer<QWidget> Fenetre_Liste_KVRT1;
    QPointer<Aide> Fenetre_Aide;
    QPointer<Historique_Modifications> Fenetre_Historique_Modifications;
    QPointer<Import_Adif> Fenetre_Import_Adif;
    QPointer<Chateaux_Spottes> Fenetre_Spots;
    // The castles spotted on the DX cluster, watched for the whole run.
    Veille_Spots* Veille;

    // Start-up and the application shell.
    void Main_Form_Load();
    void Main_Mnu_Date_Auto_Oui_Click();
    void Main_Mnu_Date_Auto_Non_Click();
    void Main_Mnu_Quitter_Click();
    void Main_Mnu_Apropos_Click();
    void Main_Mnu_Historique_Click();
    void Main_Mnu_Mode_Emploi_Click();
    void Main_Timer1_Timer();
    void Main_Mnu_New_Indicatif_Click();
    void Main_ListeKVRT_Click();
    void Main_Mnu_Recap_Click();
    void Main_Mnu_Progression_Click();
    void Main_Mnu_C_Contacte_Click();
    void Main_Recherche_Click();
    void Main_Mnu_Dpt_Contactes_Click();
    void Main_Mnu_Reglement_Click();
    void Main_Mnu_Imp_Contacte_Click();
    void Main_Mnu_Enr_Contacte_Click();
    void Main_Mnu_Annuler_Click();
    void Main_Mnu_Retablir_Click();
    void Main_Mnu_Historique_Modifications_Click();
    // Names the change that Annuler and Rétablir would reverse, in the menu.
    void Actualiser_Annulation();
    // After the module rewrote the log and read the list again: the entry area starts afresh,
    // as after an import or as after an undo, a redo or a return.
    void Saisie_Apres_Modification(Sous_Programmes::Modification sorte);
    void Main_Mnu_Importer_Adif_Click();
    void Main_Mnu_Enr_Adif_Click();
    void Main_Mnu_Ouvrir_Dossier_Logs_Click();
    void Main_Mnu_Enregistrer_Copie_Click();
    void Main_Mnu_Charger_Liste_Chateaux_Click();
    void Main_Mnu_Chateaux_Spottes_Click();
    // A few seconds in the status bar, over the score line: what a key or a menu item just did.
    void Dire_Dans_Barre_Etat(const QString& texte);

    // The entry area.
    void Main_Date_A_KeyPress(int& KeyAscii);
    void Main_Ind_A_KeyPress(int& KeyAscii);
    void Main_Type_A_KeyPress(int& KeyAscii);
    void Main_KVRT_A_KeyPress(int& KeyAscii);
    void Main_Validation_A_KeyPress(int& KeyAscii);
    void Main_Valide_A_Click();
    void Main_Efface_A_Click();
    void Efface();
    void Main_Ajout_Saisie_Click();
    void Insere_QSO();
    void Main_Liste_KVRT_Click();
    void Main_Liste_KVRT_DblClick();
    void Main_Annule_Saisie_Click();
    // A castle spotted, chosen in its window: a new QSO of that callsign and castle in the
    // entry area, for the operator to check and validate with Enter.
    void Saisir_Spot(const QString& indicatif, const QString& reference);

    // Helpers of the entry area and the list.
    bool Date_Automatique() const;
    int Index_Type_A() const;
    void Texte_Type_A(const QString& texte);
    // Replaces the list's lines and selects the last one, which runs the click handling.
    void Remplir_Liste(QByteArray contenu);
    // Selects a line of the list (or none with -1) and runs the click handling.
    void Selectionner_Ligne(int index);
    int Ligne_Courante() const;
    QString Texte_Ligne(int index) const;
    int Nombre_Lignes() const;
    // Shows the total, the score line, and redraws the progression window when it is open.
    void Afficher_Total(int total);
    QString Construire_Enregistrement() const;
    // Makes sure the QSO of the entry fields fits the record; tells the user otherwise.
    bool Champs_Enregistrables();
    void Entree_Nouvelle_Saisie();
    void Ouvrir_Premier_Champ();
    // The entry fields forget their own undo history: Ctrl+Z then goes to the log.
    void Oublier_Annulations_Champs();
    // True while a box of the entry area holds text the operator typed: Ctrl+Z and Ctrl+Y
    // then stay in the boxes and never change the log.
    bool Saisie_Tapee() const;

    // Gives a secondary window the standard treatment: one instance, brought to the front.
    static bool Amener_Devant(QWidget* fenetre);
    // Opens a secondary window once: when it is open it comes to the front; otherwise faire()
    // makes it, the pointer keeps it until it is closed and discarded, then charger() loads it.
    template <typename F, typename Faire, typename Charger>
    static void Ouvrir_Une_Fois(QPointer<F>& fenetre, Faire faire, Charger charger)
    {
        if (Amener_Devant(fenetre))
            return;
        F* nouvelle = faire();
        fenetre = nouvelle;
        charger(nouvelle);
    }
    // A window of its own folder, opened by a new command of `menu` (of the menu bar when
    // null): F(sp, parent) builds and loads it, and it follows the log by the module's
    // signals. Adding a report window takes this one line in Construire_Menus.
    template <typename F>
    QAction* Commande_Fenetre(QMenu* menu, const char* nom, const QString& titre)
    {
        QAction* a = menu ? menu->addAction(titre) : menuBar()->addAction(titre);
        a->setObjectName(QString::fromLatin1(nom));
        auto fenetre = std::make_shared<QPointer<F>>();
        connect(a, &QAction::triggered, this, [this, fenetre] {
            Ouvrir_Une_Fois(*fenetre, [this] { return new F(sp, this); }, [](F* nouvelle) {
                nouvelle->setWindowFlag(Qt::Window);
                nouvelle->setAttribute(Qt::WA_DeleteOnClose);
                nouvelle->show();
            });
        });
        return a;
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    // The window's controls, built by area.
    void Construire_Controles();
    void Creer_Controles();
    QHBoxLayout* Disposer_Station_Horloge();
    void Disposer_Entetes_Liste();
    void Disposer_Saisie();
    void Disposer_Fenetre(QWidget* centre, QHBoxLayout* haut);
    void Relier_Controles();
    void Construire_Menus();
    // Connects the list, the menus and the entry area to what the module says changed.
    void Relier_Module();
    void Placer_Entetes();
    int m_ligneAvantClic = -1;
    bool m_selectionParProgramme = false;
};
