// Faults of the file system and of the settings store, met by the real program on real files:
// each one gets a French message naming the file and the cause, the log stays as it was, and
// the program goes on (unless an "Erreur N° " ends it, as it should).

#include "Enregistrement.h"
#include "FichierLog.h"
#include "Journal.h"
#include "Filtre_Touches.h"
#include "Gestion_Erreur.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Station.h"
#include "Texte1252.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString CC = QStringLiteral("Chateau Contacte");
const QString CA = QStringLiteral("Chateau active");

QStringList Trois_Qso()
{
    return {Enr(QStringLiteral("01/03/09"), QStringLiteral("29001"), CC, QStringLiteral("F5AAA")),
            Enr(QStringLiteral("05/03/09"), QStringLiteral("2A001"), CA, QStringLiteral("F6BBB")),
            Enr(QStringLiteral("09/03/09"), QStringLiteral("35007"), CC, QStringLiteral("F4CCC"), true)};
}

// A device that takes so many bytes, possibly in a short write, then fails.
class Sortie_Defaillante : public QIODevice
{
public:
    explicit Sortie_Defaillante(qint64 limite) : m_limite(limite) {}
    QByteArray recu;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* donnees, qint64 taille) override
    {
        const qint64 place = m_limite - recu.size();
        if (place <= 0)
            return -1;
        const qint64 n = qMin(place, taille);
        recu.append(donnees, n);
        return n;
    }

private:
    qint64 m_limite;
};

// Lowers the largest file this process may write, as a full disk would stop it; the signal
// that goes with it is ignored, so that the write fails with EFBIG instead.
class Limite_Taille
{
public:
    explicit Limite_Taille(rlim_t octets)
    {
        getrlimit(RLIMIT_FSIZE, &m_avant);
        rlimit r = m_avant;
        r.rlim_cur = octets;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~Limite_Taille() { setrlimit(RLIMIT_FSIZE, &m_avant); }

private:
    rlimit m_avant;
};

QStringList Fichiers(const Programme_Test& p)
{
    return QDir(p.Repertoire()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}

// The message names the file, says why, and is in French.
#define VERIFIER_MESSAGE(message, chemin, cause)                                                                         \
    do {                                                                                                                  \
        const QString m_ = (message);                                                                                     \
        QVERIFY2(m_.contains(QDir::toNativeSeparators(chemin)), qPrintable(m_));                                          \
        QVERIFY2(m_.contains(QString::fromUtf8(cause)), qPrintable(m_));                                                  \
    } while (false)
// The same of the one message a click gave.
#define VERIFIER_SEUL_MESSAGE(messages, chemin, cause)                                                                   \
    do {                                                                                                                  \
        const QStringList ms_ = (messages);                                                                               \
        QCOMPARE(ms_.size(), 1);                                                                                          \
        VERIFIER_MESSAGE(ms_.first(), chemin, cause);                                                                     \
    } while (false)

// The four changes of the log, as the operator makes them in the main window, and the callsign
// each leaves in the fields when it fails.
enum Changement { Ajout, Insertion, Modification, Suppression };
QString Indicatif(Changement c)
{
    return c == Ajout ? QStringLiteral("F8NEW") : c == Insertion ? QStringLiteral("F8INS") : QStringLiteral("F6MOD");
}
const char* Consequence(Changement c)
{
    return c == Ajout || c == Insertion ? "Le QSO n'a pas été enregistré." : "Le log n'a pas été modifié.";
}

// What a change said while it was typed (the duplicate check reads the log) and at its click.
struct Essai
{
    QStringList saisie, clic;
};

} // namespace

class Test_Pannes : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ecriture_interrompue_data();
    void ecriture_interrompue();
    void disque_plein_au_bout_de_n_octets();
    void log_supprime_pendant_que_le_programme_tourne();
    void fifo_a_la_place_du_log();
    void modele_absent_ou_repertoire_data();
    void modele_absent_ou_repertoire();
    void log_de_la_nouvelle_station_impossible_a_creer();
    void export_impossible_a_creer();
    void saut_de_ligne_colle_dans_un_champ_data();
    void saut_de_ligne_colle_dans_un_champ();
    void reglages_douteux_data();
    void reglages_douteux();
    void magasin_de_reglages_illisible();
    void fifo_a_la_place_du_log_en_cours_de_route();
    // Last: a log replaced by a directory ends the program at the next total.
    void log_remplace_par_un_repertoire();

private:
    Main_Test* m = nullptr;
    void Demarrer(const QStringList& log);
    Essai Tenter(Changement c, rlim_t limite = 0);
    void Trois_Changements_Refuses(int numero, const char* cause);
};

