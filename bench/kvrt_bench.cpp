// Times the real main window, report windows and routines on logs of 1,000, 10,000 and
// 99,999 QSOs (and the import of damaged or hostile files beside them), against the floor of reading the log once and rewriting it once, and measures
// the peak resident memory with the largest log open. The program has no cache: every
// operation reads the whole file again, so the floor is what the design cannot go below.
//
//   kvrt_bench [--tailles 1000,10000,99999] [--repetitions N] [--sans-memoire]
//   kvrt_bench --memoire N        (one fresh process: start-up and a round of operations)

#include "Aff_Contacte.h"
#include "Chateaux_Spottes.h"
#include "Lignes_Telnet.h"
#include "Liste_Chateaux.h"
#include "Modele_Spots.h"
#include "Noeud_Test.h"
#include "Regle_Spot.h"
#include "Reglages_Spots.h"
#include "Veille_Spots.h"
#include "Rapports_Contactes.h"
#include "Carte_Acti.h"
#include "Enregistrement.h"
#include "Geometrie_Carte.h"
#include "FichierLog.h"
#include "Import_Adif.h"
#include "Journal.h"
#include "Fichiers_Log.h"
#include "Main_Test.h"
#include "Outils_Test.h"
#include "Progression.h"
#include "Rapports.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Texte1252.h"
#include "Verification_Envoi.h"
#include "Verification_Log.h"
#include "Zone_Saisie.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QPointer>
#include <QFileInfo>
#include <QRadioButton>
#include <QStringListModel>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>

namespace {

QTextStream sortie(stdout);

// ---------------------------------------------------------------------------------------
// The logs

const QString Indicatif_Station = QStringLiteral("F1ABC");
const QString Annee = QStringLiteral("2009");

// References kept out of the generated log (whose castles are numbered 001 to 799), so
// that each round of the single-QSO operations has a castle of its own to record, delete
// and insert, and the log's last QSO a castle that no other line has.
QString Reference_Libre(int i)
{
    return QStringLiteral("90%1").arg(900 + (i % 100), 3, 10, QLatin1Char('0'));
}

QString Reference_Derniere()
{
    return QStringLiteral("90800");
}

// A year of QSOs in date order: the nine types, one in ten waiting for validation, the
// Corsican departements and the others, callsigns of several countries.
void Ecrire_Log_Genere(const QString& chemin, int n)
{
    std::mt19937 alea(20090328u + unsigned(n));
    const QStringList& types = Enregistrement::Types_Activite();
    // Weighted as a season looks: mostly castles contacted, some activations, a few doubles.
    const int poids[] = {40, 12, 10, 8, 5, 5, 6, 4, 6};
    std::discrete_distribution<int> type(std::begin(poids), std::end(poids));
    const char* const prefixes[] = {"F", "F", "F", "F", "TK", "ON", "DL", "HB9", "EA", "G", "F/", "I"};
    const QDate debut(2009, 1, 1);

    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("impossible d'écrire %s", qPrintable(chemin));
    QByteArray bloc;
    bloc.reserve(1 << 16);
    for (int i = 0; i < n; ++i) {
        const QDate jour = debut.addDays(qint64(i) * 365 / qMax(n, 1));
        const int d = int(alea() % 100);
        QString dep;
        if (d < 8)
            dep = (d % 2) ? QStringLiteral("2A") : QStringLiteral("2B");
        else
            dep = QStringLiteral("%1").arg(1 + int(alea() % 95), 2, 10, QLatin1Char('0'));
        if (dep == QLatin1String("20"))
            dep = QStringLiteral("21");
        const QString reference = i == n - 1
            ? Reference_Derniere()
            : dep + QStringLiteral("%1").arg(1 + int(alea() % 799), 3, 10, QLatin1Char('0'));
        QString indicatif = QString::fromLatin1(prefixes[alea() % std::size(prefixes)]);
        if (indicatif == QLatin1String("F/"))
            indicatif = QStringLiteral("F") + QString::number(alea() % 10) + QStringLiteral("XYZ/P");
        else {
            indicatif += QString::number(alea() % 10);
            for (int k = 0, lettres = 2 + int(alea() % 2); k < lettres; ++k)
                indicatif += QChar(u'A' + int(alea() % 26));
        }
        const bool attente = i != n - 1 && alea() % 10 == 0;
        bloc += Texte1252::Encoder(Enr(Enregistrement::Texte_Date(jour), reference, types.at(type(alea)), indicatif, attente));
        bloc += "\r\n";
        if (bloc.size() >= (1 << 16)) {
            f.write(bloc);
            bloc.clear();
        }
    }
    f.write(bloc);
}

// ---------------------------------------------------------------------------------------
// Timing

// Groups of measures kept by --seulement; empty: all of them.
QStringList Groupes;

void Afficher()
{
    // What the operator sees: posted events delivered, the windows laid out and painted.
    QApplication::processEvents();
}

void Fermer_Fenetres_Differees()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

double Mediane(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// Runs `avant` (not timed), then times `mesure`, then `apres` (not timed), repeats times
// after one warm-up round; returns the median in milliseconds.
// The first round, left out of the median: what the operator waits the first time.
double Premier_Tour = -1;

double Chronometrer(int repetitions, const std::function<void()>& mesure, const std::function<void()>& avant = {},
                    const std::function<void()>& apres = {})
{
    std::vector<double> ms;
    for (int r = 0; r <= repetitions; ++r) {
        if (avant)
            avant();
        QElapsedTimer t;
        t.start();
        mesure();
        const double e = t.nsecsElapsed() / 1e6;
        if (apres)
            apres();
        if (r > 0)
            ms.push_back(e);
        else
            Premier_Tour = e;
    }
    return Mediane(ms);
}

struct Ligne_Resultat
{
    QString operation;
    double ms = -1;         // -1: not measured
    double cible = 0;       // 0: no target at this size
    QString note;
};

// Peak resident size of this process so far, in kB.
long Pic_Memoire_Ko()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& l : f.readAll().split('\n'))
            if (l.startsWith("VmHWM:"))
                return l.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

long Memoire_Courante_Ko()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& l : f.readAll().split('\n'))
            if (l.startsWith("VmRSS:"))
                return l.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// A castle list at its size limit, 20 MiB in UTF-8: every castle many times over, its name
// quoted as a spreadsheet writes it, with a doubled quote, and one in seven over two lines.
QByteArray Liste_Chateaux_20_Mio()
{
    constexpr qsizetype Taille = qsizetype(20) << 20;
    QByteArray liste = "R\xC3\xA9" "f\xC3\xA9rence;Nom;Commune;D\xC3\xA9partement\r\n";
    liste.reserve(Taille);
    for (int i = 0;; ++i) {
        const int departement = 1 + i % 95;
        const QByteArray reference = departement == 20 ? "2A" + QByteArray::number(100 + i % 900)
                                                       : QByteArray::number(departement * 1000 + 1 + (i / 95) % 999).rightJustified(5, '0');
        const QByteArray ligne = reference + ";\"Ch\xC3\xA2teau " + (i % 7 == 0 ? "de la\r\n" : "de la ")
                                 + "Roche-\"\"" + QByteArray::number(i) + "\"\"\";Saint-Aubin-d\xE2\x80\x99" "Aubign\xC3\xA9;Ille-et-Vilaine\r\n";
        if (liste.size() + ligne.size() > Taille)
            break;
        liste += ligne;
    }
    return liste;
}

// ---------------------------------------------------------------------------------------
// The scenario of one log size

class Banc
{
public:
    Banc(int taille, int repetitions) : n(taille), reps(repetitions)
    {
        p.Installer_Station(Indicatif_Station, Annee);
        Ecrire_Log_Genere(p.Log(Indicatif_Station, Annee), n);
        chemin = p.Log(Indicatif_Station, Annee);
    }

    int n;
    int reps;
    Programme_Test p;
    QString chemin;
    std::vector<Ligne_Resultat> lignes;
    double plancher = 0;

    Main_Test* m() const { return p.main; }

