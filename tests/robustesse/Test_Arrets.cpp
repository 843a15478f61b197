// The program stopped at any moment never leaves a damaged log nor loses a QSO the list has
// shown. Two helpers at a time change the log through the program's own routines, undos and
// redos among the operations, and are stopped again and again in one of two ways:
// - killed with SIGKILL at random moments (test_robustesse_coupure), one kill in six in the
//   start-up, where the settings store is written;
// - ended by a power cut (test_robustesse_courant) under a layer (coupure_courant, loaded with
//   LD_PRELOAD) that keeps apart what was not yet synced to disk and, at a call chosen anywhere
//   in an operation, throws it away as a disk cache would, keeping a random first part of the
//   bytes appended since the last sync (a torn last line). The log has ten thousand lines and
//   its journal spans two seasons, so that the first change of each episode compacts it.
// After each stop the log reads whole and is the state after the last operation done, before
// or after the one cut short, or (a power cut) before it followed by a torn line that the next
// start takes back or completes; the journal explains it, one undo giving the state before the
// last change done; the lines written by hand are all there, and the next start reads the log.

#include "Enregistrement.h"
#include "FichierLog.h"
#include "Journal.h"
#include "Juge_Journal.h"
#include "Main_Test.h"
#include "Modele_Log.h"
#include "Outils_Test.h"
#include "Texte1252.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QString Nom_Log = QStringLiteral("F1ABC_Challenge_KVRT_2009.txt");

// How the helper is stopped, and what each of its episodes starts from.
struct Maniere
{
    bool courant = false; // a power cut under the layer; otherwise a kill
    int voulus = 0;       // stops in the run
    QByteArray log, journal;
    QList<QPair<QByteArray, QByteArray>> faites; // the changes the journal holds, as hashes
    // Lines a user or another tool left in the log: through every rewrite unchanged, never
    // taken for a QSO.
    QList<QByteArray> aLaMain;
    QList<QPair<QString, QByteArray>> leurres; // files an older run may have left beside the log
    int parEpisode = 0; // stops before the lane starts again from the above; 0: never
    QDateTime horloge;  // dates the undo after a stop; none: now
};

struct Bilan
{
    int arrets = 0;
    int episodes = 0;
    int auDemarrage = 0;
    int pendantOperation = 0;
    int etatAvant = 0;
    int etatApres = 0;
    int logDechire = 0;
    int dechiruresReprises = 0;
    int dechiruresLaissees = 0;
    QString premiereLaissee;
    qint64 operationsFaites = 0;
    int annulations = 0;
    int annulationsApresArret = 0;
    qint64 qsoVerifies = 0;
    QSet<QString> restes;          // leftover temporary files seen, by path
    QSet<QByteArray> interrompues; // the kinds of operation a stop cut short
    QSet<QString> genres;          // the kinds of cut points the layer reached
    QSet<QString> endroits;        // the operation, the call and the file each cut came before
};

// One program folder and its helper, stopped, judged and started again and again.
struct Voie
{
    Programme_Test p;
    QTemporaryDir notes; // outside the folder a cut restores
    QProcess ecrivain;
    QTimer minuteur; // the kill to come
    QElapsedTimer debut;
    qint64 lu = 0;
    qint64 luRapport = 0;
    QByteArray empreinte; // the log's hash the next start must find
    Piles_Vues piles;     // the changes seen done, for the undos
    int arretsEpisode = 0;
    bool recommencer = false;
    bool auDemarrage = false; // the kill falls in the start-up
    bool arrete = true;       // the helper's end is judged, or being judged
    // A torn append left by the last cut: the next start takes the torn line back (the state
    // before) or completes it (the state after); the torn bytes are allowed until it has run.
    QByteArray brut, quoiDechire, avantDechire, apresDechire;

    QString Notes() const { return notes.filePath(QStringLiteral("notes.txt")); }
    QString Rapport() const { return notes.filePath(QStringLiteral("rapport.txt")); }
};

