// Helper of the crash test: starts the real main window on a program directory given on its
// command line, then changes the log through the program's own routines, one operation after
// another, until it is killed. Before each operation it writes to its journal what it is
// about to do and the hashes of the log's bytes before and after; after it, that the
// operation is done. The test kills it at random moments and judges the log by the journal.
//
//   kvrt_ecrivain_log <program directory> <seed> <journal>
//
// Under the power-cut layer, KVRT_COUPURE_OPERATION names the operation before which the
// layer starts counting its calls, so that the cut falls anywhere in that one or a later one.
//
// Exit codes: 2 bad arguments, 3 no log or no station to start on, 4 the start-up did not
// read the log right, 5 an operation left other bytes than expected, 6 an unexpected message,
// 8 a window that waits for an answer.

#include "Enregistrement.h"
#include "Main_Test.h"
#include "Modele_Log.h"
#include "Outils_Test.h"
#include "Qso.h"
#include "Zone_Saisie.h"
#include "Plateforme_Test.h"
#include "Reglages.h"
#include "Sous_Programmes.h"
#include "Texte1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_journal = -1;

// One note per write(2) on a file opened for appending, so that notes never mix. A kill can
// still cut a note where the write crosses a page of the file; the test takes a cut note out
// of the file before it starts the next helper.
void Noter(const QByteArray& texte)
{
    const QByteArray ligne = texte + '\n';
    if (::write(g_journal, ligne.constData(), size_t(ligne.size())) != ligne.size())
        std::_Exit(7);
    ::fdatasync(g_journal);
}

QByteArray Empreinte(const QByteArray& octets)
{
    return QCryptographicHash::hash(octets, QCryptographicHash::Sha1).toHex();
}

