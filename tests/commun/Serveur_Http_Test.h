#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A web server on 127.0.0.1 for the tests, on a port of its own: it keeps each request's
// line and headers, answers it with the bytes `repondre` gives and closes the connection, as
// a server that sends "Connection: close" does. Empty bytes close the connection as soon as
// it opens, before any request is read. Header only, with Qt Network alone.
class Serveur_Http_Test
{
public:
    struct Requete
    {
        QByteArray ligne;
        QList<std::pair<QByteArray, QByteArray>> entetes;
        // A header's value, its name in any case; empty when the request did not carry it.
        QByteArray Entete(const QByteArray& nom) const
        {
            for (const auto& [n, v] : entetes)
                if (n.compare(nom, Qt::CaseInsensitive) == 0)
                    return v;
            return QByteArray();
        }
    };

    Serveur_Http_Test()
    {
        QObject::connect(&serveur, &QTcpServer::newConnection, &serveur, [this] {
            while (QTcpSocket* s = serveur.nextPendingConnection()) {
                ++connexions;
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                if (fermerAussitot) {
                    s->close();
                    continue;
                }
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    QByteArray& recu = m_recus[s];
                    recu += s->readAll();
                    const qsizetype fin = recu.indexOf("\r\n\r\n");
                    if (fin < 0)
                        return;
                    Requete r;
                    const QList<QByteArray> lignes = recu.left(fin).split('\n');
                    r.ligne = lignes.value(0).trimmed();
                    for (qsizetype i = 1; i < lignes.size(); ++i) {
                        const qsizetype deuxPoints = lignes.at(i).indexOf(':');
                        if (deuxPoints > 0)
                            r.entetes.append({lignes.at(i).left(deuxPoints).trimmed(), lignes.at(i).mid(deuxPoints + 1).trimmed()});
                    }
                    m_recus.remove(s);
                    requetes.append(r);
                    s->write(repondre ? repondre(r) : QByteArray());
                    s->disconnectFromHost();
                });
            }
        });
        serveur.listen(QHostAddress::LocalHost, 0);
    }

    // "http://127.0.0.1:port/chemin".
    QString Adresse(const QString& chemin = QStringLiteral("/liste.csv")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serveur.serverPort()).arg(chemin);
    }

    // A whole response: its status line, a Content-Length that says the body's size unless
    // `longueur` says another, the headers given (each "Nom: valeur"), then the body.
    static QByteArray Reponse(int statut, const QByteArray& raison, const QByteArray& corps,
                              const QList<QByteArray>& entetes = {}, qint64 longueur = -1)
    {
        QByteArray r = "HTTP/1.1 " + QByteArray::number(statut) + ' ' + raison + "\r\n";
        r += "Content-Length: " + QByteArray::number(longueur < 0 ? corps.size() : longueur) + "\r\n";
        r += "Connection: close\r\n";
        for (const QByteArray& e : entetes)
            r += e + "\r\n";
        return r + "\r\n" + corps;
    }

    std::function<QByteArray(const Requete&)> repondre;
    bool fermerAussitot = false;
    QList<Requete> requetes;
    int connexions = 0;

private:
    QTcpServer serveur;
    QHash<QTcpSocket*, QByteArray> m_recus;
};
