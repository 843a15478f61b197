#include "Reglages.h"

#include <QFile>
#include <QSettings>

Reglages::Reglages(const QString& fichier)
{
    if (fichier.isEmpty())
        m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                 QStringLiteral("Challenge_KVRT"),
                                                 QStringLiteral("Challenge_KVRT"));
    else
        m_settings = std::make_unique<QSettings>(fichier, QSettings::IniFormat);
}

Reglages::~Reglages() = default;

// A section or key holding "/" or "\" would open a sub-group in QSettings; the
// values are kept flat, as in the original store, by escaping them.
static QString Chemin(const QString& section, const QString& cle)
{
    QString s = section;
    s.replace(QLatin1Char('\\'), QLatin1String("%5C")).replace(QLatin1Char('/'), QLatin1String("%2F"));
    QString c = cle;
    c.replace(QLatin1Char('\\'), QLatin1String("%5C")).replace(QLatin1Char('/'), QLatin1String("%2F"));
    return s + QLatin1Char('/') + c;
}

QString Reglages::Lire(const QString& section, const QString& cle, const QString& defaut) const
{
    const QVariant v = m_settings->value(Chemin(section, cle));
    if (!v.isValid())
        return defaut;
    // A hand-edited store may hold a list or a number: read it as text all the same.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void Reglages::Ecrire(const QString& section, const QString& cle, const QString& valeur)
{
    // Every start writes the same few values again: a value already in the store costs no
    // rewrite of the file, and no wait for the disk.
    const QString chemin = Chemin(section, cle);
    const QVariant actuelle = m_settings->value(chemin);
    if (actuelle.typeId() == QMetaType::QString && actuelle.toString() == valeur
        && m_settings->status() == QSettings::NoError && QFile::exists(m_settings->fileName()))
        return;
    m_settings->setValue(chemin, valeur);
    m_settings->sync();
}

QString Reglages::Fichier() const
{
    return m_settings->fileName();
}