    void Ajouter(const QString& operation, double ms, double cible10k, double cible100k, const QString& note = {})
    {
        double cible = 0;
        if (n == 10000)
            cible = cible10k;
        else if (n == 99999)
            cible = cible100k;
        lignes.push_back({operation, ms, cible, note});
    }

    int Ligne_De_Reference(const QString& reference) const
    {
        Main_Test* w = m();
        for (int i = 0; i < w->Nombre_Lignes(); ++i)
            if (Enregistrement::Champ_Nettoye(w->Texte_Ligne(i), 19, 5) == reference)
                return i;
        return -1;
    }

    void Remplir(const QString& date, const QString& reference, int type, const QString& indicatif, bool attente)
    {
        Main_Test* w = m();
        if (!date.isEmpty())
            w->Date_A->setText(date);
        w->Ind_A->setText(indicatif);
        w->Type_A->setCurrentIndex(type);
        w->KVRT_A->setText(reference);
        w->Validation_A->setChecked(attente);
    }

    void Verifier_Taille(int attendue, const char* ou)
    {
        if (m()->Nombre_Lignes() != attendue)
            qFatal("%s : %d lignes au lieu de %d", ou, m()->Nombre_Lignes(), attendue);
    }

    void Executer()
    {
        // The floor: the same file read once, and rewritten once through the same atomic write.
        QList<QByteArray> contenu;
        const double lire = Chronometrer(reps, [&] { FichierLog::Lire(chemin, contenu); });
        if (contenu.size() != n)
            qFatal("log généré de %lld lignes au lieu de %d", qlonglong(contenu.size()), n);
        const double reecrire = Chronometrer(reps, [&] {
            const ErreurFichier e = FichierLog::Reecrire(chemin, contenu);
            if (!e.ok())
                qFatal("%s", qPrintable(e.message));
        });
        plancher = lire + reecrire;
        Ajouter(QStringLiteral("Plancher : FichierLog::Lire"), lire, 0, 0);
        Ajouter(QStringLiteral("Plancher : FichierLog::Reecrire"), reecrire, 0, 0);
        Ajouter(QStringLiteral("Plancher : Lire + Reecrire"), plancher, 0, 0);

        // Start-up: the main window built and loaded, list and total painted.
        // Each start follows a closed program, whose lock on the log went with it.
        const double demarrage = Chronometrer(
            reps, [&] { p.Demarrer(); Afficher(); },
            [&] { delete p.main; p.main = nullptr; p.sp->Rendre_Verrou(); Fermer_Fenetres_Differees(); });
        Ajouter(QStringLiteral("Démarrage (Main_Form_Load, liste et total)"), demarrage, 50, 300);
        Verifier_Taille(n, "démarrage");
        if (m()->Total_Points->text().isEmpty())
            qFatal("total absent après le démarrage");

        // --seulement keeps the groups whose name it lists (for a profiler's run).
        const std::pair<const char*, void (Banc::*)()> groupes[] = {
            {"saisie", &Banc::Operations_Un_QSO}, {"journal", &Banc::Cout_Journal},
            {"fenetres", &Banc::Fenetres_Rapports}, {"export", &Banc::Export},
            {"adif", &Banc::Adif}, {"recherche", &Banc::Recherches}, {"spots", &Banc::Spots},
            {"verification", &Banc::Verification},
        };
        for (const auto& [nom, mesurer] : groupes)
            if (Groupes.isEmpty() || Groupes.contains(QLatin1String(nom)))
                (this->*mesurer)();
    }

    // A file of about 50 MB as an everyday logging program writes a few years of contacts:
    // most QSOs without a castle, one in a hundred with a castle of the Challenge's year.
    static QString Fichier_Adif_50_Mo()
    {
        static QTemporaryDir dossier;
        static QString chemin;
        if (!chemin.isEmpty())
            return chemin;
        chemin = dossier.filePath(QStringLiteral("trafic.adi"));
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("impossible d'écrire %s", qPrintable(chemin));
        f.write("Logiciel de trafic\r\n<ADIF_VER:5>3.1.4 <PROGRAMID:6>LOGGER <EOH>\r\n");
        std::mt19937 alea(50u);
        QByteArray bloc;
        qint64 ecrit = 0;
        for (int i = 0; ecrit < (qint64(50) << 20); ++i) {
            const QDate d = QDate(2007, 1, 1).addDays(int(alea() % 1096));
            const QByteArray date = d.toString(QStringLiteral("yyyyMMdd")).toLatin1();
            const QByteArray call = "F" + QByteArray::number(1 + i % 9) + QByteArray::number(i % 26 + 10, 36).toUpper()
                                    + QByteArray::number(alea() % 46656, 36).toUpper();
            QByteArray r = "<QSO_DATE:8>" + date + " <TIME_ON:6>141200 <CALL:" + QByteArray::number(call.size()) + ">" + call
                           + " <BAND:3>40m <MODE:3>SSB <FREQ:8>7.065000 <RST_SENT:2>59 <RST_RCVD:2>57"
                             " <NAME:6>Pierre <QTH:7>Rennes  <COMMENT:22>Merci pour le QSO, 73 <STATION_CALLSIGN:5>F1ABC";
            if (i % 100 == 0)
                r += " <SIG:4>KVRT <SIG_INFO:5>" + QByteArray::number(10000 + int(alea() % 80000)).right(5);
            r += " <EOR>\r\n";
            bloc += r;
            ecrit += r.size();
            if (bloc.size() > (1 << 20)) {
                f.write(bloc);
                bloc.clear();
            }
        }
        f.write(bloc);
        return chemin;
    }

    // The lines of a busy node: mostly spots of other stations, a castle spot in fifty, and
    // the announcements and propagation lines between them.
    static QByteArray Flot_Cluster(int n, int premier = 0)
    {
        QByteArray flot;
        flot.reserve(qsizetype(n) * 80);
        for (int i = premier; i < premier + n; ++i) {
            const QByteArray k = QByteArray::number(i);
            if (i % 50 == 0)
                flot += "DX de F4ABC:      7012.0  F" + QByteArray::number(i % 10) + "KV" + k + "/P   KVRT "
                        + QByteArray::number(29000 + i % 999) + " cw                  1234Z\r\n";
            else if (i % 97 == 0)
                flot += "To ALL de F6ABC: QRV demain 0800Z sur 7012 merci " + k + "\r\n";
            else if (i % 101 == 0)
                flot += "WWV de W0MU <18>:   SFI=71, A=5, K=1, No Storms -> No Storms\r\n";
            else
                flot += "DX de W3LPL:     14025.0  JA" + k + "      CQ up 2 nr " + k + "               1234Z FN20\r\n";
        }
        return flot;
    }

