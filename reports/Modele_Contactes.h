#pragma once

#include "Rapports.h"

#include <QAbstractListModel>

// The contacted castles as the list shows them: the lines stay as one block of bytes and each is
// decoded when the view asks for it, so that a log of a hundred thousand QSOs opens at once.
class Modele_Contactes : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit Modele_Contactes(QObject* parent = nullptr);

    void Remplacer(Rapports::Liste_Contactes lignes);
    QStringList Lignes() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    Rapports::Liste_Contactes m_lignes;
};
