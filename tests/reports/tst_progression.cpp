// The season's series computed from hand-made logs, the score line of the main window, and the
// Progression window on real widgets: opened from its menu by Alt+P, redrawn after a QSO typed
// in the main window, rendered to an image, saved as PNG and PDF and printed to a real PDF; the
// ranges of the charts' axes, and each day's step under its own date.

#include "Axes_Progression.h"
#include "Enregistrement.h"
#include "Filtre_Touches.h"
#include "Graphique_Progression.h"
#include "Legende_Graphique.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Plateforme_Reelle.h"
#include "Progression.h"
#include "Rapports.h"
#include "Series_Saison.h"
#include "Texte1252.h"
#include "Traduction_Qt.h"
#include "Types_Activite.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPrinterInfo>
#include <QPrintDialog>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {


// "AAAA-MM-JJ points prevus departements", one per day.
QStringList Jours(const Series_Saison::Series& s)
{
    QStringList r;
    for (const Series_Saison::Jour& j : s.jours)
        r << QStringLiteral("%1 %2 %3 %4").arg(j.date.toString(Qt::ISODate)).arg(j.points).arg(j.points_prevus).arg(j.departements);
    return r;
}

// "AAAA-MM n0,n1,...,n8|autres", one per month.
QStringList Mois(const Series_Saison::Series& s)
{
    QStringList r;
    for (const Series_Saison::Mois& m : s.mois) {
        QStringList n;
        for (int q : m.qso)
            n << QString::number(q);
        r << QStringLiteral("%1-%2 %3|%4").arg(m.annee).arg(m.mois, 2, 10, QLatin1Char('0')).arg(n.join(u',')).arg(m.autres);
    }
    return r;
}

// Pixels within a few levels of a colour: antialiasing softens only the edges of a line.
int Pixels_De(const QImage& image, const QColor& couleur)
{
    int n = 0;
    const QImage im = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < im.height(); ++y) {
        const QRgb* ligne = reinterpret_cast<const QRgb*>(im.constScanLine(y));
        for (int x = 0; x < im.width(); ++x)
            if (qAbs(qRed(ligne[x]) - couleur.red()) <= 12 && qAbs(qGreen(ligne[x]) - couleur.green()) <= 12
                && qAbs(qBlue(ligne[x]) - couleur.blue()) <= 12)
                ++n;
    }
    return n;
}

// The parts of a picture drawn by Dessiner at 1200 x 900: the title, the points across the top
// 40 %, the months at the bottom left and the departements at the bottom right.
const QRect Zone_Points(0, 56, 1200, 337);
const QRect Zone_Mois(0, 394, 720, 506);
const QRect Zone_Departements(720, 394, 480, 506);

int Pixels_Non_Blancs(const QImage& image)
{
    return image.width() * image.height() - Pixels_De(image, Qt::white);
}

// A tool of poppler-utils, which the tests need: its absence fails them.
QString Outil(const QString& nom)
{
    const QString chemin = QStandardPaths::findExecutable(nom);
    if (chemin.isEmpty())
        qFatal("%s (poppler-utils) est absent : bash scripts/dependances.sh l'installe", qPrintable(nom));
    return chemin;
}

// The name the user writes in the file dialog's name field.
void Nom_Dans_Dialogue(QFileDialog* dialogue, const QString& chemin)
{
    auto* champ = dialogue->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(champ);
    champ->setText(chemin);
}

Progression* Ouvrir_Par_Le_Menu(Main_Test* m)
{
    Activer(m);
    Choisir_Menu(m->Mnu_Progression);
    QApplication::processEvents();
    return m->Fenetre_Progression();
}

} // namespace

class Tst_Progression : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();

    void series_data();
    void series();
    void axes_data();
    void axes();
    void marches_sous_leurs_dates_data();
    void marches_sous_leurs_dates();
    void bilan_comme_total_et_recapitulatif_data();
    void bilan_comme_total_et_recapitulatif();

    void ligne_score_suit_le_log();
    void fenetre_suit_le_log();
    void legendes();
    void menus_lettres_distinctes();
    void image_rendue();
    void points_valides_sans_attente();
    void titre_indicatif_portable();
    void enregistrer_png_et_pdf();
    void enregistrer_impossible();
    void impression_pdf();
    void impression_par_la_fenetre();
};

void Tst_Progression::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Enter on a focused button clicks it, as in the program.
    qApp->installEventFilter(new Entree_Sur_Boutons(qApp));
}

// ---------------------------------------------------------------------------------------
// The series

