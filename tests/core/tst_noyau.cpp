// The record, its points, dates and the log file, without any window.

#include "Enregistrement.h"
#include "FichierLog.h"
#include "Forme_Log.h"
#include "Qso.h"
#include "Reglages.h"
#include "Reglages_Bruts.h"
#include "Series_Saison.h"
#include "Texte1252.h"
#include "Validation_Saisie.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

// FIFOs exist on Unix alone: the rows that make one are Linux's.
#ifdef Q_OS_WIN
#include <thread>
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Enregistrement;

namespace QTest {
template <>
char* toString(const Qso& q)
{
    return qstrdup(QStringLiteral("{%1|%2|%3|%4|%5}").arg(q.date, q.attente ? "*" : " ", q.reference, q.type, q.indicatif).toUtf8());
}
} // namespace QTest

class Tst_Noyau : public QObject
{
    Q_OBJECT

private slots:
    void ligne_log_data();
    void ligne_log();
    void ligne_liste_data();
    void ligne_liste();
    void qso_des_lignes_data();
    void qso_des_lignes();
    void qso_refuse_data();
    void qso_refuse();
    void points_data();
    void points();
    void exemple_quatorze_points();
    void format_date_data();
    void format_date();
    void date_comparable_data();
    void date_comparable();
    void departements_data();
    void departements();
    void ligne_score_data();
    void ligne_score();
    void texte_date_heure();
    void lignes_du_fichier_data();
    void lignes_du_fichier();
    void encodage_1252_data();
    void encodage_1252();
#ifdef Q_OS_LINUX
    void page_1252_comme_qt_data();
    void page_1252_comme_qt();
#endif
    void fichier_reecrit_atomiquement();
    void ecriture_qui_echoue();
    void erreurs_de_fichier();
    void autre_chose_qu_un_fichier_data();
    void autre_chose_qu_un_fichier();
    void log_d_un_editeur_data();
    void log_d_un_editeur();
    void causes_windows_data();
    void causes_windows();
    void log_par_un_lien_ou_en_lecture_seule();
#ifdef Q_OS_WIN
    void remplacement_retente_sous_windows();
#endif
    void reglages_lus_data();
    void reglages_lus();
    void reglages_ecrits();
    void reglages_valeur_inchangee_non_reecrite();
};

void Tst_Noyau::ligne_log_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("attente");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("indicatif");
    QTest::addColumn<QByteArray>("attendu");

    QTest::newRow("exemple chateau active")
        << "28/03/09" << false << "2A001" << "Chateau active" << "FXXXX"
        << QByteArray("28/03/09  2A001  Chateau active          FXXXX       ");
    QTest::newRow("marque en position 10")
        << "01/02/09" << true << "29001" << "Chateau Contacte" << "F1ABC"
        << QByteArray("01/02/09 *29001  Chateau Contacte        F1ABC       ");
    QTest::newRow("double sur 20 caracteres accentue")
        << "01/02/09" << false << "75001" << QString::fromUtf8("Double ou non validé") << "F1ABC"
        << QByteArray("01/02/09  75001  Double ou non valid\xe9    F1ABC       ");
    QTest::newRow("indicatif de 12 sans blanc final")
        << "01/02/09" << false << "01001" << "Operateur reactivation" << "F1ABC_P12345"
        << QByteArray("01/02/09  01001  Operateur reactivation  F1ABC_P12345");
    QTest::newRow("champs vides")
        << "01/02/09" << false << "" << "" << ""
        << QByteArray("01/02/09                                             ");
}

void Tst_Noyau::ligne_log()
{
    QFETCH(QString, date);
    QFETCH(bool, attente);
    QFETCH(QString, reference);
    QFETCH(QString, type);
    QFETCH(QString, indicatif);
    QFETCH(QByteArray, attendu);
    const QString ligne = Construire_Ligne_Log(date, attente, reference, type, indicatif);
    QCOMPARE(ligne.size(), 53);
    QCOMPARE(Texte1252::Encoder(ligne), attendu);
    // Cutting by position gives back every field.
    QCOMPARE(Champ(ligne, 1, 8).toString(), date);
    QCOMPARE(Champ_Nettoye(ligne, 11, 5), reference);
    QCOMPARE(Champ_Nettoye(ligne, 18, 22), type);
    QCOMPARE(Champ_Nettoye(ligne, 42, 12), indicatif);
}

void Tst_Noyau::ligne_liste_data()
{
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("enregistrement");
    QTest::addColumn<QString>("attendu");

    const QString r = QStringLiteral("28/03/09 *2A001  Chateau active          FXXXX       ");
    QTest::newRow("premiere") << 1 << r << QStringLiteral("    1   ") + r;
    QTest::newRow("onzieme") << 11 << r << QStringLiteral("   11   ") + r;
    QTest::newRow("cinq chiffres") << 99999 << r << QStringLiteral("99999   ") + r;
    QTest::newRow("ligne longue coupee a 53") << 2 << r + QStringLiteral("XXXXXXXX") << QStringLiteral("    2   ") + r;
    QTest::newRow("ligne courte") << 3 << QStringLiteral("28/03/09") << QStringLiteral("    3   28/03/09");
    QTest::newRow("ligne vide") << 4 << QString() << QStringLiteral("    4   ");
}

void Tst_Noyau::ligne_liste()
{
    QFETCH(int, numero);
    QFETCH(QString, enregistrement);
    QFETCH(QString, attendu);
    const QString ligne = Construire_Ligne_Liste(numero, enregistrement);
    QCOMPARE(ligne, attendu);
    if (enregistrement.size() >= 15) {
        // Characters 18-23 of a list line are the mark and the reference.
        QCOMPARE(Champ(ligne, 18, 6).toString(), QStringLiteral("*2A001"));
        QVERIFY(!Ligne_Liste_Vide(ligne));
    } else {
        QVERIFY(Ligne_Liste_Vide(ligne));
    }
}

