#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// What the crash tests know of the undo stacks: each change they saw done, as the hashes of
// the log's bytes before and after it, followed from the helper's notes.
struct Piles_Vues
{
    QList<QPair<QByteArray, QByteArray>> faites;
    QList<QPair<QByteArray, QByteArray>> annulees;

    // What the log must become when the operation named in the notes ends; empty when the
    // program offered an undo or a redo the test never saw a change for.
    QByteArray Attendu(const QByteArray& quoi, const QByteArray& apresModele) const;
    // The operation ended with the log at these bytes' hash.
    void Terminer(const QByteArray& quoi, const QByteArray& avant, const QByteArray& apres);
};

QByteArray Empreinte_Sha1(const QByteArray& octets);

// The whole lines a stopped helper added to its notes since `lu`, which moves past them. A
// note is one write, but a kill can still cut it where the write crosses a page of the file:
// the cut part is taken out of the file, so that the next helper's first note starts a line.
QByteArray Lire_Notes(const QString& chemin, qint64& lu);

// After a stop: the journal must explain the log as it is, and one undo must give the
// state before the last change completed (or nothing, when there is none). The log is left
// undone, and the stacks and the bytes follow; gives back what is wrong, or nothing. The undo
// is dated utc (now when none is given).
QString Juger_Journal(const QString& log, Piles_Vues& piles, QByteArray& octets, const QDateTime& utc = QDateTime());