void Tst_Progression::series_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QStringList>("jours");
    QTest::addColumn<QStringList>("mois");
    // points, en attente, departements, QSO
    QTest::addColumn<QList<int>>("bilan");
    QTest::addColumn<int>("sansDate");

    QTest::newRow("log vide") << QByteArray() << QStringList() << QStringList() << QList<int>{0, 0, 0, 0} << 0;
    QTest::newRow("un QSO") << Octets({Q("28/03/09", "2A001", Ca)}) << QStringList{"2009-03-28 6 6 1"}
                            << QStringList{"2009-03 0,0,0,1,0,0,0,0,0|0"} << QList<int>{6, 0, 1, 1} << 0;
    QTest::newRow("etoiles: prevus sans points, departement compte")
        << Octets({Q("01/03/09", "29001", Ca, true), Q("01/03/09", "75001", Cc), Q("02/03/09", "29002", Db, true),
                   Q("05/03/09", "13001", Oa, true)})
        << QStringList{"2009-03-01 2 8 2", "2009-03-02 2 8 2", "2009-03-05 2 14 3"}
        << QStringList{"2009-03 1,0,0,1,0,0,1,0,1|0"} << QList<int>{2, 12, 3, 4} << 0;
    QTest::newRow("type hors table: QSO du mois, zero point")
        << Octets({Q("01/02/09", "29001", QStringLiteral("Chateau contacte")), Q("01/02/09", "29002", QStringLiteral("Double"))})
        << QStringList{"2009-02-01 0 0 1"} << QStringList{"2009-02 0,0,0,0,0,0,0,0,1|1"} << QList<int>{0, 0, 1, 2} << 0;
    QTest::newRow("accent du double lu en Windows-1252")
        << Octets({Q("01/02/09", "29001", Db)}) << QStringList{"2009-02-01 0 0 1"}
        << QStringList{"2009-02 0,0,0,0,0,0,0,0,1|0"} << QList<int>{0, 0, 1, 1} << 0;
    QTest::newRow("lignes abimees hors des courbes, dans les totaux")
        << (Octets({Q("01/02/09", "29001", Cc), QString(), QStringLiteral("3x/02/09  75001  Chateau active"),
                    Q("31/02/09", "13001", Ca), QStringLiteral("01/02/09")})
            + QByteArray("\xff\xfe\x00garbage\r\n", 12))
        << QStringList{"2009-02-01 2 2 1"} << QStringList{"2009-02 1,0,0,0,0,0,0,0,0|1"} << QList<int>{14, 0, 3, 6} << 4;
    QTest::newRow("deux annees melangees, hors d'ordre")
        << Octets({Q("30/12/08", "29001", Cc), Q("02/01/09", "75001", Ca), Q("31/12/08", "13001", Cc),
                   Q("01/12/09", "29002", Cc)})
        << QStringList{"2008-12-30 2 2 1", "2008-12-31 4 4 2", "2009-01-02 10 10 3", "2009-12-01 12 12 3"}
        << QStringList{"2008-12 2,0,0,0,0,0,0,0,0|0", "2009-01 0,0,0,1,0,0,0,0,0|0", "2009-02 0,0,0,0,0,0,0,0,0|0",
                       "2009-03 0,0,0,0,0,0,0,0,0|0", "2009-04 0,0,0,0,0,0,0,0,0|0", "2009-05 0,0,0,0,0,0,0,0,0|0",
                       "2009-06 0,0,0,0,0,0,0,0,0|0", "2009-07 0,0,0,0,0,0,0,0,0|0", "2009-08 0,0,0,0,0,0,0,0,0|0",
                       "2009-09 0,0,0,0,0,0,0,0,0|0", "2009-10 0,0,0,0,0,0,0,0,0|0", "2009-11 0,0,0,0,0,0,0,0,0|0",
                       "2009-12 1,0,0,0,0,0,0,0,0|0"}
        << QList<int>{12, 0, 3, 4} << 0;
    QTest::newRow("annee 99 lue 1999: pas de mois sur dix ans")
        << Octets({Q("01/01/09", "29001", Cc), Q("15/06/99", "75001", Cc)})
        << QStringList{"1999-06-15 2 2 1", "2009-01-01 4 4 2"}
        << QStringList{"1999-06 1,0,0,0,0,0,0,0,0|0", "2009-01 1,0,0,0,0,0,0,0,0|0"} << QList<int>{4, 0, 2, 2} << 0;
    QTest::newRow("departements: 2A et 2a un, 97 et 2B un, code sans chiffre aucun")
        << Octets({Q("01/04/09", "2A001", Cc), Q("02/04/09", "2a002", Cc), Q("03/04/09", "97001", Cc),
                   Q("04/04/09", "2b001", Cc), Q("05/04/09", "AB001", Cc)})
        << QStringList{"2009-04-01 2 2 1", "2009-04-02 4 4 1", "2009-04-03 6 6 2", "2009-04-04 8 8 2", "2009-04-05 10 10 2"}
        << QStringList{"2009-04 5,0,0,0,0,0,0,0,0|0"} << QList<int>{10, 0, 2, 5} << 0;
    QTest::newRow("fins de ligne LF seules et derniere sans fin")
        << QByteArray(Texte1252::Encoder(Q("01/05/09", "29001", Ca)) + "\n" + Texte1252::Encoder(Q("01/05/09", "29002", Ca)))
        << QStringList{"2009-05-01 12 12 1"} << QStringList{"2009-05 0,0,0,2,0,0,0,0,0|0"} << QList<int>{12, 0, 1, 2} << 0;
}

void Tst_Progression::series()
{
    QFETCH(QByteArray, log);
    QFETCH(QStringList, jours);
    QFETCH(QStringList, mois);
    QFETCH(QList<int>, bilan);
    QFETCH(int, sansDate);

    const Series_Saison::Series s = Series_Saison::Calculer(log);
    QCOMPARE(Jours(s), jours);
    QCOMPARE(Mois(s), mois);
    QCOMPARE((QList<int>{s.bilan.points, s.bilan.en_attente, s.bilan.departements, s.bilan.qso}), bilan);
    QCOMPARE(s.lignes_sans_date, sansDate);

    // The short pass of the main window gives the same figures.
    const Series_Saison::Bilan b = Series_Saison::Calculer_Bilan(log);
    QCOMPARE((QList<int>{b.points, b.en_attente, b.departements, b.qso}), bilan);
}

