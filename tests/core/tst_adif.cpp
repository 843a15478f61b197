// The exchange format without any window: reading files as logging programs write them,
// the verdict of each QSO against the log, the insertion by date of many QSOs, the export
// and the way back.

#include "Adif.h"
#include "Echange_Adif.h"
#include "Enregistrement.h"
#include "Insertion_Une_Par_Une.h"
#include "Texte1252.h"
#include "Types_Activite.h"

#include <QDateTime>
#include <QStringEncoder>
#include <QTest>

using namespace Echange_Adif;

namespace {

QString Ligne(const char* date, const char* ref, const QString& type, const char* indicatif, bool attente = false)
{
    return Enregistrement::Construire_Ligne_Log(QString::fromLatin1(date), attente, QString::fromLatin1(ref), type,
                                                QString::fromLatin1(indicatif));
}

QByteArray Octets_Log(const QStringList& lignes)
{
    QByteArray b;
    for (const QString& l : lignes)
        b += Texte1252::Encoder(l) + "\r\n";
    return b;
}

QList<QByteArray> Lignes_Log(const QStringList& lignes)
{
    QList<QByteArray> b;
    for (const QString& l : lignes)
        b.append(Texte1252::Encoder(l));
    return b;
}

} // namespace

class Tst_Adif : public QObject
{
    Q_OBJECT

private slots:
    void lecture_data();
    void lecture();
    void erreurs_data();
    void erreurs();
    void champs_gardes_et_avancement();
    void references_data();
    void references();
    void verdicts_data();
    void verdicts();
    void verdicts_dans_un_meme_fichier();
    void insertion_par_date_data();
    void insertion_par_date();
    void export_octet_pour_octet();
    void export_ecarte_ce_qui_n_est_pas_un_qso();
    void aller_retour_data();
    void aller_retour();
};

