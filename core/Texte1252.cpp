#include "Texte1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Texte1252 {

QString Decoder(QByteArrayView octets)
{
    QStringDecoder decodeur("windows-1252");
    return decodeur.decode(octets);
}

QByteArray Encoder(QStringView texte)
{
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
    QStringEncoder encodeur("windows-1252");
    QByteArray octets = encodeur.encode(texte);
    return !encodeur.hasError() && octets.size() == texte.size();
}

QList<QByteArray> Couper_Lignes(const QByteArray& contenu)
{
    QList<QByteArray> lignes;
    lignes.reserve(contenu.size() / 55 + 1);
    qsizetype debut = 0;
    const qsizetype n = contenu.size();
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
        if (longueur > 0 && contenu.at(debut + longueur - 1) == '\r')
            --longueur;
        lignes.append(contenu.mid(debut, longueur));
        debut = suivant;
    }
    return lignes;
}

} // namespace Texte1252
