#pragma once

#include <QSortFilterProxyModel>

// The rows of one of the window's two tables: the castles (all, or those still to contact),
// or the references absent from the castle list, shown apart; on one band, or on all.
class Filtre_Spots : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    enum class Vue { Chateaux, Hors_Liste };
    explicit Filtre_Spots(Vue vue, QObject* parent = nullptr);

    void Seulement_A_Contacter(bool oui);
    bool A_Contacter_Seulement() const { return m_aContacter; }
    // One of Regle_Spot::Bandes(), or every band for any other text ("Toutes").
    void Regler_Bande(const QString& bande);

protected:
    bool filterAcceptsRow(int ligne, const QModelIndex& parent) const override;

private:
    Vue m_vue;
    bool m_aContacter = false;
    QString m_bande;
};