void Tst_Adif::lecture_data()
{
    QTest::addColumn<QByteArray>("fichier");
    QTest::addColumn<bool>("entete");
    QTest::addColumn<int>("nombre");
    QTest::addColumn<QByteArray>("champ");   // of the last record
    QTest::addColumn<QString>("valeur");
    QTest::addColumn<QByteArray>("absent");  // a field the last record must not have
    QTest::addColumn<int>("ignores");        // fields skipped for their name
    QTest::addColumn<int>("coupe");          // the record cut off at the end, 0 for none

    QTest::newRow("exemple avec en-tete")
        << QByteArray("Export de mon log\r\n<ADIF_VER:5>3.1.4\r\n<EOH>\r\n"
                      "<QSO_DATE:8>20090328 <TIME_ON:4>1412 <CALL:7>F6XYZ/P <BAND:3>40m <MODE:3>SSB\r\n"
                      "<SIG:4>KVRT <SIG_INFO:5>29001 <EOR>\r\n")
        << true << 1 << QByteArray("CALL") << "F6XYZ/P" << QByteArray() << 0 << 0;
    QTest::newRow("sans en-tete")
        << QByteArray("<CALL:5>F6XYZ<QSO_DATE:8>20090328<EOR><CALL:5>F5AAA<EOR>") << false << 2 << QByteArray("CALL") << "F5AAA" << QByteArray() << 0 << 0;
    QTest::newRow("balises en minuscules et type de donnees")
        << QByteArray("<call:5:s>F6XYZ <Qso_Date:8:D>20090328 <eor>") << false << 1 << QByteArray("QSO_DATE") << "20090328" << QByteArray() << 0 << 0;
    QTest::newRow("texte entre les champs ignore")
        << QByteArray("<CALL:5>F6XYZ ceci est ignore\r\n et ceci <SIG_INFO:5>29001 fin <EoR> apres") << false << 1
        << QByteArray("SIG_INFO") << "29001" << QByteArray() << 0 << 0;
    QTest::newRow("la longueur prime sur un < dans la valeur")
        << QByteArray("<COMMENT:11>a <b> c<EOR><EOR>") << false << 1 << QByteArray("COMMENT") << "a <b> c<EOR" << QByteArray() << 0 << 0;
    QTest::newRow("longueur comptee en octets UTF-8")
        << QByteArray("<COMMENT:8>Ch\xc3\xa2teau<CALL:5>F6XYZ<EOR>") << false << 1 << QByteArray("COMMENT")
        << QString::fromUtf8("Château") << QByteArray() << 0 << 0;
    QTest::newRow("Windows-1252 quand ce n'est pas de l'UTF-8")
        << QByteArray("<COMMENT:7>Ch\xe2teau<EOR>") << false << 1 << QByteArray("COMMENT") << QString::fromUtf8("Château") << QByteArray() << 0 << 0;
    QTest::newRow("valeur sur plusieurs lignes")
        << QByteArray("<NOTES:10>un\r\ndeux\r\n<EOR>") << false << 1 << QByteArray("NOTES") << "un\r\ndeux\r\n" << QByteArray() << 0 << 0;
    QTest::newRow("champ vide")
        << QByteArray("<CALL:0><SIG:4>KVRT<EOR>") << false << 1 << QByteArray("CALL") << "" << QByteArray() << 0 << 0;
    QTest::newRow("en-tete commencant par une balise")
        << QByteArray("<ADIF_VER:5>3.1.4<EOH><CALL:5>F6XYZ<EOR>") << true << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 0;
    QTest::newRow("en-tete sans enregistrement")
        << QByteArray("Rien\r\n<EOH>\r\n") << true << 0 << QByteArray() << "" << QByteArray() << 0 << 0;
    QTest::newRow("fins d'enregistrement sans champ ignorees")
        << QByteArray("<EOR><EOR><CALL:5>F6XYZ<EOR>\r\n<EOR>") << false << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 0;
    QTest::newRow("balise sans longueur inconnue ignoree")
        << QByteArray("<APP_X><CALL:5>F6XYZ<EOR>") << false << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 0;
    QTest::newRow("second EOH : ce qui le precede n'est pas un QSO")
        << QByteArray("<EOH><CALL:5>F5AAA<EOR><CALL:5>F6XYZ<EOH><SIG:4>KVRT<EOR>") << true << 2 << QByteArray("SIG") << "KVRT"
        << QByteArray("CALL") << 0 << 0;
    QTest::newRow("texte libre avec < avant la premiere balise")
        << QByteArray("Log <= 2009 -> ici\r\n<EOH><CALL:5>F6XYZ<EOR>") << true << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 0;

    // As other logging programs and services really write them.
    QTest::newRow("nom de champ hors des regles saute avec sa valeur")
        << QByteArray("<QSO_DATE:8>20090328 <9A/F4XYZ:8>9A/Youth <CALL:5>F6XYZ <EOR>\r\n"
                      "<CALL:5>F5AAA <9A/F4XYZ:8>9A/Youth <EOR>\r\n")
        << false << 2 << QByteArray("CALL") << "F5AAA" << QByteArray("9A/F4XYZ") << 2 << 0;
    QTest::newRow("blancs dans les balises")
        << QByteArray("<COMMENT: 12>Merci 73 !! <CALL :5>F6XYZ <NAME:4 >Jean < EOR >") << false << 1 << QByteArray("CALL") << "F6XYZ"
        << QByteArray() << 0 << 0;
    QTest::newRow("longueur comptee en caracteres, avant EOR")
        << QByteArray("<CALL:5>DL1AB <NAME:4>J\xc3\xb6rg<EOR>") << false << 1 << QByteArray("NAME") << QString::fromUtf8("Jörg")
        << QByteArray() << 0 << 0;
    QTest::newRow("longueur comptee en caracteres, avant un champ")
        << QByteArray("<NAME:12>Andr\xc3\xa9s Mu\xc3\xb1oz<CONTEST_ID:3>ABC<EOR>") << false << 1 << QByteArray("NAME")
        << QString::fromUtf8("Andrés Muñoz") << QByteArray() << 0 << 0;
    QTest::newRow("longueur comptee en caracteres, fin dans une lettre accentuee")
        << QByteArray("<COMMENT:18>Ch\xc3\xa2teau KVRT 29018<EOR>") << false << 1 << QByteArray("COMMENT")
        << QString::fromUtf8("Château KVRT 29018") << QByteArray() << 0 << 0;
    QTest::newRow("reponse de service sans QSO")
        << QByteArray("Service de confirmation\r\n<PROGRAMID:5>CONFS <EOH>\r\n<APP_CONFS_NUMREC:1>0\r\n") << true << 0
        << QByteArray() << "" << QByteArray() << 0 << 0;
    QTest::newRow("reponse de service sans en-tete ni QSO")
        << QByteArray("<PROGRAMID:5>CONFS\r\n") << false << 0 << QByteArray() << "" << QByteArray() << 0 << 0;
    QTest::newRow("texte apres le dernier EOR")
        << QByteArray("<CALL:5>F6XYZ <EOR>\r\n<EOF>\r\n<APP_X_EOF>\r\n  \r\nFin, voir <https://exemple.org:8080/log>\r\n") << false
        << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 0;
    QTest::newRow("dernier enregistrement coupe dans une valeur")
        << QByteArray("<CALL:5>F6XYZ<EOR><CALL:5>F5AAA<EOR><CALL:5>F4B") << false << 2 << QByteArray("CALL") << "F5AAA"
        << QByteArray() << 0 << 3;
    QTest::newRow("dernier enregistrement sans EOR")
        << QByteArray("<CALL:5>F6XYZ<EOR><CALL:5>F5AAA") << false << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 2;
    QTest::newRow("derniere balise non fermee")
        << QByteArray("<CALL:5>F6XYZ<EOR><CALL:5>F5AAA<SIG_IN") << false << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 2;
    QTest::newRow("dernier enregistrement coupe dans sa premiere balise")
        << QByteArray("<CALL:5>F6XYZ<EOR>\r\n<CALL:5>F5AAA<EOR>\r\n<QSO_DATE:8") << false << 2 << QByteArray("CALL") << "F5AAA"
        << QByteArray() << 0 << 3;
    QTest::newRow("< dans le texte de l'en-tete")
        << QByteArray("Export de <https://logbook.exemple.org/u:1> (voir <adif.org>)\r\n<ADIF_VER:5>3.1.4 <adif.org> <EOH>\r\n"
                      "<CALL:5>F6XYZ<EOR>")
        << true << 1 << QByteArray("CALL") << "F6XYZ" << QByteArray() << 0 << 0;
    QTest::newRow("second en-tete au milieu")
        << QByteArray("Premier export\r\n<EOH>\r\n<CALL:5>F5AAA <EOR>\r\nSecond export\r\n<ADIF_VER:5>3.1.5 <PROGRAMID:3>XYZ <EOH>\r\n"
                      "<CALL:5>F6XYZ <EOR>\r\n")
        << true << 2 << QByteArray("CALL") << "F6XYZ" << QByteArray("PROGRAMID") << 0 << 0;
    QTest::newRow("Windows-1251 : nom de champ et valeurs cyrilliques")
        << QByteArray("<CALL:6>UA3ABC <\xc8\xcc\xdf:4>\xc8\xe2\xe0\xed <COMMENT:6>\xcf\xf0\xe8\xe2\xe5\xf2 <SIG:4>KVRT <SIG_INFO:5>29018 <EOR>")
        << false << 1 << QByteArray("SIG_INFO") << "29018" << QByteArray() << 1 << 0;
    QTest::newRow("GBK : nom de champ et valeurs chinoises")
        << QByteArray("<CALL:5>BA1AA <\xd0\xd5\xc3\xfb:4>\xd5\xc5\xc8\xfd <NAME:3>\xd5\xc5\xc8\xfd <QTH:4>\xb1\xb1\xbe\xa9//x <EOR>")
        << false << 1 << QByteArray("CALL") << "BA1AA" << QByteArray() << 1 << 0;
    QTest::newRow("UTF-16 avec une longueur en caracteres")
        << QByteArray("\xFF\xFE" + QStringEncoder(QStringEncoder::Utf16LE).encode(QString::fromUtf8("<CALL:5>F6XYZ <NAME:4>Jörg<EOR>")))
        << false << 1 << QByteArray("NAME") << QString::fromUtf8("Jörg") << QByteArray() << 0 << 0;
    QTest::newRow("ADX")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX>\n<HEADER><ADIF_VER>3.1.4</ADIF_VER><PROGRAMID>LOGGER</PROGRAMID>"
                      "</HEADER>\n<RECORDS>\n<RECORD><CALL>F5AAA</CALL></RECORD>\n<RECORD><QSO_DATE>20090328</QSO_DATE>"
                      "<CALL>F6XYZ/P</CALL><SIG>KVRT</SIG><SIG_INFO>29001</SIG_INFO><NAME>J\xc3\xb6rg</NAME>"
                      "<APP PROGRAMID=\"QEZ_KVRT\" FIELDNAME=\"TYPE\" TYPE=\"S\">Chateau active</APP>"
                      "<USERDEF FIELDNAME=\"EPC\">34854</USERDEF></RECORD>\n</RECORDS>\n</ADX>\n")
        << true << 2 << QByteArray("APP_QEZ_KVRT_TYPE") << "Chateau active" << QByteArray("EPC") << 0 << 0;
    QTest::newRow("ADX coupe dans un enregistrement")
        << QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>F5AAA</CALL></RECORD><RECORD><CALL>F6X")
        << false << 1 << QByteArray("CALL") << "F5AAA" << QByteArray() << 0 << 2;
}