void Tst_Progression::axes_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("annee");
    QTest::addColumn<QDate>("aujourdhui");
    QTest::addColumn<QDate>("debut");
    QTest::addColumn<QDate>("fin");
    // Each axis of values as {maximum, step}: points, months, departements.
    QTest::addColumn<QList<int>>("valeurs");
    // The labels under the points, seven graduations from the first day to the last.
    QTest::addColumn<QStringList>("jours");

    const QDate finie(2026, 12, 9);
    const QDate enCours(2009, 3, 28);
    QTest::newRow("saison vide et finie: l'annee du Challenge")
        << QByteArray() << QStringLiteral("2009") << finie << QDate(2009, 1, 1) << QDate(2010, 1, 1)
        << QList<int>{2, 1, 2, 1, 2, 1}
        << QStringList{"01/01", "02/03", "02/05", "02/07", "31/08", "31/10", "31/12"};
    QTest::newRow("saison vide, annee illisible: l'annee en cours jusqu'a aujourd'hui")
        << QByteArray() << QStringLiteral("20O9") << finie << QDate(2026, 1, 1) << QDate(2026, 12, 10)
        << QList<int>{2, 1, 2, 1, 2, 1}
        << QStringList{"01/01", "27/02", "25/04", "21/06", "17/08", "13/10", "09/12"};
    QTest::newRow("saison vide en cours: du 1er janvier a aujourd'hui")
        << QByteArray() << QStringLiteral("2009") << enCours << QDate(2009, 1, 1) << QDate(2009, 3, 29)
        << QList<int>{2, 1, 2, 1, 2, 1}
        << QStringList{"01/01", "15/01", "29/01", "13/02", "27/02", "13/03", "28/03"};
    QTest::newRow("saison vide pas commencee: l'annee a venir entiere")
        << QByteArray() << QStringLiteral("2027") << finie << QDate(2027, 1, 1) << QDate(2028, 1, 1)
        << QList<int>{2, 1, 2, 1, 2, 1}
        << QStringList{"01/01", "02/03", "02/05", "02/07", "31/08", "31/10", "31/12"};
    QTest::newRow("saison vide au 3 janvier: la semaine d'avant")
        << QByteArray() << QStringLiteral("2009") << QDate(2009, 1, 3) << QDate(2008, 12, 28) << QDate(2009, 1, 4)
        << QList<int>{2, 1, 2, 1, 2, 1}
        << QStringList{"28/12", "29/12", "30/12", "31/12", "01/01", "02/01", "03/01"};
    QTest::newRow("un jour, saison finie: la semaine qui y mene")
        << Octets({Q("28/03/09", "2A001", Ca)}) << QStringLiteral("2009") << finie << QDate(2009, 3, 22) << QDate(2009, 3, 29)
        << QList<int>{8, 2, 2, 1, 2, 1}
        << QStringList{"22/03", "23/03", "24/03", "25/03", "26/03", "27/03", "28/03"};
    QTest::newRow("un QSO aujourd'hui: aucun jour a venir")
        << Octets({Q("28/03/09", "2A001", Ca)}) << QStringLiteral("2009") << enCours << QDate(2009, 3, 22)
        << QDate(2009, 3, 29) << QList<int>{8, 2, 2, 1, 2, 1}
        << QStringList{"22/03", "23/03", "24/03", "25/03", "26/03", "27/03", "28/03"};
    QTest::newRow("saison en cours: jusqu'a aujourd'hui")
        << Octets({Q("01/03/09", "29001", Ca), Q("02/03/09", "75001", Cc)}) << QStringLiteral("2009") << enCours
        << QDate(2009, 3, 1) << QDate(2009, 3, 29) << QList<int>{10, 2, 3, 1, 3, 1}
        << QStringList{"01/03", "05/03", "10/03", "14/03", "19/03", "23/03", "28/03"};
    QTest::newRow("QSO date apres aujourd'hui: jusqu'a lui")
        << Octets({Q("01/03/09", "29001", Ca), Q("15/04/09", "75001", Cc)}) << QStringLiteral("2009") << enCours
        << QDate(2009, 3, 1) << QDate(2009, 4, 16) << QList<int>{10, 2, 2, 1, 3, 1}
        << QStringList{"01/03", "08/03", "16/03", "23/03", "31/03", "07/04", "15/04"};
    QTest::newRow("saison sur deux annees")
        << Octets({Q("30/12/08", "29001", Cc), Q("02/01/09", "75001", Ca), Q("31/12/08", "13001", Cc),
                   Q("01/12/09", "29002", Cc)})
        << QStringLiteral("2009") << finie << QDate(2008, 12, 30) << QDate(2009, 12, 2) << QList<int>{15, 5, 3, 1, 4, 1}
        << QStringList{"30/12", "24/02", "21/04", "16/06", "11/08", "06/10", "01/12"};
    QTest::newRow("saison commencee l'annee d'avant, en cours: jusqu'a aujourd'hui")
        << Octets({Q("30/12/08", "29001", Cc)}) << QStringLiteral("2009") << QDate(2008, 12, 31) << QDate(2008, 12, 25)
        << QDate(2009, 1, 1) << QList<int>{3, 1, 2, 1, 2, 1}
        << QStringList{"25/12", "26/12", "27/12", "28/12", "29/12", "30/12", "31/12"};
    QTest::newRow("points en attente seuls: l'axe monte jusqu'a eux")
        << Octets({Q("01/03/09", "29001", Ca, true), Q("05/03/09", "13001", Oa, true)}) << QStringLiteral("2009") << finie
        << QDate(2009, 2, 27) << QDate(2009, 3, 6) << QList<int>{15, 5, 3, 1, 3, 1}
        << QStringList{"27/02", "28/02", "01/03", "02/03", "03/03", "04/03", "05/03"};
    QTest::newRow("beaucoup de QSO: des pas de cinq cents")
        << [] {
               QStringList l;
               for (int i = 0; i < 1234; ++i)
                   l << Q("14/07/09", "75001", Cc);
               return Octets(l);
           }()
        << QStringLiteral("2009") << finie << QDate(2009, 7, 8) << QDate(2009, 7, 15) << QList<int>{2500, 500, 1500, 500, 2, 1}
        << QStringList{"08/07", "09/07", "10/07", "11/07", "12/07", "13/07", "14/07"};
}

void Tst_Progression::axes()
{
    QFETCH(QByteArray, log);
    QFETCH(QString, annee);
    QFETCH(QDate, aujourdhui);
    QFETCH(QDate, debut);
    QFETCH(QDate, fin);
    QFETCH(QList<int>, valeurs);
    QFETCH(QStringList, jours);

    const Axes_Progression::Axes a = Axes_Progression::Calculer(Series_Saison::Calculer(log), annee, aujourdhui);
    QCOMPARE(a.debut, debut);
    QCOMPARE(a.fin, fin);
    QCOMPARE((QList<int>{a.points.maximum, a.points.pas, a.mois.maximum, a.mois.pas, a.departements.maximum,
                         a.departements.pas}),
             valeurs);
    QStringList etiquettes;
    const QList<Axes_Progression::Graduation> g = Axes_Progression::Graduations_Jours(a.debut, a.fin, 7);
    for (const Axes_Progression::Graduation& d : g)
        etiquettes << d.jour.toString(QStringLiteral("dd/MM"));
    QCOMPARE(etiquettes, jours);
    // The first day starts at the plot's left end; the last one starts one day's slot before its
    // right end, so that it is drawn whole.
    const qint64 n = debut.daysTo(fin);
    QCOMPARE(g.first().x, 0.0);
    QCOMPARE(g.last().x, double(n - 1) / double(n));
    QCOMPARE(Axes_Progression::Abscisse(a.debut, a.fin, fin), 1.0);
}

