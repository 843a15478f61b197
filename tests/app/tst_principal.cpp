// Start-up, the settings store, menus, clock and the Station window, on real widgets.

#include "Adresses_Web.h"
#include "Aide.h"
#include "Apparence.h"
#include "Boites_Lisibles.h"
#include "Fenetres_Web.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Plateforme_Reelle.h"
#include "Station.h"
#include "Traduction_Qt.h"

#include <QAccessible>
#include <QAction>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTranslator>
#include <QTreeView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QStringListModel>
#include <QScreen>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>


// Fills the Station window with the mouse and the keyboard, then clicks Validez.
static void Remplir_Et_Valider(Station* s, const QString& indicatif, const QString& annee)
{
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Indicatif"), indicatif);
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Annee"), annee);
    Cliquer_Dans(Controle<QPushButton>(s, "Validation"));
}

static void Remplir_Station(QWidget* fenetre, const QString& indicatif, const QString& annee)
{
    auto* station = qobject_cast<Station*>(fenetre);
    QVERIFY(station);
    Activer(station);
    // The callsign box opens with the focus; its text is replaced, then Enter goes on.
    QVERIFY(Focus_Dans(Controle<QLineEdit>(station, "New_Indicatif")));
    Touche_Ici(station, Qt::Key_A, Qt::ControlModifier);
    Taper(Controle<QLineEdit>(station, "New_Indicatif"), indicatif);
    Touche_Ici(station, Qt::Key_A, Qt::ControlModifier);
    Taper(Controle<QLineEdit>(station, "New_Annee"), annee);
    // Enter in the year box moves to Validez; Enter there clicks it.
    Entree(Controle<QPushButton>(station, "Validation"));
}


class Tst_Principal : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void premiere_installation();
    void premiere_installation_fermee_sans_valider();
    void demarrage_avec_log();
    void boites_lisibles();
    void station_valeurs_data();
    void station_valeurs();
    void mode_date_par_station();
    void index_type_activite_data();
    void index_type_activite();
    void horloge();
    void aide_historique_apropos();
    void station_controles();
    void station_bascule_entre_deux_logs();
    void station_modele_absent();
    void fenetre_unique();
    void historique_sans_retour_a_la_ligne();
    void choix_reel_data();
    void choix_reel();
    void station_annee_au_clavier();
    void lettres_alt_uniques();
    void noms_pour_lecteur_d_ecran();
    void pages_web_au_navigateur_data();
    void pages_web_au_navigateur();
    void quitter_par_ctrl_q();
    void echap_ferme_data();
    void echap_ferme();
    void dossier_des_logs();
    void fichiers_du_log_data();
    void fichiers_du_log();
    void boite_enregistrer_en_francais_data();
    void boite_enregistrer_en_francais();
};

// Stands for the system's browser: records the pages the program hands to it.
class Navigateur_Test : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> pages;

public slots:
    void Ouvrir(const QUrl& page) { pages.append(page); }
};

void Tst_Principal::initTestCase()
{
    Apparence::Appliquer();
}

void Tst_Principal::premiere_installation()
{
    Sur_Modal([](QWidget* w) { Remplir_Station(w, QStringLiteral("f1abc/p"), QStringLiteral("2009")); });
    Main_Test* m = p.Demarrer();
    QCOMPARE(p.plateforme->messages.value(0),
             QStringLiteral("Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge"));
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F1ABC_P"));
    QCOMPARE(p.sp->Annee_Challenge(), QStringLiteral("2009"));
    QCOMPARE(m->I_Station->text(), QStringLiteral("F1ABC/P"));
    QCOMPARE(m->A_Challenge->text(), QStringLiteral("2009"));
    QVERIFY(QFile::exists(p.Log(QStringLiteral("F1ABC_P"), QStringLiteral("2009"))));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC_P"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC_P"), QStringLiteral("Annee Challenge"), QString()), QStringLiteral("2009"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Chemin Repertoire"), QString()), p.Repertoire());
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC_P"), QStringLiteral("Revision"), QString()), QStringLiteral(" 1.1.7"));
    QCOMPARE(m->windowTitle(), QStringLiteral("  QEZ_Challenge    Revision  1.1.7"));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("0"));
    QCOMPARE(m->Nombre_Lignes(), 0);
    // Automatic date mode: today's UTC date, the callsign expected next.
    QVERIFY(m->Mnu_Date_Auto_Oui->isChecked());
    QVERIFY(!m->Mnu_Date_Auto_Non->isChecked());
    QCOMPARE(m->Label_Date->text(), QStringLiteral("Date automatique"));
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QVERIFY(m->Ind_A->isEnabled());
    QCOMPARE(Apparence::Couleur(m->Ind_A), Apparence::Vert_Pale);
    QCOMPARE(Apparence::Couleur(m->Date_A), Apparence::Jaune_Pale);
    QVERIFY(!m->Annule_Saisie->isEnabled());
    QCOMPARE(m->Type_A->count(), 9);
    QCOMPARE(m->Type_A->currentIndex(), 0);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Principal::premiere_installation_fermee_sans_valider()
{
    Sur_Modal([](QWidget* w) { w->close(); });
    Main_Test* m = p.Demarrer();
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("FXXXX"));
    QCOMPARE(m->Nombre_Lignes(), 0);
    QVERIFY(m->isVisible());
    // Every key in the date or callsign field reminds the user, and is still typed as is.
    p.plateforme->messages.clear();
    Activer(m);
    QVERIFY(Focus_Dans(m->Ind_A));
    Taper_Ici(m, QStringLiteral("a"));
    QCOMPARE(m->Ind_A->text(), QStringLiteral("a"));
    QCOMPARE(p.plateforme->messages.size(), 1);
    QVERIFY(p.plateforme->messages.at(0).contains(QStringLiteral("Pour cela dans la barre des menus allez dans Station puis Nouvel Indicatif.")));
    // The next start asks again.
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QStringLiteral("FXXXX")), QStringLiteral("FXXXX"));
}

void Tst_Principal::demarrage_avec_log()
{
    p.Installer_Station();
    QStringList log;
    for (int i = 1; i <= 11; ++i)
        log << Enr(QStringLiteral("%1/03/09").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("290%1").arg(i, 2, 10, QLatin1Char('0')),
                   QStringLiteral("Chateau active"), QStringLiteral("F5XYZ"), i == 11);
    p.Ecrire_Log(log);
    Main_Test* m = p.Demarrer();
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(m->Nombre_Lignes(), 11);
    QCOMPARE(m->Texte_Ligne(10), QStringLiteral("   11   ") + log.at(10));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("60"));
    // The rebuild selected the last line; the entry area was reset after it.
    QCOMPARE(m->Ligne_Selectionnee(), QStringLiteral("   11   ") + log.at(10));
    QCOMPARE(m->Ligne_Courante(), 10);
    QCOMPARE(m->Type_A->currentText(), QStringLiteral("Chateau active"));
    QVERIFY(!m->Annule_Saisie->isEnabled());
    QVERIFY(m->Ind_A->isEnabled());
    QCOMPARE(m->Ind_A->text(), QString());
    // Nothing was written to the log at start.
    QCOMPARE(p.Octets_Log(), Octets(log));
}

