// The import window and the ADIF export on the real main window: menus opened with their Alt
// letters, the file chosen in the file dialog, the preview, Importer and Annuler, all typed
// and clicked through the top-level windows; then the log's bytes and what an independent
// reader (the npm package adif-parser-ts under node) makes of our export.

#include "Adif.h"
#include "Echange_Adif.h"
#include "Enregistrement.h"
#include "Filtre_Touches.h"
#include "Import_Adif.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Reglages.h"
#include "Texte1252.h"
#include "Types_Activite.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

using Echange_Adif::Verdict;

namespace {


const QByteArray Fichier_Exemple =
    "Export de mon logiciel de trafic\r\n<ADIF_VER:5>3.1.4 <PROGRAMID:6>LOGGER <EOH>\r\n"
    // 1: a castle contacted, to add
    "<QSO_DATE:8>20090320 <TIME_ON:4>1412 <CALL:7>f6xyz/p <BAND:3>40m <MODE:3>SSB <SIG:4>KVRT <SIG_INFO:5>77001 <EOR>\r\n"
    // 2: already in the log
    "<QSO_DATE:8>20090305 <CALL:5>F5AAA <SIG:4>kvrt <SIG_INFO:5>29001 <EOR>\r\n"
    // 3: an activation, to add, before the QSOs of the same day
    "<call:5>F4BBB <qso_date:8>20090305 <my_sig:4>KVRT <my_sig_info:5>2a001 <eor>\r\n"
    // 4: another year
    "<QSO_DATE:8>20081230 <CALL:5>F4CCC <SIG:4>KVRT <SIG_INFO:5>01001 <EOR>\r\n"
    // 5: no castle reference, unless the comments are searched
    "<QSO_DATE:8>20090310 <CALL:5>F4DDD <COMMENT:19>chateau KVRT 89002 <EOR>\r\n"
    // 6: a castle already contacted, added and flagged
    "<QSO_DATE:8>20090325 <CALL:5>F1ZZZ <SIG:4>KVRT <SIG_INFO:5>29001 <EOR>\r\n"
    // 7: a callsign too long
    "<QSO_DATE:8>20090326 <CALL:13>F1ZZZ/P/ABCDE <SIG:4>KVRT <SIG_INFO:5>29002 <EOR>\r\n";

// An export of some megabytes: thousands of QSOs, one in fifty with a castle reference.
QByteArray Gros_Fichier(qsizetype taille, int& chateaux)
{
    QByteArray gros = "Export\r\n<EOH>\r\n";
    chateaux = 0;
    for (int i = 0; gros.size() < taille; ++i) {
        gros += "<QSO_DATE:8>20090" + QByteArray::number(1 + i % 9) + "15 <CALL:6>F" + QByteArray::number(10000 + i % 90000)
                + " <BAND:3>40m <MODE:3>SSB <COMMENT:22>Merci pour le QSO, 73";
        if (i % 50 == 0) {
            gros += " <SIG:4>KVRT <SIG_INFO:5>" + QByteArray::number(60000 + chateaux);
            ++chateaux;
        }
        gros += " <EOR>\r\n";
    }
    return gros;
}

const QStringList Log_Depart = {
    Q("01/03/09", "29001", Cc, "F5AAA"),
    Q("05/03/09", "29001", Cc, "F5AAA"),
    Q("05/03/09", "2B002", Ca, "F6XYZ"),
    Q("21/03/09", "75001", Cc, "F5EEE"),
};

} // namespace

class Tst_Import_Adif : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void menus_et_lettres();
    void importer_depuis_le_menu();
    void annuler_n_ecrit_rien_et_un_second_import_n_ajoute_rien();
    void options_de_la_fenetre();
    void apercu_des_fichiers_d_autres_programmes_data();
    void apercu_des_fichiers_d_autres_programmes();
    void valeurs_sig_retenues();
    void disque_plein_a_l_import();
    void fichiers_refuses_data();
    void fichiers_refuses();
    void gros_fichier_et_barre_de_progression();
    void autre_chose_qu_un_fichier_data();
    void autre_chose_qu_un_fichier();
    void lecture_annulee_data();
    void lecture_annulee();
    void comme_la_saisie_en_insertion();
    void export_relu_par_notre_import();
    void export_lu_par_un_lecteur_independant();
    void export_impossible();

private:
    QStringList filtresVus; // the file dialog's filters, when Ouvrir last showed it
    Main_Test* Demarrer(Programme_Test& p, const QStringList& log, const QString& indicatif = QStringLiteral("F1ABC"));
    Import_Adif* Ouvrir(Programme_Test& p, Main_Test* m, const QString& chemin);
};

void Tst_Import_Adif::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    qApp->installEventFilter(new Entree_Sur_Boutons(qApp));
    // A write past the size limit fails with EFBIG instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
}

Main_Test* Tst_Import_Adif::Demarrer(Programme_Test& p, const QStringList& log, const QString& indicatif)
{
    p.Installer_Station(indicatif);
    p.Ecrire_Log(log, indicatif);
    Main_Test* m = p.Demarrer();
    Activer(m);
    p.plateforme->Prendre_Messages();
    return m;
}

// Opens the window by its menu, chooses the file in the open dialog, and waits for the preview.
Import_Adif* Tst_Import_Adif::Ouvrir(Programme_Test& p, Main_Test* m, const QString& chemin)
{
    const qsizetype avant = p.plateforme->dialogues.size();
    p.plateforme->fichiers = {chemin};
    Activer(m);
    Choisir_Menu(m->Mnu_Importer_Adif);
    if (p.plateforme->dialogues.size() == avant || !m->Fenetre_Import_Adif())
        return nullptr;
    filtresVus = p.plateforme->filtres.last().split(QStringLiteral(";;"));
    Import_Adif* f = m->Fenetre_Import_Adif();
    // The window asks to be active again once the dialog is gone; the offscreen platform has
    // no window manager to grant it, so the test does.
    if (!QTest::qWaitForWindowActive(f, 500))
        Activer(f);
    return f;
}

