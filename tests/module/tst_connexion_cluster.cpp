// The connection to a DX cluster node, against a node on 127.0.0.1: the login, the one
// request for the last spots, the stream as nodes send it, the drops and the reconnection
// with its growing waits, the nodes that are not there and the link that dies in silence.

#include "Connexion_Cluster.h"
#include "Noeud_Test.h"

#include <QTest>

class Tst_Connexion_Cluster : public QObject
{
    Q_OBJECT

private slots:
    void login_flux_et_reconnexion();
    void noeud_absent_data();
    void noeud_absent();
    void inondation();
    void liaison_muette();
    void refus_de_l_indicatif();
};

namespace {

// The castle spots received, as "CALL REF REF".
struct Recus
{
    explicit Recus(Connexion_Cluster& c)
    {
        QObject::connect(&c, &Connexion_Cluster::Spot_Chateau, &c, [this](const Regle_Spot::Spot& s) {
            spots.append(s.indicatif + QLatin1Char(' ') + s.references.join(u' '));
        });
    }
    QStringList spots;
};

} // namespace

void Tst_Connexion_Cluster::login_flux_et_reconnexion()
{
    Noeud_Test noeud;
    // Negotiation and colour before the prompt, as some nodes open.
    noeud.invite = "\xFF\xFB\x01\xFF\xFD\x03\x1B[1;33mWelcome to TEST\x1B[0m\r\n\r\nlogin: ";
    Connexion_Cluster c;
    c.Regler_Seconde(10);
    QStringList etats;
    connect(&c, &Connexion_Cluster::Etat_Change, &c, [&](const QString& e) { etats.append(e); });
    Recus recus(c);
    c.Demarrer(QStringLiteral("127.0.0.1"), noeud.Port(), QStringLiteral("F1ABC/P"));

    // The callsign answers the prompt, and nothing else goes before the node's command prompt.
    QVERIFY(noeud.Attendre_Connexions(1));
    QVERIFY2(noeud.Attendre_Recu("F1ABC/P\r\n"), noeud.recu.constData());
    QCOMPARE(c.Etat(), QStringLiteral("Connecté à 127.0.0.1:%1").arg(noeud.Port()));
    // DX Spider reminds a user who never set them of his name, QTH and location: no question.
    noeud.Envoyer("Hello F1ABC/P, this is TEST in Rennes\r\nCluster: 12 nodes, 40 users\r\n"
                  "Please enter your name, set/name <your name>\r\nPlease enter your QTH, set/qth <your qth>\r\n"
                  "Please enter your location with set/location or set/qra\r\n"
                  "F1ABC/P de TEST 12-Mar-2024 1234Z dxspider >\x07");
    QVERIFY2(noeud.Attendre_Recu("F1ABC/P\r\nsh/dx\r\n"), noeud.recu.constData());
    QCOMPARE(c.Etat(), QStringLiteral("Connecté à 127.0.0.1:%1").arg(noeud.Port()));

    // The answer to sh/dx, then live lines: colours, bells, a spot cut across two reads, a
    // Latin-1 comment, and lines that are no castle spot.
    noeud.Envoyer("  7012.0  F5XYZ/P     12-Mar-2024 1220Z KVRT 29018 CW              <F4ABC>\r\n"
                  " 14025.0  JA1ABC      12-Mar-2024 1219Z CQ                         <W3LPL>\r\n"
                  "F1ABC/P de TEST 12-Mar-2024 1234Z dxspider >\r\n"
                  "\x1B[32mDX de F4ABC:      7090.0  TK5XYZ/P     KVRT 2A001 ssb                 1235Z\x1B[0m\x07\x07\r\n"
                  "To ALL de F6ABC: KVRT 35012 demain 0800Z\r\n"
                  "WWV de W0MU <18>:   SFI=71, A=5, K=1, No Storms -> No Storms\r\n"
                  "DX de F6ABC:      3560.0  F6KVR        KVRT ");
    QTest::qWait(50);
    noeud.Envoyer("56010                     1236Z\r\n"
                  "DX de F6ABC:      3560.0  F8XYZ        ch\xE2teau 35012 merci           1237Z\r\n"
                  "\x01\x02\x03 binaire \x04\x05\r\n"
                  "DX de W3LPL:     14025.0  JA1ABC       CQ                             1238Z FN20\r\n"
                  "F1ABC/P de TEST 12-Mar-2024 1238Z dxspider >");
    // A spot right after the prompt, on its line.
    QTest::qWait(50);
    noeud.Envoyer("DX de F4ABC:      7012.0  F5ABC/P      KVRT 22001                     1239Z\r\n");
    const QStringList attendus = {"F5XYZ/P 29018", "TK5XYZ/P 2A001", "F6KVR 56010", "F8XYZ 35012", "F5ABC/P 22001"};
    QVERIFY2(Noeud_Test::Attendre([&] { return recus.spots.size() >= attendus.size(); }), qPrintable(recus.spots.join(u',')));
    QCOMPARE(recus.spots, attendus);
    QVERIFY2(c.Etat().contains(QStringLiteral("1 ligne illisible ou trop longue ignorée")), qPrintable(c.Etat()));
    // The command prompt seen again does not bring a second request.
    QCOMPARE(noeud.recu, QByteArray("F1ABC/P\r\nsh/dx\r\n"));

    // The node drops: the window is told, and the program comes back by itself.
    etats.clear();
    noeud.Couper();
    QVERIFY(noeud.Attendre_Connexions(2));
    QVERIFY2(!etats.filter(QStringLiteral("Déconnecté, nouvel essai dans 5 s.")).isEmpty(), qPrintable(etats.join(u'\n')));
    QVERIFY2(noeud.Attendre_Recu("F1ABC/P\r\n"), noeud.recu.constData());
    noeud.Envoyer("F1ABC/P de TEST 12-Mar-2024 1240Z dxspider >");
    QVERIFY(noeud.Attendre_Recu("F1ABC/P\r\nsh/dx\r\n"));
    noeud.Envoyer("DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29019                     1241Z\r\n");
    QVERIFY(Noeud_Test::Attendre([&] { return recus.spots.size() == 6; }));
    QCOMPARE(recus.spots.last(), QStringLiteral("F5XYZ/P 29019"));

    // Stopped: it leaves and does not come back.
    c.Arreter();
    QCOMPARE(c.Etat(), QStringLiteral("Déconnecté."));
    QTest::qWait(300);
    QCOMPARE(noeud.connexions, 2);
}