void Tst_Progression::marches_sous_leurs_dates_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QDate>("aujourdhui");
    // A QSO every day of the first week, then days without any here and there and two months
    // without any.
    QStringList saison;
    for (int i = 0; i < 300; ++i)
        if (i < 6 || i == 299 || (i % 5 != 1 && (i < 100 || i >= 160)))
            saison << Enr(QDate(2009, 3, 1).addDays(i).toString(QStringLiteral("dd/MM/yy")), QStringLiteral("29001"), Cc,
                          QStringLiteral("F6XYZ"));
    QTest::newRow("un jour") << Octets({Q("28/03/09", "2A001", Ca)}) << QDate(2026, 12, 9);
    QTest::newRow("une semaine") << Octets(saison.mid(0, 6)) << QDate(2026, 12, 9);
    QTest::newRow("300 jours avec des trous") << Octets(saison) << QDate(2026, 12, 9);
    QTest::newRow("fin de mois et d'annee, en cours")
        << Octets({Q("29/12/08", "29001", Cc), Q("31/12/08", "75001", Cc), Q("01/01/09", "13001", Ca), Q("05/01/09", "56001", Cc),
                   Q("31/01/09", "29002", Cc), Q("01/02/09", "2B001", Ca), Q("02/02/09", "35001", Cc)})
        << QDate(2009, 2, 10);
}

void Tst_Progression::marches_sous_leurs_dates()
{
    // On both day charts, each step rises on its day's label, or between the labels around it.
    QFETCH(QByteArray, log);
    QFETCH(QDate, aujourdhui);
    const Series_Saison::Series s = Series_Saison::Calculer(log);
    const Axes_Progression::Axes a = Axes_Progression::Calculer(s, QStringLiteral("2009"), aujourdhui);
    const QList<QPointF> marches = Axes_Progression::Marches(s.jours, &Series_Saison::Jour::points, a.debut, a.fin);
    for (int n : {7, 5}) {
        const QList<Axes_Progression::Graduation> g = Axes_Progression::Graduations_Jours(a.debut, a.fin, n);
        for (int k = 0, i = 0; k < s.jours.size(); ++k) {
            while (i + 1 < g.size() && g[i].jour < s.jours[k].date)
                ++i;
            const qreal x = marches[2 * k].x();
            QVERIFY2(marches[2 * k + 1].x() == x
                         && (g[i].jour == s.jours[k].date ? qAbs(g[i].x - x) < 1e-9 : i > 0 && g[i - 1].x < x && x < g[i].x),
                     qPrintable(QStringLiteral("%1 : x %2, %3 graduations").arg(s.jours[k].date.toString(Qt::ISODate)).arg(x).arg(n)));
        }
    }
}

void Tst_Progression::bilan_comme_total_et_recapitulatif_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::newRow("types, etoiles et departements")
        << Octets({Q("01/03/09", "29001", Ca, true), Q("01/03/09", "75001", Cc), Q("02/03/09", "2A002", Db),
                   Q("05/03/09", "2b001", Oa), Q("06/03/09", "97001", QStringLiteral("Reactivation activee")),
                   Q("07/03/09", "00001", QStringLiteral("Resident active"))});
    QTest::newRow("blancs autour du type et mot Double")
        << Octets({QStringLiteral("01/03/09  29001    Chateau active        F1ABC"),
                   QStringLiteral("01/03/09  29002  Double                  F1ABC")});
    QTest::newRow("lignes courtes, longues et octets de controle")
        << (Octets({QStringLiteral("01/03/09"), QStringLiteral("01/03/09 *7"), QString(),
                    Q("01/03/09", "29001", Ca) + QString(200, u'x')})
            + QByteArray("01/03/09  2\x01" "001  Chateau active\t       F1ABC\r\n"));
}

void Tst_Progression::bilan_comme_total_et_recapitulatif()
{
    // The score line must never disagree with the total of points nor with the summary.
    QFETCH(QByteArray, log);
    const Series_Saison::Bilan b = Series_Saison::Calculer_Bilan(log);
    const QList<QByteArray> lignes = Texte1252::Couper_Lignes(log);
    // The same figures by the rules of the record, on decoded text, line by line.
    int total = 0;
    std::array<int, 9> parType{};
    QSet<int> departements;
    for (const QByteArray& l : lignes) {
        const QString ligne = Texte1252::Decoder(l.left(Enregistrement::Longueur_Ligne_Log));
        total += Enregistrement::Points_Ligne(ligne);
        const int type = Enregistrement::Index_Du_Type(Enregistrement::Champ_Nettoye(ligne, 18, Enregistrement::Largeur_Type));
        if (type >= 0)
            ++parType[size_t(type)];
        const int numero = Enregistrement::Numero_Departement(Enregistrement::Champ(ligne, 11, 2));
        if (numero >= 1 && numero <= 110)
            departements.insert(numero);
    }
    QCOMPARE(b.points, total);
    QCOMPARE(b.departements, int(departements.size()));
    QCOMPARE(b.qso, int(lignes.size()));
    QCOMPARE(b.par_type, parType);
    const Rapports::Recapitulatif r = Rapports::Compter(log);
    QCOMPARE(r.Points, total);
    QCOMPARE(r.Nb_Dpt, int(departements.size()));
    const QList<int> cases = {r.Nb_CC, r.Nb_CR, r.Nb_RC, r.Nb_CA, r.Nb_AR, r.Nb_RA, r.Nb_DO};
    QCOMPARE(cases, QList<int>({parType[0], parType[1], parType[2], parType[3], parType[4], parType[5], parType[8]}));
}

// ---------------------------------------------------------------------------------------
// The main window's score line

