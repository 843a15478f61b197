#include "Modele_Spots.h"

#include "Apparence.h"

#include <QColor>

Modele_Spots::Modele_Spots(QObject* parent) : QAbstractTableModel(parent)
{
}

bool Modele_Spots::Ajouter(const Regle_Spot::Spot& spot, const QString& reference, const QDateTime& moment,
                           const QDateTime& compteAge)
{
    int ancienne = -1;
    for (int i = 0; i < m_lignes.size(); ++i) {
        if (m_lignes.at(i).reference == reference && m_lignes.at(i).indicatif == spot.indicatif) {
            ancienne = i;
            break;
        }
    }
    // The answer to sh/dx may bring, after a live spot, an older one of the same station.
    if (ancienne >= 0 && m_lignes.at(ancienne).moment > moment)
        return false;
    const Ligne nouvelle{reference, spot.indicatif, spot.frequence, spot.spotteur, spot.commentaire, moment,
                         compteAge.isValid() ? compteAge : moment, Regle_Spot::Bande(spot.frequence)};

    // Its place among the other rows: before the first that is not later, so that of two spots
    // of the same minute the one received last comes first.
    int place = 0;
    for (int i = 0; i < m_lignes.size(); ++i) {
        if (i == ancienne)
            continue;
        if (m_lignes.at(i).moment <= moment)
            break;
        ++place;
    }
    if (ancienne >= 0 && place == ancienne) {
        m_lignes[ancienne] = nouvelle;
        emit dataChanged(index(ancienne, 0), index(ancienne, Nb_Colonnes - 1));
        return true;
    }
    if (ancienne >= 0) {
        // Moved, not taken out and put back: the row the operator chose stays chosen.
        beginMoveRows(QModelIndex(), ancienne, ancienne, QModelIndex(), place > ancienne ? place + 1 : place);
        m_lignes.move(ancienne, place);
        m_lignes[place] = nouvelle;
        endMoveRows();
        emit dataChanged(index(place, 0), index(place, Nb_Colonnes - 1));
        return true;
    }
    beginInsertRows(QModelIndex(), place, place);
    m_lignes.insert(place, nouvelle);
    endInsertRows();
    if (m_lignes.size() > Max_Lignes) {
        beginRemoveRows(QModelIndex(), Max_Lignes, int(m_lignes.size()) - 1);
        m_lignes.resize(Max_Lignes);
        endRemoveRows();
    }
    return true;
}

QList<Modele_Spots::Parti> Modele_Spots::Retirer_Avant(const QDateTime& limite)
{
    QList<Parti> partis;
    // From the bottom, each run of rows gone in one removal: the rows are in time order, so
    // the old ones are mostly one run at the end.
    int fin = int(m_lignes.size());
    while (fin > 0) {
        if (m_lignes.at(fin - 1).compteAge >= limite) {
            --fin;
            continue;
        }
        int debut = fin - 1;
        while (debut > 0 && m_lignes.at(debut - 1).compteAge < limite)
            --debut;
        for (int i = debut; i < fin; ++i)
            partis.append({m_lignes.at(i).indicatif, m_lignes.at(i).reference, m_lignes.at(i).compteAge});
        beginRemoveRows(QModelIndex(), debut, fin - 1);
        m_lignes.remove(debut, fin - debut);
        endRemoveRows();
        fin = debut;
    }
    return partis;
}

void Modele_Spots::Regler_Contactes(const QSet<QString>& references)
{
    if (references == m_contactes)
        return;
    m_contactes = references;
    Etats_Changes();
}

void Modele_Spots::Regler_Liste(const Liste_Chateaux& liste)
{
    m_liste = liste;
    Etats_Changes();
}

void Modele_Spots::Etats_Changes()
{
    if (!m_lignes.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_lignes.size()) - 1, Nb_Colonnes - 1));
}

Modele_Spots::Etat Modele_Spots::Etat_Reference(const QString& reference) const
{
    if (!m_liste.Vide() && !m_liste.Contient(reference))
        return Etat::Hors_Liste;
    return m_contactes.contains(reference) ? Etat::Deja_Contacte : Etat::A_Contacter;
}

QString Modele_Spots::Texte_Etat(Etat etat)
{
    switch (etat) {
    case Etat::A_Contacter:
        return QStringLiteral("à contacter");
    case Etat::Deja_Contacte:
        return QStringLiteral("déjà contacté");
    case Etat::Hors_Liste:
        return QStringLiteral("hors liste");
    }
    return QString();
}

int Modele_Spots::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lignes.size());
}

int Modele_Spots::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Nb_Colonnes;
}

QVariant Modele_Spots::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_lignes.size())
        return {};
    const Ligne& l = m_lignes.at(index.row());
    const Etat etat = Etat_Reference(l.reference);
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Col_Heure:
            return l.moment.toString(QStringLiteral("HH:mm"));
        case Col_Indicatif:
            return l.indicatif;
        case Col_Reference:
            return l.reference;
        case Col_Nom:
            return m_liste.Nom(l.reference);
        case Col_Frequence:
            return l.frequence;
        case Col_Spotteur:
            return l.spotteur;
        case Col_Commentaire:
            return l.commentaire;
        case Col_Etat:
            return Texte_Etat(etat);
        }
        return {};
    case Qt::ToolTipRole:
        if (index.column() == Col_Heure)
            return l.moment.toString(QStringLiteral("dd/MM/yyyy HH:mm 'UTC'"));
        if (index.column() == Col_Commentaire || index.column() == Col_Nom)
            return data(index, Qt::DisplayRole);
        return {};
    case Qt::BackgroundRole:
        // The state is also written in its column: the colour only repeats it.
        switch (etat) {
        case Etat::A_Contacter:
            return Apparence::Vert_Pale;
        case Etat::Deja_Contacte:
            return QColor(224, 224, 224);
        case Etat::Hors_Liste:
            return QColor(255, 222, 173);
        }
        return {};
    case Role_Etat:
        return int(etat);
    case Role_Bande:
        return l.bande;
    }
    return {};
}

QVariant Modele_Spots::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titres[Nb_Colonnes] = {"Heure UTC", "Indicatif", "KVRT", "Château",
                                                   "Fréquence", "Spotteur", "Commentaire", "État"};
    return section >= 0 && section < Nb_Colonnes ? QString::fromUtf8(titres[section]) : QVariant();
}