void Tst_Import_Adif::menus_et_lettres()
{
    Main_Test* m = Demarrer(p, {});
    QCOMPARE(m->Mnu_Importer_Adif->text(), QStringLiteral("&Importer un fichier ADIF…"));
    QCOMPARE(m->Mnu_Enr_Adif->text(), QStringLiteral("le log au format &ADIF"));
    QCOMPARE(m->Mnu_Importer_Adif->parent(), m->Mnu_Fichier);
    QCOMPARE(m->Mnu_Enr_Adif->parent(), m->Mnu_Enregistre);
    // Within the two menus that hold them, no two items share their Alt letter.
    for (QMenu* menu : {m->Mnu_Fichier, m->Mnu_Enregistre}) {
        QStringList lettres;
        for (QAction* a : menu->actions()) {
            const qsizetype i = a->text().indexOf(u'&');
            if (i < 0 || i + 1 >= a->text().size())
                continue;
            const QString l = a->text().mid(i + 1, 1).toUpper();
            QVERIFY2(!lettres.contains(l), qPrintable(menu->title() + QStringLiteral(" : ") + a->text()));
            lettres.append(l);
        }
    }
    // The window's own letters, each once.
    Import_Adif fenetre(*p.sp);
    QStringList lettres;
    for (QWidget* w : fenetre.findChildren<QWidget*>()) {
        QString texte;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            texte = b->text();
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
            texte = l->text();
        const qsizetype i = texte.indexOf(u'&');
        if (i < 0)
            continue;
        const QString l = texte.mid(i + 1, 1).toUpper();
        QVERIFY2(!lettres.contains(l), qPrintable(texte));
        lettres.append(l);
    }
    QCOMPARE(lettres.size(), 8);
}

