#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

// The alerts already given: one per station and castle while it stays on show, not one at
// every spot that repeats it. It remembers, for each (callsign, castle), the latest moment it
// was spotted; a spot sounds again only once the last one has gone, older than the age.
class Memoire_Alertes
{
public:
    explicit Memoire_Alertes(int ageMinutes = 60) : m_ageS(qint64(ageMinutes) * 60) {}

    void Regler_Age(int ageMinutes) { m_ageS = qint64(ageMinutes) * 60; }

    // Whether the spot of `indicatif` on `reference` made at `moment` (Regle_Spot::Moment_Alerte)
    // sounds: the first one, or the first after more than the age without a spot of them.
    // Callsign and reference in any case; a spot older than one already seen never sounds.
    bool Alerter(const QString& indicatif, const QString& reference, const QDateTime& moment);

    // Forgets what is older than the age at `maintenantUtc`, so that a watch left on for days
    // holds only the spots on show.
    void Purger(const QDateTime& maintenantUtc);

    int Nombre() const { return int(m_dernier.size()); }

private:
    qint64 m_ageS;
    QHash<QString, QDateTime> m_dernier;
};