    // The spots of the DX cluster: the rule alone and with the telnet lines, a castle spot from
    // its arrival on the socket to its row among 500 in the open window, and the longest the
    // window waits while a node floods.
    void Spots()
    {
        const QByteArray flot = Flot_Cluster(100000);
        Lignes_Telnet decoupe(1024);
        const QStringList textes = decoupe.Ajouter(flot);
        int chateaux = 0;
        const double regle = Chronometrer(reps, [&] {
            chateaux = 0;
            Regle_Spot::Spot s;
            for (const QString& l : textes)
                chateaux += Regle_Spot::Lire(l, s) && !s.references.isEmpty();
        });
        if (chateaux != 2000)
            qFatal("%d châteaux lus au lieu de 2000", chateaux);
        auto parSeconde = [](double ms) { return QStringLiteral("%1 lignes/s").arg(qRound64(100000 / (ms / 1000))); };
        Ajouter(QStringLiteral("Spots : règle sur 100 000 lignes (cible 100 000 lignes/s)"), regle, 1000, 1000, parSeconde(regle));
        const double flux = Chronometrer(reps, [&] {
            Lignes_Telnet t(1024);
            Regle_Spot::Spot s;
            for (const QString& l : t.Ajouter(flot))
                (void)Regle_Spot::Lire(l, s);
        });
        Ajouter(QStringLiteral("Spots : octets telnet en lignes, puis règle, 100 000 lignes"), flux, 1000, 1000, parSeconde(flux));

        Noeud_Test noeud;
        p.reglages->Definir_Cluster(noeud.Adresse());
        Veille_Spots veille(*p.sp);
        const Modele_Spots* rangs = Controle<Modele_Spots>(&veille, "Modele");
        QPointer<Chateaux_Spottes> fenetre = new Chateaux_Spottes(veille, *p.sp, m());
        fenetre->setWindowFlag(Qt::Window);
        fenetre->setAttribute(Qt::WA_DeleteOnClose);
        fenetre->Chateaux_Spottes_Form_Load();
        if (!noeud.Attendre_Recu("F1ABC\r\n"))
            qFatal("pas de connexion au nœud");
        QByteArray cinqCents;
        for (int i = 0; i < 500; ++i)
            cinqCents += "DX de F4ABC:      7012.0  F" + QByteArray::number(i % 10) + "AA" + QByteArray::number(i)
                         + "/P   KVRT " + QByteArray::number(10000 + i * 7) + "                     1200Z\r\n";
        noeud.Envoyer(cinqCents);
        if (!Noeud_Test::Attendre([&] { return rangs->rowCount() == 500; }))
            qFatal("500 lignes attendues, %d", rangs->rowCount());
        Afficher();
        int k = 0;
        QString indicatif;
        const double arrivee = Chronometrer(
            reps,
            [&] {
                noeud.Envoyer("DX de F4ABC:      7012.0  " + indicatif.toLatin1() + "      KVRT 29018 cw      1300Z\r\n");
                while (rangs->Indicatif(0) != indicatif)
                    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
                Afficher();
            },
            [&] { indicatif = QStringLiteral("TM%1KVRT").arg(++k); });
        Ajouter(QStringLiteral("Spots : d'une ligne reçue à sa ligne affichée, 500 lignes"), arrivee, 50, 50,
                QStringLiteral("%1 lignes").arg(rangs->rowCount()));

        // A flood: the window's turns are timed while 100 000 lines come in one go.
        QElapsedTimer entreTours;
        double plusLong = 0;
        QTimer tour;
        tour.setInterval(0);
        QObject::connect(&tour, &QTimer::timeout, &tour, [&] {
            plusLong = std::max(plusLong, entreTours.nsecsElapsed() / 1e6);
            entreTours.start();
        });
        const QByteArray inondation = Flot_Cluster(100000, 1);
        const QString dernier = QStringLiteral("TM0KVRTFIN");
        noeud.Envoyer(inondation + "DX de F4ABC:      7012.0  " + dernier.toLatin1() + "   KVRT 29018 cw      1301Z\r\n");
        entreTours.start();
        tour.start();
        QElapsedTimer total;
        total.start();
        while (rangs->Indicatif(0) != dernier)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        tour.stop();
        Ajouter(QStringLiteral("Spots : inondation de 100 000 lignes, plus longue attente de la fenêtre"), plusLong, 100, 100,
                QStringLiteral("toutes lues en %1 ms").arg(qRound(total.nsecsElapsed() / 1e6)));

        // The band changed in the window: its 500 rows filtered again and shown, in one frame.
        auto* bande = Controle<QComboBox>(fenetre.data(), "Bande");
        const QStringList bandes{QStringLiteral("20 m"), QStringLiteral("40 m"), QStringLiteral("Toutes")};
        int b = 0;
        const double changerBande = Chronometrer(reps, [&] {
            bande->setCurrentText(bandes.at(b++ % bandes.size()));
            Afficher();
        });
        Ajouter(QStringLiteral("Spots : changer de bande, 500 lignes (cible une image, 16,7 ms)"), changerBande, 16.7, 16.7,
                QStringLiteral("%1 lignes").arg(rangs->rowCount()));
        bande->setCurrentText(QStringLiteral("Toutes"));

        // The age's sweep at every turn of the window while 100 000 lines come in, the clock
        // going forward five minutes a turn, so that rows leave as others come.
        veille.Regler_Balayage(0);
        const QDateTime heure = p.plateforme->Maintenant_Utc();
        int tours = 0;
        plusLong = 0;
        QTimer horloge;
        horloge.setInterval(0);
        QObject::connect(&horloge, &QTimer::timeout, &horloge, [&] {
            plusLong = std::max(plusLong, entreTours.nsecsElapsed() / 1e6);
            entreTours.start();
            p.plateforme->Regler_Horloge(heure.addSecs(300 * ++tours));
        });
        const QString fin = QStringLiteral("TM0KVRTAGE");
        bool finLue = false;
        const auto suivre = QObject::connect(rangs, &QAbstractItemModel::rowsInserted, rangs,
                                             [&] { finLue = finLue || rangs->Indicatif(0) == fin; });
        noeud.Envoyer(Flot_Cluster(100000, 200001) + "DX de F4ABC:      7012.0  " + fin.toLatin1() + "   KVRT 29018 cw      1301Z\r\n");
        entreTours.start();
        horloge.start();
        total.start();
        while (!finLue)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        horloge.stop();
        QObject::disconnect(suivre);
        Ajouter(QStringLiteral("Spots : balayage par l'âge sous une inondation de 100 000 lignes, plus longue attente"),
                plusLong, 100, 100,
                QStringLiteral("%1 tours en %2 ms, %3 lignes restent").arg(tours).arg(qRound(total.nsecsElapsed() / 1e6)).arg(rangs->rowCount()));
        veille.Regler_Balayage(30000);
        p.plateforme->Regler_Horloge(heure);
        if (fenetre)
            fenetre->close();
        Fermer_Fenetres_Differees();

        // The castle list at its size limit, read as the worker thread reads it.
        const QByteArray liste = Liste_Chateaux_20_Mio();
        int nombre = 0;
        const double lireListe = Chronometrer(reps, [&] { nombre = Liste_Chateaux::Lire(liste).Nombre(); });
        Ajouter(QStringLiteral("Liste des châteaux de 20 Mio : lecture"), lireListe, 1000, 1000,
                QStringLiteral("%1 châteaux").arg(nombre));
    }

    void Adif()
    {
        const double exporter = Chronometrer(reps, [&] { Fichiers_Log::Enregistre_Adif(*p.sp, nullptr); });
        const QString dernier = p.plateforme->Dernier_Message();
        p.plateforme->messages.clear();
        Ajouter(QStringLiteral("Enregistrer le log au format ADIF"), exporter, 0, 0,
                dernier.startsWith(QStringLiteral("Le log a été enregistré au format ADIF")) ? QString()
                                                                                          : QStringLiteral("échec : ") + dernier.left(60));

        // The import of a 50 MB file: reading, cutting and the preview, then the one rewrite.
        const QString fichier = Fichier_Adif_50_Mo();
        const QByteArray log = p.Octets_Log(Indicatif_Station, Annee);
        int aAjouter = 0;
        QPointer<Import_Adif> fenetre;
        const double ouvrir = Chronometrer(
            reps, [&] { fenetre->Ouvrir_Fichier(fichier); Afficher(); },
            [&] {
                fenetre = new Import_Adif(*p.sp, m());
                fenetre->Import_Adif_Form_Load();
            },
            [&] {
                aAjouter = 0;
                for (const auto& q : fenetre->Qsos())
                    aAjouter += q.Ajoute();
                fenetre->close();
                Fermer_Fenetres_Differees();
            });
        // A reader of this kind manages more than 150 MB/s: the whole preview within 400 ms.
        Ajouter(QStringLiteral("Import ADIF de 50 Mo : lecture et aperçu"), ouvrir, 400, 400,
                QStringLiteral("%1 QSO à ajouter").arg(aAjouter));
        const double importer = Chronometrer(
            reps, [&] { fenetre->Import_Adif_Importer_Click(); Afficher(); },
            [&] {
                p.Ecrire_Fichier(QFileInfo(chemin).fileName(), log);
                fenetre = new Import_Adif(*p.sp, m());
                fenetre->Import_Adif_Form_Load();
                fenetre->Ouvrir_Fichier(fichier);
            },
            [&] {
                if (fenetre)
                    fenetre->close();
                Fermer_Fenetres_Differees();
            });
        const QString message = p.plateforme->Dernier_Message();
        p.plateforme->messages.clear();
        // What was read is reused: the one rewrite of the log and 100 ms more.
        const double cibleImporter = std::round((plancher + 100) * 100) / 100;
        Ajouter(QStringLiteral("Import ADIF de 50 Mo : Importer (une réécriture)"), importer, cibleImporter,
                cibleImporter, message.left(40));
        p.Ecrire_Fichier(QFileInfo(chemin).fileName(), log);
        p.sp->Rafraichir_Liste_Log();
        Fichiers_Hostiles();
    }

