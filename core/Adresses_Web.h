#pragma once

#include "Reglages.h"

#include <QString>

// Where the two web windows go: the hosts come from the settings store, the paths are fixed.
namespace Adresses_Web {

// "http://" + host, from a stored value. The value is normally a bare host, with a port if
// needed; a value that already names its scheme is kept, a trailing "/" is dropped, and an
// empty value falls back to the default host.
QString Base_Site(const QString& valeur, const QString& defaut);
QString Base_Site(const Reglages& reglages, Reglages::Site site);

// The departement code of a main-list line: the reference's first two characters, blanks removed.
QString Code_Departement(const QString& ligneListe);
// "d" + code, except the four departements whose pages have names of their own.
QString Nom_Page_Departement(const QString& code);

QString Adresse_Reglement(const Reglages& reglages);
// Empty when the line names no departement.
QString Adresse_Departement(const Reglages& reglages, const QString& ligneListe);
// The fixed caption of the reference-list window, naming the list site.
QString Titre_Liste(const Reglages& reglages);

// What a web window shows instead of a page it could not load: the page's address, and where
// the operator can change its host (the key of section "Setup " in the settings file).
QString Texte_Page_Injoignable(const Reglages& reglages, const QString& adresse, Reglages::Site site);

} // namespace Adresses_Web
