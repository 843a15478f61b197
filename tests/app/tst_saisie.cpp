// Typing, recording, inserting, editing and deleting QSOs through the real main window,
// then reading the log's bytes.

#include "Apparence.h"
#include "Filtre_Touches.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Recherche_Indicatif.h"
#include "Texte1252.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>

using Apparence::Couleur;
using Apparence::Jaune_Pale;
using Apparence::Vert_Pale;

static const QString CA = QStringLiteral("Chateau active");
static const QString CC = QStringLiteral("Chateau Contacte");

class Tst_Saisie : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qso_au_clavier_en_date_automatique();
    void un_qso_lit_le_log_une_fois_data();
    void un_qso_lit_le_log_une_fois();
    void marque_attente_validation();
    void ajout_en_fin_quelle_que_soit_la_date();
    void controles_des_champs_data();
    void controles_des_champs();
    void type_vide_memorise_moins_un();
    void type_libre_garde_ce_qui_est_tape();
    void codes_des_touches_data();
    void codes_des_touches();
    void premiere_installation_a_chaque_touche();
    void doublon_signale_avec_la_derniere_date();
    void doublon_d_un_qso_ecrit_par_un_editeur();
    void insertion_par_date_data();
    void insertion_par_date();
    void insertion_annees_elargies();
    void insertion_lignes_illisibles_gardent_leur_place();
    void bouton_inserer_puis_etat_nouvelle_saisie();
    void edition_en_place();
    void annuler_saisie_termine_l_edition();
    void suppression_oui_et_non();
    void suppression_sans_ligne();
    void champs_trop_longs_refuses();
    void lettre_hors_de_la_page_de_code_data();
    void lettre_hors_de_la_page_de_code();
    void nouveau_qso_sans_la_marque_du_qso_montre_data();
    void nouveau_qso_sans_la_marque_du_qso_montre();
    void rempli_du_dehors_data();
    void rempli_du_dehors();

private:
    Main_Test* m = nullptr;
    void Demarrer(const QStringList& log, bool manuel = false);
};

void Tst_Saisie::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void Tst_Saisie::Demarrer(const QStringList& log, bool manuel)
{
    p.Recommencer();
    p.Installer_Station();
    if (manuel)
        Ecrire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Date_Automatique"), QStringLiteral("Non"));
    p.Ecrire_Log(log);
    m = p.Demarrer();
    Activer(m);
}