    // Damaged or hostile files, whatever the log's size: each is read in one pass and ends in
    // a sentence (or a preview) within its target, the time of some milliseconds a megabyte.
    void Fichiers_Hostiles()
    {
        static QTemporaryDir dossier;
        struct Cas
        {
            QString operation;
            QString nom;
            QByteArray contenu;
            double cible;
            bool chercher = false;
        };
        QByteArray references = "<QSO_DATE:8>20090328 <CALL:5>F6XYZ <COMMENT:";
        QByteArray commentaire;
        for (int i = 0; commentaire.size() < (16 << 20) / 10; ++i)
            commentaire += "KVRT " + QByteArray::number(10000 + i % 89999).rightJustified(5, '0') + ' ';
        references += QByteArray::number(commentaire.size()) + '>' + commentaire + "<EOR>\r\n";
        const Cas cas[] = {
            {QStringLiteral("Fichier hostile : 1,6 Mo de « < » puis « > »"), QStringLiteral("inferieurs.adi"),
             QByteArray((16 << 20) / 10, '<') + '>', 200},
            {QStringLiteral("Fichier hostile : 16 Mo de « < » puis « > »"), QStringLiteral("inferieurs_16.adi"),
             QByteArray(16 << 20, '<') + '>', 2000},
            {QStringLiteral("Fichier hostile : 1,6 Mo de « <A: »"), QStringLiteral("balises.adi"),
             QByteArray("<A:").repeated((16 << 20) / 30) + '>', 200},
            {QStringLiteral("Fichier hostile : ADX imbriqué 100 000 fois"), QStringLiteral("profond.adx"),
             "<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>" + QByteArray("<a>").repeated(100000), 200},
            {QStringLiteral("Fichier hostile : commentaire de 1,6 Mo plein de références"), QStringLiteral("references.adi"),
             references, 500, true},
        };
        for (const Cas& c : cas) {
            const QString fichier = dossier.filePath(c.nom);
            QFile f(fichier);
            if (!f.open(QIODevice::WriteOnly) || f.write(c.contenu) != c.contenu.size())
                qFatal("impossible d'écrire %s", qPrintable(fichier));
            f.close();
            QPointer<Import_Adif> fenetre;
            QString dit;
            const double ms = Chronometrer(
                reps, [&] { fenetre->Ouvrir_Fichier(fichier); Afficher(); },
                [&] {
                    p.plateforme->messages.clear();
                    fenetre = new Import_Adif(*p.sp, m());
                    Controle<QCheckBox>(fenetre, "Chercher_Texte")->setChecked(c.chercher);
                    fenetre->Import_Adif_Form_Load();
                },
                [&] {
                    dit = p.plateforme->messages.isEmpty() ? Controle<QLabel>(fenetre, "Resume")->text() : p.plateforme->Dernier_Message();
                    fenetre->close();
                    Fermer_Fenetres_Differees();
                });
            p.plateforme->messages.clear();
            dit = dit.simplified();
            lignes.push_back({c.operation, ms, c.cible, dit.size() > 70 ? dit.left(70) + QStringLiteral("…") : dit});
        }
    }

    void Operations_Un_QSO()
    {
        Main_Test* w = m();
        std::vector<double> supprimer, enregistrer, inserer, editer, cliquer, doublon, annuler, plancherTour;
        QElapsedTimer t;
        auto temps = [&] { return t.nsecsElapsed() / 1e6; };
        for (int r = 0; r <= reps; ++r) {
            const QString x = Reference_Libre(r);
            const bool compte = r > 0;

            // The floor again, in the same round as the operations: on a shared machine each
            // operation is compared with a floor timed under the same load.
            QList<QByteArray> lignes;
            t.start();
            FichierLog::Lire(chemin, lignes);
            if (!FichierLog::Reecrire(chemin, lignes).ok())
                qFatal("réécriture du plancher");
            if (compte)
                plancherTour.push_back(temps());
            lignes = QList<QByteArray>();

            // Showing a QSO: a click on a line in the middle of the list.
            t.start();
            w->Selectionner_Ligne((n / 2 + r) % n);
            Afficher();
            if (compte)
                cliquer.push_back(temps());

            // The reference check on Enter, which looks for the castle in the whole log.
            w->Zone->Efface();
            Remplir(QString(), x, 0, QStringLiteral("F6BEN"), false);
            w->KVRT_A->setEnabled(true);
            int touche = 13;
            t.start();
            w->Zone->Main_KVRT_A_KeyPress(touche);
            Afficher();
            if (compte)
                doublon.push_back(temps());

            // The log's last QSO, a castle of its own, goes first, so that the log never
            // passes n lines; it comes back at the end of the round.
            w->Selectionner_Ligne(n - 1);
            p.plateforme->reponses.append(true);
            w->Zone->Main_Annule_Saisie_Click();
            Afficher();
            Verifier_Taille(n - 1, "suppression de la dernière ligne");

            // Recording in automatic date mode: appended, list and total rebuilt.
            w->Zone->Efface();
            Remplir(QString(), x, r % 9, QStringLiteral("F6BEN"), r % 4 == 0);
            t.start();
            w->Zone->Main_Valide_A_Click();
            Afficher();
            if (compte)
                enregistrer.push_back(temps());
            Verifier_Taille(n, "enregistrement");

            // Deleting a castle: the line just recorded is selected, the question answered Oui.
            p.plateforme->reponses.append(true);
            t.start();
            w->Zone->Main_Annule_Saisie_Click();
            Afficher();
            if (compte)
                supprimer.push_back(temps());
            Verifier_Taille(n - 1, "suppression");

            // Ctrl+Z brings the castle back through the journal; it goes again, untimed.
            t.start();
            w->Main_Mnu_Annuler_Click();
            Afficher();
            if (compte)
                annuler.push_back(temps());
            Verifier_Taille(n, "annulation de la suppression");
            w->Selectionner_Ligne(n - 1);
            p.plateforme->reponses.append(true);
            w->Zone->Main_Annule_Saisie_Click();
            Verifier_Taille(n - 1, "suppression après annulation");

            // Insertion by date: the button, the fields, then Valider; the QSO goes mid-year.
            w->Zone->Main_Ajout_Saisie_Click();
            Remplir(QStringLiteral("15/06/09"), x, (r + 3) % 9, QStringLiteral("TK5XN"), false);
            t.start();
            w->Zone->Main_Valide_A_Click();
            Afficher();
            if (compte)
                inserer.push_back(temps());
            Verifier_Taille(n, "insertion");

            // Back to the log as generated: the inserted castle out, the last QSO back.
            w->Selectionner_Ligne(Ligne_De_Reference(x));
            p.plateforme->reponses.append(true);
            w->Zone->Main_Annule_Saisie_Click();
            w->Zone->Efface();
            Remplir(QString(), Reference_Derniere(), 3, QStringLiteral("F5AAA"), false);
            w->Zone->Main_Valide_A_Click();
            Afficher();
            Verifier_Taille(n, "retour au log généré");

            // Editing in place: a double click, the callsign changed, Valider.
            w->Selectionner_Ligne((n / 3 + r) % n);
            t.start();
            w->Main_Liste_KVRT_DblClick();
            w->Ind_A->setText(r % 2 ? QStringLiteral("F8EDT") : QStringLiteral("F9EDT"));
            w->Zone->Main_Valide_A_Click();
            Afficher();
            if (compte)
                editer.push_back(temps());
            Verifier_Taille(n, "édition");
        }
        if (!p.plateforme->questionsImprevues.isEmpty())
            qFatal("question imprévue : %s", qPrintable(p.plateforme->questionsImprevues.first()));
        p.plateforme->messages.clear();

        // Each change against the floor of its own round, the median of the ratios: the log is
        // read once per change and rewritten once, so 2× the floor is the bound at 10,000 QSOs;
        // at 99,999, where the file's cost rules, 1.5× (1.1× for an append, which rewrites nothing).
        auto apparie = [&](const std::vector<double>& v, double cibleGrand = 1.5) {
            std::vector<double> rapports;
            for (size_t i = 0; i < v.size() && i < plancherTour.size(); ++i)
                rapports.push_back(v[i] / plancherTour[i]);
            const double q = Mediane(rapports);
            const double cible = n >= 99999 ? cibleGrand : 2;
            return QStringLiteral("%1× le plancher du tour (cible %2)%3")
                .arg(q, 0, 'f', 2)
                .arg(cible)
                .arg(q > cible ? QStringLiteral(", MANQUÉ") : QString());
        };
        Ajouter(QStringLiteral("Plancher du tour (Lire + Reecrire, entre les opérations)"), Mediane(plancherTour), 0, 0);
        Ajouter(QStringLiteral("Afficher un QSO (clic sur une ligne)"), Mediane(cliquer), 16, 100);
        Ajouter(QStringLiteral("Contrôle du N° KVRT (Entrée, doublon)"), Mediane(doublon), 16, 100);
        Ajouter(QStringLiteral("Enregistrer (date auto, Valider)"), Mediane(enregistrer), 16, 100, apparie(enregistrer, 1.1));
        Ajouter(QStringLiteral("Insérer par date (Valider)"), Mediane(inserer), 16, 100, apparie(inserer));
        Ajouter(QStringLiteral("Éditer (double clic, Valider)"), Mediane(editer), 16, 100, apparie(editer));
        Ajouter(QStringLiteral("Supprimer un KVRT (Oui)"), Mediane(supprimer), 16, 100, apparie(supprimer));
        Ajouter(QStringLiteral("Annuler la suppression (Ctrl+Z)"), Mediane(annuler), 16, Mediane(supprimer),
                QStringLiteral("cible : le coût de la suppression, ") + apparie(annuler));
        if (!p.plateforme->messages.isEmpty())
            qFatal("message imprévu : %s", qPrintable(p.plateforme->messages.first()));
    }

