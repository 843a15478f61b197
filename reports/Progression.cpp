#include "Progression.h"
#include "Rapports_Contactes.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Graphique_Progression.h"
#include "Legende_Graphique.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QVBoxLayout>

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

QPen Trait_Points()
{
    return QPen(Progression::Couleur_Points(), 3);
}

QPen Trait_Prevus()
{
    return QPen(Progression::Couleur_Prevus(), 3, Qt::DashLine);
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

Progression::Progression(Sous_Programmes& sp_, QWidget* parent)
    : Fenetre_Rapport(sp_, "Progression", QStringLiteral("Progression"), parent)
{
    NOMME(QLabel, Label_Titre, this);
    QFont titre = Label_Titre->font();
    titre.setPointSize(12);
    titre.setBold(true);
    Label_Titre->setFont(titre);
    Label_Titre->setAlignment(Qt::AlignCenter);
    NOMME(QLabel, Label_Bilan, this);
    Label_Bilan->setAlignment(Qt::AlignCenter);
    Label_Bilan->setWordWrap(true);

    Construire_Graphiques();

    NOMME(QPushButton, Enregistrer_Image, QStringLiteral("&Enregistrer l'image…"), this);
    NOMME(QPushButton, Imprimer, QStringLiteral("&Imprimer…"), this);
    NOMME(QPushButton, Fermer, QStringLiteral("&Fermer"), this);

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
    NOMME(Graphique_Progression, Graphique_Points, QStringLiteral("Points du Challenge, jour par jour"), this);
    NOMME(Legende_Graphique, Legende_Points, Qt::Horizontal, this);
    Legende_Points->Definir({{QStringLiteral("Points validés"), QBrush(), Trait_Points()},
                             {QStringLiteral("Une fois les QSO en attente (*) validés"), QBrush(), Trait_Prevus()}});

    NOMME(Graphique_Progression, Graphique_Mois, QStringLiteral("QSO par mois et par type d'activité"), this);
    // Beside the bars, where the nine names of the types have room to be read whole.
    NOMME(Legende_Graphique, Legende_Mois, Qt::Vertical, this);
    QFont legende = Legende_Mois->font();
    legende.setPointSizeF(legende.pointSizeF() * 0.85);
    Legende_Mois->setFont(legende);

    NOMME(Graphique_Progression, Graphique_Departements, QStringLiteral("Départements contactés"), this);
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
    Lire_Log([this](const QByteArray* contenu) { Dessiner_Log(contenu); });
}

void Progression::Suivre_Log(const Etat_Log& etat)
{
    Dessiner_Log(etat.lu ? &etat.contenu : nullptr);
}

void Progression::Dessiner_Log(const QByteArray* contenu)
{
    Label_Titre->setText(QStringLiteral("Progression du Challenge ") + sp.Annee_Challenge() + QStringLiteral(" - ")
                         + FichierLog::Indicatif_Affiche(sp.Indicatif_Station()));
    if (!contenu) {
        // Nothing to draw rather than a false picture.
        m_series = Series_Saison::Series();
        Tracer(m_series);
        Label_Bilan->setText(QStringLiteral("Le log n'a pas pu être lu."));
        return;
    }
    m_series = Series_Saison::Calculer(*contenu);
    Tracer(m_series);

    QString bilan = Series_Saison::Texte_Bilan(m_series.bilan) + QStringLiteral(" · %1 QSO").arg(m_series.bilan.qso);
    if (m_series.lignes_sans_date > 0)
        bilan += QStringLiteral("\n%1 ligne(s) du log sans date lisible : comptées dans les totaux, absentes des courbes.")
                     .arg(m_series.lignes_sans_date);
    Label_Bilan->setText(bilan);
}

void Progression::Tracer(const Series_Saison::Series& s)
{
    m_axes = Axes_Progression::Calculer(s, sp.Annee_Challenge(), sp.plateforme().Maintenant_Utc().date());
    // What the points become once validated, then the validated points on top: where nothing
    // waits the two lie on each other, and the line of the points won must stay in sight.
    Graphique_Points->Definir_Jours(
        {{Trait_Prevus(), Axes_Progression::Marches(s.jours, &Series_Saison::Jour::points_prevus, m_axes.debut, m_axes.fin)},
         {Trait_Points(), Axes_Progression::Marches(s.jours, &Series_Saison::Jour::points, m_axes.debut, m_axes.fin)}},
        m_axes.debut, m_axes.fin, 7, m_axes.points);
    Graphique_Departements->Definir_Jours(
        {{QPen(Couleur_Departements(), 3), Axes_Progression::Marches(s.jours, &Series_Saison::Jour::departements, m_axes.debut, m_axes.fin)}},
        m_axes.debut, m_axes.fin, 5, m_axes.departements);
    Tracer_Mois(s);
}

void Progression::Tracer_Mois(const Series_Saison::Series& s)
{
    const bool plusieursAnnees = !s.mois.isEmpty() && s.mois.first().annee != s.mois.last().annee;
    QStringList categories;
    int autres = 0;
    for (const Series_Saison::Mois& m : s.mois) {
        categories << Mois_Court(m.annee, m.mois, plusieursAnnees);
        autres += m.autres;
    }
    auto valeurs = [&](int t) {
        QList<int> v;
        v.reserve(s.mois.size());
        for (const Series_Saison::Mois& m : s.mois)
            v.append(t < Series_Saison::Nombre_Types ? m.qso[size_t(t)] : m.autres);
        return v;
    };
    QList<Graphique_Progression::Ensemble> ensembles;
    const QStringList& types = Enregistrement::Types_Activite();
    for (int t = 0; t < Series_Saison::Nombre_Types; ++t)
        ensembles.append({types.at(t), QBrush(Couleur_Type(t)), Qt::NoPen, valeurs(t)});
    if (autres > 0) {
        // Told apart by its hatching as well as its colour, like every other set by its place.
        ensembles.append({QStringLiteral("Type inconnu"), QBrush(QColor(0x55, 0x55, 0x55), Qt::BDiagPattern),
                          QPen(QColor(0x55, 0x55, 0x55), 1), valeurs(Series_Saison::Nombre_Types)});
    }
    QList<Legende_Graphique::Entree> entrees;
    for (const Graphique_Progression::Ensemble& e : std::as_const(ensembles))
        entrees.append({e.nom, e.pinceau, Qt::NoPen});
    Legende_Mois->Definir(entrees);
    Graphique_Mois->Definir_Barres(categories, plusieursAnnees ? QStringLiteral("Mois/année") : QStringLiteral("Mois"),
                                   ensembles, m_axes.mois);
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
    QString date = Enregistrement::Texte_Date_Longue(sp.plateforme().Maintenant_Utc().date());
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
    Graphique_Points->Peindre(peintre, points);
    const QRectF legendePoints(points.left(), points.bottom(), points.width(), hauteurLegende);
    peintre.fillRect(legendePoints, Qt::white);
    Legende_Points->Peindre(peintre, legendePoints);
    const QRectF mois(zone.left(), zone.top() + haut, zone.width() * 0.6, bas);
    peintre.setFont(Legende_Mois->font());
    const qreal largeurLegende = Legende_Mois->Taille(Legende_Mois->font(), mois.width(), peintre.device()).width();
    const QRectF legendeMois(mois.right() - largeurLegende, mois.top(), largeurLegende, mois.height());
    Graphique_Mois->Peindre(peintre, mois.adjusted(0, 0, -largeurLegende, 0));
    peintre.fillRect(legendeMois, Qt::white);
    Legende_Mois->Peindre(peintre, legendeMois);
    peintre.setFont(normale);
    Graphique_Departements->Peindre(peintre,
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
    const QString pdf = base + QStringLiteral(".pdf");
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

    // The same drawing as a vector page of the picture's size, for printing or enlarging.
    QSaveFile fichierPdf(pdf);
    if (!fichierPdf.open(QIODevice::WriteOnly))
        return echec(pdf, fichierPdf.errorString());
    {
        QPdfWriter document(&fichierPdf);
        // Text is measured as on the screen, so that the page matches the PNG.
        document.setResolution(96);
        document.setPageLayout(QPageLayout(QPageSize(QSizeF(Taille_Image) * 72.0 / 96.0, QPageSize::Point),
                                           QPageLayout::Portrait, QMarginsF()));
        document.setTitle(Label_Titre->text());
        document.setCreator(QStringLiteral("QEZ_Challenge_KVRT"));
        QPainter peintre;
        if (!peintre.begin(&document))
            return echec(pdf, QStringLiteral("écriture refusée"));
        Dessiner(peintre, QRectF(QPointF(0, 0), QSizeF(Taille_Image)));
        if (!peintre.end())
            return echec(pdf, QStringLiteral("écriture refusée"));
    }
    if (!fichierPdf.commit())
        return echec(pdf, fichierPdf.errorString());
    return true;
}

void Progression::Progression_Enregistrer_Image_Click()
{
    // The files are replaced without a question, as the export is.
    QString base = sp.plateforme().Fichier_A_Enregistrer(
        QStringLiteral("Enregistrer l'image de la progression"),
        sp.Repertoire() + QLatin1Char('/') + sp.Indicatif_Station() + QStringLiteral("_Challenge_KVRT_") + sp.Annee_Challenge()
            + QStringLiteral("_progression"),
        QStringLiteral("Images PNG et PDF (*.png *.pdf)"), this, Plateforme::Remplacement::Sans_Demander);
    if (base.isEmpty())
        return;
    for (const char* suffixe : {".png", ".pdf", ".svg", ".PNG", ".PDF", ".SVG"})
        if (base.endsWith(QLatin1String(suffixe)))
            base.chop(4);
    QString erreur;
    if (!Enregistrer_Images(base, erreur)) {
        sp.plateforme().Message(erreur + QStringLiteral("\r\nLes graphiques n'ont pas été enregistrés."), this);
        return;
    }
    sp.plateforme().Message(QStringLiteral("Les graphiques ont été enregistrés sous les noms : ")
                              + QFileInfo(base).fileName() + QStringLiteral(".png et ")
                              + QFileInfo(base).fileName() + QStringLiteral(".pdf"),
                          this);
}

void Progression::Progression_Imprimer_Click()
{
    // The same road as the printout of the contacted castles: the printer dialog, then one page.
    QPrinter imprimante(QPrinter::ScreenResolution);
    Rapports_Contactes::Proposer_Pdf(sp, imprimante, sp.Indicatif_Station() + QStringLiteral("_Challenge_KVRT_") + sp.Annee_Challenge()
                                    + QStringLiteral("_progression"));
    QPrintDialog dialogue(&imprimante, this);
    dialogue.setObjectName(QStringLiteral("CommonDialog1"));
    if (dialogue.exec() != QDialog::Accepted) {
        sp.plateforme().Message(QStringLiteral("Impression annulée : les graphiques n'ont pas été imprimés."), this);
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
    const QString nom = Rapports_Contactes::Nom_Imprimante(imprimante);
    QPainter peintre;
    if (!peintre.begin(&imprimante)) {
        sp.plateforme().Message(QStringLiteral("L'impression n'a pas pu commencer sur « %1 » : "
                                             "les graphiques n'ont pas été imprimés.")
                                  .arg(nom),
                              this);
        return false;
    }
    Dessiner(peintre, QRectF(0, 0, imprimante.width(), imprimante.height()));
    if (!peintre.end()) {
        sp.plateforme().Message(QStringLiteral("L'impression sur « %1 » a échoué : les graphiques n'ont pas été imprimés.")
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
