// A log that has gone missing: the recovery window at start-up and later, on real widgets
// and a real settings file.

#include "Gestion_Erreur.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Station.h"

#include <QListView>
#include <QStringListModel>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

// What the recovery window showed, read while it was open.
struct Vu
{
    bool ouverte = false;
    bool modale = false;
    bool principaleVisible = false;
    QString titre;
    QString indicatif;
    QString fichier;
    QStringList textes;
};

static Vu Lire(Gestion_Erreur* g, const Programme_Test& p)
{
    Vu vu;
    vu.ouverte = g->isVisible();
    vu.modale = g->isModal();
    vu.principaleVisible = p.sp->Fenetre_Principale() && p.sp->Fenetre_Principale()->isVisible();
    vu.titre = g->windowTitle();
    vu.indicatif = Controle<QLabel>(g, "Ind_Station")->text();
    vu.fichier = Controle<QLabel>(g, "Ind_Station1")->text() + Controle<QLabel>(g, "Err_Departement")->text();
    for (QLabel* l : {Controle<QLabel>(g, "Label2"), Controle<QLabel>(g, "Label3"), Controle<QLabel>(g, "Label6"), Controle<QLabel>(g, "Label7"), Controle<QLabel>(g, "Label1"), Controle<QLabel>(g, "Label9")})
        vu.textes << l->text();
    vu.textes << Controle<QPushButton>(g, "Initialisation")->text() << Controle<QPushButton>(g, "Quitter")->text();
    return vu;
}

// Runs `action` on the recovery window as soon as it opens, once what it shows is read into
// `vu`; any other window is unexpected: closed out of the way, so that the checks then fail.
static void Sur_Recuperation(Vu& vu, const Programme_Test& p, std::function<void(Gestion_Erreur*)> action)
{
    Sur_Modal([&vu, &p, action](QWidget* w) {
        auto* g = qobject_cast<Gestion_Erreur*>(w);
        if (!g) {
            w->close();
            return;
        }
        vu = Lire(g, p);
        action(g);
    });
}

static QStringList Fichiers(const Programme_Test& p)
{
    return QDir(p.Repertoire()).entryList(QDir::Files, QDir::Name);
}


class Tst_Recuperation : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void log_disparu_initialiser_puis_quitter();
    void quitter_sans_initialiser();
    void fermer_par_le_cadre();
    void log_disparu_en_cours_de_route();
    void autre_erreur_de_lecture();
};

