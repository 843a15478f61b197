#pragma once

#include <QStyledItemDelegate>

// The state's cell keeps its colour on the row selected, so that a row just chosen still
// shows whether its castle is to contact.
class Delegue_Etat : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* peintre, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
