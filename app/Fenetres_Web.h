#pragma once

class QWidget;
class Sous_Programmes;

// The two web windows live in a library of their own, linked only into the program and its
// web tests, so that the rest is built and tested without the web engine, and the engine is
// loaded only when one of them first opens. That library fills in the two openers at start.
namespace Fenetres_Web {

using Ouvreur = QWidget* (*)(Sous_Programmes& sp, QWidget* parent);
extern Ouvreur Reglement;
extern Ouvreur Liste_KVRT1;

QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent);
QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, QWidget* parent);

} // namespace Fenetres_Web
