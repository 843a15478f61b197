// Typing, recording, inserting, editing and deleting QSOs through the real main window,
// then reading the log's bytes.

#include "Apparence.h"
#include "Filtre_Touches.h"
#include "Main.h"
#include "Outils_Test.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
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

class Tst_Saisie : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qso_au_clavier_en_date_automatique();
    void marque_attente_validation();
    void ajout_en_fin_quelle_que_soit_la_date();
    void controles_des_champs_data();
    void controles_des_champs();
    void type_vide_memorise_moins_un();
    void doublon_signale_avec_la_derniere_date();
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

private:
    Programme_Test* p = nullptr;
    Main* m = nullptr;
    void Demarrer(const QStringList& log, bool manuel = false);
    void Fin();
};

void Tst_Saisie::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    qApp->installEventFilter(new Entree_Sur_Boutons(qApp));
}

void Tst_Saisie::Demarrer(const QStringList& log, bool manuel)
{
    delete p;
    p = new Programme_Test;
    p->Installer_Station();
    if (manuel)
        p->reglages->Ecrire(QStringLiteral("Setup F1ABC"), QStringLiteral("Date_Automatique"), QStringLiteral("Non"));
    p->Ecrire_Log(log);
    m = p->Demarrer();
    m->show();
    QApplication::setActiveWindow(m);
}

void Tst_Saisie::Fin()
{
    delete p;
    p = nullptr;
    m = nullptr;
}