void Tst_Principal::boites_lisibles()
{
    Verifier_Boites_Lisibles();
}

void Tst_Principal::mode_date_par_station()
{
    p.Installer_Station(QStringLiteral("F1ABC"));
    p.Installer_Station(QStringLiteral("F2DEF"));
    p.Installer_Station(QStringLiteral("F1ABC"));
    Ecrire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Date_Automatique"), QStringLiteral("oui"));
    Main_Test* m = p.Demarrer();
    // Anything but "Oui" is manual.
    QVERIFY(m->Mnu_Date_Auto_Non->isChecked());
    QVERIFY(!m->Mnu_Date_Auto_Oui->isChecked());
    QCOMPARE(m->Label_Date->text(), QStringLiteral("Date manuelle"));
    QCOMPARE(m->Date_A->text(), QString());
    QVERIFY(m->Date_A->isEnabled());
    QCOMPARE(Apparence::Couleur(m->Date_A), Apparence::Vert_Pale);

    Choisir_Menu(m->Mnu_Date_Auto_Oui);
    QVERIFY(m->Mnu_Date_Auto_Oui->isChecked());
    QVERIFY(!m->Mnu_Date_Auto_Non->isChecked());
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QCOMPARE(m->Label_Date->text(), QStringLiteral("Date automatique"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Date_Automatique"), QString()), QStringLiteral("Oui"));
    Choisir_Menu(m->Mnu_Date_Auto_Non);
    QVERIFY(m->Mnu_Date_Auto_Non->isChecked());
    QVERIFY(!m->Mnu_Date_Auto_Oui->isChecked());
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Date_Automatique"), QString()), QStringLiteral("Non"));
    // The other station keeps its own mode.
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F2DEF"), QStringLiteral("Date_Automatique"), QStringLiteral("absent")), QStringLiteral("absent"));
    // Triggering the checked item again keeps exactly one mark.
    Choisir_Menu(m->Mnu_Date_Auto_Non);
    QVERIFY(m->Mnu_Date_Auto_Non->isChecked());
    QVERIFY(!m->Mnu_Date_Auto_Oui->isChecked());
}

void Tst_Principal::index_type_activite_data()
{
    QTest::addColumn<QString>("stocke");
    QTest::addColumn<int>("index");
    QTest::newRow("absent") << QString() << 0;
    QTest::newRow("3") << "3" << 3;
    QTest::newRow("8") << "8" << 8;
    QTest::newRow("-1") << "-1" << -1;
    QTest::newRow("9 hors liste") << "9" << 0;
    QTest::newRow("texte") << "abc" << 0;
    QTest::newRow("-2") << "-2" << 0;
}

void Tst_Principal::index_type_activite()
{
    QFETCH(QString, stocke);
    QFETCH(int, index);
    p.Installer_Station();
    if (!stocke.isNull())
        Ecrire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite"), stocke);
    Main_Test* m = p.Demarrer();
    QCOMPARE(m->Type_A->currentIndex(), index);
}

void Tst_Principal::horloge()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    QVERIFY(m->Timer1->isActive());
    QCOMPARE(m->Timer1->interval(), 1000);
    // Before the first tick the labels are empty.
    QCOMPARE(m->Label37->text(), QString());
    p.plateforme->Regler_Horloge(QDateTime(QDate(2008, 12, 31), QTime(23, 59, 59), Qt::UTC), 3600);
    m->Main_Timer1_Timer();
    QCOMPARE(m->Label37->text(), QStringLiteral("23:59 Utc"));
    QCOMPARE(m->Label34->text(), QStringLiteral("00:59 Loc"));
    QCOMPARE(m->Label33->text(), QStringLiteral("31/12/08"));
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 1, 1), QTime(0, 0, 0), Qt::UTC), 7200);
    m->Main_Timer1_Timer();
    QCOMPARE(m->Label37->text(), QStringLiteral("00:00 Utc"));
    QCOMPARE(m->Label34->text(), QStringLiteral("02:00 Loc"));
    QCOMPARE(m->Label33->text(), QStringLiteral("01/01/09"));
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 7), QTime(9, 5, 3), Qt::UTC), 0);
    m->Main_Timer1_Timer();
    QCOMPARE(m->Label37->text(), QStringLiteral("09:05 Utc"));
    QCOMPARE(m->Label33->text(), QStringLiteral("07/03/09"));
    // The clock never touches the entry field.
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
}

void Tst_Principal::aide_historique_apropos()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    Choisir_Menu(m->Mnu_Apropos);
    const QString apropos = p.plateforme->Dernier_Message();
    QVERIFY(apropos.startsWith(QStringLiteral("QEZ_Challenge  Revision  1.1.7\r\n\r\n")));
    QVERIFY(apropos.size() > 40);
    Choisir_Menu(m->Mnu_Historique);
    const QStringList lignes = p.plateforme->Dernier_Message().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lignes.size(), 18);
    QCOMPARE(lignes.first(), QStringLiteral("V1.0.0   le 19/12/2005 creation"));
    QCOMPARE(lignes.last(), QStringLiteral("V1.1.7   le 28/03/09 Correction bug date mode manuel"));
    QCOMPARE(lignes.at(7), QString::fromUtf8("V1.0.7   le 26/03/06 Ajout carte des départements contactés. Corrigé bug saisie TK"));

    // Without the help file: a message naming it.
    p.plateforme->messages.clear();
    Choisir_Menu(m->Mnu_Mode_Emploi);
    QVERIFY(p.plateforme->Dernier_Message().contains(QStringLiteral("QEZ_Challenge.hlp")));
    QVERIFY(!m->Fenetre_Aide());
    // With it, the help window opens at the table of contents; a second call keeps one window.
    QVERIFY(QFile::copy(QStringLiteral(KVRT_RESSOURCES "/QEZ_Challenge.hlp"), p.Chemin(QStringLiteral("QEZ_Challenge.hlp"))));
    Choisir_Menu(m->Mnu_Mode_Emploi);
    QVERIFY(m->Fenetre_Aide());
    QWidget* aide = m->Fenetre_Aide();
    QVERIFY(QTest::qWaitForWindowExposed(aide));
    QVERIFY(Centree(aide));
    Choisir_Menu(m->Mnu_Mode_Emploi);
    QCOMPARE(static_cast<QWidget*>(m->Fenetre_Aide()), aide);
    aide->close();
}

