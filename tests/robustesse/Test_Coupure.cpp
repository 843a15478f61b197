// The program killed at any moment never leaves a damaged log: a helper changes the log
// through the program's own routines and is killed with SIGKILL at random moments; after each
// kill the log must be byte for byte the state before the interrupted operation or the state
// after it, and the next start must read it whole. Undos and redos are among the operations;
// after each kill the journal must explain the log, and one undo give the state before the
// last change done.

#include "Enregistrement.h"
#include "FichierLog.h"
#include "Juge_Journal.h"
#include "Main_Test.h"
#include "Modele_Log.h"
#include "Outils_Test.h"
#include "Texte1252.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

class Test_Coupure : public QObject
{
    Q_OBJECT

private slots:
    void Log_Intact_Apres_Chaque_Arret_Brutal();
};

namespace {

QByteArray Empreinte(const QByteArray& octets)
{
    return QCryptographicHash::hash(octets, QCryptographicHash::Sha1).toHex();
}

// Lines a user or another tool may have left in the log: they must come through every
// rewrite unchanged and never be taken for a QSO.
const QList<QByteArray>& Lignes_Etrangeres()
{
    static const QList<QByteArray> lignes = {
        QByteArray("Log F1ABC Challenge KVRT 2009 - tenu \xe0 la main"),
        QByteArray(),
        QByteArray("01/01/09  2A0"),
        QByteArray("15/01/09  35007  Chateau active          F6XYZ       remarque ajout\xe9" "e apr\xe8s coup"),
        QByteArray("\x00\x81\x8d octets \x1a bizarres", 21),
    };
    return lignes;
}

struct Bilan
{
    int arrets = 0;
    int arretsAuDemarrage = 0;
    int arretsPendantOperation = 0;
    int etatAvant = 0;
    int etatApres = 0;
    int annulations = 0;
    int annulationsApresArret = 0;
    qint64 operationsFaites = 0;
    qint64 qsoVerifies = 0;
    QSet<QString> restes; // leftover temporary files seen, by path
    QSet<QByteArray> interrompues; // the kinds of operation a kill cut short
};

} // namespace