void Tst_Noyau::qso_des_lignes_data()
{
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<Qso>("qso");

    QTest::newRow("chateau active") << QStringLiteral("28/03/09  2A001  Chateau active          F5XYZ/P     ")
                                    << Qso{"28/03/09", false, "2A001", "Chateau active", "F5XYZ/P"};
    QTest::newRow("en attente, indicatif de 12")
        << QStringLiteral("01/02/09 *29001  Operateur reactivation  F1ABC_P12345")
        << Qso{"01/02/09", true, "29001", "Operateur reactivation", "F1ABC_P12345"};
    // Only blanks go from the ends of a field; the date stays as it stands.
    QTest::newRow("blancs autour, date abimee") << QStringLiteral(" 1/02/9   290    Chateau  Contacte       F1A")
                                                << Qso{" 1/02/9 ", false, "290", "Chateau  Contacte", "F1A"};
    QTest::newRow("tabulation gardee") << QStringLiteral("01/02/09  \t2900  Chateau Contacte        F1ABC")
                                       << Qso{"01/02/09", false, "\t2900", "Chateau Contacte", "F1ABC"};
    QTest::newRow("autre marque que l'etoile") << QStringLiteral("01/02/09 #29001") << Qso{"01/02/09", false, "29001", "", ""};
    QTest::newRow("ligne coupee apres la date") << QStringLiteral("01/02/09") << Qso{"01/02/09", false, "", "", ""};
    QTest::newRow("vide") << QString() << Qso();
}

void Tst_Noyau::qso_des_lignes()
{
    QFETCH(QString, ligne);
    QFETCH(Qso, qso);
    QCOMPARE(Qso::De_Ligne_Log(ligne), qso);
    // A line of the main list is the record behind its number.
    QCOMPARE(Qso::De_Ligne_Liste(Construire_Ligne_Liste(7, ligne)), qso);
    QCOMPARE(Qso::De_Ligne_Liste(QStringLiteral("    7")), Qso());
    // Written again, a whole record gives the same line, blanks and all.
    if (ligne.size() == Longueur_Ligne_Log && qso.date.trimmed() == qso.date)
        QCOMPARE(qso.Ligne_Log(), ligne);
}

void Tst_Noyau::qso_refuse_data()
{
    QTest::addColumn<Qso>("qso");
    QTest::addColumn<QString>("refus");

    const QString debut = QStringLiteral("QSO non enregistré : ");
    const QString date = debut + "la date doit comporter 8 caractères (JJ/MM/AA)";
    const QString illisible = QStringLiteral(" comporte un caractère qui ne peut pas être écrit dans le log");
    QTest::newRow("tout a sa largeur") << Qso{"01/02/09", true, "2A001", "Operateur reactivation", "F1ABC_P12345"} << QString();
    QTest::newRow("champs vides mais la date") << Qso{"01/02/09", false, "", "", ""} << QString();
    QTest::newRow("date de 7") << Qso{"1/02/09", false, "29001", "Chateau active", "F1ABC"} << date;
    QTest::newRow("date de 9") << Qso{"01/02/009", false, "29001", "Chateau active", "F1ABC"} << date;
    QTest::newRow("la date d'abord") << Qso{"01/02/0", false, "290011", "", "F1ABC_P123456"} << date;
    QTest::newRow("reference de 6") << Qso{"01/02/09", false, "290011", "Chateau active", "F1ABC"}
                                    << debut + "le N° KVRT comporte plus de 5 caractères";
    QTest::newRow("type de 23") << Qso{"01/02/09", false, "29001", "Operateur reactivationX", "F1ABC"}
                                << debut + "le type d'activité comporte plus de 22 caractères";
    QTest::newRow("indicatif de 13") << Qso{"01/02/09", false, "29001", "Chateau active", "F1ABC_P123456"}
                                     << debut + "l'indicatif comporte plus de 12 caractères";
    QTest::newRow("fin de ligne collee") << Qso{"01/02/09", false, "29001", "Chateau active", "F1A\r\nB"} << debut + "l'indicatif" + illisible;
    QTest::newRow("hors de la page de code") << Qso{"01/02/09", false, "29001", QString::fromUtf8("Château ☺"), "F1ABC"}
                                             << debut + "le type d'activité" + illisible;
}

void Tst_Noyau::qso_refuse()
{
    QFETCH(Qso, qso);
    QFETCH(QString, refus);
    QCOMPARE(Validation_Saisie::Refus_Qso(qso), refus);
}

void Tst_Noyau::points_data()
{
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<int>("points");

    const QStringList& types = Types_Activite();
    const int attendus[] = {2, 1, 1, 6, 3, 3, 6, 3, 0};
    for (int i = 0; i < types.size(); ++i) {
        QTest::addRow("type %d", i) << Construire_Ligne_Log("01/01/09", false, "01001", types.at(i), "F1ABC") << attendus[i];
        QTest::addRow("type %d marque", i) << Construire_Ligne_Log("01/01/09", true, "01001", types.at(i), "F1ABC") << 0;
    }
    QTest::newRow("Double seul") << Construire_Ligne_Log("01/01/09", false, "01001", "Double", "F1ABC") << 0;
    QTest::newRow("casse differente") << Construire_Ligne_Log("01/01/09", false, "01001", "chateau active", "F1ABC") << 0;
    QTest::newRow("blanc double interieur") << Construire_Ligne_Log("01/01/09", false, "01001", "Chateau  active", "F1ABC") << 0;
    QTest::newRow("accent ajoute") << Construire_Ligne_Log("01/01/09", false, "01001", QString::fromUtf8("Chateau activé"), "F1ABC") << 0;
    QTest::newRow("blancs autour du type") << QStringLiteral("01/01/09  01001    Chateau active        F1ABC") << 6;
    QTest::newRow("plus courte que 18") << QStringLiteral("01/01/09  01001") << 0;
    QTest::newRow("vide") << QString() << 0;
    QTest::newRow("type coupe en fin de ligne") << QStringLiteral("01/01/09  01001  Chateau active") << 6;
    QTest::newRow("autre caractere en 10") << QStringLiteral("01/01/09 #01001  Chateau active") << 6;
}

void Tst_Noyau::points()
{
    QFETCH(QString, ligne);
    QFETCH(int, points);
    QCOMPARE(Points_Ligne(ligne), points);
}

void Tst_Noyau::exemple_quatorze_points()
{
    const QStringList log = {
        Construire_Ligne_Log("01/01/09", false, "01001", "Chateau Contacte", "F1A"),
        Construire_Ligne_Log("01/01/09", false, "01002", "Chateau active", "F1A"),
        Construire_Ligne_Log("01/01/09", false, "01003", "Operateur activation", "F1A"),
        Construire_Ligne_Log("01/01/09", true, "01004", "Resident active", "F1A"),
        Construire_Ligne_Log("01/01/09", false, "01005", QString::fromUtf8("Double ou non validé"), "F1A"),
    };
    int total = 0;
    for (const QString& l : log)
        total += Points_Ligne(l);
    QCOMPARE(total, 14);
}

