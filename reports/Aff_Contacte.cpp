#include "Aff_Contacte.h"

#include "Sous_Programmes.h"

Aff_Contacte::Aff_Contacte(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Aff_Contacte"));
    setAttribute(Qt::WA_DeleteOnClose);
}

void Aff_Contacte::Aff_Contacte_Form_Load()
{
    show();
}
