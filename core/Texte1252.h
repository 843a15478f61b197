#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// The log, its temporary files and the export are single-byte Windows-1252 text
// with CR LF line ends, so a character position is a byte position.
namespace Texte1252 {

QString Decoder(QByteArrayView octets);
// A character that Windows-1252 cannot hold becomes "?", so that positions never shift.
QByteArray Encoder(QStringView texte);
// True when every character of the text has a place in Windows-1252.
bool Representable(QStringView texte);

// Up to n bytes from a 0-based position; nothing past the end.
inline QByteArrayView Morceau(const QByteArray& octets, qsizetype debut, qsizetype n)
{
    if (debut >= octets.size() || n <= 0)
        return {};
    return QByteArrayView(octets.constData() + debut, qMin(n, octets.size() - debut));
}

// Splits a file's bytes into lines without their line ends. CR LF, lone LF and a last
// line without line end are all read; a final line end does not make an empty line.
QList<QByteArray> Couper_Lignes(const QByteArray& contenu);

} // namespace Texte1252