void Tst_Noyau::format_date_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("resultat");
    QTest::newRow("bonne") << "12/03/09" << 0;
    QTest::newRow("tirets") << "12-03-09" << 1;
    QTest::newRow("lettre") << "1A/03/09" << 1;
    QTest::newRow("31 fevrier passe") << "31/02/09" << 0;
    QTest::newRow("99/99 passe") << "99/99/09" << 0;
    QTest::newRow("derniere position") << "12/03/0X" << 1;
    QTest::newRow("chiffre arabe indien") << QString::fromUtf8("12/03/0\u0663") << 1;
    // A "/" is no digit: the separator test alone would let these through.
    QTest::newRow("barre a la place du deuxieme chiffre du jour") << "1//03/09" << 1;
    QTest::newRow("barre a la place du deuxieme chiffre du mois") << "12/0//09" << 1;
    QTest::newRow("barre a la place du premier chiffre de l'annee") << "12/03//9" << 1;
    QTest::newRow("barre a la place du dernier chiffre") << "12/03/0/" << 1;
    QTest::newRow("deux points juste apres le 9") << "12/03/0:" << 1;
}

void Tst_Noyau::format_date()
{
    QFETCH(QString, texte);
    QFETCH(int, resultat);
    QCOMPARE(Controle_Format_Date(texte), resultat);
}

void Tst_Noyau::date_comparable_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<bool>("lisible");
    QTest::addColumn<int>("valeur");
    QTest::newRow("2009") << "28/03/09" << true << 20090328;
    QTest::newRow("49 donne 2049") << "01/01/49" << true << 20490101;
    QTest::newRow("50 donne 1950") << "01/01/50" << true << 19500101;
    QTest::newRow("98") << "15/06/98" << true << 19980615;
    QTest::newRow("31 fevrier a sa place") << "31/02/09" << true << 20090231;
    QTest::newRow("ligne vide") << "" << false << 0;
    QTest::newRow("texte etranger") << "Bonjour tout le monde" << false << 0;
    QTest::newRow("courte") << "28/03/0" << false << 0;
}

void Tst_Noyau::date_comparable()
{
    QFETCH(QString, texte);
    QFETCH(bool, lisible);
    QFETCH(int, valeur);
    int v = 0;
    QCOMPARE(Date_Comparable(texte, v), lisible);
    if (lisible)
        QCOMPARE(v, valeur);
    // Day, month and year order: a later month of an earlier day still comes after.
    int a = 0, b = 0;
    QVERIFY(Date_Comparable(QStringLiteral("31/01/09"), a));
    QVERIFY(Date_Comparable(QStringLiteral("01/02/09"), b));
    QVERIFY(a < b);
}

void Tst_Noyau::departements_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("numero");
    QTest::addColumn<int>("caseCarte");
    QTest::newRow("01") << "01" << 1 << 1;
    QTest::newRow("75") << "75" << 75 << 75;
    QTest::newRow("2A") << "2A" << 96 << 96;
    QTest::newRow("2a") << "2a" << 96 << 96;
    QTest::newRow("2B") << "2B" << 97 << 97;
    QTest::newRow("2b") << "2b" << 97 << 97;
    QTest::newRow("97") << "97" << 97 << 97;
    QTest::newRow("00") << "00" << 0 << 0;
    QTest::newRow("AB") << "AB" << 0 << -1;
    QTest::newRow("1A") << "1A" << 1 << -1;
    QTest::newRow("vide") << "" << 0 << -1;
    QTest::newRow("un seul chiffre") << "7" << 7 << -1;
}

void Tst_Noyau::departements()
{
    QFETCH(QString, code);
    QFETCH(int, numero);
    QFETCH(int, caseCarte);
    QCOMPARE(Numero_Departement(code), numero);
    QCOMPARE(Case_Departement(code), caseCarte);
}

void Tst_Noyau::ligne_score_data()
{
    QTest::addColumn<int>("departements");
    QTest::addColumn<QString>("texte");
    QTest::newRow("aucun") << 0 << QStringLiteral("Points : 14 validés · 6 en attente · 0 département");
    QTest::newRow("un seul") << 1 << QStringLiteral("Points : 14 validés · 6 en attente · 1 département");
    QTest::newRow("deux") << 2 << QStringLiteral("Points : 14 validés · 6 en attente · 2 départements");
    QTest::newRow("cent un") << 101 << QStringLiteral("Points : 14 validés · 6 en attente · 101 départements");
}

void Tst_Noyau::ligne_score()
{
    QFETCH(int, departements);
    QFETCH(QString, texte);
    Series_Saison::Bilan b;
    b.points = 14;
    b.en_attente = 6;
    b.departements = departements;
    QCOMPARE(Series_Saison::Texte_Bilan(b), texte);
}

void Tst_Noyau::texte_date_heure()
{
    QCOMPARE(Texte_Date(QDate(2009, 3, 7)), QStringLiteral("07/03/09"));
    QCOMPARE(Texte_Date(QDate(2000, 1, 1)), QStringLiteral("01/01/00"));
    QCOMPARE(Texte_Date_Longue(QDate(2009, 3, 7)), QStringLiteral("07/03/2009"));
    QCOMPARE(Texte_Heure(QTime(9, 5, 0)), QStringLiteral("09:05:00"));
    QCOMPARE(Texte_Heure(QTime(23, 59, 59)), QStringLiteral("23:59:59"));
}