void Commencer_Episode(Voie& v, const Maniere& m, Bilan& b)
{
    const QDir dossier(v.p.Repertoire());
    for (const QString& nom : dossier.entryList(QDir::Files | QDir::Hidden))
        if (nom != QLatin1String("FXXXX_Challenge_KVRT.txt"))
            QFile::remove(dossier.filePath(nom));
    v.p.Ecrire_Fichier(Nom_Log, m.log);
    if (!m.journal.isEmpty())
        v.p.Ecrire_Fichier(Nom_Log + QStringLiteral(".journal"), m.journal);
    for (const auto& [nom, octets] : m.leurres)
        v.p.Ecrire_Fichier(nom, octets);
    v.empreinte = Empreinte_Sha1(m.log);
    v.piles.faites = m.faites;
    v.piles.annulees.clear();
    v.brut.clear();
    v.arretsEpisode = 0;
    v.recommencer = false;
    ++b.episodes;
}

// What a file of the folder is to the program, as the layer names it.
QString Classe(const QByteArray& nom)
{
    const QByteArray log = Nom_Log.toLatin1(), journal = log + ".journal";
    if (nom == ".")
        return QStringLiteral("folder");
    if (nom == log)
        return QStringLiteral("log");
    if (nom == journal)
        return QStringLiteral("journal");
    if (nom.startsWith(journal + '.'))
        return QStringLiteral("journal-other");
    if (nom.startsWith(log + '.'))
        return QStringLiteral("log-other");
    if (nom.endsWith(".lock"))
        return QStringLiteral("lock");
    return QStringLiteral("other");
}

// Where the layer cut, from its report: the kinds of cut points and the places reached.
void Lire_Rapport(const QByteArray& rapport, const QString& moment, bool pret, Bilan& b)
{
    for (const QByteArray& ligne : rapport.split('\n')) {
        if (ligne.startsWith("COUPURE ")) {
            const qsizetype espace = ligne.indexOf(' ', 8);
            const QString appel = QString::fromLatin1(ligne.mid(8, espace - 8));
            const QString classe = Classe(ligne.mid(espace + 1));
            b.endroits.insert(moment + QLatin1Char(' ') + appel + QLatin1Char(' ') + classe);
            if (!pret)
                b.genres.insert(QStringLiteral("start-up"));
            if (appel == QLatin1String("fsync") && classe == QLatin1String("folder") && pret)
                b.genres.insert(QStringLiteral("sync of the folder in an operation"));
            if (classe == QLatin1String("log-other") && pret)
                b.genres.insert(QStringLiteral("rewrite of the log"));
            if ((classe == QLatin1String("journal-other") || (appel == QLatin1String("rename") && classe == QLatin1String("journal")))
                && pret)
                b.genres.insert(QStringLiteral("compaction of the journal"));
        } else if (ligne.startsWith("GARDE ")) {
            const QList<QByteArray> m = ligne.split(' ');
            if (m.size() == 4 && m.at(2).toLongLong() > 0 && m.at(2).toLongLong() < m.at(3).toLongLong())
                b.genres.insert(QStringLiteral("torn line in the ") + Classe(m.at(1)));
        }
    }
}

// The log without a last line that lacks its line end.
QByteArray Sans_Ligne_Dechiree(const QByteArray& octets)
{
    return octets.left(octets.lastIndexOf('\n') + 1);
}