void Tst_Import_Adif::importer_depuis_le_menu()
{
    Main_Test* m = Demarrer(p, Log_Depart);
    const QByteArray avant = p.Octets_Log();
    p.Ecrire_Fichier(QStringLiteral("trafic.adi"), Fichier_Exemple);

    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("trafic.adi")));
    QVERIFY(f);
    QVERIFY(f->isVisible());
    QVERIFY(Controle<QLabel>(f, "Label_Fichier")->text().contains(QStringLiteral("trafic.adi")));
    // The preview says what becomes of each QSO, and nothing is written yet.
    const QList<Echange_Adif::Qso_Import>& q = f->Qsos();
    QCOMPARE(q.size(), 7);
    const QList<Verdict> attendus = {Verdict::Ajoute,         Verdict::Deja_Dans_Log, Verdict::Ajoute,
                                     Verdict::Autre_Annee,    Verdict::Sans_Reference, Verdict::Ajoute_Deja_Vu,
                                     Verdict::Refuse};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(q.at(i).verdict, attendus.at(i));
    QAbstractItemModel* modele = Controle<QTableView>(f, "Apercu")->model();
    QCOMPARE(modele->rowCount(), 7);
    QCOMPARE(modele->index(0, 2).data().toString(), QStringLiteral("F6XYZ/P"));
    QCOMPARE(modele->index(2, 3).data().toString(), QStringLiteral("2A001"));
    QCOMPARE(modele->index(2, 4).data().toString(), Ca);
    QCOMPARE(modele->index(5, 5).data().toString(), QStringLiteral("à ajouter, Chateau déjà contacté le 05/03/09"));
    QCOMPARE(modele->index(3, 5).data().toString(), QStringLiteral("année 2008, pas celle du Challenge"));
    QCOMPARE(modele->index(6, 5).data().toString(), QStringLiteral("refusé : indicatif de plus de 12 caractères"));
    QCOMPARE(Controle<QLabel>(f, "Resume")->text(), QStringLiteral("7 QSO dans le fichier, 3 à ajouter, dont 1 d'un Chateau déjà contacté, "
                                               "1 déjà dans le log, 1 d'une autre année, 1 sans référence KVRT, 1 refusé."));
    QVERIFY(Controle<QPushButton>(f, "Importer")->isEnabled());
    QCOMPARE(p.Octets_Log(), avant);
    QVERIFY(p.plateforme->messages.isEmpty());

    Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("3 QSO ont été ajoutés au log.")});
    QTRY_VERIFY(!m->Fenetre_Import_Adif());
    QCOMPARE(p.Octets_Log(), Octets({
                                 Q("01/03/09", "29001", Cc, "F5AAA"),
                                 Q("05/03/09", "2A001", Ca, "F4BBB"),
                                 Q("05/03/09", "29001", Cc, "F5AAA"),
                                 Q("05/03/09", "2B002", Ca, "F6XYZ"),
                                 Q("20/03/09", "77001", Cc, "F6XYZ/P"),
                                 Q("21/03/09", "75001", Cc, "F5EEE"),
                                 Q("25/03/09", "29001", Cc, "F1ZZZ"),
                             }));
    // The list and the total are those of the new log.
    QCOMPARE(m->Nombre_Lignes(), 7);
    QCOMPARE(m->Texte_Ligne(4), QStringLiteral("    5   ") + Q("20/03/09", "77001", Cc, "F6XYZ/P"));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("22"));

    // The whole import is one change: the menu names it, one Ctrl+Z takes it back, Ctrl+Y
    // brings it again.
    QCOMPARE(p.sp->Operation_A_Annuler(), QStringLiteral("import ADIF de 3 QSO"));
    const QByteArray apres = p.Octets_Log();
    Activer(m);
    QCOMPARE(QApplication::focusWidget(), m->Ind_A);
    Touche_Ici(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), avant);
    QCOMPARE(m->Nombre_Lignes(), 4);
    Touche_Ici(m, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), apres);
    QCOMPARE(m->Nombre_Lignes(), 7);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("22"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::annuler_n_ecrit_rien_et_un_second_import_n_ajoute_rien()
{
    Main_Test* m = Demarrer(p, Log_Depart);
    const QByteArray avant = p.Octets_Log();
    p.Ecrire_Fichier(QStringLiteral("trafic.adi"), Fichier_Exemple);

    // Annuler, by its Alt letter: nothing written.
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("trafic.adi")));
    QVERIFY(f);
    QCOMPARE(f->Qsos().size(), 7);
    Touche_Ici(f, Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(!m->Fenetre_Import_Adif());
    QCOMPARE(p.Octets_Log(), avant);
    QVERIFY(p.plateforme->messages.isEmpty());

    // Imported once, by Alt+I...
    f = Ouvrir(p, m, p.Chemin(QStringLiteral("trafic.adi")));
    QVERIFY(f);
    Touche_Ici(f, Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(p.plateforme->messages, QStringList{QStringLiteral("3 QSO ont été ajoutés au log.")});
    p.plateforme->Prendre_Messages();
    QTRY_VERIFY(!m->Fenetre_Import_Adif());
    const QByteArray apres = p.Octets_Log();
    QVERIFY(apres != avant);

    // ...the same file adds nothing the second time.
    f = Ouvrir(p, m, p.Chemin(QStringLiteral("trafic.adi")));
    QVERIFY(f);
    int ajoutes = 0, dejaLa = 0;
    for (const Echange_Adif::Qso_Import& q : f->Qsos()) {
        ajoutes += q.Ajoute();
        dejaLa += q.verdict == Verdict::Deja_Dans_Log;
    }
    QCOMPARE(ajoutes, 0);
    QCOMPARE(dejaLa, 4);
    QVERIFY(!Controle<QPushButton>(f, "Importer")->isEnabled());
    Cliquer_Dans(Controle<QPushButton>(f, "Annuler"));
    QTRY_VERIFY(!m->Fenetre_Import_Adif());
    QCOMPARE(p.Octets_Log(), apres);

    // QSOs that reach the log while the preview is open are seen at Importer.
    p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), avant);
    f = Ouvrir(p, m, p.Chemin(QStringLiteral("trafic.adi")));
    QVERIFY(f);
    QVERIFY(Controle<QPushButton>(f, "Importer")->isEnabled());
    p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), apres);
    Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Aucun QSO à ajouter : le log n'a pas été modifié.")});
    QCOMPARE(p.Octets_Log(), apres);
    QVERIFY(!Controle<QPushButton>(f, "Importer")->isEnabled());
    Cliquer_Dans(Controle<QPushButton>(f, "Annuler"));
    QTRY_VERIFY(!m->Fenetre_Import_Adif());
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::options_de_la_fenetre()
{
    Main_Test* m = Demarrer(p, Log_Depart);
    p.Ecrire_Fichier(QStringLiteral("trafic.adi"), Fichier_Exemple);
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("trafic.adi")));
    QVERIFY(f);

    // Alt+R searches the comments: record 5 has its castle there.
    // A button's Alt letter clicks it after a short press animation.
    Touche_Ici(f, Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY(Controle<QCheckBox>(f, "Chercher_Texte")->isChecked());
    QCOMPARE(f->Qsos().at(4).verdict, Verdict::Ajoute);
    QCOMPARE(f->Qsos().at(4).reference, QStringLiteral("89002"));
    // Alt+M marks the QSOs waiting for validation.
    Touche_Ici(f, Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(Controle<QCheckBox>(f, "Attente_Validation")->isChecked());
    // Alt+O then Down: the next type for the contacted castles; Alt+V then Down for activations.
    Touche_Ici(f, Qt::Key_O, Qt::AltModifier);
    Touche_Ici(f, Qt::Key_Down);
    QCOMPARE(Controle<QComboBox>(f, "Type_Contacte")->currentIndex(), 1);
    Touche_Ici(f, Qt::Key_V, Qt::AltModifier);
    Touche_Ici(f, Qt::Key_Down);
    QCOMPARE(Controle<QComboBox>(f, "Type_Active")->currentIndex(), 4);
    QCOMPARE(f->Qsos().at(0).type, QStringLiteral("Reactivation Contactee"));
    QCOMPARE(f->Qsos().at(2).type, QStringLiteral("Reactivation activee"));

    Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("4 QSO ont été ajoutés au log.")});
    const QByteArray log = p.Octets_Log();
    QVERIFY(log.contains(Texte1252::Encoder(Q("10/03/09", "89002", QStringLiteral("Reactivation Contactee"), "F4DDD", true))));
    QVERIFY(log.contains(Texte1252::Encoder(Q("05/03/09", "2A001", QStringLiteral("Reactivation activee"), "F4BBB", true))));
    // Waiting QSOs score nothing: the total is the old log's.
    QCOMPARE(m->Total_Points->text(), QStringLiteral("12"));
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::apercu_des_fichiers_d_autres_programmes_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("resume");
    QTest::addColumn<QStringList>("verdicts");

    const QString ajouter = QStringLiteral("à ajouter");
    QTest::newRow("reponse d'un service, sans QSO")
        << "reponse.adi" << QByteArray("Service de confirmation\r\n<PROGRAMID:5>CONFS <EOH>\r\n<APP_CONFS_NUMREC:1>0\r\n")
        << "Aucun QSO dans ce fichier." << QStringList();
    QTest::newRow("reponse d'un service, sans en-tete ni QSO")
        << "reponse.adi" << QByteArray("<PROGRAMID:5>CONFS\r\n") << "Aucun QSO dans ce fichier." << QStringList();
    QTest::newRow("champs aux noms hors des regles")
        << "journal.adi"
        << QByteArray("<QSO_DATE:8>20090320 <CALL:5>F6XYZ <9A/F4XYZ:8>9A/Youth <SIG:4>KVRT <SIG_INFO:5>77001 <EOR>\r\n"
                      "<QSO_DATE:8>20090322 <CALL:5>F6XYZ <9A/F4XYZ:8>9A/Youth <SIG:4>KVRT <SIG_INFO:5>77002 <EOR>\r\n")
        << "2 QSO dans le fichier, 2 à ajouter. 2 champs aux noms hors des règles ADIF ont été ignorés."
        << QStringList{ajouter, ajouter};
    QTest::newRow("dernier enregistrement coupe")
        << "coupe.adi"
        << QByteArray("<QSO_DATE:8>20090320 <CALL:5>F6XYZ <SIG:4>KVRT <SIG_INFO:5>77001 <EOR>\r\n<QSO_DATE:8>20090321 <CALL:5>F5A")
        << "1 QSO dans le fichier, 1 à ajouter. Le dernier enregistrement (N° 2) est incomplet, le fichier est tronqué : "
           "il n'a pas été repris."
        << QStringList{ajouter};
    QTest::newRow("de Chateau a Chateau")
        << "portable.adi"
        << QByteArray("<QSO_DATE:8>20090320 <CALL:5>F6XYZ <SIG:4>KVRT <SIG_INFO:5>77001 <MY_SIG:4>KVRT <MY_SIG_INFO:5>29018 <EOR>")
        << "1 QSO dans le fichier, 1 à ajouter, dont 1 de Chateau à Chateau, compté comme activation."
        << QStringList{"à ajouter (de Chateau à Chateau : compté comme activation, Chateau contacté 77001 non repris)"};
    QTest::newRow("ADX")
        << "trafic.adx"
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ADX>\r\n<RECORDS>\r\n<RECORD><QSO_DATE>20090320</QSO_DATE>"
                      "<CALL>F6XYZ</CALL><SIG>KVRT</SIG><SIG_INFO>77001</SIG_INFO></RECORD>\r\n</RECORDS>\r\n</ADX>\r\n")
        << "1 QSO dans le fichier, 1 à ajouter." << QStringList{ajouter};
    // Castles of the log activated, and one contacted again: each said in its own words.
    QTest::newRow("activation d'un Chateau deja dans le log")
        << "activation.adi"
        << QByteArray("<QSO_DATE:8>20090320 <CALL:5>F6XYZ <MY_SIG:4>KVRT <MY_SIG_INFO:5>29001 <EOR>\r\n"
                      "<QSO_DATE:8>20090321 <CALL:5>F5BBB <SIG:4>KVRT <SIG_INFO:5>2B002 <EOR>\r\n")
        << "2 QSO dans le fichier, 2 à ajouter, dont 1 d'un Chateau déjà contacté, dont 1 activation d'un Chateau déjà "
           "dans le log."
        << QStringList{"à ajouter, activation d'un Chateau déjà dans le log le 05/03/09",
                       "à ajouter, Chateau déjà contacté le 05/03/09"};
    // The longest verdict there is, wider than the test's screen with the other columns.
    QTest::newRow("de Chateau a Chateau, Chateau deja dans le log")
        << "portable.adi"
        << QByteArray("<QSO_DATE:8>20090322 <CALL:5>F6XYZ <SIG:4>KVRT <SIG_INFO:5>77001 <MY_SIG:4>KVRT <MY_SIG_INFO:5>2B002 <EOR>")
        << "1 QSO dans le fichier, 1 à ajouter, dont 1 activation d'un Chateau déjà dans le log, dont 1 de Chateau à "
           "Chateau, compté comme activation."
        << QStringList{"à ajouter, activation d'un Chateau déjà dans le log le 05/03/09 (de Chateau à Chateau : compté comme "
                       "activation, Chateau contacté 77001 non repris)"};
}

