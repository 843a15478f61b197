// The search window on real widgets: modes, limits, messages, and picking a result.

#include "Apparence.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Recherche_Indicatif.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTest>

// The log of every scenario: line numbers 1 to 7 in the main list.
static QStringList Log_Type()
{
    return {
        Enr(QStringLiteral("02/03/09"), QStringLiteral("77001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ")),
        Enr(QStringLiteral("05/03/09"), QStringLiteral("2A003"), QStringLiteral("Chateau Contacte"), QStringLiteral("F6ABZ")),
        Enr(QStringLiteral("07/03/09"), QStringLiteral("29012"), QStringLiteral("Reactivation Contactee"), QStringLiteral("ON4XY")),
        Enr(QStringLiteral("09/03/09"), QStringLiteral("77012"), QStringLiteral("Chateau active"), QStringLiteral("F5XY"), true),
        Enr(QStringLiteral("11/03/09"), QStringLiteral("2a005"), QStringLiteral("Chateau Contacte"), QStringLiteral("DL1XYZ")),
        Enr(QStringLiteral("12/03/09"), QStringLiteral("07001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5XYZ/P")),
        Enr(QStringLiteral("14/03/09"), QStringLiteral("77001"), QStringLiteral("Resident Contacte"), QStringLiteral("EA3ABC")),
    };
}

// A program started afresh and its open search window.
struct Scenario
{
    Programme_Test& p;
    Main_Test* m = nullptr;
    QPointer<Recherche_Indicatif> r;

    explicit Scenario(Programme_Test& programme, const QStringList& log = Log_Type()) : p(programme)
    {
        p.Recommencer();
        p.Installer_Station();
        p.Ecrire_Log(log);
        m = p.Demarrer();
        p.plateforme->messages.clear();
        Ouvrir();
    }

    void Ouvrir()
    {
        Cliquer_Dans(m->Recherche);
        r = m->Fenetre_Recherche();
    }

    // The line numbers of the result rows, read from the rows themselves.
    QList<int> Numeros() const
    {
        QList<int> n;
        for (const QString& ligne : r->Resultats())
            n << ligne.left(5).trimmed().toInt();
        return n;
    }

    void Cliquer_Option(int i) { Cliquer_Dans(Controle<QRadioButton>(r, qPrintable(QStringLiteral("Option1_%1").arg(i)))); }
    void Cliquer_Case(QLineEdit* boite) { Cliquer_Dans(boite); }
    // Tab and Shift+Tab as a desktop delivers them, to the window's focus.
    void Tab(int fois = 1)
    {
        for (int i = 0; i < fois; ++i)
            Touche_Ici(r, Qt::Key_Tab);
    }
    void Tab_Arriere(int fois = 1)
    {
        for (int i = 0; i < fois; ++i)
            Touche_Ici(r, Qt::Key_Backtab, Qt::ShiftModifier);
    }
};

class Tst_Recherche : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ouverture();
    void modes_data();
    void modes();
    void limites_et_cases_vides_data();
    void limites_et_cases_vides();
    void choix_du_mode();
    void case_atteinte_par_tab();
    void cases_videes_apres_recherche();
    void saut_de_ligne_colle();
    void log_vide();
    void choix_d_un_resultat();
    void choix_d_un_resultat_au_clavier();
    void choix_apres_changement_du_log();
    void quitter_et_reouvrir();
    void champs_coupes_dans_la_ligne_data();
    void champs_coupes_dans_la_ligne();
};