    // What the journal adds to a change: the same rewrite and the same append with and
    // without it, on a copy of the log in the same folder, and its parts alone.
    void Cout_Journal()
    {
        const QString copie = p.Chemin(QStringLiteral("Banc_Challenge_KVRT_2009.txt"));
        QByteArray a;
        if (!FichierLog::Lire_Tout(chemin, a).ok())
            qFatal("lecture du log");
        // b: the log with two castles' lines gone, far apart, as a delete leaves it.
        QList<QByteArray> lignes = Texte1252::Couper_Lignes(a);
        lignes.removeAt(lignes.size() * 2 / 3);
        lignes.removeAt(lignes.size() / 5);
        QByteArray b;
        for (const QByteArray& l : lignes)
            b += l + "\r\n";
        lignes = QList<QByteArray>();
        if (!FichierLog::Reecrire_Octets(copie, a).ok())
            qFatal("copie du log");
        bool versB = true;
        const double sans = Chronometrer(reps, [&] {
            if (!FichierLog::Reecrire_Octets(copie, versB ? b : a).ok())
                qFatal("réécriture");
            versB = !versB;
        });
        if (!versB)
            FichierLog::Reecrire_Octets(copie, a);
        Journal::Journal_Log journal(copie);
        versB = true;
        const double avec = Chronometrer(reps, [&] {
            if (!journal.Reecrire(versB ? a : b, versB ? b : a, Journal::Genre::Modification, 0, QStringLiteral("banc"),
                                  QDateTime::currentDateTimeUtc())
                     .ok())
                qFatal("réécriture journalisée");
            versB = !versB;
        });
        const double empreinte = Chronometrer(reps, [&] { (void)Journal::Empreinte_De(a).Valeur(); });
        const double differences = Chronometrer(reps, [&] { (void)Journal::Differences(a, b); });
        // Appends grow the copy by one line each time, with and without the journal.
        const QByteArray ligne = "28/03/09  90999  Chateau active          F6BEN       ";
        const double ajoutSans = Chronometrer(reps, [&] {
            if (!FichierLog::Ajouter(copie, ligne).ok())
                qFatal("ajout");
        });
        journal.Oublier();
        QByteArray contenu;
        FichierLog::Lire_Tout(copie, contenu);
        journal.Verifier(contenu);
        if (journal.Verifier(contenu) == Journal::Journal_Log::Accord::Mis_De_Cote)
            qFatal("journal mis de côté");
        const double ajoutAvec = Chronometrer(reps, [&] {
            if (!journal.Ajouter(ligne, QStringLiteral("banc"), QDateTime::currentDateTimeUtc()).ok())
                qFatal("ajout journalisé");
        });
        Ajouter(QStringLiteral("Journal : empreinte du log entier"), empreinte, 0, 0);
        Ajouter(QStringLiteral("Journal : différences d'une suppression"), differences, 0, 0);
        Ajouter(QStringLiteral("Réécriture seule (suppression de 2 lignes)"), sans, 0, 0);
        Ajouter(QStringLiteral("Réécriture journalisée"), avec, 0, 0);
        Ajouter(QStringLiteral("Surcoût du journal sur une réécriture"), avec - sans, 2, 2, QStringLiteral("cible 2 ms"));
        Ajouter(QStringLiteral("Ajout seul"), ajoutSans, 0, 0);
        Ajouter(QStringLiteral("Ajout journalisé"), ajoutAvec, 0, 0);
        Ajouter(QStringLiteral("Surcoût du journal sur un ajout"), ajoutAvec - ajoutSans, 2, 2, QStringLiteral("cible 2 ms"));

        // Ctrl+Z at the end of a season: the same delete and its undo, with a journal of a few
        // entries and with one of 20,000 changes, as a whole year of contests leaves it.
        const auto [supprimerCourt, annulerCourt] = Suppression_Et_Annulation(copie, journal);
        Journal::Journal_Log saison(copie);
        Ecrire_Saison(copie, Entrees_Saison, QDateTime::currentDateTimeUtc());
        const auto [supprimerSaison, annulerSaison] = Suppression_Et_Annulation(copie, saison);
        Ajouter(QStringLiteral("Journal : suppression d'une ligne"), supprimerCourt, 0, 0);
        Ajouter(QStringLiteral("Journal : son annulation"), annulerCourt, 0, 0);
        Ajouter(QStringLiteral("Journal d'une saison : suppression d'une ligne"), supprimerSaison, 0, 0);
        Ajouter(QStringLiteral("Journal d'une saison : son annulation"), annulerSaison, 0, 0);

        // The same in the window, as the delete and Ctrl+Z of the entry group are timed, with
        // the season's journal beside the log, dated by the program's clock so that it is all
        // of the year the program keeps; the program's journal reads it afresh.
        Ecrire_Saison(chemin, Entrees_Saison, p.plateforme->Maintenant_Utc());
        Main_Test* w = m();
        p.sp->Journal_Log().Oublier();
        std::vector<double> supprimer, annuler;
        QElapsedTimer t;
        for (int r = 0; r <= reps; ++r) {
            w->Selectionner_Ligne(n - 1);
            p.plateforme->reponses.append(true);
            t.start();
            w->Zone->Main_Annule_Saisie_Click();
            Afficher();
            const double s = t.nsecsElapsed() / 1e6;
            Verifier_Taille(n - 1, "suppression, journal d'une saison");
            t.start();
            w->Main_Mnu_Annuler_Click();
            Afficher();
            const double a = t.nsecsElapsed() / 1e6;
            Verifier_Taille(n, "annulation, journal d'une saison");
            if (r > 0) {
                supprimer.push_back(s);
                annuler.push_back(a);
            }
        }
        if (!p.plateforme->messages.isEmpty())
            qFatal("message imprévu : %s", qPrintable(p.plateforme->messages.first()));
        const double cible = std::round(Mediane(supprimer) * 100) / 100;
        Ajouter(QStringLiteral("Supprimer un KVRT (Oui), journal d'une saison"), Mediane(supprimer), 16, 100);
        Ajouter(QStringLiteral("Annuler la suppression (Ctrl+Z), journal d'une saison de 20 000 changements"),
                Mediane(annuler), cible, cible, QStringLiteral("cible : le coût de la suppression"));
    }

