#pragma once

#include "Bandeau.h"
#include "Liste_Log.h"
#include "Main.h"
#include "Veille_Spots.h"
#include "Zone_Saisie.h"

#include <QApplication>

class Aff_Contacte;
class Chateaux_Spottes;
class Aide;
class Carte_Acti;
class Historique_Modifications;
class Import_Adif;
class Progression;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;
class Recapitulatif;
class Recherche_Indicatif;
class Station;

// The main window as a test sees it: the real window, whose controls, menus and windows a test
// finds by their names, as a person or a screen reader finds them. It adds nothing to what the
// window does.
class Main_Test : public Main
{
public:
    explicit Main_Test(Sous_Programmes& sp);

    // The entry area and its controls.
    Zone_Saisie* const Zone;
    QGroupBox* const Frame3;
    QLabel* const Label_Date;
    QLabel* const Label8;
    QLabel* const Label3;
    QLineEdit* const Date_A;
    QLineEdit* const Ind_A;
    QComboBox* const Type_A;
    QLineEdit* const KVRT_A;
    QCheckBox* const Validation_A;
    QPushButton* const Valide_A;
    QPushButton* const Efface_A;
    QPushButton* const Ajout_Saisie;
    QPushButton* const Annule_Saisie;
    // The list of the log, and the lines it shows.
    Liste_Log* const Liste;
    int Nombre_Lignes() const { return Liste->Nombre_Lignes(); }
    QString Texte_Ligne(int index) const { return Liste->Texte_Ligne(index); }
    int Ligne_Courante() const { return Liste->Ligne_Courante(); }
    void Selectionner_Ligne(int index) { Liste->Selectionner_Ligne(index); }
    void Main_Liste_KVRT_DblClick() { Liste->Main_Liste_KVRT_DblClick(); }
    // The window's own.
    QPushButton* const ListeKVRT;
    QPushButton* const Recherche;
    QLineEdit* const Total_Points;
    QListView* const Liste_KVRT;
    QLabel* const Label33;
    QLabel* const Label34;
    QLabel* const Label37;
    QLabel* const A_Challenge;
    QLabel* const I_Station;
    QLabel* const Ligne_Score;
    QTimer* const Timer1;
    void Main_Timer1_Timer() { findChild<Bandeau*>()->Main_Timer1_Timer(); }
    // Menus.
    QMenu* const Mnu_Fichier;
    QMenu* const Mnu_Affichage;
    QMenu* const Mnu_Enregistre;
    QAction* const Mnu_Annuler;
    QAction* const Mnu_Retablir;
    QAction* const Mnu_Historique_Modifications;
    QAction* const Mnu_Quitter;
    QAction* const Mnu_Importer_Adif;
    QAction* const Mnu_Ouvrir_Dossier_Logs;
    QAction* const Mnu_Enregistrer_Copie;
    QAction* const Mnu_Date_Auto_Oui;
    QAction* const Mnu_Date_Auto_Non;
    QAction* const Mnu_New_Indicatif;
    QAction* const Mnu_Imp_Contacte;
    QAction* const Mnu_Enr_Contacte;
    QAction* const Mnu_Enr_Adif;
    QAction* const Mnu_C_Contacte;
    QAction* const Mnu_Recap;
    QAction* const Mnu_Progression;
    QAction* const Mnu_Dpt_Contactes;
    QAction* const Mnu_Reglement;
    QAction* const Mnu_Historique;
    QAction* const Mnu_Mode_Emploi;
    QAction* const Mnu_Apropos;
    QAction* const Mnu_Chateaux_Spottes;
    QAction* const Mnu_Charger_Liste_Chateaux;

    // The windows it opened that are still there (closed ones go once discarded), or null.
    Station* Fenetre_Station() const;
    Recapitulatif* Fenetre_Recapitulatif() const;
    Aff_Contacte* Fenetre_Aff_Contacte() const;
    Carte_Acti* Fenetre_Carte_Acti() const;
    Progression* Fenetre_Progression() const;
    Recherche_Indicatif* Fenetre_Recherche() const;
    Historique_Modifications* Fenetre_Historique_Modifications() const;
    Import_Adif* Fenetre_Import_Adif() const;
    Aide* Fenetre_Aide() const;
    QWidget* Fenetre_Reglement() const;
    QWidget* Fenetre_Liste_KVRT1() const;
    Chateaux_Spottes* Fenetre_Spots() const;
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
