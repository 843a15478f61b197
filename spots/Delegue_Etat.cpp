#include "Delegue_Etat.h"

void Delegue_Etat::paint(QPainter* peintre, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem sansSelection(option);
    sansSelection.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(peintre, sansSelection, index);
}
