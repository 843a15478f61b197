#pragma once

#include "Module_Fenetres_Web.h"

#include <QObject>

// The plugin's entry: opens the rules and reference-list windows. The web engine starts with
// the first window that makes its browser, never before.
class Module_Web : public QObject, public Module_Fenetres_Web
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID Module_Fenetres_Web_iid)
    Q_INTERFACES(Module_Fenetres_Web)

public:
    QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent) override;
    QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, const QString& ligneListe, QWidget* parent) override;
};
