#pragma once

#include <QAbstractListModel>
#include <QByteArray>

#include <vector>

// The main window's list of the log: the log's bytes are kept as read, and a line of the list
// ("    12   " then the record) is made only when the view asks for it. A log of a hundred
// thousand QSOs thus costs its own size, not a hundred thousand texts.
class Modele_Liste_Log : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit Modele_Liste_Log(QObject* parent = nullptr);

    // Takes the log's bytes; every line of the file, even a damaged one, is a line of the list.
    void Remplacer(QByteArray contenu);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Ligne
    {
        qsizetype debut;
        qsizetype longueur;
    };
    QByteArray m_contenu;
    std::vector<Ligne> m_lignes;
};
