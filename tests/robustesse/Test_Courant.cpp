// A power cut at any moment loses no QSO the list has shown: the helper changes the log
// through the program's own routines under a layer (coupure_courant, loaded with LD_PRELOAD)
// that keeps apart what was not yet synced to disk and, at a random call, throws it away as
// a disk cache would, and ends the process. After each cut the log must read, be the state
// after the last operation done or after the one cut short, and the journal must explain it:
// one undo gives the state before the last change done.

#include "FichierLog.h"
#include "Juge_Journal.h"
#include "Main.h"
#include "Modele_Log.h"
#include "Outils_Test.h"
#include "Texte1252.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

class Test_Courant : public QObject
{
    Q_OBJECT

private slots:
    void Rien_Perdu_Apres_Chaque_Coupure();
};

namespace {

struct Bilan
{
    int coupures = 0;
    int pendantOperation = 0;
    int etatAvant = 0;
    int etatApres = 0;
    qint64 operationsFaites = 0;
    int annulations = 0;
    int annulationsApresCoupure = 0;
};

// One program folder and its helper, cut again and again.
struct Voie
{
    Programme_Test p;
    QTemporaryDir notes; // outside the folder the cut restores
    QProcess ecrivain;
    qint64 lu = 0;
    QByteArray etat;
    QByteArray empreinte;
    Piles_Vues piles;