void Tst_Progression::ligne_score_suit_le_log()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca, true), Q("02/03/09", "75001", Cc)});
    QVERIFY(m->statusBar()->isVisible());
    QCOMPARE(m->Ligne_Score->text(), QStringLiteral("Points : 2 validés · 6 en attente · 2 départements"));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("2"));

    // A QSO typed as the operator types it: callsign, type moved down to "Chateau active",
    // reference, the tick set with the space bar, then Enter on Valider.
    Activer(m);
    Taper(m->Ind_A, QStringLiteral("F5ABC"));
    Choisir_Type(m, 3);
    QCOMPARE(m->Type_A->currentText(), Ca);
    Entree(m->Type_A);
    Taper(m->KVRT_A, QStringLiteral("13001"));
    QVERIFY(Focus_Dans(m->Validation_A));
    Touche_Ici(m, Qt::Key_Space);
    QVERIFY(m->Validation_A->isChecked());
    Entree(m->Validation_A);
    Entree(m->Valide_A);
    QVERIFY2(p.Octets_Log().contains("*13001  Chateau active"), p.Octets_Log().constData());
    QCOMPARE(m->Ligne_Score->text(), QStringLiteral("Points : 2 validés · 12 en attente · 3 départements"));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("2"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// ---------------------------------------------------------------------------------------
// The window

void Tst_Progression::fenetre_suit_le_log()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca, true), Q("02/03/09", "75001", Cc)});
    Progression* f = Ouvrir_Par_Le_Menu(m);
    QVERIFY2(f, "Alt+P n'a pas ouvert la fenêtre Progression");
    QVERIFY(f->isVisible());
    QCOMPARE(f->windowTitle(), QStringLiteral("Progression"));
    QCOMPARE(Jours(f->Series()), (QStringList{"2009-03-01 0 6 1", "2009-03-02 2 8 2"}));
    QVERIFY(Controle<QLabel>(f, "Label_Bilan")->text().startsWith(QStringLiteral("Points : 2 validés · 6 en attente · 2 départements")));
    // One bar, March's, of the nine types; the days from the first QSO to today, not beyond.
    QCOMPARE(Controle<Graphique_Progression>(f, "Graphique_Mois")->Categories(), QStringList{"3"});
    QCOMPARE(Controle<Graphique_Progression>(f, "Graphique_Mois")->Titre_Axe(), QStringLiteral("Mois"));
    QCOMPARE(Controle<Graphique_Progression>(f, "Graphique_Mois")->Ensembles().size(), Series_Saison::Nombre_Types);
    QCOMPARE(f->Axes().debut, QDate(2009, 3, 1));
    QCOMPARE(f->Axes().fin, QDate(2009, 3, 29));

    // A QSO recorded in the main window while the window is open is drawn at once.
    Activer(m);
    Saisir(m, QStringLiteral("F5ABC"), 0, QStringLiteral("13001"));
    Entree(m->Valide_A);
    QCOMPARE(p.Octets_Log().count("\r\n"), 3);
    QCOMPARE(m->Fenetre_Progression(), f);
    QCOMPARE(f->Series().bilan.qso, 3);
    QCOMPARE(Jours(f->Series()).last(), QStringLiteral("2009-03-28 4 10 3"));

    // Deleting it, a click on its line then on Supprimer and Oui, redraws too.
    Cliquer_Ligne(m->Liste_KVRT, 2);
    p.plateforme->reponses.append(true);
    Cliquer_Dans(m->Annule_Saisie);
    QCOMPARE(f->Series().bilan.qso, 2);
    QCOMPARE(Jours(f->Series()).last(), QStringLiteral("2009-03-02 2 8 2"));

    // The menu again brings the same window to the front.
    QCOMPARE(Ouvrir_Par_Le_Menu(m), f);
    QCOMPARE(m->findChildren<Progression*>().size(), 1);

    // Closing it by its button: the main window goes on without it.
    Cliquer_Dans(Controle<QPushButton>(f, "Fermer"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m->Fenetre_Progression());
    Cliquer_Ligne(m->Liste_KVRT, 1);
    p.plateforme->reponses.append(true);
    Cliquer_Dans(m->Annule_Saisie);
    QCOMPARE(m->Ligne_Score->text(), QStringLiteral("Points : 0 validés · 6 en attente · 1 département"));
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::legendes()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca, true), Q("02/03/09", "75001", Cc)});
    Progression* f = Ouvrir_Par_Le_Menu(m);
    QVERIFY(f);
    auto noms = [](const Legende_Graphique* l) {
        QStringList n;
        for (const Legende_Graphique::Entree& e : l->Entrees())
            n << e.nom;
        return n;
    };
    // The points: the solid line and the dashed one, in the colours of the curves.
    QCOMPARE(noms(Controle<Legende_Graphique>(f, "Legende_Points")), (QStringList{"Points validés", "Une fois les QSO en attente (*) validés"}));
    QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Points")->Entrees().at(0).trait.color(), Progression::Couleur_Points());
    QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Points")->Entrees().at(0).trait.style(), Qt::SolidLine);
    QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Points")->Entrees().at(1).trait.color(), Progression::Couleur_Prevus());
    QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Points")->Entrees().at(1).trait.style(), Qt::DashLine);
    // The bars: the nine types of the table in their order and colours.
    QCOMPARE(noms(Controle<Legende_Graphique>(f, "Legende_Mois")), Enregistrement::Types_Activite());
    for (int t = 0; t < Series_Saison::Nombre_Types; ++t)
        QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Mois")->Entrees().at(t).pinceau.color(), Progression::Couleur_Type(t));
    // Both shown whole beside their charts, and read out by a screen reader.
    for (Legende_Graphique* l : {Controle<Legende_Graphique>(f, "Legende_Points"), Controle<Legende_Graphique>(f, "Legende_Mois")}) {
        QVERIFY(l->isVisible());
        QVERIFY2(l->width() >= l->Taille(l->font(), l->width()).width() - 1, qPrintable(l->objectName()));
        QVERIFY2(l->height() >= l->Taille(l->font(), l->width()).height() - 1, qPrintable(l->objectName()));
        QVERIFY(l->accessibleName().startsWith(QStringLiteral("Légende : ")));
    }
    QVERIFY(Controle<Legende_Graphique>(f, "Legende_Mois")->accessibleName().contains(QStringLiteral("Reactivation Contactee")));

    // A type out of the table gets its hatched set and its line in the legend, while it lasts.
    p.Ecrire_Log({Q("01/03/09", "29001", Ca, true), Q("02/03/09", "75001", Cc), Q("03/03/09", "13001", QStringLiteral("Portable"))});
    f->Progression_Rafraichir();
    QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Mois")->Entrees().size(), 10);
    QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Mois")->Entrees().last().nom, QStringLiteral("Type inconnu"));
    QCOMPARE(Controle<Legende_Graphique>(f, "Legende_Mois")->Entrees().last().pinceau.style(), Qt::BDiagPattern);
    p.Ecrire_Log({Q("01/03/09", "29001", Ca, true)});
    f->Progression_Rafraichir();
    QCOMPARE(noms(Controle<Legende_Graphique>(f, "Legende_Mois")), Enregistrement::Types_Activite());

    // The picture saved carries the legend of the bars at the right of their chart: one bar of
    // March in the middle, and in the strip on the right a mark of every type's colour.
    const QImage image = f->Image(QSize(1200, 900));
    const QImage bande = image.copy(QRect(Zone_Mois.left() + Zone_Mois.width() * 3 / 4, Zone_Mois.top(),
                                          Zone_Mois.width() / 4, Zone_Mois.height()));
    for (int t = 0; t < Series_Saison::Nombre_Types; ++t)
        QVERIFY2(Pixels_De(bande, Progression::Couleur_Type(t)) > 40, qPrintable(Enregistrement::Types_Activite().at(t)));
    // And the legend of the points under theirs: the dashed mark of the expected points.
    QVERIFY(Pixels_De(image.copy(Zone_Points), Progression::Couleur_Prevus()) > 20);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::menus_lettres_distinctes()
{
    // Every entry of the menu bar has its own Alt letter, and the new one is P.
    Main_Test* m = Demarrer_Sur(p, {});
    QSet<QChar> lettres;
    QStringList titres;
    for (QAction* a : m->menuBar()->actions()) {
        const QString t = a->text();
        const QChar l = Lettre_Alt(t).toLower();
        QVERIFY2(!l.isNull(), qPrintable(t));
        QVERIFY2(!lettres.contains(l), qPrintable(t));
        lettres.insert(l);
        titres << QString(t).remove(u'&');
    }
    QCOMPARE(titres, (QStringList{"Fichier", "Date", "Station", "Imprimer", "Enregistrer", "Afficher", "Récapitulatif",
                                  "Progression", "Carte", "Spots", "Reglement", "Aide"}));
    QCOMPARE(Lettre_Alt(m->Mnu_Progression->text()), QChar(u'P'));
}

