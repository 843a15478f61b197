#include "Web.h"

#include "Fenetres_Web.h"
#include "Liste_KVRT1.h"
#include "Reglement.h"

#include <QtGlobal>

#include <unistd.h>

// The engine's sandbox refuses to run for root; it reads this variable when the first
// page is made, so setting it here, just before, is enough.
static void Preparer_Moteur_Web()
{
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

static QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent)
{
    Preparer_Moteur_Web();
    auto* fenetre = new Reglement(sp, parent);
    fenetre->Reglement_Form_Load();
    return fenetre;
}

static QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, QWidget* parent)
{
    Preparer_Moteur_Web();
    auto* fenetre = new Liste_KVRT1(sp, parent);
    fenetre->Liste_KVRT1_Form_Load();
    return fenetre;
}

void Installer_Fenetres_Web()
{
    Fenetres_Web::Reglement = &Ouvrir_Reglement;
    Fenetres_Web::Liste_KVRT1 = &Ouvrir_Liste_KVRT1;
}