void Tst_Saisie::qso_au_clavier_en_date_automatique()
{
    Demarrer({Enr("01/03/09", "29001", CC, "F5AAA")});
    QCOMPARE(m->focusWidget(), m->Ind_A);
    Taper(m->Ind_A, QStringLiteral("f5xyz/p"));
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F5XYZ/P"));
    QCOMPARE(Couleur(m->Ind_A), Jaune_Pale);
    QVERIFY(m->Type_A->isEnabled());
    QCOMPARE(Couleur(m->Type_A), Vert_Pale);
    QCOMPARE(m->focusWidget(), m->Type_A);

    Choisir_Type(m, 3);
    Entree(m->Type_A);
    QCOMPARE(Couleur(m->Type_A), Jaune_Pale);
    QCOMPARE(Couleur(m->KVRT_A), Vert_Pale);
    QVERIFY(m->KVRT_A->isEnabled());
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite"), QString()), QStringLiteral("3"));

    Taper(m->KVRT_A, QStringLiteral("2a001"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("2A001"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(Couleur(m->KVRT_A), Jaune_Pale);
    QVERIFY(m->Validation_A->isEnabled());
    QCOMPARE(m->focusWidget(), m->Validation_A);

    Entree(m->Validation_A);
    QVERIFY(m->Valide_A->isEnabled());
    QCOMPARE(m->focusWidget(), m->Valide_A);
    // Enter on the focused button records the QSO.
    Entree(m->Valide_A);

    const QString attendu = QStringLiteral("28/03/09  2A001  Chateau active          F5XYZ/P     ");
    QCOMPARE(p.Octets_Log(), Octets({Enr("01/03/09", "29001", CC, "F5AAA"), attendu}));
    QCOMPARE(m->Nombre_Lignes(), 2);
    QCOMPARE(m->Texte_Ligne(1), QStringLiteral("    2   ") + attendu);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("8"));
    // Ready for the next QSO, with today's date and the same type.
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QVERIFY(!m->Date_A->isEnabled());
    QCOMPARE(m->Ind_A->text(), QString());
    QVERIFY(m->Ind_A->isEnabled());
    QCOMPARE(Couleur(m->Ind_A), Vert_Pale);
    QCOMPARE(m->focusWidget(), m->Ind_A);
    QCOMPARE(m->KVRT_A->text(), QString());
    QVERIFY(!m->KVRT_A->isEnabled());
    QVERIFY(!m->Type_A->isEnabled());
    QCOMPARE(m->Type_A->currentText(), CA);
    QVERIFY(!m->Validation_A->isChecked());
    QVERIFY(!m->Validation_A->isEnabled());
    QVERIFY(!m->Valide_A->isEnabled());
    QVERIFY(m->Annule_Saisie->isEnabled());
    QCOMPARE(m->Ligne_Selectionnee(), QStringLiteral("    2   ") + attendu);
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Saisie::un_qso_lit_le_log_une_fois_data()
{
    // What a text editor saves in place of the log between two QSOs, right after the first
    // one's append, or nothing.
    QTest::addColumn<QStringList>("editeur");
    QTest::newRow("sans éditeur") << QStringList();
    QTest::newRow("même longueur") << QStringList{Enr("01/03/09", "29001", CC, "F5AAB"),
                                                   Enr("28/03/09", "29002", CA, "F5XYZ")};
    QTest::newRow("une ligne de moins") << QStringList{Enr("28/03/09", "29002", CA, "F5XYZ")};
}

void Tst_Saisie::un_qso_lit_le_log_une_fois()
{
    QFETCH(QStringList, editeur);
    Demarrer({Enr("01/03/09", "29001", CC, "F5AAA")});
    // Each QSO typed reads the log at most once, to check it before the append, and sees what
    // an editor saved even with the size and the time the program's own append left. After an
    // editor's save the warning on Enter reads the changed file, and the check before the
    // append reads it once more while the save is younger than the file system's time step.
    auto enregistrer = [&](const QString& indicatif, const QString& reference, int plus) {
        const int lectures = p.sp->Log().Lectures();
        Taper(m->Ind_A, indicatif);
        Choisir_Type(m, 3);
        Entree(m->Type_A);
        Taper(m->KVRT_A, reference);
        Entree(m->Validation_A);
        Entree(m->Valide_A);
        QVERIFY2(p.sp->Log().Lectures() - lectures <= plus, qPrintable(QString::number(p.sp->Log().Lectures() - lectures)));
    };
    enregistrer(QStringLiteral("F5XYZ"), QStringLiteral("29002"), 1);
    QStringList attendu{Enr("01/03/09", "29001", CC, "F5AAA"), Enr("28/03/09", "29002", CA, "F5XYZ")};
    QCOMPARE(p.Octets_Log(), Octets(attendu));
    if (!editeur.isEmpty()) {
        p.Ecrire_Log(editeur);
        attendu = editeur;
    }
    enregistrer(QStringLiteral("F6ABC"), QStringLiteral("29003"), editeur.isEmpty() ? 1 : 2);
    attendu.append(Enr("28/03/09", "29003", CA, "F6ABC"));
    QCOMPARE(p.Octets_Log(), Octets(attendu));
    QCOMPARE(m->Nombre_Lignes(), attendu.size());
    QCOMPARE(m->Texte_Ligne(0).mid(8), attendu.first());
    QVERIFY(p.plateforme->messages.isEmpty());
}

void Tst_Saisie::marque_attente_validation()
{
    // A log whose last QSO waits for validation: the next QSO starts unticked.
    Demarrer({Enr("01/03/09", "35001", CC, "F5AAA", true)});
    QVERIFY(!m->Validation_A->isChecked());
    Demarrer({});
    Taper(m->Ind_A, QStringLiteral("F5XYZ"));
    Choisir_Type(m, 3);
    Entree(m->Type_A);
    Taper(m->KVRT_A, QStringLiteral("29001"));
    // The space bar ticks the focused box, as on any desktop.
    Touche_Ici(m, Qt::Key_Space);
    Entree(m->Validation_A);
    QVERIFY(m->Validation_A->isChecked());
    Cliquer_Dans(m->Valide_A);
    const QByteArray log = p.Octets_Log();
    QCOMPARE(log.at(9), '*');
    QCOMPARE(log, Octets({Enr("28/03/09", "29001", CA, "F5XYZ", true)}));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("0"));
    QVERIFY(!m->Validation_A->isChecked());
}

void Tst_Saisie::ajout_en_fin_quelle_que_soit_la_date()
{
    const QStringList log = {Enr("30/12/09", "01001", CC, "F5AAA"), Enr("31/12/09", "01002", CC, "F5AAA")};
    Demarrer(log);
    Saisir(m, QStringLiteral("F5XYZ"), 0, QStringLiteral("01003"));
    Cliquer_Dans(m->Valide_A);
    QCOMPARE(p.Octets_Log(), Octets(log + QStringList{Enr("28/03/09", "01003", CC, "F5XYZ")}));
}

void Tst_Saisie::controles_des_champs_data()
{
    QTest::addColumn<QString>("champ");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("message");

    QTest::newRow("date vide") << "Date_A" << "" << "Entrez une date";
    QTest::newRow("date courte") << "Date_A" << "1/3/09" << "Format de la date JJ/MM/AA";
    QTest::newRow("date tirets") << "Date_A" << "12-03-09" << "Le format date doit etre JJ/MM/AA";
    QTest::newRow("date lettre") << "Date_A" << "1A/03/09" << "Le format date doit etre JJ/MM/AA";
    QTest::newRow("date barre au jour") << "Date_A" << "1//03/09" << "Le format date doit etre JJ/MM/AA";
    QTest::newRow("date barre au mois") << "Date_A" << "12/0//09" << "Le format date doit etre JJ/MM/AA";
    QTest::newRow("date autre annee") << "Date_A" << "12/03/08" << QString::fromUtf8("Attention la date saisie ne correspond pas a l'année du Challenge");
    QTest::newRow("31 fevrier passe") << "Date_A" << "31/02/09" << "";
    QTest::newRow("99/99 passe") << "Date_A" << "99/99/09" << "";
    QTest::newRow("indicatif vide") << "Ind_A" << "" << "Entrez un indicatif";
    QTest::newRow("indicatif 13") << "Ind_A" << "F1ABCDEFGHIJK" << "12 caracteres maxi pour l'indicatif";
    QTest::newRow("indicatif 12") << "Ind_A" << "F1ABCDEFGHIJ" << "";
    QTest::newRow("reference 4") << "KVRT_A" << "2900" << QString::fromUtf8("5 chiffres pour le N° du Chateau");
    QTest::newRow("reference 6") << "KVRT_A" << "290011" << QString::fromUtf8("5 chiffres pour le N° du Chateau");
    QTest::newRow("reference 2C") << "KVRT_A" << "2C001" << QString::fromUtf8("Le N° du Chateauu ne doit comporter que des chiffres");
    QTest::newRow("reference ABABA") << "KVRT_A" << "ABABA" << "";
    QTest::newRow("reference 2a") << "KVRT_A" << "2a001" << "";
}

void Tst_Saisie::controles_des_champs()
{
    QFETCH(QString, champ);
    QFETCH(QString, texte);
    QFETCH(QString, message);
    Demarrer({}, true);
    auto* edition = m->findChild<QLineEdit*>(champ);
    QVERIFY(edition);
    // The field is reached as the operator reaches it, through the fields before it.
    if (edition != m->Date_A) {
        Taper(m->Date_A, QStringLiteral("12/03/09"));
        if (edition == m->KVRT_A) {
            Taper(m->Ind_A, QStringLiteral("F5XYZ"));
            Entree(m->Type_A);
        }
    }
    p.plateforme->messages.clear();
    const QColor avant = Couleur(edition);
    Taper(edition, texte);
    if (message.isEmpty()) {
        QVERIFY2(p.plateforme->messages.isEmpty(), qPrintable(p.plateforme->messages.join('|')));
        QCOMPARE(Couleur(edition), Jaune_Pale);
    } else {
        QCOMPARE(p.plateforme->messages, QStringList{message});
        // A refused field keeps its text, its colour and the focus.
        QCOMPARE(Couleur(edition), avant);
        QVERIFY(Focus_Dans(edition));
        QVERIFY(edition->isEnabled());
    }
    QCOMPARE(edition->text(), texte.toUpper());
}

void Tst_Saisie::type_vide_memorise_moins_un()
{
    Demarrer({});
    Taper(m->Ind_A, QStringLiteral("F5XYZ"));
    // The type shown is selected when the chain reaches it: Backspace empties it.
    Touche_Ici(m, Qt::Key_Backspace);
    QCOMPARE(m->Type_A->currentText(), QString());
    Entree(m->Type_A);
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(Focus_Dans(m->KVRT_A));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite"), QString()), QStringLiteral("-1"));
}

void Tst_Saisie::type_libre_garde_ce_qui_est_tape()
{
    Demarrer({});
    Taper(m->Ind_A, QStringLiteral("F5XYZ"));
    QCOMPARE(m->Type_A->currentText(), CC);
    // Typed key by key, capitalised, never completed to an item of the list.
    Taper(m->Type_A, QStringLiteral("chateau act"), false);
    QCOMPARE(m->Type_A->currentText(), QStringLiteral("CHATEAU ACT"));
    Entree(m->Type_A);
    QCOMPARE(m->Type_A->currentText(), QStringLiteral("CHATEAU ACT"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite"), QString()), QStringLiteral("-1"));
    Taper(m->KVRT_A, QStringLiteral("29001"));
    Entree(m->Validation_A);
    Entree(m->Valide_A);
    // An unknown type scores nothing.
    QCOMPARE(p.Octets_Log(), Octets({Enr("28/03/09", "29001", QStringLiteral("CHATEAU ACT"), "F5XYZ")}));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("0"));

    // Leaving the box with Tab keeps the text too, even when it matches an item but for case.
    Taper(m->Ind_A, QStringLiteral("F5ABC"));
    Taper(m->Type_A, QStringLiteral("chateau active"), false);
    Touche_Ici(m, Qt::Key_Tab);
    QCOMPARE(m->Type_A->currentText(), QStringLiteral("CHATEAU ACTIVE"));
    QCOMPARE(m->Type_A->currentIndex(), -1);

    // The list is still there: the arrows choose an item, and so does the mouse.
    Cliquer_Dans(m->Type_A);
    QVERIFY(Focus_Dans(m->Type_A));
    Choisir_Type(m, 4);
    QCOMPARE(m->Type_A->currentText(), QStringLiteral("Reactivation activee"));
    m->Type_A->showPopup();
    QTRY_VERIFY(m->Type_A->view()->isVisible());
    Cliquer_Ligne(m->Type_A->view(), 6);
    QTRY_VERIFY(!m->Type_A->view()->isVisible());
    QCOMPARE(m->Type_A->currentIndex(), 6);
    QVERIFY(p.plateforme->messages.isEmpty());
}

void Tst_Saisie::codes_des_touches_data()
{
    QTest::addColumn<int>("touche");
    QTest::addColumn<int>("modificateurs");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("code");

    QTest::newRow("lettre") << int(Qt::Key_A) << 0 << "a" << 97;
    QTest::newRow("majuscule") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << 65;
    QTest::newRow("chiffre du pave") << int(Qt::Key_5) << int(Qt::KeypadModifier) << "5" << 53;
    QTest::newRow("accent") << int(Qt::Key_Eacute) << 0 << QString::fromUtf8("é") << 233;
    QTest::newRow("entree") << int(Qt::Key_Return) << 0 << "\r" << 13;
    QTest::newRow("entree du pave") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << 13;
    QTest::newRow("retour arriere") << int(Qt::Key_Backspace) << 0 << "\b" << 8;
    QTest::newRow("echappement") << int(Qt::Key_Escape) << 0 << "\x1b" << 27;
    QTest::newRow("ctrl a") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << 1;
    QTest::newRow("ctrl z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "\x1a" << 26;
    QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << "\t" << 0;
    QTest::newRow("fleche") << int(Qt::Key_Down) << 0 << "" << 0;
    QTest::newRow("suppr") << int(Qt::Key_Delete) << 0 << "\x7f" << 0;
    QTest::newRow("alt lettre") << int(Qt::Key_F) << int(Qt::AltModifier) << "f" << 0;
    QTest::newRow("altgr") << int(Qt::Key_At) << int(Qt::ControlModifier | Qt::AltModifier) << "@" << 0;
}

void Tst_Saisie::codes_des_touches()
{
    QFETCH(int, touche);
    QFETCH(int, modificateurs);
    QFETCH(QString, texte);
    QFETCH(int, code);
    const QKeyEvent evenement(QEvent::KeyPress, touche, Qt::KeyboardModifiers(modificateurs), texte);
    QCOMPARE(Filtre_Touches::Code_Touche(evenement), code);
}

void Tst_Saisie::premiere_installation_a_chaque_touche()
{
    // Not set up, the station window closed without validating: every key in the date,
    // Backspace included, reminds the operator, and the key still reaches the field.
    p.Recommencer();
    Sur_Modal([](QWidget* w) { w->close(); });
    m = p.Demarrer();
    p.plateforme->messages.clear();
    Touche_Ici(m, Qt::Key_Tab, Qt::ShiftModifier);
    Cliquer_Dans(m->Date_A);
    QVERIFY(Focus_Dans(m->Date_A));
    const int avant = m->Date_A->text().size();
    Taper_Ici(m, QStringLiteral("a"));
    Touche_Ici(m, Qt::Key_Backspace);
    Touche_Ici(m, Qt::Key_Return);
    QCOMPARE(p.plateforme->messages.size(), 3);
    for (const QString& message : std::as_const(p.plateforme->messages))
        QVERIFY(message.contains(QStringLiteral("Premiere installation")));
    // "a" went in uncapitalised, then Backspace took it away.
    QCOMPARE(m->Date_A->text().size(), avant);
}

void Tst_Saisie::doublon_signale_avec_la_derniere_date()
{
    Demarrer({Enr("01/03/09", "29001", CC, "F5AAA"), Enr("02/03/09", "35001", CC, "F5AAA"),
              Enr("05/03/09", "29001", CC, "F5BBB"), Enr("03/03/09", "35002", CC, "F5AAA")});
    Taper(m->Ind_A, QStringLiteral("F5XYZ"));
    Entree(m->Type_A);
    Taper(m->KVRT_A, QStringLiteral("29001"));
    QCOMPARE(p.plateforme->messages,
             QStringList{QString::fromUtf8("Le Chateau N° 29001 a déja été contacté le 05/03/09\r\n   mettre Type Activité a Double ou annulez la saisie")});
    // Only a warning: the chain goes on.
    QCOMPARE(m->focusWidget(), m->Validation_A);
    // In edit mode the QSO would find itself: no warning.
    p.plateforme->messages.clear();
    Cliquer_Ligne(m->Liste_KVRT, 2, true);
    QVERIFY(m->Mode_Modification());
    Cliquer_Dans(m->KVRT_A);
    Entree(m->KVRT_A);
    QVERIFY(p.plateforme->messages.isEmpty());
}

void Tst_Saisie::doublon_d_un_qso_ecrit_par_un_editeur()
{
    // An editor adds a QSO after the program read the log: typing its castle warns all the same.
    Demarrer({Enr("01/03/09", "29001", CC, "F5AAA")});
    p.Ecrire_Log({Enr("01/03/09", "29001", CC, "F5AAA"), Enr("02/03/09", "35001", CC, "F6ZZZ")});
    Taper(m->Ind_A, QStringLiteral("F5XYZ"));
    Entree(m->Type_A);
    Taper(m->KVRT_A, QStringLiteral("35001"));
    QCOMPARE(p.plateforme->messages,
             QStringList{QString::fromUtf8("Le Chateau N° 35001 a déja été contacté le 02/03/09\r\n   mettre Type Activité a Double ou annulez la saisie")});
}

void Tst_Saisie::insertion_par_date_data()
{
    QTest::addColumn<QStringList>("avant");
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("place");

    const QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("05/03/09", "01002", CC, "F5AAA"),
                             Enr("05/03/09", "01003", CC, "F5BBB")};
    QTest::newRow("meme jour, avant le premier") << log << "05/03/09" << 1;
    QTest::newRow("plus tard, en dernier") << log << "07/03/09" << 3;
    QTest::newRow("plus tot, en premier") << log << "28/02/09" << 0;
    QTest::newRow("log vide") << QStringList() << "07/03/09" << 0;
    QTest::newRow("mois apres jour") << QStringList{Enr("31/01/09", "01001", CC, "F"), Enr("02/02/09", "01002", CC, "F")}
                                     << "01/02/09" << 1;
    QTest::newRow("31 fevrier a sa place") << log << "31/02/09" << 0;
}

void Tst_Saisie::insertion_par_date()
{
    QFETCH(QStringList, avant);
    QFETCH(QString, date);
    QFETCH(int, place);
    Demarrer(avant, true);
    QCOMPARE(m->focusWidget(), m->Date_A);
    Taper(m->Date_A, date);
    Saisir(m, QStringLiteral("F6NEW"), 3, QStringLiteral("56001"));
    Entree(m->Valide_A);
    QStringList apres = avant;
    apres.insert(place, Enr(date, "56001", CA, "F6NEW"));
    QCOMPARE(p.Octets_Log(), Octets(apres));
    QCOMPARE(m->Nombre_Lignes(), apres.size());
    // Manual mode: the next QSO starts at an empty date.
    QCOMPARE(m->Date_A->text(), QString());
    QVERIFY(m->Date_A->isEnabled());
    QCOMPARE(Couleur(m->Date_A), Vert_Pale);
    QCOMPARE(m->focusWidget(), m->Date_A);
    QCOMPARE(m->KVRT_A->text(), QString());
    QVERIFY(!m->Valide_A->isEnabled());
    QVERIFY(p.plateforme->messages.isEmpty());
}

void Tst_Saisie::insertion_annees_elargies()
{
    // 50 reads as 1950 and 49 as 2049, so 1999 goes between them.
    const QStringList log = {Enr("01/01/50", "01001", CC, "F"), Enr("01/01/49", "01002", CC, "F")};
    Demarrer(log, true);
    m->Date_A->setText(QStringLiteral("31/12/99"));
    m->Ind_A->setText(QStringLiteral("F6NEW"));
    m->KVRT_A->setText(QStringLiteral("01003"));
    m->Type_A->setCurrentIndex(0);
    m->Zone->Main_Valide_A_Click();
    QCOMPARE(p.Octets_Log(), Octets({log.at(0), Enr("31/12/99", "01003", CC, "F6NEW"), log.at(1)}));
}

void Tst_Saisie::insertion_lignes_illisibles_gardent_leur_place()
{
    // Foreign lines never decide where the QSO goes, and keep their bytes.
    QByteArray log = Octets({Enr("01/03/09", "01001", CC, "F")});
    log += "\r\n";                                 // empty line
    log += "Texte \xe9tranger sans date\r\n";       // foreign text
    log += Octets({Enr("10/03/09", "01002", CC, "F")});
    Demarrer({}, true);
    p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), log);
    m->Date_A->setText(QStringLiteral("05/03/09"));
    m->Ind_A->setText(QStringLiteral("F6NEW"));
    m->KVRT_A->setText(QStringLiteral("01003"));
    m->Type_A->setCurrentIndex(0);
    m->Zone->Main_Valide_A_Click();
    QByteArray attendu = Octets({Enr("01/03/09", "01001", CC, "F")});
    attendu += "\r\nTexte \xe9tranger sans date\r\n";
    attendu += Octets({Enr("05/03/09", "01003", CC, "F6NEW"), Enr("10/03/09", "01002", CC, "F")});
    QCOMPARE(p.Octets_Log(), attendu);
}

void Tst_Saisie::bouton_inserer_puis_etat_nouvelle_saisie()
{
    const QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("20/03/09", "01002", CC, "F5AAA")};
    Demarrer(log);
    Cliquer_Dans(m->Ajout_Saisie);
    QCOMPARE(m->Frame3->title(), QStringLiteral("Mode Insertion d'un QSO"));
    QVERIFY(m->Mode_Insertion());
    QCOMPARE(m->focusWidget(), m->Date_A);
    QCOMPARE(m->Date_A->text(), QString());
    Taper(m->Date_A, QStringLiteral("10/03/09"));
    Saisir(m, QStringLiteral("F6NEW"), 0, QStringLiteral("01003"));
    Entree(m->Valide_A);
    const QStringList apres = {log.at(0), Enr("10/03/09", "01003", CC, "F6NEW"), log.at(1)};
    QCOMPARE(p.Octets_Log(), Octets(apres));
    QCOMPARE(m->Frame3->title(), QStringLiteral("Saisie ou modification d'un QSO"));
    QVERIFY(!m->Mode_Insertion());
    // Back to a new entry in automatic mode: a second press cannot write the QSO again.
    QVERIFY(!m->Valide_A->isEnabled());
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QCOMPARE(m->focusWidget(), m->Ind_A);
    Cliquer_Dans(m->Valide_A);
    QCOMPARE(p.Octets_Log(), Octets(apres));

    // A double click ends insert mode but leaves its caption until the next insertion.
    Cliquer_Dans(m->Ajout_Saisie);
    Cliquer_Ligne(m->Liste_KVRT, 0, true);
    QVERIFY(!m->Mode_Insertion());
    QVERIFY(m->Mode_Modification());
    QCOMPARE(m->Frame3->title(), QStringLiteral("Mode Insertion d'un QSO"));
}

