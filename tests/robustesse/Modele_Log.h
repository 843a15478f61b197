#pragma once

#include <QByteArray>
#include <QList>

// What the log's bytes must become after each operation, worked out on bytes alone and
// without the program's routines, so that the crash and fault tests can tell a right file
// from a wrong one.
namespace Modele_Log {

// Lines without their line ends: LF ends a line, one CR before it goes with it, and a
// last line may lack its line end.
QList<QByteArray> Lignes(const QByteArray& octets);
// Every line followed by CR LF.
QByteArray Joindre(const QList<QByteArray>& lignes);

// A record's date widened to AAAAMMJJ (50-99 give 19xx, 00-49 give 20xx); -1 when the
// first eight bytes are not "JJ/MM/AA".
int Date(const QByteArray& ligne);

// Appending: the record and CR LF at the end, after a line end for a last line that had none.
QByteArray Ajout(const QByteArray& avant, const QByteArray& enregistrement);
// Insertion before the first line whose date is on or after the record's; lines without a
// readable date never decide the place.
QByteArray Insertion(const QByteArray& avant, const QByteArray& enregistrement);
// Every line equal to the key becomes the record; the record goes last when none is.
QByteArray Remplacement(const QByteArray& avant, const QByteArray& cle, const QByteArray& enregistrement);
// Every line whose bytes 11-15 are the reference, blanks around it aside, goes; the file is
// left alone when none does, or when the reference is blank.
QByteArray Suppression(const QByteArray& avant, const QByteArray& reference);

// Points of a record line: 0 with "*" at byte 10, else those of its type (bytes 18-39).
int Points(const QByteArray& ligne);
int Total(const QByteArray& octets);
// True for a line the program writes: date, mark, a five-byte reference, a known type.
bool Enregistrement_Complet(const QByteArray& ligne);

} // namespace Modele_Log
