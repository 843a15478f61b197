#pragma once

#include "Insertion.h"

#include <QByteArray>
#include <QList>

// The insertion by date as the entry area does it, one QSO after the other: each new line goes
// before the first line of the log dated on or after it. The rule a whole import must give back.
inline QList<QByteArray> Une_Par_Une(QList<QByteArray> lignes, const QList<QByteArray>& nouvelles)
{
    for (const QByteArray& nouvelle : nouvelles)
        lignes = Insertion::Inserer_Par_Date(lignes, {nouvelle});
    return lignes;
}
