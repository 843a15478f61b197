// The checks of the entry area's fields, one row a text typed.

#include "Enregistrement.h"
#include "Validation_Saisie.h"

#include <QTest>

using namespace Validation_Saisie;

class Tst_Validation_Saisie : public QObject
{
    Q_OBJECT

    enum Champ { Station, Date, Indicatif, Reference };

private slots:
    void champ_data();
    void champ();
    void doublon_data();
    void doublon();
};

void Tst_Validation_Saisie::champ_data()
{
    QTest::addColumn<int>("champ");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("refus");

    const QString format = QStringLiteral("Format de la date JJ/MM/AA");
    const QString forme = QStringLiteral("Le format date doit etre JJ/MM/AA");
    const QString longueur = QStringLiteral("5 chiffres pour le N° du Chateau");
    const QString chiffres = QStringLiteral("Le N° du Chateauu ne doit comporter que des chiffres");
    QTest::newRow("station pas installee") << int(Station) << "FXXXX"
                                           << "\r\n  Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge\r\n\r\n"
                                              "    Pour cela dans la barre des menus allez dans Station puis Nouvel Indicatif.";
    QTest::newRow("station installee") << int(Station) << "F1ABC" << QString();

    // The challenge is that of 2009.
    QTest::newRow("date vide") << int(Date) << "" << "Entrez une date";
    QTest::newRow("date sans zeros") << int(Date) << "1/3/09" << format;
    QTest::newRow("date de 9") << int(Date) << "12/03/099" << format;
    QTest::newRow("date a blanc en tete") << int(Date) << " 2/03/09" << forme;
    QTest::newRow("la forme avant l'annee") << int(Date) << "12-03-08" << forme;
    QTest::newRow("autre annee") << int(Date) << "12/03/08" << "Attention la date saisie ne correspond pas a l'année du Challenge";
    QTest::newRow("31 fevrier de l'annee") << int(Date) << "31/02/09" << QString();

    QTest::newRow("indicatif vide") << int(Indicatif) << "" << "Entrez un indicatif";
    QTest::newRow("indicatif de 12") << int(Indicatif) << "F1ABC_P12345" << QString();
    QTest::newRow("indicatif de 13") << int(Indicatif) << "F1ABC_P123456" << "12 caracteres maxi pour l'indicatif";
    QTest::newRow("indicatif de blancs") << int(Indicatif) << "  " << QString();

    QTest::newRow("corse du sud") << int(Reference) << "2A001" << QString();
    QTest::newRow("haute corse") << int(Reference) << "2B001" << QString();
    QTest::newRow("lettres partout") << int(Reference) << "ABABA" << QString();
    QTest::newRow("2C") << int(Reference) << "2C001" << chiffres;
    QTest::newRow("corse collee en minuscule") << int(Reference) << "2a001" << chiffres;
    QTest::newRow("reference vide") << int(Reference) << "" << longueur;
    QTest::newRow("reference de 4") << int(Reference) << "2900" << longueur;
    QTest::newRow("reference de 6") << int(Reference) << "290011" << longueur;
    QTest::newRow("blanc en tete") << int(Reference) << " 2900" << chiffres;
    QTest::newRow("chiffre arabe indien") << int(Reference) << QString::fromUtf8("2900\u0663") << chiffres;
}

void Tst_Validation_Saisie::champ()
{
    QFETCH(int, champ);
    QFETCH(QString, texte);
    QFETCH(QString, refus);
    switch (Champ(champ)) {
    case Station: QCOMPARE(Refus_Station(texte), refus); break;
    case Date: QCOMPARE(Refus_Date(texte, u"2009"), refus); break;
    case Indicatif: QCOMPARE(Refus_Indicatif(texte), refus); break;
    case Reference: QCOMPARE(Refus_Reference(texte), refus); break;
    }
}

void Tst_Validation_Saisie::doublon_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("date");

    auto ligne = [](const char* date, const char* reference, const char* indicatif = "F6XYZ") {
        return Enregistrement::Construire_Ligne_Log(date, false, reference, QStringLiteral("Chateau Contacte"), indicatif).toLatin1();
    };
    const QByteArray deux = ligne("05/03/09", "29001") + "\r\n" + ligne("03/03/09", "29002") + "\r\n" + ligne("01/03/09", "29001") + "\r\n";
    QTest::newRow("jamais contacte") << deux << "29003" << QString();
    QTest::newRow("la derniere du fichier, pas la plus recente") << deux << "29001" << "01/03/09";
    QTest::newRow("corse") << QByteArray(ligne("02/03/09", "2A001") + "\r\n") << "2A001" << "02/03/09";
    QTest::newRow("fins de ligne d'un editeur") << QByteArray(ligne("02/03/09", "29001") + "\n" + ligne("04/03/09", "29002")) << "29002"
                                                << "04/03/09";
    QTest::newRow("ailleurs que dans sa colonne") << QByteArray(ligne("02/03/09", "29002", "29001") + "\r\n") << "29001" << QString();
    QTest::newRow("log vide") << QByteArray() << "29001" << QString();
}

void Tst_Validation_Saisie::doublon()
{
    QFETCH(QByteArray, log);
    QFETCH(QString, reference);
    QFETCH(QString, date);
    const QString attendu = date.isEmpty() ? QString()
                                           : "Le Chateau N° " + reference + " a déja été contacté le " + date
                                                 + "\r\n   mettre Type Activité a Double ou annulez la saisie";
    QCOMPARE(Avertissement_Doublon(log, reference), attendu);
}

QTEST_APPLESS_MAIN(Tst_Validation_Saisie)
#include "tst_validation_saisie.moc"
