#include "Texte1252.h"

#include <QStringDecoder>

namespace Texte1252 {

namespace {

// The inverse of the code page for every character below U+2200 (the highest it holds is
// U+2122): the byte, or -1 when the character has none. Built at compile time from the table.
struct Inverse
{
    short octet[0x2200] = {};

    constexpr Inverse()
    {
        for (int u = 0; u < 0x2200; ++u)
            octet[u] = -1;
        for (int i = 0; i < 256; ++i)
            octet[Vers_Unicode[i]] = short(i);
    }
};

constexpr Inverse Vers_Octet;

inline int Octet(char16_t u)
{
    return u < 0x2200 ? Vers_Octet.octet[u] : -1;
}

inline void Decoder_Dans(QByteArrayView octets, char16_t* sortie)
{
    const unsigned char* entree = reinterpret_cast<const unsigned char*>(octets.data());
    for (qsizetype i = 0; i < octets.size(); ++i)
        sortie[i] = Vers_Unicode[entree[i]];
}

} // namespace

QString Decoder_Utf8_Ou_1252(QByteArrayView octets)
{
    bool ascii = true;
    for (char c : octets) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(octets.data(), octets.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texte = utf8.decode(octets);
    if (!utf8.hasError())
        return texte;
    return Decoder(octets);
}

QString Decoder(QByteArrayView octets)
{
    QString texte(octets.size(), Qt::Uninitialized);
    Decoder_Dans(octets, reinterpret_cast<char16_t*>(texte.data()));
    return texte;
}

void Decoder(QByteArrayView octets, QString& texte)
{
    texte.resize(octets.size());
    Decoder_Dans(octets, reinterpret_cast<char16_t*>(texte.data()));
}

QByteArray Encoder(QStringView texte)
{
    QByteArray octets(texte.size(), Qt::Uninitialized);
    char* sortie = octets.data();
    for (qsizetype i = 0; i < texte.size(); ++i) {
        // Each half of a surrogate pair is a character of its own here, and has no byte.
        const int o = Octet(texte.at(i).unicode());
        sortie[i] = o < 0 ? '?' : char(o);
    }
    return octets;
}

bool Representable(QStringView texte)
{
    for (QChar c : texte)
        if (Octet(c.unicode()) < 0)
            return false;
    return true;
}

QList<QByteArray> Couper_Lignes(const QByteArray& contenu)
{
    QList<QByteArray> lignes;
    lignes.reserve(contenu.size() / 55 + 1);
    Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) { lignes.append(ligne.toByteArray()); });
    return lignes;
}

} // namespace Texte1252
