#include "Progression.h"

#include "Apparence.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Legende_Graphique.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The size of the saved pictures, in pixels: the three charts readable on a screen or a page.
const QSize Taille_Image(1200, 900);

// The month's number, "3", or "3/09" when the log spans more than one year: the bars are too
// narrow for the names of twelve months.
QString Mois_Court(int annee, int mois, bool avecAnnee)
{
    QString texte = QString::number(mois);
    if (avecAnnee)
        texte += u'/' + QString::number(annee % 100).rightJustified(2, u'0');
    return texte;
}

qreal Instant(const QDate& jour)
{
    return qreal(QDateTime(jour, QTime(0, 0)).toMSecsSinceEpoch());
}

QChart* Nouveau_Graphique(const QString& titre)
{
    auto* g = new QChart;
    g->setTitle(titre);
    QFont f = g->titleFont();
    f.setBold(true);
    f.setPointSize(11);
    g->setTitleFont(f);
    g->setAnimationOptions(QChart::NoAnimation);
    g->setBackgroundRoundness(0);
    g->setDropShadowEnabled(false);
    g->legend()->setAlignment(Qt::AlignBottom);
    return g;
}

QChartView* Nouvelle_Vue(QChart* graphique, const char* nom, QWidget* parent)
{
    auto* v = new QChartView(graphique, parent);
    v->setObjectName(QString::fromLatin1(nom));
    v->setRenderHint(QPainter::Antialiasing);
    v->setMinimumSize(360, 240);
    return v;
}

// An axis of whole numbers from 0 in at most six equal steps of 1, 2 or 5 times a power of ten,
// always with room above the highest value. Touched only when it changes, so that a redraw
// after a change of the log does not lay the chart out again for nothing.
void Regler_Axe_Entier(QValueAxis* axe, int maximum)
{
    const qint64 haut = qMax(maximum, 0) + 1;
    qint64 pas = 1;
    for (qint64 puissance = 1; (haut + pas - 1) / pas > 6; puissance *= 10) {
        for (qint64 m : {1, 2, 5}) {
            pas = m * puissance;
            if ((haut + pas - 1) / pas <= 6)
                break;
        }
    }
    const qint64 nombrePas = qMax<qint64>(2, (haut + pas - 1) / pas);
    if (axe->labelFormat() != QLatin1String("%d"))
        axe->setLabelFormat(QStringLiteral("%d"));
    if (axe->tickCount() != int(nombrePas) + 1)
        axe->setTickCount(int(nombrePas) + 1);
    if (axe->min() != 0 || axe->max() != qreal(nombrePas * pas))
        axe->setRange(0, qreal(nombrePas * pas));
}

// A curve drawn as steps: each day's value holds until the next day that changes it.
QList<QPointF> Marches(const QList<Series_Saison::Jour>& jours, int Series_Saison::Jour::*valeur)
{
    QList<QPointF> p;
    p.reserve(jours.size() * 2 + 2);
    qreal avant = 0;
    for (const Series_Saison::Jour& j : jours) {
        const qreal x = Instant(j.date);
        p.append(QPointF(x, avant));
        avant = j.*valeur;
        p.append(QPointF(x, avant));
    }
    if (!jours.isEmpty())
        p.append(QPointF(Instant(jours.last().date.addDays(1)), avant));
    return p;
}

void Rendre(QPainter& peintre, QChart* graphique, const QRectF& cible)
{
    // The chart is laid out again at the size of the target, so that its text keeps its size
    // on a page or a picture, and then given back its size on screen.
    const QSizeF taille = graphique->size();
    graphique->resize(cible.size());
    if (graphique->layout())
        graphique->layout()->activate();
    graphique->scene()->render(&peintre, cible, QRectF(graphique->scenePos(), cible.size()));
    graphique->resize(taille);
    if (graphique->layout())
        graphique->layout()->activate();
}

} // namespace

