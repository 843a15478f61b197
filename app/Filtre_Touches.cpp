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
    auto* filtre = new Filtre_Touches(controle, std::move(gestionnaire));
    // An editable combo box types into its own line edit; watching the box too would run
    // the handler twice, since the line edit passes Enter on to its parent.
    if (auto* combo = qobject_cast<QComboBox*>(controle); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(filtre);
    else
        controle->installEventFilter(filtre);
}

static QLineEdit* Edition(QWidget* controle)
{
    if (auto* ligne = qobject_cast<QLineEdit*>(controle))
        return ligne;
    if (auto* combo = qobject_cast<QComboBox*>(controle))
        return combo->lineEdit();
    return nullptr;
}

bool Filtre_Touches::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* touche = static_cast<QKeyEvent*>(event);
    if (touche->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    int code = 0;
    if (touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter)
        code = 13;
    else if (touche->text().size() == 1 && touche->text().at(0).unicode() >= 32
             && touche->text().at(0).unicode() != 127)
        code = touche->text().at(0).unicode();
    else
        return false; // arrows, Tab, Backspace and the like go to the control untouched

    const int avant = code;
    QPointer<QObject> garde(objet);
    m_gestionnaire(code);
    if (!garde)
        return true;
    if (code == avant && code != 13)
        return false;
    if (code == 0 || code == 13)
        return code == 0;
    // The handler changed the character: the control receives the new one.
    if (QLineEdit* edition = Edition(m_controle); edition && !edition->isReadOnly() && edition->isEnabled())
        edition->insert(QString(QChar(code)));
    return true;
}

bool Entree_Sur_Boutons::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* touche = static_cast<QKeyEvent*>(event);
        if ((touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter)
            && touche->modifiers() == Qt::NoModifier) {
            if (auto* bouton = qobject_cast<QPushButton*>(objet); bouton && bouton->isEnabled()) {
                bouton->click();
                return true;
            }
        }
    }
    return QObject::eventFilter(objet, event);
}
