#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

// The spots that have left the window, swept by age: the answer to sh/dx after a reconnection
// repeats the node's last spots, and none of them may come back. For each (callsign, castle)
// it keeps the latest moment swept; a spot of that moment or before is one already gone, a
// later one is a new spot.
class Spots_Partis
{
public:
    // The spot of `indicatif` on `reference` made at `moment` has left the window.
    void Partir(const QString& indicatif, const QString& reference, const QDateTime& moment);

    // Whether a spot read from the node is added to the window: within the age at
    // `maintenantUtc` (Regle_Spot::Dans_Age) and not one already swept.
    bool A_Ajouter(const QString& indicatif, const QString& reference, const QDateTime& moment,
                   const QDateTime& maintenantUtc, int ageMinutes) const;

    // Forgets the spots older than the age: the age alone keeps them out now.
    void Purger(const QDateTime& maintenantUtc, int ageMinutes);

    int Nombre() const { return int(m_partis.size()); }

private:
    QHash<QString, QDateTime> m_partis;
};