void Tst_Saisie::edition_en_place()
{
    const QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("02/03/09", "29001", CA, "F5BBB", true),
                             Enr("03/03/09", "35001", CC, "F5CCC")};
    Demarrer(log);
    // A click shows the QSO, locked.
    Cliquer_Ligne(m->Liste_KVRT, 1);
    QCOMPARE(m->Ligne_Selectionnee(), QStringLiteral("    2   ") + log.at(1));
    QCOMPARE(m->Date_A->text(), QStringLiteral("02/03/09"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("29001"));
    QCOMPARE(m->Type_A->currentText(), CA);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F5BBB"));
    QVERIFY(m->Validation_A->isChecked());
    QVERIFY(!m->Ind_A->isEnabled());
    QVERIFY(!m->Date_A->isEnabled());
    QVERIFY(m->Annule_Saisie->isEnabled());

    // A double click opens every field; a changed callsign replaces the line in place.
    Cliquer_Ligne(m->Liste_KVRT, 1, true);
    QVERIFY(m->Mode_Modification());
    QVERIFY(m->Ind_A->isEnabled());
    QVERIFY(m->Valide_A->isEnabled());
    QVERIFY(!m->Annule_Saisie->isEnabled());
    QCOMPARE(m->focusWidget(), m->Date_A);
    // Tab selects the callsign, typing replaces it; a click unticks the box.
    Touche_Ici(m, Qt::Key_Tab);
    QVERIFY(Focus_Dans(m->Ind_A));
    Taper_Ici(m, QStringLiteral("f5zzz"));
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F5ZZZ"));
    Cliquer_Dans(m->Validation_A);
    QVERIFY(!m->Validation_A->isChecked());
    Cliquer_Dans(m->Valide_A);
    QCOMPARE(p.Octets_Log(), Octets({log.at(0), Enr("02/03/09", "29001", CA, "F5ZZZ"), log.at(2)}));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("10"));
    QVERIFY(!m->Mode_Modification());
    QVERIFY(p.plateforme->messages.isEmpty());
}

