// The window "Vérification du log" and the folder to send: opened from the menu, its findings
// and the line they lead to in the main list, and the folder written beside the log (its files
// read back from the disk), or nothing at all.

#include "Cas_Programme.h"
#include "Main_Test.h"
#include "Outils_Test.h"
#include "Types_Activite.h"
#include "Verification_Envoi.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#ifdef Q_OS_UNIX
#include "Utilisateur_Ordinaire.h"
#include <unistd.h>
#endif

namespace {

const QString Nom_Dossier = QStringLiteral("F1ABC_Challenge_KVRT_2009_envoi_28_03_09");

QList<Verification_Envoi*> Fenetres()
{
    QList<Verification_Envoi*> f;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<Verification_Envoi*>(w); v && v->isVisible())
            f << v;
    return f;
}

Verification_Envoi* Ouvrir(Main_Test* m)
{
    Activer(m);
    Choisir_Menu(Controle<QAction>(m, "Mnu_Verifier_Envoi"));
    const QList<Verification_Envoi*> f = Fenetres();
    return f.size() == 1 ? f.first() : nullptr;
}

// Everything in the folder of the logs, hidden names included.
QStringList Tout(const QString& dossier)
{
    return QDir(dossier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class Tst_Envoi : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void constats_et_ligne_choisie();
    void dossier_envoi();
    void dossier_impossible_data();
    void dossier_impossible();
};

void Tst_Envoi::initTestCase()
{
    // The castle list is kept in the user's data folder: a test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
}

// The findings of a planted log, a castle list loaded meanwhile, and a finding that leads to
// its line, one double click away from being edited.
void Tst_Envoi::constats_et_ligne_choisie()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Cc), Q("31/12/08", "29002", Cc), Q("02/03/09", "29003", Cc),
                                    Q("03/03/09", "29001", Ca, "F5AAA")});
    Verification_Envoi* f = Ouvrir(m);
    QVERIFY(f);
    // A second time the same window comes forward.
    QCOMPARE(Ouvrir(m), f);
    QCOMPARE(f->windowTitle(), QStringLiteral("Vérification du log"));
    auto* resume = Controle<QLabel>(f, "Label_Resume");
    auto* liste = Controle<QListView>(f, "Liste_Constats");
    auto texte = [liste](int rangee) { return liste->model()->index(rangee, 0).data().toString(); };
    QCOMPARE(resume->text(), QStringLiteral("Points : 12 validés · 0 en attente · 1 département. "
                                            "2 remarques à revoir avant d'envoyer le log aux organisateurs."));
    QCOMPARE(liste->model()->rowCount(), 2);
    QVERIFY(texte(0).startsWith(QStringLiteral("ligne 2 : ")));
    QCOMPARE(texte(1), QStringLiteral("ligne 4 : le château KVRT 29001 a déjà été contacté le 01/03/09 (ligne 1) : "
                                                     "ce QSO doit avoir le type « Double ou non validé »"));
    QCOMPARE(Controle<QLabel>(f, "Label_Envoi")->text(), QStringLiteral("Aucun dossier d'envoi n'a encore été préparé pour ce log."));

    // A castle list without 29003: one more finding, at its line.
    p.Ecrire_Fichier(QStringLiteral("chateaux.csv"), "29001;Ch\xE2teau de Brest\r\n29002;Ch\xE2teau de Kerjean\r\n");
    QSignalSpy chargee(m->Veille(), &Veille_Spots::Chargement_Fini);
    m->Veille()->Charger_Liste(p.Chemin(QStringLiteral("chateaux.csv")), m);
    QVERIFY(chargee.wait());
    p.plateforme->Prendre_Messages();
    QCOMPARE(liste->model()->rowCount(), 3);
    QCOMPARE(texte(1), QStringLiteral("ligne 3 : le château KVRT 29003 n'est pas dans la liste des châteaux"));

    // The duplicate chosen: the fourth line of the main list, then edited there.
    Cliquer_Ligne(liste, 2, true);
    QCOMPARE(m->Ligne_Courante(), 3);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F5AAA"));
    Cliquer_Ligne(m->Liste_KVRT, 3, true);
    QVERIFY(m->Mode_Modification());
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("29001"));
    QCOMPARE(Fenetres().size(), 1);
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(QFile::remove(Veille_Spots::Fichier_Liste()));
    QVERIFY(garde.fermees.isEmpty());
}

