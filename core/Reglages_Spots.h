#pragma once

#include <QString>

// The spots' settings as the operator types them and the store keeps them (Reglages): the DX
// cluster nodes, the age of the spots, the band shown and the address of the castle list.
namespace Reglages_Spots {

// The port of a node named without one: telnet's.
constexpr quint16 Port_Defaut = 23;

// Host and port of "hôte:port" (or "hôte", port 23; "[::1]:7300" for an IPv6 address). False,
// with the reason in French, for an empty value, a port that is not a number from 1 to 65535,
// or blanks inside.
bool Lire_Noeud(const QString& valeur, QString& hote, quint16& port, QString& erreur);

// The minutes a spot stays on show ("Age des spots"): from 1 to a day, 60 by default.
constexpr int Age_Defaut = 60;
constexpr int Age_Max = 24 * 60;
// The age a stored value gives: the default for what is not a whole number of that range.
int Lire_Age(const QString& valeur);

// The band shown ("Bande Spots"): one of Regle_Spot::Bandes(), or every band.
inline const QString Toutes_Bandes = QStringLiteral("Toutes");
// The band a stored value gives, in its own spelling ("20 M" gives "20 m"); every band for
// what is none.
QString Lire_Bande(const QString& valeur);

// The address the castle list is fetched from ("Adresse liste chateaux"): an http or https
// address with a host, blanks around taken off. False, with the reason in French, for any other.
bool Lire_Adresse_Liste(const QString& valeur, QString& adresse, QString& erreur);

} // namespace Reglages_Spots