void Tst_Saisie::annuler_saisie_termine_l_edition()
{
    const QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("02/03/09", "01002", CC, "F5BBB")};
    Demarrer(log);
    Cliquer_Ligne(m->Liste_KVRT, 0, true);
    Cliquer_Dans(m->Efface_A);
    QVERIFY(!m->Mode_Modification());
    QCOMPARE(m->Frame3->title(), QStringLiteral("Saisie ou modification d'un QSO"));
    // The next QSO typed is added, not written over the one that was being edited.
    Saisir(m, QStringLiteral("F6NEW"), 0, QStringLiteral("01003"));
    Entree(m->Valide_A);
    QCOMPARE(p.Octets_Log(), Octets(log + QStringList{Enr("28/03/09", "01003", CC, "F6NEW")}));
}

void Tst_Saisie::suppression_oui_et_non()
{
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA"), Enr("02/03/09", "35001", CC, "F5BBB"),
                             Enr("03/03/09", "29001", CA, "F5CCC"), Enr("04/03/09", "35002", CA, "F5DDD", true),
                             Enr("05/03/09", "29001", QStringLiteral("Double"), "F5EEE")};
    Demarrer(log);
    Cliquer_Ligne(m->Liste_KVRT, 2);
    // No: the log is untouched, the fields are reset all the same.
    p.plateforme->reponses = {false};
    Cliquer_Dans(m->Annule_Saisie);
    QCOMPARE(p.plateforme->questions, QStringList{QString::fromUtf8("Voulez vous effacer le KVRT N° 29001 ?")});
    QCOMPARE(p.Octets_Log(), Octets(log));
    QVERIFY(!m->Annule_Saisie->isEnabled());
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QCOMPARE(m->KVRT_A->text(), QString());
    QCOMPARE(m->focusWidget(), m->Ind_A);

    // Yes: every QSO of that castle goes, and the list is renumbered.
    Cliquer_Ligne(m->Liste_KVRT, 2);
    p.plateforme->reponses = {true};
    // The button is reached with Tab, and Enter presses it.
    for (int i = 0; i < 20 && !Focus_Dans(m->Annule_Saisie); ++i)
        Touche_Ici(m, Qt::Key_Tab);
    Entree(m->Annule_Saisie);
    QCOMPARE(p.Octets_Log(), Octets({log.at(1), log.at(3)}));
    QCOMPARE(m->Nombre_Lignes(), 2);
    QCOMPARE(m->Texte_Ligne(1), QStringLiteral("    2   ") + log.at(3));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("2"));
    QCOMPARE(m->Ligne_Selectionnee(), QStringLiteral("    2   ") + log.at(3));
    QVERIFY(!m->Annule_Saisie->isEnabled());
    // The last QSO shown waits for validation; the next one does not inherit it.
    QVERIFY(!m->Validation_A->isChecked());
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
}