void Tst_Recherche::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void Tst_Recherche::ouverture()
{
    Scenario s(p);
    QVERIFY(s.r);
    QVERIFY(s.r->isVisible());
    QVERIFY(s.r->isWindow());
    QCOMPARE(s.r->windowTitle(), QStringLiteral("Recherche d'un QSO"));
    QCOMPARE(Controle<QRadioButton>(s.r, "Option1_1")->text(), QStringLiteral("Indicatif"));
    QCOMPARE(Controle<QRadioButton>(s.r, "Option1_2")->text(), QStringLiteral("KVRT"));
    QCOMPARE(Controle<QRadioButton>(s.r, "Option1_3")->text(), QStringLiteral("Dpt"));
    QVERIFY(Controle<QRadioButton>(s.r, "Option1_1")->isChecked());
    QCOMPARE(s.r->focusWidget(), Controle<QLineEdit>(s.r, "Indica"));
    for (QWidget* w : {static_cast<QWidget*>(Controle<QLineEdit>(s.r, "Indica")), static_cast<QWidget*>(Controle<QLineEdit>(s.r, "Data")),
                       static_cast<QWidget*>(Controle<QLineEdit>(s.r, "Depa")), static_cast<QWidget*>(Controle<QListView>(s.r, "QSO_Effectues"))})
        QCOMPARE(Apparence::Couleur(w), Apparence::Jaune_Pale);
    QCOMPARE(Controle<QListView>(s.r, "QSO_Effectues")->font().bold(), true);
    QVERIFY(QFontInfo(Controle<QListView>(s.r, "QSO_Effectues")->font()).fixedPitch());
    QCOMPARE(Controle<QListView>(s.r, "QSO_Effectues")->toolTip(), QStringLiteral("Cliquez sur le QSO pour le selectionner"));
    QCOMPARE(Controle<QPushButton>(s.r, "Command1")->text(), QStringLiteral("Quitter"));
    QCOMPARE(Controle<QLabel>(s.r, "Label10")->text(), QStringLiteral("Type d'activité"));

    // A second press brings the same window forward.
    s.Ouvrir();
    QCOMPARE(s.r.data(), s.m->Fenetre_Recherche());
    QCOMPARE(s.m->findChildren<Recherche_Indicatif*>().size(), 1);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::modes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QString>("dans_la_case");
    QTest::addColumn<QList<int>>("lignes");

    using L = QList<int>;
    // Callsign: the key anywhere in the callsign, typed letters in capitals.
    QTest::newRow("indicatif au milieu") << 1 << "5xy" << "5XY" << L{1, 4, 6};
    QTest::newRow("indicatif fin") << 1 << "abz" << "ABZ" << L{2};
    QTest::newRow("indicatif avec barre") << 1 << "xyz/" << "XYZ/" << L{6};
    QTest::newRow("indicatif complet") << 1 << "EA3ABC" << "EA3ABC" << L{7};
    QTest::newRow("indicatif plus long que le stocke") << 1 << "F5XYZ/PP" << "F5XYZ/PP" << L{};
    QTest::newRow("indicatif de 12 caracteres") << 1 << "F5XYZF5XYZ12" << "F5XYZF5XYZ12" << L{};
    // Reference: the whole reference, upper-cased.
    QTest::newRow("reference entiere") << 2 << "77001" << "77001" << L{1, 7};
    QTest::newRow("reference incomplete") << 2 << "7700" << "7700" << L{};
    QTest::newRow("reference corse tapee en minuscule") << 2 << "2a003" << "2A003" << L{2};
    QTest::newRow("reference stockee en minuscule introuvable") << 2 << "2a005" << "2A005" << L{};
    // Departement: two characters as typed, nothing upper-cased.
    QTest::newRow("departement") << 3 << "77" << "77" << L{1, 4, 7};
    QTest::newRow("departement zero en tete") << 3 << "07" << "07" << L{6};
    QTest::newRow("departement sur un chiffre") << 3 << "7" << "7" << L{};
    QTest::newRow("departement 2A") << 3 << "2A" << "2A" << L{2};
    QTest::newRow("departement 2a ne trouve pas 2A") << 3 << "2a" << "2a" << L{5};
}

void Tst_Recherche::modes()
{
    QFETCH(int, mode);
    QFETCH(QString, tape);
    QFETCH(QString, dans_la_case);
    QFETCH(QList<int>, lignes);

    Scenario s(p);
    QLineEdit* boite = Controle<QLineEdit>(s.r, mode == 1 ? "Indica" : mode == 2 ? "Data" : "Depa");
    s.Cliquer_Case(boite);
    QCOMPARE(s.r->Mode(), mode);
    Taper(boite, tape, false);
    QCOMPARE(boite->text(), dans_la_case);
    Entree(boite);

    QCOMPARE(s.Numeros(), lignes);
    // The results are the main list's rows, unchanged and in its order.
    for (const QString& ligne : s.r->Resultats())
        QCOMPARE(ligne, s.m->Texte_Ligne(ligne.left(5).trimmed().toInt() - 1));
    QCOMPARE(s.p.plateforme->messages, lignes.isEmpty() ? QStringList{QStringLiteral("Pas de QSO trouvé")} : QStringList{});
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::limites_et_cases_vides_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reste");

    QTest::newRow("indicatif 13") << 1 << "F5XYZF5XYZ123" << "Attention 12 caracteres maxi pour l'indicatif" << "F5XYZF5XYZ123";
    QTest::newRow("reference 6") << 2 << "770012" << "Attention 5 caracteres maxi pour une reference" << "770012";
    QTest::newRow("departement 3") << 3 << "2a0" << "Attention 2 caracteres maxi pour le departement" << "2a0";
    QTest::newRow("indicatif vide") << 1 << "" << "Entrez un indicatif" << "";
    QTest::newRow("reference vide") << 2 << "" << "Entrez une reference" << "";
    QTest::newRow("departement vide") << 3 << "" << "Entrez un departement" << "";
}

