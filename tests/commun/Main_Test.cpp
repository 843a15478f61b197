#include "Main_Test.h"

#include "Chateaux_Spottes.h"

#include "Aff_Contacte.h"
#include "Aide.h"
#include "Carte_Acti.h"
#include "Historique_Modifications.h"
#include "Import_Adif.h"
#include "Progression.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Station.h"
#include "Zone_Saisie.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

template <typename T>
static T* Trouve(const QObject* fenetre, const char* nom)
{
    T* c = fenetre->findChild<T*>(QString::fromLatin1(nom));
    if (!c)
        qFatal("the main window has no %s", nom);
    return c;
}

#define TROUVE(type, nom) nom(Trouve<type>(this, #nom))

Main_Test::Main_Test(Sous_Programmes& sp)
    : Main(sp),
      Zone(Trouve<Zone_Saisie>(this, "Zone_Saisie")),
      TROUVE(QGroupBox, Frame3),
      TROUVE(QLabel, Label_Date),
      TROUVE(QLabel, Label8),
      TROUVE(QLabel, Label3),
      TROUVE(QLineEdit, Date_A),
      TROUVE(QLineEdit, Ind_A),
      TROUVE(QComboBox, Type_A),
      TROUVE(QLineEdit, KVRT_A),
      TROUVE(QCheckBox, Validation_A),
      TROUVE(QPushButton, Valide_A),
      TROUVE(QPushButton, Efface_A),
      TROUVE(QPushButton, Ajout_Saisie),
      TROUVE(QPushButton, Annule_Saisie),
      Liste(Trouve<Liste_Log>(this, "Liste_Log")),
      TROUVE(QPushButton, ListeKVRT),
      TROUVE(QPushButton, Recherche),
      TROUVE(QLineEdit, Total_Points),
      TROUVE(QListView, Liste_KVRT),
      TROUVE(QLabel, Label33),
      TROUVE(QLabel, Label34),
      TROUVE(QLabel, Label37),
      TROUVE(QLabel, A_Challenge),
      TROUVE(QLabel, I_Station),
      TROUVE(QLabel, Ligne_Score),
      TROUVE(QTimer, Timer1),
      TROUVE(QMenu, Mnu_Fichier),
      TROUVE(QMenu, Mnu_Affichage),
      TROUVE(QMenu, Mnu_Enregistre),
      TROUVE(QAction, Mnu_Annuler),
      TROUVE(QAction, Mnu_Retablir),
      TROUVE(QAction, Mnu_Historique_Modifications),
      TROUVE(QAction, Mnu_Quitter),
      TROUVE(QAction, Mnu_Importer_Adif),
      TROUVE(QAction, Mnu_Ouvrir_Dossier_Logs),
      TROUVE(QAction, Mnu_Enregistrer_Copie),
      TROUVE(QAction, Mnu_Date_Auto_Oui),
      TROUVE(QAction, Mnu_Date_Auto_Non),
      TROUVE(QAction, Mnu_New_Indicatif),
      TROUVE(QAction, Mnu_Imp_Contacte),
      TROUVE(QAction, Mnu_Enr_Contacte),
      TROUVE(QAction, Mnu_Enr_Adif),
      TROUVE(QAction, Mnu_C_Contacte),
      TROUVE(QAction, Mnu_Recap),
      TROUVE(QAction, Mnu_Progression),
      TROUVE(QAction, Mnu_Dpt_Contactes),
      TROUVE(QAction, Mnu_Reglement),
      TROUVE(QAction, Mnu_Historique),
      TROUVE(QAction, Mnu_Mode_Emploi),
      TROUVE(QAction, Mnu_Apropos),
      TROUVE(QAction, Mnu_Chateaux_Spottes),
      TROUVE(QAction, Mnu_Charger_Liste_Chateaux)
{
}

Station* Main_Test::Fenetre_Station() const { return Fenetre<Station>("Station"); }
Recapitulatif* Main_Test::Fenetre_Recapitulatif() const { return Fenetre<Recapitulatif>("Recapitulatif"); }
Aff_Contacte* Main_Test::Fenetre_Aff_Contacte() const { return Fenetre<Aff_Contacte>("Aff_Contacte"); }
Carte_Acti* Main_Test::Fenetre_Carte_Acti() const { return Fenetre<Carte_Acti>("Carte_Acti"); }
Progression* Main_Test::Fenetre_Progression() const { return Fenetre<Progression>("Progression"); }
Recherche_Indicatif* Main_Test::Fenetre_Recherche() const { return Fenetre<Recherche_Indicatif>("Recherche_Indicatif"); }
Historique_Modifications* Main_Test::Fenetre_Historique_Modifications() const
{
    return Fenetre<Historique_Modifications>("Historique_Modifications");
}
Import_Adif* Main_Test::Fenetre_Import_Adif() const { return Fenetre<Import_Adif>("Import_Adif"); }
Aide* Main_Test::Fenetre_Aide() const { return Fenetre<Aide>("Aide"); }
QWidget* Main_Test::Fenetre_Reglement() const { return Fenetre<QWidget>("Reglement"); }
QWidget* Main_Test::Fenetre_Liste_KVRT1() const { return Fenetre<QWidget>("Liste_KVRT1"); }
Chateaux_Spottes* Main_Test::Fenetre_Spots() const { return Fenetre<Chateaux_Spottes>("Chateaux_Spottes"); }

QString Main_Test::Ligne_Selectionnee() const { return Zone->Ligne_Selectionnee(); }
bool Main_Test::Mode_Modification() const { return Zone->Mode_Modification(); }
bool Main_Test::Mode_Insertion() const { return Zone->Mode_Insertion(); }
