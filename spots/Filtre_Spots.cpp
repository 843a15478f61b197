#include "Filtre_Spots.h"

#include "Modele_Spots.h"

Filtre_Spots::Filtre_Spots(Vue vue, QObject* parent) : QSortFilterProxyModel(parent), m_vue(vue)
{
}

void Filtre_Spots::Seulement_A_Contacter(bool oui)
{
    if (oui == m_aContacter)
        return;
    m_aContacter = oui;
    invalidateRowsFilter();
}

bool Filtre_Spots::filterAcceptsRow(int ligne, const QModelIndex& parent) const
{
    const auto etat = Modele_Spots::Etat(sourceModel()->index(ligne, 0, parent).data(Modele_Spots::Role_Etat).toInt());
    if (m_vue == Vue::Hors_Liste)
        return etat == Modele_Spots::Etat::Hors_Liste;
    if (etat == Modele_Spots::Etat::Hors_Liste)
        return false;
    return !m_aContacter || etat == Modele_Spots::Etat::A_Contacter;
}