const QColor& Progression::Couleur_Type(int index)
{
    static const QColor couleurs[Series_Saison::Nombre_Types] = {
        QColor(0x00, 0x72, 0xB2), // Chateau Contacte: blue
        QColor(0x56, 0xB4, 0xE9), // Reactivation Contactee: sky blue
        QColor(0x00, 0x9E, 0x73), // Resident Contacte: bluish green
        QColor(0xD5, 0x5E, 0x00), // Chateau active: vermillion
        QColor(0xE6, 0x9F, 0x00), // Reactivation activee: orange
        QColor(0xF0, 0xE4, 0x42), // Resident active: yellow
        QColor(0xCC, 0x79, 0xA7), // Operateur activation: reddish purple
        QColor(0x00, 0x00, 0x00), // Operateur reactivation: black
        QColor(0x99, 0x99, 0x99), // Double ou non validé: grey
    };
    static const QColor aucune;
    return index >= 0 && index < Series_Saison::Nombre_Types ? couleurs[index] : aucune;
}

QColor Progression::Couleur_Points()
{
    return QColor(0x00, 0x72, 0xB2);
}

QColor Progression::Couleur_Prevus()
{
    return QColor(0xD5, 0x5E, 0x00);
}

QColor Progression::Couleur_Departements()
{
    return QColor(0x00, 0x9E, 0x73);
}

Progression::Progression(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Progression"));
    setWindowTitle(QStringLiteral("Progression"));
    setAttribute(Qt::WA_DeleteOnClose);

    Label_Titre = new QLabel(this);
    Label_Titre->setObjectName(QStringLiteral("Label_Titre"));
    QFont titre = Label_Titre->font();
    titre.setPointSize(12);
    titre.setBold(true);
    Label_Titre->setFont(titre);
    Label_Titre->setAlignment(Qt::AlignCenter);
    Label_Bilan = new QLabel(this);
    Label_Bilan->setObjectName(QStringLiteral("Label_Bilan"));
    Label_Bilan->setAlignment(Qt::AlignCenter);
    Label_Bilan->setWordWrap(true);

    Construire_Graphiques();

    Enregistrer_Image = new QPushButton(QStringLiteral("&Enregistrer l'image…"), this);
    Enregistrer_Image->setObjectName(QStringLiteral("Enregistrer_Image"));
    Imprimer = new QPushButton(QStringLiteral("&Imprimer…"), this);
    Imprimer->setObjectName(QStringLiteral("Imprimer"));
    Fermer = new QPushButton(QStringLiteral("&Fermer"), this);
    Fermer->setObjectName(QStringLiteral("Fermer"));

    // Each legend in the white of its chart, as if the chart drew it.
    auto cadre = [this](QWidget* graphique, QWidget* legende, QBoxLayout::Direction sens) {
        auto* c = new QWidget(this);
        c->setAutoFillBackground(true);
        QPalette p = c->palette();
        p.setColor(QPalette::Window, Qt::white);
        c->setPalette(p);
        auto* l = new QBoxLayout(sens, c);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        l->addWidget(graphique, 1);
        l->addWidget(legende);
        return c;
    };
    auto* graphiques = new QGridLayout;
    graphiques->addWidget(cadre(Graphique_Points, Legende_Points, QBoxLayout::TopToBottom), 0, 0, 1, 2);
    graphiques->addWidget(cadre(Graphique_Mois, Legende_Mois, QBoxLayout::LeftToRight), 1, 0);
    graphiques->addWidget(Graphique_Departements, 1, 1);
    graphiques->setRowStretch(0, 2);
    graphiques->setRowStretch(1, 3);
    graphiques->setColumnStretch(0, 3);
    graphiques->setColumnStretch(1, 2);

    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(Enregistrer_Image);
    boutons->addWidget(Imprimer);
    boutons->addWidget(Fermer);

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Label_Titre);
    tout->addWidget(Label_Bilan);
    tout->addLayout(graphiques, 1);
    tout->addLayout(boutons);

    connect(Enregistrer_Image, &QPushButton::clicked, this, &Progression::Progression_Enregistrer_Image_Click);
    connect(Imprimer, &QPushButton::clicked, this, &Progression::Progression_Imprimer_Click);
    connect(Fermer, &QPushButton::clicked, this, &Progression::Progression_Fermer_Click);
}

