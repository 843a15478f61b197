#pragma once

#include "Filtre_Spots.h"
#include "Liste_Chateaux.h"
#include "Memoire_Alertes.h"
#include "Regle_Spot.h"
#include "Spots_Partis.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <utility>

class Connexion_Cluster;
class Mise_A_Jour_Liste;
class Modele_Spots;
class Sous_Programmes;
class QSystemTrayIcon;
class QThread;
class QTimer;
class QWidget;

// The watch on the castles spotted, for the whole run: the cluster connection, the rows of
// the spots, the castle list and the alerts. The window "Châteaux spottés" shows it while it is
// open; with alerts on it goes on watching without it. It connects only while the window is
// open or alerts are on, and follows the log by the module's signal. Spots older than the age
// leave the rows and never come back with the node's answer to sh/dx; a station on a castle
// sounds once while it stays on show.
class Veille_Spots : public QObject
{
    Q_OBJECT

public:
    Veille_Spots(Sous_Programmes& sp, QObject* parent = nullptr);
    ~Veille_Spots() override;

    // The rows of the spots as one of a window's tables shows them, owned by that window.
    Filtre_Spots* Nouvelle_Vue(Filtre_Spots::Vue vue, QObject* parent);
    // The castle list kept in the user's data folder, read on first use.
    const Liste_Chateaux& Liste();
    // "Liste des châteaux du 12/03/2024 : 1234 châteaux", or how to load one.
    QString Texte_Liste();
    // The castles the log holds, as the duplicate warning finds them.
    const QSet<QString>& Contactes();

    // Reads a castle list and keeps a copy of it in the user's data folder, away from the
    // window's thread (a list may weigh megabytes); then tells the operator what was read, or
    // why nothing was (the list in use stays then), and says Chargement_Fini. A list asked for
    // meanwhile is read after this one.
    void Charger_Liste(const QString& chemin, QWidget* parent);
    // The file dialog, then the above.
    void Choisir_Liste(QWidget* parent);
    // The castle list fetched from the address of the settings, once a week or when asked.
    Mise_A_Jour_Liste& Liste_En_Ligne() { return *Mise_A_Jour; }

    // At start-up: connects when alerts are on, and fetches the castle list when a week has gone.
    void Demarrer();
    // The connection runs while the window is open or alerts are on.
    void Fenetre_Ouverte(bool ouverte);
    bool Alertes() const { return m_alertes; }
    void Regler_Alertes(bool actives);
    // Connects again from the settings (the node typed in the window has been saved).
    void Reconnecter();
    // The sentence that explains why there is no connection, or empty when it can be made.
    QString Empechement() const;
    // What the connection does, or why there is none.
    QString Etat() const { return m_etat; }

    // The minutes a spot stays on show ("Age des spots"): kept in the settings, and the rows
    // older than it leave at once.
    int Age() const { return m_age; }
    void Regler_Age(int minutes);
    // Takes out the rows older than the age; a timer does it every 30 s (tests shorten it).
    void Balayer();
    void Regler_Balayage(int ms);

    // Why a castle cannot be spotted now (Regle_Spot::Refus_Spot), empty when it can.
    QString Refus_Spot() const;
    // Sends a spot line to the node; false when no node is connected.
    bool Envoyer_Spot(const QString& ligne);

    // Where the copy of the castle list is kept.
    static QString Fichier_Liste();

signals:
    // A castle still to contact was spotted: "KVRT 29018 spotté : F4ABC/P sur 7012.0".
    void Alerte(const QString& texte);
    void Liste_Changee();
    // A list asked for by Charger_Liste is read and the operator told: true when it is in use.
    void Chargement_Fini(bool chargee);
    // The connection's state, or why there is none.
    void Etat_Connexion(const QString& texte);

private:
    void Spot_Recu(const Regle_Spot::Spot& spot);
    void Log_Relu(const QByteArray& contenu);
    void Suivre();
    void Lire_Liste_Gardee();
    void Preparer_Modele();
    void Dire_Etat(const QString& etat);
    void Alerter(const QString& texte);
    struct Lecture;
    void Lancer_Lecture();
    void Liste_Lue(const Lecture& lecture, QWidget* parent);
    void Adopter_Liste(const Liste_Chateaux& liste, const QDateTime& date);

    Sous_Programmes& sp;
    // Named as their members, so that a test finds them as it finds a window's controls.
    Modele_Spots* Modele;
    Connexion_Cluster* Connexion;
    Mise_A_Jour_Liste* Mise_A_Jour;
    Liste_Chateaux m_liste;
    QDateTime m_dateListe;
    QString m_erreurListe;
    QString m_etat;
    bool m_listeLue = false;
    QSet<QString> m_contactes;
    QByteArray m_log;
    bool m_contactesAJour = false;
    bool m_logRecu = false;
    bool m_fenetre = false;
    bool m_alertes = false;
    int m_age;
    // The spots swept by age, and the stations already announced, for the age.
    Spots_Partis m_partis;
    Memoire_Alertes m_memoire;
    QTimer* m_balayage;
    // The notification area's icon, made at the first alert where the desktop has one.
    QSystemTrayIcon* m_zone = nullptr;
    // The list being read and those asked for since, with the window that asked.
    QThread* m_lecture = nullptr;
    QList<std::pair<QString, QPointer<QWidget>>> m_aLire;
};