void Tst_Saisie::suppression_sans_ligne()
{
    Demarrer({});
    m->Zone->Main_Annule_Saisie_Click();
    QCOMPARE(p.plateforme->messages, QStringList{QStringLiteral("Cliquez sur une ligne pour l'annuler")});
    // A line that holds no QSO.
    p.plateforme->messages.clear();
    p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), "\r\n");
    p.sp->Rafraichir_Liste_Log();
    QCOMPARE(p.plateforme->messages, QStringList{QStringLiteral("Il n'y a pas de données a modifier")});
    p.plateforme->messages.clear();
    m->Zone->Main_Annule_Saisie_Click();
    QCOMPARE(p.plateforme->messages, QStringList{QStringLiteral("Il n'y a pas de données a annuler")});
    QVERIFY(p.plateforme->questions.isEmpty());
}

void Tst_Saisie::champs_trop_longs_refuses()
{
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA")};
    Demarrer(log);
    // In edit mode a field can be changed without Enter: recording then refuses what does not fit.
    struct Cas { QWidget* champ; QString texte; QString mot; };
    const Cas cas[] = {
        {m->Date_A, QStringLiteral("1/03/09"), QStringLiteral("la date")},
        {m->KVRT_A, QStringLiteral("290012"), QStringLiteral("N° KVRT")},
        {m->Ind_A, QStringLiteral("F5ABCDEFGHIJK"), QStringLiteral("l'indicatif")},
        {m->Ind_A, QString::fromUtf8("F5\u4e2d"), QStringLiteral("l'indicatif")},
        {m->Ind_A, QString::fromUtf8("F5\u0141"), QStringLiteral("l'indicatif")},
        {m->Type_A, QStringLiteral("Chateau active tres longtemps"), QStringLiteral("type d'activité")},
    };
    for (const Cas& c : cas) {
        Cliquer_Ligne(m->Liste_KVRT, 0, true);
        QVERIFY(m->Mode_Modification());
        Cliquer_Dans(c.champ);
        Touche_Ici(m, Qt::Key_A, Qt::ControlModifier);
        p.plateforme->messages.clear();
        Taper_Ici(m, c.texte);
        QVERIFY(p.plateforme->messages.isEmpty());
        Cliquer_Dans(m->Valide_A);
        QCOMPARE(p.plateforme->messages.size(), 1);
        QVERIFY2(p.plateforme->messages.at(0).contains(c.mot), qPrintable(p.plateforme->messages.at(0)));
        QCOMPARE(p.Octets_Log(), Octets(log));
        // Nothing typed is lost: the field keeps its text.
        const QString garde = c.champ == m->Type_A ? m->Type_A->currentText() : static_cast<QLineEdit*>(c.champ)->text();
        QCOMPARE(garde, c.texte.toUpper());
    }
}