void Tst_Saisie::qso_au_clavier_en_date_automatique()
{
    Chien_De_Garde garde;
    Demarrer({Enr("01/03/09", "29001", CC, "F5AAA")});
    QCOMPARE(m->focusWidget(), m->Ind_A);
    Taper(m->Ind_A, QStringLiteral("f5xyz/p"));
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F5XYZ/P"));
    QCOMPARE(Couleur(m->Ind_A), Jaune_Pale);
    QVERIFY(m->Type_A->isEnabled());
    QCOMPARE(Couleur(m->Type_A), Vert_Pale);
    QCOMPARE(m->focusWidget(), m->Type_A);

    m->Type_A->setCurrentIndex(3);
    Entree(m->Type_A->lineEdit());
    QCOMPARE(Couleur(m->Type_A), Jaune_Pale);
    QCOMPARE(Couleur(m->KVRT_A), Vert_Pale);
    QVERIFY(m->KVRT_A->isEnabled());
    QCOMPARE(p->reglages->Lire(QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite"), QString()), QStringLiteral("3"));

    Taper(m->KVRT_A, QStringLiteral("2a001"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("2A001"));
    QVERIFY(p->plateforme->messages.isEmpty());
    QCOMPARE(Couleur(m->KVRT_A), Jaune_Pale);
    QVERIFY(m->Validation_A->isEnabled());
    QCOMPARE(m->focusWidget(), m->Validation_A);

    Entree(m->Validation_A);
    QVERIFY(m->Valide_A->isEnabled());
    QCOMPARE(m->focusWidget(), m->Valide_A);
    // Enter on the focused button records the QSO.
    Entree(m->Valide_A);

    const QString attendu = QStringLiteral("28/03/09  2A001  Chateau active          F5XYZ/P     ");
    QCOMPARE(p->Octets_Log(), Octets({Enr("01/03/09", "29001", CC, "F5AAA"), attendu}));
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
    QCOMPARE(p->sp->Ligne_Selectionnee, QStringLiteral("    2   ") + attendu);
    QVERIFY(p->plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
    Fin();
}

void Tst_Saisie::marque_attente_validation()
{
    Chien_De_Garde garde;
    // A log whose last QSO waits for validation: the next QSO starts unticked.
    Demarrer({Enr("01/03/09", "35001", CC, "F5AAA", true)});
    QVERIFY(!m->Validation_A->isChecked());
    Demarrer({});
    Taper(m->Ind_A, QStringLiteral("F5XYZ"));
    m->Type_A->setCurrentIndex(3);
    Entree(m->Type_A->lineEdit());
    Taper(m->KVRT_A, QStringLiteral("29001"));
    m->Validation_A->setChecked(true);
    Entree(m->Validation_A);
    QVERIFY(m->Validation_A->isChecked());
    QTest::mouseClick(m->Valide_A, Qt::LeftButton);
    const QByteArray log = p->Octets_Log();
    QCOMPARE(log.at(9), '*');
    QCOMPARE(log, Octets({Enr("28/03/09", "29001", CA, "F5XYZ", true)}));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("0"));
    QVERIFY(!m->Validation_A->isChecked());
    Fin();
}

void Tst_Saisie::ajout_en_fin_quelle_que_soit_la_date()
{
    Chien_De_Garde garde;
    const QStringList log = {Enr("30/12/09", "01001", CC, "F5AAA"), Enr("31/12/09", "01002", CC, "F5AAA")};
    Demarrer(log);
    Taper(m->Ind_A, QStringLiteral("F5XYZ"));
    m->Type_A->setCurrentIndex(0);
    Entree(m->Type_A->lineEdit());
    Taper(m->KVRT_A, QStringLiteral("01003"));
    Entree(m->Validation_A);
    m->Valide_A->click();
    QCOMPARE(p->Octets_Log(), Octets(log + QStringList{Enr("28/03/09", "01003", CC, "F5XYZ")}));
    Fin();
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
    Chien_De_Garde garde;
    Demarrer({}, true);
    auto* edition = m->findChild<QLineEdit*>(champ);
    QVERIFY(edition);
    edition->setEnabled(true);
    edition->setFocus();
    const QColor avant = Couleur(edition);
    Taper(edition, texte);
    if (message.isEmpty()) {
        QVERIFY2(p->plateforme->messages.isEmpty(), qPrintable(p->plateforme->messages.join('|')));
        QCOMPARE(Couleur(edition), Jaune_Pale);
    } else {
        QCOMPARE(p->plateforme->messages, QStringList{message});
        // A refused field keeps its text, its colour and the focus.
        QCOMPARE(Couleur(edition), avant);
        QCOMPARE(m->focusWidget(), edition);
        QVERIFY(edition->isEnabled());
    }
    QCOMPARE(edition->text(), texte.toUpper());
    Fin();
}

void Tst_Saisie::type_vide_memorise_moins_un()
{
    Chien_De_Garde garde;
    Demarrer({});
    m->Type_A->setEnabled(true);
    m->Type_A->setCurrentIndex(-1);
    m->Type_A->setEditText(QString());
    Entree(m->Type_A->lineEdit());
    QVERIFY(p->plateforme->messages.isEmpty());
    QCOMPARE(p->reglages->Lire(QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite"), QString()), QStringLiteral("-1"));
    // Letters typed in the type are capitalised.
    Taper(m->Type_A, QStringLiteral("ab"), false);
    QCOMPARE(m->Type_A->currentText(), QStringLiteral("AB"));
    Fin();
}

void Tst_Saisie::doublon_signale_avec_la_derniere_date()
{
    Chien_De_Garde garde;
    Demarrer({Enr("01/03/09", "29001", CC, "F5AAA"), Enr("02/03/09", "35001", CC, "F5AAA"),
              Enr("05/03/09", "29001", CC, "F5BBB"), Enr("03/03/09", "35002", CC, "F5AAA")});
    m->KVRT_A->setEnabled(true);
    Taper(m->KVRT_A, QStringLiteral("29001"));
    QCOMPARE(p->plateforme->messages,
             QStringList{QString::fromUtf8("Le Chateau N° 29001 a déja été contacté le 05/03/09\r\n   mettre Type Activité a Double ou annulez la saisie")});
    // Only a warning: the chain goes on.
    QCOMPARE(m->focusWidget(), m->Validation_A);
    // In edit mode the QSO would find itself: no warning.
    p->plateforme->messages.clear();
    m->Selectionner_Ligne(2);
    m->Main_Liste_KVRT_DblClick();
    m->KVRT_A->setFocus();
    Entree(m->KVRT_A);
    QVERIFY(p->plateforme->messages.isEmpty());
    Fin();
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
    Chien_De_Garde garde;
    Demarrer(avant, true);
    QCOMPARE(m->focusWidget(), m->Date_A);
    Taper(m->Date_A, date);
    Saisir(m, QStringLiteral("F6NEW"), 3, QStringLiteral("56001"));
    Entree(m->Valide_A);
    QStringList apres = avant;
    apres.insert(place, Enr(date, "56001", CA, "F6NEW"));
    QCOMPARE(p->Octets_Log(), Octets(apres));
    QCOMPARE(m->Nombre_Lignes(), apres.size());
    // Manual mode: the next QSO starts at an empty date.
    QCOMPARE(m->Date_A->text(), QString());
    QVERIFY(m->Date_A->isEnabled());
    QCOMPARE(Couleur(m->Date_A), Vert_Pale);
    QCOMPARE(m->focusWidget(), m->Date_A);
    QCOMPARE(m->KVRT_A->text(), QString());
    QVERIFY(!m->Valide_A->isEnabled());
    QVERIFY(p->plateforme->messages.isEmpty());
    Fin();
}

void Tst_Saisie::insertion_annees_elargies()
{
    Chien_De_Garde garde;
    // 50 reads as 1950 and 49 as 2049, so 1999 goes between them.
    const QStringList log = {Enr("01/01/50", "01001", CC, "F"), Enr("01/01/49", "01002", CC, "F")};
    Demarrer(log, true);
    m->Date_A->setText(QStringLiteral("31/12/99"));
    m->Ind_A->setText(QStringLiteral("F6NEW"));
    m->KVRT_A->setText(QStringLiteral("01003"));
    m->Type_A->setCurrentIndex(0);
    m->Main_Valide_A_Click();
    QCOMPARE(p->Octets_Log(), Octets({log.at(0), Enr("31/12/99", "01003", CC, "F6NEW"), log.at(1)}));
    Fin();
}

void Tst_Saisie::insertion_lignes_illisibles_gardent_leur_place()
{
    Chien_De_Garde garde;
    // Foreign lines never decide where the QSO goes, and keep their bytes.
    QByteArray log = Octets({Enr("01/03/09", "01001", CC, "F")});
    log += "\r\n";                                 // empty line
    log += "Texte \xe9tranger sans date\r\n";       // foreign text
    log += Octets({Enr("10/03/09", "01002", CC, "F")});
    p = nullptr;
    Demarrer({}, true);
    p->Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), log);
    m->Date_A->setText(QStringLiteral("05/03/09"));
    m->Ind_A->setText(QStringLiteral("F6NEW"));
    m->KVRT_A->setText(QStringLiteral("01003"));
    m->Type_A->setCurrentIndex(0);
    m->Main_Valide_A_Click();
    QByteArray attendu = Octets({Enr("01/03/09", "01001", CC, "F")});
    attendu += "\r\nTexte \xe9tranger sans date\r\n";
    attendu += Octets({Enr("05/03/09", "01003", CC, "F6NEW"), Enr("10/03/09", "01002", CC, "F")});
    QCOMPARE(p->Octets_Log(), attendu);
    Fin();
}

void Tst_Saisie::bouton_inserer_puis_etat_nouvelle_saisie()
{
    Chien_De_Garde garde;
    const QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("20/03/09", "01002", CC, "F5AAA")};
    Demarrer(log);
    QTest::mouseClick(m->Ajout_Saisie, Qt::LeftButton);
    QCOMPARE(m->Frame3->title(), QStringLiteral("Mode Insertion d'un QSO"));
    QVERIFY(p->sp->Mode_Insertion);
    QCOMPARE(m->focusWidget(), m->Date_A);
    QCOMPARE(m->Date_A->text(), QString());
    Taper(m->Date_A, QStringLiteral("10/03/09"));
    Saisir(m, QStringLiteral("F6NEW"), 0, QStringLiteral("01003"));
    Entree(m->Valide_A);
    const QStringList apres = {log.at(0), Enr("10/03/09", "01003", CC, "F6NEW"), log.at(1)};
    QCOMPARE(p->Octets_Log(), Octets(apres));
    QCOMPARE(m->Frame3->title(), QStringLiteral("Saisie ou modification d'un QSO"));
    QVERIFY(!p->sp->Mode_Insertion);
    // Back to a new entry in automatic mode: a second press cannot write the QSO again.
    QVERIFY(!m->Valide_A->isEnabled());
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QCOMPARE(m->focusWidget(), m->Ind_A);
    m->Valide_A->click();
    QCOMPARE(p->Octets_Log(), Octets(apres));

    // A double click ends insert mode but leaves its caption until the next insertion.
    QTest::mouseClick(m->Ajout_Saisie, Qt::LeftButton);
    m->Selectionner_Ligne(0);
    m->Main_Liste_KVRT_DblClick();
    QVERIFY(!p->sp->Mode_Insertion);
    QVERIFY(p->sp->Mode_Modification);
    QCOMPARE(m->Frame3->title(), QStringLiteral("Mode Insertion d'un QSO"));
    Fin();
}

void Tst_Saisie::edition_en_place()
{
    Chien_De_Garde garde;
    const QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("02/03/09", "29001", CA, "F5BBB", true),
                             Enr("03/03/09", "35001", CC, "F5CCC")};
    Demarrer(log);
    // A click shows the QSO, locked.
    const QRect rect = m->Liste_KVRT->visualRect(m->Modele_Liste->index(1));
    QTest::mouseClick(m->Liste_KVRT->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(p->sp->Ligne_Selectionnee, QStringLiteral("    2   ") + log.at(1));
    QCOMPARE(m->Date_A->text(), QStringLiteral("02/03/09"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("29001"));
    QCOMPARE(m->Type_A->currentText(), CA);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F5BBB"));
    QVERIFY(m->Validation_A->isChecked());
    QVERIFY(!m->Ind_A->isEnabled());
    QVERIFY(!m->Date_A->isEnabled());
    QVERIFY(m->Annule_Saisie->isEnabled());

    // A double click opens every field; a changed callsign replaces the line in place.
    QTest::mouseDClick(m->Liste_KVRT->viewport(), Qt::LeftButton, {}, rect.center());
    QVERIFY(p->sp->Mode_Modification);
    QVERIFY(m->Ind_A->isEnabled());
    QVERIFY(m->Valide_A->isEnabled());
    QVERIFY(!m->Annule_Saisie->isEnabled());
    QCOMPARE(m->focusWidget(), m->Date_A);
    m->Ind_A->setText(QStringLiteral("F5ZZZ"));
    m->Validation_A->setChecked(false);
    QTest::mouseClick(m->Valide_A, Qt::LeftButton);
    QCOMPARE(p->Octets_Log(), Octets({log.at(0), Enr("02/03/09", "29001", CA, "F5ZZZ"), log.at(2)}));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("10"));
    QVERIFY(!p->sp->Mode_Modification);
    QVERIFY(p->plateforme->messages.isEmpty());
    Fin();
}

void Tst_Saisie::annuler_saisie_termine_l_edition()
{
    Chien_De_Garde garde;
    const QStringList log = {Enr("01/03/09", "01001", CC, "F5AAA"), Enr("02/03/09", "01002", CC, "F5BBB")};
    Demarrer(log);
    m->Selectionner_Ligne(0);
    m->Main_Liste_KVRT_DblClick();
    QTest::mouseClick(m->Efface_A, Qt::LeftButton);
    QVERIFY(!p->sp->Mode_Modification);
    QCOMPARE(m->Frame3->title(), QStringLiteral("Saisie ou modification d'un QSO"));
    // The next QSO typed is added, not written over the one that was being edited.
    Saisir(m, QStringLiteral("F6NEW"), 0, QStringLiteral("01003"));
    Entree(m->Valide_A);
    QCOMPARE(p->Octets_Log(), Octets(log + QStringList{Enr("28/03/09", "01003", CC, "F6NEW")}));
    Fin();
}

void Tst_Saisie::suppression_oui_et_non()
{
    Chien_De_Garde garde;
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA"), Enr("02/03/09", "35001", CC, "F5BBB"),
                             Enr("03/03/09", "29001", CA, "F5CCC"), Enr("04/03/09", "35002", CA, "F5DDD", true),
                             Enr("05/03/09", "29001", QStringLiteral("Double"), "F5EEE")};
    Demarrer(log);
    m->Selectionner_Ligne(2);
    // No: the log is untouched, the fields are reset all the same.
    p->plateforme->reponses = {false};
    QTest::mouseClick(m->Annule_Saisie, Qt::LeftButton);
    QCOMPARE(p->plateforme->questions, QStringList{QString::fromUtf8("Voulez vous effacer le KVRT N° 29001 ?")});
    QCOMPARE(p->Octets_Log(), Octets(log));
    QVERIFY(!m->Annule_Saisie->isEnabled());
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QCOMPARE(m->KVRT_A->text(), QString());
    QCOMPARE(m->focusWidget(), m->Ind_A);

    // Yes: every QSO of that castle goes, and the list is renumbered.
    m->Selectionner_Ligne(2);
    p->plateforme->reponses = {true};
    m->Main_Annule_Saisie_Click();
    QCOMPARE(p->Octets_Log(), Octets({log.at(1), log.at(3)}));
    QCOMPARE(m->Nombre_Lignes(), 2);
    QCOMPARE(m->Texte_Ligne(1), QStringLiteral("    2   ") + log.at(3));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("2"));
    QCOMPARE(p->sp->Ligne_Selectionnee, QStringLiteral("    2   ") + log.at(3));
    QVERIFY(!m->Annule_Saisie->isEnabled());
    // The last QSO shown waits for validation; the next one does not inherit it.
    QVERIFY(!m->Validation_A->isChecked());
    QVERIFY(p->plateforme->questionsImprevues.isEmpty());
    Fin();
}