void Tst_Import_Adif::apercu_des_fichiers_d_autres_programmes()
{
    QFETCH(QString, nom);
    QFETCH(QByteArray, contenu);
    QFETCH(QString, resume);
    QFETCH(QStringList, verdicts);
    Main_Test* m = Demarrer(p, Log_Depart);
    const QByteArray avant = p.Octets_Log();
    p.Ecrire_Fichier(nom, contenu);
    filtresVus.clear();
    Import_Adif* f = Ouvrir(p, m, p.Chemin(nom));
    QVERIFY(f);
    QVERIFY2(filtresVus.value(0).contains(QStringLiteral("*.adx")), qPrintable(filtresVus.join(u'|')));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QCOMPARE(Controle<QLabel>(f, "Resume")->text(), resume);
    // Each verdict whole in its column: seen in the window, or reached by scrolling sideways
    // when the screen is too narrow; the window stays on its screen.
    QAbstractItemModel* modele = Controle<QTableView>(f, "Apercu")->model();
    QCOMPARE(modele->rowCount(), verdicts.size());
    QTRY_VERIFY(f->screen()->availableGeometry().contains(f->frameGeometry()));
    for (int i = 0; i < verdicts.size(); ++i) {
        const QModelIndex index = modele->index(i, 5);
        QCOMPARE(index.data().toString(), verdicts.at(i));
        QVERIFY2(Controle<QTableView>(f, "Apercu")->columnWidth(5) >= Controle<QTableView>(f, "Apercu")->sizeHintForIndex(index).width(),
                 qPrintable(QStringLiteral("%1 < %2").arg(Controle<QTableView>(f, "Apercu")->columnWidth(5)).arg(Controle<QTableView>(f, "Apercu")->sizeHintForIndex(index).width())));
    }
    const int depasse = Controle<QTableView>(f, "Apercu")->horizontalHeader()->length() - Controle<QTableView>(f, "Apercu")->viewport()->width();
    QVERIFY2(Controle<QTableView>(f, "Apercu")->horizontalScrollBar()->maximum() >= depasse,
             qPrintable(QStringLiteral("%1 < %2").arg(Controle<QTableView>(f, "Apercu")->horizontalScrollBar()->maximum()).arg(depasse)));
    const bool importable = !resume.startsWith(QStringLiteral("Aucun"));
    QCOMPARE(Controle<QPushButton>(f, "Importer")->isEnabled(), importable);
    if (importable) {
        Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
        QCOMPARE(p.plateforme->Prendre_Messages().size(), 1);
        QVERIFY(p.Octets_Log() != avant);
    }
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::valeurs_sig_retenues()
{
    Main_Test* m = Demarrer(p, Log_Depart);
    p.Ecrire_Fichier(QStringLiteral("autre.adi"),
                     "<QSO_DATE:8>20090320 <CALL:5>F6XYZ <SIG:11>Kvrt-Castle <SIG_INFO:5>77001 <EOR>\r\n"
                     "<QSO_DATE:8>20090321 <CALL:5>F5AAA <SIG:4>KVRT <SIG_INFO:5>77002 <EOR>\r\n");
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("autre.adi")));
    QVERIFY(f);
    QCOMPARE(Controle<QLineEdit>(f, "Noms_Sig")->text(), QStringLiteral("KVRT"));
    QCOMPARE(f->Qsos().at(0).verdict, Verdict::Sans_Reference);

    // Alt+S, then the names the other logger writes, any case, and Enter.
    Touche_Ici(f, Qt::Key_S, Qt::AltModifier);
    QVERIFY(Focus_Dans(Controle<QLineEdit>(f, "Noms_Sig")));
    Touche_Ici(f, Qt::Key_A, Qt::ControlModifier);
    Taper_Ici(f, QStringLiteral("kvrt, KVRT-CASTLE"));
    Touche_Ici(f, Qt::Key_Return);
    QCOMPARE(f->Qsos().at(0).verdict, Verdict::Ajoute);
    QCOMPARE(f->Qsos().at(1).verdict, Verdict::Ajoute);
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Noms SIG ADIF"), QString()),
             QStringLiteral("kvrt, KVRT-CASTLE"));
    Cliquer_Dans(Controle<QPushButton>(f, "Annuler"));
    QTRY_VERIFY(!m->Fenetre_Import_Adif());

    // Remembered the next time.
    f = Ouvrir(p, m, p.Chemin(QStringLiteral("autre.adi")));
    QVERIFY(f);
    QCOMPARE(Controle<QLineEdit>(f, "Noms_Sig")->text(), QStringLiteral("kvrt, KVRT-CASTLE"));
    QCOMPARE(f->Qsos().at(0).verdict, Verdict::Ajoute);
    QVERIFY(Controle<QLabel>(f, "Resume")->text().startsWith(QStringLiteral("2 QSO dans le fichier, 2 à ajouter")));
    Cliquer_Dans(Controle<QPushButton>(f, "Annuler"));
    QTRY_VERIFY(!m->Fenetre_Import_Adif());
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::disque_plein_a_l_import()
{
    Main_Test* m = Demarrer(p, Log_Depart);
    const QByteArray avant = p.Octets_Log();
    p.Ecrire_Fichier(QStringLiteral("trafic.adi"), Fichier_Exemple);
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("trafic.adi")));
    QVERIFY(f);
    {
        // The disk fills up during the rewrite: no room for the three new lines.
        rlimit ancienne;
        getrlimit(RLIMIT_FSIZE, &ancienne);
        rlimit limite = ancienne;
        limite.rlim_cur = rlim_t(avant.size() + 20);
        setrlimit(RLIMIT_FSIZE, &limite);
        Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
        setrlimit(RLIMIT_FSIZE, &ancienne);
    }
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt")), qPrintable(messages.first()));
    QVERIFY(messages.first().endsWith(QStringLiteral("Le log n'a pas été modifié : rien n'a été importé.")));
    QCOMPARE(p.Octets_Log(), avant);
    // Nothing left beside the log but the template and the journal of changes.
    QCOMPARE(QDir(p.Repertoire()).entryList({QStringLiteral("*.txt*")}, QDir::Files),
             (QStringList{QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), QStringLiteral("F1ABC_Challenge_KVRT_2009.txt.journal"),
                          QStringLiteral("FXXXX_Challenge_KVRT.txt")}));
    // The window stays, and the import goes through once there is room again.
    QVERIFY(m->Fenetre_Import_Adif());
    Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("3 QSO ont été ajoutés au log.")});
    QCOMPARE(m->Nombre_Lignes(), 7);
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::fichiers_refuses_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("message");

    QTest::newRow("pas un fichier ADIF")
        << QByteArray("Ceci est une lettre.\r\nBonne journee.\r\n")
        << "Le fichier mauvais.adi n'a pas pu être lu comme un fichier ADIF : aucun enregistrement ADIF (<EOR>) "
           "n'y a été trouvé.\r\nRien n'a été importé.";
    QTest::newRow("seul enregistrement tronque")
        << QByteArray("<CALL:5>F5AAA<SIG:4>KVRT")
        << "Le fichier mauvais.adi n'a pas pu être lu comme un fichier ADIF : enregistrement N° 1, "
           "l'enregistrement se termine sans <EOR> : le fichier est tronqué.\r\nRien n'a été importé.";
    QTest::newRow("image")
        << QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0<CALL:5>F6XYZ<EOR>", 29)
        << "Le fichier mauvais.adi n'est pas un fichier ADIF : il ressemble à une image JPEG.\r\nRien n'a été importé.";
    QTest::newRow("classeur")
        << QByteArray("PK\x03\x04\x14\0\x06\0\x08\0", 10)
        << "Le fichier mauvais.adi n'est pas un fichier ADIF : il ressemble à une archive ZIP, comme un classeur ou un "
           "document de traitement de texte.\r\nRien n'a été importé.";
    QTest::newRow("longueur apres la fin")
        << QByteArray("<CALL:5>F6XYZ<EOR><CALL:5>F5AAA<EOR><COMMENT:4000>court<EOR>")
        << "Le fichier mauvais.adi n'a pas pu être lu comme un fichier ADIF : enregistrement N° 3, "
           "le champ COMMENT annonce 4000 octets mais le fichier se termine avant.\r\nRien n'a été importé.";
    QByteArray binaire(4096, '\0');
    for (int i = 0; i < binaire.size(); ++i)
        binaire[i] = char((i * 7919 + 13) % 256);
    QTest::newRow("binaire") << binaire << "Le fichier mauvais.adi n'a pas pu être lu comme un fichier ADIF";
    QTest::newRow("absent") << QByteArray("absent") << "Le fichier mauvais.adi ne peut pas être ouvert (fichier introuvable).\r\nRien n'a été importé.";
}