void Tst_Progression::image_rendue()
{
    const QSize taille(1200, 900);
    int bleuVide = 0, orangeVide = 0;
    {
        Main_Test* m = Demarrer_Sur(p, {});
        m->Mnu_Progression->trigger();
        Progression* f = m->Fenetre_Progression();
        QVERIFY(f);
        const QImage vide = f->Image(taille);
        QCOMPARE(vide.size(), taille);
        bleuVide = Pixels_De(vide.copy(Zone_Points), Progression::Couleur_Points());
        orangeVide = Pixels_De(vide.copy(Zone_Points), Progression::Couleur_Prevus());
    }
    p.Recommencer();
    QStringList log;
    for (int jour = 1; jour <= 28; ++jour)
        log << Enr(QStringLiteral("%1/02/09").arg(jour, 2, 10, QLatin1Char('0')), QStringLiteral("%1001").arg(jour, 2, 10, QLatin1Char('0')),
                   Enregistrement::Types_Activite().at(jour % 9), QStringLiteral("F6XYZ"), jour % 4 == 0);
    log << Q("15/03/09", "29001", Ca, true) << Q("20/04/09", "75001", Cc);
    Main_Test* m = Demarrer_Sur(p, log);
    m->Mnu_Progression->trigger();
    Progression* f = m->Fenetre_Progression();
    QVERIFY(f);
    const QImage image = f->Image(taille);
    QCOMPARE(image.size(), taille);
    QVERIFY2(Pixels_Non_Blancs(image) > taille.width() * taille.height() / 50, "image presque blanche");
    // The solid and the dashed lines are drawn, not only their legend's marks.
    const QImage points = image.copy(Zone_Points);
    QVERIFY2(Pixels_De(points, Progression::Couleur_Points()) > bleuVide + 500,
             qPrintable(QStringLiteral("%1 / %2").arg(Pixels_De(points, Progression::Couleur_Points())).arg(bleuVide)));
    QVERIFY2(Pixels_De(points, Progression::Couleur_Prevus()) > orangeVide + 200,
             qPrintable(QStringLiteral("%1 / %2").arg(Pixels_De(points, Progression::Couleur_Prevus())).arg(orangeVide)));
    QVERIFY(Pixels_De(image.copy(Zone_Departements), Progression::Couleur_Departements()) > 300);
    // The February bar holds every type: each colour of the palette shows.
    for (int t = 0; t < Series_Saison::Nombre_Types; ++t)
        QVERIFY2(Pixels_De(image.copy(Zone_Mois), Progression::Couleur_Type(t)) > 50,
                 qPrintable(Enregistrement::Types_Activite().at(t)));

    // The palette: nine colours far enough apart to be told from one another.
    for (int a = 0; a < Series_Saison::Nombre_Types; ++a)
        for (int b = a + 1; b < Series_Saison::Nombre_Types; ++b) {
            const QColor x = Progression::Couleur_Type(a), y = Progression::Couleur_Type(b);
            QVERIFY(qAbs(x.red() - y.red()) + qAbs(x.green() - y.green()) + qAbs(x.blue() - y.blue()) > 80);
        }

    // The window itself, as painted on the screen, is not blank either.
    const QImage ecran = f->grab().toImage();
    QVERIFY(!ecran.isNull());
    QVERIFY(Pixels_De(ecran, Progression::Couleur_Points()) > 100);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::points_valides_sans_attente()
{
    // Nothing waits for validation: the dashed line lies on the solid one, which must stay in
    // sight along the whole curve, held level up to today.
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca), Q("02/03/09", "75001", Cc)});
    Progression* f = Ouvrir_Par_Le_Menu(m);
    QVERIFY(f);
    QCOMPARE(f->Axes().fin, QDate(2009, 3, 29));
    const QImage image = f->Image(QSize(1200, 900));
    // The chart of the points above its legend, whose dashed mark is orange on purpose.
    const QRect trace(Zone_Points.left(), Zone_Points.top(), Zone_Points.width(), 240);
    QCOMPARE(Pixels_De(image.copy(trace), Progression::Couleur_Prevus()), 0);
    QVERIFY(Pixels_De(image.copy(trace), Progression::Couleur_Points()) > 1000);
    // The level after the last QSO, on the right half of the days up to today.
    QVERIFY(Pixels_De(image.copy(QRect(trace.center().x(), trace.top(), trace.width() / 2 - 40, trace.height())),
                      Progression::Couleur_Points())
            > 500);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::titre_indicatif_portable()
{
    // The log's name holds "_" where the callsign has "/": the title shows the callsign.
    p.Installer_Station(QStringLiteral("F1ABC_P"));
    p.Ecrire_Log({Q("01/03/09", "29001", Ca)}, QStringLiteral("F1ABC_P"));
    Main_Test* m = p.Demarrer();
    Progression* f = Ouvrir_Par_Le_Menu(m);
    QVERIFY(f);
    QCOMPARE(Controle<QLabel>(f, "Label_Titre")->text(), QStringLiteral("Progression du Challenge 2009 - F1ABC/P"));
    QCOMPARE(f->Series().bilan.qso, 1);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::enregistrer_png_et_pdf()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca, true), Q("02/03/09", "75001", Cc), Q("20/03/09", "13001", Oa)});
    Progression* f = Ouvrir_Par_Le_Menu(m);
    QVERIFY(f);
    // An earlier picture of the same name is replaced.
    p.Ecrire_Fichier(QStringLiteral("saison.png"), "ancien");
    // In French, as the program shows it, where the headers are longer than in English.
    Traduction_Qt traduction;
    QVERIFY2(traduction.Charger(), "qtbase_fr absent : bash scripts/dependances.sh installe qt6-translations-l10n");
    QApplication::installTranslator(&traduction);

    // The name is offered in the folder of the logs; the picture of that name is replaced.
    p.plateforme->fichiers = {p.Chemin(QStringLiteral("saison.png"))};
    Cliquer_Dans(Controle<QPushButton>(f, "Enregistrer_Image"));
    QCOMPARE(p.plateforme->dialogues.size(), 1);
    QVERIFY(p.plateforme->dialogues.first().startsWith(QStringLiteral("Enregistrer l'image de la progression|")));
    const QString proposition = p.plateforme->dialogues.first().section(u'|', 1);
    QCOMPARE(QFileInfo(proposition).fileName(), QStringLiteral("F1ABC_Challenge_KVRT_2009_progression"));
    QCOMPARE(QFileInfo(proposition).absolutePath(), QFileInfo(p.Repertoire()).absoluteFilePath());
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList{QStringLiteral("Les graphiques ont été enregistrés sous les noms : saison.png et saison.pdf")});

    // The same question to the real dialog: every column header whole, every column in sight
    // without scrolling sideways, and the file there replaced without a question.
    QStringList coupees;
    Sur_Modal([&](QWidget* modal) {
        auto* dialogue = qobject_cast<QFileDialog*>(modal);
        if (!dialogue) {
            modal->close();
            return;
        }
        for (QTreeView* vue : dialogue->findChildren<QTreeView*>()) {
            QHeaderView* entete = vue->header();
            for (int i = 0; i < entete->count(); ++i) {
                const QString texte = entete->model()->headerData(i, Qt::Horizontal).toString();
                if (entete->sectionSize(i) < entete->fontMetrics().horizontalAdvance(texte) + 8)
                    coupees << texte;
            }
            if (!QTest::qWaitFor([&] { return entete->length() <= vue->viewport()->width(); }, 2000))
                coupees << QStringLiteral("(défilement)");
        }
        Nom_Dans_Dialogue(dialogue, p.Chemin(QStringLiteral("saison.png")));
        static_cast<QDialog*>(dialogue)->accept(); // the file dialog's own accept, through QDialog
    });
    Plateforme_Reelle reelle;
    const QString choisi = reelle.Fichier_A_Enregistrer(QStringLiteral("Enregistrer l'image de la progression"), proposition,
                                                        p.plateforme->filtres.first(), f, Plateforme::Remplacement::Sans_Demander);
    QApplication::removeTranslator(&traduction);
    QVERIFY2(coupees.isEmpty(), qPrintable(coupees.join(QLatin1Char('|'))));
    QCOMPARE(choisi, p.Chemin(QStringLiteral("saison.png")));

    const QImage png(p.Chemin(QStringLiteral("saison.png")));
    QVERIFY(!png.isNull());
    QCOMPARE(png.size(), QSize(1200, 900));
    QVERIFY(Pixels_De(png.copy(Zone_Points), Progression::Couleur_Points()) > 500);

    // The PDF: one page of the picture's size, the same drawing, its text kept as text.
    const QByteArray pdf = p.Lire_Fichier(QStringLiteral("saison.pdf"));
    QVERIFY2(pdf.startsWith("%PDF-"), pdf.left(20).constData());
    QVERIFY(pdf.contains("/Type /Page"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    QTemporaryDir rendu;
    QProcess pdftoppm;
    pdftoppm.start(Outil(QStringLiteral("pdftoppm")),
                   {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-singlefile"),
                    p.Chemin(QStringLiteral("saison.pdf")), rendu.filePath(QStringLiteral("page"))});
    QVERIFY(pdftoppm.waitForFinished(30000));
    QCOMPARE(pdftoppm.exitCode(), 0);
    const QImage page(rendu.filePath(QStringLiteral("page.png")));
    QCOMPARE(page.size(), QSize(1200, 900));
    QVERIFY(Pixels_De(page.copy(Zone_Points), Progression::Couleur_Points()) > 500);
    QVERIFY(Pixels_De(page.copy(Zone_Departements), Progression::Couleur_Departements()) > 300);
    QProcess pdftotext;
    pdftotext.start(Outil(QStringLiteral("pdftotext")), {p.Chemin(QStringLiteral("saison.pdf")), QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(pdftotext.readAllStandardOutput()).contains(QStringLiteral("Points du Challenge, jour par jour")));
    // No temporary file is left beside them.
    QCOMPARE(QDir(p.Repertoire()).entryList({QStringLiteral("saison*")}, QDir::Files),
             (QStringList{"saison.pdf", "saison.png"}));

    // Cancelling the dialog writes nothing and says nothing.
    p.plateforme->fichiers = {QString()};
    Cliquer_Dans(Controle<QPushButton>(f, "Enregistrer_Image"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::enregistrer_impossible()
{
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca)});
    m->Mnu_Progression->trigger();
    Progression* f = m->Fenetre_Progression();
    QVERIFY(f);
    const QString base = p.Chemin(QStringLiteral("absent/saison"));
    QString erreur;
    QVERIFY(!f->Enregistrer_Images(base, erreur));
    QVERIFY2(erreur.contains(QDir::toNativeSeparators(base + QStringLiteral(".png"))), qPrintable(erreur));
    QVERIFY(!QFile::exists(base + QStringLiteral(".png")));

    // Through the button, the same failure is told in one message and the log is untouched.
    const QByteArray avant = p.Octets_Log();
    p.plateforme->fichiers = {base};
    Cliquer_Dans(Controle<QPushButton>(f, "Enregistrer_Image"));
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().startsWith(QStringLiteral("Impossible d'enregistrer l'image")));
    QVERIFY(messages.first().endsWith(QStringLiteral("Les graphiques n'ont pas été enregistrés.")));
    QCOMPARE(p.Octets_Log(), avant);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::impression_pdf()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QFAIL("pdftotext (poppler-utils) est absent : bash scripts/dependances.sh l'installe");
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca, true), Q("02/03/09", "75001", Cc)});
    m->Mnu_Progression->trigger();
    Progression* f = m->Fenetre_Progression();
    QVERIFY(f);
    const QSize avant = Controle<Graphique_Progression>(f, "Graphique_Points")->size();
    QTemporaryDir dossier;
    const QString pdf = dossier.filePath(QStringLiteral("progression.pdf"));
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setOutputFormat(QPrinter::PdfFormat);
    imprimante.setOutputFileName(pdf);
    imprimante.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(f->Imprimer_Graphiques(imprimante));
    QVERIFY(p.plateforme->messages.isEmpty());

    QProcess outil;
    outil.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(outil.waitForFinished(30000));
    QCOMPARE(outil.exitCode(), 0);
    const QString texte = QString::fromUtf8(outil.readAllStandardOutput()).simplified();
    for (const char* attendu : {"Progression du Challenge 2009 - F1ABC au 28/03/2009",
                                "Points : 2 validés · 6 en attente · 2 départements", "Points du Challenge, jour par jour",
                                "QSO par mois et par type d'activité", "Départements contactés", "Mois", "23/03", "10"})
        QVERIFY2(texte.contains(QString::fromUtf8(attendu)), qPrintable(QString::fromUtf8(attendu) + QStringLiteral(" | ") + texte.left(400)));

    // The window on screen keeps its size after the page was laid out at another one.
    QCOMPARE(Controle<Graphique_Progression>(f, "Graphique_Points")->size(), avant);

    // A printer that cannot start is told, not ignored.
    QPrinter impossible(QPrinter::HighResolution);
    impossible.setOutputFormat(QPrinter::PdfFormat);
    impossible.setOutputFileName(dossier.filePath(QStringLiteral("absent/progression.pdf")));
    QVERIFY(!f->Imprimer_Graphiques(impossible));
    QCOMPARE(p.plateforme->Prendre_Messages().size(), 1);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Progression::impression_par_la_fenetre()
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QFAIL("pdftotext (poppler-utils) est absent : bash scripts/dependances.sh l'installe");
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca, true), Q("02/03/09", "75001", Cc)});
    Choisir_Menu(m->Mnu_Progression);
    Progression* f = m->Fenetre_Progression();
    QVERIFY(f);
    Activer(f);
    const bool imprimantes = !QPrinterInfo::availablePrinterNames().isEmpty();
    const QString propose = p.Chemin(QStringLiteral("F1ABC_Challenge_KVRT_2009_progression.pdf"));

    // The print dialog opens, printer or not; Escape cancels it.
    bool dialogueVu = false;
    Sur_Modal([&](QWidget* w) {
        dialogueVu = qobject_cast<QPrintDialog*>(w) != nullptr;
        QTest::keyClick(w->windowHandle(), Qt::Key_Escape);
    });
    Cliquer_Dans(Controle<QPushButton>(f, "Imprimer"));
    QVERIFY(dialogueVu);
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Impression annulée : les graphiques n'ont pas été imprimés.")});
    QVERIFY(!QFile::exists(propose));

    // Printing to a PDF file is offered beside the log; Enter prints.
    QString choix;
    Sur_Modal([&](QWidget* w) {
        auto* liste = w->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* nom = w->findChild<QLineEdit*>(QStringLiteral("filename"));
        QVERIFY(liste && nom);
        if (imprimantes) {
            for (int i = 0; i < liste->count(); ++i)
                if (liste->itemText(i).contains(QStringLiteral("PDF")))
                    liste->setCurrentIndex(i);
            nom->setText(propose);
        }
        choix = liste->currentText();
        QCOMPARE(nom->text(), propose);
        QTest::keyClick(w->windowHandle(), Qt::Key_Return);
    });
    Cliquer_Dans(Controle<QPushButton>(f, "Imprimer"));
    QVERIFY2(choix.contains(QStringLiteral("PDF")), qPrintable(choix));
    QVERIFY(p.plateforme->Prendre_Messages().isEmpty());
    QVERIFY(QFile::exists(propose));
    QProcess outil;
    outil.start(pdftotext, {propose, QStringLiteral("-")});
    QVERIFY(outil.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(outil.readAllStandardOutput()).contains(QStringLiteral("Points du Challenge, jour par jour")));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Progression)
#include "tst_progression.moc"