void Tst_Adif::lecture()
{
    QFETCH(QByteArray, fichier);
    QFETCH(bool, entete);
    QFETCH(int, nombre);
    QFETCH(QByteArray, champ);
    QFETCH(QString, valeur);
    QFETCH(QByteArray, absent);
    QFETCH(int, ignores);
    QFETCH(int, coupe);
    Adif::Lecture l;
    const Adif::Erreur_Adif e = Adif::Lire(fichier, l);
    QVERIFY2(e.ok(), qPrintable(e.raison));
    QCOMPARE(l.entete, entete);
    QCOMPARE(l.champsIgnores, ignores);
    QCOMPARE(l.enregistrementCoupe, coupe);
    QCOMPARE(l.enregistrements.size(), nombre);
    for (int i = 0; i < nombre; ++i)
        QCOMPARE(l.enregistrements.at(i).numero, i + 1);
    if (nombre > 0) {
        QVERIFY(l.enregistrements.last().Possede(champ));
        QCOMPARE(l.enregistrements.last().Valeur(champ), valeur);
        QVERIFY(absent.isEmpty() || !l.enregistrements.last().Possede(absent));
    }
}

void Tst_Adif::erreurs_data()
{
    QTest::addColumn<QByteArray>("fichier");
    QTest::addColumn<int>("enregistrement");
    QTest::addColumn<QString>("raison");

    QTest::newRow("fichier vide") << QByteArray() << 0 << "aucun enregistrement";
    QTest::newRow("texte ordinaire") << QByteArray("Ceci n'est pas un log.\r\nDeuxieme ligne.\r\n") << 0 << "aucun enregistrement";
    QTest::newRow("un log du Challenge")
        << QByteArray("28/03/09  2A001  Chateau active          FXXXX       \r\n") << 0 << "aucun enregistrement";
    QTest::newRow("binaire sans balise") << QByteArray("\x00\x01\xff\xfe\x80 \x7f", 7) << 0 << "aucun enregistrement";
    QTest::newRow("seul enregistrement, sans EOR")
        << QByteArray("<CALL:5>F6XYZ<SIG:4>KVRT") << 1 << "sans <EOR>";
    QTest::newRow("seul enregistrement, coupe dans une valeur")
        << QByteArray("<CALL:5>F6XYZ<SIG:4>KV") << 1 << "le fichier se termine avant";
    QTest::newRow("longueur au-dela de la fin, des enregistrements apres")
        << QByteArray("<CALL:5>F6XYZ<EOR><CALL:500>F6XYZ<EOR><CALL:5>F5AAA<eor >") << 2 << "annonce 500 octets";
    QTest::newRow("longueur immense")
        << QByteArray("<CALL:99999999999999999999999>F6XYZ<EOR>") << 1 << "le fichier se termine avant";
    QTest::newRow("longueur illisible") << QByteArray("<CALL:5>F6XYZ<EOR><CALL:5>F6XYZ<SIG:x4>KVRT<EOR>") << 2 << "longueur illisible";
    QTest::newRow("longueur negative") << QByteArray("<CALL:5>F6XYZ<SIG:-4>KVRT<EOR>") << 1 << "longueur illisible";
    QTest::newRow("balise non fermee") << QByteArray("<CALL:5>F6XYZ<CALL:5") << 1 << "n'est pas fermée";
    QTest::newRow("balise illisible apres un champ") << QByteArray("<CALL:5>F6XYZ<\x01\x02>") << 1 << "le fichier est tronqué";
    // Files of another kind are named by what they look like.
    QTest::newRow("image PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR<EOR>", 21) << 0 << "il ressemble à une image PNG";
    QTest::newRow("classeur") << QByteArray("PK\x03\x04\x14\0\x06\0<CALL:5>F6XYZ<EOR>", 27) << 0 << "il ressemble à une archive ZIP";
    QTest::newRow("tableau CSV")
        << QByteArray("Date;Indicatif;Reference\r\n28/03/2009;F6XYZ;29001\r\n") << 0 << "il ressemble à un tableau enregistré en texte (CSV)";
    QTest::newRow("XML qui n'est pas de l'ADX")
        << QByteArray("<?xml version=\"1.0\"?>\n<gpx><trk><name>Sortie</name></trk></gpx>\n") << 0 << "il ressemble à un fichier XML qui n'est pas de l'ADIF";
    // Cut inside its only record, as the tagged file above: refused the same way.
    QTest::newRow("ADX coupe dans son seul enregistrement")
        << QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>F6X") << 1 << "le fichier est tronqué";
    QTest::newRow("ADX imbrique cent mille fois")
        << QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>") + QByteArray("<a>").repeated(100000) << 1
        << "imbriqués sur plus de 100 niveaux";
    QTest::newRow("ADX mal forme")
        << QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>F5AAA</SIG></RECORD></RECORDS></ADX>") << 1
        << "le XML est mal formé ligne 1";
}

