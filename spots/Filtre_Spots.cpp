#include "Filtre_Spots.h"

#include "Modele_Spots.h"
#include "Regle_Spot.h"

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

void Filtre_Spots::Regler_Bande(const QString& bande)
{
    const QString choisie = Regle_Spot::Bandes().contains(bande) ? bande : QString();
    if (choisie == m_bande)
        return;
    m_bande = choisie;
    invalidateRowsFilter();
}

bool Filtre_Spots::filterAcceptsRow(int ligne, const QModelIndex& parent) const
{
    const QModelIndex index = sourceModel()->index(ligne, 0, parent);
    if (!m_bande.isEmpty() && index.data(Modele_Spots::Role_Bande).toString() != m_bande)
        return false;
    const auto etat = Modele_Spots::Etat(index.data(Modele_Spots::Role_Etat).toInt());
    if (m_vue == Vue::Hors_Liste)
        return etat == Modele_Spots::Etat::Hors_Liste;
    if (etat == Modele_Spots::Etat::Hors_Liste)
        return false;
    return !m_aContacter || etat == Modele_Spots::Etat::A_Contacter;
}
