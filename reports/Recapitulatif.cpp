#include "Recapitulatif.h"

#include "Sous_Programmes.h"

Recapitulatif::Recapitulatif(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Recapitulatif"));
    setAttribute(Qt::WA_DeleteOnClose);
}

void Recapitulatif::Recapitulatif_Form_Load()
{
    show();
}
