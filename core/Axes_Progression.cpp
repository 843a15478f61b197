#include "Axes_Progression.h"

#include <QtGlobal>

#include <cmath>
#include <limits>

namespace Axes_Progression {

Entier Axe_Entier(int valeurMax)
{
    const qint64 haut = qint64(qMax(valeurMax, 0)) + 1;
    qint64 pas = 1;
    for (qint64 puissance = 1; (haut + pas - 1) / pas > 6; puissance *= 10) {
        for (qint64 m : {1, 2, 5}) {
            pas = m * puissance;
            if ((haut + pas - 1) / pas <= 6)
                break;
        }
    }
    const qint64 nombrePas = qMax<qint64>(2, (haut + pas - 1) / pas);
    Entier e;
    e.pas = int(pas);
    e.maximum = int(qMin<qint64>(nombrePas * pas, std::numeric_limits<int>::max()));
    return e;
}

Axes Calculer(const Series_Saison::Series& s, const QString& anneeChallenge, const QDate& aujourdhui)
{
    Axes a;
    bool ok = false;
    int annee = anneeChallenge.toInt(&ok);
    if (!ok || annee < 1950 || annee > 2099)
        annee = aujourdhui.year();
    // The season is the challenge's year, stretched to the QSOs dated outside it.
    QDate debutSaison(annee, 1, 1), finSaison(annee, 12, 31);
    if (!s.jours.isEmpty()) {
        a.debut = s.jours.first().date;
        debutSaison = qMin(debutSaison, a.debut);
        finSaison = qMax(finSaison, s.jours.last().date);
    } else {
        a.debut = debutSaison;
    }
    // The axis stops at the last QSO, or at today while the season runs: what is to come is
    // not drawn. A season that is over, or not begun, without a QSO shows its whole year.
    QDate dernierJour = s.jours.isEmpty() ? QDate() : s.jours.last().date;
    if (aujourdhui >= debutSaison && aujourdhui <= finSaison && (!dernierJour.isValid() || aujourdhui > dernierJour))
        dernierJour = aujourdhui;
    a.fin = dernierJour.isValid() ? dernierJour.addDays(1) : finSaison.addDays(1);
    // A single day still gets a width to be drawn on, taken from the days before it.
    if (a.debut.daysTo(a.fin) < 7)
        a.debut = a.fin.addDays(-7);

    // The curves only climb: their last day holds their highest values.
    const Series_Saison::Jour dernier = s.jours.isEmpty() ? Series_Saison::Jour() : s.jours.last();
    a.points = Axe_Entier(qMax(dernier.points, dernier.points_prevus));
    a.departements = Axe_Entier(dernier.departements);
    int maxMois = 0;
    for (const Series_Saison::Mois& m : s.mois)
        maxMois = qMax(maxMois, m.total());
    a.mois = Axe_Entier(maxMois);
    return a;
}

QList<Graduation> Graduations_Jours(const QDate& debut, const QDate& fin, int n)
{
    const qint64 dernier = qMax<qint64>(0, debut.daysTo(fin) - 1);
    QList<Graduation> g;
    for (int i = 0; i < qMax(n, 1); ++i) {
        const QDate jour = debut.addDays(n > 1 ? qint64(std::floor(double(dernier) * i / (n - 1))) : 0);
        // More graduations than days: each day once.
        if (g.isEmpty() || g.last().jour != jour)
            g.append({jour, Abscisse(debut, fin, jour)});
    }
    return g;
}

double Abscisse(const QDate& debut, const QDate& fin, const QDate& jour)
{
    return double(debut.daysTo(jour)) / double(qMax<qint64>(1, debut.daysTo(fin)));
}

QList<QPointF> Marches(const QList<Series_Saison::Jour>& jours, int Series_Saison::Jour::*valeur, const QDate& debut,
                       const QDate& fin)
{
    QList<QPointF> p;
    p.reserve(jours.size() * 2 + 2);
    qreal avant = 0;
    for (const Series_Saison::Jour& j : jours) {
        const qreal x = Abscisse(debut, fin, j.date);
        p.append(QPointF(x, avant));
        avant = j.*valeur;
        p.append(QPointF(x, avant));
    }
    if (!jours.isEmpty())
        p.append(QPointF(Abscisse(debut, fin, qMax(fin, jours.last().date.addDays(1))), avant));
    return p;
}

} // namespace Axes_Progression
