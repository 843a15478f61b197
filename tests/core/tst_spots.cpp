// The spots of the DX cluster without any network: the rule that finds castles in spot lines,
// the telnet stream cut into lines, the castle lists as organisers publish them, the castles a
// log holds and the node's address in the settings.

#include "Liste_Chateaux.h"
#include "Memoire_Alertes.h"
#include "Reglages.h"
#include "Spots_Partis.h"
#include "Lignes_Telnet.h"
#include "Rapports.h"
#include "Regle_Spot.h"
#include "Reglages_Spots.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class Tst_Spots : public QObject
{
    Q_OBJECT

private slots:
    void regle_data();
    void regle();
    void moment_data();
    void moment();
    void ligne_noeud_data();
    void ligne_noeud();
    void lignes_telnet_data();
    void lignes_telnet();
    void liste_chateaux_data();
    void liste_chateaux();
    void references_du_log();
    void noeud_data();
    void noeud();
    void bande_data();
    void bande();
    void age_data();
    void age();
    void memoires_data();
    void memoires();
    void ligne_spot_data();
    void ligne_spot();
    void refus_spot_data();
    void refus_spot();
    void reglages_data();
    void reglages();
    void adresse_refusee();
};

// Each row: a line as a node sends it, then "callsign|frequency|spotter|time|comment" (empty
// for a line that is no spot) and the castles found, separated by blanks.
void Tst_Spots::regle_data()
{
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<QString>("spot");
    QTest::addColumn<QString>("references");

    auto ligne = [](const char* nom, const char* l, const char* spot, const char* refs) {
        QTest::newRow(nom) << QString::fromUtf8(l) << QString::fromUtf8(spot) << QString::fromLatin1(refs);
    };

    // Castle spots, DX Spider's fixed columns and their variations.
    ligne("dxspider", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018 CW                  1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018 CW", "29018");
    ligne("locator apres l'heure", "DX de F4ABC:     14244.0  F5XYZ/P      KVRT 29018 ssb                 0915Z JN18",
          "F5XYZ/P|14244.0|F4ABC|0915Z|KVRT 29018 ssb", "29018");
    ligne("locator long", "DX de ON4ABC:     3735.5  F6KVR        KVRT 59012 tnx                 1834Z JO20ab",
          "F6KVR|3735.5|ON4ABC|1834Z|KVRT 59012 tnx", "59012");
    ligne("etat americain", "DX de W3LPL:     14025.0  F5XYZ/P      kvrt 29018 tnx qso             1234Z MD",
          "F5XYZ/P|14025.0|W3LPL|1234Z|kvrt 29018 tnx qso", "29018");
    ligne("minuscules", "dx de f4abc:      7012.0  f5xyz/p      kvrt 29018                     1234z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|kvrt 29018", "29018");
    ligne("collé", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT29018                      1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT29018", "29018");
    ligne("tiret", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT-29018 cw                  1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT-29018 cw", "29018");
    ligne("deux points", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT:29018                     1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT:29018", "29018");
    ligne("deux points et blancs", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT : 29018                   1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT : 29018", "29018");
    ligne("tiret et blancs", "DX de F4ABC:      7012.0  F5XYZ/P      Kvrt - 29018                   1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|Kvrt - 29018", "29018");
    ligne("tiret dans la reference", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29-018                    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29-018", "29018");
    ligne("tirets partout", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT-29-018                    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT-29-018", "29018");
    ligne("corse du sud", "DX de TK5ABC:    14240.0  TK5XYZ/P     KVRT 2A001 Bonifacio           1010Z",
          "TK5XYZ/P|14240.0|TK5ABC|1010Z|KVRT 2A001 Bonifacio", "2A001");
    ligne("haute corse minuscule", "DX de F4ABC:      7090.0  TK5XYZ/P     kvrt 2b012                     1010Z",
          "TK5XYZ/P|7090.0|F4ABC|1010Z|kvrt 2b012", "2B012");
    ligne("corse tiret", "DX de F4ABC:      7090.0  TK5XYZ/P     KVRT 2A-004                    1010Z",
          "TK5XYZ/P|7090.0|F4ABC|1010Z|KVRT 2A-004", "2A004");
    ligne("departement 01", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 01001                     1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 01001", "01001");
    ligne("departement 95", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 95010                     1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 95010", "95010");
    ligne("chateau", "DX de F4ABC:      7012.0  F5XYZ/P      Chateau 29018                  1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|Chateau 29018", "29018");
    ligne("château accent", "DX de F4ABC:      7012.0  F5XYZ/P      château 77001 qrv              1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|château 77001 qrv", "77001");
    ligne("CHÂTEAU majuscules", "DX de F4ABC:      7012.0  F5XYZ/P      CHÂTEAU:35012                  1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|CHÂTEAU:35012", "35012");
    ligne("mot au milieu", "DX de F4ABC:     14244.0  F5XYZ/P      up 2 KVRT 29018 pse            1234Z",
          "F5XYZ/P|14244.0|F4ABC|1234Z|up 2 KVRT 29018 pse", "29018");
    ligne("deux chateaux", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018/29019               1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018/29019", "29018 29019");
    ligne("trois chateaux", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018, 29019 & 29020      1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018, 29019 & 29020", "29018 29019 29020");
    ligne("deux mots", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018 + KVRT 29019        1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018 + KVRT 29019", "29018 29019");
    ligne("repete", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018 chateau 29018       1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018 chateau 29018", "29018");
    ligne("frequence apres", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018 QSX 7015            1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018 QSX 7015", "29018");
    ligne("heure dans le commentaire", "DX de F4ABC:      7012.0  F5XYZ/P      QRV 1400Z KVRT 29018           1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|QRV 1400Z KVRT 29018", "29018");
    ligne("cc cluster", "DX de DL1ABC-2:   3735.0  F6KVR        KVRT 91001 listening up 2      1834Z JO62",
          "F6KVR|3735.0|DL1ABC-2|1834Z|KVRT 91001 listening up 2", "91001");
    ligne("ar-cluster", "DX de K1TTT:     14260.0  F5XYZ/P      KVRT 56010 Suscinio 59         1234Z FN32",
          "F5XYZ/P|14260.0|K1TTT|1234Z|KVRT 56010 Suscinio 59", "56010");
    ligne("indicatif long", "DX de F4ABC:      7012.0  EA8/F5XYZ/QRP KVRT 29018                    1234Z",
          "EA8/F5XYZ/QRP|7012.0|F4ABC|1234Z|KVRT 29018", "29018");
    ligne("spotteur long colle", "DX de F4ABC/P-12:7012.0  F5XYZ        KVRT 29018                     1234Z",
          "F5XYZ|7012.0|F4ABC/P-12|1234Z|KVRT 29018", "29018");
    ligne("frequence deux decimales", "DX de F4ABC:    144300.00  F5XYZ/P    KVRT 76003 FM                  1234Z",
          "F5XYZ/P|144300.00|F4ABC|1234Z|KVRT 76003 FM", "76003");
    ligne("frequence entiere", "DX de F4ABC:      7012  F5XYZ/P      KVRT 29018                     1234Z",
          "F5XYZ/P|7012|F4ABC|1234Z|KVRT 29018", "29018");
    ligne("hyperfrequence", "DX de F4ABC:  10368100.0  F5XYZ/P      KVRT 06010                   1234Z",
          "F5XYZ/P|10368100.0|F4ABC|1234Z|KVRT 06010", "06010");
    ligne("sans heure", "DX de F4ABC:  7012.0  F5XYZ/P  KVRT 29018", "F5XYZ/P|7012.0|F4ABC||KVRT 29018", "29018");
    ligne("heure impossible", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018                     2534Z",
          "F5XYZ/P|7012.0|F4ABC||KVRT 29018                     2534Z", "29018");
    ligne("bip en fin", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018                     1234Z\a\a",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018", "29018");
    ligne("spotteur sans deux-points", "DX de 9K2/K2SES  14205.0  DK0HY        KVRT 29018 chateau             1423Z",
          "DK0HY|14205.0|9K2/K2SES|1423Z|KVRT 29018 chateau", "29018");
    ligne("spotteur sans deux-points, deux-points plus loin",
          "DX de 9K2/K2SES  14205.0  DK0HY        KVRT:29018                     1423Z JN18",
          "DK0HY|14205.0|9K2/K2SES|1423Z|KVRT:29018", "29018");
    ligne("reponse sh/dx", "   7012.0  F5XYZ/P     12-Mar-2024 1234Z KVRT 29018 CW                 <F4ABC>",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018 CW", "29018");
    ligne("reponse sh/dx ar-cluster", " 14244.0 F5XYZ/P      2-Apr-2024 0915Z kvrt 2A001 ssb            <W3LPL>",
          "F5XYZ/P|14244.0|W3LPL|0915Z|kvrt 2A001 ssb", "2A001");
    ligne("reponse sh/dx locator", "  7012.0  F5XYZ/P     12-mar-2024 1234Z KVRT 29018   <F4ABC> JN18",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018", "29018");

    // Spots, but of no castle: numbers without the Challenge's word beside them.
    ligne("cq", "DX de W3LPL:     14025.0  JA1ABC       CQ                             1234Z FN20",
          "JA1ABC|14025.0|W3LPL|1234Z|CQ", "");
    ligne("skimmer", "DX de DK9IP-#:    7012.0  F5XYZ        CW 23 dB 25 WPM CQ             1234Z",
          "F5XYZ|7012.0|DK9IP-#|1234Z|CW 23 dB 25 WPM CQ", "");
    ligne("pota", "DX de K1ABC:     14244.0  W1XYZ        POTA K-1234 ssb                1234Z",
          "W1XYZ|14244.0|K1ABC|1234Z|POTA K-1234 ssb", "");
    ligne("wwff", "DX de F4ABC:      7144.0  F5XYZ/P      WWFF FFF-1234                  1234Z",
          "F5XYZ/P|7144.0|F4ABC|1234Z|WWFF FFF-1234", "");
    ligne("sota", "DX de F4ABC:     10118.0  F5XYZ/P      SOTA F/AM-123                  1234Z",
          "F5XYZ/P|10118.0|F4ABC|1234Z|SOTA F/AM-123", "");
    ligne("iota", "DX de F4ABC:     14260.0  TM5XYZ       IOTA EU-005                    1234Z",
          "TM5XYZ|14260.0|F4ABC|1234Z|IOTA EU-005", "");
    ligne("autre programme meme forme", "DX de F4ABC:      7012.0  F5XYZ/P      DFCF 29-018                    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|DFCF 29-018", "");
    ligne("frequence dans le commentaire", "DX de F4ABC:      7012.0  F5XYZ        QSY 14244                      1234Z",
          "F5XYZ|7012.0|F4ABC|1234Z|QSY 14244", "");
    ligne("numero de serie", "DX de F4ABC:     14025.0  F5XYZ        nr 29018 599                   1234Z",
          "F5XYZ|14025.0|F4ABC|1234Z|nr 29018 599", "");
    ligne("locator", "DX de F4ABC:    144300.0  F5XYZ        JN18AB 59                      1234Z",
          "F5XYZ|144300.0|F4ABC|1234Z|JN18AB 59", "");
    ligne("route qsl", "DX de F4ABC:     14025.0  TX5ABC       QSL via F5XYZ 29018            1234Z",
          "TX5ABC|14025.0|F4ABC|1234Z|QSL via F5XYZ 29018", "");
    ligne("kvrt sans reference", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT activation soon           1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT activation soon", "");
    ligne("kvrt quatre chiffres", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 2901                      1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 2901", "");
    ligne("kvrt six chiffres", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 290181                    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 290181", "");
    ligne("kvrt frequence decimale", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 14244.5                   1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 14244.5", "");
    ligne("departement 00", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 00123                     1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 00123", "");
    ligne("departement 96", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 96001                     1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 96001", "");
    ligne("departement 2C", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 2C001                     1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 2C001", "");
    ligne("blanc dans la reference", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29 018                    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29 018", "");
    ligne("mot plus long", "DX de F4ABC:      7012.0  F5XYZ/P      KVRTS 29018                    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRTS 29018", "");
    ligne("mot dans un autre", "DX de F4ABC:      7012.0  F5XYZ/P      XKVRT 29018                    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|XKVRT 29018", "");
    ligne("chateaux pluriel", "DX de F4ABC:      7012.0  F5XYZ/P      chateaux 29018 29019           1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|chateaux 29018 29019", "");
    ligne("chateau-thierry", "DX de F4ABC:      7012.0  F5XYZ/P      Chateau-Thierry 02400 rally    1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|Chateau-Thierry 02400 rally", "");
    ligne("second sans separateur", "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018 14025               1234Z",
          "F5XYZ/P|7012.0|F4ABC|1234Z|KVRT 29018 14025", "29018");

    // Lines that are no spot at all.
    ligne("annonce", "To ALL de F4ABC: KVRT 29018 demain 0800Z sur 7012", "", "");
    ligne("annonce locale", "To LOCAL de F4ABC <1234Z> : KVRT 29018 QRV", "", "");
    ligne("wwv", "WWV de W0MU <18>:   SFI=71, A=5, K=1, No Storms -> No Storms", "", "");
    ligne("wcy", "WCY de DK0WCY-1 <12> : K=2 expK=2 A=9 R=0 SFI=70 SA=qui GMF=qui Au=no", "", "");
    ligne("invite", "F4ABC de GB7DJK 12-Mar-2024 1234Z dxspider >", "", "");
    ligne("login", "login: ", "", "");
    ligne("talk", "F5XYZ de F4ABC: KVRT 29018 tnx", "", "");
    ligne("bienvenue", "Hello F4ABC, this is GB7DJK in Banbury, running DXSpider V1.57", "", "");
    ligne("sans frequence", "DX de F4ABC: KVRT 29018", "", "");
    ligne("sans spotteur", "DX de :      7012.0  F5XYZ/P      KVRT 29018                     1234Z", "", "");
    ligne("le mot pour indicatif", "DX de F4ABC:      7012.0  KVRT 29018                     1234Z", "", "");
    ligne("frequence nulle", "DX de F4ABC:         0.0  F5XYZ/P      KVRT 29018                     1234Z", "", "");
    ligne("sh/dx sans spotteur", "   7012.0  F5XYZ/P     12-Mar-2024 1234Z KVRT 29018 CW", "", "");
    ligne("sh/dx date fausse", "   7012.0  F5XYZ/P     12-Foo-2024 1234Z KVRT 29018 CW      <F4ABC>", "", "");
    ligne("chiffres seuls", "73 de F4ABC", "", "");
}

void Tst_Spots::regle()
{
    QFETCH(QString, ligne);
    QFETCH(QString, spot);
    QFETCH(QString, references);

    Regle_Spot::Spot s;
    const bool lu = Regle_Spot::Lire(ligne, s);
    QCOMPARE(lu, !spot.isEmpty());
    if (!lu)
        return;
    QCOMPARE(QStringList({s.indicatif, s.frequence, s.spotteur, s.heure, s.commentaire}).join(u'|'), spot);
    QCOMPARE(s.references.join(u' '), references);
}

// Each row: a spot, the PC clock, then its moment and the moment its alert counts from: the
// arrival when a live spot's time cannot be right against the clock (ten minutes of age allowed).
void Tst_Spots::moment_data()
{
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<QDateTime>("maintenant");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QDateTime>("alerte");

    auto utc = [](int jour, int h, int m) { return QDateTime(QDate(2024, 3, jour), QTime(h, m), Qt::UTC); };
    const QDateTime midi = utc(12, 12, 0);
    const QDateTime minuit = utc(12, 0, 10);
    QTest::newRow("du jour") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 1134Z" << midi << utc(12, 11, 34) << midi;
    QTest::newRow("recent") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 1155Z" << midi << utc(12, 11, 55) << utc(12, 11, 55);
    QTest::newRow("un peu en avance") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 1205Z" << midi << utc(12, 12, 5) << utc(12, 12, 5);
    QTest::newRow("trop en avance") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 1230Z" << midi << utc(12, 12, 30) << midi;
    QTest::newRow("horloge du pc en avance") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 1200Z" << utc(12, 12, 20)
                                             << utc(12, 12, 0) << utc(12, 12, 20);
    QTest::newRow("horloge du pc en retard d'une heure") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 1202Z" << utc(12, 11, 0)
                                                         << utc(11, 12, 2) << utc(12, 11, 0);
    QTest::newRow("avant minuit") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 2350Z" << minuit << utc(11, 23, 50) << minuit;
    QTest::newRow("avant minuit recent") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 0005Z" << minuit << utc(12, 0, 5)
                                         << utc(12, 0, 5);
    QTest::newRow("date de sh/dx") << "7012.0 F5XYZ 2-Feb-2024 2350Z KVRT 29018 <F4ABC>" << midi
                                   << QDateTime(QDate(2024, 2, 2), QTime(23, 50), Qt::UTC)
                                   << QDateTime(QDate(2024, 2, 2), QTime(23, 50), Qt::UTC);
    QTest::newRow("sans heure") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018" << midi << midi << midi;
}

void Tst_Spots::moment()
{
    QFETCH(QString, ligne);
    QFETCH(QDateTime, maintenant);
    QFETCH(QDateTime, moment);
    QFETCH(QDateTime, alerte);
    Regle_Spot::Spot s;
    QVERIFY(Regle_Spot::Lire(ligne, s));
    QCOMPARE(Regle_Spot::Moment(s, maintenant), moment);
    QCOMPARE(Regle_Spot::Moment_Alerte(s, maintenant, 600), alerte);
}

// Each row: a line of DX Spider, AR-Cluster or CC Cluster while one logs in, and what it asks.
void Tst_Spots::ligne_noeud_data()
{
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<int>("genre");

    using G = Regle_Spot::Ligne_Noeud;
    auto ligne = [](const char* nom, const char* l, G g) { QTest::newRow(nom) << QString::fromUtf8(l) << int(g); };
    ligne("login dx spider", "login: ", G::Invite_Login);
    ligne("login ar-cluster et cc cluster", "Please enter your call: ", G::Invite_Login);
    ligne("rappel du nom", "Please enter your name, set/name <your name>", G::Rappel);
    ligne("rappel du qth", "Please enter your QTH, set/qth <your qth>", G::Rappel);
    ligne("rappel du lieu", "Please enter your location with set/location or set/qra", G::Rappel);
    ligne("rappel du noeud", "Please enter your Home Node, set/homenode <your home DX Cluster>", G::Rappel);
    ligne("rappel des coordonnees", "Using GB7DJK Coords, consider doing a set/location or set/qra", G::Rappel);
    ligne("question du nom", "Please enter your name:", G::Rappel);
    ligne("mot de passe", "password: ", G::Mot_De_Passe);
    ligne("indicatif invalide", "Sorry, F1ABC/XYZ is an invalid callsign", G::Refus);
    ligne("inscription", "Sorry, you need to be registered (SP GB7DJK to register)", G::Refus);
    ligne("interdit", "You are not allowed to connect to this node", G::Refus);
    ligne("login incorrect", "Login incorrect", G::Refus);
    ligne("invite dx spider", "F1ABC de GB7DJK 12-Mar-2024 1234Z dxspider >", G::Invite_Commande);
    ligne("invite ar-cluster", "F1ABC de K1TTT-3 12-Mar 1855Z arc >", G::Invite_Commande);
    ligne("invite cc cluster", "F1ABC de VE7CC-1 12-Mar-2024 1234Z CCC >", G::Invite_Commande);
    ligne("bonjour dx spider", "Hello Jean, this is GB7DJK in Banbury, Oxon", G::Autre);
    ligne("accueil ar-cluster", "Welcome to the K1TTT-3 AR-Cluster node Telnet port!", G::Autre);
    ligne("dernier login", "Your last login was 3/12/24 13:39Z", G::Autre);
    ligne("noeuds", "Cluster: 312 nodes, 37 local / 1720 total users  Max users 4311  Uptime 10 09:35", G::Autre);
    ligne("spot", "DX de F4ABC:     7012.0  F5XYZ/P      KVRT 29018 chateau         1423Z", G::Autre);
}

void Tst_Spots::ligne_noeud()
{
    QFETCH(QString, ligne);
    QFETCH(int, genre);
    QCOMPARE(int(Regle_Spot::Genre_Ligne(ligne)), genre);
}

// Each row: the reads as they come from the socket, then the lines, the line begun and the
// lines left out (too long, junk).
void Tst_Spots::lignes_telnet_data()
{
    QTest::addColumn<QList<QByteArray>>("lectures");
    QTest::addColumn<QStringList>("lignes");
    QTest::addColumn<QString>("enCours");
    QTest::addColumn<int>("tropLongues");
    QTest::addColumn<int>("illisibles");

    using L = QList<QByteArray>;
    QTest::newRow("cr lf") << L{"DX de A\r\nB\r\n"} << QStringList{"DX de A", "B"} << "" << 0 << 0;
    QTest::newRow("lf seul") << L{"un\ndeux\n"} << QStringList{"un", "deux"} << "" << 0 << 0;
    QTest::newRow("lf cr") << L{"un\n\rdeux\n\r"} << QStringList{"un", "deux"} << "" << 0 << 0;
    QTest::newRow("coupee entre lectures") << L{"DX de F4", "ABC: 7012.0\r", "\nsuite"} << QStringList{"DX de F4ABC: 7012.0"}
                                           << "suite" << 0 << 0;
    QTest::newRow("negociation puis invite") << L{"\xFF\xFB\x01\xFF\xFD\x03\xFF\xFB\x03login: "} << QStringList{} << "login: " << 0
                                             << 0;
    QTest::newRow("iac coupe entre lectures") << L{"a\xFF", "\xFB", "\x01" "bc\r\n"} << QStringList{"abc"} << "" << 0 << 0;
    QTest::newRow("sous-negociation") << L{"\xFF\xFA\x18\x01\xFF\xF0texte\r\n"} << QStringList{"texte"} << "" << 0 << 0;
    QTest::newRow("sous-negociation sans fin") << L{"avant\r\n\xFF\xFA" "DX de F4ABC\r\nsuite\r\n"}
                                               << QStringList{"avant", "DX de F4ABC", "suite"} << "" << 0 << 0;
    QTest::newRow("sous-negociation sans fin ni ligne") << L{"\xFF\xFA" + QByteArray(600, 'x'), "\r\nok\r\n"}
                                                        << QStringList{QString(600, u'x'), "ok"} << "" << 0 << 0;
    QTest::newRow("sous-negociation trop longue, sans ligne") << L{"\xFF\xFA" + QByteArray(600, 'x')} << QStringList{}
                                                              << QString(600, u'x') << 0 << 0;
    QTest::newRow("iac double") << L{"caf\xFF\xFF\r\n"} << QStringList{QString::fromUtf8("cafÿ")} << "" << 0 << 0;
    QTest::newRow("couleurs ansi") << L{"\x1B[1;32mDX de\x1B[0m F4ABC\r\n"} << QStringList{"DX de F4ABC"} << "" << 0 << 0;
    QTest::newRow("ansi coupe") << L{"\x1B[", "0;3", "1mrouge\x1B[K\r\n"} << QStringList{"rouge"} << "" << 0 << 0;
    QTest::newRow("titre du terminal") << L{"\x1B]0;GB7DJK\x07texte\r\n"} << QStringList{"texte"} << "" << 0 << 0;
    QTest::newRow("jeu de caracteres") << L{"\x1B(Bdx\r\n"} << QStringList{"dx"} << "" << 0 << 0;
    QTest::newRow("bip") << L{"DX de F4ABC\x07\x07\r\n"} << QStringList{"DX de F4ABC"} << "" << 0 << 0;
    QTest::newRow("utf-8") << L{"Ch\xC3\xA2teau\r\n"} << QStringList{QString::fromUtf8("Château")} << "" << 0 << 0;
    QTest::newRow("latin-1") << L{"Ch\xE2teau\r\n"} << QStringList{QString::fromUtf8("Château")} << "" << 0 << 0;
    QTest::newRow("utf-8 coupe") << L{"Ch\xC3", "\xA2teau\r\n"} << QStringList{QString::fromUtf8("Château")} << "" << 0 << 0;
    QTest::newRow("trop longue") << L{QByteArray(1500, 'A'), QByteArray(1500, 'B') + "\r\nok\r\n"} << QStringList{"ok"} << "" << 1
                                 << 0;
    QTest::newRow("octets binaires") << L{QByteArray("\x01\x02\x03\x04" "abc\r\nok\r\n", 13)} << QStringList{"ok"} << "" << 0 << 1;
    QTest::newRow("nul apres cr") << L{QByteArray("abc\r\0def\r\n", 10)} << QStringList{"abc", "def"} << "" << 0 << 0;
    QTest::newRow("lignes vides") << L{"\r\n\r\n  \r\n"} << QStringList{} << "" << 0 << 0;
    QTest::newRow("tabulation") << L{"a\tb\r\n"} << QStringList{"a b"} << "" << 0 << 0;
}

void Tst_Spots::lignes_telnet()
{
    QFETCH(QList<QByteArray>, lectures);
    QFETCH(QStringList, lignes);
    QFETCH(QString, enCours);
    QFETCH(int, tropLongues);
    QFETCH(int, illisibles);

    Lignes_Telnet t(1024);
    QStringList lues;
    for (const QByteArray& l : lectures)
        lues += t.Ajouter(l);
    QCOMPARE(lues, lignes);
    QCOMPARE(t.Ligne_En_Cours(), enCours);
    QCOMPARE(t.Lignes_Trop_Longues(), tropLongues);
    QCOMPARE(t.Lignes_Illisibles(), illisibles);
}

// Each row: a list's bytes, then the number of castles, one reference with its name, and the
// lines left out.
void Tst_Spots::liste_chateaux_data()
{
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<int>("nombre");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("ignorees");
    QTest::addColumn<QString>("erreur");

    QTest::newRow("virgules et entete utf-8")
        << QByteArray("R\xC3\xA9" "f\xC3\xA9rence,Nom,Commune\r\n29018,Ch\xC3\xA2teau de Brest,Brest\r\n2A001,Castellu,Bonifacio\r\n")
        << 2 << "29018" << QString::fromUtf8("Château de Brest") << 1 << QString();
    QTest::newRow("points-virgules 1252")
        << QByteArray("KVRT;Nom\r\n29018;Ch\xE2teau de Brest\r\n77001;Ch\xE2teau de Fontainebleau\r\n") << 2 << "77001"
        << QString::fromUtf8("Château de Fontainebleau") << 1 << QString();
    QTest::newRow("tabulations sans entete") << QByteArray("29018\tCh\xC3\xA2teau de Brest\n2A001\tCastellu\n") << 2 << "2A001"
                                             << "Castellu" << 0 << QString();
    QTest::newRow("guillemets et virgule dans le nom")
        << QByteArray("\"29018\",\"Ch\xC3\xA2teau de Brest, dit \"\"du Roi\"\"\"\r\n\"35019\",\"Tour\"\r\n") << 2 << "29018"
        << QString::fromUtf8("Château de Brest, dit \"du Roi\"") << 0 << QString();
    QTest::newRow("bom utf-8") << QByteArray("\xEF\xBB\xBF" "29018;Brest\r\n") << 1 << "29018" << "Brest" << 0 << QString();
    QTest::newRow("reference avec tiret et minuscule") << QByteArray("29-018;Brest\n2a-001;Castellu\n") << 2 << "2A001"
                                                       << "Castellu" << 0 << QString();
    QTest::newRow("reference prefixee") << QByteArray("KVRT 29018;Brest\nKVRT-35012;Vitr\xC3\xA9\n") << 2 << "35012"
                                        << QString::fromUtf8("Vitré") << 0 << QString();
    QTest::newRow("reference en seconde colonne") << QByteArray("Dept;Ref;Nom\n29;29018;Brest\n35;35012;Fougeres\n") << 2
                                                  << "35012" << "Fougeres" << 1 << QString();
    QTest::newRow("entete nomme la colonne")
        << QByteArray("Ref;D\xC3\xA9partement;Nom du ch\xC3\xA2teau\n29018;Finist\xC3\xA8re;Brest\n35012;Ille-et-Vilaine;Foug\xC3\xA8res\n")
        << 2 << "29018" << "Brest" << 1 << QString();
    QTest::newRow("lignes sans reference") << QByteArray("Liste 2024\n\n29018;Brest\nnote : provisoire\n96001;Nulle part\n") << 1
                                           << "29018" << "Brest" << 3 << QString();
    QTest::newRow("aucune reference") << QByteArray("Nom;Ville\nBrest;Brest\n") << 0 << "29018" << "" << 2 << QString();
    QTest::newRow("vide") << QByteArray() << 0 << "29018" << "" << 0 << QString();
    QTest::newRow("saut de ligne entre guillemets")
        << QByteArray("29018;\"Ch\xC3\xA2teau \r\n de Brest\"\r\n35012;Vitr\xC3\xA9\r\n") << 2 << "29018"
        << QString::fromUtf8("Château de Brest") << 0 << QString();
    QTest::newRow("guillemets doubles et saut de ligne")
        << QByteArray("35012,\"Fort \"\"la Latte\"\"\n(Pl\xE9venon)\"\n29018,Brest\n") << 2 << "35012"
        << QString::fromUtf8("Fort \"la Latte\" (Plévenon)") << 0 << QString();
    QTest::newRow("reference dans un nom sur deux lignes")
        << QByteArray("29018,\"Ch\xC3\xA2teau de Brest,\r\n35012, ancienne prison\"\r\n") << 1 << "29018"
        << QString::fromUtf8("Château de Brest, 35012, ancienne prison") << 0 << QString();
    QTest::newRow("guillemets jamais fermes")
        << QByteArray("29018;\"Ch\xC3\xA2teau\r\nde Brest\"\r\n35012;\"Fort la Latte\r\n35020;Vitr\xC3\xA9\r\n") << 0 << "29018"
        << "" << 0 << QString::fromUtf8("des guillemets ouverts à la ligne 3 ne se ferment jamais");
}

void Tst_Spots::liste_chateaux()
{
    QFETCH(QByteArray, octets);
    QFETCH(int, nombre);
    QFETCH(QString, reference);
    QFETCH(QString, nom);
    QFETCH(int, ignorees);
    QFETCH(QString, erreur);

    const Liste_Chateaux liste = Liste_Chateaux::Lire(octets);
    QCOMPARE(liste.Erreur(), erreur);
    QCOMPARE(liste.Nombre(), nombre);
    QCOMPARE(liste.Contient(reference), nombre > 0);
    QCOMPARE(liste.Nom(reference), nom);
    QCOMPARE(liste.Lignes_Ignorees(), ignorees);
    if (nombre > 0)
        QCOMPARE(liste.References_Departement(reference.left(2).toLower()), QStringList{reference});
}

void Tst_Spots::references_du_log()
{
    // Every line names its castle at characters 11 to 15, whatever its type or mark; a line
    // too short to hold one names none.
    const QByteArray log = "02/03/09  29018  Chateau Contacte        F5XYZ       \r\n"
                           "03/03/09 *2a001  Chateau active          F1ABC       \r\n"
                           "04/03/09  35\r\n"
                           "05/03/09  77001  Double                  F6XYZ       \n";
    QCOMPARE(Rapports::References_Du_Log(log), (QSet<QString>{"29018", "2A001", "77001"}));
    QVERIFY(Rapports::References_Du_Log(QByteArray()).isEmpty());
}

void Tst_Spots::noeud_data()
{
    QTest::addColumn<QString>("valeur");
    QTest::addColumn<QString>("hote");
    QTest::addColumn<int>("port");

    QTest::newRow("hote et port") << "dxc.exemple.fr:7300" << "dxc.exemple.fr" << 7300;
    QTest::newRow("blancs autour") << "  dxc.exemple.fr:8000 " << "dxc.exemple.fr" << 8000;
    QTest::newRow("sans port") << "dxc.exemple.fr" << "dxc.exemple.fr" << 23;
    QTest::newRow("adresse ipv6") << "[::1]:7300" << "::1" << 7300;
    QTest::newRow("telnet://") << "telnet://dxc.exemple.fr:7373/" << "dxc.exemple.fr" << 7373;
    QTest::newRow("vide") << "" << "" << 0;
    QTest::newRow("port en lettres") << "dxc.exemple.fr:abc" << "" << 0;
    QTest::newRow("port trop grand") << "dxc.exemple.fr:70000" << "" << 0;
    QTest::newRow("port zero") << "dxc.exemple.fr:0" << "" << 0;
    QTest::newRow("blanc dans l'hote") << "dxc exemple:7300" << "" << 0;
}

void Tst_Spots::noeud()
{
    QFETCH(QString, valeur);
    QFETCH(QString, hote);
    QFETCH(int, port);

    QString h, erreur;
    quint16 p = 0;
    const bool lu = Reglages_Spots::Lire_Noeud(valeur, h, p, erreur);
    QCOMPARE(lu, port != 0);
    if (lu) {
        QCOMPARE(h, hote);
        QCOMPARE(int(p), port);
    } else {
        QVERIFY(!erreur.isEmpty());
    }
}

// Each row: a frequency as a spot gives it, and its band; each band's edges are in it, and
// what lies just outside is on none.
void Tst_Spots::bande_data()
{
    QTest::addColumn<QString>("frequence");
    QTest::addColumn<QString>("bande");

    const char* const lignes[][2] = {
        {"1799.9", ""},        {"1800.0", "160 m"},  {"2000.0", "160 m"},  {"2000.1", ""},
        {"3499.9", ""},        {"3500", "80 m"},     {"4000.0", "80 m"},   {"4000.1", ""},
        {"5060.0", "60 m"},    {"5450.0", "60 m"},   {"5450.1", ""},       {"6999.9", ""},
        {"7000.0", "40 m"},    {"7300.0", "40 m"},   {"7300.1", ""},       {"10150.0", "30 m"},
        {"10150.1", ""},       {"14000.0", "20 m"},  {"14350.0", "20 m"},  {"14350.1", ""},
        {"18067.9", ""},       {"18068.0", "17 m"},  {"18168.0", "17 m"},  {"21450.0", "15 m"},
        {"24890.0", "12 m"},   {"24990.1", ""},      {"28000.0", "10 m"},  {"29700.0", "10 m"},
        {"29700.1", ""},       {"50000.0", "6 m"},   {"54000.0", "6 m"},   {"54000.1", ""},
        {"143999.9", ""},      {"144300.00", "2 m"}, {"148000.0", "2 m"},  {"148000.1", ""},
        {"14349.96", "20 m"},  {"14350.05", ""},     {"10368100.0", ""},   {"abc", ""},
    };
    for (const auto& l : lignes)
        QTest::newRow(l[0]) << QString::fromLatin1(l[0]) << QString::fromLatin1(l[1]);
}

void Tst_Spots::bande()
{
    QFETCH(QString, frequence);
    QFETCH(QString, bande);
    QCOMPARE(Regle_Spot::Bande(frequence), bande);
    QVERIFY(bande.isEmpty() || Regle_Spot::Bandes().contains(bande));
}

// Each row: a spot, the PC clock, the age in minutes and whether it is still on show.
void Tst_Spots::age_data()
{
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<QDateTime>("maintenant");
    QTest::addColumn<int>("age");
    QTest::addColumn<bool>("montre");

    auto utc = [](int jour, int h, int m) { return QDateTime(QDate(2024, 3, jour), QTime(h, m), Qt::UTC); };
    QTest::newRow("direct recent") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 1134Z" << utc(12, 12, 0) << 60 << true;
    QTest::newRow("direct heure fausse") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 0900Z" << utc(12, 12, 0) << 60 << true;
    QTest::newRow("direct avant minuit") << "DX de F4ABC: 7012.0 F5XYZ KVRT 29018 2350Z" << utc(12, 0, 10) << 60 << true;
    QTest::newRow("sh/dx au bord") << "7012.0 F5XYZ 12-Mar-2024 1100Z KVRT 29018 <F4ABC>" << utc(12, 12, 0) << 60 << true;
    QTest::newRow("sh/dx trop vieux") << "7012.0 F5XYZ 12-Mar-2024 1059Z KVRT 29018 <F4ABC>" << utc(12, 12, 0) << 60 << false;
    QTest::newRow("sh/dx age court") << "7012.0 F5XYZ 12-Mar-2024 1100Z KVRT 29018 <F4ABC>" << utc(12, 12, 0) << 30 << false;
    QTest::newRow("sh/dx veille de minuit") << "7012.0 F5XYZ 11-Mar-2024 2350Z KVRT 29018 <F4ABC>" << utc(12, 0, 10) << 60 << true;
    QTest::newRow("sh/dx trop vieux a minuit") << "7012.0 F5XYZ 11-Mar-2024 2300Z KVRT 29018 <F4ABC>" << utc(12, 0, 10) << 60
                                               << false;
    QTest::newRow("sh/dx meme heure la veille") << "7012.0 F5XYZ 11-Mar-2024 1150Z KVRT 29018 <F4ABC>" << utc(12, 12, 0) << 60
                                                << false;
}

void Tst_Spots::age()
{
    QFETCH(QString, ligne);
    QFETCH(QDateTime, maintenant);
    QFETCH(int, age);
    QFETCH(bool, montre);
    Regle_Spot::Spot s;
    QVERIFY(Regle_Spot::Lire(ligne, s));
    QCOMPARE(Regle_Spot::Dans_Age(s, maintenant, age), montre);
}

// Each row: the age and steps on the alerts and the spots gone, each with its answer. A
// moment is "hhmm" on the 12th or "11/hhmm" on the 11th.
//   "alerte CALL REF moment": oui when it sounds;
//   "part CALL REF moment": the spot is swept;
//   "ajoute CALL REF moment maintenant": oui when the spot read from the node is added;
//   "purge maintenant": how many each memory still holds, "alertes/partis".
void Tst_Spots::memoires_data()
{
    QTest::addColumn<int>("age");
    QTest::addColumn<QString>("etapes");
    QTest::addColumn<QString>("reponses");

    QTest::newRow("une alerte par station et chateau")
        << 60 << "alerte F5XYZ/P 29018 1200; alerte f5xyz/p 29018 1230; alerte F5XYZ/P 29019 1231; alerte F6ABC 29018 1232"
        << "oui non oui oui";
    QTest::newRow("re-spots tant qu'il reste montre")
        << 60 << "alerte F5XYZ 29018 1200; alerte F5XYZ 29018 1250; alerte F5XYZ 29018 1349; alerte F5XYZ 29018 1450"
        << "oui non non oui";
    QTest::newRow("au bord de l'age") << 60 << "alerte F5XYZ 29018 1200; alerte F5XYZ 29018 1300; alerte F5XYZ 29018 1401"
                                      << "oui non oui";
    QTest::newRow("sh/dx plus ancien") << 60 << "alerte F5XYZ 29018 1200; alerte F5XYZ 29018 1030" << "oui non";
    QTest::newRow("age court") << 10 << "alerte F5XYZ 29018 1200; alerte F5XYZ 29018 1211" << "oui oui";
    QTest::newRow("alerte a minuit") << 60 << "alerte F5XYZ 29018 11/2330; alerte F5XYZ 29018 0020; alerte F5XYZ 29018 0121"
                                     << "oui non oui";
    QTest::newRow("balaye ne revient pas")
        << 60
        << "part F5XYZ 29018 1200; ajoute F5XYZ 29018 1200 1230; ajoute f5xyz 29018 1159 1230; ajoute F5XYZ 29018 1215 1230; "
           "ajoute F6ABC 29018 1200 1230; ajoute F5XYZ 2a001 1200 1230"
        << "non non oui oui oui";
    QTest::newRow("balaye deux fois") << 60 << "part F5XYZ 29018 1210; part F5XYZ 29018 1200; ajoute F5XYZ 29018 1205 1230"
                                      << "non";
    QTest::newRow("trop vieux pour revenir") << 60 << "ajoute F5XYZ 29018 1059 1200; ajoute F5XYZ 29018 1100 1200"
                                             << "non oui";
    QTest::newRow("retour a minuit") << 60 << "ajoute F5XYZ 29018 11/2310 0020; ajoute F5XYZ 29018 11/2330 0020" << "non oui";
    QTest::newRow("purge")
        << 60
        << "alerte F5XYZ 29018 1200; alerte F6ABC 29018 1250; part F5XYZ 29018 1200; part F6ABC 29018 1250; purge 1300; "
           "purge 1330; ajoute F6ABC 29018 1250 1330"
        << "oui oui 2/2 1/1 non";
}

void Tst_Spots::memoires()
{
    QFETCH(int, age);
    QFETCH(QString, etapes);
    QFETCH(QString, reponses);

    auto moment = [](const QString& t) {
        const bool veille = t.startsWith(QLatin1String("11/"));
        const QString h = veille ? t.mid(3) : t;
        return QDateTime(QDate(2024, 3, veille ? 11 : 12), QTime(h.left(2).toInt(), h.mid(2).toInt()), Qt::UTC);
    };
    Memoire_Alertes alertes(age);
    Spots_Partis partis;
    QStringList obtenues;
    for (const QString& etape : etapes.split(u';')) {
        const QStringList m = etape.simplified().split(u' ');
        const auto oui = [](bool b) { return b ? QStringLiteral("oui") : QStringLiteral("non"); };
        if (m[0] == QLatin1String("alerte")) {
            obtenues << oui(alertes.Alerter(m[1], m[2], moment(m[3])));
        } else if (m[0] == QLatin1String("part")) {
            partis.Partir(m[1], m[2], moment(m[3]));
        } else if (m[0] == QLatin1String("ajoute")) {
            obtenues << oui(partis.A_Ajouter(m[1], m[2], moment(m[3]), moment(m[4]), age));
        } else {
            alertes.Purger(moment(m[1]));
            partis.Purger(moment(m[1]), age);
            obtenues << QStringLiteral("%1/%2").arg(alertes.Nombre()).arg(partis.Nombre());
        }
    }
    QCOMPARE(obtenues.join(u' '), reponses);
}

// Each row: the spot's frequency, callsign, castle and comment as the operator gives them,
// and the line sent to the node (empty: none is sent).
void Tst_Spots::ligne_spot_data()
{
    QTest::addColumn<QString>("frequence");
    QTest::addColumn<QString>("indicatif");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("commentaire");
    QTest::addColumn<QString>("ligne");

    auto ligne = [](const char* nom, const char* f, const char* i, const char* r, const char* c, const char* l) {
        QTest::newRow(nom) << QString::fromUtf8(f) << QString::fromUtf8(i) << QString::fromUtf8(r) << QString::fromUtf8(c)
                           << QString::fromUtf8(l);
    };
    ligne("simple", "7012.0", "f5xyz/p", "29018", "tnx qso", "DX 7012.0 F5XYZ/P KVRT 29018 tnx qso");
    ligne("sans commentaire", "7012.0", "F5XYZ", "29018", "", "DX 7012.0 F5XYZ KVRT 29018");
    ligne("frequence entiere", "7012", "F5XYZ", "29018", "", "DX 7012.0 F5XYZ KVRT 29018");
    ligne("arrondi au dixieme", "14025.95", "F5XYZ", "29018", "", "DX 14026.0 F5XYZ KVRT 29018");
    ligne("deux decimales", "144300.04", "F5XYZ", "76003", "fm", "DX 144300.0 F5XYZ KVRT 76003 fm");
    ligne("corse minuscule", "7090.0", "TK5XYZ/P", "2a001", "", "DX 7090.0 TK5XYZ/P KVRT 2A001");
    ligne("blancs", "7012.0", " F5XYZ ", "29018", "  cw \t  up 2  ", "DX 7012.0 F5XYZ KVRT 29018 cw up 2");
    ligne("fin de ligne dans le commentaire", "7012.0", "F5XYZ", "29018", "cw\r\nbye\a", "DX 7012.0 F5XYZ KVRT 29018 cw bye");
    ligne("accents", "7012.0", "F5XYZ", "29018", "château de Kerjean", "DX 7012.0 F5XYZ KVRT 29018 chateau de Kerjean");
    ligne("coupe a trente", "7012.0", "F5XYZ", "29018", "qrv 40m cw ssb toute la journee",
          "DX 7012.0 F5XYZ KVRT 29018 qrv 40m cw ssb tout");
    ligne("coupe sur un blanc", "7012.0", "F5XYZ", "29018", "qrv 40m cw ssb upp khz", "DX 7012.0 F5XYZ KVRT 29018 qrv 40m cw ssb upp");
    ligne("frequence fausse", "7O12.0", "F5XYZ", "29018", "", "");
    ligne("indicatif a blanc", "7012.0", "F5 XYZ", "29018", "", "");
    ligne("reference fausse", "7012.0", "F5XYZ", "96001", "", "");
}

void Tst_Spots::ligne_spot()
{
    QFETCH(QString, frequence);
    QFETCH(QString, indicatif);
    QFETCH(QString, reference);
    QFETCH(QString, commentaire);
    QFETCH(QString, ligne);
    QCOMPARE(Regle_Spot::Ligne_Spot(frequence, indicatif, reference, commentaire), ligne);
}

void Tst_Spots::refus_spot_data()
{
    QTest::addColumn<QString>("station");
    QTest::addColumn<bool>("connecte");
    QTest::addColumn<bool>("refuse");

    QTest::newRow("pret") << "F4ABC" << true << false;
    QTest::newRow("station jamais choisie") << "FXXXX" << true << true;
    QTest::newRow("station vide") << " " << true << true;
    QTest::newRow("pas de noeud") << "F4ABC" << false << true;
}

void Tst_Spots::refus_spot()
{
    QFETCH(QString, station);
    QFETCH(bool, connecte);
    QFETCH(bool, refuse);
    QCOMPARE(!Regle_Spot::Refus_Spot(station, connecte).isEmpty(), refuse);
}

// Each row: a spot setting's key, the value a hand-edited store holds (null: none) and what
// its typed reading gives.
void Tst_Spots::reglages_data()
{
    QTest::addColumn<QString>("cle");
    QTest::addColumn<QString>("valeur");
    QTest::addColumn<QString>("lue");

    QTest::newRow("age absent") << "Age des spots" << QString() << "60";
    QTest::newRow("age") << "Age des spots" << " 45 " << "45";
    QTest::newRow("age d'un jour") << "Age des spots" << "1440" << "1440";
    QTest::newRow("age en lettres") << "Age des spots" << "une heure" << "60";
    QTest::newRow("age nul") << "Age des spots" << "0" << "60";
    QTest::newRow("age trop long") << "Age des spots" << "1441" << "60";
    QTest::newRow("bande absente") << "Bande Spots" << QString() << "Toutes";
    QTest::newRow("bande") << "Bande Spots" << "20 m" << "20 m";
    QTest::newRow("bande tapee") << "Bande Spots" << "160M" << "160 m";
    QTest::newRow("bande inconnue") << "Bande Spots" << "11 m" << "Toutes";
    QTest::newRow("secours") << "Cluster Secours" << " dxc2.exemple.fr:7300 " << "dxc2.exemple.fr:7300";
    QTest::newRow("adresse absente") << "Adresse liste chateaux" << QString() << "";
    QTest::newRow("adresse") << "Adresse liste chateaux" << "https://liste.exemple.org/chateaux.csv"
                             << "https://liste.exemple.org/chateaux.csv";
    QTest::newRow("adresse ftp") << "Adresse liste chateaux" << "ftp://liste.exemple.org/chateaux.csv" << "";
    QTest::newRow("adresse sans http") << "Adresse liste chateaux" << "liste.exemple.org/chateaux.csv" << "";
    QTest::newRow("adresse sans hote") << "Adresse liste chateaux" << "http://" << "";
}

void Tst_Spots::reglages()
{
    QFETCH(QString, cle);
    QFETCH(QString, valeur);
    QFETCH(QString, lue);

    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString fichier = dossier.filePath(QStringLiteral("r.ini"));
    if (!valeur.isNull()) {
        QSettings s(fichier, QSettings::IniFormat);
        s.setValue(QStringLiteral("Setup /") + cle, valeur);
    }
    const Reglages r(fichier);
    QString obtenue;
    if (cle == QLatin1String("Age des spots"))
        obtenue = QString::number(r.Age_Spots());
    else if (cle == QLatin1String("Bande Spots"))
        obtenue = r.Bande_Spots();
    else if (cle == QLatin1String("Cluster Secours"))
        obtenue = r.Cluster_Secours();
    else
        obtenue = r.Adresse_Liste_Chateaux();
    QCOMPARE(obtenue, lue);
}

void Tst_Spots::adresse_refusee()
{
    // A bad address typed is refused with its reason and keeps the one before; an empty one
    // clears it.
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    Reglages r(dossier.filePath(QStringLiteral("r.ini")));
    QString erreur;
    QVERIFY(r.Definir_Adresse_Liste_Chateaux(QStringLiteral(" http://liste.exemple.org/c.csv "), erreur));
    QVERIFY(!r.Definir_Adresse_Liste_Chateaux(QStringLiteral("file:///etc/passwd"), erreur));
    QVERIFY(erreur.contains(QLatin1String("file:///etc/passwd")));
    QCOMPARE(Reglages(r.Fichier()).Adresse_Liste_Chateaux(), QStringLiteral("http://liste.exemple.org/c.csv"));
    QVERIFY(r.Definir_Adresse_Liste_Chateaux(QString(), erreur));
    QCOMPARE(Reglages(r.Fichier()).Adresse_Liste_Chateaux(), QString());
}

QTEST_GUILESS_MAIN(Tst_Spots)
#include "tst_spots.moc"
