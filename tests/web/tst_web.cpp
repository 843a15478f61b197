// The rules and reference-list windows with the real web engine, against pages served by
// the test itself on 127.0.0.1.

#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Fenetres_Web.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QListView>
#include <QStringListModel>
#include <QOpenGLContext>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

// A tiny HTTP server: answers every GET with a small page titled after its path, and
// remembers the paths asked for.
class Serveur_Test : public QObject
{
public:
    Serveur_Test()
    {
        m_serveur.listen(QHostAddress::LocalHost, 0);
        connect(&m_serveur, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_serveur.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { Lire(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QObject::destroyed, this, [this, s] { m_tampons.remove(s); });
            }
        });
    }

    QString Hote() const { return QStringLiteral("127.0.0.1:%1").arg(m_serveur.serverPort()); }
    // The pages asked for, without the browser's own icon requests.
    QStringList Pages() const
    {
        QStringList p;
        for (const QString& c : chemins)
            if (c != QLatin1String("/favicon.ico"))
                p << c;
        return p;
    }

    QStringList chemins;

private:
    void Lire(QTcpSocket* s)
    {
        QByteArray& tampon = m_tampons[s];
        tampon += s->readAll();
        const int fin = tampon.indexOf("\r\n\r\n");
        if (fin < 0)
            return;
        const QList<QByteArray> mots = tampon.left(tampon.indexOf("\r\n")).split(' ');
        tampon.remove(0, fin + 4);
        const QString chemin = mots.size() >= 2 ? QString::fromLatin1(mots.at(1)) : QString();
        chemins << chemin;
        QByteArray reponse;
        if (chemin == QLatin1String("/favicon.ico")) {
            reponse = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        } else {
            const QByteArray corps = "<html><head><title>Page " + chemin.toLatin1() + "</title></head><body>ok</body></html>";
            reponse = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(corps.size())
                      + "\r\nConnection: close\r\n\r\n" + corps;
        }
        s->write(reponse);
        s->disconnectFromHost();
    }

    QTcpServer m_serveur;
    QHash<QTcpSocket*, QByteArray> m_tampons;
};

// Processes of the engine started by this test program.
static int Processus_Moteur()
{
#ifdef Q_OS_LINUX
    int n = 0;
    const QString moi = QString::number(::getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString texte = QString::fromLatin1(stat.readAll());
        // pid (comm) state ppid ...
        const int fin = texte.lastIndexOf(QLatin1Char(')'));
        const QStringList champs = texte.mid(fin + 2).split(QLatin1Char(' '));
        if (texte.contains(QLatin1String("(QtWebEngineProc")) && champs.value(1) == moi)
            ++n;
    }
    return n;
#else
    return -1;
#endif
}

// Waits for the page of a web window, however long the engine takes to start.
static bool Attendre_Chargement(QSignalSpy& espion)
{
    return espion.count() > 0 || espion.wait(120000);
}

class Tst_Web : public Cas_Programme
{
    Q_OBJECT

private slots:
    void module_introuvable();
    void moteur_absent_au_demarrage();
    void reglement();
    void page_du_departement_data();
    void page_du_departement();
    void la_page_suit_la_ligne_choisie();
    void pas_de_departement_data();
    void pas_de_departement();
    void titre_de_la_liste();
    void page_injoignable_data();
    void page_injoignable();

private:
    Serveur_Test m_serveur;
};

// A program whose settings send the three sites to the test server.
static void Installer_Sites(Programme_Test& p, const QString& hote)
{
    Ecrire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Site Reglement"), hote);
    Ecrire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Site Departements"), hote);
    Ecrire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Site Liste KVRT"), hote);
}