void Tst_Principal::station_controles()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    QVERIFY(s);
    QCOMPARE(s->windowTitle(), QStringLiteral("Selection Indicatif et Année"));
    QCOMPARE(Controle<QLineEdit>(s, "New_Indicatif")->text(), QStringLiteral("F1ABC"));
    QCOMPARE(Controle<QLineEdit>(s, "New_Annee")->text(), QStringLiteral("20xx"));
    QCOMPARE(Controle<QLabel>(s, "Label5")->text(), QStringLiteral("!!! Pour la saisie la \"/\" est remplacée par le \"_\" "));

    struct Cas { QString indicatif, annee, message; bool vide; };
    const Cas cas[] = {
        {QString(), QStringLiteral("2009"), QStringLiteral("Vous devez entrer un indicatif"), false},
        {QStringLiteral("F1ABCDEFGHIJK"), QStringLiteral("2009"), QStringLiteral("12 caracteres maximum pour l'indicatif"), false},
        {QStringLiteral("F1-ABC"), QStringLiteral("2009"), QStringLiteral("L'indicatif ne doit comporter que des lettres des chiffres ou le signe _ "), true},
        {QString::fromUtf8("F1ÉBC"), QStringLiteral("2009"), QStringLiteral("L'indicatif ne doit comporter que des lettres des chiffres ou le signe _ "), true},
        {QStringLiteral("F9ZZZ"), QString(), QString::fromUtf8("Vous devez entrer une Année"), false},
        {QStringLiteral("F9ZZZ"), QStringLiteral("09"), QString::fromUtf8("L'Année doit comporter 4 chiffres"), false},
        {QStringLiteral("F9ZZZ"), QStringLiteral("20/9"), QString(), false},
        {QStringLiteral("F9ZZZ"), QStringLiteral("2:09"), QString(), false},
    };
    for (const Cas& c : cas) {
        p.plateforme->messages.clear();
        Remplir_Et_Valider(s, c.indicatif, c.annee);
        QCOMPARE(p.plateforme->messages.size(), 1);
        if (!c.message.isEmpty())
            QCOMPARE(p.plateforme->messages.at(0), c.message);
        QCOMPARE(Controle<QLineEdit>(s, "New_Indicatif")->text().isEmpty(), c.vide || c.indicatif.isEmpty());
        // A refused entry changes nothing: the module still names the log shown.
        QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F1ABC"));
        QCOMPARE(p.sp->Annee_Challenge(), QStringLiteral("2009"));
        QCOMPARE(m->I_Station->text(), QStringLiteral("F1ABC"));
        QVERIFY(!QFile::exists(p.Log(QStringLiteral("F9ZZZ"), c.annee)));
    }
    // The default year is accepted, upper-cased.
    p.plateforme->messages.clear();
    Remplir_Et_Valider(s, QStringLiteral("f9zzz"), QStringLiteral("20xx"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F9ZZZ"));
    QCOMPARE(p.sp->Annee_Challenge(), QStringLiteral("20XX"));
    QVERIFY(QFile::exists(p.Log(QStringLiteral("F9ZZZ"), QStringLiteral("20XX"))));
    QTRY_VERIFY(!m->Fenetre_Station());
}

void Tst_Principal::station_bascule_entre_deux_logs()
{
    p.Installer_Station(QStringLiteral("F1ABC"), QStringLiteral("2009"));
    const QStringList premier = {Enr("01/03/09", "29001", "Chateau active", "F5XYZ")};
    p.Ecrire_Log(premier);
    Main_Test* m = p.Demarrer();
    QCOMPARE(m->Total_Points->text(), QStringLiteral("6"));

    // A new pair gets the template's copy; the old log is left alone.
    p.Ecrire_Fichier(QStringLiteral("FXXXX_Challenge_KVRT.txt"), Octets({Enr("01/01/10", "01001", "Chateau Contacte", "MODELE")}));
    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    QVERIFY(s);
    Remplir_Et_Valider(s, QStringLiteral("F1ABC"), QStringLiteral("2010"));
    QCOMPARE(p.sp->Annee_Challenge(), QStringLiteral("2010"));
    QCOMPARE(m->A_Challenge->text(), QStringLiteral("2010"));
    QCOMPARE(m->Nombre_Lignes(), 1);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("2"));
    QCOMPARE(p.Octets_Log(QStringLiteral("F1ABC"), QStringLiteral("2010")), Octets({Enr("01/01/10", "01001", "Chateau Contacte", "MODELE")}));
    QCOMPARE(p.Octets_Log(), Octets(premier));

    // And back: the former pair brings its log back, never overwritten by the template.
    QTRY_VERIFY(!m->Fenetre_Station());
    Choisir_Menu(m->Mnu_New_Indicatif);
    s = m->Fenetre_Station();
    Remplir_Et_Valider(s, QStringLiteral("F1ABC"), QStringLiteral("2009"));
    QCOMPARE(m->Nombre_Lignes(), 1);
    QCOMPARE(m->Texte_Ligne(0), QStringLiteral("    1   ") + premier.at(0));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("6"));
    QCOMPARE(p.Octets_Log(), Octets(premier));
    QVERIFY(p.plateforme->messages.isEmpty());
}

void Tst_Principal::station_modele_absent()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    QVERIFY(QFile::remove(p.Chemin(QStringLiteral("FXXXX_Challenge_KVRT.txt"))));
    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    Remplir_Et_Valider(s, QStringLiteral("F2DEF"), QStringLiteral("2011"));
    QCOMPARE(p.plateforme->messages.size(), 1);
    QVERIFY(p.plateforme->messages.at(0).contains(QStringLiteral("FXXXX_Challenge_KVRT.txt")));
    QVERIFY(p.plateforme->messages.at(0).contains(QStringLiteral("Un log vide a été créé")));
    QVERIFY(QFile::exists(p.Log(QStringLiteral("F2DEF"), QStringLiteral("2011"))));
    QCOMPARE(p.Octets_Log(QStringLiteral("F2DEF"), QStringLiteral("2011")), QByteArray());
    QCOMPARE(m->Total_Points->text(), QStringLiteral("0"));
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F2DEF"));
}

// A report window of a folder the main window knows nothing of, but for one line.
class Fenetre_Essai : public Fenetre_Rapport
{
public:
    Fenetre_Essai(Sous_Programmes& sp, QWidget* parent) : Fenetre_Rapport(sp, "Fenetre_Essai", QStringLiteral("Essai"), parent)
    {
        faites.append(this);
    }
    void Charger() override { show(); }
    static inline QList<Fenetre_Essai*> faites;
    int relectures = 0;

protected:
    void Suivre_Log(const Etat_Log&) override { ++relectures; }
};

