// One program per log: the lock beside the log, against another process that really holds
// it (this test program started again, as a second copy of the program would), and the lock
// that a process killed left behind, whoever it ran as. Started by root, the tests run again
// as an ordinary user, with locks of root's made beforehand.

#include "Journal.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Station.h"
#include "Utilisateur_Ordinaire.h"
#include "Verrou_Log.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QLockFile>
#include <QProcess>
#include <QPointer>
#include <QScopeGuard>
#include <QStatusBar>
#include <QSysInfo>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const Variable_Detenteur = "KVRT_VERROU_A_TENIR";

// Another process holding the lock of a log until it is killed, as a program killed while it
// works would leave it.
class Detenteur
{
public:
    bool Prendre(const QString& log)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(Variable_Detenteur), log);
        m_processus.setProcessEnvironment(env);
        m_processus.start(QCoreApplication::applicationFilePath(), QStringList());
        if (!m_processus.waitForStarted() || !m_processus.waitForReadyRead(30000))
            return false;
        return m_processus.readAll().startsWith("pret");
    }
    qint64 Pid() const { return m_processus.processId(); }
    void Tuer()
    {
        m_processus.kill();
        m_processus.waitForFinished();
    }
    ~Detenteur()
    {
        if (m_processus.state() != QProcess::NotRunning)
            Tuer();
    }

private:
    QProcess m_processus;
};

// The process number written in the lock of a log, 0 when there is no lock.
qint64 Tenu_Par(const QString& log)
{
    QLockFile verrou(Verrou_Log::Chemin_Verrou(log));
    qint64 pid = 0;
    QString machine, programme;
    return verrou.getLockInfo(&pid, &machine, &programme) ? pid : 0;
}

// What a lock holds: its process number, program and machine; this process never ran.
QByteArray Verrou_Perime(const QString& machine = QSysInfo::machineHostName())
{
    return "999999999\nQEZ_Challenge_KVRT\n" + machine.toUtf8() + '\n';
}

// The lock of a log that came with it from another computer through a synced folder, or one
// written on this machine by a program since killed; made at 09:30 today.
void Poser_Verrou(const QString& log, const QString& machine)
{
    QFile f(Verrou_Log::Chemin_Verrou(log));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(Verrou_Perime(machine)), Verrou_Perime(machine).size());
    QVERIFY(f.flush());
    QVERIFY(f.setFileTime(QDateTime(QDate::currentDate(), QTime(9, 30)), QFileDevice::FileModificationTime));
}

