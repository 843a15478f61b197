#include "Geometrie_Carte.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QXmlStreamReader>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Paris and its three neighbours are too small on the mainland: they get the inset.
bool Dans_Encart(int numero)
{
    return numero == 75 || numero == 92 || numero == 93 || numero == 94;
}

int Numero_Du_Code(const QString& code)
{
    if (code.compare(QLatin1String("2A"), Qt::CaseInsensitive) == 0)
        return 96;
    if (code.compare(QLatin1String("2B"), Qt::CaseInsensitive) == 0)
        return 97;
    bool ok = false;
    const int n = code.toInt(&ok);
    return ok && code.size() == 2 && n >= 1 && n <= 95 ? n : -1;
}

// Shorter names where the official one would not fit on its departement.
QString Nom_Sur_Carte(int numero, const QString& nom)
{
    switch (numero) {
    case 75: return QStringLiteral("Paris");
    case 90: return QStringLiteral("Belfort");
    default: return nom;
    }
}

QPainterPath Transformer(const QPainterPath& chemin, double echelle, QPointF origine, QPointF destination)
{
    QTransform t;
    t.translate(destination.x(), destination.y());
    t.scale(echelle, echelle);
    t.translate(-origine.x(), -origine.y());
    return t.map(chemin);
}

// The one map of the program, built by the first caller or by the background thread.
std::mutex Verrou_Carte;
std::shared_future<std::shared_ptr<const Geometrie_Carte>> Carte_Commune;

std::shared_future<std::shared_ptr<const Geometrie_Carte>> Lancer(std::launch maniere)
{
    const std::lock_guard<std::mutex> verrou(Verrou_Carte);
    if (!Carte_Commune.valid())
        Carte_Commune = std::async(maniere, [] {
                            return std::make_shared<const Geometrie_Carte>(QStringLiteral(":/carte/france.departments.svg"));
                        }).share();
    return Carte_Commune;
}

} // namespace

const Geometrie_Carte& Geometrie_Carte::Carte()
{
    // Fonts and painting on an image are safe outside the GUI thread; the map holds no widget.
    return *Lancer(std::launch::deferred).get();
}

void Geometrie_Carte::Preparer()
{
    Lancer(std::launch::async);
}

void Geometrie_Carte::Attendre()
{
    std::shared_future<std::shared_ptr<const Geometrie_Carte>> enCours;
    {
        const std::lock_guard<std::mutex> verrou(Verrou_Carte);
        enCours = Carte_Commune;
    }
    // A map left to its first caller is not waited for: waiting would build it here.
    if (enCours.valid() && enCours.wait_for(std::chrono::seconds(0)) != std::future_status::deferred)
        enCours.wait();
}

const Departement_Carte* Geometrie_Carte::Departement(int numero) const
{
    for (const Departement_Carte& d : departements)
        if (d.numero == numero && !d.reduit)
            return &d;
    return nullptr;
}

bool Geometrie_Carte::Lire_Chemin(QStringView donnees, QPainterPath& chemin)
{
    chemin = QPainterPath();
    chemin.setFillRule(Qt::OddEvenFill);
    QChar commande;
    QPointF courant, debut;
    qsizetype i = 0;
    const qsizetype n = donnees.size();
    auto blancs = [&] {
        while (i < n && (donnees[i].isSpace() || donnees[i] == u','))
            ++i;
    };
    auto nombre = [&](double& valeur) {
        blancs();
        const qsizetype d = i;
        if (i < n && (donnees[i] == u'-' || donnees[i] == u'+'))
            ++i;
        while (i < n && (donnees[i].isDigit() || donnees[i] == u'.'))
            ++i;
        if (i < n && (donnees[i] == u'e' || donnees[i] == u'E')) {
            ++i;
            if (i < n && (donnees[i] == u'-' || donnees[i] == u'+'))
                ++i;
            while (i < n && donnees[i].isDigit())
                ++i;
        }
        bool ok = false;
        valeur = donnees.mid(d, i - d).toDouble(&ok);
        return ok;
    };
    while (true) {
        blancs();
        if (i >= n)
            break;
        const QChar c = donnees[i];
        if (c.isLetter()) {
            commande = c;
            ++i;
            if (commande == u'z' || commande == u'Z') {
                chemin.closeSubpath();
                courant = debut;
            }
            continue;
        }
        if (commande.isNull())
            return false;
        double x = 0, y = 0;
        switch (commande.unicode()) {
        case 'M': case 'm': case 'L': case 'l':
            if (!nombre(x) || !nombre(y))
                return false;
            if (commande.isLower())
                x += courant.x(), y += courant.y();
            courant = QPointF(x, y);
            if (commande == u'M' || commande == u'm') {
                chemin.moveTo(courant);
                debut = courant;
                // Pairs after a move are lines, in the same relative or absolute sense.
                commande = commande == u'm' ? QChar(u'l') : QChar(u'L');
            } else {
                chemin.lineTo(courant);
            }
            break;
        case 'H': case 'h':
            if (!nombre(x))
                return false;
            courant.setX(commande == u'h' ? courant.x() + x : x);
            chemin.lineTo(courant);
            break;
        case 'V': case 'v':
            if (!nombre(y))
                return false;
            courant.setY(commande == u'v' ? courant.y() + y : y);
            chemin.lineTo(courant);
            break;
        default:
            return false; // curves never occur in the map
        }
    }
    return !chemin.isEmpty();
}

