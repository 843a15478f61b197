#pragma once

#include "Plateforme_Test.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class Main;
class QTimer;

// A fresh program for one test: its own program directory with the empty template, its
// own settings file, the test seam and the shared module; Main is built on demand.
class Programme_Test
{
public:
    Programme_Test();
    ~Programme_Test();

    QTemporaryDir dossier;
    std::unique_ptr<Plateforme_Test> plateforme;
    std::unique_ptr<Reglages> reglages;
    std::unique_ptr<Sous_Programmes> sp;
    Main* main = nullptr;

    QString Repertoire() const { return dossier.path(); }
    QString Chemin(const QString& nom) const { return dossier.path() + QLatin1Char('/') + nom; }
    QString Log(const QString& indicatif = QStringLiteral("F1ABC"), const QString& annee = QStringLiteral("2009")) const;

    // Stores a station as if the Station window had set it up.
    void Installer_Station(const QString& indicatif = QStringLiteral("F1ABC"), const QString& annee = QStringLiteral("2009"));
    void Ecrire_Fichier(const QString& nom, const QByteArray& octets) const;
    QByteArray Lire_Fichier(const QString& nom) const;
    // Writes the log of the station from record lines, each ended by CR LF.
    void Ecrire_Log(const QStringList& enregistrements, const QString& indicatif = QStringLiteral("F1ABC"),
                    const QString& annee = QStringLiteral("2009")) const;
    QByteArray Octets_Log(const QString& indicatif = QStringLiteral("F1ABC"), const QString& annee = QStringLiteral("2009")) const;

    // Builds the main window and runs its start-up.
    Main* Demarrer();
};

// Closes any modal window left open (a message that was not expected, a dialog that a
// test forgot) and records its title, so that a test fails instead of hanging.
class Chien_De_Garde : public QObject
{
    Q_OBJECT

public:
    explicit Chien_De_Garde(int delaiMs = 4000);
    ~Chien_De_Garde() override;
    QStringList fermees;

private:
    QTimer* m_minuteur;
    QObject* m_vu = nullptr;
    int m_tours = 0;
    int m_delai;
};

// A record line, 53 characters, as the program writes it.
QString Enr(const QString& date, const QString& reference, const QString& type, const QString& indicatif,
            bool attente = false);
// Bytes of a log: the lines in Windows-1252, each followed by CR LF.
QByteArray Octets(const QStringList& lignes);
// Types a QSO through the Enter chain of the main window, from the callsign up to the armed
// Valide_A, unticked.
void Saisir(Main* m, const QString& indicatif, int type, const QString& reference);
// Presses Enter in a widget.
void Entree(QWidget* w);
// Types text then Enter, through the real key events.
void Taper(QWidget* w, const QString& texte, bool entree = true);

// Runs an action on the next modal window as soon as it opens, while its exec() runs.
// The watch ends with the action, or when the caller deletes it.
QTimer* Sur_Modal(std::function<void(QWidget*)> action);
