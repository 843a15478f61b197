#pragma once

#include "Aff_Contacte.h"
#include "Aide.h"
#include "Bandeau.h"
#include "Carte_Acti.h"
#include "Chateaux_Spottes.h"
#include "Historique_Modifications.h"
#include "Import_Adif.h"
#include "Liste_Log.h"
#include "Main.h"
#include "Progression.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Station.h"
#include "Veille_Spots.h"
#include "Zone_Saisie.h"

#include <QApplication>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;

// The main window as a test sees it: the real window, whose controls, menus and windows a test
// finds by their names, as a person or a screen reader finds them. It adds nothing to what the
// window does.
class Main_Test : public Main
{
public:
    explicit Main_Test(Sous_Programmes& sp);

    // The entry area and its controls.
    Zone_Saisie* const Zone;
    // Each control once, its type and its name: a member of that name, found by that object
    // name when the window is made (Main_Test.cpp).
#define MAIN_TEST_SAISIE(X) \
    X(QGroupBox, Frame3) X(QLabel, Label_Date) X(QLabel, Label8) X(QLabel, Label3) X(QLineEdit, Date_A) X(QLineEdit, Ind_A) \
    X(QComboBox, Type_A) X(QLineEdit, KVRT_A) X(QCheckBox, Validation_A) X(QPushButton, Valide_A) X(QPushButton, Efface_A) \
    X(QPushButton, Ajout_Saisie) X(QPushButton, Annule_Saisie)
    // The list of the log, and the lines it shows.
    Liste_Log* const Liste;
    int Nombre_Lignes() const { return Liste->Nombre_Lignes(); }
    QString Texte_Ligne(int index) const { return Liste->Texte_Ligne(index); }
    int Ligne_Courante() const { return Liste->Ligne_Courante(); }
    void Selectionner_Ligne(int index) { Liste->Selectionner_Ligne(index); }
    void Main_Liste_KVRT_DblClick() { Liste->Main_Liste_KVRT_DblClick(); }
    void Main_Timer1_Timer() { findChild<Bandeau*>()->Main_Timer1_Timer(); }
    // The window's own, then its menus.
#define MAIN_TEST_FENETRE(X) \
    X(QPushButton, ListeKVRT) X(QPushButton, Recherche) X(QLineEdit, Total_Points) X(QListView, Liste_KVRT) X(QLabel, Label33) \
    X(QLabel, Label34) X(QLabel, Label37) X(QLabel, A_Challenge) X(QLabel, I_Station) X(QLabel, Ligne_Score) X(QTimer, Timer1)
#define MAIN_TEST_MENUS(X) \
    X(QMenu, Mnu_Fichier) X(QMenu, Mnu_Affichage) X(QMenu, Mnu_Enregistre) X(QAction, Mnu_Annuler) X(QAction, Mnu_Retablir) \
    X(QAction, Mnu_Historique_Modifications) X(QAction, Mnu_Quitter) X(QAction, Mnu_Importer_Adif) \
    X(QAction, Mnu_Ouvrir_Dossier_Logs) X(QAction, Mnu_Enregistrer_Copie) X(QAction, Mnu_Date_Auto_Oui) \
    X(QAction, Mnu_Date_Auto_Non) X(QAction, Mnu_New_Indicatif) X(QAction, Mnu_Imp_Contacte) X(QAction, Mnu_Enr_Contacte) \
    X(QAction, Mnu_Enr_Adif) X(QAction, Mnu_C_Contacte) X(QAction, Mnu_Recap) X(QAction, Mnu_Progression) \
    X(QAction, Mnu_Dpt_Contactes) X(QAction, Mnu_Reglement) X(QAction, Mnu_Historique) X(QAction, Mnu_Mode_Emploi) \
    X(QAction, Mnu_Apropos) X(QAction, Mnu_Chateaux_Spottes) X(QAction, Mnu_Charger_Liste_Chateaux)
#define MAIN_TEST_MEMBRE(type, nom) type* const nom;
    MAIN_TEST_SAISIE(MAIN_TEST_MEMBRE)
    MAIN_TEST_FENETRE(MAIN_TEST_MEMBRE)
    MAIN_TEST_MENUS(MAIN_TEST_MEMBRE)
#undef MAIN_TEST_MEMBRE

    // The windows it opened that are still there (closed ones go once discarded), or null.
    Station* Fenetre_Station() const { return Fenetre<Station>("Station"); }
    Recapitulatif* Fenetre_Recapitulatif() const { return Fenetre<Recapitulatif>("Recapitulatif"); }
    Aff_Contacte* Fenetre_Aff_Contacte() const { return Fenetre<Aff_Contacte>("Aff_Contacte"); }
    Carte_Acti* Fenetre_Carte_Acti() const { return Fenetre<Carte_Acti>("Carte_Acti"); }
    Progression* Fenetre_Progression() const { return Fenetre<Progression>("Progression"); }
    Recherche_Indicatif* Fenetre_Recherche() const { return Fenetre<Recherche_Indicatif>("Recherche_Indicatif"); }
    Historique_Modifications* Fenetre_Historique_Modifications() const { return Fenetre<Historique_Modifications>("Historique_Modifications"); }
    Import_Adif* Fenetre_Import_Adif() const { return Fenetre<Import_Adif>("Import_Adif"); }
    Aide* Fenetre_Aide() const { return Fenetre<Aide>("Aide"); }
    QWidget* Fenetre_Reglement() const { return Fenetre<QWidget>("Reglement"); }
    QWidget* Fenetre_Liste_KVRT1() const { return Fenetre<QWidget>("Liste_KVRT1"); }
    Chateaux_Spottes* Fenetre_Spots() const { return Fenetre<Chateaux_Spottes>("Chateaux_Spottes"); }
    // The castles spotted, watched for the whole run.
    Veille_Spots* Veille() const { return findChild<Veille_Spots*>(); }

    // The line of the list the entry area shows, and its modes.
    QString Ligne_Selectionnee() const;
    bool Mode_Modification() const;
    bool Mode_Insertion() const;

private:
    template <typename F>
    F* Fenetre(const char* nom) const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(nom) && (w->parentWidget() == this || (!w->parentWidget() && w->isVisible())))
                if (F* f = qobject_cast<F*>(w))
                    return f;
        return nullptr;
    }
};
