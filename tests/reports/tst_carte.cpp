// The departement map: the outline drawn from the SVG, the boxes over their departements,
// and the painting and count read back from the boxes' colours.

#include "Apparence.h"
#include "Carte_Acti.h"
#include "Geometrie_Carte.h"
#include "Image_Carte.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Rapports_Contactes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

using Apparence::Couleur;
using Apparence::Vert_Carte;

// The box of a departement number on the map, Dep_00 to Dep_99.
static QLabel* Case(Carte_Acti* carte, int numero)
{
    return Controle<QLabel>(carte, qPrintable(QStringLiteral("Dep_%1").arg(numero, 2, 10, QLatin1Char('0'))));
}

class Tst_Carte : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lecture_chemin_svg_data();
    void lecture_chemin_svg();
    void geometrie();
    void carte_preparee_en_fond();
    void peinture_et_compte_data();
    void peinture_et_compte();
    void fenetre();
    void log_absent();
    void image();

private:
    static QStringList Log_De(const QStringList& references);
    Carte_Acti* Ouvrir(Programme_Test& p, const QStringList& references);
};

void Tst_Carte::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    // As the program does once its main window is up: the map is laid out in the background.
    Geometrie_Carte::Preparer();
}

QStringList Tst_Carte::Log_De(const QStringList& references)
{
    QStringList log;
    for (const QString& r : references)
        log << Enr(QStringLiteral("01/02/09"), r, QStringLiteral("Chateau Contacte"), QStringLiteral("F6XYZ"));
    return log;
}

Carte_Acti* Tst_Carte::Ouvrir(Programme_Test& p, const QStringList& lignes)
{
    p.Installer_Station();
    p.Ecrire_Log(lignes);
    Main_Test* m = p.Demarrer();
    // The main window's own start-up messages are not the map's.
    p.plateforme->Prendre_Messages();
    Choisir_Menu(m->Mnu_Dpt_Contactes);
    return m->Fenetre_Carte_Acti();
}

void Tst_Carte::lecture_chemin_svg_data()
{
    QTest::addColumn<QString>("donnees");
    QTest::addColumn<bool>("lu");
    QTest::addColumn<QRectF>("cadre");
    QTest::newRow("relatif, lignes implicites") << "m 10,20 5,0 0,5 z" << true << QRectF(10, 20, 5, 5);
    QTest::newRow("absolu") << "M10 20 L15 20 15 25 Z" << true << QRectF(10, 20, 5, 5);
    QTest::newRow("horizontal et vertical") << "M1,1 h 4 v 3 H 1 z" << true << QRectF(1, 1, 4, 3);
    QTest::newRow("deux iles, la seconde relative au debut de la premiere")
        << "m 10,10 2,0 0,2 z m 10,0 2,0 0,2 z" << true << QRectF(10, 10, 12, 2);
    QTest::newRow("exposant et signes collés") << "m1e1,2e1-5,0 0,5z" << true << QRectF(5, 20, 5, 5);
    QTest::newRow("courbe refusée") << "m 0,0 c 1,1 2,2 3,3 z" << false << QRectF();
    QTest::newRow("nombre sans commande") << "10,10 20,20" << false << QRectF();
    QTest::newRow("coordonnée manquante") << "m 10,10 5" << false << QRectF();
}

void Tst_Carte::lecture_chemin_svg()
{
    QFETCH(QString, donnees);
    QFETCH(bool, lu);
    QFETCH(QRectF, cadre);
    QPainterPath chemin;
    QCOMPARE(Geometrie_Carte::Lire_Chemin(donnees, chemin), lu);
    if (lu)
        QCOMPARE(chemin.boundingRect(), cadre);
}

