#pragma once

#include "FichierLog.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Plateforme;
class Reglages;
class Main;
class Carte_Acti;
class QPrinter;

// The program's one code module: the variables every window shares for the whole run and
// the routines that read and rewrite the log. One object is made at start-up and handed to
// every window, so that each test starts from a fresh one. Routines keep their original
// by-reference arguments; those that can fail also return false after telling the user.
class Sous_Programmes
{
public:
    Sous_Programmes(Plateforme& plateforme, Reglages& reglages);

    // Module variables.
    QString Indicatif_Station = QStringLiteral("FXXXX");
    QString Annee_Challenge = QStringLiteral("XXXX");
    QString Ligne_Selectionnee;
    bool Mode_Modification = false;
    bool Mode_Insertion = false;
    QString Numero_Version = QStringLiteral(" 1.1.7");
    QString Texte_Historique;

    Plateforme& plateforme;
    Reglages& reglages;
    Main* main = nullptr;
    // Set once the program has been told to end (Quitter, or an error that ends it).
    bool Programme_Termine = false;

    // The folder of the logs, the template copy and the exports: the one chosen at start-up
    // by Choisir_Repertoire, or the program folder before that.
    QString Repertoire() const;
    // Chooses that folder once, from the program folder and the user's data folder, and tells
    // the user when his folder could not be made ready.
    void Choisir_Repertoire();
    QString Nom_Log() const;

    // Clock.
    void Date_Du_Jour(QString& date);
    void Heure_Utc(QString& heure);
    void Heure_Locale(QString& heure);

    // Log file.
    bool Creer_Log_Depuis_Modele(QString& indicatif, QString& annee);
    bool Rafraichir_Liste_Log();
    void Recherche_Doublon(QString& reference, int& trouve, QString& date);
    bool Remplace_Ou_Ajoute_Ligne(QString& ligne_liste, QString& nouvelle_ligne);
    bool Supprime_Lignes_Reference(QString& reference);
    bool Ajoute_Ligne(QString& nouvelle_ligne);

    // Points. Calcul_Total_Points returns false when the log could not be read: the
    // recovery window or the ending error has then been shown and the caller stops.
    bool Calcul_Total_Points(int& Total);
    void Calcul_Points_Ligne(QString& Ligne, int& Points);
    void Controle_Format_Date(QString& Texte, int& Resultat);

    // Reports.
    void Imprime_Contactes();
    void Enregistre_Contactes();
    bool Colorie_Carte(Carte_Acti& carte, int& Nb);
    // The report body shared by the printout and the export, one line per entry.
    bool Lignes_Rapport_Contactes(QStringList& lignes);
    bool Imprimer_Rapport(QPrinter& imprimante, const QStringList& lignes);

    // Reads the current log as text lines; tells the user and returns false on failure.
    bool Lire_Log(QList<QByteArray>& lignes, bool message = true);
    // Ends the program at once: every window closes and the event loop stops.
    void Terminer_Programme();

    static QString Texte_Historique_Complet();
    static QString Ligne_Credit();

private:
    QString m_repertoire;
};