void Test_Pannes::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    std::signal(SIGXFSZ, SIG_IGN);
}

void Test_Pannes::Demarrer(const QStringList& log)
{
    m = Demarrer_Sur(p, log);
    m->show();
    QApplication::setActiveWindow(m);
}

// One change typed into the main window on Trois_Qso() from cleared fields, then clicked, under
// a limit of the file's size when one is given: F8NEW appended (56001), F8INS inserted on
// 03/03/09 (01001), the second line's callsign made F6MOD, the first line deleted ("Oui").
Essai Test_Pannes::Tenter(Changement c, rlim_t limite)
{
    Cliquer_Dans(m->Efface_A);
    if (c == Insertion) {
        Cliquer_Dans(m->Ajout_Saisie);
        Taper(m->Date_A, QStringLiteral("03/03/09"));
    }
    if (c == Ajout || c == Insertion)
        Saisir(m, Indicatif(c), c == Ajout ? 3 : 0, c == Ajout ? QStringLiteral("56001") : QStringLiteral("01001"));
    else
        Cliquer_Ligne(m->Liste_KVRT, c == Modification ? 1 : 0, c == Modification);
    if (c == Modification) {
        if (!m->Mode_Modification())
            QTest::qFail("the double click did not open the line for editing", __FILE__, __LINE__);
        Remplacer_Texte(m->Ind_A, Indicatif(c));
    }
    if (c == Suppression)
        p.plateforme->reponses = {true};
    Essai e;
    e.saisie = p.plateforme->Prendre_Messages();
    QPushButton* bouton = c == Suppression ? m->Annule_Saisie : m->Valide_A;
    if (!bouton->isEnabled())
        QTest::qFail(qPrintable(bouton->objectName() + QStringLiteral(" is not enabled")), __FILE__, __LINE__);
    if (limite > 0) {
        Limite_Taille l(limite);
        Cliquer_Dans(bouton);
    } else {
        Cliquer_Dans(bouton);
    }
    e.clic = p.plateforme->Prendre_Messages();
    return e;
}

// Append, insertion and edit tried on a log the test has broken: the append's duplicate check
// says it cannot read the log, each click says why the change was not made ("Erreur N° ", the
// file, the cause), the append what was not done; the QSO stays in the fields, and no log
// comes back.
void Test_Pannes::Trois_Changements_Refuses(int numero, const char* cause)
{
    for (const Changement c : {Ajout, Insertion, Modification}) {
        const Essai e = Tenter(c);
        QCOMPARE(e.clic.size(), 1);
        QStringList messages = e.clic;
        if (c == Ajout) {
            VERIFIER_MESSAGE(e.clic.first(), p.Log(), Consequence(c));
            QCOMPARE(m->KVRT_A->text(), QStringLiteral("56001"));
            QCOMPARE(e.saisie.size(), 1);
            messages.append(e.saisie);
        }
        for (const QString& message : std::as_const(messages)) {
            QVERIFY2(message.startsWith(QStringLiteral("Erreur N° %1 : ").arg(numero)), qPrintable(message));
            VERIFIER_MESSAGE(message, p.Log(), cause);
        }
        QCOMPARE(m->Ind_A->text(), Indicatif(c));
        QVERIFY(!QFileInfo(p.Log()).isFile());
    }
}

// ---------------------------------------------------------------------------------------

void Test_Pannes::ecriture_interrompue_data()
{
    QTest::addColumn<qint64>("limite");
    // 2,000 lines of 53 bytes and CR LF: 110,000 bytes, written in blocks of 64 KiB.
    const qint64 total = 2000 * 55;
    QTest::newRow("rien") << qint64(0);
    QTest::newRow("un octet") << qint64(1);
    QTest::newRow("une ligne sans son LF") << qint64(54);
    QTest::newRow("une ligne") << qint64(55);
    QTest::newRow("avant la fin du premier bloc") << qint64(65535);
    QTest::newRow("le premier bloc") << qint64(65536 + 55 - 65536 % 55);
    QTest::newRow("dans le second bloc") << qint64(70000);
    QTest::newRow("tout sauf le dernier octet") << total - 1;
    QTest::newRow("tout") << total;
    QTest::newRow("plus que tout") << total + 1000;
}

