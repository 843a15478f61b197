#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>

class Geometrie_Carte;
class QPainter;

// The map of Carte_Acti: the departements' outlines with their names, the inset of Paris,
// and every contacted departement filled in green. The boxes of the departement numbers
// are children laid over it by Carte_Acti at the places this widget gives.
class Image_Carte : public QWidget
{
    Q_OBJECT

public:
    explicit Image_Carte(QWidget* parent = nullptr);

    // The image sits at this offset inside the picture box's border.
    static constexpr int Bord = 3;

    // Where the box of a departement number goes, in this widget's coordinates; the numbers
    // without a departement (0, 20, 98, 99) share the empty corner at the bottom left.
    QRect Place_Case(int numero) const;
    // Tells the painting whether a departement is contacted; without it nothing is filled.
    std::function<bool(int numero)> Contacte;

    const Geometrie_Carte& carte;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& Rendu() const;
    // What the pictures depend on besides the departements contacted: font, scale, size.
    QString Cle_Dessin() const;
    QImage Nouvelle_Image(QImage::Format format) const;
    // The numbers and names, the same on every map: drawn once on a transparent layer, kept
    // for the session, and laid over the outlines at each painting.
    const QImage& Calque_Textes() const;
    void Dessiner_Textes(QPainter& p) const;
};
