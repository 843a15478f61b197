#pragma once

#include <QString>
#include <QtPlugin>

class QWidget;
class Sous_Programmes;

// The two web windows live in a plugin of their own, kvrt_web, installed beside the
// executable: the web engine's libraries are loaded with it, when one of the two windows
// first opens, and never at start-up. This is what the plugin offers the program.
class Module_Fenetres_Web
{
public:
    virtual ~Module_Fenetres_Web() = default;
    virtual QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent) = 0;
    // The reference list of the departement of a line of the main list.
    virtual QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, const QString& ligneListe, QWidget* parent) = 0;
};

#define Module_Fenetres_Web_iid "org.kvrt.QEZ_Challenge_KVRT.Module_Fenetres_Web/2.0"
Q_DECLARE_INTERFACE(Module_Fenetres_Web, Module_Fenetres_Web_iid)