void Tst_Principal::fenetre_unique()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    Choisir_Menu(m->Mnu_New_Indicatif);
    QWidget* premiere = m->Fenetre_Station();
    Choisir_Menu(m->Mnu_New_Indicatif);
    QCOMPARE(static_cast<QWidget*>(m->Fenetre_Station()), premiere);
    premiere->close();
    QTRY_VERIFY(!m->Fenetre_Station());

    // A window of a new folder, added by one line: opened once, brought forward, made again
    // once closed, and following the log by the module's signals.
    QAction* essai = m->Commande_Fenetre<Fenetre_Essai>(m->Mnu_Affichage, "Mnu_Essai", QStringLiteral("&Essai"));
    QCOMPARE(essai->objectName(), QStringLiteral("Mnu_Essai"));
    Choisir_Menu(essai);
    QCOMPARE(Fenetre_Essai::faites.size(), 1);
    Activer(m);
    Choisir_Menu(essai);
    QCOMPARE(Fenetre_Essai::faites.size(), 1);
    QPointer<Fenetre_Essai> ouverte = Fenetre_Essai::faites.first();
    QVERIFY(ouverte->isWindow() && ouverte->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), ouverte.data());
    p.sp->Apres_Modification_Log(Sous_Programmes::Modification::Retour);
    QCOMPARE(ouverte->relectures, 1);
    Fermer_Par_Le_Cadre(ouverte);
    QTRY_VERIFY(!ouverte);
    Activer(m);
    Choisir_Menu(essai);
    QCOMPARE(Fenetre_Essai::faites.size(), 2);
}

// Every menu of the bar, and every item of a menu, has its own underlined letter there.
static void Verifier_Lettres(const QList<QAction*>& actions, const QString& ou)
{
    QMap<QChar, QString> vues;
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        const QChar lettre = Lettre_Alt(a->text()).toUpper();
        QVERIFY2(!lettre.isNull(), qPrintable(QStringLiteral("no Alt letter: \"%1\" in %2").arg(a->text(), ou)));
        QVERIFY2(!vues.contains(lettre), qPrintable(QStringLiteral("\"%1\" and \"%2\" share Alt+%3 in %4")
                                                        .arg(vues.value(lettre), a->text(), QString(lettre), ou)));
        vues.insert(lettre, a->text());
        if (a->menu())
            Verifier_Lettres(a->menu()->actions(), a->text());
    }
}

void Tst_Principal::lettres_alt_uniques()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    Verifier_Lettres(m->menuBar()->actions(), QStringLiteral("la barre des menus"));
    // The letters work: Alt+D, A, N puts the program in manual date mode, Alt+D, A, O back.
    Choisir_Menu(m->Mnu_Date_Auto_Non);
    QVERIFY(m->Mnu_Date_Auto_Non->isChecked());
    QVERIFY(Focus_Dans(m->Date_A));
    Choisir_Menu(m->Mnu_Date_Auto_Oui);
    QVERIFY(m->Mnu_Date_Auto_Oui->isChecked());
    QVERIFY(Focus_Dans(m->Ind_A));
    QVERIFY(!QApplication::activePopupWidget());
    // Escape closes a menu opened by mistake, and the focus comes back to the field.
    Touche_Ici(m, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    Touche_Ici(m, Qt::Key_Escape);
    Touche_Ici(m, Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    Taper(m->Ind_A, QStringLiteral("f5xyz"), false);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F5XYZ"));
}

// What a screen reader announces for a control.
static QString Nom_Annonce(QWidget* w)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

void Tst_Principal::noms_pour_lecteur_d_ecran()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    QCOMPARE(Nom_Annonce(m->Ind_A), QStringLiteral("Indicatif"));
    QCOMPARE(Nom_Annonce(m->KVRT_A), QString::fromUtf8("N° KVRT"));
    // A combo box announces its value as its name on Linux, and its label through the
    // relation that names its label.
    QCOMPARE(m->Type_A->accessibleName(), QString::fromUtf8("Type Activité"));
    bool etiquete = false;
    for (const auto& relation : QAccessible::queryAccessibleInterface(m->Type_A)->relations(QAccessible::Label))
        etiquete = etiquete || relation.first->object() == m->Label3;
    QVERIFY(etiquete);
    QCOMPARE(Nom_Annonce(m->Total_Points), QStringLiteral("Total Points"));
    QCOMPARE(Nom_Annonce(m->Date_A), QStringLiteral("Date automatique"));
    QCOMPARE(m->Label8->buddy(), m->Ind_A);
    Choisir_Menu(m->Mnu_Date_Auto_Non);
    QCOMPARE(Nom_Annonce(m->Date_A), QStringLiteral("Date manuelle"));
    QVERIFY(!Nom_Annonce(m->Liste_KVRT).isEmpty());
    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    QVERIFY(s);
    QCOMPARE(Nom_Annonce(Controle<QLineEdit>(s, "New_Indicatif")), QStringLiteral("Indicatif"));
    QCOMPARE(Nom_Annonce(Controle<QLineEdit>(s, "New_Annee")), QString::fromUtf8("Année"));
    s->close();
}

// The real question with one button per answer: its buttons in order, Enter on the first,
// a button's underlined letter, and Escape for the last.
void Tst_Principal::choix_reel_data()
{
    QTest::addColumn<int>("touche");
    QTest::addColumn<int>("modificateur");
    QTest::addColumn<int>("attendu");
    QTest::newRow("Entree : la premiere") << int(Qt::Key_Return) << int(Qt::NoModifier) << 0;
    QTest::newRow("Alt+C : la deuxieme") << int(Qt::Key_C) << int(Qt::AltModifier) << 1;
    QTest::newRow("Echap : la derniere") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 2;
}