void Progression::Construire_Graphiques()
{
    QChart* points = Nouveau_Graphique(QStringLiteral("Points du Challenge, jour par jour"));
    m_points = new QLineSeries;
    m_points->setName(QStringLiteral("Points validés"));
    m_points->setPen(QPen(Couleur_Points(), 3));
    m_prevus = new QLineSeries;
    m_prevus->setName(QStringLiteral("Une fois les QSO en attente (*) validés"));
    m_prevus->setPen(QPen(Couleur_Prevus(), 3, Qt::DashLine));
    // The dashed line goes on top: where nothing waits, it lies on the solid one.
    points->addSeries(m_points);
    points->addSeries(m_prevus);
    auto* jours = new QDateTimeAxis;
    jours->setFormat(QStringLiteral("dd/MM"));
    jours->setTickCount(7);
    auto* valeurs = new QValueAxis;
    points->addAxis(jours, Qt::AlignBottom);
    points->addAxis(valeurs, Qt::AlignLeft);
    for (QLineSeries* s : {m_points, m_prevus}) {
        s->attachAxis(jours);
        s->attachAxis(valeurs);
    }
    Graphique_Points = Nouvelle_Vue(points, "Graphique_Points", this);
    points->legend()->hide();
    Legende_Points = new Legende_Graphique(Qt::Horizontal, this);
    Legende_Points->setObjectName(QStringLiteral("Legende_Points"));
    Legende_Points->Definir({{m_points->name(), QBrush(), m_points->pen()}, {m_prevus->name(), QBrush(), m_prevus->pen()}});

    QChart* mois = Nouveau_Graphique(QStringLiteral("QSO par mois et par type d'activité"));
    Graphique_Mois = Nouvelle_Vue(mois, "Graphique_Mois", this);
    mois->legend()->hide();
    // Beside the bars, where the nine names of the types have room to be read whole.
    Legende_Mois = new Legende_Graphique(Qt::Vertical, this);
    Legende_Mois->setObjectName(QStringLiteral("Legende_Mois"));
    QFont legende = Legende_Mois->font();
    legende.setPointSizeF(legende.pointSizeF() * 0.85);
    Legende_Mois->setFont(legende);

    QChart* deps = Nouveau_Graphique(QStringLiteral("Départements contactés"));
    m_departements = new QLineSeries;
    m_departements->setName(QStringLiteral("Départements contactés depuis le début"));
    m_departements->setPen(QPen(Couleur_Departements(), 3));
    deps->addSeries(m_departements);
    auto* joursDep = new QDateTimeAxis;
    joursDep->setFormat(QStringLiteral("dd/MM"));
    joursDep->setTickCount(5);
    auto* nombre = new QValueAxis;
    deps->addAxis(joursDep, Qt::AlignBottom);
    deps->addAxis(nombre, Qt::AlignLeft);
    m_departements->attachAxis(joursDep);
    m_departements->attachAxis(nombre);
    deps->legend()->hide();
    Graphique_Departements = Nouvelle_Vue(deps, "Graphique_Departements", this);
}

void Progression::Progression_Form_Load()
{
    QSize taille(980, 760);
    if (QScreen* ecran = screen())
        taille = taille.boundedTo(ecran->availableSize() * 0.95);
    resize(taille);
    Apparence::Centrer(this);
    // The charts get the season before they are first laid out and painted: laid out empty,
    // then again with the data, they would cost the opening twice.
    Progression_Rafraichir();
    show();
}

