// The summary window, the contacted-castles window, and the printed and exported report,
// on real widgets, real files in a temporary program directory and a real PDF printout.

#include "Aff_Contacte.h"
#include "Apparence.h"
#include "Carte_Acti.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Historique_Modifications.h"
#include "Main_Test.h"
#include "Modele_Contactes.h"
#include "Progression.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Rapports.h"
#include "Rapports_Contactes.h"
#include "Recapitulatif.h"
#include "Texte1252.h"
#include "Types_Activite.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QScreen>
#include <QTest>
#include <QTimer>

using Apparence::Couleur;



namespace {


QString Outil(const char* nom)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(nom));
}

QString Sortie(const QString& programme, const QStringList& arguments)
{
    QProcess processus;
    processus.start(programme, arguments);
    if (!processus.waitForFinished(30000) || processus.exitCode() != 0)
        return QString();
    return QString::fromUtf8(processus.readAllStandardOutput());
}

// Lines of a text with their runs of blanks made single: what a PDF's text can be held to.
QStringList Lignes_Simplifiees(const QString& texte)
{
    QStringList lignes;
    for (const QString& l : texte.split(QRegularExpression(QStringLiteral("[\r\n\f]+"))))
        if (!l.simplified().isEmpty())
            lignes << l.simplified();
    return lignes;
}

// The nine boxes of the summary, top to bottom.
QList<QLineEdit*> Boites(Recapitulatif* r)
{
    QList<QLineEdit*> boites;
    for (const char* nom : {"Nb_CC", "Nb_CR", "Nb_RC", "Nb_CA", "Nb_AR", "Nb_RA", "Nb_DO", "Nb_Dpt", "Nb_Points_Tot"})
        boites.append(Controle<QLineEdit>(r, nom));
    return boites;
}

} // namespace

class Tst_Rapports : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();

    void recapitulatif_comptes_data();
    void recapitulatif_comptes();
    void recapitulatif_fenetre();
    void recapitulatif_log_absent();

    void contactes_lignes_et_ordre();
    void contactes_fenetre();
    void contactes_grand_log_trie();
    void tri_comme_compare_sans_casse();
    void contactes_et_rapport_depuis_les_octets_data();
    void contactes_et_rapport_depuis_les_octets();
    void contactes_log_absent();

    void rapport_lignes_data();
    void rapport_lignes();
    void export_octets_et_message();
    void export_deux_fois_le_meme_jour();
    void export_impossible();
    void export_log_absent();

    void impression_pdf();
    void impression_pages();
    void impression_fichier_impossible();
    void impression_sans_imprimante_ou_annulee();
    void fenetres_centrees();
    void fenetres_suivent_le_log();
};

void Tst_Rapports::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
}

// ---------------------------------------------------------------------------------------
// Summary

void Tst_Rapports::recapitulatif_comptes_data()
{
    QTest::addColumn<QStringList>("log");
    // Nb_CC, Nb_CR, Nb_RC, Nb_CA, Nb_AR, Nb_RA, Nb_DO, Nb_Dpt, Nb_Points_Tot
    QTest::addColumn<QList<int>>("attendu");

    QTest::newRow("log vide") << QStringList() << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("chaque type une fois")
        << QStringList{Q("01/02/09", "01001", Cc), Q("01/02/09", "02001", Rc), Q("01/02/09", "03001", Res),
                       Q("01/02/09", "04001", Ca), Q("01/02/09", "05001", Ra), Q("01/02/09", "06001", Rsa),
                       Q("01/02/09", "07001", Oa), Q("01/02/09", "08001", Or), Q("01/02/09", "09001", Db)}
        << QList<int>{1, 1, 1, 1, 1, 1, 1, 9, 2 + 1 + 1 + 6 + 3 + 3 + 6 + 3 + 0};
    QTest::newRow("2A et 2a un departement, 2B un autre")
        << QStringList{Q("01/02/09", "2A001", Cc), Q("02/02/09", "2a002", Cc), Q("03/02/09", "2B001", Cc)}
        << QList<int>{3, 0, 0, 0, 0, 0, 0, 2, 6};
    QTest::newRow("97 et 2B le meme departement")
        << QStringList{Q("01/02/09", "97001", Cc), Q("02/02/09", "2b001", Cc)} << QList<int>{2, 0, 0, 0, 0, 0, 0, 1, 4};
    QTest::newRow("etoile comptee sans points")
        << QStringList{Q("01/02/09", "29001", Ca, "F6XYZ", true), Q("02/02/09", "29002", Ca)}
        << QList<int>{0, 0, 0, 2, 0, 0, 0, 1, 6};
    QTest::newRow("double compte zero point") << QStringList{Q("01/02/09", "29001", Db)} << QList<int>{0, 0, 0, 0, 0, 0, 1, 1, 0};
    QTest::newRow("operateurs dans aucune case")
        << QStringList{Q("01/02/09", "29001", Oa), Q("01/02/09", "30001", Or)} << QList<int>{0, 0, 0, 0, 0, 0, 0, 2, 9};
    QTest::newRow("meme chateau trois fois")
        << QStringList{Q("01/02/09", "29001", Cc), Q("02/02/09", "29001", Rc), Q("03/02/09", "29001", Cc)}
        << QList<int>{2, 1, 0, 0, 0, 0, 0, 1, 5};
    QTest::newRow("type inconnu: departement seul")
        << QStringList{Q("01/02/09", "29001", QStringLiteral("Chateau contacte"))} << QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 0};
    QTest::newRow("code sans chiffre et 00 non comptes")
        << QStringList{Q("01/02/09", "AB001", Cc), Q("01/02/09", "00001", Cc)} << QList<int>{2, 0, 0, 0, 0, 0, 0, 0, 4};
    QTest::newRow("1A compte pour le 01")
        << QStringList{Q("01/02/09", "1A001", Cc), Q("01/02/09", "01001", Cc)} << QList<int>{2, 0, 0, 0, 0, 0, 0, 1, 4};
    QTest::newRow("lignes courtes et vides")
        << QStringList{QStringLiteral("01/02/09"), QString(), QStringLiteral("01/02/09  75")}
        << QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 0};
}