void Tst_Noyau::lignes_du_fichier_data()
{
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QList<QByteArray>>("lignes");
    QTest::newRow("vide") << QByteArray() << QList<QByteArray>{};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("lf seul") << QByteArray("a\nb\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("sans fin de ligne finale") << QByteArray("a\r\nb") << QList<QByteArray>{"a", "b"};
    QTest::newRow("lignes vides gardees") << QByteArray("a\r\n\r\nb\r\n") << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("cr isole garde") << QByteArray("a\rb\r\n") << QList<QByteArray>{"a\rb"};
    QTest::newRow("nul garde") << QByteArray("a\0b\r\n", 5) << QList<QByteArray>{QByteArray("a\0b", 3)};
}

void Tst_Noyau::encodage_1252_data()
{
    QTest::addColumn<QString>("texte");
    QTest::addColumn<bool>("representable");
    QTest::addColumn<QByteArray>("octets");
    QTest::newRow("ascii") << QStringLiteral("F5XYZ") << true << QByteArray("F5XYZ");
    QTest::newRow("e accent aigu") << QString::fromUtf8("é") << true << QByteArray("\xe9");
    QTest::newRow("euro, dans la page 1252") << QString::fromUtf8("€") << true << QByteArray("\x80");
    QTest::newRow("y trema, dernier octet") << QString::fromUtf8("ÿ") << true << QByteArray("\xff");
    QTest::newRow("oe lie") << QString::fromUtf8("Œ") << true << QByteArray("\x8c");
    // Letters below U+2200 that the code page lacks: never a NUL byte in the log.
    QTest::newRow("L barre polonais") << QString::fromUtf8("FŁ1ABC") << false << QByteArray("F?1ABC");
    QTest::newRow("l barre minuscule") << QString::fromUtf8("ł") << false << QByteArray("?");
    QTest::newRow("cyrillique") << QString::fromUtf8("RЖ3A") << false << QByteArray("R?3A");
    QTest::newRow("grec") << QString::fromUtf8("SVΩ1") << false << QByteArray("SV?1");
    QTest::newRow("c caron") << QString::fromUtf8("Č") << false << QByteArray("?");
    QTest::newRow("pour tout, U+2200") << QString::fromUtf8("∀") << false << QByteArray("?");
}

void Tst_Noyau::encodage_1252()
{
    QFETCH(QString, texte);
    QFETCH(bool, representable);
    QFETCH(QByteArray, octets);
    QCOMPARE(Texte1252::Representable(texte), representable);
    const QByteArray encode = Texte1252::Encoder(texte);
    QCOMPARE(encode, octets);
    QVERIFY(!encode.contains('\0'));
    if (representable)
        QCOMPARE(Texte1252::Decoder(encode), texte);
}

#ifdef Q_OS_LINUX
// The code page is our own table; Qt's codec, which only a Qt built with ICU has (as Debian's
// is), must agree with it byte for byte both ways, so that no log changes by its bytes.
void Tst_Noyau::page_1252_comme_qt_data()
{
    QTest::addColumn<int>("premier");
    QTest::addColumn<int>("dernier");
    QTest::newRow("ascii") << 0x0000 << 0x007F;
    QTest::newRow("controles C1 et page 0x80") << 0x0080 << 0x009F;
    QTest::newRow("latin-1") << 0x00A0 << 0x00FF;
    QTest::newRow("latin etendu, lettres modificatives") << 0x0100 << 0x1FFF;
    QTest::newRow("ponctuation, euro, marque") << 0x2000 << 0x21FF;
    QTest::newRow("au-dela de la table inverse") << 0x2200 << 0xD7FF;
    QTest::newRow("demi-caracteres UTF-16") << 0xD800 << 0xDFFF;
    QTest::newRow("usage prive et formes") << 0xE000 << 0xFFFF;
}

void Tst_Noyau::page_1252_comme_qt()
{
    static_assert(Texte1252::Vers_Unicode[0x80] == u'\u20AC' && Texte1252::Vers_Unicode[0x9F] == u'\u0178',
                  "the code page is known at compile time");
    QFETCH(int, premier);
    QFETCH(int, dernier);
    QStringDecoder qtDecodeur("windows-1252");
    QVERIFY2(qtDecodeur.isValid(), "Qt without ICU: no windows-1252 codec to compare with");
    if (premier < 256) {
        QByteArray octets;
        for (int i = premier; i <= dernier; ++i)
            octets.append(char(i));
        QCOMPARE(Texte1252::Decoder(octets), qtDecodeur.decode(octets));
        QVERIFY(!qtDecodeur.hasError());
    }
    QString tous;
    QByteArray attendu;
    for (int u = premier; u <= dernier; ++u) {
        const QChar c{char16_t(u)};
        QStringEncoder qtEncodeur("windows-1252");
        const QByteArray b = qtEncodeur.encode(QStringView(&c, 1));
        const bool aUnOctet = !qtEncodeur.hasError() && b.size() == 1 && !c.isSurrogate();
        QCOMPARE(Texte1252::Representable(QStringView(&c, 1)), aUnOctet);
        QCOMPARE(Texte1252::Encoder(QStringView(&c, 1)), aUnOctet ? b : QByteArray("?"));
        tous.append(c);
        attendu.append(aUnOctet ? b : QByteArray("?"));
    }
    // A whole text at once gives the same bytes as each character alone.
    QCOMPARE(Texte1252::Encoder(tous), attendu);
}
#endif

void Tst_Noyau::lignes_du_fichier()
{
    QFETCH(QByteArray, contenu);
    QFETCH(QList<QByteArray>, lignes);
    QCOMPARE(Texte1252::Couper_Lignes(contenu), lignes);
}

void Tst_Noyau::fichier_reecrit_atomiquement()
{
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    // Every byte value survives a read and a rewrite, line ends becoming CR LF.
    QByteArray tous;
    for (int i = 0; i < 256; ++i)
        if (i != '\n' && i != '\r')
            tous.append(char(i));
    {
        QFile f(log);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(tous + "\nfin");
    }
    QList<QByteArray> lignes;
    QVERIFY(FichierLog::Lire(log, lignes).ok());
    QCOMPARE(lignes.size(), 2);
    QCOMPARE(Texte1252::Encoder(Texte1252::Decoder(lignes.at(0))), tous);
    const ErreurFichier reecrit = FichierLog::Reecrire(log, lignes);
    QVERIFY2(reecrit.ok(), qPrintable(reecrit.message));
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), tous + "\r\nfin\r\n");
    // No temporary file is left behind.
    QCOMPARE(QDir(dossier.path()).entryList(QDir::Files).size(), 1);

    QVERIFY(FichierLog::Ajouter(log, "encore").ok());
    f.seek(0);
    QCOMPARE(f.readAll(), tous + "\r\nfin\r\nencore\r\n");
}

// A device that accepts a number of bytes, then fails, as a full disk does.
class Sortie_Limitee : public QBuffer
{
public:
    explicit Sortie_Limitee(qint64 limite) : m_limite(limite) {}

protected:
    qint64 writeData(const char* donnees, qint64 taille) override
    {
        if (pos() + taille > m_limite)
            return -1;
        return QBuffer::writeData(donnees, taille);
    }

private:
    qint64 m_limite;
};

