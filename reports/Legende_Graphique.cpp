#include "Legende_Graphique.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr qreal Marge = 6;        // around the whole legend
constexpr qreal Marque = 10;      // side of a square, height of a line's sample
constexpr qreal Ligne_Marque = 24; // length of a line's sample
constexpr qreal Entre_Marque_Et_Nom = 5;
constexpr qreal Entre_Entrees = 14;

} // namespace

Legende_Graphique::Legende_Graphique(Qt::Orientation sens, QWidget* parent) : QWidget(parent), m_sens(sens)
{
    setAutoFillBackground(true);
    // The charts' light theme, whatever the desktop's colours.
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    setPalette(p);
    setSizePolicy(sens == Qt::Horizontal ? QSizePolicy::Preferred : QSizePolicy::Fixed,
                  sens == Qt::Horizontal ? QSizePolicy::Fixed : QSizePolicy::Preferred);
}

void Legende_Graphique::Definir(const QList<Entree>& entrees)
{
    bool pareil = entrees.size() == m_entrees.size();
    for (qsizetype i = 0; pareil && i < entrees.size(); ++i)
        pareil = entrees[i].nom == m_entrees[i].nom && entrees[i].pinceau == m_entrees[i].pinceau
            && entrees[i].trait == m_entrees[i].trait;
    if (pareil)
        return;
    m_entrees = entrees;
    QStringList noms;
    for (const Entree& e : entrees)
        noms << e.nom;
    setAccessibleName(QStringLiteral("Légende : ") + noms.join(QStringLiteral(", ")));
    updateGeometry();
    update();
}

QList<Legende_Graphique::Place> Legende_Graphique::Disposer(const QFont& police, qreal largeur, QPaintDevice* appareil,
                                                            QSizeF* taille) const
{
    const QFontMetricsF mesure = appareil ? QFontMetricsF(police, appareil) : QFontMetricsF(police);
    const qreal hauteur = qMax(mesure.height(), Marque);
    QList<Place> places;
    qreal x = Marge, y = Marge, largeurMax = 0;
    for (const Entree& e : m_entrees) {
        const qreal marque = e.trait.style() == Qt::NoPen ? Marque : Ligne_Marque;
        const qreal nom = mesure.horizontalAdvance(e.nom);
        const qreal occupe = marque + Entre_Marque_Et_Nom + nom;
        if (m_sens == Qt::Horizontal && x > Marge && x + occupe + Marge > largeur) {
            x = Marge;
            y += hauteur + 4;
        }
        Place p;
        p.marque = QRectF(x, y + (hauteur - Marque) / 2, marque, Marque);
        p.texte = QRectF(x + marque + Entre_Marque_Et_Nom, y, nom + 1, hauteur);
        places.append(p);
        largeurMax = qMax(largeurMax, p.texte.right());
        if (m_sens == Qt::Horizontal)
            x += occupe + Entre_Entrees;
        else
            y += hauteur + 4;
    }
    if (taille) {
        const qreal bas = places.isEmpty() ? Marge : places.last().texte.bottom();
        *taille = QSizeF(largeurMax + Marge, bas + Marge);
    }
    return places;
}

QSizeF Legende_Graphique::Taille(const QFont& police, qreal largeur, QPaintDevice* appareil) const
{
    QSizeF taille;
    Disposer(police, largeur, appareil, &taille);
    return taille;
}

void Legende_Graphique::Peindre(QPainter& peintre, const QRectF& zone) const
{
    QSizeF taille;
    const QList<Place> places = Disposer(peintre.font(), zone.width(), peintre.device(), &taille);
    // Each row centred across under a chart; the column centred up and down beside one.
    QList<QPointF> decalages(places.size(), zone.topLeft());
    if (m_sens == Qt::Horizontal) {
        for (qsizetype debut = 0, fin = 0; debut < places.size(); debut = fin) {
            fin = debut + 1;
            while (fin < places.size() && places[fin].texte.top() == places[debut].texte.top())
                ++fin;
            const qreal largeurRang = places[fin - 1].texte.right() - places[debut].marque.left();
            const qreal x = (zone.width() - largeurRang) / 2 - places[debut].marque.left();
            for (qsizetype i = debut; i < fin; ++i)
                decalages[i] += QPointF(x, 0);
        }
    } else {
        const qreal y = qMax<qreal>(0, (zone.height() - taille.height()) / 2);
        for (QPointF& d : decalages)
            d += QPointF(0, y);
    }
    peintre.save();
    for (qsizetype i = 0; i < places.size(); ++i) {
        const Entree& e = m_entrees[i];
        const QRectF marque = places[i].marque.translated(decalages[i]);
        if (e.trait.style() != Qt::NoPen) {
            peintre.setPen(e.trait);
            peintre.drawLine(QPointF(marque.left(), marque.center().y()), QPointF(marque.right(), marque.center().y()));
        } else {
            peintre.fillRect(marque, e.pinceau);
        }
        peintre.setPen(palette().color(QPalette::WindowText));
        peintre.drawText(places[i].texte.translated(decalages[i]), Qt::AlignLeft | Qt::AlignVCenter, e.nom);
    }
    peintre.restore();
}

QSize Legende_Graphique::sizeHint() const
{
    // Across, the names on one row: under a chart as wide as the window allows, they fit.
    return Taille(font(), 100000).toSize() + QSize(1, 1);
}

QSize Legende_Graphique::minimumSizeHint() const
{
    const QSize taille = sizeHint();
    return m_sens == Qt::Horizontal ? QSize(0, taille.height()) : taille;
}

void Legende_Graphique::paintEvent(QPaintEvent*)
{
    QPainter peintre(this);
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.setFont(font());
    Peindre(peintre, QRectF(rect()));
}
