#pragma once

#include <QString>

class QWidget;
class Sous_Programmes;

// The two web windows, from the plugin kvrt_web (Module_Fenetres_Web) or in the system's
// browser.
namespace Fenetres_Web {

// The folder that holds the plugin; the executable's own folder unless set.
extern QString Dossier_Module;
// True when the pages go to the system's browser instead: always so in a build without the
// web engine (Windows), where the plugin does not exist.
extern bool Navigateur_Systeme;

// Loads the plugin on first use. False, with the reason in French, when it cannot be loaded.
bool Charger(QString& erreur);
// True once the plugin is loaded: the web engine's libraries are then in the process.
bool Charge();

// Each opens its window, loading the plugin first; on failure the user is told and nothing opens.
// With the system's browser, the same page opens there and no window is returned.
QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent);
// The reference list of the departement of a line of the main list.
QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, const QString& ligneListe, QWidget* parent);

} // namespace Fenetres_Web