void Tst_Saisie::suppression_sans_ligne()
{
    Chien_De_Garde garde;
    Demarrer({});
    m->Main_Annule_Saisie_Click();
    QCOMPARE(p->plateforme->messages, QStringList{QStringLiteral("Cliquez sur une ligne pour l'annuler")});
    // A line that holds no QSO.
    p->plateforme->messages.clear();
    p->Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), "\r\n");
    p->sp->Rafraichir_Liste_Log();
    QCOMPARE(p->plateforme->messages, QStringList{QStringLiteral("Il n'y a pas de données a modifier")});
    p->plateforme->messages.clear();
    m->Main_Annule_Saisie_Click();
    QCOMPARE(p->plateforme->messages, QStringList{QStringLiteral("Il n'y a pas de données a annuler")});
    QVERIFY(p->plateforme->questions.isEmpty());
    Fin();
}

void Tst_Saisie::champs_trop_longs_refuses()
{
    Chien_De_Garde garde;
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA")};
    Demarrer(log);
    m->Selectionner_Ligne(0);
    struct Cas { const char* champ; QString texte; QString mot; };
    const Cas cas[] = {
        {"Date_A", QStringLiteral("1/03/09"), QStringLiteral("la date")},
        {"KVRT_A", QStringLiteral("290012"), QStringLiteral("N° KVRT")},
        {"Ind_A", QStringLiteral("F5ABCDEFGHIJK"), QStringLiteral("l'indicatif")},
        {"Ind_A", QString::fromUtf8("F5\u4e2d"), QStringLiteral("l'indicatif")},
    };
    for (const Cas& c : cas) {
        m->Main_Liste_KVRT_DblClick();
        m->findChild<QLineEdit*>(QString::fromLatin1(c.champ))->setText(c.texte);
        p->plateforme->messages.clear();
        m->Main_Valide_A_Click();
        QCOMPARE(p->plateforme->messages.size(), 1);
        QVERIFY2(p->plateforme->messages.at(0).contains(c.mot), qPrintable(p->plateforme->messages.at(0)));
        QCOMPARE(p->Octets_Log(), Octets(log));
        // Nothing typed is lost: the field keeps its text.
        QCOMPARE(m->findChild<QLineEdit*>(QString::fromLatin1(c.champ))->text(), c.texte);
    }
    m->Main_Liste_KVRT_DblClick();
    m->Type_A->setEditText(QStringLiteral("Chateau active tres longtemps"));
    p->plateforme->messages.clear();
    m->Main_Valide_A_Click();
    QVERIFY(p->plateforme->Dernier_Message().contains(QStringLiteral("type d'activité")));
    QCOMPARE(p->Octets_Log(), Octets(log));
    Fin();
}

QTEST_MAIN(Tst_Saisie)
#include "tst_saisie.moc"
