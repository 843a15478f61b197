// What the operator keeps beside the log is never touched: his copies survive a start and a
// recorded QSO, only the program's own leftovers go. And a disk that reports an error on
// sync, before or after a change reached the log: the user is told what the log now holds,
// nothing is left beside it, and the journal stays in step, so that the next undo takes back
// exactly the last change the log holds.

#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

#include <dlfcn.h>

class Tst_Fichiers_Gardes : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void Copies_Gardees();
    void Echec_De_Synchronisation_data();
    void Echec_De_Synchronisation();
};

void Tst_Fichiers_Gardes::initTestCase()
{
    // Without the layer nothing would fail and every row would pass for nothing.
    QVERIFY2(dlsym(RTLD_DEFAULT, "kvrt_echec_sync_charge"), "run under LD_PRELOAD=kvrt_echec_sync.so (ctest does)");
}

void Tst_Fichiers_Gardes::Copies_Gardees()
{
    p.Installer_Station();
    const QString a = Enr(QStringLiteral("02/01/09"), QStringLiteral("29018"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5BBB"));
    p.Ecrire_Log({a});
    const QString log = QFileInfo(p.Log()).fileName();
    const QStringList copies = {log + QStringLiteral(".backup"), log + QStringLiteral(".ancien"), log + QStringLiteral(".copie1"),
                                log + QStringLiteral(".bak"), log + QStringLiteral(".old"), log + QStringLiteral(".journal.copie1")};
    const QString reste = log + QStringLiteral(".kvrt-tmp-Ab12Cd");
    const QDateTime ilYaUneHeure = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (const QString& nom : copies + QStringList{reste}) {
        p.Ecrire_Fichier(nom, "copie de " + nom.toLatin1());
        QFile f(p.Chemin(nom));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(ilYaUneHeure, QFileDevice::FileModificationTime));
    }
    Main_Test* m = p.Demarrer();
    Saisir(m, QStringLiteral("F5XYZ"), 0, QStringLiteral("35007"));
    Entree(m->Valide_A);
    QCOMPARE(p.Octets_Log(), Octets({a, Enr(QStringLiteral("28/03/09"), QStringLiteral("35007"), QStringLiteral("Chateau Contacte"),
                                            QStringLiteral("F5XYZ"))}));
    for (const QString& nom : copies)
        QCOMPARE(p.Lire_Fichier(nom), "copie de " + nom.toLatin1());
    QVERIFY(!QFileInfo::exists(p.Chemin(reste)));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Fichiers_Gardes::Echec_De_Synchronisation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("dossier");     // the folder's sync fails, after the bytes reached the log
    QTest::addColumn<QString>("dit");      // what the message ends with
    QTest::addColumn<QString>("aAnnuler"); // the change the next undo takes back

    const QString premier = QStringLiteral("enregistrement du KVRT 56100");
    const QString pasEnregistre = QStringLiteral("Le QSO n'a pas été enregistré.");
    const QString pasModifie = QStringLiteral("Le log n'a pas été modifié.");
    QTest::newRow("ajout, fichier") << "enregistrement" << false << pasEnregistre << premier;
    QTest::newRow("ajout, dossier") << "enregistrement" << true
                                    << "Le QSO a bien été enregistré dans le log, mais le disque n'a pas confirmé l'écriture : vérifiez le disque."
                                    << "enregistrement du KVRT 75001";
    QTest::newRow("suppression, fichier") << "suppression" << false << pasModifie << premier;
    QTest::newRow("suppression, dossier") << "suppression" << true
                                          << "Le log contient bien cette modification (suppression du KVRT 29018), mais le disque "
                                             "n'a pas confirmé l'écriture : vérifiez le disque."
                                          << "suppression du KVRT 29018";
    QTest::newRow("annulation, fichier") << "annulation" << false << pasModifie << premier;
    QTest::newRow("annulation, dossier") << "annulation" << true
                                         << "Le log contient bien cette modification (enregistrement du KVRT 56100), mais le "
                                            "disque n'a pas confirmé l'écriture : vérifiez le disque."
                                         << QString();
}

void Tst_Fichiers_Gardes::Echec_De_Synchronisation()
{
    QFETCH(QString, operation);
    QFETCH(bool, dossier);
    QFETCH(QString, dit);
    QFETCH(QString, aAnnuler);

    p.Installer_Station();
    const QString a = Enr(QStringLiteral("02/01/09"), QStringLiteral("29018"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5BBB"));
    const QString b = Enr(QStringLiteral("03/01/09"), QStringLiteral("35007"), QStringLiteral("Chateau active"), QStringLiteral("F6CCC"));
    QString c = Enr(QStringLiteral("04/01/09"), QStringLiteral("56100"), QStringLiteral("Chateau Contacte"), QStringLiteral("F4DDD"));
    QString d = Enr(QStringLiteral("05/01/09"), QStringLiteral("75001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F1EEE"));
    p.Ecrire_Log({a, b});
    Sous_Programmes& sp = *p.sp;
    sp.Choisir_Station(QStringLiteral("F1ABC"), QStringLiteral("2009"));
    sp.Verifier_Journal();
    QVERIFY(sp.Ajoute_Ligne(c));
    const QByteArray avant = p.Octets_Log();
    QByteArray apres;
    if (operation == QLatin1String("enregistrement"))
        apres = Octets({a, b, c, d});
    else if (operation == QLatin1String("suppression"))
        apres = Octets({b, c});
    else
        apres = Octets({a, b});

    qputenv(dossier ? "KVRT_ECHEC_SYNC_DOSSIER" : "KVRT_ECHEC_SYNC_FICHIER",
            dossier ? QByteArray("1") : QFile::encodeName(p.Repertoire() + QLatin1Char('/')));
    bool change = false;
    if (operation == QLatin1String("enregistrement")) {
        change = sp.Ajoute_Ligne(d);
    } else if (operation == QLatin1String("suppression")) {
        QString reference = QStringLiteral("29018");
        change = sp.Supprime_Lignes_Reference(reference);
    } else {
        change = sp.Annuler_Modification();
    }
    qunsetenv("KVRT_ECHEC_SYNC_DOSSIER");
    qunsetenv("KVRT_ECHEC_SYNC_FICHIER");

    // The caller refreshes and clears the entry area only when the log holds the change.
    QCOMPARE(change, dossier);
    QCOMPARE(p.Octets_Log(), dossier ? apres : avant);
    const QStringList dits = p.plateforme->Prendre_Messages();
    QCOMPARE(dits.size(), 1);
    QVERIFY2(dits.first().startsWith(QStringLiteral("Erreur N° 57 : ")), qPrintable(dits.first()));
    QVERIFY2(dits.first().endsWith(QStringLiteral("\r\n") + dit), qPrintable(dits.first()));
    const QStringList restes = QDir(p.Repertoire()).entryList({QStringLiteral("*.kvrt-tmp-*")}, QDir::Files | QDir::Hidden);
    QVERIFY2(restes.isEmpty(), qPrintable(restes.join(QLatin1Char(' '))));

    // The journal explains the log as it is: its next undo is the last change the log holds,
    // and it goes through without a word.
    QCOMPARE(sp.Operation_A_Annuler(), aAnnuler);
    if (!aAnnuler.isEmpty()) {
        QVERIFY(sp.Annuler_Modification());
        QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    }
}

QTEST_MAIN(Tst_Fichiers_Gardes)
#include "tst_fichiers_gardes.moc"
