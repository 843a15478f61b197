#include "Main_Test.h"

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

// Each control of the lists of Main_Test.h, found by the name it is declared with.
#define TROUVE(type, nom) , nom(Trouve<type>(this, #nom))

Main_Test::Main_Test(Sous_Programmes& sp)
    : Main(sp), Zone(Trouve<Zone_Saisie>(this, "Zone_Saisie")), Liste(Trouve<Liste_Log>(this, "Liste_Log"))
          MAIN_TEST_SAISIE(TROUVE) MAIN_TEST_FENETRE(TROUVE) MAIN_TEST_MENUS(TROUVE)
{
}

QString Main_Test::Ligne_Selectionnee() const { return Zone->Ligne_Selectionnee(); }
bool Main_Test::Mode_Modification() const { return Zone->Mode_Modification(); }
bool Main_Test::Mode_Insertion() const { return Zone->Mode_Insertion(); }
