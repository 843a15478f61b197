#include "Forme_Log.h"

#include "Texte1252.h"

#include <QStringList>

#include <cstring>

namespace Forme_Log {

namespace {

constexpr char Marque[] = "\xEF\xBB\xBF";

bool Commence_Par_Marque(QByteArrayView octets)
{
    return octets.size() >= 3 && std::memcmp(octets.data(), Marque, 3) == 0;
}

// True when the bytes from `debut` on are well-formed UTF-8 and hold at least one character
// beyond ASCII. A Windows-1252 log gives itself away at its first accented letter ("validé"
// is E9 followed by a blank or a letter), so that the usual log is decided at once.
bool Est_Utf8(QByteArrayView octets)
{
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    const qsizetype n = octets.size();
    bool large = false;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int suite;
        unsigned int minimum;
        unsigned int code;
        if ((c & 0xE0) == 0xC0) {
            suite = 1;
            minimum = 0x80;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            suite = 2;
            minimum = 0x800;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            suite = 3;
            minimum = 0x10000;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + suite >= n)
            return false;
        for (int k = 1; k <= suite; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        large = true;
        i += suite + 1;
    }
    return large;
}

} // namespace

// A line ends at LF, the CR before it going with it; a CR elsewhere is one of the line's bytes,
// as the program has always read it. Only a file without any LF has its lines ended by CR,
// as the old Macintosh editors saved them.
static bool Fins_CR(QByteArrayView texte)
{
    return !texte.contains('\n') && texte.contains('\r');
}

Examen Examiner(QByteArrayView octets)
{
    Examen e;
    e.marque = Commence_Par_Marque(octets);
    const QByteArrayView texte = e.marque ? octets.sliced(3) : octets;
    e.utf8 = Est_Utf8(texte);
    if (Fins_CR(texte)) {
        e.fins = true;
        e.derniere = !texte.endsWith('\r');
        return e;
    }
    const char* const p = texte.data();
    const qsizetype n = texte.size();
    qsizetype debut = 0;
    while (debut < n) {
        const void* trouve = std::memchr(p + debut, '\n', size_t(n - debut));
        if (!trouve) {
            e.derniere = true;
            break;
        }
        const qsizetype fin = static_cast<const char*>(trouve) - p;
        if (fin == debut || p[fin - 1] != '\r')
            e.fins = true;
        debut = fin + 1;
    }
    return e;
}

QByteArray Remettre(const QByteArray& octets)
{
    return Remettre(octets, Examiner(octets));
}

QByteArray Remettre(const QByteArray& octets, const Examen& examen)
{
    if (examen.Propre())
        return octets;
    QByteArrayView texte = octets;
    if (examen.marque)
        texte = texte.sliced(3);
    QByteArray utf8Recode;
    if (examen.utf8 || examen.marque) {
        // Decoded, then written in the code page: a character it lacks becomes "?", one byte,
        // so that the columns stay where they are. The editor's own file is kept as a copy.
        utf8Recode = Texte1252::Encoder(QString::fromUtf8(texte));
        texte = utf8Recode;
    }
    const char fin = Fins_CR(texte) ? '\r' : '\n';
    QByteArray sortie;
    sortie.reserve(texte.size() + texte.size() / 20 + 64);
    const char* const p = texte.data();
    const qsizetype n = texte.size();
    qsizetype debut = 0;
    while (debut < n) {
        const void* trouve = std::memchr(p + debut, fin, size_t(n - debut));
        const qsizetype bout = trouve ? static_cast<const char*>(trouve) - p : n;
        qsizetype longueur = bout - debut;
        if (fin == '\n' && longueur > 0 && p[debut + longueur - 1] == '\r')
            --longueur;
        sortie += QByteArrayView(p + debut, longueur);
        sortie += "\r\n";
        debut = bout + 1;
    }
    return sortie;
}

QString Decrire(const Examen& examen)
{
    QStringList parties;
    if (examen.marque)
        parties << QStringLiteral("UTF-8 avec marque d'ordre des octets");
    else if (examen.utf8)
        parties << QStringLiteral("UTF-8");
    if (examen.fins)
        parties << QStringLiteral("fins de ligne autres que CR LF");
    if (examen.derniere)
        parties << QStringLiteral("dernière ligne sans fin de ligne");
    return parties.join(QStringLiteral(", "));
}

} // namespace Forme_Log
