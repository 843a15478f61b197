// The castle list kept current from a web server on 127.0.0.1: every answer that must leave
// the kept list as it was, then from the spots window's address to the list replaced, the
// server asked only for a change, and the check once a week at start-up.

#include "Main_Test.h"
#include "Mise_A_Jour_Liste.h"
#include "Outils_Test.h"
#include "Reglages.h"
#include "Reglages_Bruts.h"
#include "Serveur_Http_Test.h"
#include "Sous_Programmes.h"
#include "Veille_Spots.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using Issue = Mise_A_Jour_Liste::Resultat::Issue;

class Tst_Liste_En_Ligne : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void refus_data();
    void refus();
    void de_la_fenetre_au_serveur();
};

namespace {

// The list kept before every test, loaded by hand: two castles.
const QByteArray Liste_Gardee = "29018\tBrest\r\n35012\tFougeres\r\n";

QByteArray Lire(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(absent)");
}

void Ecrire(const QString& chemin, const QByteArray& octets)
{
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(octets), octets.size());
}

QString Reglage_Liste(const Reglages& reglages, const char* cle)
{
    return Lire_Reglage(reglages, QStringLiteral("Setup "), QString::fromLatin1(cle));
}

} // namespace

void Tst_Liste_En_Ligne::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The castle list is kept in the user's data folder: the test's own.
    QStandardPaths::setTestModeEnabled(true);
}

void Tst_Liste_En_Ligne::init()
{
    Ecrire(Veille_Spots::Fichier_Liste(), Liste_Gardee);
    QFile::remove(Mise_A_Jour_Liste::Fichier_Precedent(Veille_Spots::Fichier_Liste()));
}

void Tst_Liste_En_Ligne::refus_data()
{
    QTest::addColumn<QByteArray>("reponse");
    QTest::addColumn<bool>("fermer");
    QTest::addColumn<bool>("adresse");
    QTest::addColumn<int>("issue");
    // %1 is the server's address; a text ending with "…" is the start of the sentence.
    QTest::addColumn<QString>("attendu");

    using S = Serveur_Http_Test;
    const QString prefixe = QStringLiteral("La liste des châteaux n'a pas pu être mise à jour depuis %1 : ");
    const QString suite = QStringLiteral(" ; la liste gardée reste en service.");
    const int refusee = int(Issue::Refusee);
    QTest::newRow("404") << S::Reponse(404, "Not Found", "<html>absent</html>") << false << true << refusee
                         << prefixe + QStringLiteral("le serveur n'a pas de fichier à cette adresse (erreur HTTP 404)") + suite;
    QTest::newRow("503 et sa raison") << S::Reponse(503, "Service Unavailable", "") << false << true << refusee
                                      << prefixe + QStringLiteral("le serveur a répondu par l'erreur HTTP 503 (Service Unavailable)") + suite;
    QTest::newRow("corps tronqué") << S::Reponse(200, "OK", "29018\tBrest\r\n", {}, 1000) << false << true << refusee
                                   << prefixe + QStringLiteral("la liste est arrivée incomplète (13 octets sur les 1000 annoncés)") + suite;
    QTest::newRow("liste illisible") << S::Reponse(200, "OK", "29018\tBrest\n35012\t\"Fort\n") << false << true << refusee
                                     << prefixe
                                            + QStringLiteral("le fichier reçu n'est pas une liste des châteaux lisible (des guillemets "
                                                             "ouverts à la ligne 2 ne se ferment jamais)")
                                            + suite;
    QTest::newRow("page sans château") << S::Reponse(200, "OK", "<html><body>Maintenance</body></html>") << false << true << refusee
                                       << prefixe + QStringLiteral("aucun château n'a été trouvé dans le fichier reçu") + suite;
    QTest::newRow("trop gros") << S::Reponse(200, "OK", "29018\tBrest\r\n", {}, Mise_A_Jour_Liste::Taille_Max + 1) << false << true
                               << refusee
                               << prefixe + QStringLiteral("le fichier dépasse 64 Mo, bien plus qu'une liste des châteaux") + suite;
    QTest::newRow("renvoi hors du web") << S::Reponse(302, "Found", "", {"Location: ftp://127.0.0.1/liste.csv"}) << false << true
                                        << refusee
                                        << prefixe
                                               + QStringLiteral("le serveur renvoie vers « ftp://127.0.0.1/liste.csv », qui n'est pas "
                                                                "une adresse http ou https")
                                               + suite;
    // Nothing was asked of it: "not modified" says nothing of the kept list.
    QTest::newRow("304 sans question") << S::Reponse(304, "Not Modified", "") << false << true << refusee
                                       << prefixe + QStringLiteral("le serveur a donné une réponse inattendue (HTTP 304)") + suite;
    QTest::newRow("connexion fermée aussitôt") << QByteArray() << true << true << refusee
                                               << prefixe + QStringLiteral("la connexion a échoué (…");
    QTest::newRow("sans adresse") << QByteArray() << false << false << int(Issue::Sans_Adresse)
                                  << QStringLiteral("Aucune adresse n'est donnée pour la liste des châteaux : tapez-la dans la "
                                                    "case « Adresse liste chateaux » de la fenêtre Spots > Châteaux spottés, puis "
                                                    "Entrée.");
}

