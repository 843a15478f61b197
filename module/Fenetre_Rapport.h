#pragma once

#include "Etat_Log.h"

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class Sous_Programmes;

// What every report window shares: a window of its own, named and titled, discarded when it
// closes and closed by Escape; it follows the log, whose new state after each change, whatever
// made it, comes to Suivre_Log. The main window opens one with Main::Commande_Fenetre, which
// makes it as F(sp, parent) and calls its Charger().
class Fenetre_Rapport : public QWidget
{
    Q_OBJECT

public:
    Fenetre_Rapport(Sous_Programmes& sp, const char* nom, const QString& titre, QWidget* parent);

    // Shows the window, placed and filled: its Form_Load.
    virtual void Charger() = 0;

protected:
    // The log changed: what the window shows is made again from its new state, without reading
    // the log. Nothing by default.
    virtual void Suivre_Log(const Etat_Log& etat);
    // The log read once for the window's own filling: remplir gets its bytes, or null when it
    // cannot be read; the reason then comes over the window, shown first.
    void Lire_Log(const std::function<void(const QByteArray*)>& remplir);
    // A title in bold in its frame, across the top of the window.
    static void Cadre_Titre(QGroupBox* cadre, QLabel* titre);

    Sous_Programmes& sp;
};