void Tst_Noyau::ecriture_qui_echoue()
{
    QList<QByteArray> lignes;
    for (int i = 0; i < 5000; ++i)
        lignes.append(QByteArray(53, 'x'));
    Sortie_Limitee sortie(1000);
    QVERIFY(sortie.open(QIODevice::WriteOnly));
    const ErreurFichier e = FichierLog::Ecrire(sortie, lignes, QStringLiteral("/tmp/essai.txt"));
    QVERIFY(!e.ok());
    QVERIFY2(e.message.contains(QStringLiteral("essai.txt")), qPrintable(e.message));
    QVERIFY(e.message.startsWith(QStringLiteral("Erreur N° ")));
}

void Tst_Noyau::erreurs_de_fichier()
{
    QTemporaryDir dossier;
    QList<QByteArray> lignes;
    // Missing file: 53, the number the recovery window answers to.
    ErreurFichier e = FichierLog::Lire(dossier.filePath(QStringLiteral("absent.txt")), lignes);
    QCOMPARE(e.numero, 53);
    QVERIFY(e.message.contains(QStringLiteral("fichier introuvable")));
    // A directory in place of the log.
    QVERIFY(QDir(dossier.path()).mkdir(QStringLiteral("log.txt")));
    const QString repertoire = dossier.filePath(QStringLiteral("log.txt"));
    QCOMPARE(FichierLog::Lire(repertoire, lignes).numero, 75);
    QVERIFY(!FichierLog::Ajouter(repertoire, "x").ok());
    QVERIFY(!FichierLog::Reecrire(repertoire, {"x"}).ok());
    QVERIFY(QFileInfo(repertoire).isDir());
    // A missing directory.
    const QString ailleurs = dossier.filePath(QStringLiteral("nulle/part/log.txt"));
    QCOMPARE(FichierLog::Ajouter(ailleurs, "x").numero, 75);
    QVERIFY(!QFile::exists(ailleurs));
    // Copying a missing template creates nothing.
    const QString cible = dossier.filePath(QStringLiteral("nouveau.txt"));
    QCOMPARE(FichierLog::Copier(dossier.filePath(QStringLiteral("modele.txt")), cible).numero, 53);
    QVERIFY(!QFile::exists(cible));
#ifdef Q_OS_LINUX
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        // A full disk, met while writing.
        QFile plein(QStringLiteral("/dev/full"));
        QVERIFY(plein.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        e = FichierLog::Ecrire(plein, {"x"}, plein.fileName());
        QCOMPARE(e.numero, 61);
        QVERIFY(e.message.contains(QStringLiteral("disque plein")));
        // The device itself in place of the log is no file: refused before any write.
        QCOMPARE(FichierLog::Ajouter(QStringLiteral("/dev/full"), "x").numero, 75);
    }
#endif
}

void Tst_Noyau::autre_chose_qu_un_fichier_data()
{
    QTest::addColumn<QString>("sorte");
    QTest::addColumn<QString>("operation");
#ifdef Q_OS_UNIX
    const auto sortes = {"dossier", "fifo"};
#else
    const auto sortes = {"dossier"};
#endif
    for (const char* sorte : sortes)
        for (const char* operation : {"lire", "ajouter", "reecrire", "copier"})
            QTest::addRow("%s %s", sorte, operation) << QString::fromLatin1(sorte) << QString::fromLatin1(operation);
}