// Whatever the server does, the kept list stays byte for byte, nothing is set aside, the
// watch keeps its list, no check is recorded, and one sentence says why.
void Tst_Liste_En_Ligne::refus()
{
    QFETCH(QByteArray, reponse);
    QFETCH(bool, fermer);
    QFETCH(bool, adresse);
    QFETCH(int, issue);
    QFETCH(QString, attendu);

    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    Plateforme_Test plateforme(dossier.path());
    Reglages reglages(dossier.filePath(QStringLiteral("Challenge_KVRT.ini")));
    Sous_Programmes sp(plateforme, reglages);
    Serveur_Http_Test serveur;
    serveur.repondre = [reponse](const Serveur_Http_Test::Requete&) { return reponse; };
    serveur.fermerAussitot = fermer;
    QString erreur;
    if (adresse)
        QVERIFY(reglages.Definir_Adresse_Liste_Chateaux(serveur.Adresse(), erreur));
    Veille_Spots veille(sp);
    QCOMPARE(veille.Liste().Nombre(), 2);
    QSignalSpy fini(&veille.Liste_En_Ligne(), &Mise_A_Jour_Liste::Fini);
    QSignalSpy changee(&veille, &Veille_Spots::Liste_Changee);

    veille.Liste_En_Ligne().Mettre_A_Jour();
    QTRY_COMPARE(fini.size(), 1);
    const auto resultat = fini.first().first().value<Mise_A_Jour_Liste::Resultat>();
    QCOMPARE(int(resultat.issue), issue);
    QVERIFY(!resultat.automatique);
    if (adresse)
        attendu = attendu.arg(serveur.Adresse());
    if (attendu.endsWith(QStringLiteral("…")))
        QVERIFY2(resultat.texte.startsWith(attendu.chopped(1)) && resultat.texte.endsWith(QStringLiteral(") ; la liste gardée reste en service.")),
                 qPrintable(resultat.texte));
    else
        QCOMPARE(resultat.texte, attendu);
    if (!adresse)
        QCOMPARE(serveur.connexions, 0);

    QCOMPARE(Lire(Veille_Spots::Fichier_Liste()), Liste_Gardee);
    QVERIFY(!QFileInfo::exists(Mise_A_Jour_Liste::Fichier_Precedent(Veille_Spots::Fichier_Liste())));
    QCOMPARE(changee.size(), 0);
    QCOMPARE(veille.Liste().Nombre(), 2);
    QVERIFY(!reglages.Suivi_Liste_Chateaux().verifiee.isValid());
    QVERIFY(plateforme.messages.isEmpty());
}

