#include "Fenetres_Web.h"

namespace Fenetres_Web {

Ouvreur Reglement = nullptr;
Ouvreur Liste_KVRT1 = nullptr;

QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent)
{
    return Reglement ? Reglement(sp, parent) : nullptr;
}

QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, QWidget* parent)
{
    return Liste_KVRT1 ? Liste_KVRT1(sp, parent) : nullptr;
}

} // namespace Fenetres_Web