void Tst_Web::module_introuvable()
{
    // Without its plugin the program starts and works; a web window only says why it cannot open.
    QTemporaryDir vide;
    const QString dossier = Fenetres_Web::Dossier_Module;
    Fenetres_Web::Dossier_Module = vide.path();
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    p.plateforme->Prendre_Messages();
    Cliquer_Dans(m->ListeKVRT);
    const QStringList messages = p.plateforme->Prendre_Messages();
    Fenetres_Web::Dossier_Module = dossier;
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("Les pages web ne peuvent pas s'ouvrir : le module kvrt_web")),
             qPrintable(messages.first()));
    QVERIFY(messages.first().contains(QDir::toNativeSeparators(vide.path())));
    QVERIFY(!m->Fenetre_Liste_KVRT1());
    QVERIFY(!Fenetres_Web::Charge());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Web::moteur_absent_au_demarrage()
{
    if (Processus_Moteur() < 0)
        QFAIL("the engine's processes could not be counted: /proc is needed");
    p.Installer_Station();
    p.Ecrire_Log({Enr(QStringLiteral("02/03/09"), QStringLiteral("77001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ"))});
    Installer_Sites(p, m_serveur.Hote());
    Main_Test* m = p.Demarrer();
    QTest::qWait(200);
    QCOMPARE(Processus_Moteur(), 0);
    QVERIFY(!Fenetres_Web::Charge());
    // The engine starts with the first web window.
    Cliquer_Dans(m->ListeKVRT);
    QVERIFY(m->Fenetre_Liste_KVRT1());
    QVERIFY(Fenetres_Web::Charge());
    // The context the engine shares with its views exists by then.
    QVERIFY(QOpenGLContext::globalShareContext());
    QTRY_VERIFY_WITH_TIMEOUT(Processus_Moteur() > 0, 60000);
    Fermer_Par_Le_Cadre(m->Fenetre_Liste_KVRT1());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Web::reglement()
{
    p.Installer_Station();
    Installer_Sites(p, m_serveur.Hote());
    Main_Test* m = p.Demarrer();
    m_serveur.chemins.clear();

    Choisir_Menu(m->Mnu_Reglement);
    QPointer<QWidget> fenetre = m->Fenetre_Reglement();
    QVERIFY(fenetre);
    // Centred on the screen, frame included.
    QCOMPARE(fenetre->size(), QSize(913, 578));
    const QRect ecran = fenetre->screen()->availableGeometry();
    const QRect cadre = fenetre->frameGeometry();
    QVERIFY(ecran.contains(cadre));
    QCOMPARE(cadre.left(), ecran.x() + (ecran.width() - cadre.width()) / 2);
    QCOMPARE(cadre.top(), ecran.y() + (ecran.height() - cadre.height()) / 2);

    auto* vue = Controle<QWebEngineView>(fenetre, "WebBrowser1");
    QVERIFY(vue);
    QSignalSpy espion(vue, &QWebEngineView::loadFinished);
    QVERIFY(Attendre_Chargement(espion));
    QCOMPARE(espion.first().first().toBool(), true);
    QCOMPARE(m_serveur.Pages(), QStringList{QStringLiteral("/coupes.html")});
    QCOMPARE(vue->url().toString(), QStringLiteral("http://%1/coupes.html").arg(m_serveur.Hote()));
    QTRY_COMPARE(vue->title(), QStringLiteral("Page /coupes.html"));

    QVERIFY(fenetre->isVisible());
    QVERIFY(fenetre->isWindow());
    QCOMPARE(fenetre->windowTitle(), QStringLiteral("Reglement"));

    // A second command brings the same window forward without loading it again.
    Choisir_Menu(m->Mnu_Reglement);
    QCOMPARE(m->Fenetre_Reglement(), fenetre.data());
    QTest::qWait(300);
    QCOMPARE(m_serveur.Pages().size(), 1);
    QVERIFY(p.plateforme->messages.isEmpty());
    Fermer_Par_Le_Cadre(fenetre);
    QTRY_VERIFY(fenetre.isNull());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Web::page_du_departement_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("chemin");

    QTest::newRow("77") << "77001" << "/WEB/dept/d77a.html";
    QTest::newRow("68") << "68012" << "/WEB/dept/D68.html";
    QTest::newRow("60") << "60003" << "/WEB/dept/departement%2060.html";
    QTest::newRow("35") << "35004" << "/WEB/dept/D35.html";
    QTest::newRow("13") << "13005" << "/WEB/dept/d13.html";
    QTest::newRow("01") << "01006" << "/WEB/dept/d01.html";
    QTest::newRow("2A") << "2A007" << "/WEB/dept/d2A.html";
    QTest::newRow("2a") << "2a008" << "/WEB/dept/d2a.html";
}

void Tst_Web::page_du_departement()
{
    QFETCH(QString, reference);
    QFETCH(QString, chemin);

    p.Installer_Station();
    // Start-up selects the last line of the log.
    p.Ecrire_Log({Enr(QStringLiteral("01/03/09"), QStringLiteral("29001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ")),
                  Enr(QStringLiteral("02/03/09"), reference, QStringLiteral("Chateau Contacte"), QStringLiteral("F6ABC"))});
    Installer_Sites(p, m_serveur.Hote());
    Main_Test* m = p.Demarrer();
    m_serveur.chemins.clear();

    Cliquer_Dans(m->ListeKVRT);
    QPointer<QWidget> fenetre = m->Fenetre_Liste_KVRT1();
    QVERIFY(fenetre);
    auto* vue = Controle<QWebEngineView>(fenetre, "WebBrowser1");
    QVERIFY(vue);
    QSignalSpy espion(vue, &QWebEngineView::loadFinished);
    QVERIFY(Attendre_Chargement(espion));
    QCOMPARE(espion.first().first().toBool(), true);
    QCOMPARE(m_serveur.Pages(), QStringList{chemin});
    QTRY_COMPARE(vue->title(), QStringLiteral("Page ") + chemin);
    QVERIFY(p.plateforme->messages.isEmpty());
    Fermer_Par_Le_Cadre(fenetre);
    QTRY_VERIFY(fenetre.isNull());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Web::la_page_suit_la_ligne_choisie()
{
    p.Installer_Station();
    p.Ecrire_Log({Enr(QStringLiteral("01/03/09"), QStringLiteral("29001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ")),
                  Enr(QStringLiteral("02/03/09"), QStringLiteral("13005"), QStringLiteral("Chateau Contacte"), QStringLiteral("F6ABC"))});
    Installer_Sites(p, m_serveur.Hote());
    Main_Test* m = p.Demarrer();
    m_serveur.chemins.clear();

    auto ouvrir = [&](const QString& attendu) {
        Cliquer_Dans(m->ListeKVRT);
        QPointer<QWidget> fenetre = m->Fenetre_Liste_KVRT1();
        QVERIFY(fenetre);
        auto* vue = Controle<QWebEngineView>(fenetre, "WebBrowser1");
        QSignalSpy espion(vue, &QWebEngineView::loadFinished);
        QVERIFY(Attendre_Chargement(espion));
        QCOMPARE(m_serveur.Pages().last(), attendu);
        // While it is open, another line does not change it: the command only brings it forward.
        Cliquer_Ligne(m->Liste_KVRT, 1);
        QCOMPARE(m->Ligne_Courante(), 1);
        Cliquer_Dans(m->ListeKVRT);
        QCOMPARE(m->Fenetre_Liste_KVRT1(), fenetre.data());
        Fermer_Par_Le_Cadre(fenetre);
        QTRY_VERIFY(fenetre.isNull());
    };
    // Click the first line of the main list, then open the window.
    Cliquer_Ligne(m->Liste_KVRT, 0);
    QCOMPARE(m->Ligne_Courante(), 0);
    ouvrir(QStringLiteral("/WEB/dept/d29.html"));
    // Opened again, it follows the line selected meanwhile.
    ouvrir(QStringLiteral("/WEB/dept/d13.html"));
    QCOMPARE(m_serveur.Pages().size(), 2);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Web::pas_de_departement_data()
{
    QTest::addColumn<QStringList>("log");
    QTest::newRow("log vide") << QStringList{};
    QTest::newRow("ligne sans reference")
        << QStringList{Enr(QStringLiteral("02/03/09"), QString(), QStringLiteral("Chateau Contacte"), QStringLiteral("F6ABC"))};
}

void Tst_Web::pas_de_departement()
{
    QFETCH(QStringList, log);

    p.Installer_Station();
    p.Ecrire_Log(log);
    Installer_Sites(p, m_serveur.Hote());
    Main_Test* m = p.Demarrer();
    p.plateforme->messages.clear();
    m_serveur.chemins.clear();

    Cliquer_Dans(m->ListeKVRT);
    QCOMPARE(p.plateforme->messages, QStringList{QStringLiteral("Pas de département spécifié dans ce QSO")});
    // The window stays open, with an empty browser.
    QPointer<QWidget> fenetre = m->Fenetre_Liste_KVRT1();
    QVERIFY(fenetre);
    QVERIFY(fenetre->isVisible());
    auto* vue = Controle<QWebEngineView>(fenetre, "WebBrowser1");
    QVERIFY(vue);
    QVERIFY(vue->url().isEmpty());
    QTest::qWait(300);
    QVERIFY2(m_serveur.Pages().isEmpty(), qPrintable(m_serveur.chemins.join(u' ')));
    Fermer_Par_Le_Cadre(fenetre);
    QTRY_VERIFY(fenetre.isNull());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Web::titre_de_la_liste()
{
    {
        // Without settings the caption names the default list site.
        Programme_Test p;
        p.Installer_Station();
        Main_Test* m = p.Demarrer();
        Cliquer_Dans(m->ListeKVRT);
        QPointer<QWidget> fenetre = m->Fenetre_Liste_KVRT1();
        QVERIFY(fenetre);
        QCOMPARE(fenetre->windowTitle(), QStringLiteral("site ( http://liste.example.org/kvrta2.html )"));
        Fermer_Par_Le_Cadre(fenetre);
        QTRY_VERIFY(fenetre.isNull());
    }
    {
        Programme_Test p;
        p.Installer_Station();
        p.Ecrire_Log({Enr(QStringLiteral("02/03/09"), QStringLiteral("13005"), QStringLiteral("Chateau Contacte"), QStringLiteral("F6ABC"))});
        Installer_Sites(p, m_serveur.Hote());
        Ecrire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Site Liste KVRT"), QStringLiteral("liste.test"));
        Main_Test* m = p.Demarrer();
        Cliquer_Dans(m->ListeKVRT);
        QPointer<QWidget> fenetre = m->Fenetre_Liste_KVRT1();
        QVERIFY(fenetre);
        QCOMPARE(fenetre->windowTitle(), QStringLiteral("site ( http://liste.test/kvrta2.html )"));
        QCOMPARE(fenetre->size(), QSize(902, 321));
        // 1750 twips below the centred position.
        const QRect ecran = fenetre->screen()->availableGeometry();
        const QRect cadre = fenetre->frameGeometry();
        QVERIFY(ecran.contains(cadre));
        QCOMPARE(cadre.left(), ecran.x() + (ecran.width() - cadre.width()) / 2);
        QCOMPARE(cadre.top(), ecran.y() + (ecran.height() - cadre.height() + 3500 / 15) / 2);
        Fermer_Par_Le_Cadre(fenetre);
        QTRY_VERIFY(fenetre.isNull());
    }
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Web::page_injoignable_data()
{
    QTest::addColumn<bool>("reglement"); // the rules window, otherwise the reference list
    QTest::addColumn<QString>("chemin");
    QTest::addColumn<QString>("cle");

    QTest::newRow("reglement") << true << "/coupes.html" << "Site Reglement";
    QTest::newRow("liste du departement") << false << "/WEB/dept/d13.html" << "Site Departements";
}

void Tst_Web::page_injoignable()
{
    QFETCH(bool, reglement);
    QFETCH(QString, chemin);
    QFETCH(QString, cle);

    // A port nobody listens on: the window says so in French, in the browser's place.
    quint16 port = 0;
    {
        QTcpServer libre;
        libre.listen(QHostAddress::LocalHost, 0);
        port = libre.serverPort();
    }
    p.Installer_Station();
    p.Ecrire_Log({Enr(QStringLiteral("02/03/09"), QStringLiteral("13005"), QStringLiteral("Chateau Contacte"), QStringLiteral("F6ABC"))});
    Installer_Sites(p, QStringLiteral("127.0.0.1:%1").arg(port));
    Main_Test* m = p.Demarrer();
    p.plateforme->messages.clear();
    if (reglement)
        Choisir_Menu(m->Mnu_Reglement);
    else
        Cliquer_Dans(m->ListeKVRT);
    QPointer<QWidget> fenetre = reglement ? m->Fenetre_Reglement() : m->Fenetre_Liste_KVRT1();
    QVERIFY(fenetre);
    auto* vue = Controle<QWebEngineView>(fenetre, "WebBrowser1");
    QVERIFY(vue);
    QSignalSpy espion(vue, &QWebEngineView::loadFinished);
    QVERIFY(Attendre_Chargement(espion));
    QCOMPARE(espion.first().first().toBool(), false);
    QVERIFY(fenetre->isVisible());
    auto* message = Controle<QLabel>(fenetre, "Page_Injoignable");
    QVERIFY(message);
    QVERIFY(message->isVisible());
    QVERIFY(!vue->isVisible());
    QCOMPARE(message->text(), QStringLiteral("La page http://127.0.0.1:%1%2 n'a pas pu être chargée : le réseau ne répond pas, "
                                             "ou ce site n'est pas le bon (clé « %3 » de la section « Setup » du fichier de "
                                             "réglages %4).")
                                  .arg(port)
                                  .arg(chemin, cle, QDir::toNativeSeparators(p.reglages->Fichier())));
    // The sentence holds in the window, below its title, whole.
    QVERIFY(fenetre->rect().contains(message->geometry()));
    QVERIFY(message->heightForWidth(message->width()) <= message->height());
    QVERIFY(p.plateforme->messages.isEmpty());
    Fermer_Par_Le_Cadre(fenetre);
    QTRY_VERIFY(fenetre.isNull());
    QVERIFY(garde.fermees.isEmpty());
}

int main(int argc, char* argv[])
{
    // The offscreen platform's own screen is 800 pixels wide, narrower than the rules window,
    // and it pushes a window that starts left of the screen back onto it: these windows are
    // placed on a screen of a desktop's size.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KVRT_ECRAN_WEB);
    // As in the program: no shared OpenGL context at start; loading the plugin makes it.
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The plugin built beside the program, loaded on first use as the program loads it.
    Fenetres_Web::Dossier_Module = QStringLiteral(KVRT_DOSSIER_MODULE_WEB);
    Tst_Web tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_web.moc"
