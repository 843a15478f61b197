#include "Image_Carte.h"

#include "Geometrie_Carte.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

// A contacted departement, pale enough for the black outline and name to stay readable.
const QColor Vert_Forme(176, 255, 176);

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
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!carte.valide) {
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, carte.erreur);
        return;
    }
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

    p.setRenderHint(QPainter::Antialiasing, false);
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
