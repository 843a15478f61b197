#pragma once

#include <QString>
#include <QtPlugin>

class QWidget;
class Sous_Programmes;

// The two web windows live in a plugin of their own, kvrt_web, installed beside the
// executable: the web engine's libraries are loaded with it, when one of the two windows
// first opens, and never at start-up.
class Module_Fenetres_Web
{
public:
    virtual ~Module_Fenetres_Web() = default;
    virtual QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent) = 0;
    virtual QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, QWidget* parent) = 0;
};

#define Module_Fenetres_Web_iid "org.kvrt.QEZ_Challenge_KVRT.Module_Fenetres_Web/1.0"
Q_DECLARE_INTERFACE(Module_Fenetres_Web, Module_Fenetres_Web_iid)

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
QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, QWidget* parent);

} // namespace Fenetres_Web