void Tst_Noyau::autre_chose_qu_un_fichier()
{
    QFETCH(QString, sorte);
    QFETCH(QString, operation);
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
#ifdef Q_OS_UNIX
    int lecteur = -1;
#endif
    if (sorte == QLatin1String("dossier")) {
        QVERIFY(QDir().mkdir(log));
    } else {
#ifdef Q_OS_UNIX
        QVERIFY(::mkfifo(QFile::encodeName(log).constData(), 0600) == 0);
        // A reader that never blocks: it shows whatever a write put into the FIFO.
        lecteur = ::open(QFile::encodeName(log).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(lecteur >= 0);
#endif
    }
    const QString modele = dossier.filePath(QStringLiteral("FXXXX_Challenge_KVRT.txt"));
    {
        QFile f(modele);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("01/03/09  29001  Chateau Contacte        F5AAA       \r\n");
    }
    const QByteArray ligne("28/03/09  2A001  Chateau active          F5XYZ       ");
    ErreurFichier e;
    QList<QByteArray> lignes;
    if (operation == QLatin1String("lire"))
        e = FichierLog::Lire(log, lignes);
    else if (operation == QLatin1String("ajouter"))
        e = FichierLog::Ajouter(log, ligne);
    else if (operation == QLatin1String("reecrire"))
        e = FichierLog::Reecrire(log, {ligne, ligne});
    else
        e = FichierLog::Copier(modele, log);
    QCOMPARE(e.numero, 75);
    QVERIFY2(e.message.startsWith(QStringLiteral("Erreur N° 75 : ")), qPrintable(e.message));
    QVERIFY(e.message.contains(QDir::toNativeSeparators(log)));
    QVERIFY(e.message.contains(QStringLiteral("chemin ou fichier inaccessible")));
    // Nothing went into it, and it is still what it was.
    if (sorte == QLatin1String("dossier")) {
        QVERIFY(QFileInfo(log).isDir());
        QVERIFY(QDir(log).isEmpty());
    } else {
#ifdef Q_OS_UNIX
        char octets[256];
        QVERIFY(::read(lecteur, octets, sizeof octets) <= 0);
        ::close(lecteur);
        QVERIFY(!QFileInfo(log).isFile() && QFileInfo::exists(log));
#endif
    }
    // No temporary file was left beside it either.
    QCOMPARE(QDir(dossier.path()).entryList(QDir::Files | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
}

// A log of the program: accented type, a waiting QSO, a 12-character callsign, Corsica.
static QByteArray Log_Du_Programme()
{
    return QByteArray("01/03/09  29001  Chateau active          F6ABC       \r\n"
                      "02/03/09 *2A012  Chateau Contacte        F5XYZ       \r\n"
                      "03/03/09  35007  Double ou non valid\xe9    F4ABCDEFGHIJ\r\n"
                      "04/03/09  56100  Chateau Contacte        F1AAA/P     \r\n");
}

void Tst_Noyau::log_d_un_editeur_data()
{
    // The same log saved again by text editors: what the program reads must not change.
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<bool>("etrangere");
    const QByteArray log = Log_Du_Programme();
    const QByteArray utf8 = QString::fromLatin1(log).toUtf8();
    const QByteArray lf = QByteArray(log).replace("\r\n", "\n");
    QByteArray sansBlancs;
    for (const QByteArray& l : Texte1252::Couper_Lignes(log))
        sansBlancs += l.trimmed() + "\r\n";
    QTest::newRow("tel quel") << log << false;
    QTest::newRow("UTF-8 avec marque (Bloc-notes)") << "\xEF\xBB\xBF" + utf8 << true;
    QTest::newRow("UTF-8 sans marque") << utf8 << true;
    QTest::newRow("UTF-8 et LF") << QByteArray(utf8).replace("\r\n", "\n") << true;
    QTest::newRow("fins LF") << lf << true;
    QTest::newRow("fins CR") << QByteArray(log).replace("\r\n", "\r") << true;
    QTest::newRow("fins melangees") << log.left(55) + lf.mid(54) << true;
    const QString texte = QString::fromLatin1(log);
    QTest::newRow("UTF-16 LE avec marque (Bloc-notes, Unicode)")
        << "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(texte)) << true;
    QTest::newRow("UTF-16 BE avec marque, fins LF, sans la derniere")
        << "\xFE\xFF" + QByteArray(QStringEncoder(QStringEncoder::Utf16BE).encode(QString::fromLatin1(lf.chopped(1)))) << true;
    QTest::newRow("marque UTF-8 devant du Windows-1252") << "\xEF\xBB\xBF" + log << true;
    // Each end ends its line, in any order; a lone CR before a record is one of them.
    const QList<QByteArray> l = Texte1252::Couper_Lignes(log);
    QTest::newRow("fins CR puis LF") << l[0] + "\r" + l[1] + "\r" + l[2] + "\n" + l[3] + "\n" << true;
    QTest::newRow("fins LF puis CR") << l[0] + "\n" + l[1] + "\r" + l[2] + "\r" + l[3] + "\r" << true;
    QTest::newRow("CR, LF et CR LF") << l[0] + "\r" + l[1] + "\n" + l[2] + "\r\n" + l[3] << true;
    QTest::newRow("derniere fin de ligne otee") << log.chopped(2) << false;
    QTest::newRow("blancs de fin retires") << sansBlancs << false;
}

void Tst_Noyau::log_d_un_editeur()
{
    QFETCH(QByteArray, octets);
    QFETCH(bool, etrangere);
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(octets);
    f.close();
    const QByteArray original = Log_Du_Programme();
    QByteArray lu;
    QVERIFY(FichierLog::Lire_Tout(chemin, lu).ok());
    // The points, the waiting castle and the departements, as for the program's own file:
    // 15 points, 1 waiting, 4 departements.
    const Series_Saison::Bilan b = Series_Saison::Calculer_Bilan(lu);
    QCOMPARE(Series_Saison::Texte_Bilan(b), Series_Saison::Texte_Bilan(Series_Saison::Calculer_Bilan(original)));
    QCOMPARE(b.qso, 4);
    const QList<QByteArray> lignes = Texte1252::Couper_Lignes(lu);
    const QList<QByteArray> attendues = Texte1252::Couper_Lignes(original);
    QCOMPARE(lignes.size(), attendues.size());
    for (int i = 0; i < lignes.size(); ++i)
        QCOMPARE(lignes.at(i), attendues.at(i).left(lignes.at(i).size()));
    const Forme_Log::Examen e = Forme_Log::Examiner(octets);
    QCOMPARE(e.Etrangere(), etrangere);
    // Written back, the program's own form, and nothing more to do.
    const QByteArray remis = Forme_Log::Remettre(octets);
    QVERIFY(Forme_Log::Examiner(remis).Propre());
    QCOMPARE(Forme_Log::Remettre(remis), remis);
    QCOMPARE(remis, lu);
}

void Tst_Noyau::causes_windows_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("passager");
    QTest::newRow("ERROR_FILE_NOT_FOUND") << 2u << 53 << "fichier introuvable" << false;
    QTest::newRow("ERROR_PATH_NOT_FOUND") << 3u << 75 << "chemin ou fichier inaccessible" << false;
    QTest::newRow("ERROR_ACCESS_DENIED") << 5u << 70 << "permission refusée" << true;
    QTest::newRow("ERROR_WRITE_PROTECT") << 19u << 70 << "disque protégé en écriture" << false;
    QTest::newRow("ERROR_SHARING_VIOLATION") << 32u << 70 << "fichier utilisé par un autre programme" << true;
    QTest::newRow("ERROR_LOCK_VIOLATION") << 33u << 70 << "fichier utilisé par un autre programme" << true;
    QTest::newRow("ERROR_USER_MAPPED_FILE") << 1224u << 70 << "fichier utilisé par un autre programme" << true;
    QTest::newRow("ERROR_HANDLE_DISK_FULL") << 39u << 61 << "disque plein" << false;
    QTest::newRow("ERROR_DISK_FULL") << 112u << 61 << "disque plein" << false;
    QTest::newRow("ERROR_DISK_QUOTA_EXCEEDED") << 1295u << 61 << "quota du disque dépassé" << false;
    QTest::newRow("ERROR_NETNAME_DELETED") << 64u << 75 << "dossier réseau inaccessible" << false;
    QTest::newRow("ERROR_CRC") << 23u << 57 << "erreur d'entrée/sortie du périphérique, code Windows 23" << false;
}

void Tst_Noyau::causes_windows()
{
    // What GetLastError gives after a failed rename or write, as the operator reads it.
    QFETCH(uint, code);
    QFETCH(int, numero);
    QFETCH(QString, cause);
    QFETCH(bool, passager);
    const FichierLog::Cause_Systeme c = FichierLog::Cause_Windows(code);
    QCOMPARE(c.numero, numero);
    QCOMPARE(c.texte, cause);
    QCOMPARE(FichierLog::Passager_Windows(code), passager);
}

void Tst_Noyau::log_par_un_lien_ou_en_lecture_seule()
{
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    QFile f(log);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Log_Du_Programme());
    f.close();
    // Made read-only by its owner: refused before anything is written, whoever runs it.
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ErreurFichier e = FichierLog::Verifier_Modifiable(log, QStringLiteral("impossible de modifier"));
    QCOMPARE(e.numero, 70);
    QVERIFY2(e.message.contains(QDir::toNativeSeparators(log)) && e.message.contains(QStringLiteral("lecture seule")),
             qPrintable(e.message));
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(FichierLog::Verifier_Modifiable(log, QString()).ok());
    QVERIFY(FichierLog::Verifier_Modifiable(dossier.filePath(QStringLiteral("nouveau.txt")), QString()).ok());
#ifdef Q_OS_UNIX
    // Kept in a synced folder and linked into the program folder: the rewrite goes to the
    // real file, its temporary file beside it, and the link stays a link.
    QVERIFY(QDir(dossier.path()).mkpath(QStringLiteral("programme")));
    const QString lien = dossier.filePath(QStringLiteral("programme/F1ABC_Challenge_KVRT_2009.txt"));
    QVERIFY(QFile::link(log, lien));
    QCOMPARE(FichierLog::Chemin_Reel(lien), log);
    QVERIFY(FichierLog::Reecrire_Octets(lien, "nouveau\r\n").ok());
    QVERIFY(QFileInfo(lien).isSymLink());
    QFile reel(log);
    QVERIFY(reel.open(QIODevice::ReadOnly));
    QCOMPARE(reel.readAll(), QByteArray("nouveau\r\n"));
    QVERIFY(FichierLog::Ajouter(lien, "encore").ok());
    QVERIFY(QFileInfo(lien).isSymLink());
    QCOMPARE(QDir(dossier.filePath(QStringLiteral("programme"))).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{QStringLiteral("F1ABC_Challenge_KVRT_2009.txt")});
    reel.seek(0);
    QCOMPARE(reel.readAll(), QByteArray("nouveau\r\nencore\r\n"));
#endif
}

#ifdef Q_OS_WIN
void Tst_Noyau::remplacement_retente_sous_windows()
{
    // Another program (an antivirus, an indexer) holds the log for a moment: the rewrite waits
    // for it. One that holds it for good gets the real cause, and the log stays as it was.
    QTemporaryDir dossier;
    const QString log = dossier.filePath(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    QVERIFY(FichierLog::Reecrire_Octets(log, "ancien\r\n").ok());
    auto tenir = [&] {
        return CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(log).utf16()), GENERIC_READ, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE h = tenir();
    QVERIFY(h != INVALID_HANDLE_VALUE);
    std::thread lache([h] {
        Sleep(300);
        CloseHandle(h);
    });
    const ErreurFichier apresAttente = FichierLog::Reecrire_Octets(log, "nouveau\r\n");
    lache.join();
    QVERIFY2(apresAttente.ok(), qPrintable(apresAttente.message));
    h = tenir();
    QVERIFY(h != INVALID_HANDLE_VALUE);
    const ErreurFichier e = FichierLog::Reecrire_Octets(log, "autre\r\n");
    CloseHandle(h);
    QCOMPARE(e.numero, 70);
    QVERIFY2(e.message.contains(QStringLiteral("(fichier utilisé par un autre programme)")), qPrintable(e.message));
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("nouveau\r\n"));
    QCOMPARE(QDir(dossier.path()).entryList(QDir::Files).size(), 1);
}
#endif

// Each setting read through its typed reading, as a text for the table.
static QString Lire_Par_Nom(const Reglages& r, const QString& nom)
{
    const QString station = QStringLiteral("F1ABC");
    if (nom == QLatin1String("Indicatif_Station"))
        return r.Indicatif_Station();
    if (nom == QLatin1String("Chemin_Repertoire"))
        return r.Chemin_Repertoire();
    if (nom == QLatin1String("Noms_Sig_Adif"))
        return r.Noms_Sig_Adif();
    if (nom == QLatin1String("Hote_Reglement"))
        return r.Hote(Reglages::Site::Reglement);
    if (nom == QLatin1String("Hote_Departements"))
        return r.Hote(Reglages::Site::Departements);
    if (nom == QLatin1String("Hote_Liste"))
        return r.Hote(Reglages::Site::Liste);
    if (nom == QLatin1String("Annee_Challenge"))
        return r.Annee_Challenge(station);
    if (nom == QLatin1String("Annee_Proposee"))
        return r.Annee_Proposee(station);
    if (nom == QLatin1String("Type_Activite"))
        return QString::number(r.Type_Activite(station));
    if (nom == QLatin1String("Date_Automatique"))
        return r.Date_Automatique(station) ? QStringLiteral("oui") : QStringLiteral("non");
    qFatal("no such setting: %s", qPrintable(nom));
}

void Tst_Noyau::reglages_lus_data()
{
    QTest::addColumn<QString>("reglage");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("cle");
    QTest::addColumn<QString>("stocke"); // null: absent from the file
    QTest::addColumn<QString>("lu");

    const QString commune = QStringLiteral("Setup ");
    const QString station = QStringLiteral("Setup F1ABC");
    const QString absent;
    QTest::newRow("indicatif absent : premiere installation") << "Indicatif_Station" << commune << "Indicatif Station" << absent << "FXXXX";
    QTest::newRow("indicatif") << "Indicatif_Station" << commune << "Indicatif Station" << "F1ABC" << "F1ABC";
    QTest::newRow("dossier des logs absent") << "Chemin_Repertoire" << commune << "Chemin Repertoire" << absent << "";
    QTest::newRow("dossier des logs") << "Chemin_Repertoire" << commune << "Chemin Repertoire" << "/a/b" << "/a/b";
    QTest::newRow("noms SIG absents") << "Noms_Sig_Adif" << commune << "Noms SIG ADIF" << absent << "KVRT";
    QTest::newRow("noms SIG") << "Noms_Sig_Adif" << commune << "Noms SIG ADIF" << "KVRT, Chateaux" << "KVRT, Chateaux";
    QTest::newRow("site du reglement absent") << "Hote_Reglement" << commune << "Site Reglement" << absent << "reglement.example.org";
    QTest::newRow("site des departements absent") << "Hote_Departements" << commune << "Site Departements" << absent << "departements.example.org";
    QTest::newRow("site de la liste absent") << "Hote_Liste" << commune << "Site Liste KVRT" << absent << "liste.example.org";
    QTest::newRow("site de la liste") << "Hote_Liste" << commune << "Site Liste KVRT" << "liste.test:8080" << "liste.test:8080";
    QTest::newRow("annee absente") << "Annee_Challenge" << station << "Annee Challenge" << absent << "XXXX";
    QTest::newRow("annee") << "Annee_Challenge" << station << "Annee Challenge" << "2009" << "2009";
    QTest::newRow("annee d'une autre section") << "Annee_Challenge" << commune << "Annee Challenge" << "2009" << "XXXX";
    QTest::newRow("annee proposee absente") << "Annee_Proposee" << station << "Annee" << absent << "20xx";
    QTest::newRow("type absent") << "Type_Activite" << station << "Type Activite" << absent << "0";
    QTest::newRow("type tape a la main") << "Type_Activite" << station << "Type Activite" << "-1" << "-1";
    QTest::newRow("type double") << "Type_Activite" << station << "Type Activite" << " 8 " << "8";
    QTest::newRow("type hors de la liste") << "Type_Activite" << station << "Type Activite" << "9" << "0";
    QTest::newRow("type moins deux") << "Type_Activite" << station << "Type Activite" << "-2" << "0";
    QTest::newRow("type pas un nombre") << "Type_Activite" << station << "Type Activite" << "3a" << "0";
    QTest::newRow("date automatique absente") << "Date_Automatique" << station << "Date_Automatique" << absent << "oui";
    QTest::newRow("date manuelle") << "Date_Automatique" << station << "Date_Automatique" << "Non" << "non";
    QTest::newRow("date : la casse compte") << "Date_Automatique" << station << "Date_Automatique" << "oui" << "non";
}

void Tst_Noyau::reglages_lus()
{
    QFETCH(QString, reglage);
    QFETCH(QString, section);
    QFETCH(QString, cle);
    QFETCH(QString, stocke);
    QFETCH(QString, lu);
    QTemporaryDir dossier;
    Reglages r(dossier.filePath(QStringLiteral("r.ini")));
    if (!stocke.isNull())
        Ecrire_Reglage(r, section, cle, stocke);
    QCOMPARE(Lire_Par_Nom(r, reglage), lu);
}

void Tst_Noyau::reglages_ecrits()
{
    QTemporaryDir dossier;
    const QString fichier = dossier.filePath(QStringLiteral("r.ini"));
    {
        Reglages r(fichier);
        r.Definir_Indicatif_Station(QStringLiteral("F1ABC"));
        r.Definir_Chemin_Repertoire(QStringLiteral("/a"));
        r.Definir_Noms_Sig_Adif(QStringLiteral("KVRT, Chateaux"));
        r.Definir_Hote(Reglages::Site::Departements, QStringLiteral("dep.test"));
        r.Definir_Annee_Challenge(QStringLiteral("F1ABC"), QStringLiteral("2009"));
        r.Definir_Type_Activite(QStringLiteral("F1ABC"), -1);
        r.Definir_Date_Automatique(QStringLiteral("F1ABC"), false);
        r.Definir_Revision(QStringLiteral("F1ABC"), QStringLiteral(" 1.1.7"));
        r.Definir_Annee_Challenge(QStringLiteral("A/B"), QStringLiteral("x"));
    }
    // Each under its own key and section, as the file's earlier readers know them.
    Reglages r(fichier);
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup "), QStringLiteral("Indicatif Station")), QStringLiteral("F1ABC"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup "), QStringLiteral("Chemin Repertoire")), QStringLiteral("/a"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup "), QStringLiteral("Noms SIG ADIF")), QStringLiteral("KVRT, Chateaux"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup "), QStringLiteral("Site Departements")), QStringLiteral("dep.test"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup F1ABC"), QStringLiteral("Annee Challenge")), QStringLiteral("2009"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite")), QStringLiteral("-1"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup F1ABC"), QStringLiteral("Date_Automatique")), QStringLiteral("Non"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup F1ABC"), QStringLiteral("Revision")), QStringLiteral(" 1.1.7"));
    // "Setup " and "Setup" are two sections; a station's section is not the common one.
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup"), QStringLiteral("Indicatif Station"), QStringLiteral("absent")), QStringLiteral("absent"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup F1ABC"), QStringLiteral("Indicatif Station"), QStringLiteral("absent")), QStringLiteral("absent"));
    // A "/" in a callsign does not open a sub-section.
    QCOMPARE(QSettings(fichier, QSettings::IniFormat).value(QStringLiteral("Setup A/B/Annee Challenge"), QStringLiteral("absent")).toString(),
             QStringLiteral("absent"));
    QCOMPARE(Lire_Reglage(r, QStringLiteral("Setup A/B"), QStringLiteral("Annee Challenge")), QStringLiteral("x"));
    QCOMPARE(r.Annee_Challenge(QStringLiteral("A/B")), QStringLiteral("x"));
    QCOMPARE(r.Type_Activite(QStringLiteral("F1ABC")), -1);
    QVERIFY(!r.Date_Automatique(QStringLiteral("F1ABC")));
}

