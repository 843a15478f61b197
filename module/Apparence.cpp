#include "Apparence.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPalette>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

namespace Apparence {

void Appliquer(QStyle* style)
{
    QApplication::setStyle(style ? style : QStyleFactory::create(QStringLiteral("Fusion")));
    // Windows names the fonts of its windows, dialogs, menus and messages. Where no font of that
    // name is installed (a Windows without its own fonts, as under wine), Qt falls back on the
    // first family it lists, which can be a mathematical font that a text box leaves blank.
    // Each name then stands for the first of these that exists; where it exists, it is used.
    // DejaVu before Liberation Sans, whose capital I vanishes at the windows' 8 points there.
    const QStringList sansEmpattement{QStringLiteral("Segoe UI"), QStringLiteral("Tahoma"), QStringLiteral("Arial"),
                                      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
    for (const char* nom : {"MS Shell Dlg 2", "MS Shell Dlg", "MS Sans Serif", "Microsoft Sans Serif", "Segoe UI",
                            "Tahoma", "Arial"}) {
        QStringList autres = sansEmpattement;
        autres.removeAll(QString::fromLatin1(nom));
        QFont::insertSubstitutions(QString::fromLatin1(nom), autres);
    }
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

void Colorer(QWidget* controle, const QColor& couleur)
{
    // The text's colours go with the background: the desktop's own (white text of a dark
    // theme, say) would not be legible on these pale colours.
    QPalette p = controle->palette();
    for (auto groupe : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(groupe, QPalette::Base, couleur);
        p.setColor(groupe, QPalette::Text, groupe == QPalette::Disabled ? Texte_Grise : Texte_Noir);
    }
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

void Colonnes_Entieres(QFileDialog& dialogue)
{
    for (QTreeView* vue : dialogue.findChildren<QTreeView*>()) {
        QHeaderView* entete = vue->header();
        for (int i = 0; i < entete->count(); ++i) {
            // What the style needs for this header: its text, its margins and the sort arrow.
            QStyleOptionHeader option;
            option.initFrom(entete);
            option.text = entete->model()->headerData(i, Qt::Horizontal).toString();
            option.sortIndicator = QStyleOptionHeader::SortDown;
            const int largeur = entete->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), entete).width();
            if (entete->sectionSize(i) < largeur)
                entete->resizeSection(i, largeur);
        }
    }
    // Then, once the dialog is shown and its list has its width, the dialog as wide as its
    // columns, within the screen: none is left to a sideways scroll.
    QTimer::singleShot(0, &dialogue, [fenetre = &dialogue] {
        int manque = 0;
        for (QTreeView* vue : fenetre->findChildren<QTreeView*>())
            if (vue->isVisible())
                manque = qMax(manque, vue->header()->length() - vue->viewport()->width());
        if (manque <= 0)
            return;
        const QScreen* ecran = fenetre->screen() ? fenetre->screen() : QGuiApplication::primaryScreen();
        const int limite = ecran ? ecran->availableGeometry().width() - 40 : fenetre->width() + manque + 2;
        fenetre->resize(qMax(fenetre->width(), qMin(fenetre->width() + manque + 2, limite)), fenetre->height());
    });
}

void Preparer_Liste(QListView* liste, QAbstractItemModel* modele)
{
    liste->setModel(modele);
    liste->setUniformItemSizes(true);
    liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste->setSelectionMode(QAbstractItemView::SingleSelection);
    liste->setFont(Police_Liste());
    Colorer(liste, Jaune_Pale);
}

void Ordre_Clavier(std::initializer_list<QWidget*> controles)
{
    QWidget* avant = nullptr;
    for (QWidget* controle : controles) {
        if (avant)
            QWidget::setTabOrder(avant, controle);
        avant = controle;
    }
}

void Fermer_Par_Echap(QWidget* fenetre)
{
    // A shortcut of the window, not a key handler: it works wherever the focus is in the
    // window, and an open popup (a combo box's list, a menu) still takes Escape first.
    auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), fenetre, fenetre, [fenetre] { fenetre->close(); },
                                Qt::WindowShortcut);
    echap->setObjectName(QStringLiteral("Fermer_Par_Echap"));
}

} // namespace Apparence