void Progression::Progression_Rafraichir()
{
    Label_Titre->setText(QStringLiteral("Progression du Challenge ") + sp.Annee_Challenge + QStringLiteral(" - ")
                         + sp.Indicatif_Station);
    QByteArray contenu;
    const ErreurFichier e = FichierLog::Lire_Tout(sp.Nom_Log(), contenu);
    if (!e.ok()) {
        // Nothing to draw rather than a false picture.
        m_series = Series_Saison::Series();
        Tracer(m_series);
        Label_Bilan->setText(QStringLiteral("Le log n'a pas pu être lu."));
        // The message about the window comes over the window.
        show();
        sp.plateforme.Message(e.message, this);
        return;
    }
    m_series = Series_Saison::Calculer(contenu);
    contenu = QByteArray();
    Tracer(m_series);

    QString bilan = Series_Saison::Texte_Bilan(m_series.bilan) + QStringLiteral(" · %1 QSO").arg(m_series.bilan.qso);
    if (m_series.lignes_sans_date > 0)
        bilan += QStringLiteral("\n%1 ligne(s) du log sans date lisible : comptées dans les totaux, absentes des courbes.")
                     .arg(m_series.lignes_sans_date);
    Label_Bilan->setText(bilan);
}

void Progression::Tracer(const Series_Saison::Series& s)
{
    // Points, and what they become once validated.
    // A curve that has not changed is left alone: replacing it would lay its chart out again.
    const auto remplacer = [](QLineSeries* courbe, const QList<QPointF>& points) {
        if (courbe->points() != points)
            courbe->replace(points);
    };
    remplacer(m_points, Marches(s.jours, &Series_Saison::Jour::points));
    remplacer(m_prevus, Marches(s.jours, &Series_Saison::Jour::points_prevus));
    remplacer(m_departements, Marches(s.jours, &Series_Saison::Jour::departements));

    QDateTime debut, fin;
    if (!s.jours.isEmpty()) {
        debut = QDateTime(s.jours.first().date, QTime(0, 0));
        fin = QDateTime(s.jours.last().date.addDays(1), QTime(0, 0));
    } else {
        // An empty log shows the year of the challenge, or the current one.
        bool ok = false;
        int annee = sp.Annee_Challenge.toInt(&ok);
        if (!ok || annee < 1950 || annee > 2099)
            annee = sp.plateforme.Maintenant_Utc().date().year();
        debut = QDateTime(QDate(annee, 1, 1), QTime(0, 0));
        fin = QDateTime(QDate(annee + 1, 1, 1), QTime(0, 0));
    }
    // A single day still gets a width to be drawn on.
    if (debut.daysTo(fin) < 7)
        fin = debut.addDays(7);
    const int maxPoints = s.jours.isEmpty() ? 0 : qMax(s.jours.last().points, s.jours.last().points_prevus);
    for (QChart* g : {Graphique_Points->chart(), Graphique_Departements->chart()}) {
        for (QAbstractAxis* a : g->axes(Qt::Horizontal))
            if (auto* d = qobject_cast<QDateTimeAxis*>(a); d && (d->min() != debut || d->max() != fin))
                d->setRange(debut, fin);
    }
    for (QAbstractAxis* a : Graphique_Points->chart()->axes(Qt::Vertical))
        Regler_Axe_Entier(qobject_cast<QValueAxis*>(a), maxPoints);
    for (QAbstractAxis* a : Graphique_Departements->chart()->axes(Qt::Vertical))
        Regler_Axe_Entier(qobject_cast<QValueAxis*>(a), s.jours.isEmpty() ? 0 : s.jours.last().departements);

    Tracer_Mois(s);
}

