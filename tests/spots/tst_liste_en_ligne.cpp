// The castle list kept current from a web server on 127.0.0.1: every answer that must leave
// the kept list as it was, then from the spots window's address to the list replaced, the
// server asked only for a change, and the check once a week at start-up.

#include "Main_Test.h"
#include "Mise_A_Jour_Liste.h"
#include "Outils_Test.h"
#include "Serveur_Http_Test.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

class Tst_Liste_En_Ligne : public QObject
{
    Q_OBJECT

private slots:
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

} // namespace

void Tst_Liste_En_Ligne::init()
{
    // The castle list is kept in the user's data folder: the test's own.
    QStandardPaths::setTestModeEnabled(true);
    QDir().mkpath(QFileInfo(Veille_Spots::Fichier_Liste()).absolutePath());
    QFile f(Veille_Spots::Fichier_Liste());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(Liste_Gardee) == Liste_Gardee.size());
    QFile::remove(Mise_A_Jour_Liste::Fichier_Precedent(Veille_Spots::Fichier_Liste()));
}

void Tst_Liste_En_Ligne::refus_data()
{
    QTest::addColumn<QByteArray>("reponse");
    // Why the list was refused, or (ending with "(") the start of it; the whole sentence when
    // no address is set.
    QTest::addColumn<QString>("cause");

    using S = Serveur_Http_Test;
    QTest::newRow("404") << S::Reponse("404 Not Found", "<html>absent</html>")
                         << QStringLiteral("le serveur n'a pas de fichier à cette adresse (erreur HTTP 404)");
    QTest::newRow("503") << S::Reponse("503 Service Unavailable", "")
                         << QStringLiteral("le serveur a répondu par l'erreur HTTP 503 (Service Unavailable)");
    QTest::newRow("tronquée") << S::Reponse("200 OK", "29018\tBrest\r\n", {}, 1000)
                              << QStringLiteral("la liste est arrivée incomplète (13 octets sur les 1000 annoncés)");
    QTest::newRow("illisible") << S::Reponse("200 OK", "29018\tBrest\n35012\t\"Fort\n")
                               << QStringLiteral("le fichier reçu n'est pas une liste des châteaux lisible (des guillemets "
                                                 "ouverts à la ligne 2 ne se ferment jamais)");
    QTest::newRow("sans château") << S::Reponse("200 OK", "<html><body>Maintenance</body></html>")
                                  << QStringLiteral("aucun château n'a été trouvé dans le fichier reçu");
    QTest::newRow("trop gros") << S::Reponse("200 OK", "29018\tBrest\r\n", {}, Mise_A_Jour_Liste::Taille_Max + 1)
                               << QStringLiteral("le fichier dépasse 64 Mo, bien plus qu'une liste des châteaux");
    QTest::newRow("renvoi ftp") << S::Reponse("302 Found", "", "Location: ftp://127.0.0.1/liste.csv\r\n")
                                << QStringLiteral("le serveur renvoie vers « ftp://127.0.0.1/liste.csv », qui n'est pas une "
                                                  "adresse http ou https");
    // Nothing was asked of it: "not modified" says nothing of the kept list.
    QTest::newRow("304 sans question") << S::Reponse("304 Not Modified", "")
                                       << QStringLiteral("le serveur a donné une réponse inattendue (HTTP 304)");
    QTest::newRow("fermée aussitôt") << QByteArray() << QStringLiteral("la connexion a échoué (");
    QTest::newRow("sans adresse") << QByteArray()
                                  << QStringLiteral("Aucune adresse n'est donnée pour la liste des châteaux : tapez-la dans la "
                                                    "case « Adresse liste chateaux » de la fenêtre Spots > Châteaux spottés, puis "
                                                    "Entrée.");
}