QPointF Geometrie_Carte::Point_Interieur(const QPainterPath& forme, double rapport)
{
    const QRectF cadre = forme.boundingRect();
    struct Segment { QPointF a, b; };
    QList<Segment> segments;
    for (const QPolygonF& p : forme.toSubpathPolygons())
        for (qsizetype k = 0; k + 1 < p.size(); ++k)
            segments.append({QPointF(p[k].x() / rapport, p[k].y()), QPointF(p[k + 1].x() / rapport, p[k + 1].y())});

    // Distance to the border in a space squeezed horizontally, so that the deepest point
    // leaves rapport times more room across than up and down.
    // A point only counts when deeper than the best so far: the search through the border
    // stops as soon as a segment comes closer than that, and the point is worth nothing.
    QPointF meilleur = cadre.center();
    double record = -1;
    auto profondeur = [&](QPointF point) {
        const QPointF q(point.x() / rapport, point.y());
        const double seuil = record < 0 ? -1.0 : record * record;
        double meilleure = std::numeric_limits<double>::max();
        for (const Segment& s : segments) {
            const QPointF ab = s.b - s.a, aq = q - s.a;
            const double l2 = QPointF::dotProduct(ab, ab);
            const double t = l2 > 0 ? qBound(0.0, QPointF::dotProduct(aq, ab) / l2, 1.0) : 0.0;
            const QPointF d = q - (s.a + t * ab);
            meilleure = qMin(meilleure, QPointF::dotProduct(d, d));
            if (meilleure <= seuil)
                return -1.0;
        }
        if (!forme.contains(point))
            return -1.0;
        return std::sqrt(meilleure);
    };

    double pas = qMax(0.5, qMin(cadre.width(), cadre.height()) / 30.0);
    for (double y = cadre.top() + pas / 2; y < cadre.bottom(); y += pas)
        for (double x = cadre.left() + pas / 2; x < cadre.right(); x += pas) {
            const double p = profondeur(QPointF(x, y));
            if (p > record)
                record = p, meilleur = QPointF(x, y);
        }
    // A finer look around the best point of the grid.
    for (int tour = 0; tour < 2; ++tour) {
        const QPointF centre = meilleur;
        pas /= 4;
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const QPointF point(centre.x() + dx * pas, centre.y() + dy * pas);
                const double p = profondeur(point);
                if (p > record)
                    record = p, meilleur = point;
            }
    }
    return meilleur;
}