// The folder beside the log: the log's own bytes (an editor's line ends kept), the export the
// menu writes, a one-page PDF and hashes that `sha256sum -c` accepts; a QSO typed after it is
// said in the window.
void Tst_Envoi::dossier_envoi()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Cc), Q("02/03/09", "2A001", Ca, "F6BBB", true)});
    QByteArray editeur = p.Octets_Log();
    editeur.replace("\r\n", "\n");
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), editeur);
    Choisir_Menu(m->Mnu_Enr_Contacte);
    p.plateforme->Prendre_Messages();
    const QString nomExport = QStringLiteral("F1ABC_Challenge_KVRT_2009_28_03_09.txt");
    const QByteArray export_ = p.Lire_Fichier(nomExport);
    QVERIFY(export_.contains("2A001"));

    Verification_Envoi* f = Ouvrir(m);
    QVERIFY(f);
    QStringList apres = Tout(p.Repertoire()) << Nom_Dossier;
    apres.sort();
    // Twice the same day: the second folder replaces the first.
    for (int fois = 0; fois < 2; ++fois) {
        Cliquer_Dans(Controle<QPushButton>(f, "Preparer_Envoi"));
        QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
        QCOMPARE(Tout(p.Repertoire()), apres);
    }
    const QString dossier = p.Chemin(Nom_Dossier);
    const QStringList fichiers{QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), nomExport,
                               QStringLiteral("F1ABC_Challenge_KVRT_2009_resume.pdf"), QStringLiteral("SHA256SUMS.txt")};
    QStringList tries = fichiers;
    tries.sort();
    QCOMPARE(Tout(dossier), tries);
    auto lire = [&](const QString& nom) { return p.Lire_Fichier(Nom_Dossier + QLatin1Char('/') + nom); };
    QCOMPARE(lire(fichiers[0]), editeur);
    QCOMPARE(lire(fichiers[1]), export_);
    const QByteArray pdf = lire(fichiers[2]);
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
    QByteArray sommes;
    for (int i = 0; i < 3; ++i)
        sommes += QCryptographicHash::hash(lire(fichiers[i]), QCryptographicHash::Sha256).toHex() + "  " + fichiers[i].toUtf8() + '\n';
    QCOMPARE(lire(fichiers[3]), sommes);

    auto* envoi = Controle<QLabel>(f, "Label_Envoi");
    QCOMPARE(envoi->text(), QStringLiteral("Dossier d'envoi préparé le 28/03/2009 à 15:07 :\n") + QDir::toNativeSeparators(dossier));
    Cliquer_Dans(Controle<QPushButton>(f, "Ouvrir_Envoi"));
    QCOMPARE(p.plateforme->dossiersOuverts, QStringList{dossier});

    // A QSO typed: the folder no longer holds the log.
    Activer(m);
    Saisir(m, QStringLiteral("F5XYZ"), 0, QStringLiteral("35001"));
    Entree(m->Valide_A);
    QVERIFY(envoi->text().startsWith(QStringLiteral("Le log a changé depuis le dossier d'envoi du 28/03/2009 à 15:07")));
    QCOMPARE(lire(fichiers[0]), editeur);
    // The log an editor saved is written back in the program's form, the editor's kept aside.
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(QStringLiteral("version_editeur")));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Envoi::dossier_impossible_data()
{
    QTest::addColumn<QString>("cas");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("dossier en lecture seule") << QStringLiteral("lecture seule")
                                              << QStringLiteral("Erreur N° 70 : impossible de créer le dossier d'envoi dans\r\n%1\r\n(permission refusée).");
    QTest::newRow("log disparu") << QStringLiteral("log disparu") << QStringLiteral("(fichier introuvable).");
    QTest::newRow("un fichier a le nom du dossier")
        << QStringLiteral("fichier")
        << QStringLiteral("Erreur N° 75 : un fichier porte déjà le nom du dossier d'envoi\r\n%1") + QDir::separator() + Nom_Dossier
               + QStringLiteral("\r\n(chemin ou fichier inaccessible).");
}

// Nothing written, one sentence said, and the folder of the logs as it was, hidden names included.
void Tst_Envoi::dossier_impossible()
{
    QFETCH(QString, cas);
    QFETCH(QString, attendu);
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Cc)});
    Verification_Envoi* f = Ouvrir(m);
    QVERIFY(f);
    if (cas == QLatin1String("log disparu"))
        QVERIFY(QFile::remove(p.Log()));
    if (cas == QLatin1String("fichier"))
        p.Ecrire_Fichier(Nom_Dossier, "à moi");
    const QStringList avant = Tout(p.Repertoire());
    const QFile::Permissions droits = QFile::permissions(p.Repertoire());
    if (cas == QLatin1String("lecture seule"))
        QVERIFY(QFile::setPermissions(p.Repertoire(), QFile::ReadOwner | QFile::ExeOwner));
    Cliquer_Dans(Controle<QPushButton>(f, "Preparer_Envoi"));
    QFile::setPermissions(p.Repertoire(), droits);
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    if (attendu.contains(QLatin1String("%1")))
        attendu = attendu.arg(QDir::toNativeSeparators(p.Repertoire()));
    QVERIFY2(messages.first().contains(attendu), qPrintable(messages.first()));
    QVERIFY(messages.first().endsWith(QStringLiteral("\r\nLe dossier d'envoi n'a pas été préparé.")));
    QCOMPARE(Tout(p.Repertoire()), avant);
    QCOMPARE(Controle<QLabel>(f, "Label_Envoi")->text(), QStringLiteral("Aucun dossier d'envoi n'a encore été préparé pour ce log."));
    QVERIFY(garde.fermees.isEmpty());
}

int main(int argc, char* argv[])
{
#ifdef Q_OS_UNIX
    // Root writes in a read-only folder: as root, the tests run again as an ordinary user.
    if (::geteuid() == 0 && !Utilisateur_Ordinaire::Relance())
        return Utilisateur_Ordinaire::Relancer(argv);
#endif
    QApplication app(argc, argv);
    Tst_Envoi t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_envoi.moc"