    static constexpr int Entrees_Saison = 20000;

    // Medians of a delete of one line in the middle of the log through the journal, and of
    // its undo, the journal object kept from one to the next as the program keeps it.
    std::pair<double, double> Suppression_Et_Annulation(const QString& log, Journal::Journal_Log& journal)
    {
        QByteArray depart;
        if (!FichierLog::Lire_Tout(log, depart).ok())
            qFatal("lecture du log");
        if (journal.Verifier(depart) == Journal::Journal_Log::Accord::Mis_De_Cote)
            qFatal("journal mis de côté");
        const qsizetype milieu = depart.indexOf('\n', depart.size() / 2) + 1;
        const qsizetype fin = depart.indexOf('\n', milieu) + 1;
        const QByteArray sans = depart.first(milieu) + depart.sliced(fin);
        std::vector<double> supprimer, annuler;
        QElapsedTimer t;
        for (int r = 0; r <= reps; ++r) {
            t.start();
            if (!journal.Reecrire(depart, sans, Journal::Genre::Modification, 0, QStringLiteral("suppression du KVRT 29001"),
                                  QDateTime::currentDateTimeUtc())
                     .ok())
                qFatal("suppression journalisée");
            const double s = t.nsecsElapsed() / 1e6;
            t.start();
            if (journal.Annuler(QDateTime::currentDateTimeUtc()).etat != Journal::Journal_Log::Resultat::Fait)
                qFatal("annulation");
            const double a = t.nsecsElapsed() / 1e6;
            if (r > 0) {
                supprimer.push_back(s);
                annuler.push_back(a);
            }
        }
        QByteArray apres;
        if (!FichierLog::Lire_Tout(log, apres).ok() || apres != depart)
            qFatal("annulation inexacte");
        return {Mediane(supprimer), Mediane(annuler)};
    }

    // A journal of a season's records written straight to the file: each entry made in the
    // form the program writes (a record journalled on a scratch log, read back), its line and
    // position changed; the last one ends on the log as it is, so that the journal explains it.
    static void Ecrire_Saison(const QString& log, int entrees, const QDateTime& utc)
    {
        QTemporaryDir brouillon;
        const QString essai = brouillon.filePath(QStringLiteral("Essai_Challenge_KVRT_2009.txt"));
        const QByteArray ligne = "28/03/09  29001  Chateau active          F6BEN       ";
        if (!FichierLog::Reecrire_Octets(essai, QByteArray()).ok()
            || !Journal::Journal_Log(essai).Ajouter(ligne, QStringLiteral("enregistrement du KVRT 29001"),
                                                    QDateTime::currentDateTimeUtc())
                    .ok())
            qFatal("journal d'essai");
        Journal::Entree modele = Journal::Journal_Log(essai).Entrees().constLast();
        QByteArray contenu;
        if (!FichierLog::Lire_Tout(log, contenu).ok())
            qFatal("lecture du log");
        QByteArray texte;
        texte.reserve(qsizetype(entrees) * 400);
        for (int i = 1; i <= entrees; ++i) {
            Journal::Entree e = modele;
            e.numero = i;
            e.utc = utc;
            const QByteArray reference = QByteArray::number(10000 + i % 80000);
            e.operation = QStringLiteral("enregistrement du KVRT ") + QString::fromLatin1(reference);
            e.blocs.first().position = qint64(i) * 55;
            e.blocs.first().ajoute = QByteArray(ligne).replace("29001", reference) + "\r\n";
            if (i == entrees)
                e.apres = Journal::Empreinte_De(contenu);
            texte += Journal::Encoder_Entree(e);
        }
        if (!FichierLog::Reecrire_Octets(Journal::Chemin_Journal(log), texte).ok())
            qFatal("écriture du journal d'une saison");
    }

    template <typename Fenetre>
    void Chronometrer_Fenetre(const QString& nom, QAction* const Main_Test::*commande, Fenetre* (Main_Test::*ouverte)() const,
                              const std::function<bool(Fenetre*)>& remplie)
    {
        Main_Test* w = m();
        bool vide = false;
        const double ms = Chronometrer(
            reps, [&] { (w->*commande)->trigger(); Afficher(); },
            {},
            [&] {
                Fenetre* f = (w->*ouverte)();
                if (!f) {
                    vide = true;
                    return;
                }
                if (!remplie(f))
                    vide = true;
                f->close();
                Fermer_Fenetres_Differees();
                if ((w->*ouverte)())
                    qFatal("%s n'a pas été détruite à la fermeture", qPrintable(nom));
            });
        const double premier = Premier_Tour;
        Ajouter(nom, ms, 50, 0, vide ? QStringLiteral("fenêtre vide : à reprendre") : QString());
        Ajouter(nom + QStringLiteral(", première ouverture"), premier, 0, 0);
    }

    void Fenetres_Rapports()
    {
        Chronometrer_Fenetre<Recapitulatif>(QStringLiteral("Fenêtre Récapitulatif"), &Main_Test::Mnu_Recap,
                                            &Main_Test::Fenetre_Recapitulatif,
                                       [](Recapitulatif* f) { return !Controle<QLineEdit>(f, "Nb_Points_Tot")->text().isEmpty(); });
        Chronometrer_Fenetre<Aff_Contacte>(QStringLiteral("Fenêtre KVRT contactés"), &Main_Test::Mnu_C_Contacte,
                                           &Main_Test::Fenetre_Aff_Contacte,
                                      [this](Aff_Contacte* f) { return f->Lignes().size() == n; });
        // The program lays the map out in the background half a second after its start.
        Geometrie_Carte::Preparer();
        Geometrie_Carte::Attendre();
        Chronometrer_Fenetre<Carte_Acti>(QStringLiteral("Fenêtre Carte des départements"), &Main_Test::Mnu_Dpt_Contactes,
                                         &Main_Test::Fenetre_Carte_Acti,
                                    [](Carte_Acti* f) { return !Controle<QLabel>(f, "NB_Dep")->text().isEmpty(); });
        Chronometrer_Fenetre<Progression>(QStringLiteral("Fenêtre Progression (ouverture)"), &Main_Test::Mnu_Progression,
                                          &Main_Test::Fenetre_Progression,
                                     [this](Progression* f) { return f->Series().bilan.qso == n; });

        // What the open window does after every change of the log: read it again and redraw.
        Main_Test* w = m();
        w->Mnu_Progression->trigger();
        Afficher();
        Progression* f = w->Fenetre_Progression();
        // Each round first changes the log (not timed): one more QSO, at the end of the year,
        // waiting for validation one time in two, so that the curves, the bars and the axes move.
        QList<QByteArray> avant;
        FichierLog::Lire(chemin, avant);
        int ajoutes = 0;
        const double redessiner = Chronometrer(
            reps, [&] { f->Progression_Rafraichir(); Afficher(); },
            [&] {
                const QDate jour = QDate(2009, 12, 1).addDays(ajoutes);
                FichierLog::Ajouter(chemin, Texte1252::Encoder(Enr(Enregistrement::Texte_Date(jour), QStringLiteral("90999"),
                                                                   Enregistrement::Types_Activite().at(ajoutes % 9),
                                                                   QStringLiteral("F5BEN"), ajoutes % 2 == 1)));
                ++ajoutes;
            });
        Ajouter(QStringLiteral("Fenêtre Progression (redessin après un changement)"), redessiner, 50, 0,
                f->Series().bilan.qso == n + ajoutes ? QString() : QStringLiteral("fenêtre vide : à reprendre"));
        f->close();
        Fermer_Fenetres_Differees();
        FichierLog::Reecrire(chemin, avant);
    }

