#include "Connexion_Cluster.h"

#include <QTcpSocket>
#include <QTimer>

#include <iterator>

namespace {

// What the socket keeps unread at most: a node that floods waits on its side of the
// connection, and the memory of the program stays what it is.
constexpr qint64 Tampon_Lecture = 64 * 1024;
// The share of a turn of the event loop that reading may take before the window's turn.
constexpr qint64 Tranche_Ms = 20;
// Without a command prompt after the login, the last spots are asked for after this wait.
constexpr int Attente_Demande_Ms = 5000;
// A connection that lasted this long starts the waits afresh when it drops.
constexpr qint64 Connexion_Durable_Ms = 60000;

bool Finit_Comme_Invite(const QString& t)
{
    return t.endsWith(u':') || t.endsWith(u'>') || t.endsWith(u'?');
}

// An empty line: DX Spider, AR-Cluster and CC Cluster answer it with their prompt and do nothing.
const char* const Ligne_Vide = "\r\n";

} // namespace

Connexion_Cluster::Connexion_Cluster(QObject* parent)
    : QObject(parent), m_socket(new QTcpSocket(this)), m_silence(new QTimer(this)), m_reconnexion(new QTimer(this)),
      m_seconde(new QTimer(this)), m_demande(new QTimer(this)), m_verification(new QTimer(this)), m_reponse(new QTimer(this))
{
    m_socket->setReadBufferSize(Tampon_Lecture);
    m_silence->setSingleShot(true);
    m_reconnexion->setSingleShot(true);
    m_demande->setSingleShot(true);
    m_verification->setSingleShot(true);
    m_reponse->setSingleShot(true);
    connect(m_socket, &QTcpSocket::connected, this, &Connexion_Cluster::Connecte);
    connect(m_socket, &QTcpSocket::readyRead, this, &Connexion_Cluster::Lire);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &Connexion_Cluster::Erreur);
    connect(m_socket, &QTcpSocket::disconnected, this, &Connexion_Cluster::Fermee);
    connect(m_silence, &QTimer::timeout, this, &Connexion_Cluster::Silence);
    connect(m_reconnexion, &QTimer::timeout, this, &Connexion_Cluster::Connecter);
    connect(m_seconde, &QTimer::timeout, this, &Connexion_Cluster::Compter_Attente);
    connect(m_demande, &QTimer::timeout, this, &Connexion_Cluster::Envoyer_Demande);
    connect(m_verification, &QTimer::timeout, this, &Connexion_Cluster::Verifier_Liaison);
    connect(m_reponse, &QTimer::timeout, this,
            [this] { Perdue(QStringLiteral("Le nœud %1 ne répond plus : la liaison est coupée.").arg(Noeud())); });
}

Connexion_Cluster::~Connexion_Cluster()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

QString Connexion_Cluster::Noeud() const
{
    const QString hote = m_hote.contains(u':') ? QLatin1Char('[') + m_hote + QLatin1Char(']') : m_hote;
    return hote + QLatin1Char(':') + QString::number(m_port);
}

void Connexion_Cluster::Demarrer(const QString& hote, quint16 port, const QString& indicatif)
{
    m_active = false;
    m_perdue = true;
    // A new attempt waiting for the old node must not follow this one.
    for (QTimer* t : {m_silence, m_reconnexion, m_seconde, m_demande, m_verification, m_reponse})
        t->stop();
    m_socket->abort();
    m_hote = m_hotePremier = hote;
    m_port = m_portPremier = port;
    m_hoteSecours = m_hoteSecoursRegle;
    m_portSecours = m_portSecoursRegle;
    m_indicatif = indicatif;
    m_active = true;
    m_essai = 0;
    m_echecs = 0;
    Connecter();
}

void Connexion_Cluster::Regler_Secours(const QString& hote, quint16 port)
{
    m_hoteSecoursRegle = hote;
    m_portSecoursRegle = port;
}

