#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The log's own form is Windows-1252 text, CR LF after every line, records in fixed columns.
// An operator may open it in a text editor and save it again in another form: UTF-8 with or
// without a byte-order mark, UTF-16 with its mark (Notepad's "Unicode"), LF or CR line ends or
// a mix of them, the last line end dropped. The program reads such a file as the one it wrote,
// and writes it back in its own form at the next change.
// Blanks an editor took from the ends of the lines need nothing: fields are cut by position
// and a field past the end of a short line reads shorter, as the blanks it lost.
namespace Forme_Log {

enum class Codage {
    Windows_1252,   // the program's own
    Utf8,
    Utf8_Et_1252,   // after a UTF-8 mark, some lines in UTF-8 and others in Windows-1252
    Utf16_LE,
    Utf16_BE,
};

struct Examen
{
    Codage codage = Codage::Windows_1252;
    bool marque = false;       // a byte-order mark at the start (UTF-8 or UTF-16)
    bool fins = false;         // line ends other than CR LF (LF, CR, or a mix)
    bool derniere = false;     // the last line without its line end
    qsizetype nuls = 0;        // NUL characters in the text, once decoded
    qsizetype ligneNul = 0;    // the line of the first of them, from 1
    qsizetype inexpliques = 0; // bytes no encoding explains (half a UTF-16 character)
    bool utf16SansMarque = false; // NULs between most characters, as UTF-16 saved without its mark
    bool Propre() const { return codage == Codage::Windows_1252 && !marque && !fins && !derniere; }
    // Another program's encoding or line ends, which the operator is told of before the log
    // is written back; a last line end the program adds at the next change is nothing to tell.
    bool Etrangere() const { return codage != Codage::Windows_1252 || marque || fins; }
    // A NUL is no character of a log and no editor writes one: a file in another form that
    // still holds one, or bytes no encoding explains, was not understood, and writing it back
    // as converted would pass that guess off as the operator's log.
    bool Convertible() const { return !Etrangere() || (nuls == 0 && inexpliques == 0); }
};

// One pass over the bytes; nothing is copied but the text of a UTF-16 file.
Examen Examiner(QByteArrayView octets);

// The same lines in the program's own form: decoded from the editor's encoding, every line
// ended by CR LF. A file already in that form comes back as it is, without a copy.
QByteArray Remettre(const QByteArray& octets);
QByteArray Remettre(const QByteArray& octets, const Examen& examen);

// "UTF-8 avec marque d'ordre des octets, fins de ligne LF" and the like, for the message
// that tells the operator his log will be written back in the program's form.
QString Decrire(const Examen& examen);
// What keeps a file from being written back ("3 caractères nuls (octet 00), le premier à la
// ligne 2"), empty when nothing does.
QString Decrire_Obstacle(const Examen& examen);

} // namespace Forme_Log
