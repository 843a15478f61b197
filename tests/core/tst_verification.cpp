// The check of a season's log before it is sent: one row a log with planted lines, and the
// findings it must give (line and kind), sound lines giving none.

#include "Enregistrement.h"
#include "Forme_Log.h"
#include "Liste_Chateaux.h"
#include "Texte1252.h"
#include "Types_Activite.h"
#include "Verification_Log.h"

#include <QTest>

using namespace Verification_Log;

namespace {

QByteArray Q(const QString& date, const QString& reference, const QString& type, const QString& indicatif = QStringLiteral("F6XYZ"),
             bool attente = false)
{
    return Texte1252::Encoder(Enregistrement::Construire_Ligne_Log(date, attente, reference, type, indicatif)) + "\r\n";
}

QString Nom(Constat::Sorte s)
{
    static const char* const noms[] = {"Forme", "Date", "Reference", "Departement", "Hors_Liste",
                                       "Indicatif", "Type", "Attente", "Doublon"};
    return QString::fromLatin1(noms[int(s)]);
}

} // namespace

class Tst_Verification : public QObject
{
    Q_OBJECT

private slots:
    void verifier_data();
    void verifier();
};

void Tst_Verification::verifier_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QDate>("aujourdhui");
    QTest::addColumn<bool>("liste");
    QTest::addColumn<QStringList>("constats"); // "ligne:sorte"
    QTest::addColumn<QString>("extrait");       // in the summary or a finding's sentence

    const QDate janvier(2010, 1, 10);
    const QByteArray sain = Q("12/03/09", "2A001", Cc) + Q("13/03/09", "2a002", Ca, "F1ABC_P12345") + Q("14/03/09", "29001", Oa)
                            + Q("15/03/09", "29001", Db) + Q("16/03/09", "2A001", QStringLiteral("Double"))
                            + Q("31/12/09", "29002", Rc);
    QTest::newRow("log sain") << sain << janvier << true << QStringList()
                              << "Points : 15 validés · 0 en attente · 2 départements. Aucune remarque : le log est prêt à être envoyé aux organisateurs.";
    // Saved again by an editor: UTF-8 with its mark, LF ends, the last one dropped.
    const QByteArray editeur = Texte1252::Decoder(sain).toUtf8().prepend("\xEF\xBB\xBF").replace("\r\n", "\n").chopped(1);
    QTest::newRow("log sain en UTF-8") << editeur << janvier << true << QStringList() << "prêt à être envoyé";

    QTest::newRow("doublon") << Q("12/03/09", "29001", Cc) + Q("13/03/09", "29002", Cc) + Q("15/03/09", "29001", Ca)
                                    + Q("16/03/09", "29001", Cc)
                             << janvier << false << QStringList{"3:Doublon", "4:Doublon"} << "contacté le 12/03/09 (ligne 1)";
    QTest::newRow("doublon corse en minuscule") << Q("12/03/09", "2a001", Cc) + Q("13/03/09", "2A001", Rc) << janvier << false
                                                << QStringList{"2:Doublon"} << "2A001";
    QTest::newRow("attente") << Q("12/03/09", "29001", Ca) + Q("13/03/09", "29002", Ca, "F6XYZ", true) + Q("14/03/09", "29003", Ca, "F6XYZ", true)
                             << janvier << false << QStringList{"2:Attente", "3:Attente"}
                             << "Points : 6 validés · 12 en attente · 1 département. 2 remarques à revoir avant d'envoyer le log aux organisateurs.";
    QTest::newRow("type accentue") << Q("12/03/09", "29001", QStringLiteral("Chateau contacté")) << janvier << false
                                   << QStringList{"1:Type"} << "« Chateau contacté »";
    QTest::newRow("type vide") << Q("12/03/09", "29001", QString()) << janvier << false << QStringList{"1:Type"} << "0 point";

    QTest::newRow("date pas une date") << Q("1A/03/09", "29001", Cc) << janvier << false << QStringList{"1:Date"} << "1A/03/09";
    QTest::newRow("31 fevrier") << Q("31/02/09", "29001", Cc) << janvier << false << QStringList{"1:Date"} << "calendrier";
    QTest::newRow("autre annee") << Q("31/12/08", "29001", Cc) << janvier << false << QStringList{"1:Date"} << "2009";
    QTest::newRow("apres aujourd'hui") << Q("14/06/09", "29001", Cc) + Q("16/06/09", "29002", Cc) << QDate(2009, 6, 15) << false
                                       << QStringList{"2:Date"} << "15/06/09";

    QTest::newRow("2C") << Q("12/03/09", "2C001", Cc) << janvier << false << QStringList{"1:Reference"} << "ne doit comporter que des chiffres";
    QTest::newRow("reference de 4") << Q("12/03/09", "2900", Cc) << janvier << false << QStringList{"1:Reference"} << "5 chiffres";
    QTest::newRow("reference vide") << Q("12/03/09", "", Cc) << janvier << false << QStringList{"1:Reference"} << "N° KVRT";
    QTest::newRow("lettre au numero") << Q("12/03/09", "29A01", Cc) << janvier << false << QStringList{"1:Reference"} << "trois chiffres";
    QTest::newRow("departement 20") << Q("12/03/09", "20001", Cc) << janvier << false << QStringList{"1:Departement"} << "« 20 »";
    QTest::newRow("departement 00") << Q("12/03/09", "00001", Cc) << janvier << false << QStringList{"1:Departement"} << "« 00 »";
    QTest::newRow("departement 96") << Q("12/03/09", "96001", Cc) << janvier << false << QStringList{"1:Departement"} << "« 96 »";
    QTest::newRow("ABABA") << Q("12/03/09", "ABABA", Cc) << janvier << false << QStringList{"1:Departement"} << "« AB »";
    QTest::newRow("hors de la liste") << Q("12/03/09", "29001", Cc) + Q("13/03/09", "29999", Cc) << janvier << true
                                      << QStringList{"2:Hors_Liste"} << "29999";
    QTest::newRow("indicatif vide") << Q("12/03/09", "29001", Cc, QString()) << janvier << false << QStringList{"1:Indicatif"}
                                    << "indicatif";

    const QByteArray bonne = Q("12/03/09", "29001", Cc);
    QTest::newRow("ligne trop longue") << bonne + bonne.chopped(2) + "  commentaire\r\n" << janvier << false
                                       << QStringList{"2:Forme"} << "66 caractères";
    QTest::newRow("ligne vide au milieu") << Q("12/03/09", "29001", Cc) + "\r\n" + Q("13/03/09", "29002", Cc) << janvier << false
                                          << QStringList{"2:Forme"} << "vide";
    QTest::newRow("champs decales") << " " + Q("12/03/09", "29001", Cc).chopped(3) + "\r\n" << janvier << false
                                    << QStringList{"1:Forme"} << "place";
    QTest::newRow("texte libre") << QByteArray("Log de la saison\r\n") + bonne << janvier << false << QStringList{"1:Forme"} << "courte";
    QTest::newRow("plusieurs sur une ligne") << bonne + bonne + Q("12/13/09", "29003", Ca, QString(), true) << janvier << false
                                             << QStringList{"2:Doublon", "3:Date", "3:Indicatif", "3:Attente"} << "contacté le 12/03/09";
}

void Tst_Verification::verifier()
{
    QFETCH(QByteArray, log);
    QFETCH(QDate, aujourdhui);
    QFETCH(bool, liste);
    QFETCH(QStringList, constats);
    QFETCH(QString, extrait);

    const Liste_Chateaux chateaux = Liste_Chateaux::Lire(
        "2A001;Château de Vizzavona\r\n2A002;Tour de Sénèque\r\n29001;Château de Brest\r\n29002;Château de Kerjean\r\n");
    const QList<Constat> trouves = Verifier(log, QStringLiteral("2009"), aujourdhui, liste ? &chateaux : nullptr);
    QStringList obtenus;
    for (const Constat& c : trouves)
        obtenus << QStringLiteral("%1:%2").arg(c.ligne).arg(Nom(c.sorte));
    QCOMPARE(obtenus, constats);
    QString texte = Resume(Series_Saison::Calculer_Bilan(Forme_Log::Remettre(log)), trouves.size());
    for (const Constat& c : trouves)
        texte += u'\n' + Texte(c);
    QVERIFY2(texte.contains(extrait), qPrintable(texte));
}

QTEST_APPLESS_MAIN(Tst_Verification)
#include "tst_verification.moc"
