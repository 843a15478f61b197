#include "Carte_Acti.h"

#include "Sous_Programmes.h"

Carte_Acti::Carte_Acti(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Carte_Acti"));
    setAttribute(Qt::WA_DeleteOnClose);
}

void Carte_Acti::Carte_Acti_Form_Load()
{
    show();
}
