#pragma once

#include "Fenetre_Rapport.h"
#include "Sous_Programmes.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <memory>
#include <type_traits>

class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class Bandeau;
class Liste_Log;
class Zone_Saisie;
class Station;
class Recherche_Indicatif;
class Aide;
class Import_Adif;
class Chateaux_Spottes;
class Veille_Spots;
class Verification_Envoi;

// The main window: station, clock, the log's list, the entry area of one QSO (Zone_Saisie),
// the menus that open every other window, and the status bar. It makes the windows and
// connects them: what the entry area asks for goes to the module, and the module's state after
// each change comes back to the total, the score line, the list and the entry area. Its
// controls are its own; a test finds them by name.
class Main : public QMainWindow
{
    Q_OBJECT

public:
    explicit Main(Sous_Programmes& sp, QWidget* parent = nullptr);
    ~Main() override;

    // Start-up and the application shell.
    void Main_Form_Load();
    void Main_Mnu_Date_Auto_Oui_Click();
    void Main_Mnu_Date_Auto_Non_Click();
    void Main_Mnu_Quitter_Click();
    void Main_Mnu_Apropos_Click();
    void Main_Mnu_Historique_Click();
    void Main_Mnu_Mode_Emploi_Click();
    void Main_Mnu_New_Indicatif_Click();
    void Main_ListeKVRT_Click();
    void Main_Recherche_Click();
    void Main_Mnu_Reglement_Click();
    void Main_Mnu_Imp_Contacte_Click();
    void Main_Mnu_Enr_Contacte_Click();
    void Main_Mnu_Annuler_Click();
    void Main_Mnu_Retablir_Click();
    void Main_Mnu_Importer_Adif_Click();
    void Main_Mnu_Enr_Adif_Click();
    void Main_Mnu_Ouvrir_Dossier_Logs_Click();
    void Main_Mnu_Enregistrer_Copie_Click();
    void Main_Mnu_Charger_Liste_Chateaux_Click();
    void Main_Mnu_Mettre_A_Jour_Liste_Click();
    void Main_Mnu_Chateaux_Spottes_Click();
    void Main_Mnu_Verifier_Envoi_Click();
    // Names the change that Annuler and Rétablir would reverse, in the menu.
    void Actualiser_Annulation();
    // A few seconds in the status bar, over the score line: what a key or a menu item just did.
    void Dire_Dans_Barre_Etat(const QString& texte);
    // What a change of the log has to tell, over this window; whether the log holds it.
    bool Dire(const Resultat_Changement& resultat);

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
    // A report window, opened by a new command of `menu` (of the menu bar when null): the
    // command makes F(sp, parent) and loads it (Charger) the first time, brings it forward
    // after, and the window follows the log by itself (Fenetre_Rapport). Adding a report window
    // takes this one line in Construire_Menus.
    template <typename F>
    QAction* Commande_Fenetre(QMenu* menu, const char* nom, const QString& titre)
    {
        static_assert(std::is_base_of_v<Fenetre_Rapport, F>, "a report window is a Fenetre_Rapport");
        QAction* a = menu ? menu->addAction(titre) : menuBar()->addAction(titre);
        a->setObjectName(QString::fromLatin1(nom));
        auto fenetre = std::make_shared<QPointer<F>>();
        connect(a, &QAction::triggered, this, [this, fenetre] {
            Ouvrir_Une_Fois(*fenetre, [this] { return new F(sp, this); }, [](F* nouvelle) { nouvelle->Charger(); });
        });
        return a;
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    // The window's controls, built by area.
    void Construire_Controles();
    void Creer_Controles();
    void Disposer_Fenetre(QWidget* centre);
    void Relier_Controles();
    void Construire_Menus();
    // Connects the module's state, the recovery window and the entry area's requests.
    void Relier_Module();
    // The log's new state: the total, the score line, the menu of undo, the list, then the
    // entry area, which starts afresh the way that change asks.
    void Suivre_Log(const Etat_Log& etat);
    // The log cannot be found: the recovery window, modal, over this one.
    void Ouvrir_Recuperation();

    Sous_Programmes& sp;

    // Controls, named as the users' manual and the tests know them.
    QPushButton* ListeKVRT;
    QPushButton* Recherche;
    Bandeau* Haut;
    Liste_Log* Liste;
    Zone_Saisie* Saisie;
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
    QAction* Mnu_Verifier_Envoi;
    QAction* Mnu_Mettre_A_Jour_Liste;
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

    // The windows this one opens apart from the report windows, each made on first use and
    // discarded when closed.
    QPointer<Station> Fenetre_Station;
    QPointer<Recherche_Indicatif> Fenetre_Recherche;
    QPointer<QWidget> Fenetre_Reglement;
    QPointer<QWidget> Fenetre_Liste_KVRT1;
    QPointer<Aide> Fenetre_Aide;
    QPointer<Import_Adif> Fenetre_Import_Adif;
    QPointer<Chateaux_Spottes> Fenetre_Spots;
    QPointer<Verification_Envoi> Fenetre_Verification;
    // The castles spotted on the DX cluster, watched for the whole run.
    Veille_Spots* Veille;
    // A status line said before the window is up (a lock taken over at start-up), said once it shows.
    QString m_statutEnAttente;
};