    void Export()
    {
        // The list of the contacted castles alone, from the log's bytes, without its window.
        QByteArray contenu;
        FichierLog::Lire_Tout(chemin, contenu);
        qsizetype lignes = 0;
        const double liste = Chronometrer(reps, [&] { lignes = Rapports::Contactes(contenu).size(); });
        Ajouter(QStringLiteral("Liste des KVRT contactés, triée (sans lecture ni fenêtre)"), liste, 0, 0,
                lignes == n ? QString() : QStringLiteral("liste incomplète : à reprendre"));

        const double ms = Chronometrer(reps, [&] { Rapports_Contactes::Enregistre_Contactes(*p.sp); });
        const QString dernier = p.plateforme->Dernier_Message();
        p.plateforme->messages.clear();
        Ajouter(QStringLiteral("Enregistrer les KVRT contactés (export)"), ms, 0, 0,
                dernier.startsWith(QStringLiteral("Le log a été enregistré")) ? QString() : QStringLiteral("échec : ") + dernier.left(60));
    }

    // The check of the whole log before it is sent: read once, every line checked, the summary.
    // It writes nothing, so the floor (one read and one rewrite) is its bound.
    void Verification()
    {
        qsizetype constats = 0;
        QString resume;
        const double ms = Chronometrer(reps, [&] {
            QByteArray octets;
            FichierLog::Lire_Octets(chemin, octets);
            const QList<Verification_Log::Constat> c =
                Verification_Log::Verifier(octets, Annee, QDate(2010, 1, 10), nullptr);
            constats = c.size();
            // The window has the score from the log's state; here it is counted once more.
            resume = Verification_Log::Resume(Series_Saison::Calculer_Bilan(octets), constats);
        });
        // Within twice the floor: one read and one rewrite of the log.
        const double cible = std::round(2 * plancher * 100) / 100;
        Ajouter(QStringLiteral("Vérification du log avant l'envoi (lecture, constats, résumé)"), ms, cible, cible,
                QStringLiteral("%1 constats, %2× le plancher").arg(constats).arg(ms / plancher, 0, 'f', 2));

        // The window of the season's end, from its menu until it shows with its list filled.
        Main_Test* w = m();
        QAction* commande = Controle<QAction>(w, "Mnu_Verifier_Envoi");
        int rangees = -1;
        bool vide = false;
        const double fenetre = Chronometrer(
            reps, [&] { commande->trigger(); Afficher(); }, {},
            [&] {
                auto* f = w->findChild<Verification_Envoi*>(QStringLiteral("Verification_Envoi"));
                if (!f || Controle<QLabel>(f, "Label_Resume")->text().isEmpty()) {
                    vide = true;
                    return;
                }
                rangees = Controle<QListView>(f, "Liste_Constats")->model()->rowCount();
                f->close();
                Fermer_Fenetres_Differees();
            });
        // Within one frame.
        Ajouter(QStringLiteral("Fenêtre Vérification du log (ouverture, liste remplie)"), fenetre, 16.7, 0,
                vide ? QStringLiteral("fenêtre vide : à reprendre") : QStringLiteral("%1 remarques").arg(rangees));
    }

    void Recherches()
    {
        Main_Test* w = m();
        const double ouvrir = Chronometrer(
            reps, [&] { w->Main_Recherche_Click(); Afficher(); }, {},
            [&] {
                if (w->Fenetre_Recherche())
                    w->Fenetre_Recherche()->close();
                Fermer_Fenetres_Differees();
            });
        Ajouter(QStringLiteral("Fenêtre Recherche (ouverture)"), ouvrir, 50, 0);

        w->Main_Recherche_Click();
        Afficher();
        Recherche_Indicatif* f = w->Fenetre_Recherche();
        if (!f) {
            Ajouter(QStringLiteral("Recherche"), -1, 10, 0, QStringLiteral("fenêtre absente"));
            return;
        }
        // A reference and a callsign that the log holds, taken from its middle line.
        const QString milieu = w->Texte_Ligne(n / 2);
        const QString reference = Enregistrement::Champ_Nettoye(milieu, 19, 5);
        struct Cas { int mode; QLineEdit* boite; QString cle; QString nom; };
        const Cas cas[] = {
            {1, Controle<QLineEdit>(f, "Indica"), QStringLiteral("F5"), QStringLiteral("Recherche par indicatif (\"F5\")")},
            {2, Controle<QLineEdit>(f, "Data"), reference, QStringLiteral("Recherche par KVRT (") + reference + u')'},
            {3, Controle<QLineEdit>(f, "Depa"), QStringLiteral("29"), QStringLiteral("Recherche par Dpt (\"29\")")},
        };
        for (const Cas& c : cas) {
            int trouves = 0;
            const double ms = Chronometrer(
                reps, [&] { QTest::keyClick(c.boite, Qt::Key_Return); Afficher(); },
                [&] {
                    Controle<QRadioButton>(f, qPrintable(QStringLiteral("Option1_%1").arg(c.mode)))->setChecked(true);
                    c.boite->setText(c.cle);
                },
                [&] { trouves = int(f->Resultats().size()); });
            Ajouter(c.nom, ms, 10, 0, QStringLiteral("%1 trouvés").arg(trouves));
        }
        p.plateforme->messages.clear();
        f->close();
        Fermer_Fenetres_Differees();
    }
};

// ---------------------------------------------------------------------------------------
// Printing

QString Nombre(double ms)
{
    if (ms < 0)
        return QStringLiteral("—");
    return QString::number(ms, 'f', ms < 10 ? 2 : 1);
}

void Imprimer_Tableau(const Banc& b)
{
    sortie << "\n### " << b.n << " QSO (médianes de " << b.reps << " mesures, plancher = "
           << Nombre(b.plancher) << " ms)\n\n";
    sortie << "| Opération | ms | × plancher | cible ms | |\n";
    sortie << "|---|---:|---:|---:|---|\n";
    for (const Ligne_Resultat& l : b.lignes) {
        const QString ratio = l.ms < 0 || b.plancher <= 0 ? QStringLiteral("—") : QString::number(l.ms / b.plancher, 'f', 2);
        QString etat;
        if (l.ms < 0)
            etat = QStringLiteral("non mesuré");
        else if (l.cible > 0)
            etat = l.ms <= l.cible ? QStringLiteral("ok") : QStringLiteral("MANQUÉ");
        if (!l.note.isEmpty())
            etat += (etat.isEmpty() ? QString() : QStringLiteral(", ")) + l.note;
        sortie << "| " << l.operation << " | " << Nombre(l.ms) << " | " << ratio << " | "
               << (l.cible > 0 ? QString::number(l.cible) : QStringLiteral("")) << " | " << etat << " |\n";
    }
    sortie.flush();
}

// ---------------------------------------------------------------------------------------
// Memory, in a fresh process so that nothing else raises the peak

void Etape(const char* nom)
{
    sortie << "etape " << Pic_Memoire_Ko() << ' ' << Memoire_Courante_Ko() << ' ' << nom << '\n';
    sortie.flush();
}

