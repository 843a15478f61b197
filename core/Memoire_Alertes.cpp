#include "Memoire_Alertes.h"

#include "Regle_Spot.h"

bool Memoire_Alertes::Alerter(const QString& indicatif, const QString& reference, const QDateTime& moment)
{
    if (!moment.isValid())
        return false;
    const QString cle = Regle_Spot::Cle_Station_Chateau(indicatif, reference);
    auto dernier = m_dernier.find(cle);
    if (dernier == m_dernier.end()) {
        m_dernier.insert(cle, moment);
        return true;
    }
    // A re-spot keeps the row on show: its moment is the one the next alert waits from.
    const bool parti = moment > dernier.value().addSecs(m_ageS);
    if (moment > dernier.value())
        dernier.value() = moment;
    return parti;
}

void Memoire_Alertes::Purger(const QDateTime& maintenantUtc)
{
    const QDateTime limite = maintenantUtc.addSecs(-m_ageS);
    m_dernier.removeIf([&limite](const QHash<QString, QDateTime>::iterator& i) { return i.value() < limite; });
}
