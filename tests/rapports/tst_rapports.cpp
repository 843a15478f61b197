#include "Outils_Test.h"
#include <QTest>
class Tst_Rapports : public QObject { Q_OBJECT private slots: void vide() {} };
QTEST_MAIN(Tst_Rapports)
#include "tst_rapports.moc"
