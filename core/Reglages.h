#pragma once

#include <QString>

#include <memory>

class QSettings;

// The per-user settings store: string values addressed by section and key under the
// application "Challenge_KVRT". A missing value reads as the default the caller names.
class Reglages
{
public:
    // With no file, the user's own store (~/.config/Challenge_KVRT/Challenge_KVRT.ini; on
    // Windows %APPDATA%\Challenge_KVRT\Challenge_KVRT.ini, the same INI file rather than the
    // registry); tests name a file of their own.
    explicit Reglages(const QString& fichier = QString());
    ~Reglages();

    QString Lire(const QString& section, const QString& cle, const QString& defaut) const;
    void Ecrire(const QString& section, const QString& cle, const QString& valeur);
    QString Fichier() const;

    static QString Section_Commune() { return QStringLiteral("Setup "); }
    static QString Section_Station(const QString& indicatif) { return Section_Commune() + indicatif; }

private:
    std::unique_ptr<QSettings> m_settings;
};
