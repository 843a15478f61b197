#include "Icone_Programme.h"

#include "Main.h"

#include <QApplication>
#include <QIcon>
#include <QWindow>

Icone_Programme::Icone_Programme()
{
    qApp->installEventFilter(this);
}

bool Icone_Programme::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        auto* fenetre = qobject_cast<QWidget*>(objet);
        if (fenetre && fenetre->isWindow()) {
            if (qobject_cast<Main*>(fenetre) && fenetre->windowHandle())
                m_principale = fenetre->windowHandle();
            else
                Poser();
        }
    } else if (event->type() == QEvent::Expose && objet == m_principale) {
        Poser();
    }
    return false;
}

void Icone_Programme::Poser()
{
    if (m_posee)
        return;
    m_posee = true;
    qApp->removeEventFilter(this);
    // The icon theme's pictures, which the package installs and Qt reads by itself; the SVG
    // only where they are missing and a plugin of the system can read it.
    QApplication::setWindowIcon(QIcon::fromTheme(QApplication::desktopFileName(),
                                                 QIcon(QStringLiteral(":/icone/QEZ_Challenge_KVRT.svg"))));
}
