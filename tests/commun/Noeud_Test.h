#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>

// A DX cluster node on 127.0.0.1 for the tests, on a port of its own: it asks each client for
// its login as nodes do, keeps what the client sends and sends what the test gives. Header
// only, with Qt Network alone, so that the journeys of the built program use it too.
class Noeud_Test
{
public:
    Noeud_Test()
    {
        QObject::connect(&serveur, &QTcpServer::newConnection, &serveur, [this] {
            while (QTcpSocket* s = serveur.nextPendingConnection()) {
                if (client)
                    client->abort();
                client = s;
                recu.clear();
                ++connexions;
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (s == client)
                        recu += s->readAll();
                });
                if (!invite.isEmpty())
                    Envoyer(invite);
            }
        });
        serveur.listen(QHostAddress::LocalHost, 0);
    }

    quint16 Port() const { return serveur.serverPort(); }
    // "127.0.0.1:port", as the operator types a node.
    QString Adresse() const { return QStringLiteral("127.0.0.1:%1").arg(Port()); }

    void Envoyer(const QByteArray& octets)
    {
        if (!client)
            return;
        client->write(octets);
        client->flush();
    }
    // Drops the client, as a node that restarts.
    void Couper()
    {
        if (client)
            client->abort();
    }
    // Closes the connection once what was sent has left, as a node that refuses a login.
    void Fermer()
    {
        if (client)
            client->disconnectFromHost();
    }
    // Waits until `condition` holds, the event loop running; false after `ms`.
    static bool Attendre(const std::function<bool()>& condition, int ms = 10000)
    {
        QElapsedTimer chrono;
        chrono.start();
        while (!condition()) {
            if (chrono.elapsed() > ms)
                return false;
            QTest::qWait(5);
        }
        return true;
    }
    bool Attendre_Connexions(int n, int ms = 10000)
    {
        return Attendre([&] { return connexions >= n; }, ms);
    }
    bool Attendre_Recu(const QByteArray& attendu, int ms = 10000)
    {
        return Attendre([&] { return recu == attendu; }, ms);
    }

    QTcpServer serveur;
    QPointer<QTcpSocket> client;
    // What the current client has sent, since it connected.
    QByteArray recu;
    int connexions = 0;
    // What a client gets first: DX Spider's prompt, by default.
    QByteArray invite = "login: ";
};