void Tst_Carte::geometrie()
{
    const Geometrie_Carte& carte = Geometrie_Carte::Carte();
    QVERIFY2(carte.valide, qPrintable(carte.erreur));
    const QRectF image(0, 0, Geometrie_Carte::Largeur, Geometrie_Carte::Hauteur);
    int principaux = 0;
    for (const Departement_Carte& d : carte.departements) {
        QVERIFY2(image.contains(d.forme.boundingRect()), qPrintable(d.code));
        if (!d.reduit)
            ++principaux;
    }
    QCOMPARE(principaux, 96);

    Image_Carte picture;
    QList<QRect> cases;
    for (int n = 1; n <= 97; ++n) {
        if (n == 20)
            continue;
        const Departement_Carte* d = carte.Departement(n);
        QVERIFY2(d, qPrintable(QString::number(n)));
        // The box sits on its own departement: its centre is inside the shape.
        const QRect c = picture.Place_Case(n);
        const QPointF centre = QRectF(c).center() - QPointF(Image_Carte::Bord, Image_Carte::Bord);
        QVERIFY2(d->forme.contains(centre), qPrintable(d->code));
        QVERIFY2(picture.rect().contains(c), qPrintable(d->code));
        for (int k = 0; k < cases.size(); ++k)
            QVERIFY2(!cases[k].intersects(c), qPrintable(QStringLiteral("%1 chevauche une autre case").arg(n)));
        cases.append(c);
    }
    // The inset is in the top-left corner, Corsica in the bottom-right one, box 96 below 97.
    for (int n : {75, 92, 93, 94})
        QVERIFY(carte.encart.contains(QRectF(picture.Place_Case(n)).translated(-Image_Carte::Bord, -Image_Carte::Bord)));
    QVERIFY(carte.encart.right() < Geometrie_Carte::Largeur / 3.0 && carte.encart.bottom() < Geometrie_Carte::Hauteur / 3.0);
    QVERIFY(!carte.encart.intersects(carte.Departement(29)->forme.boundingRect()));
    QVERIFY(picture.Place_Case(96).top() > picture.Place_Case(97).top());
    QVERIFY(picture.Place_Case(97).left() > Geometrie_Carte::Largeur * 3 / 4);
    QVERIFY(picture.Place_Case(97).top() > Geometrie_Carte::Hauteur * 3 / 4);
    QVERIFY(picture.Place_Case(29).left() < picture.Place_Case(56).left());
    QVERIFY(picture.Place_Case(67).left() > picture.Place_Case(57).left());
    // The four boxes of no departement share an empty corner at the bottom left.
    for (int n : {0, 20, 98, 99}) {
        QCOMPARE(picture.Place_Case(n), picture.Place_Case(0));
        QVERIFY(picture.Place_Case(n).bottom() > Geometrie_Carte::Hauteur * 9 / 10);
        for (const Departement_Carte& d : carte.departements)
            QVERIFY(!d.forme.intersects(QRectF(picture.Place_Case(n))));
    }
}

void Tst_Carte::carte_preparee_en_fond()
{
    // The map laid out in its own thread is the one this thread lays out: same fonts, same
    // boxes, same names, so the window shows the same map however early it opens.
    const Geometrie_Carte& fond = Geometrie_Carte::Carte();
    const Geometrie_Carte ici(QStringLiteral(":/carte/france.departments.svg"));
    QVERIFY(fond.valide && ici.valide);
    QCOMPARE(fond.departements.size(), ici.departements.size());
    for (qsizetype k = 0; k < ici.departements.size(); ++k) {
        const Departement_Carte& a = fond.departements.at(k);
        const Departement_Carte& b = ici.departements.at(k);
        QCOMPARE(a.code, b.code);
        QCOMPARE(a.case_dep, b.case_dep);
        QCOMPARE(a.zone_nom, b.zone_nom);
        QCOMPARE(a.lignes_nom, b.lignes_nom);
        QCOMPARE(a.centre, b.centre);
    }
    QCOMPARE(&Geometrie_Carte::Carte(), &fond);
    Geometrie_Carte::Attendre();
}

void Tst_Carte::peinture_et_compte_data()
{
    QTest::addColumn<QStringList>("lignes");
    QTest::addColumn<int>("nb");
    QTest::addColumn<QList<int>>("peintes");

    auto refs = [](std::initializer_list<const char*> r) {
        QStringList l;
        for (const char* s : r)
            l << QString::fromLatin1(s);
        return Log_De(l);
    };
    QTest::newRow("log vide") << QStringList() << 0 << QList<int>();
    QTest::newRow("dix QSO dans le 29") << refs({"29001", "29002", "29003", "29004", "29005", "29006", "29007",
                                                 "29008", "29009", "29010"})
                                        << 1 << QList<int>{29};
    QTest::newRow("2A et 2a une seule case") << refs({"2A001", "2a002"}) << 1 << QList<int>{96};
    QTest::newRow("2B et 2b case 97, 97 aussi") << refs({"2B001", "2b002", "97001"}) << 1 << QList<int>{97};
    QTest::newRow("20 98 99 cases invisibles comptées") << refs({"20001", "98001", "99001"}) << 3 << QList<int>{20, 98, 99};
    QTest::newRow("00 peint la case 0 sans compter") << refs({"00001"}) << 0 << QList<int>{0};
    QTest::newRow("AB ne peint rien") << refs({"AB001"}) << 0 << QList<int>();
    QTest::newRow("1A ne peint rien") << refs({"1A001"}) << 0 << QList<int>();
    QTest::newRow("2C ne peint rien") << refs({"2C001"}) << 0 << QList<int>();
    QTest::newRow("ligne de moins de 11 caractères") << QStringList{QStringLiteral("01/02/09 ")} << 0 << QList<int>();
    QTest::newRow("une seule position de code") << QStringList{QStringLiteral("01/02/09  5")} << 0 << QList<int>();
    QTest::newRow("en attente, double, opérateur comptent")
        << QStringList{Enr(QStringLiteral("01/02/09"), QStringLiteral("01001"), QStringLiteral("Chateau active"), QStringLiteral("F6XYZ"), true),
                       Enr(QStringLiteral("01/02/09"), QStringLiteral("75001"), QStringLiteral("Double ou non validé"), QStringLiteral("F6XYZ")),
                       Enr(QStringLiteral("01/02/09"), QStringLiteral("95001"), QStringLiteral("Operateur activation"), QStringLiteral("F6XYZ"))}
        << 3 << QList<int>{1, 75, 95};
}