void Tst_Adif::erreurs()
{
    QFETCH(QByteArray, fichier);
    QFETCH(int, enregistrement);
    QFETCH(QString, raison);
    Adif::Lecture l;
    const Adif::Erreur_Adif e = Adif::Lire(fichier, l);
    QVERIFY(!e.ok());
    QCOMPARE(e.enregistrement, enregistrement);
    QVERIFY2(e.raison.contains(raison), qPrintable(e.raison));
    // Nothing half-read is handed on.
    QVERIFY(l.enregistrements.isEmpty());
    const QString message = Adif::Message_Erreur(QStringLiteral("mon_log.adi"), e);
    if (raison.startsWith(QStringLiteral("il ressemble")))
        QCOMPARE(message, QStringLiteral("Le fichier mon_log.adi n'est pas un fichier ADIF : ") + e.raison + QStringLiteral(".\r\nRien n'a été importé."));
    else
        QVERIFY(message.startsWith(QStringLiteral("Le fichier mon_log.adi n'a pas pu être lu comme un fichier ADIF")));
    QVERIFY(message.endsWith(QStringLiteral("Rien n'a été importé.")));
    if (enregistrement > 0)
        QVERIFY(message.contains(QStringLiteral("enregistrement N° %1,").arg(enregistrement)));
}

void Tst_Adif::champs_gardes_et_avancement()
{
    QByteArray fichier = "<ADIF_VER:5>3.1.4<PROGRAMID:4>ABCD<EOH>\r\n";
    for (int i = 0; i < 30000; ++i)
        fichier += "<CALL:5>F6XYZ <FREQ:5>7.050 <MODE:3>SSB <SIG:4>KVRT <SIG_INFO:5>29001 <APP_N1MM_X:3>abc <EOR>\r\n";
    QList<qsizetype> avis;
    Adif::Lecture l;
    const Adif::Erreur_Adif e = Adif::Lire(fichier, l, Champs_Utiles(), [&](qsizetype n) { avis.append(n); });
    QVERIFY(e.ok());
    QCOMPARE(l.enregistrements.size(), 30000);
    // Only the fields the import looks at are kept, header ones included.
    QCOMPARE(l.enregistrements.at(29999).champs.size(), 3);
    QCOMPARE(l.enregistrements.at(29999).Valeur("SIG_INFO"), QStringLiteral("29001"));
    QVERIFY(!l.enregistrements.at(0).Possede("FREQ"));
    QCOMPARE(l.champsEntete.size(), 2);
    // Progress grows and ends at the whole size.
    QVERIFY(avis.size() >= 3);
    QVERIFY(std::is_sorted(avis.cbegin(), avis.cend()));
    QCOMPARE(avis.last(), fichier.size());

    // A record whose fields are all left aside still has its number.
    const QByteArray deux = "<FREQ:5>7.050<EOR><CALL:5>F6XYZ<EOR>";
    QVERIFY(Adif::Lire(deux, l, Champs_Utiles()).ok());
    QCOMPARE(l.enregistrements.size(), 2);
    QCOMPARE(l.enregistrements.at(1).numero, 2);
}

void Tst_Adif::references_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QStringList>("attendues");

    QTest::newRow("seule, sans le nom du Challenge") << "29001" << QStringList{};
    QTest::newRow("corse en minuscule") << "KVRT 2a012 et kvrt 2B003" << QStringList{"2A012", "2B003"};
    QTest::newRow("dans une phrase") << "Chateau de X (KVRT-77021), merci" << QStringList{"77021"};
    QTest::newRow("nombre plus long") << "KVRT tel 0123456789 code 750012" << QStringList{};
    QTest::newRow("collee a des lettres") << "KVRT REF29001 29001X" << QStringList{};
    QTest::newRow("deux fois la meme") << "KVRT 29001 puis KVRT-29001" << QStringList{"29001"};
    QTest::newRow("lettre autre que A B") << "KVRT 2C001 KVRT 3A001" << QStringList{};
    QTest::newRow("en fin de texte") << "chateau 01001" << QStringList{"01001"};
    QTest::newRow("trop courte") << "KVRT 2900" << QStringList{};
    // The numbers of ordinary comments are not castles; the Challenge's word beside one is.
    QTest::newRow("numero de membre") << "SKCC: 21404 KVRT 29018" << QStringList{"29018"};
    QTest::newRow("distance") << QString::fromUtf8("Distance: 10364 km, château 29018") << QStringList{"29018"};
    QTest::newRow("frequence") << "Split tx on 14014.4 KVRT-29018" << QStringList{"29018"};
    QTest::newRow("numero d'un autre diplome, puis entre parentheses") << "OMISS #12261, 29018 (KVRT)" << QStringList{"29018"};
    QTest::newRow("numero de carnet") << "Book 16457" << QStringList{};
    QTest::newRow("chateaux d'un autre programme") << "Castles: 01436" << QStringList{};
    QTest::newRow("autre programme, puis le Challenge") << "Castles: 01436 KVRT 29018" << QStringList{"29018"};
    QTest::newRow("autre programme avec diese") << "EPC #34854 tnx" << QStringList{};
    QTest::newRow("le mot chateau sans accent, en capitales") << "CHATEAU 2B003 / QSL via buro 45210" << QStringList{"2B003"};
    QTest::newRow("vide") << "" << QStringList{};
}

void Tst_Adif::references()
{
    QFETCH(QString, texte);
    QFETCH(QStringList, attendues);
    QCOMPARE(References_Dans_Texte(texte), attendues);
}

