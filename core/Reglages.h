#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class QSettings;

// The per-user settings store, under the application "Challenge_KVRT": sections "Setup " for
// every station and "Setup <callsign>" for each one. Each setting has its typed reading and
// writing here, its key, its section and its default written once in Reglages.cpp; a value
// that is missing reads as its default.
class Reglages
{
public:
    // With no file, the user's own store (~/.config/Challenge_KVRT/Challenge_KVRT.ini; on
    // Windows %APPDATA%\Challenge_KVRT\Challenge_KVRT.ini, the same INI file rather than the
    // registry); tests name a file of their own.
    explicit Reglages(const QString& fichier = QString());
    ~Reglages();

    QString Fichier() const;

    // The station whose log opens at start-up ("Indicatif Station"); "FXXXX" when none was
    // ever set up, the first installation.
    QString Indicatif_Station() const;
    void Definir_Indicatif_Station(const QString& indicatif);
    // The folder of the logs chosen at the last start ("Chemin Repertoire"); empty before.
    QString Chemin_Repertoire() const;
    void Definir_Chemin_Repertoire(const QString& dossier);
    // The SIG values of the Challenge for the ADIF import ("Noms SIG ADIF"), as typed; "KVRT".
    QString Noms_Sig_Adif() const;
    void Definir_Noms_Sig_Adif(const QString& noms);

    // The hosts of the web pages, and the key that names each (shown to the user when its
    // page cannot be loaded): a host, with ":port" if needed; the example.org default when
    // empty or missing.
    enum class Site { Reglement, Departements, Liste };
    QString Hote(Site site) const;
    void Definir_Hote(Site site, const QString& hote);
    static QString Cle_Hote(Site site);
    static QString Hote_Par_Defaut(Site site);

    // The DX cluster node whose spots the program reads ("Cluster"), "hôte:port"; empty when
    // none was named.
    QString Cluster() const;
    void Definir_Cluster(const QString& noeud);
    // The alerts for castles spotted ("Alertes Spots", "Oui" or "Non"), off by default.
    bool Alertes_Spots() const;
    void Definir_Alertes_Spots(bool actives);

    // A second node, tried when the first cannot be reached ("Cluster Secours"); empty when none.
    QString Cluster_Secours() const;
    void Definir_Cluster_Secours(const QString& noeud);
    // The minutes a spot stays on show ("Age des spots"), 60 by default and for a bad value.
    int Age_Spots() const;
    void Definir_Age_Spots(int minutes);
    // The band whose spots are shown ("Bande Spots"), "160 m" to "2 m", or "Toutes", the default.
    QString Bande_Spots() const;
    void Definir_Bande_Spots(const QString& bande);
    // The address the castle list is fetched from ("Adresse liste chateaux"), http or https;
    // empty when none was given or the stored one is not such an address. A bad address is not
    // written, and false comes back with the reason; an empty one clears it.
    QString Adresse_Liste_Chateaux() const;
    bool Definir_Adresse_Liste_Chateaux(const QString& adresse, QString& erreur);
    // What the last download of the castle list left ("Liste chateaux source", "... ETag",
    // "... Last-Modified", "... empreinte", "... verifiee"): the address it came from, the
    // server's ETag and Last-Modified to ask it only for a change, the SHA-256 of the list kept
    // (they hold only while the kept list is that one) and when a check last went well (UTC;
    // invalid when never).
    struct Suivi_Liste
    {
        QString adresse;
        QString etag;
        QString modifiee;
        QString empreinte;
        QDateTime verifiee;
    };
    Suivi_Liste Suivi_Liste_Chateaux() const;
    void Definir_Suivi_Liste_Chateaux(const Suivi_Liste& suivi);

    // The settings of one station.
    // The year of its Challenge ("Annee Challenge"); "XXXX" when none.
    QString Annee_Challenge(const QString& indicatif) const;
    void Definir_Annee_Challenge(const QString& indicatif, const QString& annee);
    // The year the Station window proposes ("Annee"), "20xx".
    QString Annee_Proposee(const QString& indicatif) const;
    // The activity type last chosen ("Type Activite"), the row of the nine, or -1 for a type
    // typed by hand; 0 when missing or not such a row.
    int Type_Activite(const QString& indicatif) const;
    void Definir_Type_Activite(const QString& indicatif, int index);
    // The date of a new QSO is today's ("Date_Automatique" "Oui", the default) or typed ("Non").
    bool Date_Automatique(const QString& indicatif) const;
    void Definir_Date_Automatique(const QString& indicatif, bool automatique);
    // The version of the program that last opened the station ("Revision").
    void Definir_Revision(const QString& indicatif, const QString& version);
    // The folder where the operator chose to use the log of that year where it is, found
    // there after a move ("Chemin Log <year>"); empty when he never chose so.
    QString Chemin_Log(const QString& indicatif, const QString& annee) const;
    void Definir_Chemin_Log(const QString& indicatif, const QString& annee, const QString& dossier);
    // The last folder prepared to send that year's log ("Dossier Envoi <year>") and when it
    // was written, local time ("Date Envoi <year>"); empty and invalid before any.
    QString Dossier_Envoi(const QString& indicatif, const QString& annee) const;
    QDateTime Date_Envoi(const QString& indicatif, const QString& annee) const;
    void Definir_Envoi(const QString& indicatif, const QString& annee, const QString& dossier, const QDateTime& quand);

    // The common section's name as the user reads it in the file, for the messages that name
    // a key: "Setup".
    static QString Nom_Section_Commune();

    struct Cle;

private:
    // suite follows the key's name, for the keys that name a year.
    QString Lire(const Cle& cle, const QString& indicatif = QString(), const QString& suite = QString()) const;
    void Ecrire(const Cle& cle, const QString& valeur, const QString& indicatif = QString(), const QString& suite = QString());

    std::unique_ptr<QSettings> m_settings;
};
