#include "Plateforme.h"

bool Plateforme::Dire(const Resultat_Changement& resultat, QWidget* parent)
{
    for (const QString& texte : resultat.messages)
        Message(texte, parent);
    return resultat.fait;
}
