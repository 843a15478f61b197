#include "Forme_Log.h"

#include "Texte1252.h"

#include <QStringList>

#include <algorithm>
#include <cstring>

namespace Forme_Log {

namespace {

bool Commence_Par(QByteArrayView octets, QByteArrayView marque)
{
    return octets.size() >= marque.size() && std::memcmp(octets.data(), marque.data(), size_t(marque.size())) == 0;
}

const QByteArrayView Marque_Utf8("\xEF\xBB\xBF", 3);
const QByteArrayView Marque_Utf16_LE("\xFF\xFE", 2);
const QByteArrayView Marque_Utf16_BE("\xFE\xFF", 2);

qsizetype Longueur_Marque(const Examen& e)
{
    if (!e.marque)
        return 0;
    return e.codage == Codage::Utf16_LE || e.codage == Codage::Utf16_BE ? 2 : 3;
}

// True when the bytes are well-formed UTF-8; `large` tells whether they hold a character
// beyond ASCII. A Windows-1252 log gives itself away at its first accented letter ("validé"
// is E9 followed by a blank or a letter), so that the usual log is decided at once.
bool Utf8_Valide(QByteArrayView octets, bool& large)
{
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    const qsizetype n = octets.size();
    large = false;
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
    return true;
}

// Calls f with each stretch of the text between line-end bytes, so that a file whose lines
// are of two encodings is decided line by line.
template <typename F>
void Pour_Chaque_Morceau(QByteArrayView texte, F&& f)
{
    qsizetype debut = 0;
    for (qsizetype i = 0; i <= texte.size(); ++i) {
        if (i == texte.size() || texte.at(i) == '\r' || texte.at(i) == '\n') {
            f(texte.sliced(debut, i - debut));
            if (i < texte.size())
                f(texte.sliced(i, 1));
            debut = i + 1;
        }
    }
}

// After a UTF-8 mark: UTF-8 throughout, or lines in Windows-1252 too (an editor that kept the
// mark but not the encoding, or lines added by another program).
Codage Codage_Apres_Marque_Utf8(QByteArrayView texte)
{
    bool large = false;
    if (Utf8_Valide(texte, large))
        return Codage::Utf8;
    bool unicode = false;
    Pour_Chaque_Morceau(texte, [&](QByteArrayView m) {
        bool l = false;
        if (!unicode && Utf8_Valide(m, l) && l)
            unicode = true;
    });
    return unicode ? Codage::Utf8_Et_1252 : Codage::Windows_1252;
}

// The text of a UTF-16 file after its mark. Half of a surrogate pair alone, or a last odd
// byte, is no character: each counts in `inexpliques` and reads as "?".
QString Decoder_Utf16(QByteArrayView octets, bool grand, qsizetype* inexpliques)
{
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    const qsizetype unites = octets.size() / 2;
    auto unite = [&](qsizetype i) -> char16_t {
        return grand ? char16_t(p[2 * i] << 8 | p[2 * i + 1]) : char16_t(p[2 * i] | p[2 * i + 1] << 8);
    };
    qsizetype fautes = octets.size() % 2;
    QString texte;
    texte.reserve(unites + fautes);
    for (qsizetype i = 0; i < unites; ++i) {
        const char16_t u = unite(i);
        if (QChar::isHighSurrogate(u) && i + 1 < unites && QChar::isLowSurrogate(unite(i + 1))) {
            texte += QChar(u);
            texte += QChar(unite(++i));
        } else if (QChar::isSurrogate(u)) {
            ++fautes;
            texte += u'?';
        } else {
            texte += QChar(u);
        }
    }
    if (octets.size() % 2)
        texte += u'?';
    if (inexpliques)
        *inexpliques = fautes;
    return texte;
}

// The text after the mark, in the code page; a character it lacks becomes "?", one byte, so
// that the columns stay where they are. The editor's own file is kept as a copy.
QByteArray Vers_Page(QByteArrayView texte, Codage codage, qsizetype* inexpliques)
{
    switch (codage) {
    case Codage::Utf8:
        return Texte1252::Encoder(QString::fromUtf8(texte));
    case Codage::Utf8_Et_1252: {
        QByteArray page;
        page.reserve(texte.size());
        Pour_Chaque_Morceau(texte, [&](QByteArrayView m) {
            bool large = false;
            page += Utf8_Valide(m, large) && large ? Texte1252::Encoder(QString::fromUtf8(m)) : m.toByteArray();
        });
        return page;
    }
    case Codage::Utf16_LE:
    case Codage::Utf16_BE:
        return Texte1252::Encoder(Decoder_Utf16(texte, codage == Codage::Utf16_BE, inexpliques));
    case Codage::Windows_1252:
        break;
    }
    return texte.toByteArray();
}

// True when a record's date "JJ/MM/AA" starts at p.
bool Debut_Enregistrement(const char* p, qsizetype reste)
{
    if (reste < 8 || p[2] != '/' || p[5] != '/')
        return false;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (p[i] < '0' || p[i] > '9')
            return false;
    return true;
}

enum class Fin {
    CR_LF,
    LF,
    CR,
    CR_Sans_LF, // a CR at the very end: the last line end cut after its CR
    Aucune,     // the last line without its line end
};

// Calls f(debut, longueur, fin) for each line of the text, in place.
// LF ends a line, the CR before it going with it. A file without any LF was saved with CR line
// ends, and every CR ends a line. In a file with LFs, a lone CR ends a line where a record
// begins after it (lines an editor saved with CR ends, then lines with LF, or the other way);
// elsewhere it is one of the line's bytes, as the program has always read it: a stray CR in
// the middle of a record, or the first CR of CR CR LF, never cuts a QSO in two.
template <typename F>
void Pour_Chaque_Ligne(QByteArrayView texte, F&& f)
{
    const char* const p = texte.data();
    const qsizetype n = texte.size();
    if (n == 0)
        return;
    const bool avecLF = std::memchr(p, '\n', size_t(n)) != nullptr;
    qsizetype debut = 0;
    qsizetype cherche = 0; // where the next CR is looked for
    qsizetype lf = -1;     // the next LF from `cherche`, n when there is none
    while (debut < n) {
        if (avecLF && lf < cherche) {
            const void* t = std::memchr(p + cherche, '\n', size_t(n - cherche));
            lf = t ? static_cast<const char*>(t) - p : n;
        }
        const qsizetype borne = avecLF ? lf : n;
        const void* c = cherche < borne ? std::memchr(p + cherche, '\r', size_t(borne - cherche)) : nullptr;
        if (c) {
            const qsizetype j = static_cast<const char*>(c) - p;
            Fin fin;
            if (j + 1 < n && p[j + 1] == '\n')
                fin = Fin::CR_LF;
            else if (!avecLF || (j + 1 < n && Debut_Enregistrement(p + j + 1, n - j - 1)))
                fin = Fin::CR;
            else if (j + 1 == n)
                fin = Fin::CR_Sans_LF;
            else {
                cherche = j + 1;
                continue;
            }
            f(debut, j - debut, fin);
            debut = cherche = j + (fin == Fin::CR_LF ? 2 : 1);
        } else if (borne < n) {
            f(debut, borne - debut, Fin::LF);
            debut = cherche = borne + 1;
        } else {
            f(debut, n - debut, Fin::Aucune);
            break;
        }
    }
}

} // namespace

Examen Examiner(QByteArrayView octets)
{
    Examen e;
    QByteArrayView texte = octets;
    QByteArray page;
    if (Commence_Par(octets, Marque_Utf16_LE) || Commence_Par(octets, Marque_Utf16_BE)) {
        e.marque = true;
        e.codage = Commence_Par(octets, Marque_Utf16_LE) ? Codage::Utf16_LE : Codage::Utf16_BE;
        page = Vers_Page(octets.sliced(2), e.codage, &e.inexpliques);
        texte = page;
    } else if (Commence_Par(octets, Marque_Utf8)) {
        e.marque = true;
        texte = octets.sliced(3);
        e.codage = Codage_Apres_Marque_Utf8(texte);
    } else {
        bool large = false;
        if (Utf8_Valide(texte, large) && large)
            e.codage = Codage::Utf8;
    }
    // The line ends and the NULs are ASCII, at the same places in UTF-8 as in the code page.
    Pour_Chaque_Ligne(texte, [&](qsizetype, qsizetype, Fin fin) {
        if (fin == Fin::LF || fin == Fin::CR)
            e.fins = true;
        else if (fin == Fin::CR_Sans_LF || fin == Fin::Aucune)
            e.derniere = true;
    });
    e.nuls = std::count(texte.begin(), texte.end(), '\0');
    if (e.nuls > 0) {
        const qsizetype premier = texte.indexOf('\0');
        Pour_Chaque_Ligne(texte, [&](qsizetype debut, qsizetype, Fin) {
            if (debut <= premier)
                ++e.ligneNul;
        });
        e.utf16SansMarque = !e.marque && e.nuls * 3 >= texte.size();
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
    QByteArrayView texte = QByteArrayView(octets).sliced(Longueur_Marque(examen));
    QByteArray page;
    if (examen.codage != Codage::Windows_1252) {
        page = Vers_Page(texte, examen.codage, nullptr);
        texte = page;
    }
    QByteArray sortie;
    sortie.reserve(texte.size() + texte.size() / 20 + 64);
    Pour_Chaque_Ligne(texte, [&](qsizetype debut, qsizetype longueur, Fin) {
        sortie += texte.sliced(debut, longueur);
        sortie += "\r\n";
    });
    return sortie;
}

QString Decrire(const Examen& examen)
{
    QStringList parties;
    switch (examen.codage) {
    case Codage::Utf16_LE:
        parties << QStringLiteral("UTF-16 LE avec marque d'ordre des octets");
        break;
    case Codage::Utf16_BE:
        parties << QStringLiteral("UTF-16 BE avec marque d'ordre des octets");
        break;
    case Codage::Utf8:
        parties << (examen.marque ? QStringLiteral("UTF-8 avec marque d'ordre des octets") : QStringLiteral("UTF-8"));
        break;
    case Codage::Utf8_Et_1252:
        parties << QStringLiteral("UTF-8 avec marque d'ordre des octets, des lignes en Windows-1252");
        break;
    case Codage::Windows_1252:
        if (examen.marque)
            parties << QStringLiteral("marque d'ordre des octets UTF-8 devant des lignes en Windows-1252");
        break;
    }
    if (examen.fins)
        parties << QStringLiteral("fins de ligne autres que CR LF");
    if (examen.derniere)
        parties << QStringLiteral("dernière ligne sans fin de ligne");
    return parties.join(QStringLiteral(", "));
}

QString Decrire_Obstacle(const Examen& examen)
{
    if (examen.Convertible())
        return {};
    QStringList parties;
    if (examen.nuls > 0) {
        QString nuls = examen.nuls == 1 ? QStringLiteral("un caractère nul (octet 00) à la ligne %1").arg(examen.ligneNul)
                                        : QStringLiteral("%1 caractères nuls (octet 00), le premier à la ligne %2")
                                              .arg(examen.nuls)
                                              .arg(examen.ligneNul);
        if (examen.utf16SansMarque)
            nuls += QStringLiteral(" : le fichier semble enregistré en UTF-16 sans marque d'ordre des octets");
        parties << nuls;
    }
    if (examen.inexpliques > 0)
        parties << (examen.inexpliques == 1 ? QStringLiteral("des octets qui ne forment aucun caractère UTF-16")
                                            : QStringLiteral("%1 groupes d'octets qui ne forment aucun caractère UTF-16")
                                                  .arg(examen.inexpliques));
    return parties.join(QStringLiteral(", "));
}

} // namespace Forme_Log
