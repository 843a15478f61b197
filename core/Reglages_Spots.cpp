#include "Reglages_Spots.h"

#include "Regle_Spot.h"

#include <QUrl>

#include <algorithm>

namespace Reglages_Spots {

bool Lire_Noeud(const QString& valeur, QString& hote, quint16& port, QString& erreur)
{
    QString v = valeur.trimmed();
    // "telnet://" as some node lists give them.
    if (v.startsWith(QLatin1String("telnet://"), Qt::CaseInsensitive))
        v.remove(0, 9);
    while (v.endsWith(u'/'))
        v.chop(1);
    if (v.isEmpty()) {
        erreur = QStringLiteral("Aucun nœud DX cluster n'est indiqué : tapez son adresse sous la forme hôte:port "
                                "(par exemple dxc.exemple.fr:7300).");
        return false;
    }
    QString textePort;
    if (v.startsWith(u'[')) {
        const qsizetype fin = v.indexOf(u']');
        if (fin < 0) {
            erreur = QStringLiteral("L'adresse « %1 » n'est pas complète : il manque le « ] ».").arg(valeur.trimmed());
            return false;
        }
        hote = v.mid(1, fin - 1);
        if (fin + 1 < v.size()) {
            if (v.at(fin + 1) != u':') {
                erreur = QStringLiteral("L'adresse « %1 » n'a pas la forme hôte:port.").arg(valeur.trimmed());
                return false;
            }
            textePort = v.mid(fin + 2);
        }
    } else if (v.count(u':') == 1) {
        hote = v.section(u':', 0, 0);
        textePort = v.section(u':', 1);
    } else {
        hote = v;
    }
    if (hote.isEmpty() || std::any_of(hote.begin(), hote.end(), [](QChar c) { return c.isSpace(); })) {
        erreur = QStringLiteral("Le nom d'hôte « %1 » n'est pas valable : tapez l'adresse du nœud sous la forme hôte:port.")
                     .arg(hote);
        return false;
    }
    if (textePort.isNull()) {
        port = Port_Defaut;
        return true;
    }
    bool nombre = false;
    const int p = textePort.toInt(&nombre);
    if (!nombre || p < 1 || p > 65535) {
        erreur = QStringLiteral("Le port « %1 » n'est pas valable : un nombre de 1 à 65535 après le « : » "
                                "(par exemple dxc.exemple.fr:7300).")
                     .arg(textePort);
        return false;
    }
    port = quint16(p);
    return true;
}

int Lire_Age(const QString& valeur)
{
    bool nombre = false;
    const int minutes = valeur.trimmed().toInt(&nombre);
    return nombre && minutes >= 1 && minutes <= Age_Max ? minutes : Age_Defaut;
}

QString Lire_Bande(const QString& valeur)
{
    // "20m" or "20 M" typed in the file by hand is the band all the same.
    const QString v = QString(valeur).remove(u' ');
    for (const QString& bande : Regle_Spot::Bandes())
        if (v.compare(QString(bande).remove(u' '), Qt::CaseInsensitive) == 0)
            return bande;
    return Toutes_Bandes;
}

bool Lire_Adresse_Liste(const QString& valeur, QString& adresse, QString& erreur)
{
    const QString v = valeur.trimmed();
    const QUrl url(v, QUrl::StrictMode);
    const QString schema = url.scheme().toLower();
    if (v.isEmpty() || !url.isValid() || (schema != QLatin1String("http") && schema != QLatin1String("https"))
        || url.host().isEmpty()) {
        erreur = QStringLiteral("L'adresse « %1 » n'est pas celle d'une page web : tapez-la en entier, avec http:// "
                                "ou https:// (par exemple https://liste.exemple.org/chateaux.csv).")
                     .arg(v);
        return false;
    }
    adresse = v;
    return true;
}

} // namespace Reglages_Spots