// Whatever the server does, the kept list stays byte for byte, nothing is set aside, the
// watch keeps its list, no check is recorded, and one sentence says why.
void Tst_Liste_En_Ligne::refus()
{
    QFETCH(QByteArray, reponse);
    QFETCH(QString, cause);
    Programme_Test p;
    Serveur_Http_Test serveur;
    serveur.repondre = [reponse](const QByteArray&) { return reponse; };
    const bool adresse = !cause.startsWith(QStringLiteral("Aucune adresse"));
    QString erreur;
    if (adresse)
        QVERIFY(p.reglages->Definir_Adresse_Liste_Chateaux(serveur.Adresse(), erreur));
    Veille_Spots veille(*p.sp);
    QCOMPARE(veille.Liste().Nombre(), 2);
    QSignalSpy fini(&veille.Liste_En_Ligne(), &Mise_A_Jour_Liste::Fini);
    QSignalSpy changee(&veille, &Veille_Spots::Liste_Changee);

    veille.Liste_En_Ligne().Mettre_A_Jour();
    QTRY_COMPARE(fini.size(), 1);
    const auto resultat = fini.first().first().value<Mise_A_Jour_Liste::Resultat>();
    QCOMPARE(int(resultat.issue), int(adresse ? Mise_A_Jour_Liste::Resultat::Issue::Refusee : Mise_A_Jour_Liste::Resultat::Issue::Sans_Adresse));
    const QString attendu = adresse ? QStringLiteral("La liste des châteaux n'a pas pu être mise à jour depuis %1 : %2")
                                              .arg(serveur.Adresse(), cause)
                                        : cause;
    if (cause.endsWith(QLatin1Char('(')))
        QVERIFY2(resultat.texte.startsWith(attendu) && resultat.texte.endsWith(QStringLiteral(") ; la liste gardée reste en service.")),
                 qPrintable(resultat.texte));
    else
        QCOMPARE(resultat.texte, adresse ? attendu + QStringLiteral(" ; la liste gardée reste en service.") : attendu);
    QCOMPARE(serveur.requetes.isEmpty(), !adresse);

    QCOMPARE(Lire(Veille_Spots::Fichier_Liste()), Liste_Gardee);
    QVERIFY(!QFileInfo::exists(Mise_A_Jour_Liste::Fichier_Precedent(Veille_Spots::Fichier_Liste())));
    QCOMPARE(changee.size(), 0);
    QCOMPARE(veille.Liste().Nombre(), 2);
    QVERIFY(!p.reglages->Suivi_Liste_Chateaux().verifiee.isValid());
    QVERIFY(p.plateforme->messages.isEmpty());
}

