#include "Main_Test.h"
#include "Outils_Test.h"

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

// Each control of the lists of Main_Test.h, found by the name it is declared with.
#define TROUVE(type, nom) , nom(Controle<type>(this, #nom))

Main_Test::Main_Test(Sous_Programmes& sp)
    : Main(sp), Zone(Controle<Zone_Saisie>(this, "Zone_Saisie")), Liste(Controle<Liste_Log>(this, "Liste_Log"))
          MAIN_TEST_SAISIE(TROUVE) MAIN_TEST_FENETRE(TROUVE) MAIN_TEST_MENUS(TROUVE)
{
}

QString Main_Test::Ligne_Selectionnee() const { return Zone->Ligne_Selectionnee(); }
bool Main_Test::Mode_Modification() const { return Zone->Mode_Modification(); }
bool Main_Test::Mode_Insertion() const { return Zone->Mode_Insertion(); }