void Tst_Recherche::limites_et_cases_vides()
{
    QFETCH(int, mode);
    QFETCH(QString, tape);
    QFETCH(QString, message);
    QFETCH(QString, reste);

    Scenario s(p);
    // Results of an earlier search stay: a refused Enter runs no search.
    Taper(Controle<QLineEdit>(s.r, "Indica"), QStringLiteral("ABZ"));
    QCOMPARE(s.Numeros(), QList<int>{2});

    QLineEdit* boite = Controle<QLineEdit>(s.r, mode == 1 ? "Indica" : mode == 2 ? "Data" : "Depa");
    s.Cliquer_Case(boite);
    // Any number of characters can be typed; the limit applies at Enter.
    Taper(boite, tape);
    QCOMPARE(s.p.plateforme->messages, QStringList{message});
    QCOMPARE(boite->text(), reste);
    QCOMPARE(s.Numeros(), QList<int>{2});
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::choix_du_mode()
{
    Scenario s(p);
    // A click in a box chooses its mode.
    s.Cliquer_Case(Controle<QLineEdit>(s.r, "Depa"));
    QVERIFY(Controle<QRadioButton>(s.r, "Option1_3")->isChecked());
    s.Cliquer_Case(Controle<QLineEdit>(s.r, "Data"));
    QVERIFY(Controle<QRadioButton>(s.r, "Option1_2")->isChecked());
    QVERIFY(!Controle<QRadioButton>(s.r, "Option1_3")->isChecked());
    // A click on an option sends the focus to its box.
    s.Cliquer_Option(3);
    QCOMPARE(s.r->Mode(), 3);
    QCOMPARE(s.r->focusWidget(), Controle<QLineEdit>(s.r, "Depa"));
    s.Cliquer_Option(1);
    QCOMPARE(s.r->focusWidget(), Controle<QLineEdit>(s.r, "Indica"));
    // Tab moves between the boxes and leaves the option alone.
    s.Tab();
    QCOMPARE(s.r->focusWidget(), Controle<QLineEdit>(s.r, "Data"));
    s.Tab();
    QCOMPARE(s.r->focusWidget(), Controle<QLineEdit>(s.r, "Depa"));
    QCOMPARE(s.r->Mode(), 1);
    // The departement box takes letters as typed; the other two in capitals.
    Taper(Controle<QLineEdit>(s.r, "Depa"), QStringLiteral("2b"), false);
    QCOMPARE(Controle<QLineEdit>(s.r, "Depa")->text(), QStringLiteral("2b"));
    s.Tab_Arriere();
    QCOMPARE(s.r->Mode(), 1);
    Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("2b001"), false);
    QCOMPARE(Controle<QLineEdit>(s.r, "Data")->text(), QStringLiteral("2B001"));
    QVERIFY(s.p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::case_atteinte_par_tab()
{
    {
        // Enter in Data while "Indicatif" is selected searches by callsign with Indica.
        Scenario s(p);
        Taper(Controle<QLineEdit>(s.r, "Indica"), QStringLiteral("xyz"), false);
        s.Tab();
        QCOMPARE(s.r->focusWidget(), Controle<QLineEdit>(s.r, "Data"));
        Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("29012"));
        QCOMPARE(s.Numeros(), (QList<int>{1, 5, 6}));
        QVERIFY(s.p.plateforme->messages.isEmpty());
        QVERIFY(Controle<QLineEdit>(s.r, "Indica")->text().isEmpty());
        QVERIFY(Controle<QLineEdit>(s.r, "Data")->text().isEmpty());
    }
    {
        // With Indica empty only its message appears, and Data keeps its text.
        Scenario s(p);
        s.Tab();
        Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("29012"));
        QCOMPARE(s.p.plateforme->messages, QStringList{QStringLiteral("Entrez un indicatif")});
        QCOMPARE(Controle<QLineEdit>(s.r, "Data")->text(), QStringLiteral("29012"));
        QVERIFY(s.r->Resultats().isEmpty());
    }
    {
        // Data's own limit still applies first.
        Scenario s(p);
        Taper(Controle<QLineEdit>(s.r, "Indica"), QStringLiteral("xyz"), false);
        s.Tab();
        Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("290123"));
        QCOMPARE(s.p.plateforme->messages, QStringList{QStringLiteral("Attention 5 caracteres maxi pour une reference")});
        QCOMPARE(Controle<QLineEdit>(s.r, "Indica")->text(), QStringLiteral("XYZ"));
        QVERIFY(s.r->Resultats().isEmpty());
    }
    {
        // Enter in Depa with the reference mode searches Data's reference.
        Scenario s(p);
        s.Cliquer_Case(Controle<QLineEdit>(s.r, "Data"));
        Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("2a003"), false);
        s.Tab();
        Taper(Controle<QLineEdit>(s.r, "Depa"), QStringLiteral("77"));
        QCOMPARE(s.Numeros(), QList<int>{2});
    }
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::cases_videes_apres_recherche()
{
    Scenario s(p);
    // A search that finds something empties all three boxes...
    s.Tab();
    Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("123"), false);
    s.Tab();
    Taper(Controle<QLineEdit>(s.r, "Depa"), QStringLiteral("9"), false);
    s.Tab_Arriere(2);
    Taper(Controle<QLineEdit>(s.r, "Indica"), QStringLiteral("ON4"));
    QCOMPARE(s.Numeros(), QList<int>{3});
    for (QLineEdit* boite : {Controle<QLineEdit>(s.r, "Indica"), Controle<QLineEdit>(s.r, "Data"), Controle<QLineEdit>(s.r, "Depa")})
        QVERIFY2(boite->text().isEmpty(), qPrintable(boite->objectName()));
    // ...and so does one that finds nothing, which also empties the results.
    s.Tab();
    Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("123"), false);
    s.Cliquer_Case(Controle<QLineEdit>(s.r, "Depa"));
    Taper(Controle<QLineEdit>(s.r, "Depa"), QStringLiteral("99"), false);
    s.Tab_Arriere(2);
    Taper(Controle<QLineEdit>(s.r, "Indica"), QStringLiteral("K"), false);
    s.Tab(2);
    Entree(Controle<QLineEdit>(s.r, "Depa"));
    QCOMPARE(s.p.plateforme->messages, QStringList{QStringLiteral("Pas de QSO trouvé")});
    QVERIFY(s.r->Resultats().isEmpty());
    for (QLineEdit* boite : {Controle<QLineEdit>(s.r, "Indica"), Controle<QLineEdit>(s.r, "Data"), Controle<QLineEdit>(s.r, "Depa")})
        QVERIFY2(boite->text().isEmpty(), qPrintable(boite->objectName()));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::saut_de_ligne_colle()
{
    Scenario s(p);
    // A pasted text may begin with a line break: the search drops it. Ctrl+V puts the
    // clipboard's text in the box that has the focus, line break included.
    QVERIFY(Focus_Dans(Controle<QLineEdit>(s.r, "Indica")));
    QGuiApplication::clipboard()->setText(QStringLiteral("\r\nabz"));
    Touche_Ici(s.r, Qt::Key_V, Qt::ControlModifier);
    QVERIFY2(Controle<QLineEdit>(s.r, "Indica")->text().startsWith(QLatin1String("\r\n")), qPrintable(Controle<QLineEdit>(s.r, "Indica")->text()));
    Entree(Controle<QLineEdit>(s.r, "Indica"));
    QCOMPARE(s.Numeros(), QList<int>{2});
    QVERIFY(s.p.plateforme->messages.isEmpty());
    // A line break alone leaves an empty box and its message, and nothing else.
    QGuiApplication::clipboard()->setText(QStringLiteral("\r\n"));
    Touche_Ici(s.r, Qt::Key_V, Qt::ControlModifier);
    s.Tab();
    Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("77001"), false);
    s.Tab_Arriere();
    Entree(Controle<QLineEdit>(s.r, "Indica"));
    QCOMPARE(s.p.plateforme->messages, QStringList{QStringLiteral("Entrez un indicatif")});
    QVERIFY(Controle<QLineEdit>(s.r, "Indica")->text().isEmpty());
    QCOMPARE(Controle<QLineEdit>(s.r, "Data")->text(), QStringLiteral("77001"));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::log_vide()
{
    Scenario s(p, QStringList{});
    QCOMPARE(s.m->Nombre_Lignes(), 0);
    const struct { int mode; QLineEdit* boite; const char* texte; } cas[] = {
        {1, Controle<QLineEdit>(s.r, "Indica"), "F5XYZ"}, {2, Controle<QLineEdit>(s.r, "Data"), "77001"}, {3, Controle<QLineEdit>(s.r, "Depa"), "77"}};
    for (const auto& c : cas) {
        s.Cliquer_Case(c.boite);
        Taper(c.boite, QString::fromLatin1(c.texte));
        QCOMPARE(s.p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Pas de QSO trouvé")});
        QVERIFY(c.boite->text().isEmpty());
    }
    // With no row to compare, an empty callsign reached with Tab is not even looked at.
    s.Cliquer_Option(1);
    s.Tab();
    Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("77001"));
    QCOMPARE(s.p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Pas de QSO trouvé")});
    QVERIFY(Controle<QLineEdit>(s.r, "Data")->text().isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::choix_d_un_resultat()
{
    Scenario s(p);
    QCOMPARE(s.m->Ligne_Courante(), 6); // start-up selects the last line
    s.Cliquer_Case(Controle<QLineEdit>(s.r, "Depa"));
    Taper(Controle<QLineEdit>(s.r, "Depa"), QStringLiteral("77"));
    QCOMPARE(s.Numeros(), (QList<int>{1, 4, 7}));

    // The second result is line 4 of the log.
    Cliquer_Ligne(Controle<QListView>(s.r, "QSO_Effectues"), 1);

    QCOMPARE(s.m->Ligne_Courante(), 3);
    QCOMPARE(s.m->Ligne_Selectionnee(), s.m->Texte_Ligne(3));
    QVERIFY(s.m->Ligne_Selectionnee().startsWith(QLatin1String("    4   09/03/09 *77012")));
    // The main window shows that QSO, as after a click in its own list.
    QCOMPARE(s.m->Date_A->text(), QStringLiteral("09/03/09"));
    QCOMPARE(s.m->KVRT_A->text(), QStringLiteral("77012"));
    QCOMPARE(s.m->Ind_A->text(), QStringLiteral("F5XY"));
    QVERIFY(s.m->Validation_A->isChecked());
    QVERIFY(s.m->Annule_Saisie->isEnabled());
    QVERIFY(s.p.plateforme->messages.isEmpty());
    // The search window closes and is discarded.
    QTRY_VERIFY(s.r.isNull());
    QVERIFY(!s.m->Fenetre_Recherche());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::choix_d_un_resultat_au_clavier()
{
    Scenario s(p);
    Taper(Controle<QLineEdit>(s.r, "Indica"), QStringLiteral("xyz"));
    QCOMPARE(s.Numeros(), (QList<int>{1, 5, 6}));
    // Tab from the emptied boxes reaches the results on their first row; Down and Enter pick
    // the second, line 5 of the log.
    s.Tab(3);
    QVERIFY(Focus_Dans(Controle<QListView>(s.r, "QSO_Effectues")));
    Touche_Ici(s.r, Qt::Key_Down);
    Entree(Controle<QListView>(s.r, "QSO_Effectues"));
    QCOMPARE(s.m->Ligne_Courante(), 4);
    QCOMPARE(s.m->Ligne_Selectionnee(), s.m->Texte_Ligne(4));
    QCOMPARE(s.m->Ind_A->text(), QStringLiteral("DL1XYZ"));
    QCOMPARE(s.m->KVRT_A->text(), QStringLiteral("2a005"));
    QVERIFY(s.p.plateforme->messages.isEmpty());
    QTRY_VERIFY(s.r.isNull());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::choix_apres_changement_du_log()
{
    Scenario s(p);
    Taper(Controle<QLineEdit>(s.r, "Indica"), QStringLiteral("ABZ"));
    QCOMPARE(s.Numeros(), QList<int>{2});
    // The log changes under the search: line 1 goes, the numbers move. The file is rewritten
    // behind the program's back, so the list is read again by the routine itself.
    QStringList log = Log_Type();
    log.removeFirst();
    s.p.Ecrire_Log(log);
    s.p.sp->Rafraichir_Liste_Log();
    const QString avant = s.m->Ligne_Selectionnee();
    QCOMPARE(s.m->Ligne_Courante(), 5);

    Cliquer_Ligne(Controle<QListView>(s.r, "QSO_Effectues"), 0);
    // Nothing matches any more: the main list keeps its line, the window still closes.
    QCOMPARE(s.m->Ligne_Courante(), 5);
    QCOMPARE(s.m->Ligne_Selectionnee(), avant);
    QTRY_VERIFY(s.r.isNull());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::quitter_et_reouvrir()
{
    Scenario s(p);
    s.Cliquer_Case(Controle<QLineEdit>(s.r, "Data"));
    Taper(Controle<QLineEdit>(s.r, "Data"), QStringLiteral("77001"));
    s.Tab();
    Taper(Controle<QLineEdit>(s.r, "Depa"), QStringLiteral("77"), false);
    QCOMPARE(s.r->Resultats().size(), 2);
    const int selection = s.m->Ligne_Courante();

    Cliquer_Dans(Controle<QPushButton>(s.r, "Command1"));
    QTRY_VERIFY(s.r.isNull());
    QCOMPARE(s.m->Ligne_Courante(), selection);

    // A new window starts afresh: empty boxes and results, the callsign mode.
    s.Ouvrir();
    QVERIFY(s.r);
    QVERIFY(Controle<QRadioButton>(s.r, "Option1_1")->isChecked());
    QVERIFY(s.r->Resultats().isEmpty());
    for (QLineEdit* boite : {Controle<QLineEdit>(s.r, "Indica"), Controle<QLineEdit>(s.r, "Data"), Controle<QLineEdit>(s.r, "Depa")})
        QVERIFY(boite->text().isEmpty());
    // Closing by the window frame discards it as well.
    Fermer_Par_Le_Cadre(s.r);
    QTRY_VERIFY(s.r.isNull());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Recherche::champs_coupes_dans_la_ligne_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QList<int>>("lignes");
    using L = QList<int>;
    // The reference and the callsign are compared without their blanks...
    QTest::newRow("reference de 4 caracteres stockee") << 2 << "7701" << L{1};
    QTest::newRow("reference de 5 caracteres") << 2 << "77010" << L{3};
    QTest::newRow("reference stockee avec un blanc devant") << 2 << "7001" << L{2};
    QTest::newRow("indicatif court stocke") << 1 << "F5B" << L{2};
    // ... the departement with them, its two characters as they stand in the line.
    QTest::newRow("departement sans son blanc introuvable") << 3 << "7" << L{};
    QTest::newRow("departement avec son blanc") << 3 << " 7" << L{2};
    QTest::newRow("departement 77") << 3 << "77" << L{1, 3};
}

// The fields are cut from the list line at their positions; the search types through the
// window, as the operator does.
void Tst_Recherche::champs_coupes_dans_la_ligne()
{
    QFETCH(int, mode);
    QFETCH(QString, tape);
    QFETCH(QList<int>, lignes);
    const QString cc = QStringLiteral("Chateau Contacte");
    Scenario s(p, {Enr(QStringLiteral("02/03/09"), QStringLiteral("7701"), cc, QStringLiteral("F5AAA")),
                Enr(QStringLiteral("03/03/09"), QStringLiteral(" 7001"), cc, QStringLiteral("F5B")),
                Enr(QStringLiteral("04/03/09"), QStringLiteral("77010"), cc, QStringLiteral("F5CCC"))});
    QCOMPARE(s.m->Texte_Ligne(0).mid(18, 5), QStringLiteral("7701 "));
    QCOMPARE(s.m->Texte_Ligne(1).mid(18, 5), QStringLiteral(" 7001"));
    QVERIFY(QTest::qWaitForWindowExposed(s.r));
    QLineEdit* boite = Controle<QLineEdit>(s.r, mode == 1 ? "Indica" : mode == 2 ? "Data" : "Depa");
    Cliquer_Dans(boite);
    QCOMPARE(s.r->Mode(), mode);
    QCOMPARE(s.r->focusWidget(), boite);
    Taper_Ici(s.r, tape);
    QCOMPARE(boite->text(), tape);
    Touche_Ici(s.r, Qt::Key_Return);
    QCOMPARE(s.Numeros(), lignes);
    QCOMPARE(s.p.plateforme->messages, lignes.isEmpty() ? QStringList{QStringLiteral("Pas de QSO trouvé")} : QStringList{});
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Recherche)
#include "tst_recherche.moc"
