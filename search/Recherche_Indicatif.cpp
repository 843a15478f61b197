#include "Recherche_Indicatif.h"

#include "Sous_Programmes.h"

Recherche_Indicatif::Recherche_Indicatif(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Recherche_Indicatif"));
    setAttribute(Qt::WA_DeleteOnClose);
}

void Recherche_Indicatif::Recherche_Indicatif_Form_Load()
{
    show();
}