Geometrie_Carte::Geometrie_Carte(const QString& fichierSvg)
{
    QFile fichier(fichierSvg);
    if (!fichier.open(QIODevice::ReadOnly)) {
        erreur = QStringLiteral("Carte introuvable : ") + fichierSvg;
        return;
    }
    QXmlStreamReader xml(&fichier);
    QList<Departement_Carte> lus;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("path"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        Departement_Carte d;
        d.code = a.value(QLatin1String("id")).toString();
        d.numero = Numero_Du_Code(d.code);
        d.nom = Nom_Sur_Carte(d.numero, a.value(QLatin1String("aria-label")).toString());
        if (d.numero < 0 || !Lire_Chemin(a.value(QLatin1String("d")), d.forme)) {
            erreur = QStringLiteral("Département illisible dans la carte : ") + d.code;
            return;
        }
        d.dans_encart = Dans_Encart(d.numero);
        lus.append(d);
    }
    if (xml.hasError()) {
        erreur = QStringLiteral("Carte illisible : ") + xml.errorString();
        return;
    }
    if (lus.size() != 96) {
        erreur = QStringLiteral("La carte doit compter 96 départements, elle en a %1.").arg(lus.size());
        return;
    }

    QRectF continent, corse, paris;
    for (const Departement_Carte& d : lus) {
        const QRectF r = d.forme.boundingRect();
        if (d.numero >= 96)
            corse = corse.isNull() ? r : corse.united(r);
        else
            continent = continent.isNull() ? r : continent.united(r);
        if (d.dans_encart)
            paris = paris.isNull() ? r : paris.united(r);
    }

    // The mainland fills the width; Corsica keeps the same scale in its corner.
    constexpr double marge = 3;
    const double echelle = (Largeur - 2 * marge) / continent.width();
    const QPointF placeContinent(marge, (Hauteur - continent.height() * echelle) / 2);
    const QPointF placeCorse(Largeur - marge - corse.width() * echelle, Hauteur - marge - corse.height() * echelle);

    // The inset: a square frame in the empty sea north of Brittany.
    encart = QRectF(2, 2, 112, 112);
    const QRectF interieurEncart = encart.adjusted(6, 6, -6, -6);
    const double echelleEncart = qMin(interieurEncart.width() / paris.width(), interieurEncart.height() / paris.height());
    const QPointF placeEncart(interieurEncart.center().x() - paris.width() * echelleEncart / 2,
                              interieurEncart.center().y() - paris.height() * echelleEncart / 2);
    zone_encart = QRectF(placeContinent + (paris.topLeft() - continent.topLeft()) * echelle,
                         paris.size() * echelle).adjusted(-2, -2, 2, 2);

    for (Departement_Carte& d : lus) {
        if (d.numero >= 96)
            d.forme = Transformer(d.forme, echelle, corse.topLeft(), placeCorse);
        else if (d.dans_encart)
            d.forme = Transformer(d.forme, echelleEncart, paris.topLeft(), placeEncart);
        else
            d.forme = Transformer(d.forme, echelle, continent.topLeft(), placeContinent);
        d.centre = Point_Interieur(d.forme);
    }
    // The inset's departements also stay, small and without a box, on the mainland.
    for (const Departement_Carte& d : std::as_const(lus)) {
        if (!d.dans_encart)
            continue;
        Departement_Carte petit = d;
        petit.reduit = true;
        petit.forme = Transformer(d.forme, echelle / echelleEncart, placeEncart,
                                  placeContinent + (paris.topLeft() - continent.topLeft()) * echelle);
        lus.append(petit);
    }
    departements = lus;
    Disposer();
    valide = true;
}

QFont Geometrie_Carte::Police_Noms()
{
    QFont police;
    const QStringList familles = QFontDatabase::families();
    for (const char* etroite : {"Arial Narrow", "Liberation Sans Narrow", "DejaVu Sans Condensed"})
        if (familles.contains(QString::fromLatin1(etroite), Qt::CaseInsensitive)) {
            police.setFamily(QString::fromLatin1(etroite));
            break;
        }
    police.setStretch(QFont::Condensed);
    police.setPixelSize(8);
    return police;
}

QStringList Geometrie_Carte::Couper_Nom(const QString& nom, const QFont& police, double largeurMax)
{
    // Long names break after their hyphens and blanks, so that they keep to their departement.
    const QFontMetricsF mesure(police);
    QStringList morceaux;
    QString morceau;
    for (QChar c : nom) {
        morceau += c;
        if (c == u'-' || c == u' ') {
            morceaux.append(morceau);
            morceau.clear();
        }
    }
    if (!morceau.isEmpty())
        morceaux.append(morceau);
    QStringList lignes;
    QString ligne;
    for (const QString& m : std::as_const(morceaux)) {
        if (!ligne.isEmpty() && mesure.horizontalAdvance((ligne + m).trimmed()) > largeurMax) {
            lignes.append(ligne.trimmed());
            ligne.clear();
        }
        ligne += m;
    }
    if (!ligne.trimmed().isEmpty())
        lignes.append(ligne.trimmed());
    return lignes;
}

QRectF Geometrie_Carte::Case_Sans_Departement() const
{
    return QRectF(2, Hauteur - Hauteur_Case - 2, Largeur_Case, Hauteur_Case);
}