// Each row: a node that cannot be reached, why, and the waits before the attempts that follow,
// in seconds as the window says them: 5, 10, 20, 40, then a minute each time.
void Tst_Connexion_Cluster::noeud_absent_data()
{
    QTest::addColumn<QString>("hote");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("attentes");

    // A port that was free a moment ago: nobody listens there.
    quint16 ferme = 0;
    {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        ferme = s.serverPort();
    }
    QTest::newRow("hote inconnu") << "nulle-part.invalid" << 7300 << "Le nœud « nulle-part.invalid » est introuvable : vérifiez son nom."
                                  << "5 10";
    QTest::newRow("connexion refusee") << "127.0.0.1" << int(ferme)
                                       << QStringLiteral("Le nœud 127.0.0.1:%1 refuse la connexion : vérifiez le port, ou le nœud est arrêté.").arg(ferme)
                                       << "5 10 20 40 60 60";
    QTest::newRow("noeud muet") << "127.0.0.1" << 0 << "Le nœud 127.0.0.1:%1 ne répond pas." << "5 10";
}

void Tst_Connexion_Cluster::noeud_absent()
{
    QFETCH(QString, hote);
    QFETCH(int, port);
    QFETCH(QString, cause);
    QFETCH(QString, attentes);

    // The silent node accepts the connection and never says a word.
    Noeud_Test muet;
    muet.invite.clear();
    if (port == 0) {
        port = muet.Port();
        cause = cause.arg(port);
    }
    Connexion_Cluster c;
    c.Regler_Seconde(5);
    c.Regler_Delai_Silence(300);
    // Every state said, and the first wait said after each attempt.
    QStringList etats;
    QStringList vues;
    bool essai = false;
    connect(&c, &Connexion_Cluster::Etat_Change, &c, [&](const QString& e) {
        etats.append(e);
        const QString fin = QStringLiteral(" Déconnecté, nouvel essai dans ");
        if (e.startsWith(QStringLiteral("Connexion à")))
            essai = true;
        else if (essai && e.contains(fin)) {
            essai = false;
            vues.append(e.mid(e.indexOf(fin) + fin.size()).chopped(3));
        }
    });
    c.Demarrer(hote, quint16(port), QStringLiteral("F1ABC"));
    const int nombre = int(attentes.count(u' ')) + 1;
    QVERIFY2(Noeud_Test::Attendre([&] { return vues.size() >= nombre; }, 30000), qPrintable(etats.join(u'\n')));
    QCOMPARE(vues.mid(0, nombre).join(u' '), attentes);
    QVERIFY2(etats.contains(cause + QStringLiteral(" Déconnecté, nouvel essai dans 5 s.")), qPrintable(etats.join(u'\n')));
    QVERIFY(muet.recu.isEmpty());
    c.Arreter();
}

