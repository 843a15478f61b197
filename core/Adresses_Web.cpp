#include "Adresses_Web.h"

#include "Enregistrement.h"
#include "Reglages.h"

#include <QDir>

namespace Adresses_Web {

QString Base_Site(const QString& valeur, const QString& defaut)
{
    QString hote = valeur.trimmed();
    if (hote.isEmpty())
        hote = defaut;
    while (hote.endsWith(QLatin1Char('/')))
        hote.chop(1);
    if (hote.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || hote.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return hote;
    return QStringLiteral("http://") + hote;
}

QString Base_Site(const Reglages& reglages, Reglages::Site site)
{
    return Base_Site(reglages.Hote(site), Reglages::Hote_Par_Defaut(site));
}

QString Code_Departement(const QString& ligneListe)
{
    return Enregistrement::Champ_Nettoye(ligneListe, Enregistrement::Dans_Liste(Enregistrement::Place_Departement));
}

QString Nom_Page_Departement(const QString& code)
{
    const QString page = QStringLiteral("d") + code;
    // These pages were named otherwise on the site; the comparison keeps the case.
    if (page == QLatin1String("d77"))
        return QStringLiteral("d77a");
    if (page == QLatin1String("d68"))
        return QStringLiteral("D68");
    if (page == QLatin1String("d60"))
        return QStringLiteral("departement 60");
    if (page == QLatin1String("d35"))
        return QStringLiteral("D35");
    return page;
}

QString Adresse_Reglement(const Reglages& reglages)
{
    return Base_Site(reglages, Reglages::Site::Reglement) + QStringLiteral("/coupes.html");
}

QString Adresse_Departement(const Reglages& reglages, const QString& ligneListe)
{
    const QString code = Code_Departement(ligneListe);
    if (code.isEmpty())
        return QString();
    return Base_Site(reglages, Reglages::Site::Departements) + QStringLiteral("/WEB/dept/")
           + Nom_Page_Departement(code) + QStringLiteral(".html");
}

QString Titre_Liste(const Reglages& reglages)
{
    const QString base = Base_Site(reglages, Reglages::Site::Liste);
    return QStringLiteral("site ( ") + base + QStringLiteral("/kvrta2.html )");
}

QString Texte_Page_Injoignable(const Reglages& reglages, const QString& adresse, Reglages::Site site)
{
    return QStringLiteral("La page %1 n'a pas pu être chargée : le réseau ne répond pas, ou ce site n'est pas le bon "
                          "(clé « %2 » de la section « %3 » du fichier de réglages %4).")
        .arg(adresse, Reglages::Cle_Hote(site), Reglages::Nom_Section_Commune(), QDir::toNativeSeparators(reglages.Fichier()));
}

} // namespace Adresses_Web
