#pragma once

#include <QByteArray>
#include <QList>

// The insertion by date, the one rule by which a QSO goes into the log at its place: before
// the first line whose date is on or after its own (lines without a readable date never
// decide), after the last line when there is none. The entry area puts one QSO in this way,
// an import many at once, each where it would have gone had they been typed one after the
// other in the order given.
namespace Insertion {

// The log's lines with the new records put in.
QList<QByteArray> Inserer_Par_Date(const QList<QByteArray>& lignes, const QList<QByteArray>& nouvelles);
// The same on the log's bytes: the whole new log, every line ending in CR LF as any rewrite of
// the log writes it.
QByteArray Inserer_Dans_Log(const QByteArray& log, const QList<QByteArray>& nouvelles);

} // namespace Insertion