bool Connexion_Cluster::En_Ligne() const
{
    return m_active && !m_perdue && m_indicatifEnvoye && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool Connexion_Cluster::Envoyer_Ligne(const QString& ligne)
{
    if (!En_Ligne() || m_socket->write(ligne.toLatin1() + "\r\n") < 0)
        return false;
    Oublier_Invite();
    return true;
}

void Connexion_Cluster::Arreter()
{
    const bool etait = m_active;
    m_active = false;
    m_perdue = true;
    for (QTimer* t : {m_silence, m_reconnexion, m_seconde, m_demande, m_verification, m_reponse})
        t->stop();
    m_socket->abort();
    if (etait)
        Dire(QStringLiteral("Déconnecté."));
}

void Connexion_Cluster::Connecter()
{
    m_seconde->stop();
    if (!m_active)
        return;
    m_socket->abort();
    m_perdue = false;
    m_recu = false;
    m_indicatifEnvoye = false;
    m_demandeEnvoyee = false;
    m_entre = false;
    m_refus.clear();
    m_lignes = Lignes_Telnet();
    m_invite.clear();
    m_ignorees = 0;
    m_depuis.start();
    Dire(QStringLiteral("Connexion à %1…").arg(Noeud()));
    // Covers a node that never answers the connection as well as one that never asks for the login.
    m_silence->start(m_delaiSilence);
    m_socket->connectToHost(m_hote, m_port);
}

void Connexion_Cluster::Connecte()
{
    // The system's own check of an idle link, beside ours, which is quicker.
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    Dire(QStringLiteral("Connexion à %1 : en attente de l'invite du nœud…").arg(Noeud()));
    m_silence->start(m_delaiSilence);
}

void Connexion_Cluster::Lire()
{
    m_lecturePrevue = false;
    QElapsedTimer chrono;
    chrono.start();
    while (m_active && !m_perdue && m_socket->bytesAvailable() > 0) {
        const QByteArray bloc = m_socket->read(16 * 1024);
        if (bloc.isEmpty())
            break;
        m_recu = true;
        // Anything from the node answers the check of the link.
        m_reponse->stop();
        if (m_indicatifEnvoye)
            m_verification->start(m_delaiVerification);
        for (const QString& ligne : m_lignes.Ajouter(bloc)) {
            Traiter_Ligne(ligne);
            if (!m_active || m_perdue)
                return;
        }
        if (chrono.elapsed() >= Tranche_Ms && m_socket->bytesAvailable() > 0) {
            // The rest at the next turn: the window redraws and answers in between.
            if (!m_lecturePrevue) {
                m_lecturePrevue = true;
                QTimer::singleShot(0, this, &Connexion_Cluster::Lire);
            }
            break;
        }
    }
    if (!m_active || m_perdue)
        return;
    const QString enCours = m_lignes.Ligne_En_Cours();
    m_invite = enCours.trimmed().endsWith(u'>') ? enCours : QString();
    if (!m_entre)
        Voir_Invite(enCours, true);
    const int ignorees = m_lignes.Lignes_Illisibles() + m_lignes.Lignes_Trop_Longues();
    if (ignorees != m_ignorees) {
        m_ignorees = ignorees;
        Dire(m_base);
    }
}

void Connexion_Cluster::Traiter_Ligne(const QString& ligne)
{
    if (!m_entre)
        Voir_Invite(ligne, false);
    // A spot the node sent right after its prompt, on the prompt's line.
    QStringView texte(ligne);
    if (!m_invite.isEmpty() && texte.startsWith(m_invite)) {
        texte = texte.mid(m_invite.size());
        m_invite.clear();
    }
    Regle_Spot::Spot spot;
    if (!Regle_Spot::Lire(texte, spot))
        return;
    m_entre = m_entre || m_indicatifEnvoye;
    if (!spot.references.isEmpty())
        emit Spot_Chateau(spot);
}

// The node's prompts: the login first ("login:", "Please enter your call:"), then its command
// prompt ("F4ABC de GB7DJK 12-Mar-2024 1234Z dxspider >"), after which the last spots are asked
// for. Its reminders (a name, a QTH never set) are no question; a password is one the program
// has no answer for; a refusal before the login is complete is said, and the node's closing
// then says it again with the new attempt. A line begun (`enCours`) counts only as a prompt.
void Connexion_Cluster::Voir_Invite(const QString& texte, bool enCours)
{
    const QString t = texte.trimmed();
    if (t.isEmpty() || (enCours && !Finit_Comme_Invite(t)))
        return;
    switch (Regle_Spot::Genre_Ligne(t)) {
    case Regle_Spot::Ligne_Noeud::Invite_Login:
        if (!m_indicatifEnvoye)
            Envoyer_Indicatif();
        break;
    case Regle_Spot::Ligne_Noeud::Mot_De_Passe:
        if (!m_indicatifEnvoye)
            break;
        m_demande->stop();
        Dire(QStringLiteral("Le nœud %1 demande « %2 » : le programme n'envoie que l'indicatif. Connectez-vous une fois au "
                            "nœud avec un programme telnet pour lui répondre, puis cliquez sur Connecter.")
                 .arg(Noeud(), t));
        break;
    case Regle_Spot::Ligne_Noeud::Refus:
        if (!m_indicatifEnvoye || enCours)
            break;
        m_refus = QStringLiteral("Le nœud %1 refuse l'indicatif %2 : « %3 ».").arg(Noeud(), m_indicatif, t);
        Dire(m_refus);
        break;
    case Regle_Spot::Ligne_Noeud::Invite_Commande:
        if (!m_indicatifEnvoye)
            break;
        if (!m_refus.isEmpty()) {
            // The line was not the refusal it looked like: the node lets us in.
            m_refus.clear();
            Dire(QStringLiteral("Connecté à %1").arg(Noeud()));
        }
        Envoyer_Demande();
        break;
    case Regle_Spot::Ligne_Noeud::Rappel:
    case Regle_Spot::Ligne_Noeud::Autre:
        break;
    }
}

void Connexion_Cluster::Envoyer_Indicatif()
{
    m_silence->stop();
    m_indicatifEnvoye = true;
    m_socket->write(m_indicatif.toLatin1() + "\r\n");
    Oublier_Invite();
    Dire(QStringLiteral("Connecté à %1").arg(Noeud()));
    m_demande->start(Attente_Demande_Ms);
    m_verification->start(m_delaiVerification);
}

void Connexion_Cluster::Envoyer_Demande()
{
    if (m_demandeEnvoyee || !m_indicatifEnvoye || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_demande->stop();
    m_demandeEnvoyee = true;
    m_entre = true;
    m_socket->write("sh/dx\r\n");
    Oublier_Invite();
}

// The prompt just answered ends there: the node's answer starts a line of its own. A line
// begun that is no prompt (a spot cut by the read) is kept.
void Connexion_Cluster::Oublier_Invite()
{
    if (Finit_Comme_Invite(m_lignes.Ligne_En_Cours().trimmed()))
        m_lignes.Oublier_Ligne_En_Cours();
    m_invite.clear();
}

// Nothing came for a while: a node always answers an empty line, a dead link does not (a
// router that forgot it, a computer back from sleep), and TCP alone would wait for hours.
void Connexion_Cluster::Verifier_Liaison()
{
    if (!m_active || m_perdue)
        return;
    if (m_socket->state() != QAbstractSocket::ConnectedState || m_socket->write(Ligne_Vide) < 0) {
        Perdue(QStringLiteral("La liaison avec le nœud %1 est coupée.").arg(Noeud()));
        return;
    }
    Oublier_Invite();
    m_reponse->start(m_delaiReponse);
}

// The node closed: what it said last is read first, a refusal among it.
void Connexion_Cluster::Fermee()
{
    if (m_active && !m_perdue && m_socket->bytesAvailable() > 0)
        Lire();
    Perdue(m_refus.isEmpty() ? QStringLiteral("Le nœud %1 a fermé la connexion.").arg(Noeud()) : m_refus);
}

void Connexion_Cluster::Silence()
{
    // A node that talks but whose prompt was not recognised gets the callsign all the same.
    if (m_socket->state() == QAbstractSocket::ConnectedState && m_recu && !m_indicatifEnvoye) {
        Envoyer_Indicatif();
        return;
    }
    Perdue(QStringLiteral("Le nœud %1 ne répond pas.").arg(Noeud()));
}

void Connexion_Cluster::Erreur(QAbstractSocket::SocketError erreur)
{
    switch (erreur) {
    case QAbstractSocket::HostNotFoundError:
        Perdue(QStringLiteral("Le nœud « %1 » est introuvable : vérifiez son nom.").arg(m_hote));
        break;
    case QAbstractSocket::ConnectionRefusedError:
        Perdue(QStringLiteral("Le nœud %1 refuse la connexion : vérifiez le port, ou le nœud est arrêté.").arg(Noeud()));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        Fermee();
        break;
    case QAbstractSocket::SocketTimeoutError:
        Perdue(QStringLiteral("Le nœud %1 ne répond pas.").arg(Noeud()));
        break;
    default:
        Perdue(QStringLiteral("La connexion au nœud %1 a échoué (%2).").arg(Noeud(), m_socket->errorString()));
        break;
    }
}

void Connexion_Cluster::Perdue(const QString& cause)
{
    if (m_perdue)
        return;
    m_perdue = true;
    for (QTimer* t : {m_silence, m_demande, m_verification, m_reponse})
        t->stop();
    m_socket->abort();
    if (!m_active)
        return;
    if (m_indicatifEnvoye && m_depuis.elapsed() >= Connexion_Durable_Ms) {
        m_essai = 0;
        m_echecs = 0;
    } else {
        ++m_echecs;
    }
    // The other node, after as many failed tries of this one, with the waits afresh.
    m_bascule = !m_hoteSecours.isEmpty() && m_echecs >= Essais_Avant_Secours;
    if (m_bascule) {
        const bool premier = m_hote == m_hotePremier && m_port == m_portPremier;
        m_hote = premier ? m_hoteSecours : m_hotePremier;
        m_port = premier ? m_portSecours : m_portPremier;
        m_echecs = 0;
        m_essai = 0;
    }
    constexpr int Nombre_Attentes = int(std::size(Attentes_S));
    const int attente = Attentes_S[qMin(m_essai, Nombre_Attentes - 1)];
    ++m_essai;
    m_cause = cause;
    m_restantS = attente;
    m_reconnexion->start(attente * m_secondeMs);
    m_seconde->start(m_secondeMs);
    Dire_Attente();
}

void Connexion_Cluster::Compter_Attente()
{
    --m_restantS;
    if (m_restantS > 0)
        Dire_Attente();
}

void Connexion_Cluster::Dire_Attente()
{
    if (m_bascule)
        Dire(m_cause + QStringLiteral(" Déconnecté, essai du nœud %1 dans %2 s.").arg(Noeud()).arg(m_restantS));
    else
        Dire(m_cause + QStringLiteral(" Déconnecté, nouvel essai dans %1 s.").arg(m_restantS));
}

void Connexion_Cluster::Dire(const QString& etat)
{
    m_base = etat;
    QString texte = etat;
    if (m_ignorees > 0)
        texte += QStringLiteral(" (%1 ligne%2 illisible%2 ou trop longue%2 ignorée%2)")
                     .arg(m_ignorees)
                     .arg(m_ignorees > 1 ? QStringLiteral("s") : QString());
    if (texte == m_etat)
        return;
    m_etat = texte;
    emit Etat_Change(m_etat);
}