// Judges what one stop left; returns what is wrong, or nothing. `fin` says how the helper
// ended when that was not the stop expected. With jugerJournal the journal is judged at once
// (one undo); otherwise the next start meets the files as the stop left them. A torn line
// that the start left in the log is counted apart, and the lane starts its episode again.
QString Juger(Voie& v, const Maniere& m, Bilan& b, const QString& fin, bool jugerJournal)
{
    const QByteArray nouveau = Lire_Notes(v.Notes(), v.lu);
    const QByteArray rapport = Lire_Notes(v.Rapport(), v.luRapport);
    if (!fin.isEmpty())
        return fin + QStringLiteral(":\n") + QString::fromUtf8(nouveau.right(600));

    QByteArray avantEnCours, apresEnCours, quoiEnCours;
    bool pret = false;
    for (const QByteArray& ligne : nouveau.split('\n')) {
        const QList<QByteArray> n = ligne.split(' ');
        if (n.at(0) == "PRET" && n.size() == 3) {
            pret = true;
            if (!v.brut.isEmpty()) {
                if (n.at(1) == v.brut) {
                    if (b.premiereLaissee.isEmpty())
                        b.premiereLaissee = QStringLiteral("cut %1, during %2").arg(b.arrets).arg(QString::fromLatin1(v.quoiDechire));
                    ++b.dechiruresLaissees;
                    ++b.arrets;
                    ++v.arretsEpisode;
                    v.recommencer = true;
                    return {};
                }
                if (n.at(1) != v.avantDechire && n.at(1) != v.apresDechire)
                    return QStringLiteral("after a cut that tore the log's last line (during %1), the start made of it "
                                          "neither the state before nor the state after")
                        .arg(QString::fromLatin1(v.quoiDechire));
                if (n.at(1) == v.apresDechire)
                    v.piles.Terminer(v.quoiDechire, v.avantDechire, v.apresDechire);
                v.empreinte = n.at(1);
                v.brut.clear();
                ++b.dechiruresReprises;
            } else if (n.at(1) != v.empreinte) {
                return QStringLiteral("the start did not find the log the last stop left");
            }
        } else if (n.at(0) == "OP" && n.size() == 5) {
            if (!avantEnCours.isEmpty())
                return QStringLiteral("two operations without FAIT");
            if (n.at(3) != v.empreinte)
                return QStringLiteral("operation %1 did not start from the last state").arg(QString::fromLatin1(n.at(1)));
            quoiEnCours = n.at(2);
            avantEnCours = n.at(3);
            apresEnCours = v.piles.Attendu(quoiEnCours, n.at(4));
            if (apresEnCours.isEmpty())
                return QStringLiteral("operation %1: the program offered an undo or redo of nothing seen").arg(QString::fromLatin1(n.at(1)));
        } else if (n.at(0) == "FAIT" && n.size() == 3) {
            if (apresEnCours.isEmpty())
                return QStringLiteral("FAIT without OP");
            if (n.at(2) != apresEnCours)
                return QStringLiteral("operation %1 (%2) left another state than expected").arg(QString::fromLatin1(n.at(1)), QString::fromLatin1(quoiEnCours));
            v.piles.Terminer(quoiEnCours, avantEnCours, apresEnCours);
            v.empreinte = apresEnCours;
            avantEnCours.clear();
            apresEnCours.clear();
            ++b.operationsFaites;
            if (quoiEnCours == "ANNULER" || quoiEnCours == "RETABLIR")
                ++b.annulations;
        } else if (!ligne.isEmpty()) {
            return QStringLiteral("notes: ") + QString::fromUtf8(ligne);
        }
    }
    Lire_Rapport(rapport, !pret ? QStringLiteral("start-up") : avantEnCours.isEmpty() ? QStringLiteral("between operations") : QString::fromLatin1(quoiEnCours),
                 pret, b);

    // The log reads whole, and holds every QSO the list showed: it is the state after the
    // last operation done, or before or after the one the stop cut short, or before it with
    // a torn last line.
    QList<QByteArray> lignes;
    const ErreurFichier e = FichierLog::Lire(v.p.Log(), lignes);
    if (!e.ok())
        return QStringLiteral("the log does not read after a stop: ") + e.message;
    QByteArray octets = v.p.Octets_Log();
    const QByteArray vue = Empreinte_Sha1(octets);
    ++b.arrets;
    ++v.arretsEpisode;
    if (!pret)
        ++b.auDemarrage;
    bool dechire = false;
    if (!avantEnCours.isEmpty()) {
        ++b.pendantOperation;
        b.interrompues.insert(quoiEnCours);
        if (vue == avantEnCours || vue == apresEnCours) {
            (vue == avantEnCours ? b.etatAvant : b.etatApres)++;
            // Done as far as the disk goes: the undo stack holds it.
            if (vue == apresEnCours && vue != avantEnCours)
                v.piles.Terminer(quoiEnCours, avantEnCours, apresEnCours);
            v.empreinte = vue;
        } else if (m.courant && Empreinte_Sha1(Sans_Ligne_Dechiree(octets)) == avantEnCours) {
            ++b.logDechire;
            dechire = true;
            v.brut = vue;
            v.quoiDechire = quoiEnCours;
            v.avantDechire = avantEnCours;
            v.apresDechire = apresEnCours;
            v.empreinte = avantEnCours;
        } else {
            return QStringLiteral("after a stop during %1 the log is neither the state before nor after it%2")
                .arg(QString::fromLatin1(quoiEnCours), m.courant ? QStringLiteral(", nor the state before with a torn last line") : QString());
        }
    } else if (!v.brut.isEmpty() && !pret) {
        // A cut in the start that was to mend a torn line: mended, or still torn.
        if (vue == v.avantDechire || vue == v.apresDechire) {
            if (vue == v.apresDechire)
                v.piles.Terminer(v.quoiDechire, v.avantDechire, v.apresDechire);
            v.empreinte = vue;
            v.brut.clear();
        } else if (Empreinte_Sha1(Sans_Ligne_Dechiree(octets)) == v.avantDechire) {
            dechire = true;
            v.brut = vue;
        } else {
            return QStringLiteral("a cut in the start that mends a torn line left another log");
        }
    } else if (vue != v.empreinte) {
        return QStringLiteral("a stop lost an operation done, or changed the log outside any");
    }

    // Every line reads back: the lines put there by hand, and records the program wrote.
    for (qsizetype i = 0; i < lignes.size(); ++i) {
        const QByteArray& l = lignes.at(i);
        if (Modele_Log::Enregistrement_Complet(l))
            ++b.qsoVerifies;
        else if (!l.isEmpty() && !m.aLaMain.contains(l) && !(dechire && i == lignes.size() - 1))
            return QStringLiteral("unknown line after a stop: ") + QString::fromLatin1(l.toHex());
    }
    // The helper deletes the QSOs of castle 35007, a line by hand among them.
    for (const QByteArray& l : m.aLaMain)
        if (!l.isEmpty() && l.mid(10, 5) != "35007" && !lignes.contains(l))
            return QStringLiteral("a line written by hand is gone: ") + QString::fromLatin1(l.toHex());

    // A stop may leave a temporary file beside the log, which the next start must not mind,
    // or the copy of a log whose torn line it took out; a journal is set aside only when the
    // log was changed outside the program: never here.
    QSet<QString> connus = {QStringLiteral("FXXXX_Challenge_KVRT.txt"), Nom_Log, Nom_Log + QStringLiteral(".journal"), QStringLiteral("reglages")};
    for (const auto& leurre : m.leurres)
        connus.insert(leurre.first);
    const QString journal = Nom_Log + QStringLiteral(".journal");
    for (const QString& nom : QDir(v.p.Repertoire()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (nom.startsWith(journal + QLatin1Char('.')) && nom.size() > journal.size() + 1 && nom.at(journal.size() + 1).isDigit())
            return QStringLiteral("the journal was set aside as %1").arg(nom);
        if (connus.contains(nom) || nom.startsWith(QStringLiteral("F1ABC_Challenge_KVRT_2009_ligne_coupee_")))
            continue;
        if (!nom.startsWith(Nom_Log + QLatin1Char('.')))
            return QStringLiteral("unexpected file ") + nom;
        b.restes.insert(v.p.Chemin(nom));
    }
    Reglages relus(v.p.reglages->Fichier());
    if (relus.Indicatif_Station() != QLatin1String("F1ABC") || relus.Annee_Challenge(QStringLiteral("F1ABC")) != QLatin1String("2009"))
        return QStringLiteral("the settings store lost the station");

    // A torn line is the next start's to mend: the journal is judged once it has.
    if (jugerJournal && v.brut.isEmpty()) {
        const QByteArray avantAnnulation = octets;
        if (const QString j = Juger_Journal(v.p.Log(), v.piles, octets, m.horloge); !j.isEmpty())
            return j;
        if (octets != avantAnnulation)
            ++b.annulationsApresArret;
        v.empreinte = Empreinte_Sha1(octets);
    }
    return {};
}

// What the layer needs to cut the power under the helper: the folder it watches, where to
// report, and when to cut.
QProcessEnvironment Environnement_Coupure(const Voie& v, QRandomGenerator& hasard)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KVRT_COUPURE_COURANT));
    env.insert(QStringLiteral("KVRT_COUPURE_DOSSIER"), v.p.Repertoire());
    env.insert(QStringLiteral("KVRT_COUPURE_RAPPORT"), v.Rapport());
    env.insert(QStringLiteral("KVRT_COUPURE_GRAINE"), QString::number(hasard.generate()));
    // The first cut of an episode falls in its first change, which compacts the journal; one
    // in six later ones in the start-up; the others anywhere in one of the first operations,
    // each counted from its own start.
    int operation = 1;
    if (v.arretsEpisode > 0)
        operation = hasard.bounded(6) == 0 ? 0 : 1 + int(hasard.bounded(3));
    if (operation > 0)
        env.insert(QStringLiteral("KVRT_COUPURE_OPERATION"), QString::number(operation));
    // Changing calls counted from the moment the layer is armed: more than an operation
    // makes, compaction of the journal included, so that a cut falls at any of its calls.
    const int appelsParOperation = 24;
    env.insert(QStringLiteral("KVRT_COUPURE_APRES"), QString::number(1 + hasard.bounded(appelsParOperation)));
    // A sanitized helper accepts a layer loaded before its own run-time.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) + QStringLiteral("verify_asan_link_order=0"));
    return env;
}

