#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Gives an entry control the key-press contract of the original platform: the handler
// receives the typed character code by reference (13 for Enter) and may change it, or set
// it to 0 so that the control receives nothing.
class Filtre_Touches : public QObject
{
    Q_OBJECT

public:
    using Gestionnaire = std::function<void(int& KeyAscii)>;

    static void Installer(QWidget* controle, Gestionnaire gestionnaire);

    bool eventFilter(QObject* objet, QEvent* event) override;

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