void Test_Pannes::ecriture_interrompue()
{
    QFETCH(qint64, limite);
    QList<QByteArray> lignes;
    for (int i = 0; i < 2000; ++i)
        lignes.append(Texte1252::Encoder(Enr(QStringLiteral("01/03/09"), QString::number(10000 + i), CC, QStringLiteral("F5AAA"))));
    QByteArray attendu;
    for (const QByteArray& l : std::as_const(lignes))
        attendu += l + "\r\n";
    QCOMPARE(attendu.size(), qsizetype(2000 * 55));

    Sortie_Defaillante sortie(limite);
    QVERIFY(sortie.open(QIODevice::WriteOnly));
    const QString nom = QStringLiteral("/tmp/prog/F1ABC_Challenge_KVRT_2009.txt");
    const ErreurFichier e = FichierLog::Ecrire(sortie, lignes, nom);
    // What went out is the start of the file, never a line in the wrong place.
    QVERIFY(attendu.startsWith(sortie.recu));
    if (limite >= attendu.size()) {
        QVERIFY2(e.ok(), qPrintable(e.message));
        QCOMPARE(sortie.recu, attendu);
    } else {
        QCOMPARE(e.numero, 57);
        QVERIFY(e.message.startsWith(QStringLiteral("Erreur N° 57 : ")));
        VERIFIER_MESSAGE(e.message, nom, "erreur d'entrée/sortie du périphérique");
    }
}

