// The search window on the log's module alone, with no main window: it reads the rows of a
// list model and names the row picked by a signal. This program links the module and the
// search window's own library, nothing of the main window.

#include "Modele_Liste_Log.h"
#include "Outils_Test.h"
#include "Recherche_Indicatif.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class Tst_Recherche_Seule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void choix_d_un_resultat_data();
    void choix_d_un_resultat();
    void sans_liste();
};

void Tst_Recherche_Seule::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void Tst_Recherche_Seule::choix_d_un_resultat_data()
{
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QList<int>>("trouves");
    QTest::addColumn<int>("clic");
    QTest::addColumn<int>("choisie");

    // The rows are 0-based in the list; the result rows show line numbers from 1.
    QTest::newRow("premier resultat") << "xyz" << QList<int>{1, 3} << 0 << 0;
    QTest::newRow("second resultat") << "xyz" << QList<int>{1, 3} << 1 << 2;
    QTest::newRow("un seul") << "on4" << QList<int>{2} << 0 << 1;
}

void Tst_Recherche_Seule::choix_d_un_resultat()
{
    QFETCH(QString, tape);
    QFETCH(QList<int>, trouves);
    QFETCH(int, clic);
    QFETCH(int, choisie);

    Chien_De_Garde garde;
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    Plateforme_Test plateforme(dossier.path());
    Reglages reglages(dossier.path() + QStringLiteral("/Challenge_KVRT.ini"));
    Sous_Programmes sp(plateforme, reglages);
    Modele_Liste_Log liste;
    liste.Remplacer(Octets({
        Enr(QStringLiteral("02/03/09"), QStringLiteral("77001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ")),
        Enr(QStringLiteral("07/03/09"), QStringLiteral("29012"), QStringLiteral("Reactivation Contactee"), QStringLiteral("ON4XY")),
        Enr(QStringLiteral("11/03/09"), QStringLiteral("2A005"), QStringLiteral("Chateau Contacte"), QStringLiteral("DL1XYZ")),
    }));

    QPointer<Recherche_Indicatif> r = new Recherche_Indicatif(sp, &liste);
    r->setAttribute(Qt::WA_DeleteOnClose);
    QSignalSpy choix(r.data(), &Recherche_Indicatif::Ligne_Choisie);
    r->Recherche_Indicatif_Form_Load();
    Activer(r);
    Taper(Controle<QLineEdit>(r, "Indica"), tape);

    QList<int> numeros;
    for (const QString& ligne : r->Resultats())
        numeros << ligne.left(5).trimmed().toInt();
    QCOMPARE(numeros, trouves);
    Cliquer_Ligne(Controle<QListView>(r, "QSO_Effectues"), clic);

    QCOMPARE(choix.size(), 1);
    QCOMPARE(choix.first().first().toInt(), choisie);
    QTRY_VERIFY(r.isNull());
    QVERIFY(plateforme.messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche_Seule::sans_liste()
{
    // Without a list the window still opens and finds nothing, as over an empty log.
    Chien_De_Garde garde;
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    Plateforme_Test plateforme(dossier.path());
    Reglages reglages(dossier.path() + QStringLiteral("/Challenge_KVRT.ini"));
    Sous_Programmes sp(plateforme, reglages);
    Recherche_Indicatif r(sp, nullptr);
    QSignalSpy choix(&r, &Recherche_Indicatif::Ligne_Choisie);
    r.Recherche_Indicatif_Form_Load();
    Activer(&r);
    Taper(Controle<QLineEdit>(&r, "Indica"), QStringLiteral("f5"));
    QVERIFY(r.Resultats().isEmpty());
    QCOMPARE(plateforme.messages, QStringList{QStringLiteral("Pas de QSO trouvé")});
    QCOMPARE(choix.size(), 0);
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Recherche_Seule)
#include "tst_recherche_seule.moc"