void Tst_Carte::peinture_et_compte()
{
    QFETCH(QStringList, lignes);
    QFETCH(int, nb);
    QFETCH(QList<int>, peintes);
    Carte_Acti* carte = Ouvrir(p, lignes);
    QVERIFY(carte);
    QCOMPARE(Controle<QLabel>(carte, "NB_Dep")->text(), QString::number(nb));
    for (int i = 0; i < 100; ++i) {
        const QColor attendue = peintes.contains(i) ? Vert_Carte : Carte_Acti::Couleur_Non_Contacte();
        QVERIFY2(Couleur(Case(carte, i)) == attendue, qPrintable(QStringLiteral("case %1").arg(i)));
    }
    // Painting again from the same log gives the same count: the boxes are reset first. No
    // command paints an open map again, so the painting routine is called as such.
    const QByteArray log = p.Octets_Log();
    QCOMPARE(carte->Colorie_Carte(&log), nb);
    QVERIFY2(p.plateforme->messages.isEmpty(), qPrintable(p.plateforme->messages.join(u'|')));
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Carte::fenetre()
{
    Carte_Acti* carte = Ouvrir(p, Log_De({QStringLiteral("29001"), QStringLiteral("67001")}));
    QVERIFY(carte);
    QCOMPARE(carte->windowTitle(), QStringLiteral("Carte des départements contactés"));
    QVERIFY(carte->isVisible());
    QCOMPARE(Controle<QLabel>(carte, "Label4")->text(), QStringLiteral("Challenge KVRT"));
    QCOMPARE(Controle<QLabel>(carte, "Label2")->text(), QStringLiteral("2009"));
    QCOMPARE(Controle<QLabel>(carte, "NB_Dep")->text(), QStringLiteral("2"));
    QCOMPARE(Controle<QLabel>(carte, "Label3")->text(), QStringLiteral("Départements contactés"));

    QCOMPARE(carte->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^Dep_\\d\\d$"))).size(), 100);
    for (int i = 0; i < 100; ++i) {
        QLabel* c = Case(carte, i);
        QCOMPARE(c->objectName(), QStringLiteral("Dep_%1").arg(i, 2, 10, QLatin1Char('0')));
        QCOMPARE(c->parentWidget(), Controle<Image_Carte>(carte, "Picture1"));
        QVERIFY(c->font().bold());
        QCOMPARE(c->font().pointSizeF(), 9.75);
        QVERIFY(c->alignment() & Qt::AlignHCenter);
        const bool cachee = i == 0 || i == 20 || i == 98 || i == 99;
        QCOMPARE(c->isVisible(), !cachee);
        QString texte = QString::number(i).rightJustified(2, u'0');
        if (i == 0)
            texte = QStringLiteral("00");
        else if (i == 20 || i == 98 || i == 99)
            texte = QStringLiteral("X");
        else if (i == 96)
            texte = QStringLiteral("2a");
        else if (i == 97)
            texte = QStringLiteral("2b");
        QCOMPARE(c->text(), texte);
        QCOMPARE(c->geometry(), Controle<Image_Carte>(carte, "Picture1")->Place_Case(i));
    }

    // A second command brings the same window to the front; it does not repaint.
    Main_Test* m = p.main;
    p.Ecrire_Log(Log_De({QStringLiteral("01001")}));
    Choisir_Menu(m->Mnu_Dpt_Contactes);
    QCOMPARE(m->Fenetre_Carte_Acti(), carte);
    QCOMPARE(Controle<QLabel>(carte, "NB_Dep")->text(), QStringLiteral("2"));
    QCOMPARE(m->findChildren<Carte_Acti*>().size(), 1);
    // Closed and opened again, it paints from the log as it is now.
    QPointer<Carte_Acti> ancienne = carte;
    Fermer_Par_Le_Cadre(carte);
    QTRY_VERIFY(ancienne.isNull());
    Choisir_Menu(m->Mnu_Dpt_Contactes);
    carte = m->Fenetre_Carte_Acti();
    QVERIFY(carte && carte != ancienne);
    QCOMPARE(Controle<QLabel>(carte, "NB_Dep")->text(), QStringLiteral("1"));
    QCOMPARE(Couleur(Case(carte, 1)), Vert_Carte);
    QVERIFY(Couleur(Case(carte, 29)) != Vert_Carte);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Carte::log_absent()
{
    Carte_Acti* carte = Ouvrir(p, Log_De({QStringLiteral("29001")}));
    QVERIFY(carte);
    QPointer<Carte_Acti> ancienne = carte;
    Fermer_Par_Le_Cadre(carte);
    QTRY_VERIFY(ancienne.isNull());
    QFile::remove(p.Log());
    Choisir_Menu(p.main->Mnu_Dpt_Contactes);
    carte = p.main->Fenetre_Carte_Acti();
    QVERIFY(carte);
    const QString message = p.plateforme->Dernier_Message();
    QVERIFY2(message.contains(QStringLiteral("fichier introuvable")), qPrintable(p.plateforme->messages.join(u'|')));
    QVERIFY(message.contains(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt")));
    QCOMPARE(Controle<QLabel>(carte, "NB_Dep")->text(), QString());
    for (QLabel* c : carte->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^Dep_\\d\\d$"))))
        QCOMPARE(Couleur(c), Carte_Acti::Couleur_Non_Contacte());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Carte::image()
{
    QStringList refs;
    for (const char* r : {"29001", "2A001", "75001", "93001", "67001", "13001", "59001", "64001", "33001", "69001",
                          "90001", "78001"})
        refs << QString::fromLatin1(r);
    Carte_Acti* carte = Ouvrir(p, Log_De(refs));
    QVERIFY(carte);
    QImage vue = Controle<Image_Carte>(carte, "Picture1")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // Kept for a person to look at: the map is only done when it reads well.
    vue.save(QDir::tempPath() + QStringLiteral("/kvrt_carte_departements.png"));
    carte->grab().save(QDir::tempPath() + QStringLiteral("/kvrt_carte_fenetre.png"));

    // A contacted departement's shape is filled with green around its box; others are not.
    const Geometrie_Carte& g = Controle<Image_Carte>(carte, "Picture1")->carte;
    auto verts = [&](int numero) {
        const Departement_Carte* d = g.Departement(numero);
        int n = 0;
        const QRect cadre = d->forme.boundingRect().toAlignedRect();
        for (int y = cadre.top(); y <= cadre.bottom(); ++y)
            for (int x = cadre.left(); x <= cadre.right(); ++x) {
                const QPoint point(x + Image_Carte::Bord, y + Image_Carte::Bord);
                // Pixels well inside the shape only: a neighbour's fill may bleed over the border.
                bool dedans = true;
                for (QPointF v : {QPointF(0.5, 0.5), QPointF(-1.5, 0.5), QPointF(2.5, 0.5), QPointF(0.5, -1.5), QPointF(0.5, 2.5)})
                    dedans = dedans && d->forme.contains(QPointF(x, y) + v);
                for (QLabel* c : carte->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^Dep_\\d\\d$"))))
                    dedans = dedans && !(c->isVisible() && c->geometry().contains(point));
                if (!dedans)
                    continue;
                const QColor c = vue.pixelColor(point);
                if (c.green() == 255 && c.red() < 240 && c.blue() < 240)
                    ++n;
            }
        return n;
    };
    for (int n : {29, 96, 75, 93, 67, 13, 59, 64, 33})
        QVERIFY2(verts(n) > 20, qPrintable(QString::number(n)));
    for (int n : {22, 97, 92, 94, 57, 1})
        QVERIFY2(verts(n) == 0, qPrintable(QString::number(n)));
    // The boxes are drawn: box 29 shows its green over the map.
    QCOMPARE(vue.pixelColor(Controle<Image_Carte>(carte, "Picture1")->Place_Case(29).center() + QPoint(-9, -5)), Vert_Carte);

    // The picture is kept from one opening to the next only while the same departements are
    // contacted: another log gives another map.
    carte->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!p.main->Fenetre_Carte_Acti());
    refs.removeAll(QStringLiteral("29001"));
    refs << QStringLiteral("22001");
    p.Ecrire_Log(Log_De(refs));
    Choisir_Menu(p.main->Mnu_Dpt_Contactes);
    carte = p.main->Fenetre_Carte_Acti();
    QVERIFY(carte);
    vue = Controle<Image_Carte>(carte, "Picture1")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(verts(22) > 20);
    QCOMPARE(verts(29), 0);
    QVERIFY(verts(75) > 20);
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Carte)
#include "tst_carte.moc"