void Progression::Tracer_Mois(const Series_Saison::Series& s)
{
    const bool plusieursAnnees = !s.mois.isEmpty() && s.mois.first().annee != s.mois.last().annee;
    QStringList categories;
    for (const Series_Saison::Mois& m : s.mois)
        categories << Mois_Court(m.annee, m.mois, plusieursAnnees);
    int maxMois = 0, autres = 0;
    for (const Series_Saison::Mois& m : s.mois) {
        maxMois = qMax(maxMois, m.total());
        autres += m.autres;
    }
    auto valeurs = [&](int t) {
        QList<qreal> v;
        for (const Series_Saison::Mois& m : s.mois)
            v.append(t < Series_Saison::Nombre_Types ? m.qso[size_t(t)] : m.autres);
        return v;
    };

    QChart* mois = Graphique_Mois->chart();
    if (m_barres && categories == m_categories && (autres > 0) == m_avecAutres) {
        // The same months: only the heights change, the chart keeps its layout and its legend.
        for (int t = 0; t < m_ensembles.size(); ++t) {
            const QList<qreal> v = valeurs(t < Series_Saison::Nombre_Types ? t : Series_Saison::Nombre_Types);
            for (int i = 0; i < v.size(); ++i)
                if (m_ensembles[t]->at(i) != v[i])
                    m_ensembles[t]->replace(i, v[i]);
        }
        for (QAbstractAxis* a : mois->axes(Qt::Vertical))
            Regler_Axe_Entier(qobject_cast<QValueAxis*>(a), maxMois);
        return;
    }

    // Other months, or a type out of the table appeared: the bars are made again.
    mois->removeAllSeries();
    for (QAbstractAxis* a : mois->axes())
        mois->removeAxis(a), delete a;
    m_ensembles.clear();
    m_barres = new QStackedBarSeries;
    const QStringList& types = Enregistrement::Types_Activite();
    for (int t = 0; t < Series_Saison::Nombre_Types; ++t) {
        auto* ensemble = new QBarSet(types.at(t));
        ensemble->setColor(Couleur_Type(t));
        ensemble->setBorderColor(Couleur_Type(t));
        ensemble->append(valeurs(t));
        m_barres->append(ensemble);
        m_ensembles.append(ensemble);
    }
    if (autres > 0) {
        // Told apart by its hatching as well as its colour, like every other set by its place.
        auto* ensemble = new QBarSet(QStringLiteral("Type inconnu"));
        ensemble->setBrush(QBrush(QColor(0x55, 0x55, 0x55), Qt::BDiagPattern));
        ensemble->setBorderColor(QColor(0x55, 0x55, 0x55));
        ensemble->append(valeurs(Series_Saison::Nombre_Types));
        m_barres->append(ensemble);
        m_ensembles.append(ensemble);
    }
    QList<Legende_Graphique::Entree> entrees;
    for (const QBarSet* ensemble : std::as_const(m_ensembles))
        entrees.append({ensemble->label(), ensemble->brush(), Qt::NoPen});
    Legende_Mois->Definir(entrees);
    m_categories = categories;
    m_avecAutres = autres > 0;
    m_barres->setBarWidth(0.8);
    mois->addSeries(m_barres);
    auto* axeMois = new QBarCategoryAxis;
    axeMois->append(categories.isEmpty() ? QStringList{QString()} : categories);
    axeMois->setTitleText(plusieursAnnees ? QStringLiteral("Mois/année") : QStringLiteral("Mois"));
    auto* axeNombre = new QValueAxis;
    mois->addAxis(axeMois, Qt::AlignBottom);
    mois->addAxis(axeNombre, Qt::AlignLeft);
    m_barres->attachAxis(axeMois);
    m_barres->attachAxis(axeNombre);
    Regler_Axe_Entier(axeNombre, maxMois);
}

