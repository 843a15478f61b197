#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// The log, its temporary files and the export are single-byte Windows-1252 text
// with CR LF line ends, so a character position is a byte position.
namespace Texte1252 {

namespace Detail {

// Windows-1252 is ASCII and Latin-1 but for the bytes 0x80 to 0x9F; the five of them the
// code page leaves undefined keep the C1 control of the same number, as Windows itself does.
constexpr char16_t Page_80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct Table_Page
{
    char16_t caractere[256] = {};

    constexpr Table_Page()
    {
        for (int i = 0; i < 256; ++i)
            caractere[i] = i >= 0x80 && i < 0xA0 ? Page_80[i - 0x80] : char16_t(i);
    }
    constexpr char16_t operator[](int octet) const { return caractere[octet]; }
};

} // namespace Detail

// The code page itself, our own constant: the log's bytes never depend on how Qt was built
// (a Qt without ICU knows no "windows-1252" codec at all).
inline constexpr Detail::Table_Page Vers_Unicode;

QString Decoder(QByteArrayView octets);
// Text from elsewhere (another program, a network peer): UTF-8 when its bytes are valid UTF-8,
// otherwise Windows-1252.
QString Decoder_Utf8_Ou_1252(QByteArrayView octets);
// A character that Windows-1252 cannot hold becomes "?", so that positions never shift.
QByteArray Encoder(QStringView texte);
// True when every character of the text has a place in Windows-1252.
bool Representable(QStringView texte);

// Up to n bytes from a 0-based position; nothing past the end.
inline QByteArrayView Morceau(QByteArrayView octets, qsizetype debut, qsizetype n)
{
    if (debut >= octets.size() || n <= 0)
        return {};
    return QByteArrayView(octets.data() + debut, qMin(n, octets.size() - debut));
}

// Decodes into a text the caller keeps from line to line, so that its memory is reused.
void Decoder(QByteArrayView octets, QString& texte);

// Calls f with each line of a file's bytes, without its line end, in place. CR LF, lone LF
// and a last line without line end are all read; a final line end does not make an empty line.
template <typename F>
void Pour_Chaque_Ligne(const QByteArray& contenu, F&& f)
{
    const char* const octets = contenu.constData();
    const qsizetype n = contenu.size();
    qsizetype debut = 0;
    while (debut < n) {
        qsizetype fin = contenu.indexOf('\n', debut);
        qsizetype suivant;
        if (fin < 0) {
            fin = n;
            suivant = n;
        } else {
            suivant = fin + 1;
        }
        qsizetype longueur = fin - debut;
        if (longueur > 0 && octets[debut + longueur - 1] == '\r')
            --longueur;
        f(QByteArrayView(octets + debut, longueur));
        debut = suivant;
    }
}

// The same lines, each as its own bytes.
QList<QByteArray> Couper_Lignes(const QByteArray& contenu);

} // namespace Texte1252