    QString Notes() const { return notes.filePath(QStringLiteral("notes.txt")); }
};

void Preparer(Voie& v)
{
    v.p.Installer_Station();
    QList<QByteArray> depart = {QByteArray("Log tenu \xe0 la main"), QByteArray("01/01/09  2A0")};
    for (const QString& l : {Enr(QStringLiteral("02/01/09"), QStringLiteral("2A001"), QStringLiteral("Chateau active"), QStringLiteral("F1AAA")),
                             Enr(QStringLiteral("03/01/09"), QStringLiteral("29018"), QStringLiteral("Chateau Contacte"), QStringLiteral("F5BBB"))})
        depart.append(Texte1252::Encoder(l));
    v.etat = Modele_Log::Joindre(depart);
    v.empreinte = Empreinte_Sha1(v.etat);
    v.p.Ecrire_Fichier(QStringLiteral("F1ABC_Challenge_KVRT_2009.txt"), v.etat);
    v.ecrivain.setProgram(QStringLiteral(KVRT_ECRIVAIN));
    v.ecrivain.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

QString Juger(Voie& v, Bilan& b)
{
    QFile fn(v.Notes());
    QByteArray nouveau;
    if (fn.open(QIODevice::ReadOnly) && fn.seek(v.lu))
        nouveau = fn.readAll();
    nouveau.truncate(nouveau.lastIndexOf('\n') + 1);
    v.lu += nouveau.size();
    if (v.ecrivain.exitStatus() != QProcess::NormalExit || v.ecrivain.exitCode() != 99)
        return QStringLiteral("the helper ended without a cut (code %1):\n%2")
            .arg(v.ecrivain.exitCode())
            .arg(QString::fromUtf8(nouveau.right(600)));

    QByteArray avantEnCours, apresEnCours, quoiEnCours;
    for (const QByteArray& ligne : nouveau.split('\n')) {
        const QList<QByteArray> m = ligne.split(' ');
        if (m.at(0) == "PRET" && m.size() == 3) {
            if (m.at(1) != v.empreinte)
                return QStringLiteral("the start did not find the log the last cut left");
        } else if (m.at(0) == "OP" && m.size() == 5) {
            if (!avantEnCours.isEmpty())
                return QStringLiteral("two operations without FAIT");
            if (m.at(3) != v.empreinte)
                return QStringLiteral("operation %1 did not start from the last state").arg(QString::fromLatin1(m.at(1)));
            quoiEnCours = m.at(2);
            avantEnCours = m.at(3);
            apresEnCours = v.piles.Attendu(quoiEnCours, m.at(4));
            if (apresEnCours.isEmpty())
                return QStringLiteral("the program offered an undo or redo of nothing seen");
        } else if (m.at(0) == "FAIT" && m.size() == 3) {
            if (m.at(2) != apresEnCours)
                return QStringLiteral("operation %1 (%2) left another state than expected")
                    .arg(QString::fromLatin1(m.at(1)), QString::fromLatin1(quoiEnCours));
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

    // The log reads whole, and holds every QSO the list showed: it is the state after the
    // last operation done, or after the one the cut stopped.
    QList<QByteArray> lignes;
    const ErreurFichier e = FichierLog::Lire(v.p.Log(), lignes);
    if (!e.ok())
        return QStringLiteral("the log does not read after a cut: ") + e.message;
    QFile f(v.p.Log());
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("the log is gone after a cut");
    QByteArray octets = f.readAll();
    const QByteArray vue = Empreinte_Sha1(octets);
    ++b.coupures;
    if (!avantEnCours.isEmpty()) {
        ++b.pendantOperation;
        if (vue != avantEnCours && vue != apresEnCours)
            return QStringLiteral("after a cut during %1 the log is neither the state before nor after it")
                .arg(QString::fromLatin1(quoiEnCours));
        (vue == avantEnCours ? b.etatAvant : b.etatApres)++;
        if (vue == apresEnCours && vue != avantEnCours)
            v.piles.Terminer(quoiEnCours, avantEnCours, apresEnCours);
    } else if (vue != v.empreinte) {
        return QStringLiteral("a cut lost an operation done, or changed the log outside any");
    }
    for (const QByteArray& l : std::as_const(lignes))
        if (!l.isEmpty() && !Modele_Log::Enregistrement_Complet(l) && l != "Log tenu \xe0 la main" && l != "01/01/09  2A0")
            return QStringLiteral("unknown line after a cut: ") + QString::fromLatin1(l.toHex());

    const QByteArray avantAnnulation = octets;
    if (const QString j = Juger_Journal(v.p.Log(), v.piles, octets); !j.isEmpty())
        return j;
    if (octets != avantAnnulation)
        ++b.annulationsApresCoupure;
    v.etat = octets;
    v.empreinte = Empreinte_Sha1(octets);
    return {};
}

} // namespace

void Test_Courant::Rien_Perdu_Apres_Chaque_Coupure()
{
    const QString couche = QStringLiteral(KVRT_COUPURE_COURANT);
    // A missing layer is a build fault: the test fails rather than passing without cuts.
    QVERIFY2(QFileInfo::exists(couche), qPrintable(couche));
    const int coupuresVoulues = qEnvironmentVariableIntValue("KVRT_COUPURES") > 0 ? qEnvironmentVariableIntValue("KVRT_COUPURES") : 320;
    QRandomGenerator hasard(20091225);
    Bilan b;
    QElapsedTimer chrono;
    chrono.start();
    // Two helpers at a time: each spends most of its life starting up.
    std::vector<std::unique_ptr<Voie>> voies;
    for (int i = 0; i < 2; ++i) {
        voies.push_back(std::make_unique<Voie>());
        Preparer(*voies.back());
    }
    while (b.coupures < coupuresVoulues) {
        for (auto& vp : voies) {
            Voie& v = *vp;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            env.insert(QStringLiteral("LD_PRELOAD"), couche);
            env.insert(QStringLiteral("KVRT_COUPURE_DOSSIER"), v.p.Repertoire());
            // The start makes a few changing calls, each operation some ten: the cut falls
            // anywhere from the start-up to the fifth operation or so.
            env.insert(QStringLiteral("KVRT_COUPURE_APRES"), QString::number(1 + hasard.bounded(70)));
            // A sanitized helper accepts a layer loaded before its own run-time.
            const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
            env.insert(QStringLiteral("ASAN_OPTIONS"),
                       (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) + QStringLiteral("verify_asan_link_order=0"));
            v.ecrivain.setProcessEnvironment(env);
            v.ecrivain.setArguments({v.p.Repertoire(), QString::number(hasard.generate()), v.Notes()});
            v.ecrivain.start();
        }
        for (auto& vp : voies) {
            Voie& v = *vp;
            if (!v.ecrivain.waitForFinished(60000)) {
                v.ecrivain.kill();
                v.ecrivain.waitForFinished(10000);
                QFAIL("a helper hangs under the power-cut layer");
            }
            const QString e = Juger(v, b);
            QVERIFY2(e.isEmpty(), qPrintable(QStringLiteral("cut %1: %2").arg(b.coupures).arg(e)));
        }
    }

    // The real main window, started in this process on what the last cut left.
    Voie& v = *voies.front();
    Main* m = v.p.Demarrer();
    QCOMPARE(v.p.plateforme->messages.filter(QStringLiteral("Erreur")), QStringList());
    QCOMPARE(m->Nombre_Lignes(), int(Modele_Log::Lignes(v.etat).size()));

    qInfo("%d power cuts (%d during an operation: %d left the state before, %d the state after), "
          "%lld operations completed (%d undos and redos), %d undos after a cut, %lld ms",
          b.coupures, b.pendantOperation, b.etatAvant, b.etatApres, b.operationsFaites, b.annulations,
          b.annulationsApresCoupure, chrono.elapsed());
    QVERIFY(b.coupures >= coupuresVoulues);
    // The cuts must land inside operations, on both sides of the sync, or nothing is proven.
    QVERIFY2(b.pendantOperation >= coupuresVoulues / 3, qPrintable(QString::number(b.pendantOperation)));
    QVERIFY(b.etatAvant > 0 && b.etatApres > 0);
    QVERIFY(b.annulations > 0 && b.annulationsApresCoupure > 0);
}

QTEST_MAIN(Test_Courant)
#include "Test_Courant.moc"