void Progression::Dessiner(QPainter& peintre, const QRectF& cadre)
{
    peintre.save();
    peintre.setRenderHint(QPainter::Antialiasing);
    peintre.setRenderHint(QPainter::TextAntialiasing);
    QFont titre = font();
    titre.setPointSize(12);
    titre.setBold(true);
    peintre.setFont(titre);
    peintre.setPen(Qt::black);
    const qreal hauteurTitre = 56;
    const QRectF zoneTitre(cadre.left(), cadre.top(), cadre.width(), hauteurTitre);
    QString date = Enregistrement::Texte_Date_Longue(sp.plateforme.Maintenant_Utc().date());
    peintre.drawText(zoneTitre.adjusted(0, 0, 0, -hauteurTitre / 2), Qt::AlignCenter,
                     Label_Titre->text() + QStringLiteral(" au ") + date);
    QFont normale = font();
    peintre.setFont(normale);
    peintre.drawText(zoneTitre.adjusted(0, hauteurTitre / 2, 0, 0), Qt::AlignCenter,
                     Label_Bilan->text().section(u'\n', 0, 0));
    const QRectF zone = cadre.adjusted(0, hauteurTitre, 0, 0);
    // As in the window: the points across the top, the months (and their legend) below.
    const qreal haut = zone.height() * 0.4, bas = zone.height() - haut;
    // Each legend in the white of its chart, under the points, beside the bars.
    const qreal hauteurLegende = Legende_Points->Taille(normale, zone.width(), peintre.device()).height();
    const QRectF points(zone.left(), zone.top(), zone.width(), haut - hauteurLegende);
    Rendre(peintre, Graphique_Points->chart(), points);
    const QRectF legendePoints(points.left(), points.bottom(), points.width(), hauteurLegende);
    peintre.fillRect(legendePoints, Qt::white);
    Legende_Points->Peindre(peintre, legendePoints);
    const QRectF mois(zone.left(), zone.top() + haut, zone.width() * 0.6, bas);
    peintre.setFont(Legende_Mois->font());
    const qreal largeurLegende = Legende_Mois->Taille(Legende_Mois->font(), mois.width(), peintre.device()).width();
    const QRectF legendeMois(mois.right() - largeurLegende, mois.top(), largeurLegende, mois.height());
    Rendre(peintre, Graphique_Mois->chart(), mois.adjusted(0, 0, -largeurLegende, 0));
    peintre.fillRect(legendeMois, Qt::white);
    Legende_Mois->Peindre(peintre, legendeMois);
    peintre.setFont(normale);
    Rendre(peintre, Graphique_Departements->chart(),
           QRectF(zone.left() + zone.width() * 0.6, zone.top() + haut, zone.width() * 0.4, bas));
    peintre.restore();
}

