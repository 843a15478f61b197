#pragma once

#include "Axes_Progression.h"

#include <QBrush>
#include <QDate>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>

class QPainter;

// One chart of the Progression window, drawn by the window itself: curves over the days of the
// season, or bars stacked by month, with their title, axes, graduations and grid. The same
// routine paints it on the screen, in the picture, in the PDF and on the printed page.
class Graphique_Progression : public QWidget
{
    Q_OBJECT

public:
    // A curve, x across the plot from 0 to 1 (Axes_Progression::Abscisse), y a value.
    struct Courbe
    {
        QPen trait;
        QList<QPointF> points;
        bool operator==(const Courbe& autre) const { return trait == autre.trait && points == autre.points; }
    };
    // A set of bars, one height per category, stacked on the sets before it.
    struct Ensemble
    {
        QString nom;
        QBrush pinceau;
        QPen bord = Qt::NoPen;
        QList<int> valeurs;
        bool operator==(const Ensemble& autre) const
        {
            return nom == autre.nom && pinceau == autre.pinceau && bord == autre.bord && valeurs == autre.valeurs;
        }
    };

    explicit Graphique_Progression(const QString& titre, QWidget* parent = nullptr);

    // Curves over the days from debut to fin (excluded), with that many dated graduations.
    void Definir_Jours(const QList<Courbe>& courbes, const QDate& debut, const QDate& fin, int graduations,
                       const Axes_Progression::Entier& axe);
    // Bars stacked by category, the categories named under them.
    void Definir_Barres(const QStringList& categories, const QString& titreAxe, const QList<Ensemble>& ensembles,
                        const Axes_Progression::Entier& axe);

    const QString& Titre() const { return m_titre; }
    const QList<Courbe>& Courbes() const { return m_courbes; }
    const QStringList& Categories() const { return m_categories; }
    const QString& Titre_Axe() const { return m_titreAxe; }
    const QList<Ensemble>& Ensembles() const { return m_ensembles; }
    const Axes_Progression::Entier& Axe_Vertical() const { return m_axe; }

    // Draws the chart in a rectangle of any device; text is measured as on that device.
    void Peindre(QPainter& peintre, const QRectF& zone) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_titre;
    bool m_barres = false;
    QList<Courbe> m_courbes;
    QDate m_debut, m_fin;
    int m_graduations = 2;
    QStringList m_categories;
    QString m_titreAxe;
    QList<Ensemble> m_ensembles;
    Axes_Progression::Entier m_axe;
};
