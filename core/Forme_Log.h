#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The log's own form is Windows-1252 text, CR LF after every line, records in fixed columns.
// An operator may open it in a text editor and save it again in another form: UTF-8 with or
// without a byte-order mark, LF or CR line ends, the last line end dropped. The program reads
// such a file as the one it wrote, and writes it back in its own form at the next change.
// Blanks an editor took from the ends of the lines need nothing: fields are cut by position
// and a field past the end of a short line reads shorter, as the blanks it lost.
namespace Forme_Log {

struct Examen
{
    bool marque = false;       // a UTF-8 byte-order mark at the start
    bool utf8 = false;         // UTF-8 text beyond ASCII
    bool fins = false;         // line ends other than CR LF (LF, CR, or a mix)
    bool derniere = false;     // the last line without its line end
    bool Propre() const { return !marque && !utf8 && !fins && !derniere; }
    // Another program's encoding or line ends, which the operator is told of before the log
    // is written back; a last line end the program adds at the next change is nothing to tell.
    bool Etrangere() const { return marque || utf8 || fins; }
};

// One pass over the bytes; nothing is copied.
Examen Examiner(QByteArrayView octets);

// The same lines in the program's own form: decoded from UTF-8 when it is UTF-8, every line
// ended by CR LF. A file already in that form comes back as it is, without a copy.
QByteArray Remettre(const QByteArray& octets);
QByteArray Remettre(const QByteArray& octets, const Examen& examen);

// "UTF-8 avec marque d'ordre des octets, fins de ligne LF" and the like, for the message
// that tells the operator his log will be written back in the program's form.
QString Decrire(const Examen& examen);

} // namespace Forme_Log
