#include "Image_Carte.h"

#include "Geometrie_Carte.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// A contacted departement, pale enough for the black outline and name to stay readable.
const QColor Vert_Forme(176, 255, 176);

// A picture kept for the session, with what it was drawn for.
struct Image_Gardee
{
    QString cle;
    QImage image;
};

} // namespace

Image_Carte::Image_Carte(QWidget* parent) : QWidget(parent), carte(Geometrie_Carte::Carte())
{
    setFixedSize(Geometrie_Carte::Largeur + 2 * Bord, Geometrie_Carte::Hauteur + 2 * Bord + 5);
}

QRect Image_Carte::Place_Case(int numero) const
{
    const Departement_Carte* d = carte.valide ? carte.Departement(numero) : nullptr;
    const QRectF place = d ? d->case_dep : carte.Case_Sans_Departement();
    return place.toRect().translated(Bord, Bord);
}

void Image_Carte::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!carte.valide) {
        p.fillRect(rect(), Qt::white);
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, carte.erreur);
        return;
    }
    p.drawImage(QPoint(0, 0), Rendu());
}

QString Image_Carte::Cle_Dessin() const
{
    return font().key() + u'|' + QString::number(devicePixelRatioF()) + u'|' + QString::number(logicalDpiX()) + u'|'
        + QString::number(logicalDpiY()) + u'|' + QString::number(width()) + u'x' + QString::number(height());
}

QImage Image_Carte::Nouvelle_Image(QImage::Format format) const
{
    const qreal echelle = devicePixelRatioF();
    QImage image((QSizeF(size()) * echelle).toSize(), format);
    image.setDevicePixelRatio(echelle);
    // Text in points comes out the size it has on the screen.
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    return image;
}

const QImage& Image_Carte::Rendu() const
{
    // The whole map, kept while the same departements are contacted: reopening the window,
    // or painting it again, costs one copy instead of a hundred outlines.
    static Image_Gardee dessin;
    QString cle = Cle_Dessin() + u'|';
    for (const Departement_Carte& d : carte.departements)
        cle += Contacte && Contacte(d.numero) ? u'1' : u'0';
    if (dessin.cle == cle && !dessin.image.isNull())
        return dessin.image;

    QImage image = Nouvelle_Image(QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.translate(Bord, Bord);
    p.setRenderHint(QPainter::Antialiasing);

    for (const Departement_Carte& d : carte.departements) {
        const bool vert = Contacte && Contacte(d.numero);
        p.setBrush(vert ? QBrush(Vert_Forme) : QBrush(Qt::white));
        p.setPen(QPen(Qt::black, d.reduit ? 0.5 : 0.8));
        p.drawPath(d.forme);
    }

    // The inset's frame, and a dotted frame where its departements lie on the mainland.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(carte.encart);
    p.setPen(QPen(Qt::black, 0.7, Qt::DotLine));
    p.drawRect(carte.zone_encart);
    p.drawLine(carte.zone_encart.topLeft(), carte.encart.bottomRight());

    p.resetTransform();
    p.drawImage(QPoint(0, 0), Calque_Textes());
    p.end();
    dessin = {cle, image};
    return dessin.image;
}

const QImage& Image_Carte::Calque_Textes() const
{
    static Image_Gardee calque;
    const QString cle = Cle_Dessin();
    if (calque.cle != cle || calque.image.isNull()) {
        QImage image = Nouvelle_Image(QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.translate(Bord, Bord);
        Dessiner_Textes(p);
        p.end();
        calque = {cle, image};
    }
    return calque.image;
}

void Image_Carte::Dessiner_Textes(QPainter& p) const
{
    p.setPen(Qt::black);
    const QFont police = Geometrie_Carte::Police_Noms();
    const double hauteurLigne = QFontMetricsF(police).height();
    for (const Departement_Carte& d : carte.departements) {
        if (d.reduit)
            continue;
        // The number, under its box, so that the image alone still tells the departements.
        p.setFont(font());
        p.drawText(d.case_dep, Qt::AlignCenter, d.numero == 96 ? QStringLiteral("2A")
                                                 : d.numero == 97 ? QStringLiteral("2B")
                                                                  : QString::number(d.numero).rightJustified(2, u'0'));
        p.setFont(police);
        double y = d.zone_nom.top();
        for (const QString& ligne : d.lignes_nom) {
            const QRectF zone(d.zone_nom.center().x() - 40, y, 80, hauteurLigne);
            // A white halo keeps the name readable where it crosses a border or a neighbour.
            p.setPen(Qt::white);
            for (QPointF decalage : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
                p.drawText(zone.translated(decalage), Qt::AlignHCenter | Qt::AlignTop, ligne);
            p.setPen(Qt::black);
            p.drawText(zone, Qt::AlignHCenter | Qt::AlignTop, ligne);
            y += hauteurLigne;
        }
    }
}
