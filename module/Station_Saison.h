#pragma once

#include <QString>
#include <QStringList>

class Plateforme;

// The station and the season the program works on, and the folder their log is in: what names
// the log. "FXXXX" and "XXXX" before any station is set up.
class Station_Saison
{
public:
    explicit Station_Saison(const Plateforme& plateforme) : m_plateforme(plateforme) {}

    const QString& Indicatif() const { return m_indicatif; }
    const QString& Annee() const { return m_annee; }
    void Choisir(const QString& indicatif, const QString& annee);

    // The folder of the logs, the template copy and the exports: the one chosen at start-up
    // by Choisir_Repertoire, or the program folder before that.
    QString Repertoire() const;
    // Chooses that folder once, from the program folder and the user's data folder; gives what
    // to tell the user when his folder could not be made ready, or nothing.
    QString Choisir_Repertoire();
    // Makes this folder the folder of the logs for the rest of the run.
    void Utiliser_Repertoire(const QString& dossier) { m_repertoire = dossier; }
    QString Nom_Log() const;

    // Logs found again after a move. The folder of the logs at the last start (the settings'
    // "Chemin Repertoire"), read before this start writes its own.
    void Definir_Dossier_Precedent(const QString& dossier) { m_precedent = dossier; }
    // Where a log of this program may be: that folder, the program folder, the user's own.
    QStringList Dossiers_Connus() const;

private:
    const Plateforme& m_plateforme;
    QString m_indicatif = QStringLiteral("FXXXX");
    QString m_annee = QStringLiteral("XXXX");
    QString m_repertoire;
    QString m_precedent;
};