// The address typed in the spots window fetches the list at once; the menu asks the server
// only for a change; a start a week after the last check asks again, and its failure is said in
// the status line alone.
void Tst_Liste_En_Ligne::de_la_fenetre_au_serveur()
{
    Chien_De_Garde garde;
    Programme_Test p;
    Main_Test* m = Demarrer_Sur(p, {});
    const QString garde_ = Veille_Spots::Fichier_Liste();
    const QString precedente = Mise_A_Jour_Liste::Fichier_Precedent(garde_);
    const QByteArray nouvelle = "KVRT;Nom\r\n29018;Château de Brest\r\n35012;Fort-la-Latte\r\n56001;Josselin\r\n";
    Serveur_Http_Test serveur;
    bool enPanne = false;
    serveur.repondre = [&](const Serveur_Http_Test::Requete& r) {
        if (enPanne)
            return Serveur_Http_Test::Reponse(404, "Not Found", "");
        if (r.Entete("If-None-Match") == "\"v1\"")
            return Serveur_Http_Test::Reponse(304, "Not Modified", "", {"ETag: \"v1\""});
        return Serveur_Http_Test::Reponse(200, "OK", nouvelle, {"ETag: \"v1\"", "Last-Modified: Sun, 15 Mar 2009 10:00:00 GMT"});
    };

    // The address typed in the window, then Enter: it is kept and, never checked, fetched at once.
    Activer(m);
    Choisir_Menu(m->Mnu_Chateaux_Spottes);
    Chateaux_Spottes* spots = m->Fenetre_Spots();
    QVERIFY(spots);
    auto* adresse = Controle<QLineEdit>(spots, "Adresse_Liste");
    auto* infoListe = Controle<QLabel>(spots, "Info_Liste");
    Activer(spots);
    Remplacer_Texte(adresse, QStringLiteral("ftp://liste"));
    Entree(adresse);
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList{QStringLiteral("L'adresse « ftp://liste » n'est pas celle d'une page web : tapez-la en entier, avec "
                                        "http:// ou https:// (par exemple https://liste.exemple.org/chateaux.csv).")});
    QCOMPARE(serveur.connexions, 0);
    Remplacer_Texte(adresse, serveur.Adresse());
    Entree(adresse);
    QCOMPARE(p.reglages->Adresse_Liste_Chateaux(), serveur.Adresse());
    const QString remplacee = QStringLiteral("La liste des châteaux a été mise à jour depuis %1 : elle compte maintenant 3 "
                                             "châteaux. La précédente est gardée dans %2.")
                                  .arg(serveur.Adresse(), QDir::toNativeSeparators(precedente));
    QTRY_COMPARE(m->statusBar()->currentMessage(), remplacee);
    QCOMPARE(serveur.requetes.size(), 1);
    QVERIFY(serveur.requetes.at(0).Entete("If-None-Match").isEmpty());
    QVERIFY(serveur.requetes.at(0).Entete("If-Modified-Since").isEmpty());
    QCOMPARE(Lire(garde_), nouvelle);
    QCOMPARE(Lire(precedente), Liste_Gardee);
    QCOMPARE(m->Veille()->Liste().Nom(QStringLiteral("35012")), QStringLiteral("Fort-la-Latte"));
    QCOMPARE(infoListe->text(), QStringLiteral("Liste des châteaux du 15/03/2009 : 3 châteaux."));
    QCOMPARE(Reglage_Liste(*p.reglages, "Liste chateaux ETag"), QStringLiteral("\"v1\""));
    QCOMPARE(Reglage_Liste(*p.reglages, "Liste chateaux Last-Modified"), QStringLiteral("Sun, 15 Mar 2009 10:00:00 GMT"));
    QCOMPARE(Reglage_Liste(*p.reglages, "Liste chateaux verifiee"), QStringLiteral("2009-03-28T14:07:09Z"));
    QVERIFY(p.plateforme->messages.isEmpty());

    // Fichier > Mettre à jour la liste des châteaux: the server is asked only for a change, and
    // has none; nothing is written.
    Activer(m);
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 29), QTime(9, 0, 0), Qt::UTC));
    Choisir_Menu(Controle<QAction>(m, "Mnu_Mettre_A_Jour_Liste"));
    QTRY_COMPARE(p.plateforme->messages, QStringList{QStringLiteral("La liste des châteaux est déjà à jour.")});
    p.plateforme->messages.clear();
    QCOMPARE(serveur.requetes.size(), 2);
    QCOMPARE(serveur.requetes.at(1).Entete("If-None-Match"), QByteArray("\"v1\""));
    QCOMPARE(serveur.requetes.at(1).Entete("If-Modified-Since"), QByteArray("Sun, 15 Mar 2009 10:00:00 GMT"));
    QCOMPARE(Lire(garde_), nouvelle);
    QCOMPARE(Lire(precedente), Liste_Gardee);
    QCOMPARE(Reglage_Liste(*p.reglages, "Liste chateaux verifiee"), QStringLiteral("2009-03-29T09:00:00Z"));

    // Six days after that check a start asks nothing; seven days after, it asks once, and the
    // server's failure is said in the status line only, the list kept as it was.
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 4, 4), QTime(9, 0, 0), Qt::UTC));
    m = p.Redemarrer();
    QVERIFY(!m->Veille()->Liste_En_Ligne().En_Cours());
    enPanne = true;
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 4, 5), QTime(9, 0, 0), Qt::UTC));
    m = p.Redemarrer();
    QVERIFY(m->Veille()->Liste_En_Ligne().En_Cours());
    QTRY_VERIFY(!m->Veille()->Liste_En_Ligne().En_Cours());
    QCOMPARE(serveur.requetes.size(), 3);
    QTRY_COMPARE(m->statusBar()->currentMessage(),
                 QStringLiteral("La liste des châteaux n'a pas pu être mise à jour depuis %1 : le serveur n'a pas de fichier à "
                                "cette adresse (erreur HTTP 404) ; la liste gardée reste en service.")
                     .arg(serveur.Adresse()));
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(Lire(garde_), nouvelle);
    QCOMPARE(Reglage_Liste(*p.reglages, "Liste chateaux verifiee"), QStringLiteral("2009-03-29T09:00:00Z"));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Liste_En_Ligne)
#include "tst_liste_en_ligne.moc"