void Tst_Import_Adif::fichiers_refuses()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QString, message);
    Main_Test* m = Demarrer(p, Log_Depart);
    const QByteArray avant = p.Octets_Log();
    if (contenu != "absent")
        p.Ecrire_Fichier(QStringLiteral("mauvais.adi"), contenu);
    // A good file first: what it showed must not be importable once a bad one is chosen.
    p.Ecrire_Fichier(QStringLiteral("bon.adi"), Fichier_Exemple);
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("bon.adi")));
    QVERIFY(f);
    QVERIFY(Controle<QPushButton>(f, "Importer")->isEnabled());

    QVERIFY(!f->Ouvrir_Fichier(p.Chemin(QStringLiteral("mauvais.adi"))));
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(message), qPrintable(messages.first()));
    QVERIFY(messages.first().endsWith(QStringLiteral("Rien n'a été importé.")));
    QCOMPARE(f->Qsos().size(), 0);
    QVERIFY(!Controle<QPushButton>(f, "Importer")->isEnabled());
    QVERIFY(!Controle<QProgressBar>(f, "Progression")->isVisible());
    Touche_Ici(f, Qt::Key_I, Qt::AltModifier);
    QTest::qWait(300);
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(p.Octets_Log(), avant);
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::gros_fichier_et_barre_de_progression()
{
    // A file of some megabytes: the bar is shown while it is read, moves forward, and is
    // gone with the preview; the castle QSOs among thousands of others are all found.
    Chien_De_Garde garde;
    Programme_Test p;
    p.plateforme->pasMillisecondes = 100;
    Main_Test* m = Demarrer(p, Log_Depart);
    int chateaux = 0;
    p.Ecrire_Fichier(QStringLiteral("gros.adi"), Gros_Fichier(12 << 20, chateaux));
    // The file dialog given up: the window waits, empty, with nothing to import.
    p.plateforme->fichiers = {QString()};
    Activer(m);
    Choisir_Menu(m->Mnu_Importer_Adif);
    QCOMPARE(p.plateforme->dialogues.size(), 1);
    Import_Adif* f = m->Fenetre_Import_Adif();
    QVERIFY(f);
    QVERIFY(f->isVisible());
    QCOMPARE(f->Qsos().size(), 0);
    QVERIFY(!Controle<QPushButton>(f, "Importer")->isEnabled());
    QCOMPARE(Controle<QLabel>(f, "Resume")->text(), QStringLiteral("Choisissez le fichier ADIF écrit par votre logiciel de trafic."));
    QVERIFY(p.plateforme->messages.isEmpty());
    QList<int> valeurs;
    bool visible = true;
    connect(Controle<QProgressBar>(f, "Progression"), &QProgressBar::valueChanged, f, [&](int v) {
        valeurs.append(v);
        visible = visible && Controle<QProgressBar>(f, "Progression")->isVisible();
    });
    QVERIFY(f->Ouvrir_Fichier(p.Chemin(QStringLiteral("gros.adi"))));
    QVERIFY(visible);
    QVERIFY2(valeurs.size() >= 6, qPrintable(QString::number(valeurs.size())));
    QVERIFY(std::is_sorted(valeurs.cbegin(), valeurs.cend()));
    QCOMPARE(valeurs.last(), 1000);
    QVERIFY(!Controle<QProgressBar>(f, "Progression")->isVisible());
    int ajoutes = 0;
    for (const Echange_Adif::Qso_Import& q : f->Qsos())
        ajoutes += q.Ajoute();
    QCOMPARE(ajoutes, chateaux);
    QVERIFY(Controle<QLabel>(f, "Resume")->text().contains(QStringLiteral("%1 à ajouter").arg(chateaux)));
    QCOMPARE(garde.fermees, QStringList());
}