// The address typed in the spots window fetches the list at once; the menu asks the server
// only for a change; a start a week after the last check asks again, and its failure is said in
// the status line alone.
void Tst_Liste_En_Ligne::de_la_fenetre_au_serveur()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    Chien_De_Garde garde;
    Programme_Test p;
    Main_Test* m = Demarrer_Sur(p, {});
    const QString precedente = Mise_A_Jour_Liste::Fichier_Precedent(Veille_Spots::Fichier_Liste());
    const QByteArray nouvelle = "KVRT;Nom\r\n29018;Château de Brest\r\n35012;Fort-la-Latte\r\n56001;Josselin\r\n";
    Serveur_Http_Test serveur;
    bool enPanne = false;
    serveur.repondre = [&](const QByteArray& tete) {
        if (enPanne)
            return Serveur_Http_Test::Reponse("404 Not Found", "");
        if (Serveur_Http_Test::Entete(tete, "If-None-Match") == "\"v1\"")
            return Serveur_Http_Test::Reponse("304 Not Modified", "", "ETag: \"v1\"\r\n");
        return Serveur_Http_Test::Reponse("200 OK", nouvelle, "ETag: \"v1\"\r\nLast-Modified: Sun, 15 Mar 2009 10:00:00 GMT\r\n");
    };

    // The address typed in the window, then Enter: a bad one is refused; a good one is kept
    // and, never checked, fetched at once, said in the status line.
    Activer(m);
    Choisir_Menu(m->Mnu_Chateaux_Spottes);
    Chateaux_Spottes* spots = m->Fenetre_Spots();
    auto* adresse = Controle<QLineEdit>(spots, "Adresse_Liste");
    Activer(spots);
    Remplacer_Texte(adresse, QStringLiteral("ftp://liste"));
    Entree(adresse);
    QCOMPARE(p.plateforme->Prendre_Messages().value(0).left(35), QStringLiteral("L'adresse « ftp://liste » n'est pas"));
    Remplacer_Texte(adresse, serveur.Adresse());
    Entree(adresse);
    QCOMPARE(p.reglages->Adresse_Liste_Chateaux(), serveur.Adresse());
    QTRY_COMPARE(m->statusBar()->currentMessage(),
                 QStringLiteral("La liste des châteaux a été mise à jour depuis %1 : elle compte maintenant 3 châteaux. La "
                                "précédente est gardée dans %2.")
                     .arg(serveur.Adresse(), QDir::toNativeSeparators(precedente)));
    QCOMPARE(serveur.requetes.size(), 1);
    QVERIFY(Serveur_Http_Test::Entete(serveur.requetes.at(0), "If-None-Match").isEmpty());
    QCOMPARE(Lire(Veille_Spots::Fichier_Liste()), nouvelle);
    QCOMPARE(Lire(precedente), Liste_Gardee);
    QCOMPARE(m->Veille()->Liste().Nom(QStringLiteral("35012")), QStringLiteral("Fort-la-Latte"));
    QCOMPARE(Controle<QLabel>(spots, "Info_Liste")->text(), QStringLiteral("Liste des châteaux du 15/03/2009 : 3 châteaux."));
    QVERIFY(p.plateforme->messages.isEmpty());

    // Fichier > Mettre à jour la liste des châteaux: the server is asked only for a change and
    // has none; nothing is written but the check's date.
    Activer(m);
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 29), QTime(9, 0, 0), Qt::UTC));
    Choisir_Menu(Controle<QAction>(m, "Mnu_Mettre_A_Jour_Liste"));
    QTRY_COMPARE(p.plateforme->messages, QStringList{QStringLiteral("La liste des châteaux est déjà à jour.")});
    p.plateforme->messages.clear();
    QCOMPARE(serveur.requetes.size(), 2);
    QCOMPARE(Serveur_Http_Test::Entete(serveur.requetes.at(1), "If-None-Match"), QByteArray("\"v1\""));
    QCOMPARE(Serveur_Http_Test::Entete(serveur.requetes.at(1), "If-Modified-Since"), QByteArray("Sun, 15 Mar 2009 10:00:00 GMT"));
    QCOMPARE(Lire(Veille_Spots::Fichier_Liste()), nouvelle);
    QCOMPARE(Lire(precedente), Liste_Gardee);

    // Six days after that check a start asks nothing; seven days after, it asks once, and the
    // server's failure is said in the status line only, the list kept as it was.
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 4, 4), QTime(9, 0, 0), Qt::UTC));
    QVERIFY(!p.Redemarrer()->Veille()->Liste_En_Ligne().En_Cours());
    enPanne = true;
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 4, 5), QTime(9, 0, 0), Qt::UTC));
    m = p.Redemarrer();
    QVERIFY(m->Veille()->Liste_En_Ligne().En_Cours());
    QTRY_VERIFY(m->statusBar()->currentMessage().endsWith(QStringLiteral("(erreur HTTP 404) ; la liste gardée reste en service.")));
    QCOMPARE(serveur.requetes.size(), 3);
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(Lire(Veille_Spots::Fichier_Liste()), nouvelle);
    QCOMPARE(p.reglages->Suivi_Liste_Chateaux().verifiee, QDateTime(QDate(2009, 3, 29), QTime(9, 0, 0), Qt::UTC));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Liste_En_Ligne)
#include "tst_liste_en_ligne.moc"
