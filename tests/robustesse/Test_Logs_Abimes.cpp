// Logs damaged by hand or written by other tools, read by the real program: nothing crashes,
// every line is listed and scored by its bytes, reading never rewrites the file, and a change
// by the operator keeps every other line byte for byte (line ends becoming CR LF).
// The small logs are in tests/data/logs_abimes, written byte by byte; the big ones are made here.

#include "Aff_Contacte.h"
#include "Carte_Acti.h"
#include "Enregistrement.h"
#include "Forme_Log.h"
#include "Filtre_Touches.h"
#include "Main_Test.h"
#include "Modele_Log.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Texte1252.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>

namespace {

const QString CA = QStringLiteral("Chateau active");

QByteArray Lire_Donnee(const QString& nom)
{
    QFile f(QStringLiteral(KVRT_DONNEES_TEST "/logs_abimes/") + nom);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}


// The only message a damaged log may bring: the last line selected holds no QSO.
QStringList Messages_Hors_Ligne_Vide(Plateforme_Test& p)
{
    QStringList m = p.Prendre_Messages();
    m.removeAll(QStringLiteral("Il n'y a pas de données a modifier"));
    return m;
}

} // namespace

class Test_Logs_Abimes : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void logs_ecrits_a_la_main_data();
    void logs_ecrits_a_la_main();
    void ligne_de_dix_mega_octets();
    void plus_de_99999_lignes();
    void reference_courte_ecrite_puis_supprimee();

private:
    // The list shows every line of the file, its first 53 bytes after the 8-character
    // prefix, and the total is the sum of the lines' points.
    void Verifier_Liste(Main_Test* m, const QByteArray& octets);
    // Opens the windows that read the log, then closes them.
    void Ouvrir_Les_Fenetres_De_Lecture(Main_Test* m);
};

void Test_Logs_Abimes::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

void Test_Logs_Abimes::Verifier_Liste(Main_Test* m, const QByteArray& octets)
{
    const QList<QByteArray> lignes = Modele_Log::Lignes(octets);
    QCOMPARE(m->Nombre_Lignes(), int(lignes.size()));
    for (int i = 0; i < lignes.size(); ++i) {
        const QString liste = m->Texte_Ligne(i);
        if (i + 1 <= 99999)
            QCOMPARE(liste.left(8), QString::number(i + 1).rightJustified(5, u' ') + QStringLiteral("   "));
        else
            QVERIFY2(liste.left(8).trimmed() == QString::number(i + 1) && liste.at(7) == u' ', qPrintable(liste.left(8)));
        QCOMPARE(Texte1252::Encoder(QStringView(liste).mid(8)), lignes.at(i).left(53));
    }
    QCOMPARE(m->Total_Points->text(), QString::number(Modele_Log::Total(octets)));
}

void Test_Logs_Abimes::Ouvrir_Les_Fenetres_De_Lecture(Main_Test* m)
{
    for (QAction* a : {m->Mnu_Recap, m->Mnu_C_Contacte, m->Mnu_Dpt_Contactes})
        Choisir_Menu(a);
    Cliquer_Dans(m->Recherche);
    QApplication::processEvents();
    for (QWidget* w : {static_cast<QWidget*>(m->Fenetre_Recapitulatif()), static_cast<QWidget*>(m->Fenetre_Aff_Contacte()),
                       static_cast<QWidget*>(m->Fenetre_Carte_Acti()), static_cast<QWidget*>(m->Fenetre_Recherche())})
        if (w)
            w->close();
    QApplication::processEvents();
}