void Tst_Adif::verdicts_data()
{
    QTest::addColumn<QByteArray>("enregistrement");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<bool>("chercher");
    QTest::addColumn<bool>("attente");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("texte");   // part of the verdict's words
    QTest::addColumn<QString>("ligne");   // the record line, for a QSO to add
    QTest::addColumn<QString>("noms");    // the SIG values typed in the window, empty for the default

    const QStringList vide;
    const QStringList log = {Ligne("05/03/09", "29001", Cc, "F6XYZ"), Ligne("06/03/09", "2A001", Ca, "F5AAA")};
    auto V = [](Verdict v) { return int(v); };

    QTest::newRow("SIG contacte")
        << QByteArray("<QSO_DATE:8>20090328<CALL:7>f6xyz/p<SIG:4>kvrt<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "77001", Cc, "F6XYZ/P") << QString();
    QTest::newRow("MY_SIG activation")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<MY_SIG:4>KVRT<MY_SIG_INFO:5>2b002<EOR>") << vide << false << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "2B002", Ca, "F6XYZ") << QString();
    QTest::newRow("marque en attente")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << true
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "77001", Cc, "F6XYZ", true) << QString();
    // A length one too long takes the "<" of <EOR>: the next record's fields join this one,
    // and its castle must not be credited to this callsign.
    QTest::newRow("deux QSO dans un enregistrement")
        << QByteArray("<QSO_DATE:8>20090307<CALL:5>F1AAA<COMMENT:12>SKCC: 21404<EOR>\r\n"
                      "<QSO_DATE:8>20090308<CALL:5>F2BBB<SIG:4>KVRT<SIG_INFO:5>22001<EOR>")
        << vide << false << false << V(Verdict::Refuse) << "refusé : deux QSO dans un seul enregistrement" << "" << QString();
    QTest::newRow("un champ repete a l'identique")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<CALL:5>f6xyz<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "77001", Cc, "F6XYZ") << QString();
    QTest::newRow("deja dans le log")
        << QByteArray("<QSO_DATE:8>20090305<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>29001<EOR>") << log << false << false
        << V(Verdict::Deja_Dans_Log) << "déjà dans le log" << "" << QString();
    QTest::newRow("deja dans le log meme avec un autre type")
        << QByteArray("<QSO_DATE:8>20090306<CALL:5>F5AAA<SIG:4>KVRT<SIG_INFO:5>2A001<EOR>") << log << false << false
        << V(Verdict::Deja_Dans_Log) << "déjà dans le log" << "" << QString();
    QTest::newRow("chateau deja contacte un autre jour")
        << QByteArray("<QSO_DATE:8>20090310<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>29001<EOR>") << log << false << false
        << V(Verdict::Ajoute_Deja_Vu) << "Chateau déjà contacté le 05/03/09" << Ligne("10/03/09", "29001", Cc, "F6XYZ") << QString();
    QTest::newRow("chateau deja contacte par un autre")
        << QByteArray("<QSO_DATE:8>20090305<CALL:5>F1ZZZ<SIG:4>KVRT<SIG_INFO:5>29001<EOR>") << log << false << false
        << V(Verdict::Ajoute_Deja_Vu) << "déjà contacté le 05/03/09" << Ligne("05/03/09", "29001", Cc, "F1ZZZ") << QString();
    QTest::newRow("activation d'un chateau deja dans le log")
        << QByteArray("<QSO_DATE:8>20090310<CALL:5>F6XYZ<MY_SIG:4>KVRT<MY_SIG_INFO:5>2A001<EOR>") << log << false << false
        << V(Verdict::Ajoute_Deja_Vu) << "à ajouter, activation d'un Chateau déjà dans le log le 06/03/09"
        << Ligne("10/03/09", "2A001", Ca, "F6XYZ") << QString();
    QTest::newRow("autre annee")
        << QByteArray("<QSO_DATE:8>20081231<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Autre_Annee) << "année 2008, pas celle du Challenge" << "" << QString();
    QTest::newRow("sans SIG")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<COMMENT:10>KVRT 77001<EOR>") << vide << false << false
        << V(Verdict::Sans_Reference) << "sans référence : ni SIG ni MY_SIG KVRT" << "" << QString();
    QTest::newRow("autre programme d'activite")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<SIG:4>POTA<SIG_INFO:7>FR-0001<EOR>") << vide << false << false
        << V(Verdict::Sans_Reference) << "ni SIG ni MY_SIG KVRT" << "" << QString();
    QTest::newRow("reference dans le commentaire")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<COMMENT:15>chateau 77001 !<EOR>") << vide << true << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "77001", Cc, "F6XYZ") << QString();
    QTest::newRow("reference dans NOTES")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<NOTES:10>KVRT 2a001<EOR>") << vide << true << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "2A001", Cc, "F6XYZ") << QString();
    QTest::newRow("deux references dans le texte")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<COMMENT:10>KVRT 77001<QSLMSG:13>chateau 77002<EOR>") << vide << true << false
        << V(Verdict::Sans_Reference) << "plusieurs références dans le texte (77001, 77002)" << "" << QString();
    QTest::newRow("douze references dans le texte")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<COMMENT:131>KVRT 77001 KVRT 77002 KVRT 77003 KVRT 77004 KVRT 77005 "
                      "KVRT 77006 KVRT 77007 KVRT 77008 KVRT 77009 KVRT 77010 KVRT 77011 KVRT 77012<EOR>")
        << vide << true << false << V(Verdict::Sans_Reference)
        << QString::fromUtf8("plusieurs références dans le texte (77001, 77002, 77003, 77004, 77005, 77006, 77007, 77008, "
                             "77009, 77010, … 12 en tout)")
        << "" << QString();
    QTest::newRow("SIG_INFO de mille octets")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:1000>" + QByteArray(1000, 'X') + "<EOR>")
        << vide << false << false << V(Verdict::Sans_Reference)
        << QString::fromUtf8("SIG_INFO « ") + QString(40, u'X') + QString::fromUtf8("… » n'est pas") << "" << QString();
    QTest::newRow("rien dans le texte")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<COMMENT:3>73!<EOR>") << vide << true << false
        << V(Verdict::Sans_Reference) << "aucune référence dans COMMENT, NOTES ou QSLMSG" << "" << QString();
    QTest::newRow("SIG_INFO illisible")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:10>KVRT-77001<EOR>") << vide << false << false
        << V(Verdict::Sans_Reference) << "SIG_INFO « KVRT-77001 » n'est pas une référence KVRT" << "" << QString();
    QTest::newRow("indicatif de 13")
        << QByteArray("<QSO_DATE:8>20090328<CALL:13>F6XYZ/P/12345<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Refuse) << "refusé : indicatif de plus de 12 caractères" << "" << QString();
    QTest::newRow("indicatif de 12")
        << QByteArray("<QSO_DATE:8>20090328<CALL:12>F6XYZ/P/1234<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "77001", Cc, "F6XYZ/P/1234") << QString();
    QTest::newRow("sans indicatif")
        << QByteArray("<QSO_DATE:8>20090328<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Refuse) << "pas d'indicatif" << "" << QString();
    QTest::newRow("indicatif avec un caractere de controle")
        << QByteArray("<QSO_DATE:8>20090328<CALL:6>F6X\tYZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Refuse) << "indicatif illisible" << "" << QString();
    QTest::newRow("indicatif hors de Windows-1252")
        << QByteArray("<QSO_DATE:8>20090328<CALL:6>F6\xd0\x96YZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Refuse) << "indicatif illisible" << "" << QString();
    QTest::newRow("indicatif avec un blanc")
        << QByteArray("<QSO_DATE:8>20090328<CALL:7>F6X YZ <SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Refuse) << "indicatif illisible" << "" << QString();
    QTest::newRow("date impossible")
        << QByteArray("<QSO_DATE:8>20090231<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Refuse) << "date QSO_DATE « 20090231 » illisible" << "" << QString();
    QTest::newRow("sans date")
        << QByteArray("<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>") << vide << false << false
        << V(Verdict::Refuse) << "pas de date" << "" << QString();
    QTest::newRow("type et marque de notre export")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<MY_SIG:4>KVRT<MY_SIG_INFO:5>77001"
                      "<APP_QEZ_KVRT_TYPE:20>Operateur activation<APP_QEZ_KVRT_ATTENTE:1>Y<EOR>")
        << vide << false << false << V(Verdict::Ajoute) << "à ajouter"
        << Ligne("28/03/09", "77001", QStringLiteral("Operateur activation"), "F6XYZ", true) << QString();
    QTest::newRow("double de notre export, sans accent")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001"
                      "<APP_QEZ_KVRT_TYPE:20>Double ou non valide<APP_QEZ_KVRT_ATTENTE:1>N<EOR>")
        << vide << false << true << V(Verdict::Ajoute) << "à ajouter"
        << Ligne("28/03/09", "77001", QString::fromUtf8("Double ou non validé"), "F6XYZ", false) << QString();

    // As other logging programs write them.
    QTest::newRow("numero de membre dans le commentaire")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<COMMENT:11>SKCC: 21404<NOTES:15>Distance: 10364<EOR>") << vide << true
        << false << V(Verdict::Sans_Reference) << "aucune référence dans COMMENT, NOTES ou QSLMSG" << "" << QString();
    QTest::newRow("longueur comptee en caracteres dans le commentaire")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<COMMENT:18>Ch\xc3\xa2teau KVRT 29018<EOR>") << vide << true << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "29018", Cc, "F6XYZ") << QString();
    QTest::newRow("nom du Challenge ajoute dans la fenetre")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<SIG:11>kvrt-castle<SIG_INFO:5>29018<EOR>") << vide << false << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "29018", Cc, "F6XYZ") << "KVRT, KVRT-Castle";
    QTest::newRow("nom du Challenge ajoute dans la fenetre, pour MY_SIG")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<MY_SIG:5>K.V.R<MY_SIG_INFO:5>29018<EOR>") << vide << false << false
        << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "29018", Ca, "F6XYZ") << "k.v.r; KVRT";
    QTest::newRow("de Chateau a Chateau")
        << QByteArray("<QSO_DATE:8>20090328<CALL:7>F6XYZ/P<SIG:4>KVRT<SIG_INFO:5>77001<MY_SIG:4>KVRT<MY_SIG_INFO:5>29018<EOR>")
        << vide << false << false << V(Verdict::Ajoute)
        << "à ajouter (de Chateau à Chateau : compté comme activation, Chateau contacté 77001 non repris)"
        << Ligne("28/03/09", "29018", Ca, "F6XYZ/P") << QString();
    QTest::newRow("Double de notre export")
        << QByteArray("<QSO_DATE:8>20090328<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001"
                      "<APP_QEZ_KVRT_TYPE:6>Double<APP_QEZ_KVRT_POINTS:1>0<APP_QEZ_KVRT_ATTENTE:1>N<EOR>")
        << vide << false << false << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "77001", QStringLiteral("Double"), "F6XYZ")
        << QString();
    QTest::newRow("Windows-1251 avec un champ au nom cyrillique")
        << QByteArray("<QSO_DATE:8>20090328 <CALL:6>UA3ABC <\xc8\xcc\xdf:4>\xc8\xe2\xe0\xed <SIG:4>KVRT <SIG_INFO:5>29018 <EOR>")
        << vide << false << false << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "29018", Cc, "UA3ABC") << QString();
    QTest::newRow("ADX")
        << QByteArray("<?xml version=\"1.0\"?>\n<ADX><RECORDS><RECORD><QSO_DATE>20090328</QSO_DATE><CALL>f6xyz</CALL>"
                      "<MY_SIG>KVRT</MY_SIG><MY_SIG_INFO>2a001</MY_SIG_INFO>"
                      "<APP PROGRAMID=\"QEZ_KVRT\" FIELDNAME=\"ATTENTE\" TYPE=\"S\">Y</APP></RECORD></RECORDS></ADX>")
        << vide << false << false << V(Verdict::Ajoute) << "à ajouter" << Ligne("28/03/09", "2A001", Ca, "F6XYZ", true) << QString();
}

void Tst_Adif::verdicts()
{
    QFETCH(QByteArray, enregistrement);
    QFETCH(QStringList, log);
    QFETCH(bool, chercher);
    QFETCH(bool, attente);
    QFETCH(int, verdict);
    QFETCH(QString, texte);
    QFETCH(QString, ligne);
    QFETCH(QString, noms);
    Adif::Lecture l;
    QVERIFY(Adif::Lire(enregistrement, l, Champs_Utiles()).ok());
    Options o;
    o.annee = QStringLiteral("2009");
    o.chercherDansTexte = chercher;
    o.attente = attente;
    o.nomsSig = Noms_Sig(noms);
    const QList<Qso_Import> q = Examiner(l.enregistrements, o, Octets_Log(log));
    QCOMPARE(q.size(), 1);
    QCOMPARE(int(q.at(0).verdict), verdict);
    QVERIFY2(Texte_Verdict(q.at(0)).contains(texte), qPrintable(Texte_Verdict(q.at(0))));
    QCOMPARE(q.at(0).Ajoute(), !ligne.isEmpty());
    QCOMPARE(q.at(0).ligne, Texte1252::Encoder(ligne));
}

void Tst_Adif::verdicts_dans_un_meme_fichier()
{
    // The second copy of a QSO is not added; the second QSO of a castle is, flagged; the
    // types chosen in the window go to each kind.
    const QByteArray fichier =
        "<QSO_DATE:8>20090301<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>\r\n"
        "<QSO_DATE:8>20090301<CALL:5>F6XYZ<SIG:4>KVRT<SIG_INFO:5>77001<EOR>\r\n"
        "<QSO_DATE:8>20090302<CALL:5>F5AAA<SIG:4>KVRT<SIG_INFO:5>77001<EOR>\r\n"
        "<QSO_DATE:8>20090303<CALL:5>F5AAA<MY_SIG:4>KVRT<MY_SIG_INFO:5>01001<EOR>\r\n";
    Adif::Lecture l;
    QVERIFY(Adif::Lire(fichier, l, Champs_Utiles()).ok());
    Options o;
    o.annee = QStringLiteral("2009");
    o.typeContacte = 1;
    o.typeActive = 6;
    const QList<Qso_Import> q = Examiner(l.enregistrements, o, QByteArray());
    QCOMPARE(q.size(), 4);
    QCOMPARE(q.at(0).verdict, Verdict::Ajoute);
    QCOMPARE(q.at(1).verdict, Verdict::Double_Fichier);
    QCOMPARE(q.at(2).verdict, Verdict::Ajoute_Deja_Vu);
    QCOMPARE(q.at(2).raison, QStringLiteral("01/03/09"));
    QCOMPARE(q.at(3).verdict, Verdict::Ajoute);
    QCOMPARE(q.at(0).type, QStringLiteral("Reactivation Contactee"));
    QCOMPARE(q.at(3).type, QStringLiteral("Operateur activation"));
    QCOMPARE(q.at(3).numero, 4);
}

void Tst_Adif::insertion_par_date_data()
{
    QTest::addColumn<QStringList>("log");        // dates, or whole lines when longer
    QTest::addColumn<QStringList>("nouvelles");  // dates
    QTest::addColumn<QStringList>("attendu");    // dates, new ones marked "+"

    QTest::newRow("log vide") << QStringList{} << QStringList{"05/03/09", "01/03/09"} << QStringList{"+01/03/09", "+05/03/09"};
    QTest::newRow("exemple de la saisie")
        << QStringList{"01/03/09", "05/03/09", "05/03/09"} << QStringList{"05/03/09", "07/03/09", "28/02/09"}
        << QStringList{"+28/02/09", "01/03/09", "+05/03/09", "05/03/09", "05/03/09", "+07/03/09"};
    QTest::newRow("meme jour : la derniere venue passe devant")
        << QStringList{"01/03/09"} << QStringList{"02/03/09", "02/03/09", "02/03/09"}
        << QStringList{"01/03/09", "+02/03/09", "+02/03/09", "+02/03/09"};
    QTest::newRow("log dans le desordre")
        << QStringList{"10/03/09", "05/03/09", "20/03/09"} << QStringList{"08/03/09", "03/03/09", "12/03/09", "25/03/09"}
        << QStringList{"+03/03/09", "+08/03/09", "10/03/09", "05/03/09", "+12/03/09", "20/03/09", "+25/03/09"};
    QTest::newRow("lignes sans date lisible")
        << QStringList{"xx/03/09", "02/03/09", "", "04/03/09"} << QStringList{"03/03/09", "01/03/09"}
        << QStringList{"xx/03/09", "+01/03/09", "02/03/09", "", "+03/03/09", "04/03/09"};
    // Typed without Enter, a date may not be one: that QSO goes last, however many come.
    QTest::newRow("nouvelle sans date lisible")
        << QStringList{"01/03/09", "05/03/09"} << QStringList{"0x/03/09", "02/03/09"}
        << QStringList{"01/03/09", "+02/03/09", "05/03/09", "+0x/03/09"};
    QTest::newRow("siecles : 49 est 2049, 50 est 1950")
        << QStringList{"01/01/50", "01/01/49"} << QStringList{"01/01/00", "01/01/99"}
        << QStringList{"01/01/50", "+01/01/99", "+01/01/00", "01/01/49"};
}

void Tst_Adif::insertion_par_date()
{
    QFETCH(QStringList, log);
    QFETCH(QStringList, nouvelles);
    QFETCH(QStringList, attendu);
    QList<QByteArray> lignes, ajout, voulu;
    for (const QString& d : log)
        lignes.append(d.toLatin1() + (d.isEmpty() ? "" : "  01001  Chateau Contacte        F6XYZ"));
    for (int i = 0; i < nouvelles.size(); ++i)
        ajout.append(nouvelles.at(i).toLatin1() + "  7700" + QByteArray::number(i) + "  Chateau Contacte        NEW");
    const QList<QByteArray> resultat = Insertion::Inserer_Par_Date(lignes, ajout);
    QCOMPARE(resultat, Une_Par_Une(lignes, ajout));
    // On the log's bytes, one by one or all at once, the same lines, each ended by CR LF.
    auto octets = [](const QList<QByteArray>& l) {
        QByteArray o;
        for (const QByteArray& x : l)
            o += x + "\r\n";
        return o;
    };
    QByteArray parUne = octets(lignes);
    for (const QByteArray& nouvelle : std::as_const(ajout))
        parUne = Insertion::Inserer_Dans_Log(parUne, {nouvelle});
    QCOMPARE(parUne, octets(resultat));
    QCOMPARE(Insertion::Inserer_Dans_Log(octets(lignes), ajout), octets(resultat));
    QStringList dates;
    for (const QByteArray& r : resultat)
        dates.append((r.endsWith("NEW") ? "+" : "") + QString::fromLatin1(r.left(8)));
    QCOMPARE(dates, attendu);
}

void Tst_Adif::export_octet_pour_octet()
{
    const QList<QByteArray> log = Lignes_Log({
        Ligne("28/03/09", "2A001", Ca, "F6XYZ/P"),
        Ligne("15/06/98", "29001", Cc, "F1ABC", true),
        Ligne("01/02/09", "75001", QString::fromUtf8("Double ou non validé"), "F5AAA"),
    });
    int ecartees = -1, exportees = -1;
    const QByteArray adi = Exporter(log, QStringLiteral("F1ABC_P"), QStringLiteral("2009"), QStringLiteral(" 1.1.7"),
                                    QDateTime(QDate(2009, 3, 28), QTime(14, 7, 9), Qt::UTC), ecartees, exportees);
    QCOMPARE(ecartees, 0);
    QCOMPARE(exportees, 3);
    const QByteArray attendu =
        "Log du Challenge KVRT 2009 de F1ABC/P, exporte par QEZ_Challenge_KVRT\r\n"
        "<ADIF_VER:5>3.1.4\r\n"
        "<CREATED_TIMESTAMP:15>20090328 140709\r\n"
        "<PROGRAMID:8>QEZ_KVRT\r\n"
        "<PROGRAMVERSION:5>1.1.7\r\n"
        "<EOH>\r\n\r\n"
        "<QSO_DATE:8>20090328 <CALL:7>F6XYZ/P <MY_SIG:4>KVRT <MY_SIG_INFO:5>2A001 <STATION_CALLSIGN:7>F1ABC/P\r\n"
        "<APP_QEZ_KVRT_TYPE:14>Chateau active <APP_QEZ_KVRT_POINTS:1>6 <APP_QEZ_KVRT_ATTENTE:1>N <EOR>\r\n"
        "<QSO_DATE:8>19980615 <CALL:5>F1ABC <SIG:4>KVRT <SIG_INFO:5>29001 <STATION_CALLSIGN:7>F1ABC/P\r\n"
        "<APP_QEZ_KVRT_TYPE:16>Chateau Contacte <APP_QEZ_KVRT_POINTS:1>0 <APP_QEZ_KVRT_ATTENTE:1>Y <EOR>\r\n"
        "<QSO_DATE:8>20090201 <CALL:5>F5AAA <SIG:4>KVRT <SIG_INFO:5>75001 <STATION_CALLSIGN:7>F1ABC/P\r\n"
        "<APP_QEZ_KVRT_TYPE:20>Double ou non valide <APP_QEZ_KVRT_POINTS:1>0 <APP_QEZ_KVRT_ATTENTE:1>N <EOR>\r\n";
    QCOMPARE(adi, attendu);
}

void Tst_Adif::export_ecarte_ce_qui_n_est_pas_un_qso()
{
    const QList<QByteArray> log = {
        QByteArray(),
        QByteArray("texte quelconque"),
        QByteArray("31/02/09  29001  Chateau Contacte        F6XYZ"), // no such day
        QByteArray("28/03/09         Chateau Contacte        F6XYZ"), // no reference
        QByteArray("28/03/09  29001  Chateau Contacte"),              // no callsign
        QByteArray("28/03/09  29001  Type inconnu            F6\xc9XYZ"),
    };
    int ecartees = 0, exportees = 0;
    const QByteArray adi = Exporter(log, QStringLiteral("F1ABC"), QStringLiteral("2009"), QStringLiteral("1.1.7"),
                                    QDateTime(QDate(2009, 3, 28), QTime(0, 0), Qt::UTC), ecartees, exportees);
    QCOMPARE(ecartees, 5);
    QCOMPARE(exportees, 1);
    // Written in ASCII whatever the log holds.
    for (char c : adi)
        QVERIFY((c >= 32 && c < 127) || c == '\r' || c == '\n');
    QVERIFY(adi.contains("<CALL:6>F6EXYZ <SIG:4>KVRT"));
    QVERIFY(adi.contains("<APP_QEZ_KVRT_TYPE:12>Type inconnu <APP_QEZ_KVRT_POINTS:1>0"));
}

void Tst_Adif::aller_retour_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("attente");
    // The nine types, then the short "Double" that the log also knows.
    for (int t = 0; t < 10; ++t) {
        QTest::addRow("type %d", t) << t << false;
        QTest::addRow("type %d en attente", t) << t << true;
    }
}

