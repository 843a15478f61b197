#pragma once

#include <QString>

class Reglages;

// The settings of the spots, in the common section "Setup ": the DX cluster node and the
// alerts. Read and written here only.
namespace Reglages_Spots {

// "hôte:port", as the web hosts are kept; empty until the operator names a node.
inline const QString Cle_Cluster = QStringLiteral("Cluster");
// "Oui" or "Non" (the default): a beep and a line in the status bar for a castle to contact.
inline const QString Cle_Alertes = QStringLiteral("Alertes Spots");
// The port of a node named without one: telnet's.
constexpr quint16 Port_Defaut = 23;

QString Cluster(const Reglages& reglages);
void Ecrire_Cluster(Reglages& reglages, const QString& noeud);
bool Alertes(const Reglages& reglages);
void Ecrire_Alertes(Reglages& reglages, bool actives);

// Host and port of "hôte:port" (or "hôte", port 23; "[::1]:7300" for an IPv6 address). False,
// with the reason in French, for an empty value, a port that is not a number from 1 to 65535,
// or blanks inside.
bool Lire_Noeud(const QString& valeur, QString& hote, quint16& port, QString& erreur);

} // namespace Reglages_Spots
