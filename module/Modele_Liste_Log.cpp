#include "Modele_Liste_Log.h"

#include "Enregistrement.h"
#include "Texte1252.h"

Modele_Liste_Log::Modele_Liste_Log(QObject* parent) : QAbstractListModel(parent)
{
}

void Modele_Liste_Log::Remplacer(QByteArray contenu)
{
    beginResetModel();
    m_lignes.clear();
    m_lignes.shrink_to_fit();
    m_contenu = std::move(contenu);
    m_lignes.reserve(size_t(m_contenu.size() / (Enregistrement::Longueur_Ligne_Log + 2) + 1));
    const char* const debut = m_contenu.constData();
    Texte1252::Pour_Chaque_Ligne(m_contenu, [&](QByteArrayView ligne) {
        m_lignes.push_back({ligne.data() - debut, ligne.size()});
    });
    endResetModel();
}

int Modele_Liste_Log::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lignes.size());
}

QVariant Modele_Liste_Log::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() < 0 || size_t(index.row()) >= m_lignes.size())
        return {};
    const Ligne& l = m_lignes[size_t(index.row())];
    // Only the record's 53 characters are shown: a damaged line of any length costs no more.
    const QByteArrayView octets(m_contenu.constData() + l.debut, l.longueur);
    return Enregistrement::Construire_Ligne_Liste(
        index.row() + 1, Texte1252::Decoder(Texte1252::Morceau(octets, 0, Enregistrement::Longueur_Ligne_Log)));
}
