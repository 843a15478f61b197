#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace Journal {

// One replaced stretch of bytes: at a position of the old file, these bytes went and those
// came in their place.
struct Bloc
{
    qint64 position = 0;
    QByteArray retire;
    QByteArray ajoute;
    bool operator==(const Bloc& b) const { return position == b.position && retire == b.retire && ajoute == b.ajoute; }
};

// The blocks that turn one file into another, found line by line (a line with its own line
// end), in increasing position and never overlapping. dejaEgaux: a count of first bytes the
// caller already knows alike in both, so that they are not compared again.
QList<Bloc> Differences(QByteArrayView ancien, QByteArrayView nouveau, qsizetype dejaEgaux = 0);
// Applies blocks to the file they were made from; false when they do not fit it.
bool Appliquer(QByteArrayView ancien, const QList<Bloc>& blocs, QByteArray& nouveau);
// The blocks that take the new file back to the old one.
QList<Bloc> Inverser(const QList<Bloc>& blocs);

} // namespace Journal
