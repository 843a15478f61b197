#pragma once

#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QStringView>

// One departement as the map draws it, in the map image's pixels.
struct Departement_Carte
{
    int numero = -1;       // 1-95, 96 for 2A, 97 for 2B: the number of its box
    QString code;          // "01", "2A", ... as in the SVG
    QString nom;           // name as written on the map
    QPainterPath forme;
    QPointF centre;        // the point deepest inside the shape
    QRectF case_dep;       // where the box of its number goes
    QStringList lignes_nom; // its name, broken into short lines written under the box
    QRectF zone_nom;
    bool dans_encart = false;
    bool reduit = false;   // the small copy of an inset departement left on the mainland
};

// The outline map of the departements, read from the SVG of the resources and laid out on
// a 475 x 510 image: mainland scaled to the width, Corsica moved into the bottom-right
// corner, Paris and its three neighbours enlarged in an inset in the top-left corner.
class Geometrie_Carte
{
public:
    static constexpr int Largeur = 475;
    static constexpr int Hauteur = 510;
    static constexpr int Largeur_Case = 25;
    static constexpr int Hauteur_Case = 20;

    // Built once from the resource file; later calls return the same map. When Preparer()
    // started it in the background, waits for that work instead of doing it again.
    static const Geometrie_Carte& Carte();
    // Starts building the map in a thread of its own, so that the map window's first opening
    // finds it ready rather than spending a tenth of a second on it. Attendre() waits for that
    // thread; the program calls it before it ends.
    static void Preparer();
    static void Attendre();
    // Builds a map from an SVG file; erreur says what went wrong when it is not valide.
    explicit Geometrie_Carte(const QString& fichierSvg);

    bool valide = false;
    QString erreur;
    QList<Departement_Carte> departements;
    QRectF encart;          // the inset's frame
    QRectF zone_encart;     // where the inset's departements lie on the mainland

    const Departement_Carte* Departement(int numero) const;
    // The empty corner at the bottom left where the boxes of no departement lie.
    QRectF Case_Sans_Departement() const;

    // The small condensed font of the names.
    static QFont Police_Noms();
    static QStringList Couper_Nom(const QString& nom, const QFont& police, double largeurMax);

    // SVG path data with M, L, H, V and Z, absolute or relative; false on anything else.
    static bool Lire_Chemin(QStringView donnees, QPainterPath& chemin);
    // The point of a shape farthest from its border, measured with boxes of the given
    // width to height ratio in mind, so that a wide box fits where it is placed.
    static QPointF Point_Interieur(const QPainterPath& forme, double rapport = 1.25);

private:
    void Disposer();
};