void Geometrie_Carte::Disposer()
{
    // Each departement's box with its name below makes one block. Blocks are placed one by
    // one, smallest departements first, each where it stays most inside its own shape
    // without covering a block already placed, the inset or the small copy of Paris.
    QImage ids(Largeur, Hauteur, QImage::Format_RGB32);
    ids.fill(0);
    {
        QPainter p(&ids);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < departements.size(); ++i) {
            if (departements[i].reduit)
                continue;
            p.setBrush(QColor::fromRgb(QRgb(i + 1)));
            p.drawPath(departements[i].forme);
        }
    }
    // The departement under each pixel, read straight from the image's memory: the
    // search below asks millions of times.
    std::vector<int> numeros(size_t(Largeur) * Hauteur);
    for (int y = 0; y < Hauteur; ++y) {
        const QRgb* ligne = reinterpret_cast<const QRgb*>(ids.constScanLine(y));
        for (int x = 0; x < Largeur; ++x)
            numeros[size_t(y) * Largeur + x] = int(ligne[x] & 0xFFFFFF);
    }
    auto id = [&](double x, double y) -> int {
        const int xi = int(x), yi = int(y);
        if (xi < 0 || yi < 0 || xi >= Largeur || yi >= Hauteur)
            return 0;
        return numeros[size_t(yi) * Largeur + xi];
    };
    // Covering a neighbour costs more the smaller the neighbour: a box overflowing a tiny
    // departement would leave no room for that departement's own box.
    QList<double> surfaces(departements.size() + 1, 0.0);
    for (int y = 0; y < Hauteur; ++y)
        for (int x = 0; x < Largeur; ++x)
            surfaces[id(x, y)] += 1;
    // A rectangle sampled on a grid: the part of it on departement i, and what it costs to
    // cover the neighbours it overflows onto, both from the same samples.
    QList<double> gene_de(surfaces.size(), 0.0);
    for (qsizetype k = 1; k < surfaces.size(); ++k)
        if (surfaces[k] > 0)
            gene_de[k] = 300.0 / surfaces[k];
    struct Mesure { double part, gene; };
    auto mesurer = [&](const QRectF& r, int i, int nx, int ny) {
        int dedans = 0;
        double cout = 0;
        for (int a = 0; a < ny; ++a)
            for (int b = 0; b < nx; ++b) {
                const int autre = id(r.left() + (b + 0.5) * r.width() / nx, r.top() + (a + 0.5) * r.height() / ny);
                if (autre == i + 1)
                    ++dedans;
                else if (autre != 0)
                    cout += gene_de[autre];
            }
        return Mesure{double(dedans) / (nx * ny), cout / (nx * ny)};
    };

    const QFont police = Police_Noms();
    const double hauteurLigne = QFontMetricsF(police).height();
    // The inset's frame keeps the mainland's blocks out, but not those of its own departements.
    const QRectF encartOccupe = encart.adjusted(-1, -1, 1, 1);
    // The small copy of Paris may hide under a box, as a name may: the inset shows it whole.
    QList<QRectF> cases = {Case_Sans_Departement()};
    QList<QRectF> noms = {zone_encart};

    QList<int> ordre;
    for (int i = 0; i < departements.size(); ++i)
        if (!departements[i].reduit)
            ordre.append(i);
    auto aire = [&](int i) {
        const QRectF r = departements[i].forme.boundingRect();
        return r.width() * r.height();
    };
    std::stable_sort(ordre.begin(), ordre.end(), [&](int a, int b) { return aire(a) < aire(b); });

    const QFontMetricsF mesure(police);
    for (int i : std::as_const(ordre)) {
        Departement_Carte& d = departements[i];
        d.lignes_nom = Couper_Nom(d.nom, police, 44);
        double largeurNom = 0;
        for (const QString& l : std::as_const(d.lignes_nom))
            largeurNom = qMax(largeurNom, mesure.horizontalAdvance(l));
        const double hauteurNom = d.lignes_nom.size() * hauteurLigne;
        const double largeurBloc = qMax<double>(Largeur_Case, largeurNom);
        const double hauteurBloc = Hauteur_Case + hauteurNom;

        struct Choix { double note; QRectF caseDep, nom; };
        QList<Choix> choix;
        const QRectF cadre = d.forme.boundingRect().adjusted(-largeurBloc / 2, -hauteurBloc / 2, largeurBloc / 2, hauteurBloc / 2);
        const double diagonale = std::hypot(d.forme.boundingRect().width(), d.forme.boundingRect().height());
        for (double y = cadre.top(); y <= cadre.bottom(); y += 1.0)
            for (double x = cadre.left(); x <= cadre.right(); x += 1.0) {
                // The name goes under the box, or above it where that fits better.
                for (bool dessous : {true, false}) {
                    const double haut = y - hauteurBloc / 2;
                    const QRectF caseDep(std::round(x - Largeur_Case / 2.0), std::round(dessous ? haut : haut + hauteurNom),
                                         Largeur_Case, Hauteur_Case);
                    const QRectF nom(x - largeurNom / 2, dessous ? caseDep.bottom() : caseDep.top() - hauteurNom,
                                     largeurNom, hauteurNom);
                    const QRectF bloc = caseDep.united(nom);
                    if (bloc.left() < 1 || bloc.top() < 1 || bloc.right() > Largeur - 1 || bloc.bottom() > Hauteur - 1)
                        continue;
                    // A box always stands on its own departement.
                    const QPointF milieu = caseDep.center();
                    if (id(milieu.x(), milieu.y()) != i + 1 || id(milieu.x() - 2, milieu.y()) != i + 1
                        || id(milieu.x() + 2, milieu.y()) != i + 1 || id(milieu.x(), milieu.y() - 2) != i + 1
                        || id(milieu.x(), milieu.y() + 2) != i + 1)
                        continue;
                    const Mesure surCase = mesurer(caseDep, i, 5, 4);
                    double partNom = 1, geneNom = 0;
                    if (!nom.isEmpty()) {
                        const int rangs = qMax(2, int(d.lignes_nom.size()) * 2);
                        const Mesure surNom = mesurer(nom, i, 8, rangs);
                        partNom = surNom.part;
                        geneNom = rangs == 2 ? surNom.gene : mesurer(nom, i, 8, 2).gene;
                    }
                    const double ecart = std::hypot(x - d.centre.x(), caseDep.center().y() - d.centre.y()) / diagonale;
                    // Names under their box read best: above is only for when below does not fit.
                    const double genes = 2 * surCase.gene + geneNom;
                    choix.append({2 * surCase.part + partNom - 0.3 * ecart - (dessous ? 0 : 0.15) - genes, caseDep, nom});
                }
            }
        std::stable_sort(choix.begin(), choix.end(), [](const Choix& a, const Choix& b) { return a.note > b.note; });

        // The best place that covers nothing; failing that, the one that covers least. A box
        // never hides another box; covering a name costs its area.
        const Choix* retenu = nullptr;
        double moindre = std::numeric_limits<double>::max();
        auto surface = [](const QRectF& a, const QRectF& b) {
            const QRectF r = a.intersected(b);
            return r.isEmpty() ? 0.0 : r.width() * r.height();
        };
        for (const Choix& c : std::as_const(choix)) {
            const QRectF nom = c.nom.adjusted(-1, 0, 1, 0);
            double recouvre = 0;
            for (const QRectF& o : std::as_const(cases)) {
                if (o.intersects(c.caseDep))
                    recouvre += 100000;
                recouvre += 3 * surface(o, nom);
            }
            for (const QRectF& o : std::as_const(noms))
                recouvre += 3 * surface(o, c.caseDep) + surface(o, nom);
            if (!d.dans_encart)
                recouvre += 100000 * (surface(encartOccupe, c.caseDep) + surface(encartOccupe, nom));
            if (recouvre == 0) {
                retenu = &c;
                break;
            }
            if (recouvre - c.note < moindre) {
                moindre = recouvre - c.note;
                retenu = &c;
            }
        }
        if (retenu) {
            d.case_dep = retenu->caseDep;
            d.zone_nom = retenu->nom;
        } else {
            d.case_dep = QRectF(std::round(d.centre.x() - Largeur_Case / 2.0), std::round(d.centre.y() - Hauteur_Case / 2.0),
                                Largeur_Case, Hauteur_Case);
            d.zone_nom = QRectF(d.case_dep.center().x(), d.case_dep.bottom(), 0, 0);
        }
        cases.append(d.case_dep);
        if (!d.zone_nom.isEmpty())
            noms.append(d.zone_nom);
    }
}