int Nombre_Voulu(const char* variable, int sinon)
{
    return qEnvironmentVariableIntValue(variable) > 0 ? qEnvironmentVariableIntValue(variable) : sinon;
}

} // namespace

class Test_Arrets : public QObject
{
    Q_OBJECT

private slots:
    void Log_Intact_Apres_Chaque_Arret_Brutal();
    void Rien_Perdu_Apres_Chaque_Coupure();

private:
    // Runs the helpers until m.voulus stops were judged, then the real main window on what
    // the last stop of the first lane left.
    void Executer(const Maniere& m, Bilan& b, quint32 graine);
};

void Test_Arrets::Executer(const Maniere& m, Bilan& b, quint32 graine)
{
    QRandomGenerator hasard(graine);
    QString echec;
    int lances = 0;
    qint64 dureeDemarrage = 150;
    QElapsedTimer chrono;
    chrono.start();
    QEventLoop boucle;

    // Two helpers at a time: each spends most of its life starting up, so two overlap well
    // even on two cores.
    std::vector<std::unique_ptr<Voie>> voies;
    for (int i = 0; i < 2; ++i) {
        voies.push_back(std::make_unique<Voie>());
        Voie& v = *voies.back();
        v.p.Installer_Station();
        Commencer_Episode(v, m, b);
        v.ecrivain.setProgram(QStringLiteral(KVRT_ECRIVAIN));
        v.ecrivain.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        v.minuteur.setSingleShot(true);
        v.minuteur.setTimerType(Qt::PreciseTimer);
    }

    auto lancer = [&](Voie& v) {
        ++lances;
        if ((m.parEpisode > 0 && v.arretsEpisode >= m.parEpisode && v.brut.isEmpty()) || v.recommencer)
            Commencer_Episode(v, m, b);
        v.arrete = false;
        if (m.courant)
            v.ecrivain.setProcessEnvironment(Environnement_Coupure(v, hasard));
        else
            v.auDemarrage = hasard.bounded(6) == 0;
        v.ecrivain.setArguments({v.p.Repertoire(), QString::number(hasard.generate()), v.Notes()});
        v.debut.start();
        v.ecrivain.start();
        if (v.auDemarrage)
            v.minuteur.start(int(hasard.bounded(quint32(dureeDemarrage + 1))));
    };
    auto arreter = [&](Voie& v) {
        // A kill early in the start-up may come while QProcess still says Starting.
        const bool vivant = v.ecrivain.state() != QProcess::NotRunning;
        v.arrete = true;
        v.ecrivain.kill();
        v.ecrivain.waitForFinished(10000);
        const bool attendu = m.courant ? v.ecrivain.exitStatus() == QProcess::NormalExit && v.ecrivain.exitCode() == 99 : vivant;
        const QString fin = attendu ? QString()
                                    : QStringLiteral("the helper ended otherwise than by the %1 (code %2)")
                                          .arg(m.courant ? QStringLiteral("power cut") : QStringLiteral("kill"))
                                          .arg(v.ecrivain.exitCode());
        const QString e = Juger(v, m, b, fin, !m.courant || hasard.bounded(2) == 0);
        if (!e.isEmpty() && echec.isEmpty())
            echec = QStringLiteral("stop %1: %2").arg(b.arrets).arg(e);
        if (!echec.isEmpty())
            boucle.quit();
        else if (lances < m.voulus)
            lancer(v);
        else if (std::all_of(voies.begin(), voies.end(), [](const auto& w) { return w->arrete; }))
            boucle.quit();
    };

    for (auto& vp : voies) {
        Voie& v = *vp;
        connect(&v.minuteur, &QTimer::timeout, this, [&] { arreter(v); });
        // The helper says on its output that it has started; a kill then falls in one of its
        // first operations.
        connect(&v.ecrivain, &QProcess::readyReadStandardOutput, this, [&] {
            if (!m.courant && v.ecrivain.canReadLine() && !v.auDemarrage && !v.minuteur.isActive() && !v.arrete) {
                dureeDemarrage = (dureeDemarrage * 7 + v.debut.elapsed()) / 8;
                v.minuteur.start(1 + int(hasard.bounded(30)));
            }
            v.ecrivain.readAll();
        });
        connect(&v.ecrivain, &QProcess::finished, this, [&] {
            if (!v.arrete) {
                v.minuteur.stop();
                arreter(v);
            }
        });
    }
    // A helper that hangs, and so no stop for 60 s, fails the test instead of hanging it.
    QTimer garde;
    garde.setSingleShot(true);
    connect(&garde, &QTimer::timeout, this, [&] {
        echec = QStringLiteral("no progress: a helper hangs");
        boucle.quit();
    });
    QTimer veille;
    int dernier = -1;
    connect(&veille, &QTimer::timeout, this, [&] {
        if (b.arrets == dernier && !garde.isActive())
            garde.start(60000);
        else if (b.arrets != dernier)
            garde.stop();
        dernier = b.arrets;
    });
    veille.start(1000);
    for (auto& v : voies)
        lancer(*v);
    boucle.exec();
    for (auto& v : voies) {
        v->arrete = true;
        v->ecrivain.kill();
        v->ecrivain.waitForFinished(10000);
    }
    QVERIFY2(echec.isEmpty(), qPrintable(echec));

    // The real main window, started in this process on what the last stop left, reads it
    // whole and mends a torn line as the helper's start does.
    Voie& v = *voies.front();
    Main_Test* principal = v.p.Demarrer();
    QCOMPARE(v.p.plateforme->messages.filter(QStringLiteral("Erreur")), QStringList());
    const QByteArray octets = v.p.Octets_Log();
    const QByteArray vue = Empreinte_Sha1(octets);
    if (!v.brut.isEmpty() && vue == v.brut)
        ++b.dechiruresLaissees;
    else
        QVERIFY(vue == v.empreinte || (!v.brut.isEmpty() && vue == v.apresDechire));
    QCOMPARE(principal->Nombre_Lignes(), int(Modele_Log::Lignes(octets).size()));
    QCOMPARE(principal->Total_Points->text(), QString::number(Modele_Log::Total(octets)));

    qInfo("%d stops in %d episodes (%d in the start-up, %d during an operation: %d left the state before, %d the state "
          "after, %d a torn line in the log, %d torn lines mended by the next start), %lld operations completed (%d undos "
          "and redos), %d undos after a stop, %lld QSO lines checked, %d places cut, %d leftover temporary files, %lld ms",
          b.arrets, b.episodes, b.auDemarrage, b.pendantOperation, b.etatAvant, b.etatApres, b.logDechire,
          b.dechiruresReprises, b.operationsFaites, b.annulations, b.annulationsApresArret, b.qsoVerifies,
          int(b.endroits.size()), int(b.restes.size()), chrono.elapsed());
}

