#pragma once

#include <QString>

// The DX cluster node as the operator types it and the settings keep it (Reglages::Cluster).
namespace Reglages_Spots {

// The port of a node named without one: telnet's.
constexpr quint16 Port_Defaut = 23;

// Host and port of "hôte:port" (or "hôte", port 23; "[::1]:7300" for an IPv6 address). False,
// with the reason in French, for an empty value, a port that is not a number from 1 to 65535,
// or blanks inside.
bool Lire_Noeud(const QString& valeur, QString& hote, quint16& port, QString& erreur);

} // namespace Reglages_Spots