void Tst_Noyau::reglages_valeur_inchangee_non_reecrite()
{
    QTemporaryDir dossier;
    const QString fichier = dossier.filePath(QStringLiteral("r.ini"));
    Reglages r(fichier);
    r.Definir_Chemin_Repertoire(QStringLiteral("/a"));
    // The same value again leaves the file as it is: marked by hand, the mark stays.
    QFile f(fichier);
    QVERIFY(f.open(QIODevice::Append));
    f.write("; marque\n");
    f.close();
    r.Definir_Chemin_Repertoire(QStringLiteral("/a"));
    {
        QFile g(fichier);
        QVERIFY(g.open(QIODevice::ReadOnly));
        QVERIFY(g.readAll().contains("; marque"));
    }
    // A new value is written at once.
    r.Definir_Chemin_Repertoire(QStringLiteral("/b"));
    QCOMPARE(Reglages(fichier).Chemin_Repertoire(), QStringLiteral("/b"));
    // A store removed behind the program's back is written again, even with the same value.
    QVERIFY(QFile::remove(fichier));
    r.Definir_Chemin_Repertoire(QStringLiteral("/b"));
    QCOMPARE(Reglages(fichier).Chemin_Repertoire(), QStringLiteral("/b"));
}

QTEST_GUILESS_MAIN(Tst_Noyau)
#include "tst_noyau.moc"