void Tst_Saisie::lettre_hors_de_la_page_de_code_data()
{
    QTest::addColumn<QString>("indicatif");
    // Empty when the QSO is recorded.
    QTest::addColumn<QByteArray>("octets");
    QTest::newRow("L barre polonais") << QString::fromUtf8("SPŁ1AB") << QByteArray();
    QTest::newRow("cyrillique") << QString::fromUtf8("RЖ3A") << QByteArray();
    QTest::newRow("grec") << QString::fromUtf8("SVΩ1") << QByteArray();
    QTest::newRow("E accent, dans la page") << QString::fromUtf8("F5É") << QByteArray("F5\xc9");
}

// A letter typed that Windows-1252 lacks is refused at recording, never written as another
// byte (a NUL, a "?"); the QSO stays on screen.
void Tst_Saisie::lettre_hors_de_la_page_de_code()
{
    QFETCH(QString, indicatif);
    QFETCH(QByteArray, octets);
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA")};
    Demarrer(log);
    QVERIFY(QTest::qWaitForWindowExposed(m));
    QCOMPARE(m->focusWidget(), m->Ind_A);
    Taper_Ici(m, indicatif);
    Touche_Ici(m, Qt::Key_Return);
    Touche_Ici(m, Qt::Key_Return);
    Taper_Ici(m, QStringLiteral("35001"));
    Touche_Ici(m, Qt::Key_Return);
    Touche_Ici(m, Qt::Key_Return);
    QCOMPARE(m->focusWidget(), m->Valide_A);
    Touche_Ici(m, Qt::Key_Return);
    const QByteArray ecrit = p.Octets_Log();
    QVERIFY(!ecrit.contains('\0'));
    if (octets.isEmpty()) {
        QCOMPARE(ecrit, Octets(log));
        QCOMPARE(p.plateforme->Prendre_Messages(),
                 QStringList{QStringLiteral("QSO non enregistré : l'indicatif comporte un caractère qui ne peut pas être écrit dans le log")});
        QCOMPARE(m->Ind_A->text(), indicatif);
    } else {
        QVERIFY(p.plateforme->messages.isEmpty());
        QCOMPARE(ecrit.size(), Octets(log).size() + 55);
        QVERIFY(ecrit.contains("35001  " + Texte1252::Encoder(m->Type_A->currentText())));
        QVERIFY(ecrit.contains(octets + QByteArray(12 - octets.size(), ' ') + "\r\n"));
    }
}