// What the operator reads of a log another machine holds, and the one sentence of a change
// refused while it is read-only.
QString Verrou_Ailleurs(const QString& log)
{
    return QStringLiteral("Le log\r\n%1\r\nest ouvert par le programme de la machine ailleurs depuis le %2 à 09:30 "
                          "(processus N° 999999999).")
        .arg(QDir::toNativeSeparators(log), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
}
const QString Lecture_Seule =
    QStringLiteral("Ce log est ouvert en lecture seule, car le programme de la machine ailleurs le tient ouvert.");

// Root's locks, one per test that takes one, made before the tests ran as an ordinary user.
bool Preparer_Verrous_De_Root(const std::string& base)
{
    const std::string dossier = base + "/verrous";
    if (::mkdir(dossier.c_str(), 0755) != 0 || ::chown(dossier.c_str(), Utilisateur_Ordinaire::Uid, Utilisateur_Ordinaire::Uid) != 0)
        return false;
    const QByteArray verrou = Verrou_Perime();
    for (const char* nom : {"/repris", "/garde", "/illisible"}) {
        FILE* f = std::fopen((dossier + nom).c_str(), "w");
        if (!f || std::fwrite(verrou.constData(), 1, size_t(verrou.size()), f) != size_t(verrou.size())
            || std::fclose(f) != 0)
            return false;
    }
    // As a program run under sudo with a strict umask leaves it.
    return ::chmod((dossier + "/illisible").c_str(), 0600) == 0;
}

// The lock of a log left by a program that ran as another user (a run under sudo) and has
// ended: one of root's when root started the tests. Run directly by an ordinary user, no file
// of another owner can be made: his own, made read-only, refuses to be opened for writing
// just the same, which is what kept such a lock for ever.
bool Poser_Verrou_D_Autrui(const QString& log, const char* nom)
{
    const QByteArray verrou = QFile::encodeName(Verrou_Log::Chemin_Verrou(log));
    if (Utilisateur_Ordinaire::Relance())
        return ::rename((Utilisateur_Ordinaire::Dossier() + "/verrous/" + nom).c_str(), verrou.constData()) == 0;
    QFile f(QFile::decodeName(verrou));
    const bool illisible = qstrcmp(nom, "illisible") == 0;
    return f.open(QIODevice::WriteOnly) && f.write(Verrou_Perime()) == Verrou_Perime().size()
           && f.setPermissions(illisible ? QFileDevice::Permissions() : QFile::ReadOwner);
}

// A temporary file left by a rewrite that was interrupted a day ago.
void Poser_Reste(const Programme_Test& p)
{
    QFile f(p.Log() + QStringLiteral(".a1b2c3"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("reste\r\n");
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
}

// The other copy's message, as the user reads it.
QString Message_Occupe(const QString& log, qint64 pid)
{
    return QStringLiteral("Le log\r\n%1\r\nest déjà ouvert dans une autre fenêtre du programme (processus N° %2).\r\n"
                          "Il n'est pas modifié ici : passez à cette fenêtre pour y travailler, choisissez une autre "
                          "station ou une autre année, ou quittez le programme.")
        .arg(QDir::toNativeSeparators(log))
        .arg(pid);
}

// The Station window, filled in and validated as the user does; Escape when indicatif is empty.
void Remplir_Station(Station* s, const QString& indicatif, const QString& annee)
{
    Activer(s);
    if (indicatif.isEmpty()) {
        Touche_Ici(s, Qt::Key_Escape);
        return;
    }
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Indicatif"), indicatif);
    Touche_Ici(s, Qt::Key_Return);
    Remplacer_Texte(Controle<QLineEdit>(s, "New_Annee"), annee);
    Touche_Ici(s, Qt::Key_Return);
    Entree(Controle<QPushButton>(s, "Validation"));
}

} // namespace

class Tst_Verrou : public Cas_Programme
{
    Q_OBJECT

private slots:
    void demarrage_data();
    void demarrage();
    void routines_refusees_data();
    void routines_refusees();
    void changement_de_station();
    void verrou_qui_ne_peut_etre_repris_data();
    void verrou_qui_ne_peut_etre_repris();
};

// At start-up, the log of the station is held by another program (running, or killed and
// gone, or on another machine): a running one's log is never touched, the user is told and
// chooses another station or ends the program; a dead one's lock is taken over without a
// word, and then holds off a second program; another machine's is taken over or read only,
// as the operator answers.
void Tst_Verrou::demarrage_data()
{
    // detenteur: "vivant", "tue", "muet" (a lock file left empty by a program killed between
    // its creation and its writing, just now), "autrui", "ici" (a lock file of this machine
    // whose process is gone) or "ailleurs" (another machine's, answered by reponse).
    QTest::addColumn<QString>("detenteur");
    QTest::addColumn<QString>("autreStation");
    QTest::addColumn<bool>("reponse");
    QTest::newRow("detenteur vivant, autre station choisie") << "vivant" << QStringLiteral("F2XYZ") << false;
    QTest::newRow("detenteur vivant, Station refermee") << "vivant" << QString() << false;
    QTest::newRow("detenteur tue : verrou repris") << "tue" << QString() << false;
    QTest::newRow("verrou vide d'un programme tue : repris") << "muet" << QString() << false;
    QTest::newRow("verrou d'un autre utilisateur, programme arrete : repris") << "autrui" << QString() << false;
    QTest::newRow("verrou de cette machine, processus arrete : repris") << "ici" << QString() << false;
    QTest::newRow("verrou d'une autre machine, Oui : repris") << "ailleurs" << QString() << true;
    QTest::newRow("verrou d'une autre machine, Non : lecture seule") << "ailleurs" << QString() << false;
}

void Tst_Verrou::demarrage()
{
    QFETCH(QString, detenteur);
    QFETCH(QString, autreStation);
    QFETCH(bool, reponse);
    const bool vivant = detenteur == QLatin1String("vivant");
    const bool ailleurs = detenteur == QLatin1String("ailleurs");
    p.Installer_Station();
    p.Ecrire_Log({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")});
    // The other program's journal, and a temporary file its rewrite left: both are its own.
    const QString journal = Journal::Chemin_Journal(p.Log());
    p.Ecrire_Fichier(QFileInfo(journal).fileName(), "journal de l'autre\r\n");
    Poser_Reste(p);
    const QByteArray log = p.Octets_Log();

    Detenteur autre;
    qint64 pid = 0;
    if (detenteur == QLatin1String("muet")) {
        QFile vide(Verrou_Log::Chemin_Verrou(p.Log()));
        QVERIFY(vide.open(QIODevice::WriteOnly));
    } else if (detenteur == QLatin1String("autrui")) {
        QVERIFY(Poser_Verrou_D_Autrui(p.Log(), "repris"));
    } else if (detenteur == QLatin1String("ici") || ailleurs) {
        Poser_Verrou(p.Log(), ailleurs ? QStringLiteral("ailleurs") : QSysInfo::machineHostName());
        p.plateforme->reponses = {reponse};
    } else {
        QVERIFY(autre.Prendre(p.Log()));
        pid = autre.Pid();
        QCOMPARE(Tenu_Par(p.Log()), pid);
        if (!vivant)
            autre.Tuer();
    }

    bool stationOuverte = false;
    // The watch goes with the test when no window opens, so that it never acts in a later one.
    QPointer<QTimer> guet = Sur_Modal([&](QWidget* w) {
        auto* s = qobject_cast<Station*>(w);
        stationOuverte = s;
        if (!s) {
            w->close();
            return;
        }
        Remplir_Station(s, autreStation, QStringLiteral("2009"));
    });
    const auto finGuet = qScopeGuard([&] { delete guet; });
    Main_Test* m = p.Demarrer();

    QCOMPARE(p.plateforme->questions.size(), int(ailleurs));
    if (ailleurs) {
        QVERIFY2(p.plateforme->questions[0].startsWith(Verrou_Ailleurs(p.Log())), qPrintable(p.plateforme->questions[0]));
        QVERIFY(p.plateforme->questions[0].endsWith(QStringLiteral("\r\nOuvrir ce log quand même ?")));
    }
    if (ailleurs && !reponse) {
        // Read only: the log is shown, every change is refused, nothing of the other's is touched.
        QVERIFY(m->isVisible());
        QCOMPARE(m->Nombre_Lignes(), 1);
        QString ligne = Enr("28/03/09", "29001", "Chateau Contacte", "F6ABC");
        QVERIFY(!Ajoute_Ligne(*p.sp, ligne));
        QCOMPARE(p.plateforme->messages, QStringList{Lecture_Seule + QStringLiteral("\r\nLe QSO n'a pas été enregistré.")});
        QCOMPARE(p.Octets_Log(), log);
        QCOMPARE(p.Lire_Fichier(QFileInfo(journal).fileName()), QByteArray("journal de l'autre\r\n"));
        QCOMPARE(Tenu_Par(p.Log()), 999999999);
        return;
    }
    if (!vivant) {
        QVERIFY2(p.plateforme->messages.isEmpty(), qPrintable(p.plateforme->messages.join(QLatin1Char('\n'))));
        QVERIFY(!stationOuverte);
        QCOMPARE(Tenu_Par(p.Log()), QCoreApplication::applicationPid());
        QCOMPARE(m->statusBar()->currentMessage(),
                 ailleurs ? QStringLiteral("Verrou du log repris à la machine ailleurs.") : QString());
        // Said over the score line, which gives it the room, not under it.
        QCOMPARE(m->Ligne_Score->isVisible(), !ailleurs);
        // The log is this program's now: a second program is refused, and a QSO goes in.
        Detenteur second;
        QVERIFY(!second.Prendre(p.Log()));
        QString ligne = Enr("28/03/09", "29001", "Chateau Contacte", "F6ABC");
        QVERIFY(Ajoute_Ligne(*p.sp, ligne));
        QCOMPARE(p.Octets_Log(), log + Octets({ligne}));
        return;
    }

    QCOMPARE(p.plateforme->messages.value(0), Message_Occupe(p.Log(), pid));
    QVERIFY(stationOuverte);
    // Nothing of the other program's was written, nor cleaned away.
    QCOMPARE(p.Octets_Log(), log);
    QCOMPARE(p.Lire_Fichier(QFileInfo(journal).fileName()), QByteArray("journal de l'autre\r\n"));
    QVERIFY(QFile::exists(p.Log() + QStringLiteral(".a1b2c3")));
    QCOMPARE(Tenu_Par(p.Log()), pid);
    if (autreStation.isEmpty()) {
        QVERIFY(p.sp->Programme_Termine());
        QVERIFY(!m->isVisible());
        QCOMPARE(Lire_Reglage(*p.reglages, QStringLiteral("Setup "), QStringLiteral("Indicatif Station"), QString()), QStringLiteral("F1ABC"));
    } else {
        // The program goes on with the station chosen, whose log it holds.
        QVERIFY(!p.sp->Programme_Termine());
        QCOMPARE(p.sp->Indicatif_Station(), autreStation);
        QVERIFY(m->isVisible());
        QCOMPARE(Tenu_Par(p.Log(autreStation)), QCoreApplication::applicationPid());
        QCOMPARE(p.plateforme->messages.size(), 1);
    }
    QVERIFY(garde.fermees.isEmpty());
}

// Every routine that writes the log, asked while another program holds it: refused with the
// message, and neither the log nor its journal changes.
void Tst_Verrou::routines_refusees_data()
{
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QString>("suite");
    QTest::addColumn<bool>("ailleurs"); // the holder runs on another machine; Non answered
    for (const bool ailleurs : {false, true}) {
        for (const char* r : {"Ajoute_Ligne", "Insere_Ligne", "Remplace_Ou_Ajoute_Ligne", "Supprime_Lignes_Reference",
                              "Annuler_Modification", "Retablir_Modification", "Revenir_A", "Importe_Lignes"})
            QTest::addRow("%s%s", r, ailleurs ? ", autre machine" : "")
                << QString::fromLatin1(r)
                << (qstrncmp(r, "Ajoute_", 7) == 0 || qstrncmp(r, "Insere_", 7) == 0 ? QStringLiteral("Le QSO n'a pas été enregistré.")
                    : qstrcmp(r, "Importe_Lignes") == 0 ? QStringLiteral("Le log n'a pas été modifié : rien n'a été importé.")
                                                        : QStringLiteral("Le log n'a pas été modifié."))
                << ailleurs;
        QTest::addRow("Verifier_Journal%s", ailleurs ? ", autre machine" : "") << QStringLiteral("Verifier_Journal") << QString() << ailleurs;
    }
}

void Tst_Verrou::routines_refusees()
{
    QFETCH(QString, routine);
    QFETCH(QString, suite);
    QFETCH(bool, ailleurs);
    p.Installer_Station();
    const QString l1 = Enr("28/03/09", "2A001", "Chateau active", "F5XYZ");
    p.Ecrire_Log({l1});
    p.sp->Choisir_Station(QStringLiteral("F1ABC"), QStringLiteral("2009"));
    // A change this program made before the other took the log over: there is something to
    // undo and redo, and the journal says the log is as it left it.
    QString l2 = Enr("28/03/09", "29001", "Chateau Contacte", "F6ABC");
    QVERIFY(Ajoute_Ligne(*p.sp, l2));
    QVERIFY(Annuler_Modification(*p.sp));
    p.sp->Rendre_Verrou();
    Poser_Reste(p);
    const QString journal = Journal::Chemin_Journal(p.Log());
    const QByteArray log = p.Octets_Log();
    const QByteArray octetsJournal = p.Lire_Fichier(QFileInfo(journal).fileName());
    QVERIFY(!octetsJournal.isEmpty());

    Detenteur autre;
    if (ailleurs) {
        Poser_Verrou(p.Log(), QStringLiteral("ailleurs"));
        p.plateforme->reponses = {false};
    } else {
        QVERIFY(autre.Prendre(p.Log()));
    }
    p.plateforme->messages.clear();
    QString ligne = Enr("28/03/09", "56003", "Chateau Contacte", "F2ABC");
    QString liste = QStringLiteral("28/03/09") + l1.mid(8);
    QString reference = QStringLiteral("2A001");
    bool fait = true;
    if (routine == QLatin1String("Ajoute_Ligne"))
        fait = Ajoute_Ligne(*p.sp, ligne);
    else if (routine == QLatin1String("Insere_Ligne"))
        fait = Insere_Ligne(*p.sp, ligne);
    else if (routine == QLatin1String("Remplace_Ou_Ajoute_Ligne"))
        fait = Remplace_Ou_Ajoute_Ligne(*p.sp, liste, ligne);
    else if (routine == QLatin1String("Supprime_Lignes_Reference"))
        fait = Supprime_Lignes_Reference(*p.sp, reference);
    else if (routine == QLatin1String("Annuler_Modification"))
        fait = Annuler_Modification(*p.sp);
    else if (routine == QLatin1String("Retablir_Modification"))
        fait = Retablir_Modification(*p.sp);
    else if (routine == QLatin1String("Revenir_A"))
        fait = Revenir_A(*p.sp, 1);
    else if (routine == QLatin1String("Importe_Lignes"))
        fait = Importe_Lignes(*p.sp, {Octets({ligne}).chopped(2)});
    else
        p.sp->Verifier_Journal(), fait = false;
    QVERIFY(!fait);

    QCOMPARE(p.Octets_Log(), log);
    QCOMPARE(p.Lire_Fichier(QFileInfo(journal).fileName()), octetsJournal);
    QVERIFY(QFile::exists(p.Log() + QStringLiteral(".a1b2c3")));
    QCOMPARE(Tenu_Par(p.Log()), ailleurs ? 999999999 : autre.Pid());
    // Asked once, before anything is written: the answer Non keeps the log read-only.
    QCOMPARE(p.plateforme->questions.size(), int(ailleurs && !suite.isEmpty()));
    const QString attendu = ailleurs ? Lecture_Seule : Message_Occupe(p.Log(), autre.Pid());
    if (suite.isEmpty())
        QVERIFY2(p.plateforme->messages.isEmpty(), qPrintable(p.plateforme->messages.join(QLatin1Char('\n'))));
    else
        QCOMPARE(p.plateforme->messages, QStringList{attendu + QStringLiteral("\r\n") + suite});
}

// A change of station in the Station window: the new log's lock is taken before the old one
// goes, so that a refused change keeps the old; a lock left by a killed program is taken over.
void Tst_Verrou::changement_de_station()
{
    p.Installer_Station();
    p.Ecrire_Log({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")});
    p.Installer_Station(QStringLiteral("F2XYZ"), QStringLiteral("2009"));
    p.Installer_Station();
    const QByteArray log2 = p.Octets_Log(QStringLiteral("F2XYZ"));
    Main_Test* m = p.Demarrer();
    const qint64 moi = QCoreApplication::applicationPid();
    QCOMPARE(Tenu_Par(p.Log()), moi);

    Detenteur autre;
    QVERIFY(autre.Prendre(p.Log(QStringLiteral("F2XYZ"))));
    p.plateforme->messages.clear();
    Activer(m);
    Choisir_Menu(m->Mnu_New_Indicatif);
    QVERIFY(m->Fenetre_Station());
    Station* s = m->Fenetre_Station();
    Remplir_Station(s, QStringLiteral("F2XYZ"), QStringLiteral("2009"));
    QCOMPARE(p.plateforme->messages, QStringList{Message_Occupe(p.Log(QStringLiteral("F2XYZ")), autre.Pid())});
    // Nothing switched: the old log is still held and shown.
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F1ABC"));
    QCOMPARE(m->I_Station->text(), QStringLiteral("F1ABC"));
    QCOMPARE(Tenu_Par(p.Log()), moi);
    QCOMPARE(Tenu_Par(p.Log(QStringLiteral("F2XYZ"))), autre.Pid());
    QVERIFY(s->isVisible());

    // The other program killed: its lock is stale, and taken over by the same change.
    autre.Tuer();
    p.plateforme->messages.clear();
    Entree(Controle<QPushButton>(s, "Validation"));
    QVERIFY2(p.plateforme->messages.isEmpty(), qPrintable(p.plateforme->messages.join(QLatin1Char('\n'))));
    QCOMPARE(p.sp->Indicatif_Station(), QStringLiteral("F2XYZ"));
    QCOMPARE(Tenu_Par(p.Log(QStringLiteral("F2XYZ"))), moi);
    QCOMPARE(Tenu_Par(p.Log()), 0);
    QVERIFY(!QFile::exists(Verrou_Log::Chemin_Verrou(p.Log())));
    QString ligne = Enr("28/03/09", "29001", "Chateau Contacte", "F6ABC");
    QVERIFY(Ajoute_Ligne(*p.sp, ligne));
    QCOMPARE(p.Octets_Log(QStringLiteral("F2XYZ")), log2 + Octets({ligne}));
    QVERIFY(garde.fermees.isEmpty());
}

// A lock of another user's that this one cannot take over: abandoned, in a folder that keeps
// it (read-only here), or one he may not even read. Each change is refused with a message
// that says so and names the file to remove; nothing is written.
void Tst_Verrou::verrou_qui_ne_peut_etre_repris_data()
{
    QTest::addColumn<QString>("verrou");
    QTest::addColumn<QString>("message"); // "%1" the log, "%2" the lock
    QTest::newRow("abandonne, garde par son dossier")
        << "garde"
        << "Le log\r\n%1\r\nest bloqué par un verrou abandonné, laissé par un programme qui ne tourne plus (lancé peut-être "
           "par un autre utilisateur ou en administrateur). Le programme ne peut pas supprimer ce verrou (permission "
           "refusée) :\r\n%2\r\nSupprimez ce fichier, au besoin en administrateur, puis recommencez.";
    QTest::newRow("illisible")
        << "illisible"
        << "Le log\r\n%1\r\nest bloqué par un verrou que le programme ne peut pas lire (permission refusée), laissé par un "
           "autre utilisateur ou en administrateur :\r\n%2\r\nSi aucune autre fenêtre du programme n'a ce log ouvert, ce "
           "verrou est abandonné : supprimez ce fichier, au besoin en administrateur, puis recommencez.";
}

void Tst_Verrou::verrou_qui_ne_peut_etre_repris()
{
    QFETCH(QString, verrou);
    QFETCH(QString, message);
    p.Installer_Station();
    p.Ecrire_Log({Enr("28/03/09", "2A001", "Chateau active", "F5XYZ")});
    p.sp->Choisir_Station(QStringLiteral("F1ABC"), QStringLiteral("2009"));
    const QByteArray log = p.Octets_Log();
    QVERIFY(Poser_Verrou_D_Autrui(p.Log(), qPrintable(verrou)));
    const QByteArray dossier = QFile::encodeName(QFileInfo(p.Log()).path());
    if (verrou == QLatin1String("garde"))
        QVERIFY(::chmod(dossier.constData(), 0555) == 0);
    const auto rendre = qScopeGuard([&] { ::chmod(dossier.constData(), 0755); });

    QString ligne = Enr("28/03/09", "29001", "Chateau Contacte", "F6ABC");
    QVERIFY(!Ajoute_Ligne(*p.sp, ligne));
    QCOMPARE(p.plateforme->messages,
             QStringList{message.arg(QDir::toNativeSeparators(p.Log()), QDir::toNativeSeparators(Verrou_Log::Chemin_Verrou(p.Log())))
                         + QStringLiteral("\r\nLe QSO n'a pas été enregistré.")});
    QCOMPARE(p.Octets_Log(), log);
    QVERIFY(QFile::exists(Verrou_Log::Chemin_Verrou(p.Log())));
}

// Started again with the path of a log in its environment, the test program holds that log's
// lock as another copy of the program would, until it is killed.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(Variable_Detenteur)) {
        QCoreApplication app(argc, argv);
        QLockFile verrou(Verrou_Log::Chemin_Verrou(qEnvironmentVariable(Variable_Detenteur)));
        std::puts(verrou.tryLock(0) ? "pret" : "refuse");
        std::fflush(stdout);
        return app.exec();
    }
    if (::geteuid() == 0 && !Utilisateur_Ordinaire::Relance())
        return Utilisateur_Ordinaire::Relancer(argv, Preparer_Verrous_De_Root);
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    Tst_Verrou t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_verrou.moc"
