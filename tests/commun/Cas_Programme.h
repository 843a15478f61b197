#pragma once

#include "Outils_Test.h"

#include <QObject>

// The opening every test of the windows shares, written once: before each test function a
// fresh program `p` (its own folder with the empty template, its settings file, the test seam
// and the module) under the watchdog `garde`, which closes a modal window left open; after
// it, the main window and its windows go. A test class derives from it.
class Cas_Programme : public QObject
{
    Q_OBJECT

protected:
    Chien_De_Garde garde;
    Programme_Test p;

protected slots:
    void init();
    void cleanup();
};
