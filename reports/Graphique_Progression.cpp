#include "Graphique_Progression.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace {

constexpr qreal Marge = 20;           // around the chart, inside its white
constexpr qreal Sous_Titre = 14;      // between the title and the plot
constexpr qreal Graduation = 5;       // length of a tick outside the plot
constexpr qreal Entre_Texte = 3;      // between a tick and its label
constexpr qreal Largeur_Barre = 0.8;  // of a bar in its month

// The charts' light theme, whatever the desktop's colours.
const QColor Couleur_Texte(0x40, 0x40, 0x40);
const QColor Couleur_Grille(0xe2, 0xe2, 0xe2);
const QColor Couleur_Axe(0xb0, 0xb0, 0xb0);

QFont Police_Titre(QFont f)
{
    f.setBold(true);
    f.setPointSize(11);
    return f;
}

} // namespace

Graphique_Progression::Graphique_Progression(const QString& titre, QWidget* parent) : QWidget(parent), m_titre(titre)
{
    setMinimumSize(360, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Painted whole each time, white included: nothing behind it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(titre);
}

void Graphique_Progression::Definir_Jours(const QList<Courbe>& courbes, const QDate& debut, const QDate& fin,
                                          int graduations, const Axes_Progression::Entier& axe)
{
    if (!m_barres && courbes == m_courbes && debut == m_debut && fin == m_fin && graduations == m_graduations && axe == m_axe)
        return;
    m_barres = false;
    m_courbes = courbes;
    m_debut = debut;
    m_fin = fin;
    m_graduations = graduations;
    m_axe = axe;
    update();
}

void Graphique_Progression::Definir_Barres(const QStringList& categories, const QString& titreAxe,
                                           const QList<Ensemble>& ensembles, const Axes_Progression::Entier& axe)
{
    if (m_barres && categories == m_categories && titreAxe == m_titreAxe && ensembles == m_ensembles && axe == m_axe)
        return;
    m_barres = true;
    m_categories = categories;
    m_titreAxe = titreAxe;
    m_ensembles = ensembles;
    m_axe = axe;
    update();
}

void Graphique_Progression::Peindre(QPainter& peintre, const QRectF& zone) const
{
    peintre.save();
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.setRenderHint(QPainter::TextAntialiasing);
    peintre.fillRect(zone, Qt::white);

    QPaintDevice* appareil = peintre.device();
    const QFont texte = font();
    const QFont titre = Police_Titre(texte);
    QFont titreAxe = texte;
    titreAxe.setBold(true);
    const QFontMetricsF mesureTitre(titre, appareil), mesure(texte, appareil), mesureAxe(titreAxe, appareil);

    // The labels of both axes, to know the room they take.
    QStringList valeurs;
    const int nombreValeurs = qMax(2, m_axe.Graduations());
    qreal largeurValeurs = 0;
    for (int i = 0; i < nombreValeurs; ++i) {
        valeurs << QString::number(qint64(i) * m_axe.pas);
        largeurValeurs = qMax(largeurValeurs, mesure.horizontalAdvance(valeurs.last()));
    }
    QStringList etiquettes;
    QList<Axes_Progression::Graduation> jours;
    if (m_barres) {
        etiquettes = m_categories;
    } else {
        jours = Axes_Progression::Graduations_Jours(m_debut, m_fin, m_graduations);
        for (const Axes_Progression::Graduation& g : std::as_const(jours))
            etiquettes << g.jour.toString(QStringLiteral("dd/MM"));
    }
    qreal demiEtiquette = 0;
    if (!m_barres && !etiquettes.isEmpty())
        demiEtiquette = mesure.horizontalAdvance(etiquettes.last()) / 2;

    const QRectF zoneTitre(zone.left() + Marge, zone.top() + Marge, zone.width() - 2 * Marge, mesureTitre.height());
    qreal bas = zone.bottom() - Marge - mesure.height() - Graduation - Entre_Texte;
    if (m_barres && !m_titreAxe.isEmpty())
        bas -= mesureAxe.height() + Entre_Texte;
    const QRectF trace(QPointF(zone.left() + Marge + largeurValeurs + Entre_Texte + Graduation,
                               zoneTitre.bottom() + Sous_Titre),
                       QPointF(zone.right() - Marge - demiEtiquette, bas));

    peintre.setPen(Couleur_Texte);
    peintre.setFont(titre);
    peintre.drawText(zoneTitre, Qt::AlignCenter, m_titre);
    if (trace.width() <= 1 || trace.height() <= 1) {
        peintre.restore();
        return;
    }

    const qreal maximum = qMax(1, m_axe.maximum);
    auto y = [&](qreal v) { return trace.bottom() - v / maximum * trace.height(); };
    auto x = [&](qreal abscisse) { return trace.left() + abscisse * trace.width(); };

    // The grid and the graduations of the values, left.
    peintre.setFont(texte);
    QPen grille(Couleur_Grille, 1);
    grille.setCosmetic(true);
    QPen axe(Couleur_Axe, 1);
    axe.setCosmetic(true);
    for (int i = 0; i < nombreValeurs; ++i) {
        const qreal h = y(qreal(i) * m_axe.pas);
        peintre.setPen(i == 0 ? axe : grille);
        peintre.drawLine(QPointF(trace.left(), h), QPointF(trace.right(), h));
        peintre.setPen(axe);
        peintre.drawLine(QPointF(trace.left() - Graduation, h), QPointF(trace.left(), h));
        peintre.setPen(Couleur_Texte);
        const QRectF place(zone.left(), h - mesure.height() / 2, trace.left() - Graduation - Entre_Texte - zone.left(),
                           mesure.height());
        peintre.drawText(place, Qt::AlignRight | Qt::AlignVCenter, valeurs[i]);
    }

    // The graduations across, and their labels where they do not run into the one before.
    const int colonnes = m_barres ? qMax<int>(1, int(m_categories.size())) : int(jours.size());
    const qreal hautEtiquette = trace.bottom() + Graduation + Entre_Texte;
    qreal finPrecedente = -1e9;
    for (int i = 0; i < colonnes; ++i) {
        qreal trait, centre;
        if (m_barres) {
            trait = trace.left() + trace.width() * i / colonnes;
            centre = trait + trace.width() / colonnes / 2;
        } else {
            trait = x(jours[i].x);
            centre = trait;
        }
        peintre.setPen(i == 0 ? axe : grille);
        peintre.drawLine(QPointF(trait, trace.top()), QPointF(trait, trace.bottom()));
        peintre.setPen(axe);
        peintre.drawLine(QPointF(trait, trace.bottom()), QPointF(trait, trace.bottom() + Graduation));
        if (i < etiquettes.size()) {
            const qreal largeur = mesure.horizontalAdvance(etiquettes[i]);
            if (centre - largeur / 2 > finPrecedente + Entre_Texte) {
                peintre.setPen(Couleur_Texte);
                peintre.drawText(QRectF(centre - largeur / 2 - 1, hautEtiquette, largeur + 2, mesure.height()),
                                 Qt::AlignCenter, etiquettes[i]);
                finPrecedente = centre + largeur / 2;
            }
        }
    }
    // The plot closed on the right: past the last day's label, its day still runs to there.
    peintre.setPen(grille);
    peintre.drawLine(QPointF(trace.right(), trace.top()), QPointF(trace.right(), trace.bottom()));
    if (m_barres) {
        if (!m_titreAxe.isEmpty()) {
            peintre.setFont(titreAxe);
            peintre.setPen(Couleur_Texte);
            peintre.drawText(QRectF(trace.left(), hautEtiquette + mesure.height() + Entre_Texte, trace.width(),
                                    mesureAxe.height()),
                             Qt::AlignCenter, m_titreAxe);
        }
    }

    if (m_barres) {
        // Each month's bar, the sets stacked in their order from the bottom.
        const qreal colonne = trace.width() / colonnes;
        for (int i = 0; i < int(m_categories.size()); ++i) {
            const qreal gauche = trace.left() + colonne * (i + (1 - Largeur_Barre) / 2);
            qint64 cumul = 0;
            for (const Ensemble& e : m_ensembles) {
                const int v = i < e.valeurs.size() ? e.valeurs[i] : 0;
                if (v <= 0)
                    continue;
                const QRectF barre(QPointF(gauche, y(qreal(cumul + v))), QPointF(gauche + colonne * Largeur_Barre, y(qreal(cumul))));
                cumul += v;
                peintre.setPen(e.bord);
                peintre.setBrush(e.pinceau);
                peintre.drawRect(barre);
            }
        }
    } else {
        // The curves over the plot, cut at its edges but never halfway through their width.
        qreal epaisseur = 0;
        for (const Courbe& c : m_courbes)
            epaisseur = qMax(epaisseur, c.trait.widthF());
        peintre.setClipRect(trace.adjusted(-epaisseur / 2, -epaisseur / 2, epaisseur / 2, epaisseur / 2), Qt::IntersectClip);
        peintre.setBrush(Qt::NoBrush);
        for (const Courbe& c : m_courbes) {
            QPolygonF ligne;
            ligne.reserve(c.points.size());
            for (const QPointF& p : c.points)
                ligne.append(QPointF(x(p.x()), y(p.y())));
            peintre.setPen(c.trait);
            peintre.drawPolyline(ligne);
        }
    }
    peintre.restore();
}

void Graphique_Progression::paintEvent(QPaintEvent*)
{
    QPainter peintre(this);
    Peindre(peintre, QRectF(rect()));
}
