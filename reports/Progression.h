#pragma once

#include "Series_Saison.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class Legende_Graphique;
class QBarSet;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPainter;
class QPrinter;
class QPushButton;
class QStackedBarSeries;
class Sous_Programmes;

// "Progression": the season in pictures. The points day by day, with what they become once the
// castles waiting for validation are validated, the QSOs of each month by activity type, and the
// departements contacted so far. Unlike the other report windows it follows the log: the main
// window asks it to redraw after every change while it is open.
class Progression : public QWidget
{
    Q_OBJECT

public:
    Progression(Sous_Programmes& sp, QWidget* parent = nullptr);

    QLabel* Label_Titre;
    QLabel* Label_Bilan;
    QChartView* Graphique_Points;
    QChartView* Graphique_Mois;
    QChartView* Graphique_Departements;
    // The legends of the points (under their chart) and of the activity types (beside the bars).
    Legende_Graphique* Legende_Points;
    Legende_Graphique* Legende_Mois;
    QPushButton* Enregistrer_Image;
    QPushButton* Imprimer;
    QPushButton* Fermer;

    void Progression_Form_Load();
    void Progression_Form_Unload();
    // Reads the log again and redraws every chart.
    void Progression_Rafraichir();
    void Progression_Enregistrer_Image_Click();
    void Progression_Imprimer_Click();
    void Progression_Fermer_Click();

    // The series last drawn.
    const Series_Saison::Series& Series() const { return m_series; }

    // The three charts, one under the other, with the title, in a rectangle of any device.
    void Dessiner(QPainter& peintre, const QRectF& cadre);
    QImage Image(const QSize& taille);
    // Writes <base>.png and <base>.svg; an error text naming the file otherwise.
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

private:
    void Construire_Graphiques();
    void Tracer(const Series_Saison::Series& s);

    Sous_Programmes& sp;
    Series_Saison::Series m_series;
    QLineSeries* m_points = nullptr;
    QLineSeries* m_prevus = nullptr;
    QLineSeries* m_departements = nullptr;
    // The bars as last drawn, kept so that a change of the log only changes their heights.
    QStackedBarSeries* m_barres = nullptr;
    QList<QBarSet*> m_ensembles;
    QStringList m_categories;
    bool m_avecAutres = false;
    void Tracer_Mois(const Series_Saison::Series& s);
};