int Mesure_Memoire(int n)
{
    Programme_Test p;
    p.Installer_Station(Indicatif_Station, Annee);
    Ecrire_Log_Genere(p.Log(Indicatif_Station, Annee), n);
    Etape("avant le démarrage");
    p.Demarrer();
    Afficher();
    Etape("démarrage, liste et total affichés");

    // A round of what an evening of logging does, each step's peak noted.
    Main_Test* w = p.main;
    if (n > 0) {
        w->Selectionner_Ligne(w->Nombre_Lignes() - 1);
        p.plateforme->reponses.append(true);
        w->Zone->Main_Annule_Saisie_Click();
        Afficher();
        Etape("supprimer un KVRT");
    }
    w->Zone->Efface();
    w->Ind_A->setText(QStringLiteral("F6BEN"));
    w->Type_A->setCurrentIndex(0);
    w->KVRT_A->setText(QStringLiteral("90950"));
    w->Zone->Main_Valide_A_Click();
    Afficher();
    Etape("enregistrer");
    w->Selectionner_Ligne(w->Nombre_Lignes() / 2);
    w->Main_Liste_KVRT_DblClick();
    w->Ind_A->setText(QStringLiteral("F8EDT"));
    w->Zone->Main_Valide_A_Click();
    Afficher();
    Etape("éditer");
    w->Zone->Main_Ajout_Saisie_Click();
    w->Date_A->setText(QStringLiteral("15/06/09"));
    w->Ind_A->setText(QStringLiteral("TK5XN"));
    w->KVRT_A->setText(QStringLiteral("90951"));
    w->Zone->Main_Valide_A_Click();
    Afficher();
    Etape("insérer par date");
    w->Mnu_Recap->trigger();
    Afficher();
    Etape("fenêtre Récapitulatif");
    w->Mnu_C_Contacte->trigger();
    Afficher();
    Etape("fenêtre KVRT contactés");
    w->Mnu_Dpt_Contactes->trigger();
    Afficher();
    Etape("fenêtre Carte");
    w->Mnu_Progression->trigger();
    Afficher();
    Etape("fenêtre Progression");
    Rapports_Contactes::Enregistre_Contactes(*p.sp);
    Etape("export des KVRT contactés");
    w->Main_Recherche_Click();
    Afficher();
    if (Recherche_Indicatif* f = w->Fenetre_Recherche()) {
        Controle<QLineEdit>(f, "Indica")->setText(QStringLiteral("F"));
        QTest::keyClick(Controle<QLineEdit>(f, "Indica"), Qt::Key_Return);
        Afficher();
    }
    Etape("recherche (indicatif \"F\")");
    for (QWidget* f : QApplication::topLevelWidgets())
        if (f != w && f->isVisible())
            f->close();
    Fermer_Fenetres_Differees();
    Etape("fenêtres fermées");
    return 0;
}

// The peak of reading a castle list from its file, as the worker thread does.
int Memoire_Liste(const QString& chemin)
{
    Etape("avant la lecture de la liste des châteaux");
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return 1;
    const Liste_Chateaux liste = Liste_Chateaux::Lire(f.readAll());
    Etape("liste des châteaux lue");
    return liste.Nombre() > 0 ? 0 : 1;
}

struct Etape_Memoire
{
    long pic = -1, residente = -1;
    QString nom;
};

// With a list's path: the castle list's reading alone.
std::optional<std::vector<Etape_Memoire>> Memoire_Dans_Un_Processus(int n, const QString& liste = {})
{
    QProcess enfant;
    enfant.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    enfant.start(QCoreApplication::applicationFilePath(), liste.isEmpty()
                                                              ? QStringList{QStringLiteral("--memoire"), QString::number(n)}
                                                              : QStringList{QStringLiteral("--memoire-liste"), liste});
    if (!enfant.waitForFinished(600000) || enfant.exitCode() != 0)
        return std::nullopt;
    std::vector<Etape_Memoire> etapes;
    for (const QByteArray& l : enfant.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> m = l.split(' ');
        if (m.size() >= 4 && m.at(0) == "etape")
            etapes.push_back({m.at(1).toLong(), m.at(2).toLong(), QString::fromUtf8(l.mid(m.at(0).size() + m.at(1).size() + m.at(2).size() + 3))});
    }
    if (etapes.empty())
        return std::nullopt;
    return etapes;
}

// The offscreen platform says on every window that it cannot pass size hints on, and Qt
// that it has no runtime directory; the table is easier to read without them.
void Filtrer_Messages(QtMsgType type, const QMessageLogContext& contexte, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, contexte, message)));
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(Filtrer_Messages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvrt_bench"));

    QList<int> tailles = {1000, 10000, 99999};
    int repetitions = 0;
    bool memoire = true;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--memoire") && i + 1 < args.size())
            return Mesure_Memoire(args.at(++i).toInt());
        if (a == QLatin1String("--memoire-liste") && i + 1 < args.size())
            return Memoire_Liste(args.at(++i));
        if (a == QLatin1String("--tailles") && i + 1 < args.size()) {
            tailles.clear();
            for (const QString& t : args.at(++i).split(u','))
                if (t.toInt() > 0)
                    tailles.append(t.toInt());
        } else if (a == QLatin1String("--repetitions") && i + 1 < args.size()) {
            repetitions = args.at(++i).toInt();
        } else if (a == QLatin1String("--sans-memoire")) {
            memoire = false;
        } else if (a == QLatin1String("--seulement") && i + 1 < args.size()) {
            Groupes = args.at(++i).split(u',', Qt::SkipEmptyParts);
            memoire = false;
        } else {
            std::fprintf(stderr, "usage: kvrt_bench [--tailles 1000,10000,99999] [--repetitions N] [--sans-memoire]\n"
                                 "                  [--seulement saisie,journal,fenetres,export,adif,recherche,spots,verification]\n");
            return 2;
        }
    }

    sortie << "# Banc QEZ_Challenge_KVRT\n\nPlate-forme " << QApplication::platformName()
           << ", dossier temporaire " << QDir::tempPath() << ", Qt " << qVersion() << "\n";

    // Memory first, each in its own process, before any size has raised this one's peak.
    if (memoire) {
        sortie << "\n### Mémoire résidente (processus séparé, sans moteur web)\n\n"
               << "Pic (VmHWM) et résidente (VmRSS) après chaque étape, log vide puis 99 999 QSO.\n\n";
        sortie << "| Étape | pic, log vide | résidente, log vide | pic, 99 999 QSO | résidente, 99 999 QSO |\n";
        sortie << "|---|---:|---:|---:|---:|\n";
        const auto vide = Memoire_Dans_Un_Processus(0);
        const auto plein = Memoire_Dans_Un_Processus(99999);
        auto mo = [](long ko) { return ko < 0 ? QStringLiteral("—") : QString::number(ko / 1024.0, 'f', 1) + QStringLiteral(" Mo"); };
        if (!plein) {
            sortie << "| mesure impossible | | | | |\n";
        } else {
            for (const Etape_Memoire& e : *plein) {
                Etape_Memoire v;
                if (vide)
                    for (const Etape_Memoire& x : *vide)
                        if (x.nom == e.nom)
                            v = x;
                sortie << "| " << e.nom << " | " << mo(v.pic) << " | " << mo(v.residente) << " | " << mo(e.pic) << " | "
                       << mo(e.residente) << " |\n";
            }
            const long pic = plein->back().pic;
            sortie << "\nPic avec 99 999 QSO : " << mo(pic) << " (cible 80 Mo : "
                   << (pic <= 80 * 1024 ? "ok" : "MANQUÉ") << ")\n";
        }
        QTemporaryDir dossier;
        const QString fichier = dossier.filePath(QStringLiteral("chateaux.csv"));
        QFile f(fichier);
        if (f.open(QIODevice::WriteOnly) && f.write(Liste_Chateaux_20_Mio()) > 0 && f.flush())
            f.close();
        if (const auto liste = Memoire_Dans_Un_Processus(0, fichier); liste && liste->size() == 2) {
            const long hausse = liste->back().pic - liste->front().pic;
            sortie << "\nLecture d'une liste des châteaux de 20 Mio : pic " << mo(liste->back().pic) << ", " << mo(hausse)
                   << " de plus qu'avant (cible 100 Mo : " << (hausse <= 100 * 1024 ? "ok" : "MANQUÉ") << ")\n";
        }
        sortie.flush();
    }

    for (int n : tailles) {
        const int reps = repetitions > 0 ? repetitions : (n >= 50000 ? 9 : 15);
        Banc b(n, reps);
        b.Executer();
        Imprimer_Tableau(b);
    }
    return 0;
}