void Test_Logs_Abimes::logs_ecrits_a_la_main_data()
{
    QTest::addColumn<QString>("fichier");
    QTest::addColumn<int>("lignes");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("aModifier"); // a list line of at most 53 bytes
    QTest::addColumn<QString>("aSupprimer");

    QTest::newRow("lignes vides, une à la fin") << QStringLiteral("lignes_vides.txt") << 7 << 14 << 1 << QStringLiteral("2A001");
    QTest::newRow("un QSO coupé à toutes les longueurs") << QStringLiteral("lignes_courtes.txt") << 54 << 138 << 53 << QStringLiteral("2A002");
    QTest::newRow("fins de ligne LF seul") << QStringLiteral("fins_lf.txt") << 4 << 14 << 2 << QStringLiteral("56100");
    QTest::newRow("fins de ligne mélangées, CR isolé") << QStringLiteral("fins_melangees.txt") << 5 << 14 << 0 << QStringLiteral("2B012");
    QTest::newRow("sans fin de ligne finale") << QStringLiteral("sans_fin_de_ligne.txt") << 3 << 14 << 2 << QStringLiteral("29001");
    QTest::newRow("finit par un CR seul") << QStringLiteral("fin_cr_seul.txt") << 2 << 8 << 0 << QStringLiteral("2A001");
    // Read as the text it is: the mark of order and the two bytes of "é" count for nothing.
    QTest::newRow("UTF-8 avec marque d'ordre") << QStringLiteral("utf8.txt") << 4 << 18 << 3 << QStringLiteral("01001");
    QTest::newRow("NUL, Ctrl-Z, DEL, tabulation, octets non définis")
        << QStringLiteral("octets_de_controle.txt") << 7 << 19 << 0 << QStringLiteral("29018");
}

