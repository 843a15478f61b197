#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A web server on 127.0.0.1 for the tests: it keeps each request's head (its line and its
// headers), answers with the bytes `repondre` gives and closes the connection; empty bytes close
// it without a word. Header only, with Qt Network alone.
class Serveur_Http_Test
{
public:
    Serveur_Http_Test()
    {
        QObject::connect(&serveur, &QTcpServer::newConnection, &serveur, [this] {
            while (QTcpSocket* s = serveur.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray recu = s->property("recu").toByteArray() + s->readAll();
                    s->setProperty("recu", recu);
                    if (!recu.contains("\r\n\r\n"))
                        return;
                    requetes.append(recu.left(recu.indexOf("\r\n\r\n") + 2));
                    s->write(repondre(requetes.last()));
                    s->disconnectFromHost();
                });
            }
        });
        serveur.listen(QHostAddress::LocalHost, 0);
    }

    QString Adresse() const { return QStringLiteral("http://127.0.0.1:%1/liste.csv").arg(serveur.serverPort()); }

    // A header's value in a request's head ("If-None-Match"); empty when it is not there.
    static QByteArray Entete(const QByteArray& tete, const QByteArray& nom)
    {
        for (const QByteArray& ligne : tete.split('\n'))
            if (ligne.toLower().startsWith(nom.toLower() + ':'))
                return ligne.mid(nom.size() + 1).trimmed();
        return QByteArray();
    }

    // "HTTP/1.1 <statut>", a Content-Length that gives the body's size unless `longueur` says
    // another, the headers given (each ending with CR LF), then the body.
    static QByteArray Reponse(const QByteArray& statut, const QByteArray& corps, const QByteArray& entetes = {},
                              qint64 longueur = -1)
    {
        return "HTTP/1.1 " + statut + "\r\nContent-Length: " + QByteArray::number(longueur < 0 ? corps.size() : longueur)
            + "\r\nConnection: close\r\n" + entetes + "\r\n" + corps;
    }

    std::function<QByteArray(const QByteArray& tete)> repondre;
    QList<QByteArray> requetes;

private:
    QTcpServer serveur;
};
