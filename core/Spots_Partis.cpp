#include "Spots_Partis.h"

#include "Regle_Spot.h"

void Spots_Partis::Partir(const QString& indicatif, const QString& reference, const QDateTime& moment)
{
    QDateTime& parti = m_partis[Regle_Spot::Cle_Station_Chateau(indicatif, reference)];
    if (!parti.isValid() || moment > parti)
        parti = moment;
}

bool Spots_Partis::A_Ajouter(const QString& indicatif, const QString& reference, const QDateTime& moment,
                             const QDateTime& maintenantUtc, int ageMinutes) const
{
    if (!Regle_Spot::Dans_Age(moment, maintenantUtc, ageMinutes))
        return false;
    const auto parti = m_partis.constFind(Regle_Spot::Cle_Station_Chateau(indicatif, reference));
    return parti == m_partis.cend() || moment > parti.value();
}

void Spots_Partis::Purger(const QDateTime& maintenantUtc, int ageMinutes)
{
    const QDateTime limite = maintenantUtc.addSecs(-qint64(ageMinutes) * 60);
    m_partis.removeIf([&limite](const QHash<QString, QDateTime>::iterator& i) { return i.value() < limite; });
}