namespace {

// One program directory and its helper, started, killed and judged again and again.
struct Voie
{
    Programme_Test p;
    QProcess ecrivain;
    QTimer minuteur;
    QElapsedTimer debut;
    QString journal;
    qint64 lu = 0;
    QByteArray etat;       // the log's bytes as the last check found them
    QByteArray empreinte;  // and their hash
    Piles_Vues piles;      // the changes seen done, for the undos
    bool auDemarrage = false;
    bool tue = false;
};

QByteArray Depart()
{
    QList<QByteArray> depart = Lignes_Etrangeres();
    for (const QString& l : {Enr(QStringLiteral("02/01/09"), QStringLiteral("2A001"), QStringLiteral("Chateau active"), QStringLiteral("F1AAA")),
                             Enr(QStringLiteral("03/01/09"), QStringLiteral("29018"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5BBB"), true),
                             Enr(QStringLiteral("04/01/09"), QStringLiteral("56100"), QStringLiteral("Double ou non validé"), QStringLiteral("F4CCC"))})
        depart.append(Texte1252::Encoder(l));
    return Modele_Log::Joindre(depart);
}

const QSet<QString>& Fichiers_Connus()
{
    static const QSet<QString> connus = {QStringLiteral("FXXXX_Challenge_KVRT.txt"), QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"),
                                        QStringLiteral("F1ABC_Challenge_KVRT_2009.txt.Ab12Cd"), QStringLiteral("Temporaire.txt"),
                                        QStringLiteral("Temporaire6.txt"), QStringLiteral("reglages"), QStringLiteral("journal.txt"),
                                        QStringLiteral("F1ABC_Challenge_KVRT_2009.txt.journal")};
    return connus;
}

void Preparer(Voie& v)
{
    v.p.Installer_Station();
    v.etat = Depart();
    v.empreinte = Empreinte(v.etat);
    v.p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), v.etat);
    // Files a kill of an older run may have left: a QSaveFile leftover and the temporary
    // files of the original program. None may be taken for the log.
    v.p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt.Ab12Cd"), QByteArray("01/02/09  75001  Chateau active          F0XXX       \r\n"));
    v.p.Ecrire_Fichier(QStringLiteral("Temporaire.txt"), QByteArray("faux\r\n"));
    v.p.Ecrire_Fichier(QStringLiteral("Temporaire6.txt"), QByteArray("faux\r\n"));
    v.journal = v.p.Chemin(QStringLiteral("journal.txt"));
    v.ecrivain.setProgram(QStringLiteral(KVRT_ECRIVAIN));
    v.ecrivain.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    v.minuteur.setSingleShot(true);
    v.minuteur.setTimerType(Qt::PreciseTimer);
}

// Judges what one kill left; returns what is wrong, or nothing.
QString Juger(Voie& v, bool vivant, Bilan& b)
{
    const QByteArray nouveau = Lire_Notes(v.journal, v.lu);
    if (!vivant)
        return QStringLiteral("the helper stopped by itself (code %1):\n%2").arg(v.ecrivain.exitCode()).arg(QString::fromUtf8(nouveau.right(600)));

    QByteArray avantEnCours, apresEnCours, quoiEnCours;
    bool pret = false;
    for (const QByteArray& ligne : nouveau.split('\n')) {
        const QList<QByteArray> m = ligne.split(' ');
        if (m.at(0) == "PRET" && m.size() == 3) {
            if (m.at(1) != v.empreinte)
                return QStringLiteral("the start did not find the log the last kill left");
            pret = true;
        } else if (m.at(0) == "OP" && m.size() == 5) {
            if (!avantEnCours.isEmpty())
                return QStringLiteral("two operations without FAIT");
            if (m.at(3) != v.empreinte)
                return QStringLiteral("operation %1 did not start from the last state").arg(QString::fromLatin1(m.at(1)));
            quoiEnCours = m.at(2);
            avantEnCours = m.at(3);
            apresEnCours = v.piles.Attendu(quoiEnCours, m.at(4));
            if (apresEnCours.isEmpty())
                return QStringLiteral("operation %1: the program offered an undo or redo of nothing seen").arg(QString::fromLatin1(m.at(1)));
        } else if (m.at(0) == "FAIT" && m.size() == 3) {
            if (apresEnCours.isEmpty())
                return QStringLiteral("FAIT without OP");
            if (m.at(2) != apresEnCours)
                return QStringLiteral("operation %1 (%2) left another state than expected").arg(QString::fromLatin1(m.at(1)), QString::fromLatin1(quoiEnCours));
            v.piles.Terminer(quoiEnCours, avantEnCours, apresEnCours);
            v.empreinte = apresEnCours;
            avantEnCours.clear();
            apresEnCours.clear();
            ++b.operationsFaites;
            if (quoiEnCours == "ANNULER" || quoiEnCours == "RETABLIR")
                ++b.annulations;
        } else if (!ligne.isEmpty()) {
            return QStringLiteral("journal: ") + QString::fromUtf8(ligne);
        }
    }

    QFile f(v.p.Log());
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("the log is gone after a kill");
    const QByteArray octets = f.readAll();
    f.close();
    const QByteArray vue = Empreinte(octets);
    ++b.arrets;
    if (!pret)
        ++b.arretsAuDemarrage;
    if (!avantEnCours.isEmpty()) {
        ++b.arretsPendantOperation;
        b.interrompues.insert(quoiEnCours);
        if (vue != avantEnCours && vue != apresEnCours)
            return QStringLiteral("the log is neither the state before nor the state after the interrupted operation");
        (vue == avantEnCours ? b.etatAvant : b.etatApres)++;
        // Done as far as the disk goes: the undo stack holds it.
        if (vue == apresEnCours && vue != avantEnCours)
            v.piles.Terminer(quoiEnCours, avantEnCours, apresEnCours);
    } else if (vue != v.empreinte) {
        return QStringLiteral("the log changed outside any operation");
    }
    v.empreinte = vue;
    v.etat = octets;

    // The journal explains the log, and one undo gives the state before the last change.
    QByteArray defait = octets;
    if (const QString e = Juger_Journal(v.p.Log(), v.piles, defait); !e.isEmpty())
        return e;
    if (defait != octets) {
        ++b.annulationsApresArret;
        v.etat = defait;
        v.empreinte = Empreinte(defait);
    }

    // Every line reads back: the lines put there by hand, and records the program wrote.
    QList<QByteArray> lignes;
    const ErreurFichier e = FichierLog::Lire(v.p.Log(), lignes);
    if (!e.ok())
        return e.message;
    for (const QByteArray& l : std::as_const(lignes)) {
        if (Modele_Log::Enregistrement_Complet(l))
            ++b.qsoVerifies;
        else if (!Lignes_Etrangeres().contains(l))
            return QStringLiteral("unknown line ") + QString::fromLatin1(l.toHex());
    }
    for (const QByteArray& l : Lignes_Etrangeres())
        if (!l.isEmpty() && l.mid(10, 5) != "35007" && !lignes.contains(l))
            return QStringLiteral("a line written by hand is gone: ") + QString::fromLatin1(l.toHex());

    // A kill may leave a temporary file beside the log; the next start must not mind it
    // (the helper's start-up checks every line of the list against the file).
    const QStringList presents = QDir(v.p.Repertoire()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& nom : presents)
        if (!Fichiers_Connus().contains(nom)) {
            if (!nom.startsWith(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt.")))
                return QStringLiteral("unexpected file ") + nom;
            b.restes.insert(v.p.Repertoire() + QLatin1Char('/') + nom);
        }
    Reglages relus(v.p.Chemin(QStringLiteral("reglages/Challenge_KVRT.ini")));
    if (relus.Indicatif_Station() != QLatin1String("F1ABC") || relus.Annee_Challenge(QStringLiteral("F1ABC")) != QLatin1String("2009"))
        return QStringLiteral("the settings store lost the station");
    return QString();
}

} // namespace

void Test_Coupure::Log_Intact_Apres_Chaque_Arret_Brutal()
{
    const int arretsVoulus = qEnvironmentVariableIntValue("KVRT_ARRETS") > 0 ? qEnvironmentVariableIntValue("KVRT_ARRETS") : 520;
    // Two helpers at a time: each spends most of its life starting up, so two overlap well
    // even on two cores.
    const int nombreVoies = 2;
    QRandomGenerator hasard(20090328);
    Bilan b;
    QString echec;
    int lances = 0;
    qint64 dureeDemarrage = 150;
    QElapsedTimer chrono;
    chrono.start();
    QEventLoop boucle;

    std::vector<std::unique_ptr<Voie>> voies;
    for (int i = 0; i < nombreVoies; ++i)
        voies.push_back(std::make_unique<Voie>());

    std::function<void(Voie&)> lancer = [&](Voie& v) {
        ++lances;
        v.tue = false;
        v.ecrivain.setArguments({v.p.Repertoire(), QString::number(hasard.generate()), v.journal});
        // One kill in six falls in the start-up, where the settings store is written.
        v.auDemarrage = hasard.bounded(6) == 0;
        v.debut.start();
        v.ecrivain.start();
        if (v.auDemarrage)
            v.minuteur.start(int(hasard.bounded(quint32(dureeDemarrage + 1))));
    };
    auto arreter = [&](Voie& v) {
        // A kill early in the start-up may come while QProcess still says Starting.
        const bool vivant = v.ecrivain.state() != QProcess::NotRunning;
        v.tue = true;
        v.ecrivain.kill();
        v.ecrivain.waitForFinished(10000);
        const QString e = Juger(v, vivant, b);
        if (!e.isEmpty() && echec.isEmpty())
            echec = QStringLiteral("round %1: %2").arg(b.arrets).arg(e);
        if (!echec.isEmpty())
            boucle.quit();
        else if (lances < arretsVoulus)
            lancer(v);
        else if (std::none_of(voies.begin(), voies.end(), [](const auto& w) { return w->ecrivain.state() != QProcess::NotRunning; }))
            boucle.quit();
    };

    for (auto& vp : voies) {
        Voie& v = *vp;
        Preparer(v);
        connect(&v.minuteur, &QTimer::timeout, this, [&] { arreter(v); });
        connect(&v.ecrivain, &QProcess::readyReadStandardOutput, this, [&] {
            if (v.ecrivain.canReadLine() && !v.auDemarrage && !v.minuteur.isActive() && !v.tue) {
                v.ecrivain.readAll();
                dureeDemarrage = (dureeDemarrage * 7 + v.debut.elapsed()) / 8;
                v.minuteur.start(1 + int(hasard.bounded(30)));
            }
        });
        connect(&v.ecrivain, &QProcess::finished, this, [&] {
            if (!v.tue) {
                v.minuteur.stop();
                arreter(v);
            }
        });
    }
    QTimer garde;
    garde.setSingleShot(true);
    connect(&garde, &QTimer::timeout, this, [&] {
        echec = QStringLiteral("no progress: the helper hangs");
        boucle.quit();
    });
    for (auto& v : voies)
        lancer(*v);
    // A helper that hangs, and so no kill for 30 s, fails the test instead of hanging it.
    QTimer veille;
    int dernier = -1;
    connect(&veille, &QTimer::timeout, this, [&] {
        if (b.arrets == dernier && !garde.isActive())
            garde.start(30000);
        else if (b.arrets != dernier)
            garde.stop();
        dernier = b.arrets;
    });
    veille.start(1000);
    boucle.exec();
    for (auto& v : voies) {
        v->tue = true;
        v->ecrivain.kill();
        v->ecrivain.waitForFinished(10000);
    }
    QVERIFY2(echec.isEmpty(), qPrintable(echec));

    // The real main window, started in this process on what the last kill left.
    Voie& v = *voies.front();
    Main_Test* m = v.p.Demarrer();
    QCOMPARE(v.p.plateforme->messages.filter(QStringLiteral("Erreur")), QStringList());
    QCOMPARE(m->Nombre_Lignes(), int(Modele_Log::Lignes(v.etat).size()));
    QCOMPARE(m->Total_Points->text(), QString::number(Modele_Log::Total(v.etat)));

    qInfo("%d kills (%d during start-up, %d during an operation: %d left the state before, %d the state after), "
          "%lld operations completed (%d undos and redos), %d undos after a kill, %lld QSO lines checked after the kills, "
          "%d leftover temporary files, %lld ms",
          b.arrets, b.arretsAuDemarrage, b.arretsPendantOperation, b.etatAvant, b.etatApres, b.operationsFaites, b.annulations,
          b.annulationsApresArret, b.qsoVerifies,
          int(b.restes.size()), chrono.elapsed());
    // The kills must really land inside operations, or the test proves nothing: in each kind
    // of change and in the start-up, before and after the log's bytes were replaced.
    QVERIFY2(b.arretsPendantOperation >= arretsVoulus / 10, qPrintable(QString::number(b.arretsPendantOperation)));
    QStringList epargnees;
    for (const char* quoi : {"AJOUT", "INSERTION", "MODIFICATION", "SUPPRESSION", "ANNULER"})
        if (!b.interrompues.contains(quoi))
            epargnees.append(QLatin1String(quoi));
    QVERIFY2(epargnees.isEmpty(), qPrintable(QStringLiteral("never cut short: ") + epargnees.join(QStringLiteral(", "))));
    QVERIFY(b.arretsAuDemarrage > 0 && b.etatAvant > 0 && b.etatApres > 0);
    // Undos and redos were done by the helper and after the kills, or the journal is untried.
    QVERIFY(b.annulations > 0 && b.annulationsApresArret > 0);
}

QTEST_MAIN(Test_Coupure)
#include "Test_Coupure.moc"