void Tst_Saisie::nouveau_qso_sans_la_marque_du_qso_montre_data()
{
    QTest::addColumn<QString>("chemin");
    QTest::newRow("annuler saisie") << QStringLiteral("efface");
    QTest::newRow("inserer un qso") << QStringLiteral("inserer");
    QTest::newRow("resultat de recherche") << QStringLiteral("recherche");
    QTest::newRow("date automatique par le menu") << QStringLiteral("menu oui");
    QTest::newRow("date manuelle par le menu") << QStringLiteral("menu non");
}

void Tst_Saisie::nouveau_qso_sans_la_marque_du_qso_montre()
{
    QFETCH(QString, chemin);
    // The first QSO waits for validation; the last one, shown at start-up, does not.
    const QStringList log = {Enr("01/03/09", "29001", CA, "F5AAA", true), Enr("02/03/09", "35001", CC, "F5BBB")};
    Demarrer(log);
    QVERIFY(QTest::qWaitForWindowExposed(m));

    if (chemin == QLatin1String("recherche")) {
        // Halfway through a QSO, the operator looks up the waiting one and picks it.
        Taper_Ici(m, QStringLiteral("F6NEW"));
        Touche_Ici(m, Qt::Key_Return);
        Touche_Ici(m, Qt::Key_Return);
        Taper_Ici(m, QStringLiteral("01003"));
        Touche_Ici(m, Qt::Key_Return);
        Touche_Ici(m, Qt::Key_Return);
        QVERIFY(m->Valide_A->isEnabled());
        Cliquer_Dans(m->Recherche);
        Recherche_Indicatif* r = m->Fenetre_Recherche();
        QVERIFY(r);
        QVERIFY(QTest::qWaitForWindowExposed(r));
        Taper_Ici(r, QStringLiteral("F5AAA"));
        Touche_Ici(r, Qt::Key_Return);
        QCOMPARE(Controle<QListView>(r, "QSO_Effectues")->model()->rowCount(), 1);
        Cliquer_Ligne(Controle<QListView>(r, "QSO_Effectues"), 0);
        QTRY_VERIFY(!m->Fenetre_Recherche());
        QCOMPARE(m->Ligne_Selectionnee(), QStringLiteral("    1   ") + log.at(0));
        // The QSO found is shown, locked, mark included; Valider cannot write it again.
        QVERIFY(m->Validation_A->isChecked());
        QVERIFY(!m->Valide_A->isEnabled());
        Cliquer_Dans(m->Valide_A);
        QCOMPARE(p.Octets_Log(), Octets(log));
        Cliquer_Dans(m->Efface_A);
    } else {
        // A click on the waiting QSO shows it with its mark.
        Cliquer_Ligne(m->Liste_KVRT, 0);
        QCOMPARE(m->Ligne_Selectionnee(), QStringLiteral("    1   ") + log.at(0));
        QVERIFY(m->Validation_A->isChecked());
        if (chemin == QLatin1String("efface")) {
            Cliquer_Dans(m->Efface_A);
        } else if (chemin == QLatin1String("menu oui")) {
            Choisir_Menu(m->Mnu_Date_Auto_Oui);
        } else if (chemin == QLatin1String("menu non")) {
            Choisir_Menu(m->Mnu_Date_Auto_Non);
            QCOMPARE(m->focusWidget(), m->Date_A);
            Taper_Ici(m, QStringLiteral("28/03/09"));
            Touche_Ici(m, Qt::Key_Return);
        } else {
            Cliquer_Dans(m->Ajout_Saisie);
            QCOMPARE(m->focusWidget(), m->Date_A);
            Taper_Ici(m, QStringLiteral("28/03/09"));
            Touche_Ici(m, Qt::Key_Return);
        }
    }
    QVERIFY(!m->Validation_A->isChecked());
    // The new QSO, typed by Enter alone, is recorded without the mark. After Inserer or a
    // date menu the fields still hold the QSO shown: the operator rubs them out.
    QCOMPARE(m->focusWidget(), m->Ind_A);
    for (int i = int(m->Ind_A->text().size()); i > 0; --i)
        Touche_Ici(m, Qt::Key_Backspace);
    Taper_Ici(m, QStringLiteral("F6NEW"));
    Touche_Ici(m, Qt::Key_Return);
    Touche_Ici(m, Qt::Key_Return);
    QCOMPARE(m->focusWidget(), m->KVRT_A);
    for (int i = int(m->KVRT_A->text().size()); i > 0; --i)
        Touche_Ici(m, Qt::Key_Backspace);
    Taper_Ici(m, QStringLiteral("01003"));
    Touche_Ici(m, Qt::Key_Return);
    QCOMPARE(m->focusWidget(), m->Validation_A);
    Touche_Ici(m, Qt::Key_Return);
    QCOMPARE(m->focusWidget(), m->Valide_A);
    Touche_Ici(m, Qt::Key_Return);
    QCOMPARE(p.Octets_Log(), Octets(log + QStringList{Enr("28/03/09", "01003", CA, "F6NEW")}));
}

