// The folder of the logs, chosen at start-up: the program folder when this user can write
// it, otherwise the user's own data folder with a copy of the template. Read-only folders
// are real here: run as root, the program runs itself again as an ordinary user.

#include "Aide.h"
#include "Dossier_Logs.h"
#include "Gestion_Erreur.h"
#include "Journal.h"
#include "Main_Test.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Station.h"
#include "Texte1252.h"
#include "Utilisateur_Ordinaire.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const Variable_Autre = "KVRT_DOSSIER_AUTRE";
// The template root leaves in his folder.
const QByteArray Modele_Root = "modele de root\r\n";

QByteArray Lire(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

bool Lecture_Seule(const QString& dossier, bool oui = true)
{
    return ::chmod(QFile::encodeName(dossier).constData(), oui ? 0555 : 0755) == 0;
}

// Gives the folders back their rights when a test ends, even on a failure, so that the
// temporary folder around them can be removed.
struct Droits_Rendus
{
    QStringList dossiers;
    ~Droits_Rendus()
    {
        for (const QString& d : std::as_const(dossiers))
            Lecture_Seule(d, false);
    }
};

QStringList Contenu(const QString& dossier)
{
    return QDir(dossier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// A template with one QSO in it, so that a copy is told apart from an empty file.
QByteArray Modele()
{
    return Octets({Enr("01/01/09", "29001", "Chateau Contacte", "F5AAA")}) + QByteArray("\xe9\r\n");
}

} // namespace

class Tst_Dossier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void choisir_data();
    void choisir();
    void programme_partage();
    void programme_ecrivable();
    void dossier_personnel_impossible();
    void log_retrouve_data();
    void log_retrouve();
    void initialisation_refusee();

private:
    QTemporaryDir m_base;
};

void Tst_Dossier::initTestCase()
{
    // Root writes anywhere: a read-only folder would prove nothing.
    QVERIFY2(::geteuid() != 0, "les tests doivent tourner sous un utilisateur ordinaire");
    QVERIFY(m_base.isValid());
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The names the program gives itself, which name the user's data folder.
    QCoreApplication::setOrganizationName(QStringLiteral("Challenge_KVRT"));
    QCoreApplication::setApplicationName(QStringLiteral("QEZ_Challenge_KVRT"));
    // A first Programme_Test gives the application the program's Enter-on-buttons filter.
    Programme_Test filtre;
}

void Tst_Dossier::choisir_data()
{
    // programme: "ecrivable", "lecture_seule", "absent", or "autre" (a folder of another user,
    // read-only to us whatever its mode);
    // modele: the program's template, null for none; copie: a copy already in the user's folder;
    // utilisateur: "neuf" (to be made, two levels deep), "bloque" (under a read-only folder),
    // "lecture_seule" (there, but read-only).
    QTest::addColumn<QString>("programme");
    QTest::addColumn<QByteArray>("modele");
    QTest::addColumn<QByteArray>("copie");
    QTest::addColumn<QString>("utilisateur");
    QTest::addColumn<bool>("partage");
    QTest::addColumn<bool>("dansProgramme");
    QTest::addColumn<QByteArray>("copieAttendue");
    QTest::addColumn<QString>("erreur");

    const QByteArray rien;
    QTest::newRow("programme ecrivable : il garde les logs") << "ecrivable" << Modele() << rien << "neuf" << false << true << rien << "";
    QTest::newRow("programme en lecture seule : dossier cree, modele copie") << "lecture_seule" << Modele() << rien << "neuf" << false << false << Modele() << "";
    QTest::newRow("modele vide copie tel quel") << "lecture_seule" << QByteArray("") << rien << "neuf" << false << false << QByteArray("") << "";
    QTest::newRow("copie deja la : jamais remplacee") << "lecture_seule" << Modele() << QByteArray("a moi\r\n") << "neuf" << false << false << QByteArray("a moi\r\n") << "";
    QTest::newRow("modele absent du programme : rien a copier") << "lecture_seule" << rien << rien << "neuf" << false << false << rien << "";
    QTest::newRow("dossier d'un autre utilisateur") << "autre" << rien << rien << "neuf" << false << false << rien << "";
    QTest::newRow("programme partage : jamais ecrit, meme ecrivable") << "ecrivable" << Modele() << rien << "neuf" << true << false << Modele() << "";
    QTest::newRow("programme introuvable") << "absent" << rien << rien << "neuf" << false << false << rien << "";
    QTest::newRow("dossier personnel impossible a creer") << "lecture_seule" << Modele() << rien << "bloque" << false << false << rien
                                                          << "Impossible de créer le dossier des logs\r\n";
    QTest::newRow("dossier personnel en lecture seule") << "lecture_seule" << Modele() << rien << "lecture_seule" << false << false << rien
                                                        << "Erreur N° 70 : impossible de créer le fichier\r\n";
}

void Tst_Dossier::choisir()
{
    QFETCH(QString, programme);
    QFETCH(QByteArray, modele);
    QFETCH(QByteArray, copie);
    QFETCH(QString, utilisateur);
    QFETCH(bool, partage);
    QFETCH(bool, dansProgramme);
    QFETCH(QByteArray, copieAttendue);
    QFETCH(QString, erreur);

    QTemporaryDir base;
    QVERIFY(base.isValid());
    Droits_Rendus droits;
    droits.dossiers << base.path() + QStringLiteral("/programme") << base.path() + QStringLiteral("/bloque")
                    << base.path() + QStringLiteral("/donnees/Challenge_KVRT/QEZ_Challenge_KVRT");
    QString dossierProgramme = base.path() + QStringLiteral("/programme");
    QVERIFY(QDir().mkpath(dossierProgramme));
    const QByteArray log = Octets({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")});
    QVERIFY(Ecrire(dossierProgramme + QStringLiteral("/F1ABC_Challenge_KVRT_2009.txt"), log));
    if (!modele.isNull())
        QVERIFY(Ecrire(dossierProgramme + QStringLiteral("/FXXXX_Challenge_KVRT.txt"), modele));
    if (programme == QLatin1String("lecture_seule"))
        QVERIFY(Lecture_Seule(dossierProgramme));
    else if (programme == QLatin1String("absent"))
        dossierProgramme = base.path() + QStringLiteral("/nulle_part");
    else if (programme == QLatin1String("autre")) {
        // Root made it, with a template, before handing over; an ordinary user run directly
        // uses "/", which has none.
        dossierProgramme = QStringLiteral("/");
        if (qEnvironmentVariableIsSet(Variable_Autre)) {
            dossierProgramme = qEnvironmentVariable(Variable_Autre);
            copieAttendue = Modele_Root;
        }
    }
    const QStringList avant = Contenu(dossierProgramme);

    QString dossierUtilisateur = base.path() + QStringLiteral("/donnees/Challenge_KVRT/QEZ_Challenge_KVRT");
    if (utilisateur == QLatin1String("bloque")) {
        QVERIFY(QDir().mkpath(base.path() + QStringLiteral("/bloque")));
        QVERIFY(Lecture_Seule(base.path() + QStringLiteral("/bloque")));
        dossierUtilisateur = base.path() + QStringLiteral("/bloque/Challenge_KVRT/QEZ_Challenge_KVRT");
    }
    if (!copie.isNull() || utilisateur == QLatin1String("lecture_seule"))
        QVERIFY(QDir().mkpath(dossierUtilisateur));
    if (!copie.isNull())
        QVERIFY(Ecrire(dossierUtilisateur + QStringLiteral("/FXXXX_Challenge_KVRT.txt"), copie));
    if (utilisateur == QLatin1String("lecture_seule"))
        QVERIFY(Lecture_Seule(dossierUtilisateur));

    const Choix_Dossier choix = Dossier_Logs::Choisir(dossierProgramme, dossierUtilisateur, partage);

    QCOMPARE(choix.programme, dansProgramme);
    QCOMPARE(choix.dossier, dansProgramme ? dossierProgramme : dossierUtilisateur);
    QCOMPARE(Dossier_Logs::Ecrivable(choix.dossier), erreur.isEmpty());
    if (erreur.isEmpty())
        QVERIFY2(choix.erreur.isEmpty(), qPrintable(choix.erreur));
    else
        QVERIFY2(choix.erreur.startsWith(erreur) && choix.erreur.contains(QDir::toNativeSeparators(dossierUtilisateur)),
                 qPrintable(choix.erreur));
    // The program folder is left as it was: the trial file is gone and the log is untouched.
    QCOMPARE(Contenu(dossierProgramme), avant);
    if (programme != QLatin1String("absent") && programme != QLatin1String("autre"))
        QCOMPARE(Lire(dossierProgramme + QStringLiteral("/F1ABC_Challenge_KVRT_2009.txt")), log);
    if (dansProgramme) {
        QVERIFY(!QFileInfo::exists(base.path() + QStringLiteral("/donnees")));
    } else if (erreur.isEmpty()) {
        const QString copieFaite = dossierUtilisateur + QStringLiteral("/FXXXX_Challenge_KVRT.txt");
        QCOMPARE(QFileInfo::exists(copieFaite), !copieAttendue.isNull());
        QCOMPARE(Lire(copieFaite), copieAttendue);
    }

    // Asked again at the next start, the answer is the same and the copy is left alone.
    if (erreur.isEmpty() && !dansProgramme) {
        const QString copieFaite = dossierUtilisateur + QStringLiteral("/FXXXX_Challenge_KVRT.txt");
        if (QFileInfo::exists(copieFaite))
            QVERIFY(Ecrire(copieFaite, "change\r\n"));
        const Choix_Dossier encore = Dossier_Logs::Choisir(dossierProgramme, dossierUtilisateur, partage);
        QCOMPARE(encore.dossier, choix.dossier);
        QVERIFY(encore.erreur.isEmpty());
        if (QFileInfo::exists(copieFaite))
            QCOMPARE(Lire(copieFaite), QByteArray("change\r\n"));
    }

}

// The program installed for every user: its folder is read-only; the first start sends the
// user to the Station window and keeps everything he makes in his own folder.
void Tst_Dossier::programme_partage()
{
    Chien_De_Garde garde;
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString programme = base.path() + QStringLiteral("/programme");
    const QString donnees = base.path() + QStringLiteral("/donnees");
    QVERIFY(QDir().mkpath(programme));
    QVERIFY(Ecrire(programme + QStringLiteral("/FXXXX_Challenge_KVRT.txt"), Modele()));
    QVERIFY(QFile::copy(QStringLiteral(KVRT_RESSOURCES "/QEZ_Challenge.hlp"), programme + QStringLiteral("/QEZ_Challenge.hlp")));
    Droits_Rendus droits;
    droits.dossiers << programme;
    QVERIFY(Lecture_Seule(programme));
    const QStringList avant = Contenu(programme);
    qputenv("XDG_DATA_HOME", QFile::encodeName(donnees));
    const QString attendu = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCOMPARE(attendu, donnees + QStringLiteral("/Challenge_KVRT/QEZ_Challenge_KVRT"));

    Plateforme_Test plateforme(programme);
    Reglages reglages(base.path() + QStringLiteral("/reglages/Challenge_KVRT.ini"));
    {
        Sous_Programmes sp(plateforme, reglages);
        Main_Test m(sp);
        QString etat;
        Sur_Modal([&](QWidget* w) {
            auto* s = qobject_cast<Station*>(w);
            if (!s) {
                w->close();
                return;
            }
            Activer(s);
            Touche_Ici(s, Qt::Key_A, Qt::ControlModifier);
            Taper(Controle<QLineEdit>(s, "New_Indicatif"), QStringLiteral("f1abc/p"));
            Touche_Ici(s, Qt::Key_A, Qt::ControlModifier);
            Taper(Controle<QLineEdit>(s, "New_Annee"), QStringLiteral("2009"));
            etat = s->focusWidget() ? s->focusWidget()->objectName() : QString();
            Entree(Controle<QPushButton>(s, "Validation"));
        });
        m.Main_Form_Load();
        QCOMPARE(etat, QStringLiteral("Validation"));
        QCOMPARE(sp.Indicatif_Station(), QStringLiteral("F1ABC_P"));

        // Everything the user made is in his folder; the program folder is as installed.
        QCOMPARE(sp.Repertoire(), attendu);
        QCOMPARE(Lire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Chemin Repertoire"), QString()), attendu);
        QCOMPARE(Lire(attendu + QStringLiteral("/FXXXX_Challenge_KVRT.txt")), Modele());
        QCOMPARE(Lire(attendu + QStringLiteral("/F1ABC_P_Challenge_KVRT_2009.txt")), Modele());
        QCOMPARE(m.Liste_KVRT->model()->rowCount(), 2);
        QCOMPARE(Contenu(programme), avant);

        // The report is saved beside the log.
        plateforme.messages.clear();
        Activer(&m);
        Choisir_Menu(m.Mnu_Enr_Contacte);
        QCOMPARE(plateforme.messages.size(), 1);
        QVERIFY2(plateforme.messages.first().startsWith(QStringLiteral("Le log a été enregistré sous le nom : ")), qPrintable(plateforme.messages.first()));
        QCOMPARE(QDir(attendu).entryList({QStringLiteral("F1ABC_P_Challenge_KVRT_2009_*.txt")}).size(), 1);
        QCOMPARE(Contenu(programme), avant);

        // The manual is read where the program is.
        plateforme.messages.clear();
        Choisir_Menu(m.Mnu_Mode_Emploi);
        QVERIFY2(plateforme.messages.isEmpty(), qPrintable(plateforme.messages.join(QLatin1Char('\n'))));
        QVERIFY(m.Fenetre_Aide());
        QVERIFY(m.Fenetre_Aide()->isVisible());
        delete m.Fenetre_Aide();
    }

    // The log gone from the user's folder: the recovery window says where it was looked for.
    QVERIFY(QFile::remove(attendu + QStringLiteral("/F1ABC_P_Challenge_KVRT_2009.txt")));
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    {
        Sous_Programmes sp(plateforme, reglages);
        Main_Test m(sp);
        QString fichier, dossier;
        Sur_Modal([&](QWidget* w) {
            auto* g = qobject_cast<Gestion_Erreur*>(w);
            if (!g) {
                w->close();
                return;
            }
            fichier = Controle<QLabel>(g, "Ind_Station1")->text() + Controle<QLabel>(g, "Err_Departement")->text();
            dossier = Controle<QLabel>(g, "Dossier_Log")->text();
            Activer(g);
            Touche_Ici(g, Qt::Key_Escape);
        });
        m.Main_Form_Load();
        QCOMPARE(fichier, QStringLiteral("F1ABC_P_Challenge_KVRT_2009.txt"));
        QCOMPARE(dossier, QStringLiteral("dans le dossier ") + attendu);
    }
    QVERIFY(garde.fermees.isEmpty());
    QCOMPARE(Contenu(programme), avant);
    qunsetenv("XDG_DATA_HOME");
}

// The per-user install and the build folder: a log already in the program folder stays
// there and is the one shown; no folder of the user's is made.
void Tst_Dossier::programme_ecrivable()
{
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString donnees = base.path() + QStringLiteral("/donnees");
    qputenv("XDG_DATA_HOME", QFile::encodeName(donnees));
    Programme_Test p;
    p.Installer_Station();
    p.Ecrire_Log({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ"), Enr("28/03/09", "13045", "Reactivation activee", "F1ABC")});
    const QByteArray log = p.Octets_Log();
    Main_Test* m = p.Demarrer();
    QCOMPARE(p.sp->Repertoire(), p.Repertoire());
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Chemin Repertoire"), QString()), p.Repertoire());
    QCOMPARE(m->Liste_KVRT->model()->rowCount(), 2);
    QCOMPARE(p.Octets_Log(), log);
    QVERIFY(!QFileInfo::exists(donnees));
    QVERIFY(p.plateforme->messages.isEmpty());
    qunsetenv("XDG_DATA_HOME");
}

// Neither the program folder nor the user's data folder can be written: the user is told
// why at start-up, and the Station window then says the log could not be made, without
// switching to it.
void Tst_Dossier::dossier_personnel_impossible()
{
    Chien_De_Garde garde;
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString programme = base.path() + QStringLiteral("/programme");
    const QString bloque = base.path() + QStringLiteral("/bloque");
    QVERIFY(QDir().mkpath(programme));
    QVERIFY(QDir().mkpath(bloque));
    QVERIFY(Ecrire(programme + QStringLiteral("/FXXXX_Challenge_KVRT.txt"), Modele()));
    Droits_Rendus droits;
    droits.dossiers << programme << bloque;
    QVERIFY(Lecture_Seule(programme));
    QVERIFY(Lecture_Seule(bloque));
    qputenv("XDG_DATA_HOME", QFile::encodeName(bloque));
    const QString attendu = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);

    Plateforme_Test plateforme(programme);
    Reglages reglages(base.path() + QStringLiteral("/reglages/Challenge_KVRT.ini"));
    Sous_Programmes sp(plateforme, reglages);
    Main_Test m(sp);
    QStringList messagesPendantStation;
    Sur_Modal([&](QWidget* w) {
        auto* s = qobject_cast<Station*>(w);
        if (!s) {
            w->close();
            return;
        }
        Activer(s);
        Touche_Ici(s, Qt::Key_A, Qt::ControlModifier);
        Taper(Controle<QLineEdit>(s, "New_Indicatif"), QStringLiteral("f1abc"));
        Touche_Ici(s, Qt::Key_A, Qt::ControlModifier);
        Taper(Controle<QLineEdit>(s, "New_Annee"), QStringLiteral("2009"));
        const int avant = plateforme.messages.size();
        Entree(Controle<QPushButton>(s, "Validation"));
        messagesPendantStation = plateforme.messages.mid(avant);
        // The window stays open on a failure: the user closes it.
        if (s->isVisible())
            Touche_Ici(s, Qt::Key_Escape);
    });
    m.Main_Form_Load();

    QVERIFY(plateforme.messages.size() >= 2);
    QCOMPARE(plateforme.messages.at(0), QStringLiteral("Impossible de créer le dossier des logs\r\n%1\r\n(permission refusée).").arg(attendu));
    QVERIFY(plateforme.messages.at(1).startsWith(QStringLiteral("Premiere installation")));
    QCOMPARE(messagesPendantStation.size(), 1);
    QVERIFY2(messagesPendantStation.first().endsWith(QStringLiteral("Le log de la nouvelle station n'a pas pu être créé.")),
             qPrintable(messagesPendantStation.first()));
    QCOMPARE(Lire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Chemin Repertoire"), QString()), attendu);
    QCOMPARE(Lire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QStringLiteral("FXXXX")), QStringLiteral("FXXXX"));
    QCOMPARE(Contenu(programme), QStringList{QStringLiteral("FXXXX_Challenge_KVRT.txt")});
    QVERIFY(Contenu(bloque).isEmpty());
    QVERIFY(garde.fermees.isEmpty());
    qunsetenv("XDG_DATA_HOME");
}

// A season begun in the per-user install, then the package started with the same settings:
// its folder is read-only, the user's own has no log, and the log is found again where the
// settings' "Chemin Repertoire" names it. It is used there, or copied with its journal, or
// the program ends; an empty season is never started.
void Tst_Dossier::log_retrouve_data()
{
    // station: the settings lost the station, which is typed again in the Station window;
    // persoFige: the per-user folder has become read-only too.
    QTest::addColumn<bool>("station");
    QTest::addColumn<int>("reponse");
    QTest::addColumn<bool>("persoFige");
    QTest::newRow("utilise la ou il est") << false << 0 << false;
    QTest::newRow("copie avec son journal") << false << 1 << false;
    QTest::newRow("copie d'un dossier en lecture seule") << false << 1 << true;
    QTest::newRow("quitter : rien d'ecrit") << false << 2 << false;
    QTest::newRow("fenetre Station : utilise la ou il est") << true << 0 << false;
    QTest::newRow("fenetre Station : copie") << true << 1 << false;
    QTest::newRow("fenetre Station : annuler, pas de log vide") << true << 2 << false;
}

void Tst_Dossier::log_retrouve()
{
    QFETCH(bool, station);
    QFETCH(int, reponse);
    QFETCH(bool, persoFige);
    // A row that ended the program stops the next modal loops until the application's own
    // loop has run once.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    Chien_De_Garde garde;
    QTemporaryDir base;
    QVERIFY(base.isValid());
    const QString perso = base.path() + QStringLiteral("/perso");
    const QString systeme = base.path() + QStringLiteral("/systeme");
    for (const QString& d : {perso, systeme}) {
        QVERIFY(QDir().mkpath(d));
        QVERIFY(Ecrire(d + QStringLiteral("/FXXXX_Challenge_KVRT.txt"), Modele()));
    }
    Droits_Rendus droits;
    droits.dossiers << systeme << perso;
    qputenv("XDG_DATA_HOME", QFile::encodeName(base.path() + QStringLiteral("/donnees")));
    const QString utilisateur = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString nom = QStringLiteral("F1ABC_Challenge_KVRT_2009.txt");
    const QString nomJournal = QFileInfo(Journal::Chemin_Journal(nom)).fileName();
    Reglages reglages(base.path() + QStringLiteral("/reglages/Challenge_KVRT.ini"));
    Ecrire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QStringLiteral("F1ABC"));
    Ecrire_Reglage(reglages, QStringLiteral("Setup ") + QStringLiteral("F1ABC"), QStringLiteral("Annee Challenge"), QStringLiteral("2009"));
    const QByteArray debut = Octets({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")});
    QVERIFY(Ecrire(perso + QLatin1Char('/') + nom, debut));
    {
        Plateforme_Test plateforme(perso);
        Sous_Programmes sp(plateforme, reglages);
        Main_Test m(sp);
        m.Main_Form_Load();
        QCOMPARE(sp.Repertoire(), perso);
        QString ligne = Enr("28/03/09", "29001", "Chateau Contacte", "F6ABC");
        QVERIFY(Ajoute_Ligne(sp, ligne));
        QVERIFY(plateforme.messages.isEmpty());
    }
    const QByteArray log = Lire(perso + QLatin1Char('/') + nom);
    const QByteArray journal = Lire(perso + QLatin1Char('/') + nomJournal);
    QVERIFY(!journal.isEmpty());
    const QStringList avantPerso = Contenu(perso);
    QVERIFY(Lecture_Seule(systeme));
    if (persoFige)
        QVERIFY(Lecture_Seule(perso));
    const QStringList avantSysteme = Contenu(systeme);

    Plateforme_Test plateforme(systeme);
    plateforme.choix << reponse;
    if (station) {
        Ecrire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QStringLiteral("FXXXX"));
        Sur_Modal([](QWidget* w) {
            auto* s = qobject_cast<Station*>(w);
            if (!s) {
                w->close();
                return;
            }
            Activer(s);
            Remplacer_Texte(Controle<QLineEdit>(s, "New_Indicatif"), QStringLiteral("F1ABC"));
            Touche_Ici(s, Qt::Key_Return);
            Remplacer_Texte(Controle<QLineEdit>(s, "New_Annee"), QStringLiteral("2009"));
            Touche_Ici(s, Qt::Key_Return);
            Entree(Controle<QPushButton>(s, "Validation"));
            if (s->isVisible())
                Touche_Ici(s, Qt::Key_Escape);
        });
    }
    {
        Sous_Programmes sp(plateforme, reglages);
        Main_Test m(sp);
        m.Main_Form_Load();
        if (station)
            QVERIFY(plateforme.Prendre_Messages().value(0).startsWith(QStringLiteral("Premiere installation")));
        QCOMPARE(plateforme.questions,
                 QStringList{QStringLiteral("Le log %1 n'est pas dans le dossier des logs\r\n%2\r\nmais il se trouve dans le dossier\r\n%3\r\n"
                                            "Vous pouvez l'utiliser là où il est, ou le copier avec son historique des "
                                            "modifications dans le dossier des logs.")
                                 .arg(nom, QDir::toNativeSeparators(utilisateur), QDir::toNativeSeparators(perso))});
        QVERIFY(plateforme.questionsImprevues.isEmpty());
        QVERIFY2(plateforme.messages.isEmpty(), qPrintable(plateforme.messages.join(QLatin1Char('\n'))));
        if (reponse == 2) {
            // At start-up the program ends; the Station window stays on the station it had.
            QCOMPARE(sp.Programme_Termine(), !station);
            QCOMPARE(sp.Indicatif_Station(), station ? QStringLiteral("FXXXX") : QStringLiteral("F1ABC"));
        } else {
            const QString dossier = reponse == 0 ? perso : utilisateur;
            QVERIFY(!sp.Programme_Termine());
            QCOMPARE(sp.Repertoire(), dossier);
            QCOMPARE(Lire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Chemin Repertoire"), QString()), dossier);
            QCOMPARE(m.Liste_KVRT->model()->rowCount(), 2);
            QCOMPARE(Lire(dossier + QLatin1Char('/') + nom), log);
            QCOMPARE(Lire(dossier + QLatin1Char('/') + nomJournal), journal);
            // The history came with the log: the QSO recorded in the per-user install is undone here.
            QCOMPARE(sp.Operation_A_Annuler(), QStringLiteral("enregistrement du KVRT 29001"));
            QVERIFY(Annuler_Modification(sp));
            QCOMPARE(Lire(dossier + QLatin1Char('/') + nom), debut);
        }
    }
    if (reponse == 0) {
        // The answer is kept for that log: the next start uses it there without asking.
        QCOMPARE(Lire_Reglage(reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Chemin Log 2009"), QString()), perso);
        Plateforme_Test encore(systeme);
        Sous_Programmes sp(encore, reglages);
        Main_Test m(sp);
        m.Main_Form_Load();
        QCOMPARE(encore.questions, QStringList());
        QCOMPARE(sp.Repertoire(), perso);
        QCOMPARE(m.Liste_KVRT->model()->rowCount(), 1);
    }
    QCOMPARE(QFileInfo::exists(utilisateur + QLatin1Char('/') + nom), reponse == 1);
    QCOMPARE(Lire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()),
             station && reponse == 2 ? QStringLiteral("FXXXX") : QStringLiteral("F1ABC"));
    if (reponse != 0) {
        QCOMPARE(Contenu(perso), avantPerso);
        QCOMPARE(Lire(perso + QLatin1Char('/') + nom), log);
        QCOMPARE(Lire(perso + QLatin1Char('/') + nomJournal), journal);
    }
    QCOMPARE(Contenu(systeme), avantSysteme);
    QVERIFY2(garde.fermees.isEmpty(), qPrintable(garde.fermees.join(QLatin1Char('\n'))));
    qunsetenv("XDG_DATA_HOME");
}

// The log gone from the folder of the logs during the session, but still in the folder the
// last start used: the recovery window's "Initialiser" does not send the user to an empty season.
void Tst_Dossier::initialisation_refusee()
{
    Programme_Test p;
    QTemporaryDir ailleurs;
    QVERIFY(ailleurs.isValid());
    const QString nom = QStringLiteral("F1ABC_Challenge_KVRT_2009.txt");
    QVERIFY(Ecrire(ailleurs.filePath(nom), Octets({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")})));
    Ecrire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QStringLiteral("F1ABC"));
    Ecrire_Reglage(*p.reglages, QStringLiteral("Setup ") + QStringLiteral("F1ABC"), QStringLiteral("Annee Challenge"), QStringLiteral("2009"));
    p.sp->Choisir_Station(QStringLiteral("F1ABC"), QStringLiteral("2009"));
    p.sp->Definir_Dossier_Precedent(ailleurs.path());

    Gestion_Erreur g(*p.sp);
    g.Gestion_Erreur_Form_Load();
    g.show();
    Cliquer_Dans(Controle<QPushButton>(&g, "Initialisation"));
    QCOMPARE(p.plateforme->messages,
             QStringList{QStringLiteral("Le log %1 se trouve dans le dossier\r\n%2\r\nLa station n'a pas été initialisée : "
                                        "relancez le programme pour utiliser ce log ou le copier.")
                             .arg(nom, QDir::toNativeSeparators(ailleurs.path()))});
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup ") + QStringLiteral("F1ABC"), QStringLiteral("Annee Challenge"), QString()),
             QStringLiteral("2009"));
    QVERIFY(!QFileInfo::exists(p.Log()));
}

int main(int argc, char* argv[])
{
    // Started by root, the tests run again as an ordinary user, with a folder of root's that
    // such a user can read but not write, holding a template.
    if (::geteuid() == 0 && !Utilisateur_Ordinaire::Relance())
        return Utilisateur_Ordinaire::Relancer(argv, [](const std::string& base) {
            const std::string autre = base + "/autre";
            const std::string fichier = autre + "/FXXXX_Challenge_KVRT.txt";
            if (::mkdir(autre.c_str(), 0755) != 0)
                return false;
            FILE* f = std::fopen(fichier.c_str(), "w");
            if (!f || std::fwrite(Modele_Root.constData(), 1, Modele_Root.size(), f) != size_t(Modele_Root.size())
                || std::fclose(f) != 0)
                return false;
            return ::setenv(Variable_Autre, autre.c_str(), 1) == 0;
        });
    QApplication app(argc, argv);
    Tst_Dossier t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_dossier.moc"