void Tst_Principal::choix_reel()
{
    QFETCH(int, touche);
    QFETCH(int, modificateur);
    QFETCH(int, attendu);
    Plateforme_Reelle reelle;
    QString titre;
    QStringList boutons;
    Sur_Modal([&](QWidget* w) {
        auto* boite = qobject_cast<QMessageBox*>(w);
        QVERIFY(boite);
        titre = boite->windowTitle();
        for (QAbstractButton* b : boite->buttons())
            boutons << b->text();
        Activer(boite);
        Touche_Ici(boite, Qt::Key(touche), Qt::KeyboardModifiers(modificateur));
    });
    const QStringList reponses{QStringLiteral("&Utiliser ce log là où il est"), QStringLiteral("&Copier ce log"), QStringLiteral("&Quitter")};
    QCOMPARE(reelle.Choix(QStringLiteral("Question"), reponses), attendu);
    QCOMPARE(titre, QStringLiteral("QEZ_Challenge_KVRT"));
    QCOMPARE(boutons, reponses);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Principal::historique_sans_retour_a_la_ligne()
{
    // The real message box, as the operator sees it, answered by Enter.
    Plateforme_Reelle reelle;
    const QString texte = Sous_Programmes::Texte_Historique_Complet();
    int largeur = 0, hauteur = 0, hauteurSansLimite = 0, ligneLaPlusLongue = 0;
    QString titre;
    Sur_Modal([&](QWidget* w) {
        auto* boite = qobject_cast<QMessageBox*>(w);
        QVERIFY(boite);
        titre = boite->windowTitle();
        auto* label = boite->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        largeur = label->width();
        hauteur = label->height();
        hauteurSansLimite = label->heightForWidth(100000);
        const QFontMetrics mesure(label->font());
        for (const QString& ligne : texte.split(QStringLiteral("\r\n")))
            ligneLaPlusLongue = qMax(ligneLaPlusLongue, mesure.horizontalAdvance(ligne));
        QTest::keyClick(w->windowHandle(), Qt::Key_Return);
    });
    reelle.Message(texte);
    QVERIFY(garde.fermees.isEmpty());
    QCOMPARE(titre, QStringLiteral("QEZ_Challenge_KVRT"));
    QVERIFY2(largeur >= ligneLaPlusLongue, qPrintable(QStringLiteral("%1 < %2").arg(largeur).arg(ligneLaPlusLongue)));
    // No line wraps: the text is no taller than it would be on an endless line.
    QVERIFY(hauteurSansLimite > 0);
    QCOMPARE(hauteur, hauteurSansLimite);

    // A line longer than any screen wraps inside a box that stays on the screen, the whole
    // text inside it.
    QString longue;
    for (int i = 0; i < 60; ++i)
        longue += QStringLiteral("/dossier%1").arg(i);
    bool dedans = false;
    Sur_Modal([&](QWidget* w) {
        auto* label = w->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        const QRect place(label->mapTo(w, QPoint(0, 0)), label->size());
        dedans = w->width() <= w->screen()->availableGeometry().width() && w->rect().contains(place)
            && label->height() >= label->heightForWidth(label->width());
        Touche_Ici(w, Qt::Key_Return);
    });
    reelle.Message(QStringLiteral("Erreur N° 75 : impossible de lire le fichier\r\n") + longue);
    QVERIFY(dedans);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Principal::station_annee_au_clavier()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    QVERIFY(s);
    QVERIFY(QTest::qWaitForWindowExposed(s));
    QCOMPARE(Controle<QLineEdit>(s, "New_Annee")->text(), QStringLiteral("20xx"));
    // Enter keeps the stored callsign and brings the year box, whose "20xx" the year replaces.
    Touche_Ici(s, Qt::Key_Return);
    QCOMPARE(s->focusWidget(), Controle<QLineEdit>(s, "New_Annee"));
    Taper_Ici(s, QStringLiteral("2010"));
    QCOMPARE(Controle<QLineEdit>(s, "New_Annee")->text(), QStringLiteral("2010"));
    Touche_Ici(s, Qt::Key_Return);
    QCOMPARE(s->focusWidget(), Controle<QPushButton>(s, "Validation"));
    Cliquer_Dans(Controle<QPushButton>(s, "Validation"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(p.sp->Annee_Challenge(), QStringLiteral("2010"));
    QCOMPARE(m->A_Challenge->text(), QStringLiteral("2010"));
    QVERIFY(QFile::exists(p.Log(QStringLiteral("F1ABC"), QStringLiteral("2010"))));
    QTRY_VERIFY(!m->Fenetre_Station());
}

void Tst_Principal::station_valeurs_data()
{
    QTest::addColumn<QString>("indicatif");
    QTest::addColumn<QString>("annee");
    // Empty when the pair is accepted.
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("annee_retenue");

    const QString caracteres = QStringLiteral("L'indicatif ne doit comporter que des lettres des chiffres ou le signe _ ");
    const QString interdits = QString::fromUtf8("L'Année ne doit pas comporter les caractères / \\ : * ? \" < > | ni de caractère de contrôle");
    const QString longueur = QString::fromUtf8("L'Année doit comporter 4 chiffres");
    QTest::newRow("eszett dans l'indicatif reste un caractere refuse") << QString::fromUtf8("f1aß") << QStringLiteral("2009") << caracteres << QString();
    QTest::newRow("eszett en fin d'indicatif de 12") << QString::fromUtf8("f1abcdefghiß") << QStringLiteral("2009") << caracteres << QString();
    QTest::newRow("eszett dans l'annee garde 4 caracteres") << QStringLiteral("F1ABC") << QString::fromUtf8("200ß") << QString() << QString::fromUtf8("200ß");
    QTest::newRow("eszett ne fait pas 4 caracteres de 3") << QStringLiteral("F1ABC") << QString::fromUtf8("20ß") << longueur << QString();
    QTest::newRow("minuscules de l'annee") << QStringLiteral("F1ABC") << QStringLiteral("20xx") << QString() << QStringLiteral("20XX");
    QTest::newRow("point final permis") << QStringLiteral("F1ABC") << QStringLiteral("200.") << QString() << QStringLiteral("200.");
    QTest::newRow("blanc final permis") << QStringLiteral("F1ABC") << QStringLiteral("209 ") << QString() << QStringLiteral("209 ");
    QTest::newRow("points permis") << QStringLiteral("F1ABC") << QStringLiteral("....") << QString() << QStringLiteral("....");
    QTest::newRow("etoile") << QStringLiteral("F1ABC") << QStringLiteral("20*9") << interdits << QString();
    QTest::newRow("barre oblique inverse") << QStringLiteral("F1ABC") << QStringLiteral("20\\9") << interdits << QString();
    QTest::newRow("deux points") << QStringLiteral("F1ABC") << QStringLiteral("2:09") << interdits << QString();
    QTest::newRow("guillemet") << QStringLiteral("F1ABC") << QStringLiteral("20\"9") << interdits << QString();
    QTest::newRow("chevron") << QStringLiteral("F1ABC") << QStringLiteral("20<9") << interdits << QString();
    QTest::newRow("barre verticale") << QStringLiteral("F1ABC") << QStringLiteral("20|9") << interdits << QString();
    QTest::newRow("point d'interrogation") << QStringLiteral("F1ABC") << QStringLiteral("20?9") << interdits << QString();
}

void Tst_Principal::station_valeurs()
{
    QFETCH(QString, indicatif);
    QFETCH(QString, annee);
    QFETCH(QString, message);
    QFETCH(QString, annee_retenue);

    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    QVERIFY(s);
    QVERIFY(QTest::qWaitForWindowExposed(s));
    // As the operator does: rub out the stored callsign, type, Enter, type the year, Enter.
    for (int i = int(Controle<QLineEdit>(s, "New_Indicatif")->text().size()); i > 0; --i)
        Touche_Ici(s, Qt::Key_Backspace);
    Taper_Ici(s, indicatif);
    Touche_Ici(s, Qt::Key_Return);
    Taper_Ici(s, annee);
    QCOMPARE(Controle<QLineEdit>(s, "New_Annee")->text().size(), annee.size());
    Touche_Ici(s, Qt::Key_Return);
    Cliquer_Dans(Controle<QPushButton>(s, "Validation"));
    if (message.isEmpty()) {
        QVERIFY2(p.plateforme->messages.isEmpty(), qPrintable(p.plateforme->messages.join(QLatin1Char('|'))));
        QCOMPARE(p.sp->Annee_Challenge(), annee_retenue);
        QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Annee Challenge"), QString()), annee_retenue);
        QVERIFY(QFile::exists(p.Log(QStringLiteral("F1ABC"), annee_retenue)));
        QTRY_VERIFY(!m->Fenetre_Station());
    } else {
        QCOMPARE(p.plateforme->messages, QStringList{message});
        // Nothing switched, nothing stored, no log made.
        QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F1ABC"));
        QCOMPARE(p.sp->Annee_Challenge(), QStringLiteral("2009"));
        QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC"));
        QCOMPARE(QDir(p.Repertoire()).entryList({QStringLiteral("*_Challenge_KVRT_*")}, QDir::Files).size(), 1);
        QVERIFY(m->Fenetre_Station());
        s->close();
    }
}

// Without the web engine (Windows), the rules and the reference list open in the system's
// browser at the addresses the windows would load, and no window of the program opens.
void Tst_Principal::pages_web_au_navigateur_data()
{
    QTest::addColumn<bool>("liste");
    QTest::addColumn<QString>("hote");
    QTest::addColumn<QStringList>("references");
    QTest::addColumn<int>("ligne");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("message");
    QTest::newRow("reglement, hote par defaut") << false << QString() << QStringList() << -1
                                                << "http://reglement.example.org/coupes.html" << QString();
    QTest::newRow("reglement, hote des reglages") << false << "https://regles.test:8080/" << QStringList{"29001"} << -1
                                                  << "https://regles.test:8080/coupes.html" << QString();
    QTest::newRow("liste, derniere ligne choisie au demarrage") << true << QString() << QStringList{"60001", "2A001"} << -1
                                                                << "http://departements.example.org/WEB/dept/d2A.html" << QString();
    QTest::newRow("liste, departement 60 choisi au clic") << true << "dept.test" << QStringList{"60001", "2A001"} << 0
                                                          << "http://dept.test/WEB/dept/departement%2060.html" << QString();
    QTest::newRow("liste, log vide") << true << QString() << QStringList() << -1 << QString()
                                     << QStringLiteral("Pas de département spécifié dans ce QSO");
}

void Tst_Principal::pages_web_au_navigateur()
{
    QFETCH(bool, liste);
    QFETCH(QString, hote);
    QFETCH(QStringList, references);
    QFETCH(int, ligne);
    QFETCH(QString, page);
    QFETCH(QString, message);
    p.Installer_Station();
    if (!hote.isEmpty())
        Ecrire_Reglage(*p.reglages, QStringLiteral("Setup "),
                       Reglages::Cle_Hote(liste ? Reglages::Site::Departements : Reglages::Site::Reglement), hote);
    QStringList log;
    for (const QString& r : references)
        log << Enr(QStringLiteral("01/03/09"), r, QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ"));
    p.Ecrire_Log(log);

    Navigateur_Test navigateur;
    for (const char* schema : {"http", "https"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(schema), &navigateur, "Ouvrir");
    struct Remise
    {
        bool avant = Fenetres_Web::Navigateur_Systeme;
        ~Remise()
        {
            Fenetres_Web::Navigateur_Systeme = avant;
            QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
            QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        }
    } remise;
    Fenetres_Web::Navigateur_Systeme = true;

    Main_Test* m = p.Demarrer();
    p.plateforme->Prendre_Messages();
    if (ligne >= 0)
        Cliquer_Ligne(m->Liste_KVRT, ligne);
    // Twice: no window was kept to bring to the front, so the page opens again.
    for (int fois = 1; fois <= 2; ++fois) {
        if (liste)
            Cliquer_Dans(m->ListeKVRT);
        else
            Choisir_Menu(m->Mnu_Reglement);
        QVERIFY(!m->Fenetre_Reglement() && !m->Fenetre_Liste_KVRT1());
    }
    QList<QUrl> pages;
    QStringList messages;
    if (!page.isEmpty())
        pages = {QUrl(page), QUrl(page)};
    if (!message.isEmpty())
        messages = {message, message};
    QCOMPARE(navigateur.pages, pages);
    QCOMPARE(p.plateforme->messages, messages);
    QVERIFY(!Fenetres_Web::Charge());
}

void Tst_Principal::quitter_par_ctrl_q()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    // Shown in the menu beside the item, as Annuler and Rétablir show theirs.
    QCOMPARE(m->Mnu_Quitter->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(m->Mnu_Quitter->text(), QStringLiteral("&Quitter QEZ_Challenge_KVRT"));
    // From the entry field where the focus waits, the program ends.
    Activer(m);
    QVERIFY(Focus_Dans(m->Ind_A));
    Touche_Ici(m, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(p.sp->Programme_Termine());
    QVERIFY(!m->isVisible());
    QCOMPARE(m->Ind_A->text(), QString());
    QVERIFY(garde.fermees.isEmpty());
    // The program asked the event loop to end, and no test runs one: a loop run and ended here
    // clears that request, which would end every later dialog at once.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void Tst_Principal::echap_ferme_data()
{
    QTest::addColumn<QString>("commande");
    QTest::addColumn<QString>("fenetre");
    QTest::newRow("recapitulatif") << "Mnu_Recap" << "Recapitulatif";
    QTest::newRow("KVRT contactes") << "Mnu_C_Contacte" << "Aff_Contacte";
    QTest::newRow("carte") << "Mnu_Dpt_Contactes" << "Carte_Acti";
    QTest::newRow("progression") << "Mnu_Progression" << "Progression";
    QTest::newRow("historique des modifications") << "Mnu_Historique_Modifications" << "Historique_Modifications";
    QTest::newRow("mode d'emploi") << "Mnu_Mode_Emploi" << "Aide";
}

// The windows that only show something close with Escape, wherever their focus is; the main
// window stays, with its entry area as it was.
void Tst_Principal::echap_ferme()
{
    QFETCH(QString, commande);
    QFETCH(QString, fenetre);
    p.Installer_Station();
    p.Ecrire_Log({Enr(QStringLiteral("01/03/09"), QStringLiteral("29001"), QStringLiteral("Chateau active"), QStringLiteral("F5XYZ"))});
    QVERIFY(QFile::copy(QStringLiteral(KVRT_RESSOURCES "/QEZ_Challenge.hlp"), p.Chemin(QStringLiteral("QEZ_Challenge.hlp"))));
    Main_Test* m = p.Demarrer();
    Activer(m);
    auto* action = m->findChild<QAction*>(commande);
    QVERIFY(action);
    Choisir_Menu(action);
    QPointer<QWidget> f;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == fenetre && w->isVisible())
            f = w;
    QVERIFY2(f, qPrintable(fenetre));
    Activer(f);
    Touche_Ici(f, Qt::Key_Tab);
    Touche_Ici(f, Qt::Key_Escape);
    QTRY_VERIFY(!f || !f->isVisible());
    QVERIFY(m->isVisible());
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Principal::dossier_des_logs()
{
    p.Installer_Station();
    Main_Test* m = p.Demarrer();
    Activer(m);
    Choisir_Menu(m->Mnu_Ouvrir_Dossier_Logs);
    QCOMPARE(p.plateforme->dossiersOuverts, QStringList{p.sp->Repertoire()});
    QVERIFY(p.plateforme->messages.isEmpty());
    // A desktop without a file manager: the folder is named, so that it can be found.
    p.plateforme->ouvertureReussie = false;
    Choisir_Menu(m->Mnu_Ouvrir_Dossier_Logs);
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList{QStringLiteral("Le gestionnaire de fichiers n'a pas pu être ouvert. Le dossier des logs est :\r\n")
                         + QDir::toNativeSeparators(p.sp->Repertoire())});
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Principal::fichiers_du_log_data()
{
    // `reponse` is what the operator chooses in the save dialog ("-" when he takes the name
    // offered, empty when he gives up), `fichier` where the file is then, and `message` what
    // he is told, with "@" for the folder of the logs.
    QTest::addColumn<QString>("commande");
    QTest::addColumn<QString>("reponse");
    QTest::addColumn<QString>("dialogue");
    QTest::addColumn<QString>("fichier");
    QTest::addColumn<QString>("message");
    const QString copie = QStringLiteral("Enregistrer une copie du log|@/F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt");
    const QString adif = QStringLiteral("Enregistrer le log au format ADIF|@/F1ABC_Challenge_KVRT_2009.adi");
    const QString pasDeCopie = QStringLiteral("\r\nAucune copie n'a été enregistrée.");
    QTest::newRow("copie, nom propose") << "Mnu_Enregistrer_Copie" << "-" << copie << "F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt"
                                        << "Une copie du log a été enregistrée sous le nom : @/F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt";
    QTest::newRow("copie, autre dossier") << "Mnu_Enregistrer_Copie" << "@/sauvegardes/mon log.txt" << copie << "sauvegardes/mon log.txt"
                                          << "Une copie du log a été enregistrée sous le nom : @/sauvegardes/mon log.txt";
    QTest::newRow("copie, remplace une ancienne copie") << "Mnu_Enregistrer_Copie" << "@/sauvegardes/ancienne.txt" << copie
                                                        << "sauvegardes/ancienne.txt"
                                                        << "Une copie du log a été enregistrée sous le nom : @/sauvegardes/ancienne.txt";
    QTest::newRow("copie abandonnee") << "Mnu_Enregistrer_Copie" << "" << copie << "" << "";
    QTest::newRow("copie sur le log") << "Mnu_Enregistrer_Copie" << "@/F1ABC_Challenge_KVRT_2009.txt" << copie << ""
                                      << "Une copie ne peut pas remplacer le log ni son journal :\r\n@/F1ABC_Challenge_KVRT_2009.txt" + pasDeCopie;
    QTest::newRow("copie sur le log par un autre chemin") << "Mnu_Enregistrer_Copie" << "@/sauvegardes/../F1ABC_Challenge_KVRT_2009.txt" << copie << ""
                                      << "Une copie ne peut pas remplacer le log ni son journal :\r\n@/sauvegardes/../F1ABC_Challenge_KVRT_2009.txt" + pasDeCopie;
    QTest::newRow("copie sur le journal") << "Mnu_Enregistrer_Copie" << "@/F1ABC_Challenge_KVRT_2009.txt.journal" << copie << ""
                                          << "Une copie ne peut pas remplacer le log ni son journal :\r\n@/F1ABC_Challenge_KVRT_2009.txt.journal" + pasDeCopie;
    QTest::newRow("copie dans un dossier absent") << "Mnu_Enregistrer_Copie" << "@/absent/log.txt" << copie << ""
                                                  << "Erreur N° 75 : impossible de créer le fichier\r\n@/absent/log.txt\r\n(chemin ou fichier inaccessible).\r\n"
                                                     "Aucune copie n'a été enregistrée.";
    QTest::newRow("ADIF, nom propose") << "Mnu_Enr_Adif" << "-" << adif << "F1ABC_Challenge_KVRT_2009.adi"
                                       << "Le log a été enregistré au format ADIF sous le nom : @/F1ABC_Challenge_KVRT_2009.adi\r\n3 QSO exportés.";
    QTest::newRow("ADIF, autre dossier") << "Mnu_Enr_Adif" << "@/sauvegardes/echange.adi" << adif << "sauvegardes/echange.adi"
                                         << "Le log a été enregistré au format ADIF sous le nom : @/sauvegardes/echange.adi\r\n3 QSO exportés.";
    QTest::newRow("ADIF abandonne") << "Mnu_Enr_Adif" << "" << adif << "" << "";
    const QString pasDAdif = QStringLiteral("\r\nLe log n'a pas été enregistré au format ADIF.");
    QTest::newRow("ADIF sur le log") << "Mnu_Enr_Adif" << "@/F1ABC_Challenge_KVRT_2009.txt" << adif << ""
                                     << "Le fichier ADIF ne peut pas remplacer le log ni son journal :\r\n@/F1ABC_Challenge_KVRT_2009.txt" + pasDAdif;
    QTest::newRow("ADIF sur le journal") << "Mnu_Enr_Adif" << "@/sauvegardes/../F1ABC_Challenge_KVRT_2009.txt.journal" << adif << ""
                                         << "Le fichier ADIF ne peut pas remplacer le log ni son journal :\r\n"
                                            "@/sauvegardes/../F1ABC_Challenge_KVRT_2009.txt.journal" + pasDAdif;
}

// Fichier > Enregistrer une copie du log… and Enregistrer > le log au format ADIF: the save
// dialog opens on the folder of the logs with the usual name; the file goes where the operator
// says, and the message names it in full. The log, its journal and the folder are otherwise left
// as they were.
void Tst_Principal::fichiers_du_log()
{
    QFETCH(QString, commande);
    QFETCH(QString, reponse);
    QFETCH(QString, dialogue);
    QFETCH(QString, fichier);
    QFETCH(QString, message);
    p.Installer_Station();
    const QStringList log = {Enr(QStringLiteral("01/03/09"), QStringLiteral("29001"), QStringLiteral("Chateau active"), QStringLiteral("F5XYZ")),
                             Enr(QStringLiteral("02/03/09"), QStringLiteral("35002"), QStringLiteral("Chateau Contacte"), QStringLiteral("F6ABC"), true)};
    p.Ecrire_Log(log);
    Main_Test* m = p.Demarrer();
    const QString dossier = p.sp->Repertoire();
    auto Ici = [&](QString texte) { return texte.replace(QLatin1Char('@'), QDir::toNativeSeparators(dossier)); };
    // A change journalled first: the journal must come out of it as it went in.
    Activer(m);
    Saisir(m, QStringLiteral("F8ZZZ"), 0, QStringLiteral("56001"));
    Entree(m->Valide_A);
    const QByteArray octetsLog = p.Octets_Log();
    QCOMPARE(octetsLog.count("\r\n"), 3);
    const QString journal = QFileInfo(p.Log()).fileName() + QStringLiteral(".journal");
    const QByteArray octetsJournal = p.Lire_Fichier(journal);
    QVERIFY(!octetsJournal.isEmpty());
    QVERIFY(QDir(dossier).mkdir(QStringLiteral("sauvegardes")));
    p.Ecrire_Fichier(QStringLiteral("sauvegardes/ancienne.txt"), QByteArray(5000, 'x'));
    const QStringList avant = QDir(dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);

    if (reponse != QLatin1String("-"))
        p.plateforme->fichiers = {reponse.replace(QLatin1Char('@'), dossier)};
    p.plateforme->messages.clear();
    auto* action = m->findChild<QAction*>(commande);
    QVERIFY(action);
    Choisir_Menu(action);
    QCOMPARE(p.plateforme->dialogues, QStringList{dialogue.replace(QLatin1Char('@'), dossier)});
    QCOMPARE(p.plateforme->Prendre_Messages(), message.isEmpty() ? QStringList() : QStringList{Ici(message)});
    if (!fichier.isEmpty()) {
        const QByteArray ecrit = p.Lire_Fichier(fichier);
        if (commande == QLatin1String("Mnu_Enr_Adif"))
            QVERIFY2(ecrit.startsWith("Log du Challenge KVRT 2009 de F1ABC, exporte par QEZ_Challenge_KVRT\r\n"), ecrit.left(200).constData());
        else
            QCOMPARE(ecrit, octetsLog);
    }
    // Nothing else in the folder: no file half written, no temporary left beside.
    QStringList attendus = avant;
    if (!fichier.isEmpty() && !fichier.contains(QLatin1Char('/')))
        attendus.append(fichier);
    attendus.sort();
    QCOMPARE(QDir(dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), attendus);
    QStringList sauvegardes = {QStringLiteral("ancienne.txt")};
    if (fichier.startsWith(QLatin1String("sauvegardes/")) && fichier != QLatin1String("sauvegardes/ancienne.txt"))
        sauvegardes.append(fichier.mid(12));
    sauvegardes.sort();
    QCOMPARE(QDir(dossier + QStringLiteral("/sauvegardes")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             sauvegardes);
    if (fichier != QLatin1String("sauvegardes/ancienne.txt"))
        QCOMPARE(p.Lire_Fichier(QStringLiteral("sauvegardes/ancienne.txt")), QByteArray(5000, 'x'));
    QCOMPARE(p.Octets_Log(), octetsLog);
    QCOMPARE(p.Lire_Fichier(journal), octetsJournal);
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Principal::boite_enregistrer_en_francais_data()
{
    // What the operator types in the name field (after Ctrl+A), then the key that ends the
    // dialog; the path the program gets, "@" for the folder offered.
    QTest::addColumn<QString>("tape");
    QTest::addColumn<int>("touche");
    QTest::addColumn<QString>("chemin");
    QTest::newRow("nom propose") << QString() << int(Qt::Key_Return) << "@/F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt";
    QTest::newRow("nom sans extension") << "ma copie" << int(Qt::Key_Return) << "@/ma copie.txt";
    QTest::newRow("nom avec extension") << "copie.txt" << int(Qt::Key_Return) << "@/copie.txt";
    QTest::newRow("abandon par Echap") << "copie" << int(Qt::Key_Escape) << "";
}

// The save dialog of the real seam: Qt's own, in French from Qt's translations, every column
// header whole, opened on the folder and the name offered, and ended by the keyboard.
void Tst_Principal::boite_enregistrer_en_francais()
{
    QFETCH(QString, tape);
    QFETCH(int, touche);
    QFETCH(QString, chemin);
    Traduction_Qt traduction;
    QVERIFY2(traduction.Charger(), "qtbase_fr absent : bash scripts/dependances.sh installe qt6-translations-l10n");
    QApplication::installTranslator(&traduction);
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    QVERIFY(QDir(dossier.path()).mkdir(QStringLiteral("sauvegardes")));
    QStringList entetes;
    QString titre, rue, typeDossier;
    bool coupe = false;
    Sur_Modal([&](QWidget* modal) {
        auto* dialogue = qobject_cast<QFileDialog*>(modal);
        if (!dialogue)
            return;
        titre = dialogue->windowTitle();
        rue = QDir(dialogue->directory()).absolutePath();
        for (QTreeView* vue : dialogue->findChildren<QTreeView*>()) {
            QHeaderView* entete = vue->header();
            for (int i = 0; i < entete->count(); ++i) {
                const QString texte = entete->model()->headerData(i, Qt::Horizontal).toString();
                entetes << texte;
                if (entete->sectionSize(i) < entete->fontMetrics().horizontalAdvance(texte) + 8)
                    coupe = true;
            }
            // Every column in sight, without scrolling to the side, once the dialog is laid out.
            if (!QTest::qWaitFor([&] { return entete->length() <= vue->viewport()->width(); }, 2000))
                coupe = true;
            // The folder's line, once the dialog has read the folder: its type column.
            (void)QTest::qWaitFor([&] {
                const QModelIndex racine = vue->rootIndex();
                for (int r = 0; r < vue->model()->rowCount(racine); ++r)
                    if (vue->model()->index(r, 0, racine).data().toString() == QLatin1String("sauvegardes"))
                        typeDossier = vue->model()->index(r, 2, racine).data().toString();
                return !typeDossier.isEmpty();
            });
        }
        if (!QTest::qWaitForWindowActive(dialogue))
            qWarning("file dialog not active");
        if (!tape.isEmpty()) {
            Touche_Ici(dialogue, Qt::Key_A, Qt::ControlModifier);
            Taper_Ici(dialogue, tape);
        }
        Touche_Ici(dialogue, Qt::Key(touche));
    });
    Plateforme_Reelle reelle;
    const QString propose = dossier.path() + QStringLiteral("/F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt");
    const QString choisi = reelle.Fichier_A_Enregistrer(QStringLiteral("Enregistrer une copie du log"), propose,
                                                        QStringLiteral("Log (*.txt)"));
    QApplication::removeTranslator(&traduction);
    QCOMPARE(titre, QStringLiteral("Enregistrer une copie du log"));
    QCOMPARE(rue, QDir(dossier.path()).absolutePath());
    QVERIFY2(entetes.contains(QStringLiteral("Dernière modification")), qPrintable(entetes.join(QLatin1Char('|'))));
    QVERIFY2(!coupe, qPrintable(QStringLiteral("colonnes coupées : ") + entetes.join(QLatin1Char('|'))));
    QCOMPARE(typeDossier, QStringLiteral("Dossier"));
    QCOMPARE(choisi, chemin.replace(QLatin1Char('@'), dossier.path()));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Principal)
#include "tst_principal.moc"
