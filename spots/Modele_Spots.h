#pragma once

#include "Liste_Chateaux.h"
#include "Regle_Spot.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

// The castle spots received: one row per callsign and castle, the newest first, the last 500
// kept. A new spot of the same callsign on the same castle updates its row (the node's echo of
// a castle spotted from here, a frequency corrected in the same minute). Each row says, in
// words and in colour, whether the castle is still to contact this season (from the log), or
// absent from the castle list when one is loaded.
class Modele_Spots : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Colonne { Col_Heure, Col_Indicatif, Col_Reference, Col_Nom, Col_Frequence, Col_Spotteur, Col_Commentaire, Col_Etat, Nb_Colonnes };
    enum class Etat { A_Contacter, Deja_Contacte, Hors_Liste };
    // The row's Etat as a number, for the filters.
    static constexpr int Role_Etat = Qt::UserRole + 1;
    // The band of the row's frequency (Regle_Spot::Bande), for the filters.
    static constexpr int Role_Bande = Qt::UserRole + 2;
    static constexpr int Max_Lignes = 500;

    explicit Modele_Spots(QObject* parent = nullptr);

    // Puts the spot of one castle in its row; false when the row already tells a later spot.
    // `compteAge` is the moment its age counts from (Regle_Spot::Moment_Alerte), its moment
    // when not given.
    bool Ajouter(const Regle_Spot::Spot& spot, const QString& reference, const QDateTime& moment,
                 const QDateTime& compteAge = QDateTime());
    // A row taken out by age: what Spots_Partis keeps of it.
    struct Parti
    {
        QString indicatif;
        QString reference;
        QDateTime moment;
    };
    // Takes out the rows whose age counts from before `limite`, and says which.
    QList<Parti> Retirer_Avant(const QDateTime& limite);
    // The castles the log holds, and the castle list (empty: none loaded): the states follow.
    void Regler_Contactes(const QSet<QString>& references);
    void Regler_Liste(const Liste_Chateaux& liste);
    Etat Etat_Reference(const QString& reference) const;
    static QString Texte_Etat(Etat etat);

    QString Indicatif(int ligne) const { return m_lignes.at(ligne).indicatif; }
    QString Reference(int ligne) const { return m_lignes.at(ligne).reference; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Ligne
    {
        QString reference;
        QString indicatif;
        QString frequence;
        QString spotteur;
        QString commentaire;
        QDateTime moment;
        QDateTime compteAge;
        QString bande;
    };
    void Etats_Changes();

    QList<Ligne> m_lignes;
    QSet<QString> m_contactes;
    Liste_Chateaux m_liste;
};
