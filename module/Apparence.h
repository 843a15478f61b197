#pragma once

#include <QColor>
#include <QFont>

#include <initializer_list>

class QAbstractItemModel;
class QFileDialog;
class QLabel;
class QListView;
class QStyle;
class QWidget;

// Colours and fonts the whole program shares.
namespace Apparence {

// Pale yellow: a field that is idle or already accepted, and the data boxes.
inline const QColor Jaune_Pale = QColor(255, 255, 192);
// Pale green: the field that expects input next.
inline const QColor Vert_Pale = QColor(192, 255, 192);
// A contacted departement on the map.
inline const QColor Vert_Carte = QColor(128, 255, 128);
// The text of a coloured box: black, and grey while the box is disabled, legible on both pale
// colours whatever the desktop's own colours are.
inline const QColor Texte_Noir = QColor(0, 0, 0);
inline const QColor Texte_Grise = QColor(112, 112, 112);

// Gives the whole program its look, before any window is made: the style given (the Fusion
// style when none), and a font that exists for every font name the platform hands to the windows.
void Appliquer(QStyle* style = nullptr);

// Sets the background of an entry control in every state, enabled or not, and its text's
// colours with it.
void Colorer(QWidget* controle, const QColor& couleur);
QColor Couleur(const QWidget* controle);

// Bold fixed-pitch font of the lists: "Terminal" where it exists, else the system's own.
QFont Police_Liste(int points = 9);
// "Courier New" where it exists, else its metric-compatible substitute, for printing.
QFont Police_Impression();

// A list of log lines as every window shows them: its model, read-only, one row chosen at a
// time, rows of one height (a list of tens of thousands of QSOs opens at once), in the lists'
// font on pale yellow.
void Preparer_Liste(QListView* liste, QAbstractItemModel* modele);

// Makes a label the caption of its control: the label becomes its buddy and its text the
// name a screen reader announces for the control.
void Etiqueter(QLabel* label, QWidget* controle);

// Places a window in the middle of the screen, as every window does when it loads.
void Centrer(QWidget* fenetre, int decalageVertical = 0);

// Qt's file dialog sizes its columns for English headers: each is widened to show its whole
// header ("Date de modification").
void Colonnes_Entieres(QFileDialog& dialogue);

// The keyboard order of the controls, each after the one before it.
void Ordre_Clavier(std::initializer_list<QWidget*> controles);

// Escape closes this window, as it closes a dialog on every desktop. For the windows that
// only show something; an entry window keeps Escape for its own use.
void Fermer_Par_Echap(QWidget* fenetre);

} // namespace Apparence
