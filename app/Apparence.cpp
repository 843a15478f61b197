#include "Apparence.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace Apparence {

void Colorer(QWidget* controle, const QColor& couleur)
{
    QPalette p = controle->palette();
    for (auto groupe : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(groupe, QPalette::Base, couleur);
    controle->setPalette(p);
}

QColor Couleur(const QWidget* controle)
{
    return controle->palette().color(QPalette::Active, QPalette::Base);
}

void Etiqueter(QLabel* label, QWidget* controle)
{
    label->setBuddy(controle);
    QString nom = label->text();
    nom.remove(QLatin1Char('&'));
    controle->setAccessibleName(nom.simplified());
}

static bool Existe(const QString& famille)
{
    return QFontDatabase::families().contains(famille, Qt::CaseInsensitive);
}

QFont Police_Liste(int points)
{
    QFont police = Existe(QStringLiteral("Terminal")) ? QFont(QStringLiteral("Terminal"))
                                                       : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    police.setStyleHint(QFont::TypeWriter);
    police.setFixedPitch(true);
    police.setPointSize(points);
    police.setBold(true);
    return police;
}

QFont Police_Impression()
{
    QString famille = QStringLiteral("Courier New");
    if (!Existe(famille)) {
        for (const char* substitut : {"Liberation Mono", "Cousine", "DejaVu Sans Mono"})
            if (Existe(QString::fromLatin1(substitut))) {
                famille = QString::fromLatin1(substitut);
                break;
            }
    }
    QFont police(famille, 10);
    police.setStyleHint(QFont::TypeWriter);
    police.setFixedPitch(true);
    police.setBold(true);
    return police;
}

void Centrer(QWidget* fenetre, int decalageVertical)
{
    QScreen* ecran = fenetre->screen() ? fenetre->screen() : QGuiApplication::primaryScreen();
    if (!ecran)
        return;
    const QRect zone = ecran->availableGeometry();
    const QSize taille = fenetre->frameGeometry().size();
    fenetre->move(zone.x() + (zone.width() - taille.width()) / 2,
                  zone.y() + (zone.height() - taille.height() + decalageVertical) / 2);
}

} // namespace Apparence
