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
    if (!s.jours.isEmpty()) {
        a.debut = s.jours.first().date;
        a.fin = s.jours.last().date.addDays(1);
    } else {
        bool ok = false;
        int annee = anneeChallenge.toInt(&ok);
        if (!ok || annee < 1950 || annee > 2099)
            annee = aujourdhui.year();
        a.debut = QDate(annee, 1, 1);
        a.fin = QDate(annee + 1, 1, 1);
    }
    // A single day still gets a width to be drawn on.
    if (a.debut.daysTo(a.fin) < 7)
        a.fin = a.debut.addDays(7);

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

QList<QDate> Graduations_Jours(const QDate& debut, const QDate& fin, int n)
{
    QList<QDate> g;
    const qint64 jours = debut.daysTo(fin);
    if (n < 2 || jours <= 0)
        return {debut};
    for (int i = 0; i < n; ++i)
        g.append(debut.addDays(qint64(std::floor(double(jours) * i / (n - 1)))));
    return g;
}

} // namespace Axes_Progression