void Tst_Connexion_Cluster::inondation()
{
    // Fifty thousand lines at once, a line of 100 kB without end among them: no castle spot is
    // lost, and the line too long is left out and said.
    Noeud_Test noeud;
    Connexion_Cluster c;
    Recus recus(c);
    c.Demarrer(QStringLiteral("127.0.0.1"), noeud.Port(), QStringLiteral("F1ABC"));
    QVERIFY(noeud.Attendre_Recu("F1ABC\r\n"));
    QByteArray flot;
    QStringList attendus;
    for (int i = 0; i < 50000; ++i) {
        if (i % 5000 == 2500) {
            const QByteArray ref = QByteArray::number(29001 + i / 5000);
            flot += "DX de F4ABC:      7012.0  F5XYZ/P      KVRT " + ref + " CW                  1234Z\r\n";
            attendus.append(QStringLiteral("F5XYZ/P ") + QString::fromLatin1(ref));
        } else {
            flot += "DX de W3LPL:     14025.0  JA" + QByteArray::number(i) + "   CQ  dx                          1234Z FN20\r\n";
        }
        if (i == 100)
            flot += QByteArray(100000, 'x') + "\r\n";
    }
    noeud.Envoyer(flot);
    QVERIFY(Noeud_Test::Attendre([&] { return recus.spots.size() >= attendus.size(); }, 60000));
    QCOMPARE(recus.spots, attendus);
    QVERIFY2(c.Etat().contains(QStringLiteral("1 ligne illisible ou trop longue ignorée")), qPrintable(c.Etat()));
    c.Arreter();
}

void Tst_Connexion_Cluster::liaison_muette()
{
    // An AR-Cluster node: its greeting, its prompt, then silence.
    Noeud_Test noeud;
    noeud.invite = "Welcome to the TEST-3 AR-Cluster node Telnet port!\r\nPlease enter your call: ";
    Connexion_Cluster c;
    c.Regler_Seconde(10);
    c.Regler_Verification(300, 1500);
    QStringList etats;
    connect(&c, &Connexion_Cluster::Etat_Change, &c, [&](const QString& e) { etats.append(e); });
    c.Demarrer(QStringLiteral("127.0.0.1"), noeud.Port(), QStringLiteral("F1ABC"));
    QVERIFY(noeud.Attendre_Recu("F1ABC\r\n"));
    noeud.Envoyer("Hello Jean (F1ABC)\r\nWelcome to the TEST AR-Cluster Node\r\nF1ABC de TEST-3 12-Mar 1855Z arc >");
    QVERIFY(noeud.Attendre_Recu("F1ABC\r\nsh/dx\r\n"));

    // Nothing comes: the link is checked with an empty line, and the node's prompt answers it.
    QVERIFY2(noeud.Attendre_Recu("F1ABC\r\nsh/dx\r\n\r\n"), noeud.recu.constData());
    noeud.Envoyer("\r\nF1ABC de TEST-3 12-Mar 1859Z arc >");
    const QString connecte = QStringLiteral("Connecté à 127.0.0.1:%1").arg(noeud.Port());
    QCOMPARE(c.Etat(), connecte);

    // Checked again later, on the same connection; this time nothing answers: the link is
    // dead, the window stops saying "Connecté" and the program connects again.
    QVERIFY2(noeud.Attendre_Recu("F1ABC\r\nsh/dx\r\n\r\n\r\n"), noeud.recu.constData());
    QCOMPARE(noeud.connexions, 1);
    etats.clear();
    QVERIFY(noeud.Attendre_Connexions(2));
    QVERIFY2(etats.value(0) == QStringLiteral("Le nœud 127.0.0.1:%1 ne répond plus : la liaison est coupée. Déconnecté, "
                                              "nouvel essai dans 5 s.")
                                   .arg(noeud.Port()),
             qPrintable(etats.join(u'\n')));
    QVERIFY(noeud.Attendre_Recu("F1ABC\r\n"));
    QCOMPARE(c.Etat(), connecte);
    c.Arreter();
}

void Tst_Connexion_Cluster::refus_de_l_indicatif()
{
    // DX Spider refuses a callsign it does not take and closes: the window says why, and the
    // program tries again later.
    Noeud_Test noeud;
    Connexion_Cluster c;
    c.Regler_Seconde(10);
    QStringList etats;
    connect(&c, &Connexion_Cluster::Etat_Change, &c, [&](const QString& e) { etats.append(e); });
    c.Demarrer(QStringLiteral("127.0.0.1"), noeud.Port(), QStringLiteral("F1ABC/XYZ"));
    QVERIFY(noeud.Attendre_Recu("F1ABC/XYZ\r\n"));
    noeud.Envoyer("Sorry, F1ABC/XYZ is an invalid callsign\r\n");
    noeud.Fermer();
    QVERIFY(noeud.Attendre_Connexions(2));
    QVERIFY2(etats.contains(QStringLiteral("Le nœud 127.0.0.1:%1 refuse l'indicatif F1ABC/XYZ : « Sorry, F1ABC/XYZ is an "
                                           "invalid callsign ». Déconnecté, nouvel essai dans 5 s.")
                                .arg(noeud.Port())),
             qPrintable(etats.join(u'\n')));
    c.Arreter();
}

QTEST_MAIN(Tst_Connexion_Cluster)
#include "tst_connexion_cluster.moc"
