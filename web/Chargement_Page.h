#pragma once

#include <QString>

class QLabel;
class QWidget;
class QWebEngineView;

// A web window's page, loaded once: when it cannot be loaded (no network, a host that does not
// answer), the window shows our own sentence in place of the browser, never the engine's page.
namespace Chargement_Page {

// The label, hidden until then, takes the browser's place with `echec` as its text.
void Charger(QWebEngineView* vue, QLabel* message, const QString& adresse, const QString& echec);
// A label for that sentence, hidden, its text selectable so that the address can be copied.
QLabel* Nouveau_Message(QWidget* fenetre);

} // namespace Chargement_Page