// A real regular file that cannot grow past a size, whatever the rights of the user: every
// way of changing the log fails part way, and the log keeps its bytes.
void Test_Pannes::disque_plein_au_bout_de_n_octets()
{
    Demarrer(Trois_Qso());
    const QByteArray avant = p.Octets_Log();
    const QStringList fichiersAvant = Fichiers(p);

    // Recording: the append stops after 20 bytes and is taken back.
    Essai e = Tenter(Ajout, rlim_t(avant.size() + 20));
    QCOMPARE(p.Octets_Log(), avant);
    VERIFIER_SEUL_MESSAGE(e.clic, p.Log(), "Le QSO n'a pas été enregistré.");
    QVERIFY(e.clic.first().startsWith(QStringLiteral("Erreur N° ")));
    // The QSO waits in the fields; once there is room again, the same click records it.
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F8NEW"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("56001"));
    Cliquer_Dans(m->Valide_A);
    QCOMPARE(p.Octets_Log(), avant + Octets({Enr(QStringLiteral("28/03/09"), QStringLiteral("56001"), CA, QStringLiteral("F8NEW"))}));
    QCOMPARE(m->Total_Points->text(), QStringLiteral("14"));
    QVERIFY(p.plateforme->Prendre_Messages().isEmpty());
    const QByteArray quatre = p.Octets_Log();

    // Insertion, edit and deletion all rewrite the log through a temporary file.
    for (const Changement c : {Insertion, Modification, Suppression}) {
        e = Tenter(c, 10);
        QCOMPARE(p.Octets_Log(), quatre);
        VERIFIER_SEUL_MESSAGE(e.clic, p.Log(), Consequence(c));
        QVERIFY(c != Insertion || m->Mode_Insertion());
        QVERIFY(c != Modification || m->Mode_Modification());
        if (c != Suppression)
            QCOMPARE(m->Ind_A->text(), Indicatif(c));
    }
    QCOMPARE(m->Nombre_Lignes(), 4);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("14"));

    // Nothing half-written is left beside the log: only the journal of the one recording
    // that went through, which explains the log, the failed changes taken out of it again.
    QStringList attendus = fichiersAvant;
    attendus.append(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt.journal"));
    attendus.sort();
    QCOMPARE(Fichiers(p), attendus);
    {
        Journal::Journal_Log journal(p.Log());
        QCOMPARE(int(journal.Verifier(quatre)), int(Journal::Journal_Log::Accord::Accord));
        QCOMPARE(journal.Entrees().size(), 1);
    }
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
    QVERIFY(garde.fermees.isEmpty());

    // The same limit met by the routines themselves: the rewrite of a log and the copy of
    // the template leave the old file, or none, never a cut one.
    const QString modele = p.Chemin(QStringLiteral("FXXXX_Challenge_KVRT.txt"));
    p.Ecrire_Fichier(QStringLiteral("FXXXX_Challenge_KVRT.txt"), quatre);
    const QString nouveau = p.Log(QStringLiteral("F5XYZ"), QStringLiteral("2010"));
    {
        Limite_Taille limite(10);
        const ErreurFichier copie = FichierLog::Copier(modele, nouveau);
        QCOMPARE(copie.numero, 57);
        VERIFIER_MESSAGE(copie.message, nouveau, "erreur d'entrée/sortie du périphérique");
        const ErreurFichier reecriture = FichierLog::Reecrire(p.Log(), Texte1252::Couper_Lignes(quatre));
        QCOMPARE(reecriture.numero, 57);
        VERIFIER_MESSAGE(reecriture.message, p.Log(), "erreur d'entrée/sortie du périphérique");
    }
    QVERIFY(!QFileInfo::exists(nouveau));
    QCOMPARE(p.Octets_Log(), quatre);
    QFile::remove(modele);
    QCOMPARE(Fichiers(p), QStringList({QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"),
                                        QStringLiteral("F1ABC_Challenge_KVRT_2009.txt.journal"), QStringLiteral("reglages")}));

#ifdef Q_OS_LINUX
    // The device that is always full: a write to it says "disque plein".
    if (QFileInfo(QStringLiteral("/dev/full")).exists()) {
        QFile plein(QStringLiteral("/dev/full"));
        QVERIFY(plein.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const ErreurFichier e = FichierLog::Ecrire(plein, {"28/03/09  2A001"}, plein.fileName());
        QCOMPARE(e.numero, 61);
        VERIFIER_MESSAGE(e.message, QStringLiteral("/dev/full"), "disque plein");
    }
#endif
}

// Somebody deletes the log while the program runs: nothing makes it again behind the
// operator's back, every operation says so, and the QSO typed is not lost.
void Test_Pannes::log_supprime_pendant_que_le_programme_tourne()
{
    Demarrer(Trois_Qso());
    const QByteArray avant = p.Octets_Log();
    QVERIFY(QFile::remove(p.Log()));

    Trois_Changements_Refuses(53, "fichier introuvable");
    if (QTest::currentTestFailed())
        return;

    // Deletion: the rewrite says why it did not happen, then the total of points meets the
    // missing log and the recovery window opens; closed by its frame, the program goes on.
    QString fichierMontre;
    bool recuperation = false;
    Sur_Modal([&](QWidget* w) {
        if (auto* g = qobject_cast<Gestion_Erreur*>(w)) {
            recuperation = true;
            fichierMontre = Controle<QLabel>(g, "Ind_Station1")->text() + Controle<QLabel>(g, "Err_Departement")->text();
        }
        w->close();
    });
    VERIFIER_SEUL_MESSAGE(Tenter(Suppression).clic, p.Log(), "fichier introuvable");
    QVERIFY(recuperation);
    QCOMPARE(fichierMontre, QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"));
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(m->isVisible());
    QVERIFY(!QFileInfo::exists(p.Log()));
    QCOMPARE(Fichiers(p), QStringList({QStringLiteral("FXXXX_Challenge_KVRT.txt"), QStringLiteral("reglages")}));

    // The operator puts the log back: the QSO still in the fields goes in at the first click.
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), avant);
    const Essai e = Tenter(Ajout);
    QCOMPARE(e.saisie + e.clic, QStringList());
    QCOMPARE(p.Octets_Log(), avant + Octets({Enr(QStringLiteral("28/03/09"), QStringLiteral("56001"), CA, QStringLiteral("F8NEW"))}));
    QCOMPARE(m->Nombre_Lignes(), 4);
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// A FIFO in place of the log would block the first read for ever; the start-up says the
// file cannot be read instead.
void Test_Pannes::fifo_a_la_place_du_log()
{
    Programme_Test prog;
    prog.Installer_Station();
    QVERIFY(QFile::remove(prog.Log()));
    QVERIFY(::mkfifo(QFile::encodeName(prog.Log()).constData(), 0600) == 0);
    // Should a read block all the same, a writer comes after 5 s to free it, and again for
    // every later read, so that the test fails instead of hanging.
    std::atomic<bool> fini{false};
    const QByteArray fifo = QFile::encodeName(prog.Log());
    std::thread liberateur([&] {
        for (int i = 0; !fini; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (i >= 50 && !fini) {
                const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
        }
    });
    QElapsedTimer chrono;
    chrono.start();
    prog.Demarrer();
    fini = true;
    liberateur.join();
    QVERIFY2(chrono.elapsed() < 4000, "the read of the FIFO blocked");
    QCOMPARE(prog.plateforme->messages.size(), 1);
    QVERIFY(prog.plateforme->messages.first().startsWith(QStringLiteral("Erreur N° 75 : ")));
    VERIFIER_MESSAGE(prog.plateforme->messages.first(), prog.Log(), "chemin ou fichier inaccessible");
    QVERIFY(prog.sp->Programme_Termine());
}

void Test_Pannes::modele_absent_ou_repertoire_data()
{
    QTest::addColumn<bool>("repertoire");
    QTest::newRow("absent") << false;
    QTest::newRow("un répertoire à sa place") << true;
}

// The Station window with a new pair and no template: the pair gets an empty log, and the
// operator is told why.
void Test_Pannes::modele_absent_ou_repertoire()
{
    QFETCH(bool, repertoire);
    Demarrer(Trois_Qso());
    const QByteArray ancien = p.Octets_Log();
    const QString modele = p.Chemin(QStringLiteral("FXXXX_Challenge_KVRT.txt"));
    QVERIFY(QFile::remove(modele));
    if (repertoire)
        QVERIFY(QDir().mkdir(modele));

    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    QVERIFY(s);
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Indicatif"), QStringLiteral("F5XYZ"));
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Annee"), QStringLiteral("2010"));
    Cliquer_Dans(Controle<QPushButton>(s, "Validation"));

    QCOMPARE(p.plateforme->messages.size(), 1);
    QCOMPARE(p.plateforme->messages.first(), QStringLiteral("Le modèle de log est introuvable :\r\n") + QDir::toNativeSeparators(modele)
                                                  + QStringLiteral("\r\nUn log vide a été créé pour F5XYZ 2010."));
    QCOMPARE(p.Octets_Log(QStringLiteral("F5XYZ"), QStringLiteral("2010")), QByteArray());
    QVERIFY(QFileInfo(p.Log(QStringLiteral("F5XYZ"), QStringLiteral("2010"))).isFile());
    QCOMPARE(m->Nombre_Lignes(), 0);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("0"));
    QCOMPARE(m->I_Station->text(), QStringLiteral("F5XYZ"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F5XYZ"));
    QCOMPARE(p.Octets_Log(), ancien);
    QCOMPARE(QFileInfo(modele).isDir(), repertoire);
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(garde.fermees.isEmpty());
}

// The new pair's log cannot be made (a directory holds its name): nothing is switched, the
// window stays open for another try, and the main window goes on with its log.
void Test_Pannes::log_de_la_nouvelle_station_impossible_a_creer()
{
    Demarrer(Trois_Qso());
    const QString nouveau = p.Log(QStringLiteral("F5XYZ"), QStringLiteral("2010"));
    QVERIFY(QDir().mkdir(nouveau));

    Choisir_Menu(m->Mnu_New_Indicatif);
    Station* s = m->Fenetre_Station();
    QVERIFY(s);
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Indicatif"), QStringLiteral("F5XYZ"));
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Annee"), QStringLiteral("2010"));
    Cliquer_Dans(Controle<QPushButton>(s, "Validation"));

    QCOMPARE(p.plateforme->messages.size(), 1);
    VERIFIER_MESSAGE(p.plateforme->messages.first(), nouveau, "chemin ou fichier inaccessible");
    QVERIFY(p.plateforme->messages.first().startsWith(QStringLiteral("Erreur N° 75 : ")));
    QVERIFY(s->isVisible());
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F1ABC"));
    QCOMPARE(p.sp->Annee_Challenge(), QStringLiteral("2009"));
    QCOMPARE(m->I_Station->text(), QStringLiteral("F1ABC"));
    QCOMPARE(m->A_Challenge->text(), QStringLiteral("2009"));
    QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC"));
    QCOMPARE(m->Nombre_Lignes(), 3);
    QVERIFY(QFileInfo(nouveau).isDir());
    s->close();
    QVERIFY(garde.fermees.isEmpty());
}

void Test_Pannes::export_impossible_a_creer()
{
    Demarrer(Trois_Qso());
    const QByteArray avant = p.Octets_Log();
    const QString exportation = p.Chemin(QStringLiteral("F1ABC_Challenge_KVRT_2009_28_03_09.txt"));
    Choisir_Menu(m->Mnu_Enr_Contacte);
    // The export says what it wrote.
    QCOMPARE(p.plateforme->messages.size(), 1);
    QVERIFY(QFileInfo(exportation).isFile());
    QVERIFY(QFile::remove(exportation));
    p.plateforme->messages.clear();

    QVERIFY(QDir().mkdir(exportation));
    Choisir_Menu(m->Mnu_Enr_Contacte);
    QCOMPARE(p.plateforme->messages.size(), 1);
    QVERIFY(p.plateforme->messages.first().startsWith(QStringLiteral("Erreur N° 75 : ")));
    VERIFIER_MESSAGE(p.plateforme->messages.first(), exportation, "chemin ou fichier inaccessible");
    QVERIFY(QFileInfo(exportation).isDir());
    QCOMPARE(p.Octets_Log(), avant);
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(garde.fermees.isEmpty());
}

void Test_Pannes::saut_de_ligne_colle_dans_un_champ_data()
{
    QTest::addColumn<QString>("champ");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<bool>("modification");
    QTest::newRow("indicatif, nouvelle saisie") << QStringLiteral("Ind_A") << QStringLiteral("F6\r\nAB") << false;
    QTest::newRow("indicatif, modification") << QStringLiteral("Ind_A") << QStringLiteral("F6MOD\nX") << true;
    QTest::newRow("date, modification") << QStringLiteral("Date_A") << QStringLiteral("01/03\n09") << true;
    QTest::newRow("référence, modification") << QStringLiteral("KVRT_A") << QStringLiteral("2A\r01") << true;
    QTest::newRow("type, modification") << QStringLiteral("Type_A") << QStringLiteral("Chateau\r\nactive") << true;
}

// A line end pasted into a field (the paste keeps it, and no Enter check need run before the
// click) would cut the record in two lines of the log: the QSO is refused and stays on screen.
void Test_Pannes::saut_de_ligne_colle_dans_un_champ()
{
    QFETCH(QString, champ);
    QFETCH(QString, texte);
    QFETCH(bool, modification);
    Demarrer(Trois_Qso());
    const QByteArray avant = p.Octets_Log();
    if (modification) {
        Cliquer_Ligne(m->Liste_KVRT, 1, true);
        QVERIFY(m->Mode_Modification());
    } else {
        Saisir(m, QStringLiteral("F6"), 3, QStringLiteral("56001"));
    }
    QLineEdit* edition = champ == QLatin1String("Type_A") ? m->Type_A->lineEdit() : m->findChild<QLineEdit*>(champ);
    QVERIFY(edition);
    // A paste: the text goes to the clipboard, Ctrl+V puts it in the field over its text.
    Cliquer_Dans(champ == QLatin1String("Type_A") ? static_cast<QWidget*>(m->Type_A) : edition);
    Touche_Ici(m, Qt::Key_A, Qt::ControlModifier);
    QGuiApplication::clipboard()->setText(texte);
    Touche_Ici(m, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edition->text(), texte);
    QVERIFY(m->Valide_A->isEnabled());
    Cliquer_Dans(m->Valide_A);
    QCOMPARE(p.Octets_Log(), avant);
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("QSO non enregistré : ")) && messages.first().contains(QStringLiteral("ne peut pas être écrit dans le log")),
             qPrintable(messages.first()));
    QCOMPARE(edition->text(), texte);
    QVERIFY(garde.fermees.isEmpty());
}

// ---------------------------------------------------------------------------------------
// The settings store, read as untrusted

void Test_Pannes::reglages_douteux_data()
{
    QTest::addColumn<QString>("indicatif");
    QTest::addColumn<QString>("annee");
    QTest::addColumn<QString>("leurre"); // a log where the value would lead, relative to the program directory

    QTest::newRow("indicatif remontant") << QStringLiteral("../F1ABC") << QStringLiteral("2009") << QStringLiteral("../F1ABC_Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif avec /") << QStringLiteral("sous/F1ABC") << QStringLiteral("2009") << QStringLiteral("sous/F1ABC_Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif avec \\") << QStringLiteral("F1\\ABC") << QStringLiteral("2009") << QStringLiteral("F1\\ABC_Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif ..") << QStringLiteral("..") << QStringLiteral("2009") << QStringLiteral(".._Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif trop long") << QStringLiteral("F1ABCDEFGHIJK") << QStringLiteral("2009") << QStringLiteral("F1ABCDEFGHIJK_Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif en minuscules") << QStringLiteral("f1abc") << QStringLiteral("2009") << QStringLiteral("f1abc_Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif avec blanc") << QStringLiteral("F1ABC ") << QStringLiteral("2009") << QStringLiteral("F1ABC _Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif accentué") << QStringLiteral("F1ÉBC") << QStringLiteral("2009") << QStringLiteral("F1ÉBC_Challenge_KVRT_2009.txt");
    QTest::newRow("indicatif avec saut de ligne") << QStringLiteral("F1ABC\nX") << QStringLiteral("2009") << QString();
    QTest::newRow("année avec /") << QStringLiteral("F1ABC") << QStringLiteral("2/09") << QStringLiteral("F1ABC_Challenge_KVRT_2/09.txt");
    QTest::newRow("année remontante") << QStringLiteral("F1ABC") << QStringLiteral("/../") << QString();
    QTest::newRow("année avec \\") << QStringLiteral("F1ABC") << QStringLiteral("20\\9") << QStringLiteral("F1ABC_Challenge_KVRT_20\\9.txt");
    QTest::newRow("année avec :") << QStringLiteral("F1ABC") << QStringLiteral("20:9") << QStringLiteral("F1ABC_Challenge_KVRT_20:9.txt");
    QTest::newRow("année avec *") << QStringLiteral("F1ABC") << QStringLiteral("200*") << QStringLiteral("F1ABC_Challenge_KVRT_200*.txt");
    QTest::newRow("année avec tabulation") << QStringLiteral("F1ABC") << QStringLiteral("20\t9") << QStringLiteral("F1ABC_Challenge_KVRT_20\t9.txt");
    QTest::newRow("année de trois caractères") << QStringLiteral("F1ABC") << QStringLiteral("209") << QStringLiteral("F1ABC_Challenge_KVRT_209.txt");
    QTest::newRow("année de cinq caractères") << QStringLiteral("F1ABC") << QStringLiteral("20099") << QStringLiteral("F1ABC_Challenge_KVRT_20099.txt");
    QTest::newRow("année avec ?") << QStringLiteral("F1ABC") << QStringLiteral("20?9") << QStringLiteral("F1ABC_Challenge_KVRT_20?9.txt");
    QTest::newRow("année avec |") << QStringLiteral("F1ABC") << QStringLiteral("20|9") << QStringLiteral("F1ABC_Challenge_KVRT_20|9.txt");
}

// A stored value that the Station window would refuse is taken for "not set up": the
// first-installation message and the Station window, and no file named from it is read.
void Test_Pannes::reglages_douteux()
{
    QFETCH(QString, indicatif);
    QFETCH(QString, annee);
    QFETCH(QString, leurre);
    QTemporaryDir racine;
    QVERIFY(QDir(racine.path()).mkpath(QStringLiteral("prog/sous")));
    Programme_Test prog;
    // The program directory is one level down, so that "../" stays inside the test's own.
    prog.plateforme->repertoire = racine.path() + QStringLiteral("/prog");
    QFile::copy(prog.Chemin(QStringLiteral("FXXXX_Challenge_KVRT.txt")), racine.path() + QStringLiteral("/prog/FXXXX_Challenge_KVRT.txt"));
    Ecrire_Reglage(*prog.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), indicatif);
    Ecrire_Reglage(*prog.reglages, QStringLiteral("Setup ") + indicatif, QStringLiteral("Annee Challenge"), annee);
    const QByteArray decoy = Octets({Enr(QStringLiteral("01/03/09"), QStringLiteral("29001"), CA, QStringLiteral("F5AAA"))});
    if (!leurre.isEmpty()) {
        QFile f(racine.path() + QStringLiteral("/prog/") + leurre);
        if (f.open(QIODevice::WriteOnly))
            f.write(decoy);
    }
    const QStringList avant = QDir(racine.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QString titreModal;
    Sur_Modal([&](QWidget* w) {
        titreModal = w->objectName();
        w->close();
    });
    Main_Test* principal = prog.Demarrer();
    QCOMPARE(titreModal, QStringLiteral("Station"));
    QCOMPARE(prog.plateforme->messages,
             QStringList({QStringLiteral("Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge")}));
    QCOMPARE(prog.sp->Indicatif_Station(), QStringLiteral("FXXXX"));
    QCOMPARE(principal->I_Station->text(), QStringLiteral("FXXXX"));
    // No log was read: no list, no total; and no name built from the value.
    QCOMPARE(principal->Nombre_Lignes(), 0);
    QVERIFY(principal->Total_Points->text().isEmpty());
    QVERIFY2(!prog.sp->Nom_Log().contains(indicatif), qPrintable(prog.sp->Nom_Log()));
    QVERIFY2(!prog.sp->Nom_Log().contains(annee), qPrintable(prog.sp->Nom_Log()));
    QVERIFY(QFileInfo(prog.sp->Nom_Log()).absolutePath() == QFileInfo(racine.path() + QStringLiteral("/prog/x")).absolutePath());
    // Nothing was created or changed around the program directory.
    QCOMPARE(QDir(racine.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), avant);
    QVERIFY(!prog.sp->Programme_Termine());
    QVERIFY(garde.fermees.isEmpty());
}

// A store that is not an ini file at all, or a directory in its place, reads as empty.
void Test_Pannes::magasin_de_reglages_illisible()
{
    for (int cas = 0; cas < 2; ++cas) {
        Chien_De_Garde garde;
        Programme_Test prog;
        const QString fichier = prog.reglages->Fichier();
        prog.reglages.reset();
        QDir().mkpath(QFileInfo(fichier).absolutePath());
        if (cas == 0) {
            QFile f(fichier);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray bruit;
            for (int i = 0; i < 4096; ++i)
                bruit.append(char((i * 131 + 7) % 256));
            f.write("[Setup%20]\nIndicatif%20Station=\"F1A\x00\xff\"\n[\n=\n" + bruit);
        } else {
            QVERIFY(QDir().mkpath(fichier));
        }
        prog.reglages = std::make_unique<Reglages>(fichier);
        prog.sp = std::make_unique<Sous_Programmes>(*prog.plateforme, *prog.reglages);
        Sur_Modal([](QWidget* w) { w->close(); });
        Main_Test* principal = prog.Demarrer();
        QCOMPARE(prog.sp->Indicatif_Station(), QStringLiteral("FXXXX"));
        QCOMPARE(principal->Nombre_Lignes(), 0);
        QCOMPARE(prog.plateforme->messages.size(), 1);
        QVERIFY(!prog.sp->Programme_Termine());
        QVERIFY(garde.fermees.isEmpty());
    }
}

// ---------------------------------------------------------------------------------------

// A FIFO put in place of the log while the program runs: every recording, append, insertion
// and replacement alike, says error 75 and puts nothing into it; the QSO stays on screen.
void Test_Pannes::fifo_a_la_place_du_log_en_cours_de_route()
{
    Demarrer(Trois_Qso());
    QVERIFY(QFile::remove(p.Log()));
    const QByteArray fifo = QFile::encodeName(p.Log());
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    // A reader that never blocks shows whatever a write would put into the FIFO.
    const int lecteur = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(lecteur >= 0);
    Trois_Changements_Refuses(75, "chemin ou fichier inaccessible");
    if (QTest::currentTestFailed())
        return;

    char octets[256];
    QVERIFY(::read(lecteur, octets, sizeof octets) <= 0);
    ::close(lecteur);
    QVERIFY(QFileInfo::exists(p.Log()) && !QFileInfo(p.Log()).isFile());
    QVERIFY(!p.sp->Programme_Termine());
    QVERIFY(garde.fermees.isEmpty());
}

void Test_Pannes::log_remplace_par_un_repertoire()
{
    Demarrer(Trois_Qso());
    QVERIFY(QFile::remove(p.Log()));
    QVERIFY(QDir().mkdir(p.Log()));
    Trois_Changements_Refuses(75, "chemin ou fichier inaccessible");
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!p.sp->Programme_Termine());

    // The deletion cannot read the log, then the total meets the same error, which ends the
    // program after its "Erreur N° " message.
    const QStringList messages = Tenter(Suppression).clic;
    QCOMPARE(messages.size(), 2);
    VERIFIER_MESSAGE(messages.at(0), p.Log(), "chemin ou fichier inaccessible");
    QVERIFY(messages.at(1).startsWith(QStringLiteral("Erreur N° 75")));
    VERIFIER_MESSAGE(messages.at(1), p.Log(), "chemin ou fichier inaccessible");
    QVERIFY(p.sp->Programme_Termine());
    QVERIFY(QFileInfo(p.Log()).isDir());
    QVERIFY(QDir(p.Log()).isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Test_Pannes)
#include "Test_Pannes.moc"
