#pragma once

#include <QBrush>
#include <QList>
#include <QPen>
#include <QString>
#include <QWidget>

class QPaintDevice;
class QPainter;

// The legend of a chart of the Progression window, drawn by the window itself beside its chart,
// and by the same routine in the picture and on the page.
class Legende_Graphique : public QWidget
{
    Q_OBJECT

public:
    struct Entree
    {
        QString nom;
        QBrush pinceau;     // the square's fill, for a set of bars
        QPen trait = Qt::NoPen; // a short stretch of the curve instead, for a line
    };

    // Horizontal: the names side by side, on as many rows as needed, under a chart.
    // Vertical: one name per row, beside a chart.
    Legende_Graphique(Qt::Orientation sens, QWidget* parent = nullptr);

    void Definir(const QList<Entree>& entrees);
    const QList<Entree>& Entrees() const { return m_entrees; }

    // What the legend needs at a font: for a row of the given width when horizontal. Text is
    // measured as on the given device (a picture, a page), or as on the screen.
    QSizeF Taille(const QFont& police, qreal largeur, QPaintDevice* appareil = nullptr) const;
    // Draws the legend in a rectangle of any device, at the painter's font.
    void Peindre(QPainter& peintre, const QRectF& zone) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Place
    {
        QRectF marque, texte;
    };
    // Where each entry goes in a rectangle of the given width, from its top left corner.
    QList<Place> Disposer(const QFont& police, qreal largeur, QPaintDevice* appareil, QSizeF* taille) const;

    Qt::Orientation m_sens;
    QList<Entree> m_entrees;
};
