#include "Web.h"

#include "Fenetres_Web.h"
#include "Liste_KVRT1.h"
#include "Reglement.h"

// The windows make their browser when they are built, so the engine starts with the first
// of them to open, never before.
static QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent)
{
    auto* fenetre = new Reglement(sp, parent);
    fenetre->Reglement_Form_Load();
    return fenetre;
}

static QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, QWidget* parent)
{
    auto* fenetre = new Liste_KVRT1(sp, parent);
    fenetre->Liste_KVRT1_Form_Load();
    return fenetre;
}

void Installer_Fenetres_Web()
{
    Fenetres_Web::Reglement = &Ouvrir_Reglement;
    Fenetres_Web::Liste_KVRT1 = &Ouvrir_Liste_KVRT1;
}
