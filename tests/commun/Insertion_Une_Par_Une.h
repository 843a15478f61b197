#pragma once

#include "Enregistrement.h"
#include "Texte1252.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// The date insertion of the entry area, one QSO after the other: each new line goes before
// the first line of the log dated on or after it. The rule a whole import must give back.
inline QList<QByteArray> Une_Par_Une(QList<QByteArray> lignes, const QList<QByteArray>& nouvelles)
{
    for (const QByteArray& nouvelle : nouvelles) {
        int d = 0;
        if (!Enregistrement::Date_Comparable(Texte1252::Decoder(nouvelle.left(8)), d))
            qFatal("a line to insert has no readable date: %s", nouvelle.constData());
        qsizetype place = lignes.size();
        for (qsizetype i = 0; i < lignes.size(); ++i) {
            int dl = 0;
            if (Enregistrement::Date_Comparable(Texte1252::Decoder(lignes.at(i).left(8)), dl) && dl >= d) {
                place = i;
                break;
            }
        }
        lignes.insert(place, nouvelle);
    }
    return lignes;
}
