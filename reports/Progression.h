#pragma once

#include "Axes_Progression.h"
#include "Fenetre_Rapport.h"
#include "Series_Saison.h"

#include <QColor>
#include <QImage>

class Graphique_Progression;
class Legende_Graphique;
class QLabel;
class QPainter;
class QPrinter;
class QPushButton;
class Sous_Programmes;

// "Progression": the season in pictures. The points day by day, with what they become once the
// castles waiting for validation are validated, the QSOs of each month by activity type, and the
// departements contacted so far. Like every report window it follows the log, and redraws after
// every change while it is open.
class Progression : public Fenetre_Rapport
{
    Q_OBJECT

public:
    Progression(Sous_Programmes& sp, QWidget* parent = nullptr);

    void Progression_Form_Load();
    void Progression_Form_Unload();
    void Charger() override { Progression_Form_Load(); }
    // Reads the log again and redraws every chart.
    void Progression_Rafraichir();
    void Progression_Enregistrer_Image_Click();
    void Progression_Imprimer_Click();
    void Progression_Fermer_Click();

    // The series last drawn, and the ranges of their axes.
    const Series_Saison::Series& Series() const { return m_series; }
    const Axes_Progression::Axes& Axes() const { return m_axes; }

    // The three charts, one under the other, with the title, in a rectangle of any device.
    void Dessiner(QPainter& peintre, const QRectF& cadre);
    QImage Image(const QSize& taille);
    // Writes <base>.png and <base>.pdf; an error text naming the file otherwise.
    bool Enregistrer_Images(const QString& base, QString& erreur);
    // Prints the charts on one page; tells the user when it fails.
    bool Imprimer_Graphiques(QPrinter& imprimante);

    // The colours of the nine activity types, readable by colour-blind people (Okabe and Ito's
    // eight, and a grey for the doubles), in the order of the table of types.
    static const QColor& Couleur_Type(int index);
    static QColor Couleur_Points();
    static QColor Couleur_Prevus();
    static QColor Couleur_Departements();

protected:
    void closeEvent(QCloseEvent* event) override;
    void Suivre_Log(const Etat_Log& etat) override;

private:
    QLabel* Label_Titre;
    QLabel* Label_Bilan;
    Graphique_Progression* Graphique_Points;
    Graphique_Progression* Graphique_Mois;
    Graphique_Progression* Graphique_Departements;
    // The legends of the points (under their chart) and of the activity types (beside the bars).
    Legende_Graphique* Legende_Points;
    Legende_Graphique* Legende_Mois;
    QPushButton* Enregistrer_Image;
    QPushButton* Imprimer;
    QPushButton* Fermer;

    void Construire_Graphiques();
    // Every chart from the log's bytes, or none when it could not be read.
    void Dessiner_Log(const QByteArray* contenu);
    void Tracer(const Series_Saison::Series& s);

    void Tracer_Mois(const Series_Saison::Series& s);

    Series_Saison::Series m_series;
    Axes_Progression::Axes m_axes;
};