void Tst_Adif::aller_retour()
{
    QFETCH(int, type);
    QFETCH(bool, attente);
    const QString t = Enregistrement::Types_Activite().value(type, QStringLiteral("Double"));
    // A season in order of dates, two QSOs on the same day.
    const QList<QByteArray> log = Lignes_Log({
        Ligne("01/01/09", "01999", t, "F1ABC_P12345", attente),
        Ligne("28/03/09", "2A001", t, "F6XYZ/P", attente),
        Ligne("28/03/09", "29001", t, "F5AAA", attente),
        Ligne("31/12/09", "2b123", t, "TM0X", attente),
    });
    int ecartees = 0, exportees = 0;
    const QByteArray adi = Exporter(log, QStringLiteral("F1ABC"), QStringLiteral("2009"), QStringLiteral("1.1.7"),
                                    QDateTime(QDate(2009, 3, 28), QTime(0, 0), Qt::UTC), ecartees, exportees);
    Adif::Lecture l;
    QVERIFY(Adif::Lire(adi, l, Champs_Utiles()).ok());
    QCOMPARE(l.champsEntete.size(), 4);
    // The window's choices must not matter: our file says the type and the mark itself.
    Options o;
    o.annee = QStringLiteral("2009");
    o.typeContacte = 2;
    o.typeActive = 5;
    o.attente = !attente;
    const QList<Qso_Import> q = Examiner(l.enregistrements, o, QByteArray());
    QCOMPARE(q.size(), 4);
    QList<QByteArray> relues;
    for (const Qso_Import& i : q) {
        QVERIFY2(i.Ajoute(), qPrintable(Texte_Verdict(i)));
        relues.append(i.ligne);
    }
    // The reference comes back in capitals, as the entry field would have made it.
    QList<QByteArray> voulues = log;
    voulues[3].replace("2b123", "2B123");
    QCOMPARE(relues, voulues);
    // Put into an empty log, they make the same log, the QSOs of one day in their order.
    QCOMPARE(Insertion::Inserer_Par_Date({}, Lignes_A_Ajouter(q)), voulues);
    // Read again against the log it came from, nothing is added.
    QByteArray octets;
    for (const QByteArray& x : std::as_const(voulues))
        octets += x + "\r\n";
    for (const Qso_Import& i : Examiner(l.enregistrements, o, octets))
        QCOMPARE(i.verdict, Verdict::Deja_Dans_Log);
}

QTEST_GUILESS_MAIN(Tst_Adif)
#include "tst_adif.moc"