// A device or a FIFO chosen in the file dialog among all files: refused before anything is
// read (a FIFO without a writer would hold the window for ever, /dev/zero would fill memory).
void Tst_Import_Adif::autre_chose_qu_un_fichier_data()
{
    QTest::addColumn<QString>("sorte");
    QTest::newRow("périphérique") << "/dev/zero";
    QTest::newRow("tube") << "fifo";
}

void Tst_Import_Adif::autre_chose_qu_un_fichier()
{
    QFETCH(QString, sorte);
    Main_Test* m = Demarrer(p, Log_Depart);
    const QByteArray avant = p.Octets_Log();
    const QStringList fichiers = QDir(p.Repertoire()).entryList(QDir::Files);
    QString chemin = sorte;
    if (sorte == QLatin1String("fifo")) {
        chemin = p.Chemin(QStringLiteral("trafic.adi"));
        QVERIFY(::mkfifo(QFile::encodeName(chemin).constData(), 0600) == 0);
    }
    Import_Adif* f = Ouvrir(p, m, chemin);
    QVERIFY(f);
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList{QDir::toNativeSeparators(chemin)
                         + QStringLiteral(" n'est pas un fichier ordinaire (périphérique, tube ou dossier) : il ne peut pas être "
                                          "lu comme un fichier ADIF.\r\nRien n'a été importé.")});
    QCOMPARE(f->Qsos().size(), 0);
    QVERIFY(!Controle<QPushButton>(f, "Importer")->isEnabled());
    QVERIFY(!Controle<QProgressDialog>(f, "Dialogue_Lecture")->isVisible());
    QCOMPARE(p.Octets_Log(), avant);
    QStringList apres = QDir(p.Repertoire()).entryList(QDir::Files | QDir::System);
    apres.removeOne(QStringLiteral("trafic.adi"));
    QCOMPARE(apres, fichiers);
    QCOMPARE(garde.fermees, QStringList());
}

// A large file shows its progress in a window of its own, a smaller one once its reading
// lasts; Annuler there, clicked while the file is read or while it is cut into QSOs, stops at
// once: the file shown before is still the one to import, and the log and its journal keep
// their bytes.
void Tst_Import_Adif::lecture_annulee_data()
{
    QTest::addColumn<int>("taille");
    QTest::addColumn<int>("seuil"); // the first progress value at which Annuler is clicked
    QTest::newRow("pendant la lecture") << (6 << 20) << 1;
    QTest::newRow("pendant l'analyse") << (6 << 20) << 501;
    QTest::newRow("petit fichier dont la lecture dure") << (1 << 20) << 501;
}