QImage Progression::Image(const QSize& taille)
{
    QImage image(taille, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter peintre(&image);
    Dessiner(peintre, QRectF(QPointF(0, 0), QSizeF(taille)));
    peintre.end();
    return image;
}

bool Progression::Enregistrer_Images(const QString& base, QString& erreur)
{
    const QString png = base + QStringLiteral(".png");
    const QString svg = base + QStringLiteral(".svg");
    auto echec = [&](const QString& fichier, const QString& cause) {
        erreur = QStringLiteral("Impossible d'enregistrer l'image\r\n%1\r\n(%2).")
                     .arg(QDir::toNativeSeparators(fichier), cause);
        return false;
    };

    // Each file replaces an earlier one in one step, or leaves it as it was.
    QSaveFile fichierPng(png);
    if (!fichierPng.open(QIODevice::WriteOnly))
        return echec(png, fichierPng.errorString());
    if (!Image(Taille_Image).save(&fichierPng, "PNG"))
        return echec(png, fichierPng.errorString().isEmpty() ? QStringLiteral("écriture refusée") : fichierPng.errorString());
    if (!fichierPng.commit())
        return echec(png, fichierPng.errorString());

    QSaveFile fichierSvg(svg);
    if (!fichierSvg.open(QIODevice::WriteOnly))
        return echec(svg, fichierSvg.errorString());
    QSvgGenerator generateur;
    generateur.setOutputDevice(&fichierSvg);
    generateur.setSize(Taille_Image);
    // Text is measured as on the screen, so that the picture matches the PNG.
    generateur.setResolution(96);
    generateur.setViewBox(QRect(QPoint(0, 0), Taille_Image));
    generateur.setTitle(Label_Titre->text());
    generateur.setDescription(Series_Saison::Texte_Bilan(m_series.bilan));
    QPainter peintre;
    if (!peintre.begin(&generateur))
        return echec(svg, QStringLiteral("écriture refusée"));
    Dessiner(peintre, QRectF(QPointF(0, 0), QSizeF(Taille_Image)));
    peintre.end();
    if (!fichierSvg.commit())
        return echec(svg, fichierSvg.errorString());
    return true;
}

void Progression::Progression_Enregistrer_Image_Click()
{
    QFileDialog dialogue(this, QStringLiteral("Enregistrer l'image de la progression"), sp.Repertoire());
    dialogue.setObjectName(QStringLiteral("Dialogue_Image"));
    dialogue.setAcceptMode(QFileDialog::AcceptSave);
    dialogue.setFileMode(QFileDialog::AnyFile);
    // The program's own dialog, so that it looks and answers the same on every desktop; the
    // files are replaced without a question, as the export is.
    dialogue.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialogue.setNameFilter(QStringLiteral("Images PNG et SVG (*.png *.svg)"));
    dialogue.selectFile(sp.Indicatif_Station + QStringLiteral("_Challenge_KVRT_") + sp.Annee_Challenge
                        + QStringLiteral("_progression"));
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return;
    QString base = dialogue.selectedFiles().first();
    for (const char* suffixe : {".png", ".svg", ".PNG", ".SVG"})
        if (base.endsWith(QLatin1String(suffixe)))
            base.chop(4);
    QString erreur;
    if (!Enregistrer_Images(base, erreur)) {
        sp.plateforme.Message(erreur + QStringLiteral("\r\nLes graphiques n'ont pas été enregistrés."), this);
        return;
    }
    sp.plateforme.Message(QStringLiteral("Les graphiques ont été enregistrés sous les noms : ")
                              + QFileInfo(base).fileName() + QStringLiteral(".png et ")
                              + QFileInfo(base).fileName() + QStringLiteral(".svg"),
                          this);
}

void Progression::Progression_Imprimer_Click()
{
    // The same road as the printout of the contacted castles: the printer dialog, then one page.
    QPrinter imprimante(QPrinter::ScreenResolution);
    sp.Proposer_Pdf(imprimante, sp.Indicatif_Station + QStringLiteral("_Challenge_KVRT_") + sp.Annee_Challenge
                                    + QStringLiteral("_progression"));
    QPrintDialog dialogue(&imprimante, this);
    dialogue.setObjectName(QStringLiteral("CommonDialog1"));
    if (dialogue.exec() != QDialog::Accepted) {
        sp.plateforme.Message(QStringLiteral("Impression annulée : les graphiques n'ont pas été imprimés."), this);
        return;
    }
    Imprimer_Graphiques(imprimante);
}

bool Progression::Imprimer_Graphiques(QPrinter& imprimante)
{
    imprimante.setPageOrientation(QPageLayout::Landscape);
    // The page is laid out in screen units, where the charts' fonts and pens were chosen; the
    // output stays vector, so nothing is lost on paper.
    imprimante.setResolution(96);
    const QString nom = imprimante.outputFormat() == QPrinter::PdfFormat
        ? QDir::toNativeSeparators(imprimante.outputFileName())
        : imprimante.printerName();
    QPainter peintre;
    if (!peintre.begin(&imprimante)) {
        sp.plateforme.Message(QStringLiteral("L'impression n'a pas pu commencer sur « %1 » : "
                                             "les graphiques n'ont pas été imprimés.")
                                  .arg(nom),
                              this);
        return false;
    }
    Dessiner(peintre, QRectF(0, 0, imprimante.width(), imprimante.height()));
    if (!peintre.end()) {
        sp.plateforme.Message(QStringLiteral("L'impression sur « %1 » a échoué : les graphiques n'ont pas été imprimés.")
                                  .arg(nom),
                              this);
        return false;
    }
    return true;
}

void Progression::Progression_Fermer_Click()
{
    close();
}

void Progression::Progression_Form_Unload()
{
    // Nothing to keep: the window is deleted on close and reads the log again when reopened.
}

void Progression::closeEvent(QCloseEvent* event)
{
    Progression_Form_Unload();
    event->accept();
}