void Test_Logs_Abimes::logs_ecrits_a_la_main()
{
    QFETCH(QString, fichier);
    QFETCH(int, lignes);
    QFETCH(int, total);
    QFETCH(int, aModifier);
    QFETCH(QString, aSupprimer);

    const QByteArray donnee = Lire_Donnee(fichier);
    QVERIFY2(!donnee.isEmpty(), qPrintable(fichier));
    // The lines as the program reads them: another program's encoding and line ends read as
    // its own; the first change writes the file back in that form, saying so once.
    const QByteArray lu = Forme_Log::Remettre(donnee);
    const bool etrangere = Forme_Log::Examiner(donnee).Etrangere();
    QCOMPARE(Modele_Log::Total(lu), total);

    p.Installer_Station();
    p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), donnee);
    // An old date on the file shows any rewrite, even one that would give the same bytes.
    const QDateTime ancienne(QDate(2009, 3, 1), QTime(12, 0), Qt::UTC);
    {
        QFile f(p.Log());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(ancienne, QFileDevice::FileModificationTime));
    }

    Main_Test* m = p.Demarrer();
    m->show();
    QApplication::setActiveWindow(m);
    QCOMPARE(Messages_Hors_Ligne_Vide(*p.plateforme), QStringList());
    QCOMPARE(m->Nombre_Lignes(), lignes);
    QCOMPARE(m->Total_Points->text(), QString::number(total));
    Verifier_Liste(m, lu);

    // Reading, searching and the report windows never write the log.
    QVERIFY(p.sp->Recherche_Doublon(aSupprimer).trouve);
    Ouvrir_Les_Fenetres_De_Lecture(m);
    QCOMPARE(Messages_Hors_Ligne_Vide(*p.plateforme), QStringList());
    QCOMPARE(p.Octets_Log(), donnee);
    QCOMPARE(QFileInfo(p.Log()).lastModified().toUTC(), ancienne);

    // Recording: appended after the last line, which gets its line end if it had none.
    QByteArray attendu = lu;
    Cliquer_Dans(m->Efface_A);
    Saisir(m, QStringLiteral("F8NEW"), 3, QStringLiteral("67001"));
    Cliquer_Dans(m->Valide_A);
    attendu = Modele_Log::Ajout(attendu, Texte1252::Encoder(Enr(QStringLiteral("28/03/09"), QStringLiteral("67001"), CA, QStringLiteral("F8NEW"))));
    QCOMPARE(p.Octets_Log(), attendu);
    const QStringList dits = Messages_Hors_Ligne_Vide(*p.plateforme);
    QCOMPARE(dits.size(), etrangere ? 1 : 0);
    if (etrangere)
        QVERIFY2(dits.first().contains(QStringLiteral("a été enregistré par un autre programme")), qPrintable(dits.first()));
    Verifier_Liste(m, attendu);

    // Edit of one line in place.
    Cliquer_Dans(m->Efface_A);
    const QByteArray cle = Modele_Log::Lignes(attendu).at(aModifier);
    QVERIFY(cle.size() <= 53);
    Cliquer_Ligne(m->Liste_KVRT, aModifier, true);
    QVERIFY(m->Mode_Modification());
    Remplacer_Texte(m->Date_A, QStringLiteral("11/03/09"));
    Remplacer_Texte(m->KVRT_A, QStringLiteral("68002"));
    Cliquer_Dans(m->Type_A);
    Choisir_Type(m, 3);
    Remplacer_Texte(m->Ind_A, QStringLiteral("F6MOD"));
    if (m->Validation_A->isChecked())
        Cliquer_Dans(m->Validation_A);
    Cliquer_Dans(m->Valide_A);
    attendu = Modele_Log::Remplacement(attendu, cle, Texte1252::Encoder(Enr(QStringLiteral("11/03/09"), QStringLiteral("68002"), CA, QStringLiteral("F6MOD"))));
    QCOMPARE(p.Octets_Log(), attendu);
    QCOMPARE(Messages_Hors_Ligne_Vide(*p.plateforme), QStringList());
    Verifier_Liste(m, attendu);

    // Insertion at its date.
    Cliquer_Dans(m->Efface_A);
    Cliquer_Dans(m->Ajout_Saisie);
    Taper(m->Date_A, QStringLiteral("10/03/09"));
    Saisir(m, QStringLiteral("F8INS"), 0, QStringLiteral("90001"));
    Cliquer_Dans(m->Valide_A);
    attendu = Modele_Log::Insertion(attendu, Texte1252::Encoder(Enr(QStringLiteral("10/03/09"), QStringLiteral("90001"),
                                                                     QStringLiteral("Chateau Contacte"), QStringLiteral("F8INS"))));
    QCOMPARE(p.Octets_Log(), attendu);
    QCOMPARE(Messages_Hors_Ligne_Vide(*p.plateforme), QStringList());
    Verifier_Liste(m, attendu);

    // Deletion of every QSO of one castle.
    Cliquer_Dans(m->Efface_A);
    int ligne = -1;
    for (int i = 0; i < m->Nombre_Lignes() && ligne < 0; ++i)
        if (Enregistrement::Champ_Nettoye(m->Texte_Ligne(i), 19, 5) == aSupprimer)
            ligne = i;
    QVERIFY(ligne >= 0);
    Cliquer_Ligne(m->Liste_KVRT, ligne);
    p.plateforme->reponses = {true};
    Cliquer_Dans(m->Annule_Saisie);
    attendu = Modele_Log::Suppression(attendu, Texte1252::Encoder(aSupprimer));
    QCOMPARE(p.Octets_Log(), attendu);
    QCOMPARE(Messages_Hors_Ligne_Vide(*p.plateforme), QStringList());
    Verifier_Liste(m, attendu);

    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// One line of 10 MB in the middle of the log: the list and the total take its first 53 bytes,
