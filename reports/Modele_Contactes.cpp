#include "Modele_Contactes.h"

Modele_Contactes::Modele_Contactes(QObject* parent) : QAbstractListModel(parent)
{
}

void Modele_Contactes::Remplacer(Rapports::Liste_Contactes lignes)
{
    beginResetModel();
    m_lignes = std::move(lignes);
    endResetModel();
}

QStringList Modele_Contactes::Lignes() const
{
    QStringList l;
    l.reserve(m_lignes.size());
    for (qsizetype i = 0; i < m_lignes.size(); ++i)
        l.append(m_lignes.Ligne(i));
    return l;
}

int Modele_Contactes::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lignes.size());
}

QVariant Modele_Contactes::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_lignes.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_lignes.Ligne(index.row());
    return {};
}