void Tst_Import_Adif::lecture_annulee()
{
    QFETCH(int, taille);
    QFETCH(int, seuil);
    Chien_De_Garde garde;
    Programme_Test p;
    // A slow disk: each look at the clock finds a tenth of a second gone.
    p.plateforme->pasMillisecondes = 100;
    Main_Test* m = Demarrer(p, Log_Depart);
    // A QSO typed first, so that the journal holds something to keep.
    Saisir(m, QStringLiteral("f6abc"), 0, QStringLiteral("35007"));
    Entree(m->Valide_A);
    const QByteArray log = p.Octets_Log();
    const QString nomJournal = QFileInfo(p.Log()).fileName() + QStringLiteral(".journal");
    const QByteArray journal = p.Lire_Fichier(nomJournal);
    QVERIFY(!journal.isEmpty());
    p.Ecrire_Fichier(QStringLiteral("bon.adi"), Fichier_Exemple);
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("bon.adi")));
    QVERIFY(f);
    const qsizetype qsos = f->Qsos().size();
    QCOMPARE(qsos, 7);
    int chateaux = 0;
    p.Ecrire_Fichier(QStringLiteral("gros.adi"), Gros_Fichier(taille, chateaux));

    QPointer<QWidget> progression;
    int valeurAuClic = -1;
    connect(Controle<QProgressBar>(f, "Progression"), &QProgressBar::valueChanged, f, [&](int v) {
        if (valeurAuClic >= 0 || v < seuil)
            return;
        valeurAuClic = v;
        progression = QApplication::activeModalWidget();
        if (!progression)
            return;
        for (QPushButton* b : progression->findChildren<QPushButton*>())
            if (b->text() == QLatin1String("Annuler"))
                Cliquer_Dans(b);
    });
    p.plateforme->fichiers = {p.Chemin(QStringLiteral("gros.adi"))};
    Cliquer_Dans(Controle<QPushButton>(f, "Choisir"));
    QVERIFY2(progression, "no progress window while the file was read");
    QVERIFY(qobject_cast<QProgressDialog*>(progression.data()));
    QVERIFY2(seuil < 500 ? valeurAuClic < 500 : valeurAuClic > 500 && valeurAuClic < 1000, qPrintable(QString::number(valeurAuClic)));
    QVERIFY(!progression->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    // The window as it was, with the file before.
    QCOMPARE(f->Qsos().size(), qsos);
    QVERIFY(Controle<QLabel>(f, "Label_Fichier")->text().endsWith(QStringLiteral("bon.adi")));
    QVERIFY(Controle<QPushButton>(f, "Importer")->isEnabled());
    QCOMPARE(p.plateforme->messages, QStringList());
    QCOMPARE(p.Octets_Log(), log);
    QCOMPARE(p.Lire_Fichier(nomJournal), journal);
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::comme_la_saisie_en_insertion()
{
    // The same QSOs, typed one by one in insert mode and imported at once, give the same log.
    const QStringList log = {Q("10/03/09", "01001", Cc, "F5AAA"), Q("05/03/09", "01002", Cc, "F5AAA"),
                             Q("20/03/09", "01003", Cc, "F5AAA"), Q("20/03/09", "01004", Cc, "F5AAA")};
    struct Qso
    {
        const char* date;
        const char* adif;
        const char* ref;
        const char* indicatif;
    };
    const Qso qsos[] = {{"08/03/09", "20090308", "77001", "F1AAA"}, {"20/03/09", "20090320", "77002", "F1BBB"},
                        {"03/03/09", "20090303", "77003", "F1CCC"}, {"20/03/09", "20090320", "77004", "F1DDD"},
                        {"25/03/09", "20090325", "77005", "F1EEE"}, {"12/03/09", "20090312", "77006", "F1FFF"}};

    QByteArray parInsertion;
    {
        Chien_De_Garde garde;
        Programme_Test p;
        Main_Test* m = Demarrer(p, log);
        for (const Qso& q : qsos) {
            Cliquer_Dans(m->Ajout_Saisie);
            QVERIFY(m->Mode_Insertion());
            Taper(m->Date_A, QString::fromLatin1(q.date));
            Saisir(m, QString::fromLatin1(q.indicatif), 0, QString::fromLatin1(q.ref));
            Entree(m->Valide_A);
        }
        QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
        parInsertion = p.Octets_Log();
        QCOMPARE(garde.fermees, QStringList());
    }
    QByteArray adi;
    for (const Qso& q : qsos)
        adi += QByteArray("<QSO_DATE:8>") + q.adif + "<CALL:5>" + q.indicatif + "<SIG:4>KVRT<SIG_INFO:5>" + q.ref + "<EOR>\r\n";
    Main_Test* m = Demarrer(p, log);
    p.Ecrire_Fichier(QStringLiteral("six.adi"), adi);
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("six.adi")));
    QVERIFY(f);
    Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("6 QSO ont été ajoutés au log.")});
    QCOMPARE(p.Octets_Log(), parInsertion);
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::export_relu_par_notre_import()
{
    const QStringList log = {
        Q("28/02/09", "2A001", Ca, "F6XYZ/P"),
        Q("01/03/09", "29001", Cc, "F5AAA", true),
        Q("02/03/09", "75001", QStringLiteral("Double ou non validé"), "F4BBB"),
        Q("03/03/09", "01001", QStringLiteral("Operateur reactivation"), "TM0ABC"),
        Q("04/03/09", "2B999", QStringLiteral("Resident Contacte"), "F1ABC_P1234"),
    };
    Main_Test* m = Demarrer(p, QStringList(log) << QString() << QStringLiteral("une ligne qui n'est pas un QSO"));
    Activer(m);
    Choisir_Menu(m->Mnu_Enr_Adif);
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList{QStringLiteral("Le log a été enregistré au format ADIF sous le nom : ")
                         + QDir::toNativeSeparators(p.sp->Repertoire() + QStringLiteral("/F1ABC_Challenge_KVRT_2009.adi"))
                         + QStringLiteral("\r\n5 QSO exportés.\r\n2 lignes du log ne sont pas des QSO et n'ont pas été reprises.")});
    const QByteArray adi = p.Lire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.adi"));
    QVERIFY(adi.startsWith("Log du Challenge KVRT 2009 de F1ABC, exporte par QEZ_Challenge_KVRT\r\n<ADIF_VER:5>3.1.4\r\n"
                           "<CREATED_TIMESTAMP:15>20090328 140709\r\n"));
    QVERIFY(adi.endsWith("<EOR>\r\n"));

    // An empty log takes the file back: the same QSOs, the same bytes.
    p.Ecrire_Log({});
    QFile::copy(p.Chemin(QStringLiteral("F1ABC_Challenge_KVRT_2009.adi")), p.Chemin(QStringLiteral("retour.adi")));
    Import_Adif* f = Ouvrir(p, m, p.Chemin(QStringLiteral("retour.adi")));
    QVERIFY(f);
    Cliquer_Dans(Controle<QPushButton>(f, "Importer"));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("5 QSO ont été ajoutés au log.")});
    QCOMPARE(p.Octets_Log(), Octets(log));
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::export_lu_par_un_lecteur_independant()
{
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty())
        QFAIL("node is not installed (scripts/dependances.sh installs nodejs)");
    const QString modules = QStringLiteral(KVRT_NPM_DIR "/node_modules");
    if (!QFile::exists(modules + QStringLiteral("/adif-parser-ts/package.json")))
        QFAIL("adif-parser-ts is not installed: scripts/dependances.sh installs it into " KVRT_NPM_DIR);

    QStringList log;
    const QStringList& types = Enregistrement::Types_Activite();
    const char* indicatifs[] = {"F6XYZ/P", "F5AAA", "TM0ABC", "F1ABC/QRP/12", "ON4XX", "DL1AB/P", "EA3X", "G0ABC", "F8ZZZ"};
    for (int i = 0; i < 9; ++i)
        log << Enr(QStringLiteral("%1/0%2/09").arg(10 + i).arg(1 + i % 9), QStringLiteral("%1%2").arg(i == 4 ? "2A" : "29").arg(100 + i),
                   types.at(i), QString::fromLatin1(indicatifs[i]), i % 3 == 1);
    log << Q("31/12/98", "01001", Cc, "F1OLD");
    Main_Test* m = Demarrer(p, log, QStringLiteral("F1ABC_P"));
    Activer(m);
    Choisir_Menu(m->Mnu_Enr_Adif);
    QVERIFY(p.plateforme->Prendre_Messages().value(0).contains(QStringLiteral("F1ABC_P_Challenge_KVRT_2009.adi")));
    const QString chemin = p.Chemin(QStringLiteral("F1ABC_P_Challenge_KVRT_2009.adi"));

    QProcess lecteur;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NODE_PATH"), modules);
    lecteur.setProcessEnvironment(env);
    lecteur.start(node, {QStringLiteral("-e"),
                         QStringLiteral("const {AdifParser} = require('adif-parser-ts');"
                                        "const fs = require('fs');"
                                        "process.stdout.write(JSON.stringify(AdifParser.parseAdi(fs.readFileSync(process.argv[1], 'latin1'))));"),
                         chemin});
    QVERIFY(lecteur.waitForFinished(60000));
    QVERIFY2(lecteur.exitCode() == 0, lecteur.readAllStandardError().constData());
    const QJsonObject lu = QJsonDocument::fromJson(lecteur.readAllStandardOutput()).object();

    const QJsonObject entete = lu.value(QStringLiteral("header")).toObject();
    QCOMPARE(entete.value(QStringLiteral("adif_ver")).toString(), QStringLiteral("3.1.4"));
    QCOMPARE(entete.value(QStringLiteral("created_timestamp")).toString(), QStringLiteral("20090328 140709"));
    QCOMPARE(entete.value(QStringLiteral("programid")).toString(), QStringLiteral("QEZ_KVRT"));
    QCOMPARE(entete.value(QStringLiteral("programversion")).toString(), QStringLiteral("1.1.7"));
    QCOMPARE(entete.value(QStringLiteral("text")).toString(), QStringLiteral("Log du Challenge KVRT 2009 de F1ABC/P, exporte par QEZ_Challenge_KVRT"));

    const QJsonArray enregistrements = lu.value(QStringLiteral("records")).toArray();
    QCOMPARE(enregistrements.size(), log.size());
    for (int i = 0; i < log.size(); ++i) {
        const QString& ligne = log.at(i);
        const QJsonObject r = enregistrements.at(i).toObject();
        const QString type = Enregistrement::Champ_Nettoye(ligne, 18, 22);
        const int index = Enregistrement::Index_Du_Type(type);
        const bool activation = index >= 3 && index <= 7;
        QJsonObject attendu;
        int valeur = 0;
        QVERIFY(Enregistrement::Date_Comparable(ligne, valeur));
        attendu.insert(QStringLiteral("qso_date"), QString::number(valeur));
        attendu.insert(QStringLiteral("call"), Enregistrement::Champ_Nettoye(ligne, 42, 12));
        attendu.insert(activation ? QStringLiteral("my_sig") : QStringLiteral("sig"), QStringLiteral("KVRT"));
        attendu.insert(activation ? QStringLiteral("my_sig_info") : QStringLiteral("sig_info"), Enregistrement::Champ_Nettoye(ligne, 11, 5));
        attendu.insert(QStringLiteral("station_callsign"), QStringLiteral("F1ABC/P"));
        attendu.insert(QStringLiteral("app_qez_kvrt_type"), QString::fromLatin1(Adif::Ascii(type)));
        attendu.insert(QStringLiteral("app_qez_kvrt_points"), QString::number(Enregistrement::Points_Ligne(ligne)));
        attendu.insert(QStringLiteral("app_qez_kvrt_attente"), ligne.at(9) == u'*' ? QStringLiteral("Y") : QStringLiteral("N"));
        QCOMPARE(r, attendu);
    }
    QCOMPARE(enregistrements.at(9).toObject().value(QStringLiteral("qso_date")).toString(), QStringLiteral("19981231"));
    QCOMPARE(enregistrements.at(8).toObject().value(QStringLiteral("app_qez_kvrt_type")).toString(), QStringLiteral("Double ou non valide"));
    QCOMPARE(garde.fermees, QStringList());
}

void Tst_Import_Adif::export_impossible()
{
    Main_Test* m = Demarrer(p, Log_Depart);
    // A folder where the file should go: the export cannot be written, and says so.
    QVERIFY(QDir(p.Repertoire()).mkdir(QStringLiteral("F1ABC_Challenge_KVRT_2009.adi")));
    Activer(m);
    Choisir_Menu(m->Mnu_Enr_Adif);
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("Erreur N° 75 : impossible de créer le fichier")), qPrintable(messages.first()));
    QVERIFY(messages.first().endsWith(QStringLiteral("Le log n'a pas été enregistré au format ADIF.")));
    QCOMPARE(p.Octets_Log(), Octets(Log_Depart));
    QCOMPARE(garde.fermees, QStringList());
}

QTEST_MAIN(Tst_Import_Adif)
#include "tst_import_adif.moc"
