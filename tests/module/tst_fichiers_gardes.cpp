// What the operator keeps beside the log is never touched: his copies survive a start and a
// recorded QSO, only the program's own leftovers go. His hand on the log is final: a log he
// made read-only is refused for every change, one he keeps elsewhere behind a link is written
// where it is, one his editor saved in its own form reads as before and is written back in
// the program's form once he is told, with the editor's version kept. QSOs the program wrote that
// a start finds gone (an editor's stale save) are said, kept beside the log and put back only
// when he says so. And a disk that reports an error on
// sync, before or after a change reached the log: the user is told what the log now holds,
// nothing is left beside it, and the journal stays in step, so that the next undo takes back
// exactly the last change the log holds.

#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Qso.h"
#include "Station.h"
#include "Texte1252.h"
#include "Verrou_Log.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QPushButton>
#include <QStringEncoder>
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
    void Copie_Sans_Synchronisation_Du_Dossier_data();
    void Copie_Sans_Synchronisation_Du_Dossier();
    void Log_En_Lecture_Seule_data();
    void Log_En_Lecture_Seule();
    void Log_Par_Un_Lien();
    void Log_D_Un_Editeur_data();
    void Log_D_Un_Editeur();
    void Qso_Disparus_data();
    void Qso_Disparus();
    void Controle_Du_Journal_Rendu();
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
    QVERIFY(Ajoute_Ligne(sp, c));
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
        change = Ajoute_Ligne(sp, d);
    } else if (operation == QLatin1String("suppression")) {
        QString reference = QStringLiteral("29018");
        change = Supprime_Lignes_Reference(sp, reference);
    } else {
        change = Annuler_Modification(sp);
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
        QVERIFY(Annuler_Modification(sp));
        QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    }
}

// A file copied in place whose folder did not sync is on the disk all the same: the copy of
// the log and the new season's log made from the template are there, and the message says so.
void Tst_Fichiers_Gardes::Copie_Sans_Synchronisation_Du_Dossier_data()
{
    QTest::addColumn<QString>("copie"); // the file made in the program folder
    QTest::addColumn<QString>("dit");   // what the message ends with, %1 the file
    QTest::addColumn<QString>("annee"); // the year the main window shows after
    QTest::newRow("copie du log") << "F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt"
                                  << "Une copie du log a été enregistrée sous le nom : %1, mais le disque n'a pas confirmé son écriture."
                                  << "2009";
    QTest::newRow("log de la nouvelle saison") << "F1ABC_Challenge_KVRT_2010.txt"
                                               << "Le log de la nouvelle station a été créé : %1, mais le disque n'a pas confirmé son écriture."
                                               << "2010";
}