// and a rewrite for another line carries it whole.
void Test_Logs_Abimes::ligne_de_dix_mega_octets()
{
    const QByteArray r1 = Texte1252::Encoder(Enr(QStringLiteral("01/03/09"), QStringLiteral("29001"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5AAA")));
    const QByteArray r2 = Texte1252::Encoder(Enr(QStringLiteral("05/03/09"), QStringLiteral("2A001"), CA, QStringLiteral("F6BBB")));
    const QByteArray r3 = Texte1252::Encoder(Enr(QStringLiteral("09/03/09"), QStringLiteral("56100"), CA, QStringLiteral("F4CCC")));
    QByteArray longue = r2 + QByteArray(10 * 1024 * 1024, 'x');
    const QByteArray donnee = r1 + "\r\n" + longue + "\r\n" + r3 + "\r\n";

    garde.Patienter(20000);
    p.Installer_Station();
    p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), donnee);
    Main_Test* m = p.Demarrer();
    m->show();
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QCOMPARE(m->Nombre_Lignes(), 3);
    QCOMPARE(m->Texte_Ligne(1), QStringLiteral("    2   ") + Texte1252::Decoder(r2));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("14"));
    Ouvrir_Les_Fenetres_De_Lecture(m);
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QVERIFY(p.Octets_Log() == donnee);

    // The long line is not the record the list shows: editing it adds the new record at the
    // end and keeps the long line, so nothing of it is lost.
    Cliquer_Ligne(m->Liste_KVRT, 1, true);
    Remplacer_Texte(m->Ind_A, QStringLiteral("F6MOD"));
    Cliquer_Dans(m->Valide_A);
    QByteArray attendu = Modele_Log::Remplacement(donnee, r2, Texte1252::Encoder(Enr(QStringLiteral("05/03/09"), QStringLiteral("2A001"), CA, QStringLiteral("F6MOD"))));
    QVERIFY(p.Octets_Log() == attendu);
    QCOMPARE(m->Nombre_Lignes(), 4);

    // Deleting another castle rewrites the file with the long line whole.
    Cliquer_Ligne(m->Liste_KVRT, 0);
    p.plateforme->reponses = {true};
    Cliquer_Dans(m->Annule_Saisie);
    attendu = Modele_Log::Suppression(attendu, "29001");
    QVERIFY(p.Octets_Log() == attendu);
    QCOMPARE(p.Octets_Log().size(), qsizetype(longue.size() + 2 + 2 * 55));
    QCOMPARE(m->Total_Points->text(), QString::number(Modele_Log::Total(attendu)));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QVERIFY(garde.fermees.isEmpty());
}