// Killed with SIGKILL at random moments, KVRT_ARRETS times (520 by default).
void Test_Arrets::Log_Intact_Apres_Chaque_Arret_Brutal()
{
    Maniere m;
    m.voulus = Nombre_Voulu("KVRT_ARRETS", 520);
    m.aLaMain = {QByteArray("Log F1ABC Challenge KVRT 2009 - tenu \xe0 la main"), QByteArray(), QByteArray("01/01/09  2A0"),
                 QByteArray("15/01/09  35007  Chateau active          F6XYZ       remarque ajout\xe9" "e apr\xe8s coup"),
                 QByteArray("\x00\x81\x8d octets \x1a bizarres", 21)};
    QList<QByteArray> depart = m.aLaMain;
    for (const QString& l : {Enr(QStringLiteral("02/01/09"), QStringLiteral("2A001"), QStringLiteral("Chateau active"), QStringLiteral("F1AAA")),
                             Enr(QStringLiteral("03/01/09"), QStringLiteral("29018"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5BBB"), true),
                             Enr(QStringLiteral("04/01/09"), QStringLiteral("56100"), QStringLiteral("Double ou non validé"), QStringLiteral("F4CCC"))})
        depart.append(Texte1252::Encoder(l));
    m.log = Modele_Log::Joindre(depart);
    // A QSaveFile leftover and the temporary files of the original program: none may be
    // taken for the log.
    m.leurres = {{Nom_Log + QStringLiteral(".Ab12Cd"), QByteArray("01/02/09  75001  Chateau active          F0XXX       \r\n")},
                 {QStringLiteral("Temporaire.txt"), QByteArray("faux\r\n")},
                 {QStringLiteral("Temporaire6.txt"), QByteArray("faux\r\n")}};
    Bilan b;
    Executer(m, b, 20090328);
    if (QTest::currentTestFailed())
        return;
    // The kills must really land inside operations, or the test proves nothing: in each kind
    // of change and in the start-up, before and after the log's bytes were replaced.
    QVERIFY2(b.pendantOperation >= m.voulus / 10, qPrintable(QString::number(b.pendantOperation)));
    QStringList epargnees;
    for (const char* quoi : {"AJOUT", "INSERTION", "MODIFICATION", "SUPPRESSION", "ANNULER"})
        if (!b.interrompues.contains(quoi))
            epargnees.append(QLatin1String(quoi));
    QVERIFY2(epargnees.isEmpty(), qPrintable(QStringLiteral("never cut short: ") + epargnees.join(QStringLiteral(", "))));
    QVERIFY(b.auDemarrage > 0 && b.etatAvant > 0 && b.etatApres > 0);
    // Undos and redos were done by the helper and after the kills, or the journal is untried.
    QVERIFY(b.annulations > 0 && b.annulationsApresArret > 0);
}

// Power cuts under the layer, KVRT_COUPURES times (320 by default), on a log of ten thousand
// QSOs whose journal holds its last 600 appends, dated the season before.
void Test_Arrets::Rien_Perdu_Apres_Chaque_Coupure()
{
    // A missing layer is a build fault: the test fails rather than passing without cuts.
    QVERIFY2(QFileInfo::exists(QStringLiteral(KVRT_COUPURE_COURANT)), KVRT_COUPURE_COURANT);
    Maniere m;
    m.courant = true;
    m.voulus = Nombre_Voulu("KVRT_COUPURES", 320);
    m.parEpisode = 4;
    // The helper's clock, which dates its changes: the journal's first entries are of the
    // season before, so that the first change of each episode compacts it.
    m.horloge = QDateTime(QDate(2009, 3, 28), QTime(14, 7, 9), Qt::UTC);
    m.aLaMain = {QByteArray("Log tenu \xe0 la main"), QByteArray("01/01/09  2A0")};
    QList<QByteArray> lignes = m.aLaMain;
    const QStringList types = Enregistrement::Types_Activite();
    // References 60000 and up: the helper's deletions of its own references never take them.
    for (int i = 0; i < 10000; ++i)
        lignes.append(Texte1252::Encoder(Enr(QDate(2009, 1, 1).addDays(i * 365 / 10000).toString(QStringLiteral("dd/MM/yy")),
                                             QString::number(60000 + i), types.at(i % types.size()),
                                             QStringLiteral("F") + QString::number(i, 36).toUpper())));
    const int entrees = 600;
    const qsizetype debut = lignes.size() - entrees;
    m.log = Modele_Log::Joindre(lignes.mid(0, debut));
    Journal::Empreinte empreinte = Journal::Empreinte_De(m.log);
    QByteArray avant = Empreinte_Sha1(m.log);
    for (int i = 0; i < entrees; ++i) {
        const QByteArray ligne = lignes.at(debut + i) + "\r\n";
        Journal::Entree e;
        e.numero = i + 1;
        e.utc = QDateTime(QDate(2008, 11, 1), QTime(8, 0), Qt::UTC).addSecs(3600 * i);
        e.operation = QStringLiteral("enregistrement du KVRT ") + QString::fromLatin1(ligne.mid(10, 5));
        e.avant = empreinte;
        empreinte.Ajouter(ligne);
        e.apres = empreinte;
        Journal::Bloc bloc;
        bloc.position = m.log.size();
        bloc.ajoute = ligne;
        e.blocs.append(bloc);
        m.journal += Journal::Encoder_Entree(e);
        m.log += ligne;
        m.faites.append({avant, Empreinte_Sha1(m.log)});
        avant = m.faites.last().second;
    }
    Bilan b;
    Executer(m, b, 20091225);
    if (QTest::currentTestFailed())
        return;
    // Every kind of cut point was reached, or the run proved less than it claims.
    QStringList manquants;
    for (const QString& genre : {QStringLiteral("start-up"), QStringLiteral("torn line in the log"),
                                 QStringLiteral("torn line in the journal"), QStringLiteral("compaction of the journal"),
                                 QStringLiteral("rewrite of the log"), QStringLiteral("sync of the folder in an operation")})
        if (!b.genres.contains(genre))
            manquants.append(genre);
    QVERIFY2(manquants.isEmpty(), qPrintable(manquants.join(QStringLiteral(", "))));
    // The cuts fell at many places of the operations, not at a few calls again and again.
    QVERIFY2(b.endroits.size() >= 30, qPrintable(QStringList(b.endroits.values()).join(QLatin1Char('\n'))));
    // They landed inside operations, on both sides of the sync, and torn lines were mended.
    QVERIFY2(b.pendantOperation >= m.voulus / 2, qPrintable(QString::number(b.pendantOperation)));
    QVERIFY(b.etatAvant > 0 && b.etatApres > 0);
    QVERIFY(b.annulations > 0 && b.annulationsApresArret > 0);
    // A QSO line torn by the cut, never shown in the list, must not stay in the log: the next
    // start takes it back or completes it from the journal, and keeps the journal.
    QVERIFY2(b.dechiruresLaissees == 0 && b.dechiruresReprises > 0,
             qPrintable(QStringLiteral("%1 torn lines left by the next start, the first at %2")
                            .arg(b.dechiruresLaissees)
                            .arg(b.premiereLaissee)));
}

QTEST_MAIN(Test_Arrets)
#include "Test_Arrets.moc"
