#pragma once

#include "Series_Saison.h"

#include <QDate>
#include <QList>
#include <QPointF>
#include <QString>

// The ranges of the Progression charts' axes, worked out from the season alone, apart from any
// drawing, so that they are the same on the screen, in the picture and on the page.
namespace Axes_Progression {

// An axis of whole numbers from 0 to maximum in equal steps of pas.
struct Entier
{
    int maximum = 0;
    int pas = 1;
    int Graduations() const { return pas > 0 ? maximum / pas + 1 : 1; }
    bool operator==(const Entier& autre) const { return maximum == autre.maximum && pas == autre.pas; }
    bool operator!=(const Entier& autre) const { return !(*this == autre); }
};

struct Axes
{
    // The days across the curves, fin excluded, so that the last day is drawn whole.
    QDate debut;
    QDate fin;
    Entier points;       // validated points and what they become, whichever is higher
    Entier mois;         // the QSOs of the fullest month
    Entier departements; // departements contacted so far
};

// From 0 in at most six steps of 1, 2 or 5 times a power of ten, with room above valeurMax.
Entier Axe_Entier(int valeurMax);

// The season's first day to the day after its last QSO, or after aujourdhui while the season
// runs, at least a week (the days before the first added); a season without QSO starts on the
// 1st of January of the challenge's year, or of aujourdhui's when that is not a year, and
// shows the whole year when aujourdhui is outside it.
Axes Calculer(const Series_Saison::Series& s, const QString& anneeChallenge, const QDate& aujourdhui);

// A graduation of the days: the day it names and where it stands across the plot, 0 at the
// left end and 1 at the right.
struct Graduation
{
    QDate jour;
    double x = 0;
};

// Where the labels of the days go: n graduations, on the first day and on the last one drawn
// and spread evenly between them, each at its own day's place however many days lie between
// two of them.
QList<Graduation> Graduations_Jours(const QDate& debut, const QDate& fin, int n);

// Where a day starts across the plot of the days from debut to fin (excluded), 0 to 1: each day
// has a slot of the same width, and its step and its label stand at the start of it. The curves,
// the grid lines and the labels are all placed by it.
double Abscisse(const QDate& debut, const QDate& fin, const QDate& jour);

// A curve drawn as steps, x across the plot and y the day's value: each day's value holds until
// the next day that changes it, the last one to the plot's end (today, while the season runs).
QList<QPointF> Marches(const QList<Series_Saison::Jour>& jours, int Series_Saison::Jour::*valeur, const QDate& debut,
                       const QDate& fin);

} // namespace Axes_Progression