QByteArray Lire(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

void Ecart(const QString& repertoire, const char* quoi, const QByteArray& attendu, const QByteArray& vu)
{
    QFile a(repertoire + QStringLiteral("/attendu.bin"));
    if (a.open(QIODevice::WriteOnly))
        a.write(attendu);
    QFile v(repertoire + QStringLiteral("/vu.bin"));
    if (v.open(QIODevice::WriteOnly))
        v.write(vu);
    Noter(QByteArray("ECART ") + quoi);
}

struct Tirage
{
    QRandomGenerator& g;

    int Entre(int a, int b) { return int(g.bounded(a, b + 1)); }

    QString Date()
    {
        // Mostly this year's, now and then another century's, to exercise the widening.
        static const char* const annees[] = {"09", "09", "09", "09", "09", "08", "10", "49", "50", "98"};
        return QStringLiteral("%1/%2/%3")
            .arg(Entre(1, 28), 2, 10, QLatin1Char('0'))
            .arg(Entre(1, 12), 2, 10, QLatin1Char('0'))
            .arg(QLatin1String(annees[Entre(0, 9)]));
    }

    // Few references, so that a deletion often takes several lines.
    static const QList<QByteArray>& References()
    {
        static const QList<QByteArray> refs = {"2A001", "2B012", "01001", "35007", "56100", "75001", "2A002", "29018"};
        return refs;
    }

    QString Reference() { return QString::fromLatin1(References().at(Entre(0, 7))); }

    QString Type() { return Enregistrement::Types_Activite().at(Entre(0, 8)); }

    QString Indicatif()
    {
        static const char lettres[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
        QString s = QStringLiteral("F");
        const int n = Entre(3, 11);
        for (int i = 0; i < n; ++i)
            s += QLatin1Char(lettres[Entre(0, 36)]);
        return s;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QString repertoire = QString::fromLocal8Bit(argv[1]);
    QRandomGenerator graine(quint32(QByteArray(argv[2]).toUInt()));
    g_journal = ::open(argv[3], O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (g_journal < 0)
        return 2;

    // A window waiting for an answer would hold the helper until the test gives up: it is
    // noted, and the helper ends at once.
    QTimer garde;
    QObject::connect(&garde, &QTimer::timeout, [] {
        if (const QWidget* w = QApplication::activeModalWidget()) {
            Noter("MODALE " + w->windowTitle().toUtf8() + ' ' + w->metaObject()->className());
            std::_Exit(8);
        }
    });
    garde.start(200);

    Plateforme_Test plateforme(repertoire);
    Reglages reglages(repertoire + QStringLiteral("/reglages/Challenge_KVRT.ini"));
    Sous_Programmes sp(plateforme, reglages);
    const QString indicatif = reglages.Indicatif_Station();
    const QString annee = reglages.Annee_Challenge(indicatif);
    const QString log = FichierLog::Nom_Log(repertoire, indicatif, annee);
    // Both would open a modal window that nobody closes here: the test sees exit code 3.
    if (indicatif.isEmpty() || annee.isEmpty() || !QFile::exists(log))
        return 3;

    Main_Test main(sp);
    main.Main_Form_Load();
    // The start reads every line of the log, whatever the moment of the last kill.
    const QByteArray depart = Lire(log);
    const QList<QByteArray> lignesDepart = Modele_Log::Lignes(depart);
    // A power cut in the middle of an append leaves part of a line: the start takes it out
    // once the log as it was is kept in the copy its message names.
    plateforme.messages.removeAll(QStringLiteral("Il n'y a pas de données a modifier"));
    if (plateforme.messages.size() == 1
        && plateforme.messages.first().startsWith(QStringLiteral("Le dernier QSO enregistré n'avait été écrit qu'en partie"))) {
        const QString copie = plateforme.messages.first().section(QStringLiteral("\r\n"), -1);
        if (Lire(copie).size() <= depart.size()) {
            Noter("MESSAGE copie absente ou trop courte " + copie.toUtf8());
            return 6;
        }
        plateforme.messages.clear();
    }
    if (!plateforme.messages.isEmpty()) {
        Noter("MESSAGE " + plateforme.messages.join(QLatin1Char('|')).toUtf8());
        return 6;
    }
    plateforme.messages.clear();
    if (main.Nombre_Lignes() != lignesDepart.size() || main.Total_Points->text() != QString::number(Modele_Log::Total(depart))) {
        Noter(QByteArray("DEPART ") + QByteArray::number(main.Nombre_Lignes()) + ' ' + main.Total_Points->text().toLatin1());
        return 4;
    }
    for (int i = 0; i < lignesDepart.size(); ++i)
        if (Texte1252::Encoder(main.Texte_Ligne(i).mid(8)) != lignesDepart.at(i).left(53)) {
            Noter(QByteArray("DEPART ligne ") + QByteArray::number(i + 1));
            return 4;
        }
    Noter("PRET " + Empreinte(depart) + ' ' + QByteArray::number(lignesDepart.size()));
    std::fputs("PRET\n", stdout);
    std::fflush(stdout);

    const quint64 operationArmee = qEnvironmentVariableIntValue("KVRT_COUPURE_OPERATION");
    using Armer = void (*)();
    const auto armer = reinterpret_cast<Armer>(::dlsym(RTLD_DEFAULT, "kvrt_coupure_armer"));

    Tirage t{graine};
    for (quint64 n = 1;; ++n) {
        if (n == operationArmee && armer)
            armer();
        const QByteArray avant = Lire(log);
        const QList<QByteArray> lignes = Modele_Log::Lignes(avant);
        QList<int> enregistrements, lesMiens;
        for (int i = 0; i < lignes.size(); ++i)
            if (Modele_Log::Enregistrement_Complet(lignes.at(i))) {
                enregistrements.append(i);
                if (Tirage::References().contains(lignes.at(i).mid(10, 5)))
                    lesMiens.append(i);
            }

        const QString date = t.Date(), reference = t.Reference(), type = t.Type(), ind = t.Indicatif();
        const bool attente = t.Entre(0, 4) == 0;
        QString enregistrement = Enregistrement::Construire_Ligne_Log(date, attente, reference, type, ind);
        const QByteArray octets = Texte1252::Encoder(enregistrement);

        // The lines of this helper's references stay between a handful and some forty, whatever
        // the log held before: deletions win when they grow, and take them first.
        int choix = t.Entre(0, 99);
        if (lesMiens.size() > 40)
            choix = 90;
        else if (lesMiens.size() < 3)
            choix = t.Entre(0, 59);

        QByteArray apres;
        QByteArray quoi;
        int ligne = -1;
        // Now and then the last change is undone or redone, when the program offers it; what
        // the log must then be is the test's to judge, from the changes it saw done.
        const int defaire = t.Entre(0, 99);
        if (defaire < 12 && !sp.Operation_A_Annuler().isEmpty()) {
            quoi = "ANNULER";
        } else if (defaire >= 12 && defaire < 20 && !sp.Operation_A_Retablir().isEmpty()) {
            quoi = "RETABLIR";
        } else if (choix < 35) {
            quoi = "AJOUT";
            apres = Modele_Log::Ajout(avant, octets);
        } else if (choix < 60) {
            quoi = "INSERTION";
            apres = Modele_Log::Insertion(avant, octets);
        } else if (choix < 80) {
            quoi = "MODIFICATION";
            ligne = enregistrements.at(t.Entre(0, int(enregistrements.size()) - 1));
            apres = Modele_Log::Remplacement(avant, lignes.at(ligne), octets);
        } else {
            quoi = "SUPPRESSION";
            const QList<int>& parmi = lesMiens.isEmpty() ? enregistrements : lesMiens;
            ligne = parmi.at(t.Entre(0, int(parmi.size()) - 1));
            apres = Modele_Log::Suppression(avant, lignes.at(ligne).mid(10, 5));
        }

        Noter("OP " + QByteArray::number(n) + ' ' + quoi + ' ' + Empreinte(avant) + ' '
              + (quoi == "ANNULER" || quoi == "RETABLIR" ? QByteArray("-") : Empreinte(apres)));

        bool fait = false;
        if (quoi == "ANNULER" || quoi == "RETABLIR") {
            fait = quoi == "ANNULER" ? Annuler_Modification(sp) : Retablir_Modification(sp);
            apres = Lire(log);
        } else if (quoi == "AJOUT") {
            fait = Ajoute_Ligne(sp, enregistrement);
        } else if (quoi == "INSERTION") {
            main.Zone->Main_Ajout_Saisie_Click();
            main.Date_A->setText(date);
            main.Validation_A->setChecked(attente);
            main.KVRT_A->setText(reference);
            main.Type_A->setCurrentIndex(main.Type_A->findText(type));
            main.Ind_A->setText(ind);
            main.Zone->Main_Valide_A_Click();
            fait = !main.Mode_Insertion();
        } else if (quoi == "MODIFICATION") {
            // Selecting the line is what the user's click does: it shows its QSO.
            main.Selectionner_Ligne(ligne);
            QString selectionnee = main.Ligne_Selectionnee();
            fait = Remplace_Ou_Ajoute_Ligne(sp, selectionnee, enregistrement);
        } else {
            main.Selectionner_Ligne(ligne);
            QString ref = Qso::De_Ligne_Liste(main.Ligne_Selectionnee()).reference;
            fait = Supprime_Lignes_Reference(sp, ref);
        }

        const QByteArray vu = Lire(log);
        plateforme.messages.removeAll(QStringLiteral("Il n'y a pas de données a modifier"));
        if (!fait || !plateforme.messages.isEmpty()) {
            Noter("MESSAGE " + plateforme.messages.join(QLatin1Char('|')).toUtf8());
            return 6;
        }
        if (vu != apres) {
            Ecart(repertoire, quoi.constData(), apres, vu);
            return 5;
        }
        if (main.Nombre_Lignes() != Modele_Log::Lignes(vu).size()) {
            Ecart(repertoire, "LISTE", apres, vu);
            return 5;
        }
        Noter("FAIT " + QByteArray::number(n) + ' ' + Empreinte(vu));
    }
}
