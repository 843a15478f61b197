#include "Texte1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Texte1252 {

namespace {

// Windows-1252 is one byte per character, so the codec is a table of 256 characters and
// its inverse. Both are taken once from the platform's own codec, so that a table look-up
// gives exactly what the codec gives; opening the codec costs more than decoding a whole
// line, and the log is decoded line by line on every change.
struct Tables
{
    bool valides = false;
    char16_t versUnicode[256] = {};
    // Byte of each character below U+2200 that the codec writes back unchanged; 0 when none
    // (the byte 0 itself is found by its own test).
    unsigned char versOctet[0x2200] = {};
    bool aOctet[0x2200] = {};

    Tables()
    {
        char tous[256];
        for (int i = 0; i < 256; ++i)
            tous[i] = char(i);
        QStringDecoder decodeur("windows-1252");
        const QString texte = decodeur.decode(QByteArrayView(tous, 256));
        if (decodeur.hasError() || texte.size() != 256)
            return;
        for (int i = 0; i < 256; ++i)
            versUnicode[i] = texte.at(i).unicode();
        for (int i = 0; i < 256; ++i) {
            const char16_t u = versUnicode[i];
            if (u >= 0x2200 || aOctet[u])
                continue;
            QStringEncoder encodeur("windows-1252");
            const QByteArray b = encodeur.encode(QStringView(&u, 1));
            if (!encodeur.hasError() && b.size() == 1 && (unsigned char)b.at(0) == i) {
                versOctet[u] = (unsigned char)i;
                aOctet[u] = true;
            }
        }
        valides = true;
    }
};

const Tables& Table()
{
    static const Tables tables;
    return tables;
}

// Fills the bytes of a text whose every character has its byte; false otherwise.
bool Encoder_Par_Table(QStringView texte, QByteArray& octets)
{
    const Tables& t = Table();
    if (!t.valides)
        return false;
    octets.resize(texte.size());
    char* sortie = octets.data();
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t u = texte.at(i).unicode();
        if (u >= 0x2200 || !t.aOctet[u])
            return false;
        sortie[i] = char(t.versOctet[u]);
    }
    return true;
}

} // namespace

QString Decoder(QByteArrayView octets)
{
    const Tables& t = Table();
    if (!t.valides) {
        QStringDecoder decodeur("windows-1252");
        return decodeur.decode(octets);
    }
    QString texte(octets.size(), Qt::Uninitialized);
    char16_t* sortie = reinterpret_cast<char16_t*>(texte.data());
    const unsigned char* entree = reinterpret_cast<const unsigned char*>(octets.data());
    for (qsizetype i = 0; i < octets.size(); ++i)
        sortie[i] = t.versUnicode[entree[i]];
    return texte;
}

void Decoder(QByteArrayView octets, QString& texte)
{
    const Tables& t = Table();
    if (!t.valides) {
        texte = Decoder(octets);
        return;
    }
    texte.resize(octets.size());
    char16_t* sortie = reinterpret_cast<char16_t*>(texte.data());
    const unsigned char* entree = reinterpret_cast<const unsigned char*>(octets.data());
    for (qsizetype i = 0; i < octets.size(); ++i)
        sortie[i] = t.versUnicode[entree[i]];
}

QByteArray Encoder(QStringView texte)
{
    {
        QByteArray octets;
        if (Encoder_Par_Table(texte, octets))
            return octets;
    }
    QStringEncoder encodeur("windows-1252");
    QByteArray octets = encodeur.encode(texte);
    if (!encodeur.hasError() && octets.size() == texte.size())
        return octets;
    // Slow path, only for text holding characters foreign to the code page.
    octets.clear();
    octets.reserve(texte.size());
    for (QChar c : texte) {
        QStringEncoder un("windows-1252");
        QByteArray b = un.encode(QStringView(&c, 1));
        if (un.hasError() || b.size() != 1 || c.isSurrogate())
            octets.append('?');
        else
            octets.append(b);
    }
    return octets;
}

bool Representable(QStringView texte)
{
    {
        QByteArray octets;
        if (Encoder_Par_Table(texte, octets))
            return true;
    }
    QStringEncoder encodeur("windows-1252");
    QByteArray octets = encodeur.encode(texte);
    return !encodeur.hasError() && octets.size() == texte.size();
}

QList<QByteArray> Couper_Lignes(const QByteArray& contenu)
{
    QList<QByteArray> lignes;
    lignes.reserve(contenu.size() / 55 + 1);
    Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) { lignes.append(ligne.toByteArray()); });
    return lignes;
}

} // namespace Texte1252