void Tst_Fichiers_Gardes::Copie_Sans_Synchronisation_Du_Dossier()
{
    QFETCH(QString, copie);
    QFETCH(QString, dit);
    QFETCH(QString, annee);
    p.Installer_Station();
    p.Ecrire_Log({Enr(QStringLiteral("02/01/09"), QStringLiteral("29018"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5BBB"))});
    Main_Test* m = p.Demarrer();
    const bool saison = annee != QLatin1String("2009");
    const QByteArray attendu = saison ? p.Lire_Fichier(QStringLiteral("FXXXX_Challenge_KVRT.txt")) : p.Octets_Log();
    if (saison) {
        Choisir_Menu(m->Mnu_New_Indicatif);
        Remplacer_Texte(Controle<QLineEdit>(m->Fenetre_Station(), "New_Annee"), annee);
    }
    qputenv("KVRT_ECHEC_SYNC_DOSSIER", "1");
    if (saison)
        Cliquer_Dans(Controle<QPushButton>(m->Fenetre_Station(), "Validation"));
    else
        Choisir_Menu(m->Mnu_Enregistrer_Copie);
    qunsetenv("KVRT_ECHEC_SYNC_DOSSIER");

    QCOMPARE(p.Lire_Fichier(copie), attendu);
    const QStringList dits = p.plateforme->Prendre_Messages();
    QCOMPARE(dits.size(), 1);
    QVERIFY2(dits.first().startsWith(QStringLiteral("Erreur N° 57 : ")), qPrintable(dits.first()));
    QVERIFY2(dits.first().endsWith(QStringLiteral("\r\n") + dit.arg(QDir::toNativeSeparators(p.Chemin(copie)))), qPrintable(dits.first()));
    QCOMPARE(m->A_Challenge->text(), annee);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Fichiers_Gardes::Log_En_Lecture_Seule_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("enregistrement") << "enregistrement";
    QTest::newRow("suppression") << "suppression";
    QTest::newRow("modification") << "modification";
    QTest::newRow("import") << "import";
    QTest::newRow("annulation") << "annulation";
    QTest::newRow("retablissement") << "retablissement";
}

void Tst_Fichiers_Gardes::Log_En_Lecture_Seule()
{
    QFETCH(QString, operation);
    const QString a = Q("02/01/09", "29018", QStringLiteral("Chateau Contacte"));
    const QString b = Q("03/01/09", "35007", QStringLiteral("Chateau active"));
    QString c = Q("04/01/09", "56100", QStringLiteral("Chateau Contacte"));
    Main_Test* m = Demarrer_Sur(p, {a});
    Sous_Programmes& sp = *p.sp;
    QVERIFY(Ajoute_Ligne(sp, c));
    if (operation == QLatin1String("retablissement"))
        QVERIFY(Annuler_Modification(sp));
    const QByteArray avant = p.Octets_Log();
    const QByteArray journal = p.Lire_Fichier(QFileInfo(p.Log()).fileName() + QStringLiteral(".journal"));
    QFile log(p.Log());
    // The operator's own read-only mark: refused even where the user could write it anyway.
    QVERIFY(log.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    p.plateforme->Prendre_Messages();
    // The module says nothing itself: the refusal comes back in the change's result, for the
    // window to say.
    Resultat_Changement r;
    if (operation == QLatin1String("enregistrement"))
        r = sp.Ajoute_Ligne(Qso::De_Ligne_Log(b));
    else if (operation == QLatin1String("suppression"))
        r = sp.Supprime_Lignes_Reference(QStringLiteral("29018"));
    else if (operation == QLatin1String("modification"))
        r = sp.Remplace_Ou_Ajoute_Ligne(m->Texte_Ligne(0), Qso::De_Ligne_Log(b));
    else if (operation == QLatin1String("import"))
        r = sp.Importe_Lignes({Texte1252::Encoder(b)});
    else if (operation == QLatin1String("annulation"))
        r = sp.Annuler_Modification();
    else
        r = sp.Retablir_Modification();
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    const bool change = sp.plateforme().Dire(r);
    QVERIFY(!change);
    QCOMPARE(p.Octets_Log(), avant);
    QCOMPARE(p.Lire_Fichier(QFileInfo(p.Log()).fileName() + QStringLiteral(".journal")), journal);
    const QStringList dits = p.plateforme->Prendre_Messages();
    QCOMPARE(dits.size(), 1);
    QVERIFY2(dits.first().startsWith(QStringLiteral("Erreur N° 70 : ")) && dits.first().contains(QDir::toNativeSeparators(p.Log()))
                 && dits.first().contains(QStringLiteral("(fichier en lecture seule)")),
             qPrintable(dits.first()));
    QVERIFY(log.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Fichiers_Gardes::Log_Par_Un_Lien()
{
    // The log lives in a synced folder; the program folder holds a link to it.
    QTemporaryDir synchro;
    const QString reel = synchro.filePath(QFileInfo(p.Log()).fileName());
    const QString a = Q("02/01/09", "29018", QStringLiteral("Chateau Contacte"));
    QString b = Q("03/01/09", "35007", QStringLiteral("Chateau active"));
    QFile f(reel);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Octets({a}));
    f.close();
    p.Installer_Station();
    QFile::remove(p.Log());
    QVERIFY(QFile::link(reel, p.Log()));
    p.Demarrer();
    Sous_Programmes& sp = *p.sp;
    QVERIFY(Ajoute_Ligne(sp, b));
    QString reference = QStringLiteral("29018");
    QVERIFY(Supprime_Lignes_Reference(sp, reference));
    QVERIFY(Annuler_Modification(sp));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QVERIFY(QFileInfo(p.Log()).isSymLink());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), Octets({a, b}));
    // The lock is the real file's: a second program reaching it by its real path is refused.
    Verrou_Log autre;
    QVERIFY(!autre.Prendre(reel));
    QVERIFY(autre.Occupe());
    QVERIFY(garde.fermees.isEmpty());
}

// The log of the scenario below, three QSOs, one of them waiting and one with "é".
static QStringList Lignes_Editees()
{
    return {Q("01/03/09", "29001", QStringLiteral("Chateau active")), Q("02/03/09", "2A012", QStringLiteral("Chateau Contacte"), true),
            Q("03/03/09", "35007", QString::fromUtf8("Double ou non validé"))};
}

void Tst_Fichiers_Gardes::Log_D_Un_Editeur_data()
{
    // The log as an editor saved it again, and what the one message of the next change says:
    // the form it was found in, or what keeps it from being written back (then nothing is).
    QTest::addColumn<QByteArray>("editeur");
    QTest::addColumn<QString>("dit");
    QTest::addColumn<bool>("refuse");
    const QString texte = Lignes_Editees().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QByteArray lf = Octets(Lignes_Editees());
    lf.replace("\r\n", "\n");
    const auto utf16 = [&](QStringEncoder::Encoding sorte, const QString& t) { return QByteArray(QStringEncoder(sorte).encode(t)); };
    QTest::newRow("UTF-8 avec marque (Bloc-notes)") << "\xEF\xBB\xBF" + texte.toUtf8() << "UTF-8 avec marque d'ordre des octets" << false;
    QTest::newRow("UTF-16 LE avec marque (Bloc-notes, Unicode)")
        << "\xFF\xFE" + utf16(QStringEncoder::Utf16LE, texte) << "UTF-16 LE avec marque d'ordre des octets" << false;
    QTest::newRow("UTF-16 BE avec marque, fins LF")
        << "\xFE\xFF" + utf16(QStringEncoder::Utf16BE, QString(texte).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
        << "UTF-16 BE avec marque d'ordre des octets, fins de ligne autres que CR LF" << false;
    QTest::newRow("UTF-16 sans marque") << utf16(QStringEncoder::Utf16LE, texte)
                                        << "le fichier semble enregistré en UTF-16 sans marque d'ordre des octets" << true;
    QTest::newRow("octets NUL, fins LF") << QByteArray(lf).replace("2A012", QByteArray("2A\0\0\0", 5))
                                         << "3 caractères nuls (octet 00), le premier à la ligne 2" << true;
    QTest::newRow("UTF-16 coupé au milieu d'un caractère") << "\xFF\xFE" + utf16(QStringEncoder::Utf16LE, texte).chopped(1)
                                                           << "des octets qui ne forment aucun caractère UTF-16" << true;
}

void Tst_Fichiers_Gardes::Log_D_Un_Editeur()
{
    QFETCH(QByteArray, editeur);
    QFETCH(QString, dit);
    QFETCH(bool, refuse);
    const QStringList lignes = Lignes_Editees();
    const QString a = lignes.at(0), b = lignes.at(1), c = lignes.at(2);
    Main_Test* m = Demarrer_Sur(p, {a, b});
    // A QSO typed, then the log saved again by an editor that drops the last line end: the
    // next start gives the line its end back, and the QSO is there.
    QString enregistre = c;
    QVERIFY(Ajoute_Ligne(*p.sp, enregistre));
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), Octets({a, b, c}).chopped(2));
    m = p.Redemarrer();
    QCOMPARE(p.plateforme->Prendre_Messages().join(QLatin1Char('|')), QString());
    QCOMPARE(p.Octets_Log(), Octets({a, b, c}));
    QCOMPARE(m->Nombre_Lignes(), 3);
    const QString total = m->Total_Points->text();

    // Saved again by the editor. What it understood reads as before.
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), editeur);
    m = p.Redemarrer();
    QStringList dits = p.plateforme->Prendre_Messages();
    // A file not understood may end on a line that holds no QSO, which the list selects.
    if (refuse)
        dits.removeAll(QStringLiteral("Il n'y a pas de données a modifier"));
    QCOMPARE(dits, QStringList());
    if (!refuse) {
        QCOMPARE(m->Total_Points->text(), total);
        QCOMPARE(m->Nombre_Lignes(), 3);
        QCOMPARE(m->Texte_Ligne(0).mid(8), a);
        QCOMPARE(m->Texte_Ligne(2).mid(8), c);
    }
    // The next change: told once, the editor's version kept, the log in the program's form;
    // or, for a file it could not have read right, refused and the log left as it is.
    QString d = Q("04/03/09", "56100", QStringLiteral("Chateau Contacte"));
    QCOMPARE(Ajoute_Ligne(*p.sp, d), !refuse);
    dits = p.plateforme->Prendre_Messages();
    QCOMPARE(dits.size(), 1);
    QVERIFY2(dits.first().contains(dit), qPrintable(dits.first()));
    const QStringList copies = QDir(p.Repertoire()).entryList({QStringLiteral("F1ABC_Challenge_KVRT_2009_version_editeur_*.txt")});
    if (refuse) {
        QVERIFY2(dits.first().endsWith(QStringLiteral("\r\nLe QSO n'a pas été enregistré.")), qPrintable(dits.first()));
        QVERIFY(copies.isEmpty());
        QCOMPARE(p.Octets_Log(), editeur);
        QVERIFY(garde.fermees.isEmpty());
        return;
    }
    QCOMPARE(copies.size(), 1);
    QVERIFY2(dits.first().endsWith(QDir::toNativeSeparators(p.Chemin(copies.first()))), qPrintable(dits.first()));
    QCOMPARE(p.Lire_Fichier(copies.first()), editeur);
    QCOMPARE(p.Octets_Log(), Octets({a, b, c, d}));
    QString e = Q("05/03/09", "75001", QStringLiteral("Chateau Contacte"));
    QVERIFY(Ajoute_Ligne(*p.sp, e));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    // The undo crosses the editor's save: the journal saw the same log in both forms.
    QVERIFY(Annuler_Modification(*p.sp));
    QVERIFY(Annuler_Modification(*p.sp));
    QCOMPARE(p.Octets_Log(), Octets({a, b, c}));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Fichiers_Gardes::Qso_Disparus_data()
{
    QTest::addColumn<QString>("editeur"); // what the editor's save left of the log
    QTest::addColumn<int>("reponse");     // to "Remettre ces QSO dans le log ?": 1 Oui, 0 Non, -1 never asked
    QTest::addColumn<bool>("lectureSeule"); // the operator made the log read-only after his save
    QTest::newRow("copie ancienne, Oui") << "copie ancienne" << 1 << false;
    QTest::newRow("copie ancienne, Non") << "copie ancienne" << 0 << false;
    QTest::newRow("copie ancienne, lecture seule") << "copie ancienne" << -1 << true;
    QTest::newRow("rien d'efface") << "rien d'efface" << -1 << false;
    QTest::newRow("un octet change") << "un octet change" << -1 << false;
}

void Tst_Fichiers_Gardes::Qso_Disparus()
{
    QFETCH(QString, editeur);
    QFETCH(int, reponse);
    QFETCH(bool, lectureSeule);
    const QString a = Q("01/03/09", "29001", QStringLiteral("Chateau active"));
    const QString b = Q("02/03/09", "2A012", QStringLiteral("Chateau Contacte"));
    QString c = Q("04/03/09", "56100", QStringLiteral("Chateau Contacte"), "F5AAA");
    QString d = Q("05/03/09", "75001", QStringLiteral("Chateau Contacte"), "F6BBB");
    // A line the operator typed in his editor, dated after the QSOs the program recorded.
    const QString e = Q("06/03/09", "35007", QStringLiteral("Chateau Contacte"), "F1CCC");
    Demarrer_Sur(p, {a, b});
    QVERIFY(Ajoute_Ligne(*p.sp, c));
    QVERIFY(Ajoute_Ligne(*p.sp, d));
    QByteArray laisse;
    if (editeur == QLatin1String("copie ancienne")) {
        // The editor open since the morning saves its copy, with his line, over the log.
        laisse = Octets({a, b, e});
    } else if (editeur == QLatin1String("rien d'efface")) {
        // Every line there, in the editor's own form: LF ends, the end blanks gone.
        for (const QString& l : {a, b, c, d, e}) {
            QByteArray ligne = Texte1252::Encoder(l);
            while (ligne.endsWith(' '))
                ligne.chop(1);
            laisse += ligne + '\n';
        }
    } else {
        // He corrects a callsign the program wrote: that QSO is changed, not gone.
        laisse = Octets({a, b, c, d});
        laisse[laisse.indexOf("F5AAA") + 4] = 'B';
    }
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), laisse);
    QFile log(p.Log());
    if (lectureSeule)
        QVERIFY(log.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    if (reponse >= 0)
        p.plateforme->reponses.append(reponse == 1);
    Main_Test* m = p.Redemarrer();
    QStringList dits = p.plateforme->Prendre_Messages();
    QCOMPARE(p.plateforme->questionsImprevues, QStringList());
    const QStringList copies = QDir(p.Repertoire()).entryList({QStringLiteral("F1ABC_Challenge_KVRT_2009_qso_disparus_*.txt")});
    if (lectureSeule) {
        // Said and kept all the same; the log he made read-only is not written.
        QVERIFY(log.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(dits.size(), 1);
        QCOMPARE(copies.size(), 1);
        QVERIFY2(dits.first().startsWith(QStringLiteral("Le log ne contient plus 2 QSO "))
                     && dits.first().endsWith(QStringLiteral("\r\nLe log est en lecture seule : ces QSO n'y ont pas été remis.")),
                 qPrintable(dits.first()));
        QCOMPARE(p.Lire_Fichier(copies.first()), Octets({c, d}));
        dits.clear();
    }
    QCOMPARE(dits, QStringList());
    if (reponse < 0) {
        // Nothing asked, and the log stays as he saved it.
        QCOMPARE(p.plateforme->questions, QStringList());
        QCOMPARE(copies.size(), lectureSeule ? 1 : 0);
        QCOMPARE(p.Octets_Log(), laisse);
        QVERIFY(garde.fermees.isEmpty());
        return;
    }
    // How many and which, the file that keeps them, the journal set aside; then the question.
    QCOMPARE(p.plateforme->questions.size(), 1);
    const QString q = p.plateforme->questions.first();
    QCOMPARE(copies.size(), 1);
    QVERIFY2(q.startsWith(QStringLiteral("Le log ne contient plus 2 QSO "))
                 && q.contains(QStringLiteral("\r\n04/03/09  F5AAA  KVRT 56100\r\n05/03/09  F6BBB  KVRT 75001\r\n"))
                 && q.contains(QDir::toNativeSeparators(p.Chemin(copies.first())))
                 && q.contains(QStringLiteral("L'historique des modifications a été mis de côté"))
                 && q.endsWith(QStringLiteral("\r\nRemettre ces QSO dans le log ?")),
             qPrintable(q));
    QCOMPARE(p.Lire_Fichier(copies.first()), Octets({c, d}));
    if (reponse == 0) {
        QCOMPARE(p.Octets_Log(), laisse);
        QCOMPARE(m->Nombre_Lignes(), 3);
    } else {
        // At their dates, before his line, in one change that one undo takes back.
        QCOMPARE(p.Octets_Log(), Octets({a, b, c, d, e}));
        QCOMPARE(m->Nombre_Lignes(), 5);
        QCOMPARE(p.sp->Operation_A_Annuler(), QStringLiteral("remise de 2 QSO disparus"));
        QVERIFY(Annuler_Modification(*p.sp));
        QCOMPARE(p.Octets_Log(), laisse);
    }
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Fichiers_Gardes::Controle_Du_Journal_Rendu()
{
    // The start-up check shows nothing itself: what it found comes back for the window to say
    // and to ask, and the QSOs go back only when asked to.
    const QString a = Q("01/03/09", "29001", QStringLiteral("Chateau active"));
    const QString c = Q("04/03/09", "56100", QStringLiteral("Chateau Contacte"), "F5AAA");
    // The editor open since before c saves his own line over it.
    const QString e = Q("06/03/09", "35007", QStringLiteral("Chateau Contacte"), "F1CCC");
    Demarrer_Sur(p, {a});
    QVERIFY(Ajoute_Ligne(*p.sp, c));
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), Octets({a, e}));
    // The next start, the module alone.
    delete p.main;
    p.main = nullptr;
    p.sp = std::make_unique<Sous_Programmes>(*p.plateforme, *p.reglages);
    p.sp->Choisir_Station(QStringLiteral("F1ABC"), QStringLiteral("2009"));
    const Sous_Programmes::Controle_Journal controle = p.sp->Verifier_Journal();
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QCOMPARE(p.plateforme->questions, QStringList());
    QCOMPARE(controle.messages, QStringList());
    QVERIFY2(controle.question.endsWith(QStringLiteral("\r\nRemettre ces QSO dans le log ?")), qPrintable(controle.question));
    QCOMPARE(controle.disparues, QList<QByteArray>{Texte1252::Encoder(c)});
    QCOMPARE(p.Octets_Log(), Octets({a, e}));
    const Resultat_Changement r = p.sp->Remettre_Qso_Disparus(controle);
    QVERIFY(r.fait);
    QCOMPARE(r.messages, QStringList());
    QCOMPARE(p.Octets_Log(), Octets({a, c, e}));
}

QTEST_MAIN(Tst_Fichiers_Gardes)
#include "tst_fichiers_gardes.moc"
