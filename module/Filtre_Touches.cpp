#include "Filtre_Touches.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

Filtre_Touches::Filtre_Touches(QWidget* controle, Gestionnaire gestionnaire)
    : QObject(controle), m_controle(controle), m_gestionnaire(std::move(gestionnaire))
{
}

void Filtre_Touches::Installer(QWidget* controle, Gestionnaire gestionnaire)
{
    // The filter sits on the control itself, where a desktop delivers the keys: an editable
    // combo box is its line edit's focus proxy, so it receives the keys and hands them to the
    // line edit by a direct call that no filter on the line edit would see.
    controle->installEventFilter(new Filtre_Touches(controle, std::move(gestionnaire)));
}

QLineEdit* Filtre_Touches::Champ_Texte(QObject* controle)
{
    if (auto* ligne = qobject_cast<QLineEdit*>(controle))
        return ligne;
    if (auto* combo = qobject_cast<QComboBox*>(controle))
        return combo->lineEdit();
    return nullptr;
}

int Filtre_Touches::Code_Touche(const QKeyEvent& touche)
{
    // The keypad and the keyboard group (AltGr on X11) do not change what was typed.
    const Qt::KeyboardModifiers modificateurs =
        touche.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier | Qt::ShiftModifier);
    // Alt and Meta belong to the menus and the desktop; Ctrl+Alt is AltGr on some systems.
    if (modificateurs & (Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const int cle = touche.key();
    if (modificateurs & Qt::ControlModifier) {
        if (cle >= Qt::Key_A && cle <= Qt::Key_Z)
            return cle - Qt::Key_A + 1; // Ctrl+A is 1 ... Ctrl+Z is 26
        return 0;
    }
    switch (cle) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0; // moving between controls is the window's business
    default:
        break;
    }
    const QString texte = touche.text();
    if (texte.size() == 1 && texte.at(0).unicode() >= 32 && texte.at(0).unicode() != 127)
        return texte.at(0).unicode();
    return 0; // arrows, function keys, Delete and the like have no character code
}

bool Filtre_Touches::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || objet != m_controle)
        return false;
    auto* touche = static_cast<QKeyEvent*>(event);
    int code = Code_Touche(*touche);
    if (code == 0)
        return false;

    const int avant = code;
    QPointer<QObject> garde(objet);
    m_gestionnaire(code);
    if (!garde)
        return true;
    if (code == avant)
        return false; // the control receives the key as it was typed
    if (code == 0)
        return true;
    // The handler changed the character: the control receives the new one instead.
    if (QLineEdit* edition = Champ_Texte(m_controle); edition && !edition->isReadOnly() && edition->isEnabled()
        && code >= 32)
        edition->insert(QString(QChar(code)));
    return true;
}

bool Entree_Sur_Boutons::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* touche = static_cast<QKeyEvent*>(event);
        if ((touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter)
            && (touche->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (auto* bouton = qobject_cast<QPushButton*>(objet); bouton && bouton->isEnabled()) {
                bouton->click();
                return true;
            }
        }
    }
    return QObject::eventFilter(objet, event);
}