void Tst_Saisie::rempli_du_dehors_data()
{
    QTest::addColumn<bool>("manuel");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("place"); // of the new QSO in the log

    QTest::newRow("date automatique, celle du jour") << false << QString() << CA << 3;
    QTest::newRow("date automatique, date donnee") << false << QStringLiteral("27/03/09") << CA << 3;
    QTest::newRow("type laisse tel quel") << false << QString() << QString() << 3;
    QTest::newRow("date manuelle, inseree a sa place") << true << QStringLiteral("02/03/09") << CA << 1;
}

// A QSO heard elsewhere (a spotted castle) put in the fields from outside: nothing is checked
// nor written, an edit in progress ends, Ctrl+Z does not wipe it out, and Enter takes it
// through every check to the log, as if it had been typed.
void Tst_Saisie::rempli_du_dehors()
{
    QFETCH(bool, manuel);
    QFETCH(QString, date);
    QFETCH(QString, type);
    QFETCH(int, place);
    QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("03/03/09", "35001", CC, "F5CCC")};
    Demarrer(log, manuel);
    // A change that Ctrl+Z could undo, and an edit in progress.
    QString ajout = Enr("04/03/09", "36001", CC, "F5DDD");
    QVERIFY(Ajoute_Ligne(*p.sp, ajout));
    log << ajout;
    const QByteArray avant = p.Octets_Log();
    QCOMPARE(avant, Octets(log));
    Cliquer_Ligne(m->Liste_KVRT, 1, true);
    QVERIFY(m->Mode_Modification());

    m->Zone->Remplir(QStringLiteral("F6SPT/P"), QStringLiteral("29002"), type, date);
    QVERIFY(!m->Mode_Modification());
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(p.Octets_Log(), avant);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F6SPT/P"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("29002"));
    const QString typeAttendu = type.isEmpty() ? CC : type;
    QCOMPARE(m->Type_A->currentText(), typeAttendu);
    const QString dateAttendue = date.isEmpty() ? QStringLiteral("28/03/09") : date;
    QCOMPARE(m->Date_A->text(), dateAttendue);
    QVERIFY(!m->Validation_A->isChecked());
    QWidget* premier = manuel ? static_cast<QWidget*>(m->Date_A) : m->Ind_A;
    QVERIFY(Focus_Dans(premier));
    QCOMPARE(Couleur(premier), Vert_Pale);

    // Ctrl+Z stays in the fields: the log keeps its last change, and the fields their QSO.
    Touche_Ici(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), avant);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F6SPT/P"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("29002"));

    // Enter field after field, each checked, and the QSO goes to the log.
    if (manuel)
        Entree(m->Date_A);
    Entree(m->Ind_A);
    Entree(m->Type_A);
    Entree(m->KVRT_A);
    Entree(m->Validation_A);
    Entree(m->Valide_A);
    QVERIFY2(p.plateforme->messages.isEmpty(), qPrintable(p.plateforme->messages.join(QLatin1Char('|'))));
    QStringList attendu = log;
    attendu.insert(place, Enr(dateAttendue, "29002", typeAttendu, "F6SPT/P"));
    QCOMPARE(p.Octets_Log(), Octets(attendu));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Saisie)
#include "tst_saisie.moc"
