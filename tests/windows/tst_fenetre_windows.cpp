// The main window as Windows's own platform draws it under wine, with the fonts and colours
// the installed program gets there, not the offscreen platform of the other tests.

#include "Boites_Lisibles.h"

#include <QGuiApplication>

class Tst_Fenetre_Windows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("windows"));
        Apparence::Appliquer();
    }
    void boites_lisibles() { Verifier_Boites_Lisibles(); }
};

QTEST_MAIN(Tst_Fenetre_Windows)
#include "tst_fenetre_windows.moc"
