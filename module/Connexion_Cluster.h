#pragma once

#include "Lignes_Telnet.h"
#include "Regle_Spot.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

// The connection to a DX cluster node, by telnet. It answers the node's login prompt with the
// station's callsign and, once in, asks once for the last spots (sh/dx, which DX Spider,
// AR-Cluster and CC Cluster nodes all understand); the node's reminders (name, QTH, location)
// are left unanswered. When the node has said nothing for a few minutes, it checks the link
// with an empty line, which these nodes answer with their prompt; it sends nothing else. Each
// castle spot it reads is signalled. After a drop, a refusal or a link found dead it connects
// again by itself, waiting longer each time up to a minute, and says in French what happened
// and what it does; with a second node, it turns to it after three failed tries of the first,
// and back after three of the second.
class Connexion_Cluster : public QObject
{
    Q_OBJECT

public:
    explicit Connexion_Cluster(QObject* parent = nullptr);
    ~Connexion_Cluster() override;

    // Connects to this node (after leaving the one before) and stays connected until Arreter.
    void Demarrer(const QString& hote, quint16 port, const QString& indicatif);
    void Arreter();
    bool Active() const { return m_active; }
    // The node turned to after Essais_Avant_Secours failed tries of the other; none when the
    // host is empty. Taken at the next Demarrer.
    void Regler_Secours(const QString& hote, quint16 port);
    static constexpr int Essais_Avant_Secours = 3;
    // Logged in to a node, so that a line sent reaches it.
    bool En_Ligne() const;
    // Sends one line to the node (a spot), with its line end; false when not logged in.
    bool Envoyer_Ligne(const QString& ligne);
    // "hôte:port" of the node, and what the connection is doing, as the window shows it.
    QString Noeud() const;
    QString Etat() const { return m_etat; }

    // The waits before each new attempt, in seconds, the last one repeated.
    static constexpr int Attentes_S[] = {5, 10, 20, 40, 60};
    // How long a second of those waits lasts, in milliseconds: tests shorten it.
    void Regler_Seconde(int ms) { m_secondeMs = ms; }
    // After `silenceMs` without a byte from the node, the link is checked with an empty line;
    // without an answer within `reponseMs` it counts as lost. Tests give shorter ones.
    void Regler_Verification(int silenceMs, int reponseMs)
    {
        m_delaiVerification = silenceMs;
        m_delaiReponse = reponseMs;
    }
    // How long a node may stay silent, from the attempt to its login prompt, before the
    // attempt counts as failed (a node that says something else gets the callsign then).
    void Regler_Delai_Silence(int ms) { m_delaiSilence = ms; }

signals:
    // A spot that names at least one castle.
    void Spot_Chateau(const Regle_Spot::Spot& spot);
    void Etat_Change(const QString& etat);

private:
    void Connecter();
    void Connecte();
    void Lire();
    void Traiter_Ligne(const QString& ligne);
    void Voir_Invite(const QString& texte, bool enCours);
    void Fermee();
    void Verifier_Liaison();
    void Envoyer_Indicatif();
    void Envoyer_Demande();
    void Oublier_Invite();
    void Silence();
    void Erreur(QAbstractSocket::SocketError erreur);
    void Perdue(const QString& cause);
    void Compter_Attente();
    void Dire(const QString& etat);
    void Dire_Attente();

    QTcpSocket* m_socket;
    QTimer* m_silence;
    QTimer* m_reconnexion;
    QTimer* m_seconde;
    QTimer* m_demande;
    QTimer* m_verification;
    QTimer* m_reponse;
    Lignes_Telnet m_lignes;
    QString m_hote;
    quint16 m_port = 0;
    // The node given to Demarrer, and the second one; the failed tries on the one in use.
    QString m_hotePremier;
    quint16 m_portPremier = 0;
    QString m_hoteSecours;
    quint16 m_portSecours = 0;
    QString m_hoteSecoursRegle;
    quint16 m_portSecoursRegle = 0;
    int m_echecs = 0;
    bool m_bascule = false;
    QString m_indicatif;
    // The node's command prompt left without line end at the last read: what comes next is
    // glued to it.
    QString m_invite;
    bool m_active = false;
    bool m_recu = false;
    bool m_indicatifEnvoye = false;
    bool m_demandeEnvoyee = false;
    // Logged in: the command prompt, a spot or the request for the last spots came.
    bool m_entre = false;
    bool m_lecturePrevue = false;
    bool m_perdue = false;
    int m_essai = 0;
    int m_restantS = 0;
    int m_ignorees = 0;
    QElapsedTimer m_depuis;
    QString m_cause;
    // The node's refusal of the callsign, said when it closes the connection.
    QString m_refus;
    QString m_base;
    QString m_etat;
    int m_secondeMs = 1000;
    int m_delaiSilence = 20000;
    int m_delaiVerification = 3 * 60 * 1000;
    int m_delaiReponse = 30000;
};
