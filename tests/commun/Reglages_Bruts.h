#pragma once

#include "Reglages.h"

#include <QSettings>
#include <QString>

// The settings file as any INI reader sees it, apart from the program's typed settings: what
// is stored under a section and a key ("Setup ", "Indicatif Station"), or a value put there as
// a user editing the file would. A key named wrongly by the program fails here.
inline QString Cle_Brute(const QString& section, const QString& cle)
{
    QString s = section;
    s.replace(QLatin1Char('\\'), QLatin1String("%5C")).replace(QLatin1Char('/'), QLatin1String("%2F"));
    return s + QLatin1Char('/') + cle;
}

inline QString Lire_Reglage(const Reglages& reglages, const QString& section, const QString& cle,
                            const QString& defaut = QString())
{
    return QSettings(reglages.Fichier(), QSettings::IniFormat).value(Cle_Brute(section, cle), defaut).toString();
}

inline void Ecrire_Reglage(const Reglages& reglages, const QString& section, const QString& cle, const QString& valeur)
{
    QSettings fichier(reglages.Fichier(), QSettings::IniFormat);
    fichier.setValue(Cle_Brute(section, cle), valeur);
    fichier.sync();
}