// Past 99,999 lines the number needs six digits: the record still starts at character 9 of
// the list line, so a click shows the right QSO and an edit replaces the right line.
void Test_Logs_Abimes::plus_de_99999_lignes()
{
    const int n = 100010;
    QList<QByteArray> lignes;
    lignes.reserve(n);
    const QStringList types = Enregistrement::Types_Activite();
    for (int i = 0; i < n; ++i) {
        const QString date = QStringLiteral("%1/%2/09").arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(1 + (i / 28) % 12, 2, 10, QLatin1Char('0'));
        const QString reference = QStringLiteral("%1%2").arg(1 + i % 95, 2, 10, QLatin1Char('0')).arg(i % 1000, 3, 10, QLatin1Char('0'));
        lignes.append(Texte1252::Encoder(Enr(date, reference, types.at(i % 9), QStringLiteral("F%1").arg(i), i % 7 == 0)));
    }
    const QByteArray donnee = Modele_Log::Joindre(lignes);

    garde.Patienter(30000);
    p.Installer_Station();
    p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), donnee);
    Main_Test* m = p.Demarrer();
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QCOMPARE(m->Nombre_Lignes(), n);
    QCOMPARE(m->Total_Points->text(), QString::number(Modele_Log::Total(donnee)));
    QCOMPARE(m->Texte_Ligne(99998), QStringLiteral("99999   ") + Texte1252::Decoder(lignes.at(99998)));
    QCOMPARE(m->Texte_Ligne(99999), QStringLiteral("100000  ") + Texte1252::Decoder(lignes.at(99999)));
    QCOMPARE(m->Texte_Ligne(n - 1), QStringLiteral("100010  ") + Texte1252::Decoder(lignes.at(n - 1)));

    // Selecting line 100,005 shows its own fields.
    const int k = 100004;
    Cliquer_Ligne(m->Liste_KVRT, k);
    QCOMPARE(m->Date_A->text(), QString::fromLatin1(lignes.at(k).left(8)));
    QCOMPARE(m->KVRT_A->text(), QString::fromLatin1(lignes.at(k).mid(10, 5)));
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F%1").arg(k));
    QCOMPARE(m->Validation_A->isChecked(), k % 7 == 0);

    // Its edit replaces it where it stands.
    Cliquer_Ligne(m->Liste_KVRT, k, true);
    Remplacer_Texte(m->Ind_A, QStringLiteral("F6MOD"));
    Cliquer_Dans(m->Valide_A);
    QByteArray attendu = Modele_Log::Remplacement(
        donnee, lignes.at(k),
        Texte1252::Encoder(Enr(QString::fromLatin1(lignes.at(k).left(8)), QString::fromLatin1(lignes.at(k).mid(10, 5)),
                               types.at(k % 9), QStringLiteral("F6MOD"), k % 7 == 0)));
    QVERIFY(p.Octets_Log() == attendu);
    QCOMPARE(m->Nombre_Lignes(), n);

    // The delete button takes the reference of the line selected past 99,999.
    Cliquer_Ligne(m->Liste_KVRT, 100007);
    const QByteArray reference = lignes.at(100007).mid(10, 5);
    p.plateforme->reponses = {true};
    Cliquer_Dans(m->Annule_Saisie);
    QCOMPARE(p.plateforme->questions.last(), QStringLiteral("Voulez vous effacer le KVRT N° ") + QString::fromLatin1(reference) + QStringLiteral(" ?"));
    attendu = Modele_Log::Suppression(attendu, reference);
    QVERIFY(p.Octets_Log() == attendu);
    QVERIFY(m->Nombre_Lignes() < n);
    QCOMPARE(m->Total_Points->text(), QString::number(Modele_Log::Total(attendu)));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QVERIFY(garde.fermees.isEmpty());
}

// An edit may record a reference shorter than five characters (no Enter check runs before the
// click): the file holds it blank-padded, the list shows it without blanks, and deleting it
// from the list must take it, and only it.
void Test_Logs_Abimes::reference_courte_ecrite_puis_supprimee()
{
    p.Installer_Station();
    const QStringList log = {Enr(QStringLiteral("01/03/09"), QStringLiteral("2A001"), CA, QStringLiteral("F5AAA")),
                             Enr(QStringLiteral("05/03/09"), QStringLiteral("29001"), CA, QStringLiteral("F6BBB")),
                             Enr(QStringLiteral("09/03/09"), QStringLiteral("2A0"), CA, QStringLiteral("F4CCC"))};
    p.Ecrire_Log(log);
    Main_Test* m = p.Demarrer();
    Cliquer_Ligne(m->Liste_KVRT, 1, true);
    Remplacer_Texte(m->KVRT_A, QStringLiteral(" 2a0"));
    Cliquer_Dans(m->Valide_A);
    QCOMPARE(p.Octets_Log(), Octets({log.at(0), Enr(QStringLiteral("05/03/09"), QStringLiteral(" 2A0"), CA, QStringLiteral("F6BBB")), log.at(2)}));
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());

    Cliquer_Ligne(m->Liste_KVRT, 1);
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("2A0"));
    p.plateforme->reponses = {true};
    Cliquer_Dans(m->Annule_Saisie);
    QCOMPARE(p.plateforme->questions.last(), QStringLiteral("Voulez vous effacer le KVRT N° 2A0 ?"));
    // Both records of "2A0" go, whatever their blanks; "2A001" stays.
    QCOMPARE(p.Octets_Log(), Octets({log.at(0)}));
    QCOMPARE(m->Nombre_Lignes(), 1);
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList());
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Test_Logs_Abimes)
#include "Test_Logs_Abimes.moc"
