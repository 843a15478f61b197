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
