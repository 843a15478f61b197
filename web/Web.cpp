#include "Web.h"

#include "Liste_KVRT1.h"
#include "Reglement.h"

QWidget* Module_Web::Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent)
{
    auto* fenetre = new Reglement(sp, parent);
    fenetre->Reglement_Form_Load();
    return fenetre;
}

QWidget* Module_Web::Ouvrir_Liste_KVRT1(Sous_Programmes& sp, QWidget* parent)
{
    auto* fenetre = new Liste_KVRT1(sp, parent);
    fenetre->Liste_KVRT1_Form_Load();
    return fenetre;
}
