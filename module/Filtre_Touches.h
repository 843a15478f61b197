#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;

// Gives an entry control the key-press contract of the original platform: the handler
// receives the typed character code by reference (13 for Enter) and may change it, or set
// it to 0 so that the control receives nothing. The codes are those the original key press
// gave: printable characters, Enter 13, Backspace 8, Escape 27 and Ctrl+letter 1 to 26; Tab,
// the arrows and the other keys without a character never reach the handler.
class Filtre_Touches : public QObject
{
    Q_OBJECT

public:
    using Gestionnaire = std::function<void(int& KeyAscii)>;

    static void Installer(QWidget* controle, Gestionnaire gestionnaire);

    bool eventFilter(QObject* objet, QEvent* event) override;

    // The character code of a key press as the handlers see it, 0 for a key they never see.
    static int Code_Touche(const QKeyEvent& touche);
    // The line edit that holds an entry control's text: the control itself, or an editable
    // combo box's line edit; none for anything else.
    static QLineEdit* Champ_Texte(QObject* controle);

private:
    Filtre_Touches(QWidget* controle, Gestionnaire gestionnaire);
    QWidget* m_controle;
    Gestionnaire m_gestionnaire;
};

// Enter on a focused push button clicks it, as on the original platform, so that the
// whole program works from the keyboard. Installed once on the application.
class Entree_Sur_Boutons : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    bool eventFilter(QObject* objet, QEvent* event) override;
};