void Tst_Rapports::recapitulatif_comptes()
{
    QFETCH(QStringList, log);
    QFETCH(QList<int>, attendu);
    Main_Test* m = Demarrer_Sur(p, log);
    Choisir_Menu(m->Mnu_Recap);
    Recapitulatif* r = m->Fenetre_Recapitulatif();
    QVERIFY(r);
    const QList<QLineEdit*> boites = Boites(r);
    for (int i = 0; i < boites.size(); ++i)
        QVERIFY2(boites[i]->text() == QString::number(attendu[i]),
                 qPrintable(boites[i]->objectName() + QStringLiteral(" = ") + boites[i]->text()));
    // The summary's total is the main window's, by the same rule.
    QCOMPARE(Controle<QLineEdit>(r, "Nb_Points_Tot")->text(), m->Total_Points->text());
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::recapitulatif_fenetre()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/02/09", "29001", Cc)});
    Choisir_Menu(m->Mnu_Recap);
    QPointer<Recapitulatif> r = m->Fenetre_Recapitulatif();
    QVERIFY(r);
    QVERIFY(r->isVisible());
    QCOMPARE(r->windowTitle(), QStringLiteral("Feuille Récapitulative"));
    QCOMPARE(Controle<QLabel>(r, "Label2")->text(), QStringLiteral("RECAPITULATIF DES CONTACTS"));
    QVERIFY(Controle<QLabel>(r, "Label2")->font().bold());
    QCOMPARE(Controle<QLabel>(r, "Label2")->font().pointSize(), 12);
    const QList<QPair<QLabel*, QString>> libelles{
        {Controle<QLabel>(r, "Label8"), QStringLiteral("Nombre d'activations KVRT contactées")},
        {Controle<QLabel>(r, "Label7"), QStringLiteral("Nombre de réactivations KVRT contactées")},
        {Controle<QLabel>(r, "Label5"), QStringLiteral("Nombre de KVRT résidents Contactés")},
        {Controle<QLabel>(r, "Label10"), QStringLiteral("Nombre de KVRT activés")},
        {Controle<QLabel>(r, "Label3"), QStringLiteral("Nombre de KVRT réactivés")},
        {Controle<QLabel>(r, "Label1"), QStringLiteral("Nombre de KVRT résidents activés")},
        {Controle<QLabel>(r, "Label9"), QStringLiteral("Nombre de KVRT en double")},
        {Controle<QLabel>(r, "Label4"), QStringLiteral("Nombre de départements contactés")},
        {Controle<QLabel>(r, "Label6"), QStringLiteral("Total des points du Challenge")},
    };
    for (const auto& [label, texte] : libelles) {
        QCOMPARE(label->text(), texte);
        QCOMPARE(r->findChild<QLabel*>(label->objectName()), label);
    }
    QCOMPARE(Controle<QLabel>(r, "Annee_X")->text(), QStringLiteral("2009"));
    // The year stands just right of the total's label, on its row.
    QVERIFY(Controle<QLabel>(r, "Annee_X")->geometry().left() >= Controle<QLabel>(r, "Label6")->geometry().right());
    QVERIFY(qAbs(Controle<QLabel>(r, "Annee_X")->geometry().center().y() - Controle<QLabel>(r, "Label6")->geometry().center().y()) <= 2);
    for (QLineEdit* b : Boites(r)) {
        QCOMPARE(r->findChild<QLineEdit*>(b->objectName()), b);
        QCOMPARE(Couleur(b), Apparence::Jaune_Pale);
        QVERIFY(b->isReadOnly());
        QVERIFY(b->font().bold());
        QCOMPARE(b->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }
    // Rows in their order on screen: the eight counts, a line, the total, a line.
    QList<QWidget*> ordre;
    for (QLineEdit* b : Boites(r))
        ordre.append(b);
    ordre.insert(8, Controle<QFrame>(r, "Line1"));
    ordre.append(Controle<QFrame>(r, "Line2"));
    for (qsizetype i = 1; i < ordre.size(); ++i)
        QVERIFY2(ordre[i - 1]->y() < ordre[i]->y(), qPrintable(ordre[i]->objectName()));
    QCOMPARE(Controle<QLineEdit>(r, "Nb_CC")->text(), QStringLiteral("1"));

    // Open: the command brings it forward without counting again.
    p.Ecrire_Log({Q("01/02/09", "29001", Cc), Q("01/02/09", "30001", Cc)});
    Choisir_Menu(m->Mnu_Recap);
    QCOMPARE(m->Fenetre_Recapitulatif(), r.data());
    QCOMPARE(Controle<QLineEdit>(r, "Nb_CC")->text(), QStringLiteral("1"));
    QCOMPARE(m->findChildren<Recapitulatif*>().size(), 1);
    // Closed and opened again, it counts the log as it is now.
    Fermer_Par_Le_Cadre(r);
    QTRY_VERIFY(r.isNull());
    Choisir_Menu(m->Mnu_Recap);
    QVERIFY(m->Fenetre_Recapitulatif());
    QCOMPARE(Controle<QLineEdit>(m->Fenetre_Recapitulatif(), "Nb_CC")->text(), QStringLiteral("2"));
    QCOMPARE(Controle<QLineEdit>(m->Fenetre_Recapitulatif(), "Nb_Dpt")->text(), QStringLiteral("2"));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::recapitulatif_log_absent()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/02/09", "29001", Cc)});
    QFile::remove(p.Log());
    Choisir_Menu(m->Mnu_Recap);
    Recapitulatif* r = m->Fenetre_Recapitulatif();
    QVERIFY(r);
    QCOMPARE(p.plateforme->messages.size(), 1);
    const QString message = p.plateforme->messages.first();
    QVERIFY2(message.contains(QStringLiteral("fichier introuvable")), qPrintable(message));
    QVERIFY(message.contains(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt")));
    for (QLineEdit* b : Boites(r))
        QCOMPARE(b->text(), QString());
    QCOMPARE(Controle<QLabel>(r, "Annee_X")->text(), QStringLiteral("2009"));
    // Nothing was created in its place.
    QVERIFY(!QFile::exists(p.Log()));
    QVERIFY(garde.fermees.isEmpty());
}

// ---------------------------------------------------------------------------------------
// Contacted castles

void Tst_Rapports::contactes_lignes_et_ordre()
{
    const QStringList log{
        Q("05/02/09", "75001", Cc, "F5AAA"),
        Q("06/02/09", "01002", Ca, "F6BBB", true),
        Q("07/02/09", "01003", Ca, "F6CCC"),
        Q("08/02/09", "29001", Db, "F4DDD"),
        Q("09/02/09", "2b001", Rc, "F8EEE"),
        Q("10/02/09", "2A001", Rc, "F8FFF"),
        Q("11/02/09", "01001", Cc, "F1GGG", true),
        Q("12/02/09", "75001", Cc, "F2HHH"),
        Q("01/02/09", "75001", Cc, "F3III"),
        QStringLiteral("13/02/09  1"),
    };
    Main_Test* m = Demarrer_Sur(p, log);
    Choisir_Menu(m->Mnu_C_Contacte);
    Aff_Contacte* a = m->Fenetre_Aff_Contacte();
    QVERIFY(a);
    // Blank before "*" before digits, the whole line compared, case ignored; lines of the
    // same castle follow type, then date as written, then callsign.
    const QStringList attendu{
        QStringLiteral("  01003  Chateau active          07/02/09  F6CCC          6"),
        QStringLiteral("  1    13/02/09     0"),
        QStringLiteral("  29001  Double ou non validé    08/02/09  F4DDD          0"),
        QStringLiteral("  2A001  Reactivation Contactee  10/02/09  F8FFF          1"),
        QStringLiteral("  2b001  Reactivation Contactee  09/02/09  F8EEE          1"),
        QStringLiteral("  75001  Chateau Contacte        01/02/09  F3III          2"),
        QStringLiteral("  75001  Chateau Contacte        05/02/09  F5AAA          2"),
        QStringLiteral("  75001  Chateau Contacte        12/02/09  F2HHH          2"),
        QStringLiteral(" *01001  Chateau Contacte        11/02/09  F1GGG          0"),
        QStringLiteral(" *01002  Chateau active          06/02/09  F6BBB          0"),
    };
    QCOMPARE(a->Lignes(), attendu);
    QCOMPARE(a->Lignes().at(0).size(), 59);
    QCOMPARE(Controle<QListView>(a, "Liste_KVRT_Contacte")->model()->rowCount(), attendu.size());

    const QString entete = Controle<QLabel>(a, "Label2")->text();
    QCOMPARE(entete.size(), 94);
    QCOMPARE(entete, QStringLiteral(" KVRT          Type activité                         Date          Indicatif            Points"));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("14"));
    QCOMPARE(Controle<QLabel>(a, "Label4")->text(), QStringLiteral("                Total des points : 14"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::contactes_fenetre()
{
    Main_Test* m = Demarrer_Sur(p, {});
    Choisir_Menu(m->Mnu_C_Contacte);
    QPointer<Aff_Contacte> a = m->Fenetre_Aff_Contacte();
    QVERIFY(a);
    QVERIFY(a->isVisible());
    QCOMPARE(a->windowTitle(), QStringLiteral("KVRT contactés"));
    QCOMPARE(Controle<QLabel>(a, "Label3")->text(), QStringLiteral("Liste des Chateaux contactés"));
    QVERIFY(Controle<QLabel>(a, "Label3")->font().bold());
    QCOMPARE(Controle<QLabel>(a, "Label1")->text(), QStringLiteral("(*) = activation non validée"));
    for (const char* nom : {"Label1", "Label2", "Label3", "Label4"})
        QVERIFY(a->findChild<QLabel*>(QString::fromLatin1(nom)));
    QCOMPARE(Couleur(Controle<QListView>(a, "Liste_KVRT_Contacte")), Apparence::Jaune_Pale);
    const QFontInfo police(Controle<QListView>(a, "Liste_KVRT_Contacte")->font());
    QVERIFY(police.fixedPitch());
    QVERIFY(police.bold());
    // A whole line shows without cutting its points.
    const QFontMetrics mesure(Controle<QListView>(a, "Liste_KVRT_Contacte")->font());
    QVERIFY(Controle<QListView>(a, "Liste_KVRT_Contacte")->viewport()->width() >= mesure.horizontalAdvance(QString(59, u'0')));
    // An empty log: no line, and the main window's total.
    QVERIFY(a->Lignes().isEmpty());
    QCOMPARE(Controle<QLabel>(a, "Label4")->text(), QStringLiteral("                Total des points : 0"));

    // One window: the command brings it forward; closed and reopened, it reads the log again.
    p.Ecrire_Log({Q("01/02/09", "29001", Cc)});
    Choisir_Menu(m->Mnu_C_Contacte);
    QCOMPARE(m->Fenetre_Aff_Contacte(), a.data());
    QVERIFY(a->Lignes().isEmpty());
    Fermer_Par_Le_Cadre(a);
    QTRY_VERIFY(a.isNull());
    Choisir_Menu(m->Mnu_C_Contacte);
    QVERIFY(m->Fenetre_Aff_Contacte());
    QCOMPARE(m->Fenetre_Aff_Contacte()->Lignes().size(), 1);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::contactes_grand_log_trie()
{
    QStringList log;
    const char* types[] = {"Chateau Contacte", "Chateau active", "Double ou non validé"};
    for (int i = 0; i < 3000; ++i) {
        const QString ref = QStringLiteral("%1%2").arg((i * 37) % 96 + 1, 2, 10, QLatin1Char('0')).arg(i % 1000, 3, 10, QLatin1Char('0'));
        log << Enr(QStringLiteral("%1/03/09").arg(i % 28 + 1, 2, 10, QLatin1Char('0')), ref,
                   QString::fromUtf8(types[i % 3]), QStringLiteral("F%1").arg(i), i % 7 == 0);
    }
    Main_Test* m = Demarrer_Sur(p, log);
    Choisir_Menu(m->Mnu_C_Contacte);
    Aff_Contacte* a = m->Fenetre_Aff_Contacte();
    QVERIFY(a);
    const QStringList lignes = a->Lignes();
    QCOMPARE(lignes.size(), log.size());
    for (int i = 1; i < lignes.size(); ++i)
        QVERIFY2(QString::compare(lignes[i - 1], lignes[i], Qt::CaseInsensitive) <= 0, qPrintable(lignes[i]));
    // Every unmarked line comes before every marked one.
    const qsizetype premiereEtoile = lignes.indexOf(QRegularExpression(QStringLiteral(" \\*.*")));
    QVERIFY(premiereEtoile > 0);
    for (qsizetype i = premiereEtoile; i < lignes.size(); ++i)
        QCOMPARE(lignes[i].at(1), u'*');
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::tri_comme_compare_sans_casse()
{
    // The sort folds each line once; it must agree with the comparison it stands for.
    QStringList lignes{QStringLiteral(" *ab"), QStringLiteral("  É1"), QStringLiteral("  é1"), QStringLiteral("  z1"),
                       QStringLiteral("  Z0"), QStringLiteral("  2b"), QStringLiteral("  2A"), QStringLiteral("  29"),
                       QStringLiteral("   "), QStringLiteral("  ÿ"), QStringLiteral("  Ÿ"), QStringLiteral(" *AB"),
                       QStringLiteral("  Ω"), QStringLiteral("  ω"), QStringLiteral("  _"), QStringLiteral("  a"),
                       QStringLiteral("  ß"), QStringLiteral("  SS"), QString()};
    const QStringList avant = lignes;
    Rapports::Trier_Contactes(lignes);
    QCOMPARE(lignes.size(), avant.size());
    for (int i = 1; i < lignes.size(); ++i) {
        const int c = QString::compare(lignes[i - 1], lignes[i], Qt::CaseInsensitive);
        QVERIFY2(c <= 0, qPrintable(lignes[i - 1] + QStringLiteral(" > ") + lignes[i]));
        // Lines equal but for case keep their order in the file.
        if (c == 0)
            QVERIFY(avant.indexOf(lignes[i - 1]) < avant.indexOf(lignes[i]));
    }
    QCOMPARE(lignes.first(), QString());
    QCOMPARE(lignes.indexOf(QStringLiteral("  É1")) + 1, lignes.indexOf(QStringLiteral("  é1")));
}

void Tst_Rapports::contactes_et_rapport_depuis_les_octets_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::newRow("log vide") << QByteArray();
    QTest::newRow("casse et accents des references et indicatifs")
        << Octets({Q("01/02/09", "2a001", Cc, "f5abc"), Q("01/02/09", "2A001", Cc, "F5ABC"), Q("02/02/09", "2B001", Db, "FÉX"),
                   Q("03/02/09", "2b001", Db, "FéX", true), Q("03/02/09", "75001", Ca, "ŒUF")});
    QTest::newRow("lignes courtes, vides et longues")
        << Octets({QStringLiteral("01/02/09"), QString(), QStringLiteral("01/02/09 *29"), Q("01/02/09", "29001", Ca) + QStringLiteral("reste")});
    // Every byte the log may hold, in every field, including those Windows-1252 leaves undefined.
    QByteArray melange;
    quint32 x = 20090328u;
    for (int i = 0; i < 600; ++i) {
        QByteArray l = Texte1252::Encoder(Q("01/02/09", "29001", i % 2 ? Cc : Ca, "F1ABC", i % 5 == 0));
        for (int k = 0; k < 6; ++k) {
            x = x * 1664525u + 1013904223u;
            const int position = int((x >> 8) % quint32(l.size()));
            x = x * 1664525u + 1013904223u;
            const char octet = char((x >> 16) & 0xFF);
            if (octet != '\r' && octet != '\n')
                l[position] = octet;
        }
        melange += l.left(int(x % 60)) + "\r\n";
    }
    QTest::newRow("octets quelconques") << melange;
    // Past 64 kB the export goes in several blocks: no line is lost or doubled at their seams.
    QStringList grand;
    for (int i = 0; i < 3000; ++i)
        grand << Q("01/02/09", qPrintable(QStringLiteral("%1").arg(10000 + i * 7 % 89999, 5, 10, QLatin1Char('0'))), i % 3 ? Cc : Ca,
                   "F1ABC", i % 11 == 0);
    QTest::newRow("grand log en plusieurs blocs") << Octets(grand);
}

void Tst_Rapports::contactes_et_rapport_depuis_les_octets()
{
    // The window and the export read the log's bytes straight; they must show and write
    // exactly what the lines decoded, scored by Calcul_Points_Ligne and sorted, give.
    QFETCH(QByteArray, log);
    const QList<QByteArray> lignesLog = Texte1252::Couper_Lignes(log);
    QStringList attendu;
    for (const QByteArray& l : lignesLog) {
        const QString ligne = Texte1252::Decoder(l.left(Enregistrement::Longueur_Ligne_Log));
        attendu << Rapports::Ligne_Contacte(ligne, Enregistrement::Points_Ligne(ligne));
    }
    Rapports::Trier_Contactes(attendu);
    const Rapports::Liste_Contactes liste = Rapports::Contactes(log);
    QStringList obtenu;
    for (qsizetype i = 0; i < liste.size(); ++i)
        obtenu << liste.Ligne(i);
    QCOMPARE(obtenu, attendu);

    const QStringList rapport = Rapports::Rapport(lignesLog, QStringLiteral("F1ABC"), QStringLiteral("2009"),
                                                  QStringLiteral("28/03/2009"), QStringLiteral("12"), QStringLiteral("crédit"));
    QByteArray rapportAttendu;
    for (const QString& l : rapport)
        rapportAttendu += Texte1252::Encoder(l) + "\r\n";
    // Written as the export writes it: each block followed by CR LF.
    const QList<QByteArray> blocs = Rapports::Rapport_Octets(log, QStringLiteral("F1ABC"), QStringLiteral("2009"),
                                                            QStringLiteral("28/03/2009"), QStringLiteral("12"),
                                                            QStringLiteral("crédit"));
    QBuffer ecrit;
    QVERIFY(ecrit.open(QIODevice::WriteOnly));
    QVERIFY(FichierLog::Ecrire(ecrit, blocs, QStringLiteral("export")).ok());
    QCOMPARE(ecrit.data(), rapportAttendu);
    // A long log takes a few blocks, none much above 64 kB.
    for (const QByteArray& b : blocs)
        QVERIFY(b.size() <= (1 << 16) + 200);
}

void Tst_Rapports::contactes_log_absent()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/02/09", "29001", Cc)});
    QFile::remove(p.Log());
    Choisir_Menu(m->Mnu_C_Contacte);
    Aff_Contacte* a = m->Fenetre_Aff_Contacte();
    QVERIFY(a);
    QCOMPARE(p.plateforme->messages.size(), 1);
    QVERIFY(p.plateforme->messages.first().contains(QStringLiteral("fichier introuvable")));
    QVERIFY(a->Lignes().isEmpty());
    QCOMPARE(Controle<QLabel>(a, "Label4")->text(), QString());
    QVERIFY(garde.fermees.isEmpty());
}

// ---------------------------------------------------------------------------------------
// The report, exported and printed

void Tst_Rapports::rapport_lignes_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("enregistrement");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("premier, 2 points") << 1 << Q("01/02/09", "75001", Cc, "F5AAA")
                                       << QStringLiteral("      1   01/02/09  75001  Chateau Contacte        F5AAA          2");
    QTest::newRow("dixième") << 10 << Q("01/02/09", "75001", Ca, "F5AAA")
                             << QStringLiteral("     10   01/02/09  75001  Chateau active          F5AAA          6");
    QTest::newRow("étoile gardée, 0 point") << 3 << Q("01/02/09", "75001", Ca, "F5AAA", true)
                                             << QStringLiteral("      3   01/02/09 *75001  Chateau active          F5AAA          0");
    QTest::newRow("cinq chiffres") << 99999 << Q("01/02/09", "75001", Db, "F5AAA")
                                   << QStringLiteral("  99999   01/02/09  75001  Double ou non validé    F5AAA          0");
    QTest::newRow("enregistrement court") << 2 << QStringLiteral("01/02/09  75001")
                                          << QStringLiteral("      2   01/02/09  75001   0");
}

void Tst_Rapports::rapport_lignes()
{
    QFETCH(int, numero);
    QFETCH(QString, enregistrement);
    QFETCH(QString, attendu);
    QCOMPARE(Rapports::Ligne_Rapport(numero, enregistrement, Enregistrement::Points_Ligne(enregistrement)), attendu);
}

void Tst_Rapports::export_octets_et_message()
{
    QStringList log;
    for (int i = 1; i <= 10; ++i)
        log << Q("01/03/09", QStringLiteral("750%1").arg(i, 2, 10, QLatin1Char('0')).toLatin1().constData(), Cc);
    log << Q("02/03/09", "2A001", Ca, "F6XYZ", true);
    Main_Test* m = Demarrer_Sur(p, log);
    // Just before midnight UTC on 7 March, already the 8th in local time: the UTC day counts.
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 7), QTime(23, 30), Qt::UTC), 3600);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("20"));
    const QByteArray avant = p.Octets_Log();

    Choisir_Menu(m->Mnu_Enr_Contacte);
    const QString nom = QStringLiteral("F1ABC_Challenge_KVRT_2009_07_03_09.txt");
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Le log a été enregistré sous le nom : ") + nom});

    QByteArray attendu = "            F1ABC Challenge 2009    Chateaux contact\xe9s au 07/03/2009\r\n"
                         "\r\n"
                         "     N\xb0      Date   KVRT     Type d'activit\xe9       Indicatif   Points\r\n"
                         "\r\n";
    for (int i = 1; i <= 10; ++i)
        attendu += QStringLiteral("  %1   01/03/09  750%2  Chateau Contacte        F6XYZ          2\r\n")
                       .arg(i, 5).arg(i, 2, 10, QLatin1Char('0')).toLatin1();
    attendu += "     11   02/03/09 *2A001  Chateau active          F6XYZ          0\r\n"
               "\r\n"
               "                             Total des points : 20\r\n"
               "\r\n";
    attendu += Texte1252::Encoder(Sous_Programmes::Ligne_Credit()) + "\r\n";
    const QByteArray ecrit = p.Lire_Fichier(nom);
    QCOMPARE(ecrit, attendu);
    // The tenth record's number stands at positions 6 and 7.
    QCOMPARE(ecrit.split('\n').at(13).mid(5, 2), QByteArray("10"));
    // The log is untouched, and nothing but the export was left beside it.
    QCOMPARE(p.Octets_Log(), avant);
    QDir dossier(p.Repertoire());
    QCOMPARE(dossier.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name),
             (QStringList{QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), nom, QStringLiteral("FXXXX_Challenge_KVRT.txt")}));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::export_deux_fois_le_meme_jour()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "75001", Cc)});
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 7), QTime(8, 0), Qt::UTC));
    Choisir_Menu(m->Mnu_Enr_Contacte);
    const QString nom = QStringLiteral("F1ABC_Challenge_KVRT_2009_07_03_09.txt");
    QVERIFY(p.Lire_Fichier(nom).contains("75001"));

    // The same day, after one more QSO: the same file, replaced.
    p.Ecrire_Log({Q("01/03/09", "75001", Cc), Q("07/03/09", "29001", Cc)});
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 7), QTime(20, 0), Qt::UTC));
    Choisir_Menu(m->Mnu_Enr_Contacte);
    const QByteArray second = p.Lire_Fichier(nom);
    QVERIFY(second.contains("      2   07/03/09  29001"));
    QCOMPARE(second.count("Chateaux contact\xe9s au 07/03/2009"), 1);
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList(2, QStringLiteral("Le log a été enregistré sous le nom : ") + nom));
    QCOMPARE(QDir(p.Repertoire()).entryList({QStringLiteral("F1ABC_Challenge_KVRT_2009_*")}, QDir::Files).size(), 1);

    // Another day: a second file.
    p.plateforme->Regler_Horloge(QDateTime(QDate(2010, 1, 2), QTime(8, 0), Qt::UTC));
    Choisir_Menu(m->Mnu_Enr_Contacte);
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList{QStringLiteral("Le log a été enregistré sous le nom : F1ABC_Challenge_KVRT_2009_02_01_10.txt")});
    QVERIFY(p.Lire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009_02_01_10.txt")).startsWith(
        "            F1ABC Challenge 2009    Chateaux contact\xe9s au 02/01/2010\r\n"));
    QCOMPARE(p.Lire_Fichier(nom), second);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::export_impossible()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "75001", Cc)});
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 7), QTime(8, 0), Qt::UTC));
    // A folder already holds the export's name: the file cannot be created.
    const QString nom = QStringLiteral("F1ABC_Challenge_KVRT_2009_07_03_09.txt");
    QVERIFY(QDir(p.Repertoire()).mkdir(nom));
    const QStringList avant = QDir(p.Repertoire()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    Choisir_Menu(m->Mnu_Enr_Contacte);
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first(), QStringLiteral("Erreur N° 75 : impossible de créer le fichier\r\n")
                                   + QDir::toNativeSeparators(p.Chemin(nom))
                                   + QStringLiteral("\r\n(chemin ou fichier inaccessible).\r\n"
                                                    "La liste des KVRT contactés n'a pas été enregistrée."));
    // Nothing half-written: the directory holds what it held.
    QCOMPARE(QDir(p.Repertoire()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), avant);
    QVERIFY(QFileInfo(p.Chemin(nom)).isDir());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::export_log_absent()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "75001", Cc)});
    QFile::remove(p.Log());
    Choisir_Menu(m->Mnu_Enr_Contacte);
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(QStringLiteral("fichier introuvable")));
    QVERIFY(!messages.first().contains(QStringLiteral("enregistré sous le nom")));
    QCOMPARE(QDir(p.Repertoire()).entryList({QStringLiteral("F1ABC_Challenge_KVRT_2009_*")}, QDir::Files).size(), 0);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::impression_pdf()
{
    const QString pdftotext = Outil("pdftotext");
    if (pdftotext.isEmpty())
        QFAIL("pdftotext is missing: install poppler-utils (scripts/dependances.sh does)");
    Demarrer_Sur(p, {Q("01/03/09", "75001", Cc, "F5AAA"), Q("02/03/09", "2A001", Ca, "F6BBB", true),
                               Q("03/03/09", "29001", Ca, "F4CCC")});
    // The printout itself, on a printer set to a PDF file: the routine the print command
    // ends in once its dialog is accepted, handed the printer the dialog would give it.
    QStringList lignes;
    QVERIFY(Rapports_Contactes::Lignes_Rapport_Contactes(*p.sp, lignes));
    QCOMPARE(lignes.size(), 11);
    QCOMPARE(lignes.at(0), QStringLiteral("            F1ABC Challenge 2009    Chateaux contactés au 28/03/2009"));
    QCOMPARE(lignes.at(2).size(), 69);

    QTemporaryDir dossier;
    const QString pdf = dossier.filePath(QStringLiteral("rapport.pdf"));
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(pdf);
    imprimante.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(Rapports_Contactes::Imprimer_Rapport(*p.sp, imprimante, lignes));
    QVERIFY(p.plateforme->messages.isEmpty());

    // Every report line is a printed line, in order.
    const QStringList lu = Lignes_Simplifiees(Sortie(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
    QStringList attendu;
    for (const QString& l : std::as_const(lignes))
        if (!l.simplified().isEmpty() && l != Sous_Programmes::Ligne_Credit())
            attendu << l.simplified();
    QCOMPARE(lu.mid(0, attendu.size()), attendu);
    // The credit line is no wider than the list, and printed on one line of its own.
    QVERIFY(Sous_Programmes::Ligne_Credit().size() <= lignes.at(2).size());
    QCOMPARE(lu.mid(attendu.size()), QStringList{Sous_Programmes::Ligne_Credit().simplified()});

    // A fixed-pitch bold face, and a left margin.
    const QString polices = Sortie(Outil("pdffonts"), {pdf});
    if (!polices.isEmpty())
        QVERIFY2(polices.contains(QRegularExpression(QStringLiteral("(Courier|Mono|Cousine)[^\\n]*Bold"))), qPrintable(polices));
    const QString boites = Sortie(pdftotext, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression mot(QStringLiteral("<word xMin=\"([0-9.]+)\""));
    double gauche = 1e9;
    for (auto it = mot.globalMatch(boites); it.hasNext();)
        gauche = qMin(gauche, it.next().captured(1).toDouble());
    QVERIFY2(gauche >= 50 && gauche < 120, qPrintable(QString::number(gauche))); // points: 20 mm is 57
}

void Tst_Rapports::impression_pages()
{
    const QString pdftotext = Outil("pdftotext");
    const QString pdfinfo = Outil("pdfinfo");
    if (pdftotext.isEmpty() || pdfinfo.isEmpty())
        QFAIL("pdftotext or pdfinfo is missing: install poppler-utils (scripts/dependances.sh does)");
    QStringList log;
    for (int i = 1; i <= 150; ++i)
        log << Enr(QStringLiteral("01/03/09"), QStringLiteral("29%1").arg(i, 3, 10, QLatin1Char('0')), Cc, QStringLiteral("F6XYZ"));
    Demarrer_Sur(p, log);
    // The printing routine on a PDF printer, as in impression_pdf.
    QStringList lignes;
    QVERIFY(Rapports_Contactes::Lignes_Rapport_Contactes(*p.sp, lignes));
    QTemporaryDir dossier;
    const QString pdf = dossier.filePath(QStringLiteral("long.pdf"));
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(pdf);
    imprimante.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(Rapports_Contactes::Imprimer_Rapport(*p.sp, imprimante, lignes));

    const QString info = Sortie(pdfinfo, {pdf});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    QVERIFY2(pages.hasMatch(), qPrintable(info));
    QVERIFY2(pages.captured(1).toInt() >= 3, qPrintable(info));
    // No line lost or doubled at the page breaks; no header repeated.
    const QString texte = Sortie(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QCOMPARE(texte.count(QStringLiteral("Chateau Contacte")), 150);
    QCOMPARE(texte.count(QStringLiteral("Type d'activité")), 1);
    for (int i = 1; i <= 150; ++i)
        QVERIFY(texte.contains(QStringLiteral("29%1").arg(i, 3, 10, QLatin1Char('0'))));
    QVERIFY(texte.contains(QStringLiteral("Total des points : 300")));
    // Each page starts where the previous one stopped.
    const QStringList feuilles = texte.split(u'\f', Qt::SkipEmptyParts);
    QVERIFY(feuilles.size() >= 3);
    QVERIFY(Lignes_Simplifiees(feuilles.at(1)).first().startsWith(
        QString::number(Lignes_Simplifiees(feuilles.at(0)).last().section(u' ', 0, 0).toInt() + 1) + u' '));
}

void Tst_Rapports::impression_fichier_impossible()
{
    Demarrer_Sur(p, {Q("01/03/09", "75001", Cc)});
    // The printing routine on a PDF printer whose file cannot be written: no dialog offers
    // such a file by itself.
    QStringList lignes;
    QVERIFY(Rapports_Contactes::Lignes_Rapport_Contactes(*p.sp, lignes));
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    // A folder in the way of the output file.
    const QString pdf = p.Chemin(QStringLiteral("sortie.pdf"));
    QVERIFY(QDir(p.Repertoire()).mkdir(QStringLiteral("sortie.pdf")));
    imprimante.setOutputFileName(pdf);
    QVERIFY(!Rapports_Contactes::Imprimer_Rapport(*p.sp, imprimante, lignes));
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(QDir::toNativeSeparators(pdf)), qPrintable(messages.first()));
    QVERIFY(messages.first().contains(QStringLiteral("n'a pas été imprimée")));
}

void Tst_Rapports::impression_sans_imprimante_ou_annulee()
{
    const QString pdftotext = Outil("pdftotext");
    if (pdftotext.isEmpty())
        QFAIL("pdftotext is missing: install poppler-utils (scripts/dependances.sh does)");
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "75001", Cc), Q("02/03/09", "2A001", Ca, "F6BBB")});
    const bool imprimantes = !QPrinterInfo::availablePrinterNames().isEmpty();
    const QString propose = p.Chemin(QStringLiteral("F1ABC_Challenge_KVRT_2009_28_03_09.pdf"));

    // The print dialog opens, with or without a printer; the operator cancels it by Escape.
    bool dialogueVu = false;
    Sur_Modal([&](QWidget* w) {
        dialogueVu = qobject_cast<QPrintDialog*>(w) != nullptr;
        QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
    });
    Choisir_Menu(m->Mnu_Imp_Contacte);
    QVERIFY(dialogueVu);
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Impression annulée : la liste des KVRT contactés n'a pas été imprimée.")});
    QVERIFY(!QFile::exists(propose));

    // Printing to a PDF file is offered; Enter prints.
    QString choix, fichier;
    Sur_Modal([&](QWidget* w) {
        auto* imprimantesListe = w->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* nom = w->findChild<QLineEdit*>(QStringLiteral("filename"));
        QVERIFY(imprimantesListe && nom);
        if (imprimantes) {
            // A machine with printers: the operator picks the file instead.
            for (int i = 0; i < imprimantesListe->count(); ++i)
                if (imprimantesListe->itemText(i).contains(QStringLiteral("PDF")))
                    imprimantesListe->setCurrentIndex(i);
            nom->setText(propose);
        }
        choix = imprimantesListe->currentText();
        fichier = nom->text();
        QTest::keyClick(w->windowHandle(), Qt::Key_Return);
    });
    Choisir_Menu(m->Mnu_Imp_Contacte);
    QVERIFY2(choix.contains(QStringLiteral("PDF")), qPrintable(choix));
    // Without a printer, the file proposed is named as the export of the day, beside the log.
    QCOMPARE(fichier, propose);
    QVERIFY(p.plateforme->Prendre_Messages().isEmpty());
    QVERIFY(QFile::exists(propose));
    const QString texte = Sortie(pdftotext, {QStringLiteral("-layout"), propose, QStringLiteral("-")});
    QVERIFY(texte.contains(QStringLiteral("F1ABC Challenge 2009")));
    QVERIFY(texte.contains(QStringLiteral("75001")));
    QVERIFY(texte.contains(QStringLiteral("2A001")));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Rapports::fenetres_centrees()
{
    p.Installer_Station();
    p.Ecrire_Log({Enr(QStringLiteral("28/03/09"), QStringLiteral("29001"), Cc, QStringLiteral("F5XYZ"))});
    Main_Test* m = p.Demarrer();
    Choisir_Menu(m->Mnu_Recap);
    Choisir_Menu(m->Mnu_C_Contacte);
    Choisir_Menu(m->Mnu_Dpt_Contactes);
    for (QWidget* f : {static_cast<QWidget*>(m->Fenetre_Recapitulatif()), static_cast<QWidget*>(m->Fenetre_Aff_Contacte()),
                       static_cast<QWidget*>(m->Fenetre_Carte_Acti())}) {
        QVERIFY(f);
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QVERIFY(Centree(f));
    }
    QVERIFY(p.plateforme->messages.isEmpty());
}

// Every report window open follows the log: a QSO typed, then undone with Ctrl+Z, shows in
// each at once, from the one state the module sends after each change, as in the main window's
// total and score line.
void Tst_Rapports::fenetres_suivent_le_log()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/02/09", "29001", Cc)});
    for (QAction* commande : {m->Mnu_Recap, m->Mnu_C_Contacte, m->Mnu_Dpt_Contactes, m->Mnu_Progression,
                              m->Mnu_Historique_Modifications}) {
        Activer(m);
        Choisir_Menu(commande);
    }
    QPointer<Recapitulatif> r = m->Fenetre_Recapitulatif();
    QPointer<Aff_Contacte> a = m->Fenetre_Aff_Contacte();
    QPointer<Carte_Acti> c = m->Fenetre_Carte_Acti();
    QPointer<Progression> g = m->Fenetre_Progression();
    QPointer<Historique_Modifications> h = m->Fenetre_Historique_Modifications();
    QVERIFY(r && a && c && g && h);
    QSignalSpy etats(p.sp.get(), &Sous_Programmes::Etat_Change);

    auto verifier = [&](int qso, const QString& total, const QString& dpt, const QString& bilan, int changements) {
        QCOMPARE(etats.count(), 1);
        etats.clear();
        QCOMPARE(m->Total_Points->text(), total);
        QCOMPARE(m->Ligne_Score->text(), bilan);
        QCOMPARE(Controle<QLineEdit>(r, "Nb_Points_Tot")->text(), total);
        QCOMPARE(Controle<QLineEdit>(r, "Nb_Dpt")->text(), dpt);
        QCOMPARE(a->Lignes().size(), qso);
        QCOMPARE(Controle<QLabel>(a, "Label4")->text(), Rapports::Ligne_Total_Contactes(total));
        QCOMPARE(Controle<QLabel>(c, "NB_Dep")->text(), dpt);
        QCOMPARE(g->Series().bilan.qso, qso);
        QCOMPARE(h->Liste_Modifications->topLevelItemCount(), changements);
    };
    // A QSO typed, Enter after Enter.
    Activer(m);
    Saisir(m, QStringLiteral("F5XYZ"), 3, QStringLiteral("35001"));
    Entree(m->Valide_A);
    verifier(2, QStringLiteral("8"), QStringLiteral("2"), QStringLiteral("Points : 8 validés · 0 en attente · 2 départements"), 1);
    // Taken back by Ctrl+Z.
    Touche_Ici(m, Qt::Key_Z, Qt::ControlModifier);
    verifier(1, QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("Points : 2 validés · 0 en attente · 1 département"), 2);
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Rapports)
#include "tst_rapports.moc"