void Tst_Recuperation::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void Tst_Recuperation::log_disparu_initialiser_puis_quitter()
{
    p.Installer_Station(QStringLiteral("F1ABC_P"), QStringLiteral("2009"));
    QVERIFY(QFile::remove(p.Log(QStringLiteral("F1ABC_P"), QStringLiteral("2009"))));
    const QStringList avant = Fichiers(p);

    Vu vu;
    QString indicatifApres, anneeApres;
    bool ouverteApresInitialiser = false;
    Sur_Recuperation(vu, p, [&](Gestion_Erreur* g) {
        Cliquer_Dans(Controle<QPushButton>(g, "Initialisation"));
        indicatifApres = Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString());
        anneeApres = Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC_P"), QStringLiteral("Annee Challenge"), QString());
        ouverteApresInitialiser = g->isVisible();
        Cliquer_Dans(Controle<QPushButton>(g, "Quitter"));
    });
    Main_Test* m = p.Demarrer();

    QVERIFY(vu.ouverte);
    QVERIFY(vu.modale);
    QVERIFY(vu.principaleVisible); // the main window is shown before the log is read
    QCOMPARE(vu.titre, QStringLiteral("Interception erreur 53"));
    QCOMPARE(vu.indicatif, QStringLiteral("F1ABC_P"));
    QCOMPARE(vu.fichier, QStringLiteral("F1ABC_P_Challenge_KVRT_2009.txt"));
    QCOMPARE(vu.textes, (QStringList{
        QStringLiteral("ERREUR 53"),
        QStringLiteral("QEZ_Challenge_KVRT a trouvé dans la base de registre l'indicatif  : "),
        QStringLiteral("Il n'a par contre pas trouvé dans son répértoire le fichier :"),
        QStringLiteral("Pour remèdier à cet état, cliquez sur \"Initialiser\" puis sur \"Quitter\""),
        QStringLiteral("Relancez QEZ_Challenge_KVRT une boite de dialogue vous demandera alors "),
        QStringLiteral("de spécifier votre indicatif et l'année du challenge"),
        QStringLiteral("Initialiser"), QStringLiteral("Quitter")}));
    // "Initialiser" resets the two settings and leaves the window open.
    QCOMPARE(indicatifApres, QStringLiteral("FXXXX"));
    QCOMPARE(anneeApres, QStringLiteral("20xx"));
    QVERIFY(ouverteApresInitialiser);
    // "Quitter" ends the program; start-up went no further than the total.
    QVERIFY(p.sp->Programme_Termine());
    QVERIFY(!m->isVisible());
    QVERIFY(m->Total_Points->text().isEmpty());
    QCOMPARE(m->Nombre_Lignes(), 0);
    QVERIFY(p.plateforme->messages.isEmpty());
    // The log files are not touched.
    QCOMPARE(Fichiers(p), avant);

    // The next start is a first installation; the Station window is closed by its frame.
    bool station = false;
    Sur_Modal([&](QWidget* w) {
        station = qobject_cast<Station*>(w) != nullptr;
        Fermer_Par_Le_Cadre(w);
    });
    m = p.Redemarrer();
    QCOMPARE(p.plateforme->messages,
             QStringList{QStringLiteral("Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge")});
    QVERIFY(station);
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("FXXXX"));
    QVERIFY(m->isVisible());
    QCOMPARE(m->Nombre_Lignes(), 0);
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recuperation::quitter_sans_initialiser()
{
    p.Installer_Station();
    QVERIFY(QFile::remove(p.Log()));

    QByteArray reglagesAvant, reglagesApres;
    QStringList fichiersAvant;
    Vu vu;
    Sur_Recuperation(vu, p, [&](Gestion_Erreur* g) {
        QFile f(p.reglages->Fichier());
        f.open(QIODevice::ReadOnly);
        reglagesAvant = f.readAll();
        fichiersAvant = Fichiers(p);
        Cliquer_Dans(Controle<QPushButton>(g, "Quitter"));
    });
    p.Demarrer();
    QVERIFY(vu.ouverte);
    QVERIFY(p.sp->Programme_Termine());
    QFile f(p.reglages->Fichier());
    QVERIFY(f.open(QIODevice::ReadOnly));
    reglagesApres = f.readAll();
    QCOMPARE(reglagesApres, reglagesAvant);
    QCOMPARE(Fichiers(p), fichiersAvant);
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Annee Challenge"), QString()), QStringLiteral("2009"));

    // The next start shows the same window again; this time it is left from the keyboard,
    // Tab up to "Quitter" and Enter.
    Vu encore;
    Sur_Recuperation(encore, p, [&](Gestion_Erreur* g) {
        Activer(g);
        for (int i = 0; i < 10 && !Focus_Dans(Controle<QPushButton>(g, "Quitter")); ++i)
            Touche_Ici(g, Qt::Key_Tab);
        Entree(Controle<QPushButton>(g, "Quitter"));
    });
    p.Redemarrer();
    QVERIFY(encore.ouverte);
    QCOMPARE(encore.indicatif, QStringLiteral("F1ABC"));
    QCOMPARE(encore.fichier, QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recuperation::fermer_par_le_cadre()
{
    p.Installer_Station();
    QVERIFY(QFile::remove(p.Log()));
    bool vue = false;
    bool centree = false;
    Sur_Modal([&](QWidget* w) {
        vue = qobject_cast<Gestion_Erreur*>(w) != nullptr;
        centree = QTest::qWaitForWindowExposed(w) && Centree(w);
        Fermer_Par_Le_Cadre(w);
    });
    Main_Test* m = p.Demarrer();
    QVERIFY(vue);
    QVERIFY(centree);
    // The main window stays, without list or total, until a quit command.
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(m->isVisible());
    QVERIFY(m->Total_Points->text().isEmpty());
    QCOMPARE(m->Nombre_Lignes(), 0);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC"));
    // The clock runs all the same: its next tick shows the time.
    QVERIFY(m->Timer1->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(m->Label37->text(), QStringLiteral("14:07 Utc"), 5000);
    QCOMPARE(m->Label33->text(), QStringLiteral("28/03/09"));
    Choisir_Menu(m->Mnu_Quitter);
    QVERIFY(p.sp->Programme_Termine());
    QVERIFY(!m->isVisible());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recuperation::log_disparu_en_cours_de_route()
{
    // The log goes away while the program runs; the next total of points meets it
    // missing and opens the recovery window, for the station in use.
    p.Installer_Station(QStringLiteral("F2XYZ"), QStringLiteral("2010"));
    p.Ecrire_Log({Enr(QStringLiteral("02/03/09"), QStringLiteral("77001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ"))},
                 QStringLiteral("F2XYZ"), QStringLiteral("2010"));
    Main_Test* m = p.Demarrer();
    QCOMPARE(m->Nombre_Lignes(), 1);
    QVERIFY(!m->Total_Points->text().isEmpty());
    Cliquer_Ligne(m->Liste_KVRT, 0);
    QVERIFY(m->Annule_Saisie->isEnabled());
    QVERIFY(QFile::remove(p.Log(QStringLiteral("F2XYZ"), QStringLiteral("2010"))));

    Vu vu;
    Sur_Recuperation(vu, p, [](Gestion_Erreur* g) { Cliquer_Dans(Controle<QPushButton>(g, "Quitter")); });
    // "Supprimer un QSO", answered Non: nothing is written, the total is read again.
    p.plateforme->reponses = {false};
    Cliquer_Dans(m->Annule_Saisie);
    QVERIFY(vu.ouverte);
    QVERIFY(vu.principaleVisible);
    QCOMPARE(vu.indicatif, QStringLiteral("F2XYZ"));
    QCOMPARE(vu.fichier, QStringLiteral("F2XYZ_Challenge_KVRT_2010.txt"));
    QVERIFY(p.sp->Programme_Termine());
    QVERIFY(!QFile::exists(p.Log(QStringLiteral("F2XYZ"), QStringLiteral("2010"))));
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recuperation::autre_erreur_de_lecture()
{
    // Any error other than a missing file is told and ends the program; no recovery window.
    p.Installer_Station();
    QVERIFY(QFile::remove(p.Log()));
    QVERIFY(QDir().mkdir(p.Log()));
    bool modale = false;
    QTimer* guet = Sur_Modal([&](QWidget* w) {
        modale = true;
        w->close();
    });
    Main_Test* m = p.Demarrer();
    QTest::qWait(100);
    QVERIFY(!modale);
    delete guet;
    QCOMPARE(p.plateforme->messages.size(), 1);
    QVERIFY2(p.plateforme->messages.first().startsWith(QStringLiteral("Erreur N° 75")), qPrintable(p.plateforme->messages.first()));
    QVERIFY(p.sp->Programme_Termine());
    QVERIFY(!m->isVisible());
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC"));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Recuperation)
#include "tst_recuperation.moc"
