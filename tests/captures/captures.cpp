// Takes a picture of every window with a sample log, for the user's manual.
// Usage: kvrt_captures <output folder>     (scripts/captures.sh writes into resources/manuel)
//
// The windows are the real ones, driven as the operator would, on the offscreen platform and
// the test seam's fixed clock (28/03/2009 14:07 UTC), so that the pictures follow the program
// and come out the same on every run. The message boxes show the texts the program itself
// produced while being driven.

#include "Aff_Contacte.h"
#include "Apparence.h"
#include "Carte_Acti.h"
#include "Chateaux_Spottes.h"
#include "Gestion_Erreur.h"
#include "Import_Adif.h"
#include "Progression.h"
#include "Historique_Modifications.h"
#include "Main_Test.h"
#include "Modele_Spots.h"
#include "Noeud_Test.h"
#include "Outils_Test.h"
#include "Plateforme_Reelle.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Reglages_Spots.h"
#include "Station.h"
#include "Veille_Spots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTest>

#include <algorithm>
#include <cstdio>

static QString g_dossier;
static int g_echecs = 0;

static void Capturer(QWidget* fenetre, const QString& nom)
{
    if (!fenetre) {
        std::fprintf(stderr, "no window for %s\n", qPrintable(nom));
        ++g_echecs;
        return;
    }
    fenetre->show();
    QApplication::processEvents();
    const QString fichier = g_dossier + QLatin1Char('/') + nom + QStringLiteral(".png");
    QPixmap image = fenetre->grab();
    // The help window shows pictures up to 720 pixels wide without a scroll bar: a window that
    // cannot be made that narrow is shown smaller.
    if (image.width() > 720)
        image = image.scaledToWidth(720, Qt::SmoothTransformation);
    if (!image.save(fichier)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(fichier));
        ++g_echecs;
        return;
    }
    std::printf("%s\n", qPrintable(fichier));
}

// A message box as the program shows it, made by the real seam, with a text the program produced.
static void Capturer_Message(const QString& texte, const QString& nom, bool question = false)
{
    if (texte.isEmpty()) {
        std::fprintf(stderr, "the program showed no message for %s\n", qPrintable(nom));
        ++g_echecs;
        return;
    }
    Sur_Modal([nom](QWidget* boite) {
        Capturer(boite, nom);
        if (auto* dialogue = qobject_cast<QDialog*>(boite))
            dialogue->done(0);
    });
    Plateforme_Reelle reelle;
    if (question)
        reelle.Question(texte);
    else
        reelle.Message(texte);
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KVRT_ECRAN_CAPTURES);
    QApplication app(argc, argv);
    Apparence::Appliquer();
    g_dossier = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(g_dossier);

    Programme_Test p;
    p.Installer_Station(QStringLiteral("F1ABC"), QStringLiteral("2009"));
    p.Ecrire_Log({
        Enr("07/03/09", "29001", "Chateau Contacte", "F5AAA"),
        Enr("07/03/09", "35012", "Chateau active", "F1ABC"),
        Enr("14/03/09", "2A003", "Reactivation Contactee", "F6BCD"),
        Enr("14/03/09", "77021", "Resident Contacte", "F4EFG", true),
        Enr("21/03/09", "68004", "Operateur activation", "F1ABC"),
        Enr("22/03/09", "29001", "Double ou non validé", "F8HIJ"),
        Enr("28/03/09", "13045", "Reactivation activee", "F1ABC"),
        Enr("28/03/09", "75002", "Chateau Contacte", "F5KLM/P"),
    });
    Main_Test* m = p.Demarrer();
    m->Main_Timer1_Timer();
    // As wide as the help window shows a picture without scaling it, and wide enough for every menu.
    m->resize(std::max({m->minimumSizeHint().width(), 700, m->menuBar()->sizeHint().width()}), 640);
    Capturer(m, QStringLiteral("principale"));

    // A QSO typed field by field with Enter, up to the button that records it.
    Saisir(m, QStringLiteral("f5nop"), 0, QStringLiteral("29012"));
    Capturer(m, QStringLiteral("saisie"));
    Cliquer_Dans(m->Efface_A);

    // The same castle twice: the warning the program gives.
    p.plateforme->Prendre_Messages();
    Taper(m->Ind_A, QStringLiteral("f6xyz"));
    Entree(m->Type_A);
    Taper(m->KVRT_A, QStringLiteral("29001"));
    Capturer_Message(p.plateforme->Dernier_Message(), QStringLiteral("doublon"));
    Cliquer_Dans(m->Efface_A);

    // A click on a line shows its QSO, locked.
    Cliquer_Ligne(m->Liste_KVRT, 2);
    Capturer(m, QStringLiteral("selection"));

    // The delete question, answered No.
    p.plateforme->reponses.append(false);
    Cliquer_Dans(m->Annule_Saisie);
    Capturer_Message(p.plateforme->questions.value(0), QStringLiteral("suppression"), true);

    // A double click opens the QSO for editing.
    Cliquer_Ligne(m->Liste_KVRT, 2, true);
    Capturer(m, QStringLiteral("modification"));
    Cliquer_Dans(m->Efface_A);

    // Insert mode: the date first, whatever the date mode.
    Cliquer_Dans(m->Ajout_Saisie);
    Capturer(m, QStringLiteral("insertion"));
    Cliquer_Dans(m->Efface_A);

    Choisir_Menu(m->Mnu_Recap);
    Capturer(m->Fenetre_Recapitulatif(), QStringLiteral("recapitulatif"));
    Choisir_Menu(m->Mnu_C_Contacte);
    Capturer(m->Fenetre_Aff_Contacte(), QStringLiteral("contactes"));
    Choisir_Menu(m->Mnu_Dpt_Contactes);
    Capturer(m->Fenetre_Carte_Acti(), QStringLiteral("carte"));

    // A search by callsign with a part of it.
    Cliquer_Dans(m->Recherche);
    if (m->Fenetre_Recherche())
        Taper(Controle<QLineEdit>(m->Fenetre_Recherche(), "Indica"), QStringLiteral("f5"));
    Capturer(m->Fenetre_Recherche(), QStringLiteral("recherche"));

    // The export and its message; the file's text goes to the output for the manual.
    p.plateforme->Prendre_Messages();
    Choisir_Menu(m->Mnu_Enr_Contacte);
    Capturer_Message(p.plateforme->Dernier_Message(), QStringLiteral("export"));
    for (const QString& nom : QDir(p.Repertoire()).entryList({QStringLiteral("F1ABC_Challenge_KVRT_2009_*.txt")})) {
        QFile f(p.Chemin(nom));
        if (f.open(QIODevice::ReadOnly))
            std::printf("--- %s\n%s---\n", qPrintable(nom), f.readAll().replace("\r\n", "\n").constData());
    }

    // The import of a file written by another logging program: the preview before anything
    // is written.
    p.Ecrire_Fichier(QStringLiteral("trafic.adi"),
                     "Export\r\n<ADIF_VER:5>3.1.4 <EOH>\r\n"
                     "<QSO_DATE:8>20090329 <TIME_ON:4>0912 <CALL:7>F6XYZ/P <BAND:3>40m <MODE:3>SSB <SIG:4>KVRT <SIG_INFO:5>56010 <EOR>\r\n"
                     "<QSO_DATE:8>20090307 <CALL:5>F5AAA <BAND:3>40m <SIG:4>KVRT <SIG_INFO:5>29001 <EOR>\r\n"
                     "<QSO_DATE:8>20090401 <CALL:5>F1ABC <MY_SIG:4>KVRT <MY_SIG_INFO:5>35012 <EOR>\r\n"
                     "<QSO_DATE:8>20090402 <CALL:5>F4QRS <BAND:3>20m <SIG:4>KVRT <SIG_INFO:5>29001 <EOR>\r\n"
                     "<QSO_DATE:8>20081228 <CALL:5>F8TUV <SIG:4>KVRT <SIG_INFO:5>22004 <EOR>\r\n"
                     "<QSO_DATE:8>20090403 <CALL:5>DL1AB <BAND:3>20m <MODE:2>CW <EOR>\r\n");
    {
        auto* import = new Import_Adif(*p.sp, m);
        import->Import_Adif_Form_Load();
        import->Ouvrir_Fichier(p.Chemin(QStringLiteral("trafic.adi")));
        import->resize(700, 430);
        Capturer(import, QStringLiteral("import_adif"));
        // Imported, and one more QSO typed: two changes for the history, more for the charts.
        Cliquer_Dans(Controle<QPushButton>(import, "Importer"));
    }
    p.plateforme->Prendre_Messages();
    Activer(m);
    Saisir(m, QStringLiteral("f5nop"), 0, QStringLiteral("29012"));
    Cliquer_Dans(m->Valide_A);
    p.plateforme->Prendre_Messages();
    Choisir_Menu(m->Mnu_Historique_Modifications);
    if (m->Fenetre_Historique_Modifications())
        m->Fenetre_Historique_Modifications()->resize(720, 300);
    Capturer(m->Fenetre_Historique_Modifications(), QStringLiteral("historique_modifications"));
    if (m->Fenetre_Historique_Modifications())
        m->Fenetre_Historique_Modifications()->close();
    Choisir_Menu(m->Mnu_Progression);
    if (m->Fenetre_Progression())
        m->Fenetre_Progression()->resize(900, 640);
    Capturer(m->Fenetre_Progression(), QStringLiteral("progression"));
    if (m->Fenetre_Progression())
        m->Fenetre_Progression()->close();

    // The season's end: the log checked, and the folder to send prepared beside it.
    Choisir_Menu(Controle<QAction>(m, "Mnu_Verifier_Envoi"));
    if (auto* verification = m->findChild<QWidget*>(QStringLiteral("Verification_Envoi"))) {
        Cliquer_Dans(Controle<QPushButton>(verification, "Preparer_Envoi"));
        p.plateforme->Prendre_Messages();
        // The folder a user of the installed package sees, rather than the capture's own.
        auto* envoi = Controle<QLabel>(verification, "Label_Envoi");
        envoi->setText(envoi->text().section(u'\n', 0, 0)
                       + QStringLiteral("\n/home/f1abc/.local/share/Challenge_KVRT/QEZ_Challenge_KVRT/F1ABC_Challenge_KVRT_2009_envoi_28_03_09"));
        verification->resize(720, 400);
        Capturer(verification, QStringLiteral("verification"));
        verification->close();
    } else {
        Capturer(nullptr, QStringLiteral("verification"));
    }

    // The castles spotted, from a node on this machine, with a castle list loaded (kept in the
    // test area of the data folder, never the user's own).
    {
        QStandardPaths::setTestModeEnabled(true);
        Noeud_Test noeud;
        p.reglages->Definir_Cluster(noeud.Adresse());
        Veille_Spots veille(*p.sp);
        p.Ecrire_Fichier(QStringLiteral("chateaux.csv"),
                         "R\xE9" "f\xE9rence;Nom\r\n29001;Ch\xE2teau de Kerjean\r\n29018;Ch\xE2teau de Brest\r\n"
                         "35012;Ch\xE2teau de Foug\xE8res\r\n35020;Ch\xE2teau de Vitr\xE9\r\n2A004;Tour de Campomoro\r\n");
        {
            QFile liste(p.Chemin(QStringLiteral("chateaux.csv")));
            if (liste.open(QIODevice::Append))
                liste.setFileTime(QDateTime(QDate(2009, 1, 15), QTime(10, 0)), QFileDevice::FileModificationTime);
        }
        QSignalSpy chargee(&veille, &Veille_Spots::Chargement_Fini);
        veille.Charger_Liste(p.Chemin(QStringLiteral("chateaux.csv")), m);
        chargee.wait();
        p.plateforme->Prendre_Messages();
        auto* spots = new Chateaux_Spottes(veille, *p.sp, m);
        spots->setWindowFlag(Qt::Window);
        spots->Chateaux_Spottes_Form_Load();
        noeud.Attendre_Recu("F1ABC\r\n");
        noeud.Envoyer("F1ABC de F6KDX-2 28-Mar-2009 1407Z dxspider >");
        noeud.Attendre_Recu("F1ABC\r\nsh/dx\r\n");
        noeud.Envoyer("DX de DL1AB:     14025.0  F8TUV/P      KVRT 56999                     1349Z JO62\r\n"
                      "DX de F6BCD:      3560.0  F4QRS/P      Chateau 2A004 QRT 1400         1352Z\r\n"
                      "DX de ON4XYZ:    14244.0  F5AAA/P      kvrt 29001 up 2                1358Z JO20\r\n"
                      "DX de F5KLM:      7090.0  F8DEF/P      KVRT 35020 ssb                 1403Z\r\n"
                      "DX de F4GHI:      7012.0  F6XYZ/P      KVRT-29018 cw 599              1405Z IN78\r\n");
        Noeud_Test::Attendre([&] { return Controle<Modele_Spots>(&veille, "Modele")->rowCount() == 5; });
        // The node a user would type, rather than the capture's own.
        Controle<QComboBox>(spots, "Noeud")->setEditText(QStringLiteral("dxc.exemple.fr:7300"));
        Controle<QLabel>(spots, "Etat_Connexion")->setText(QStringLiteral("Connecté à dxc.exemple.fr:7300"));
        spots->resize(900, 470);
        Capturer(spots, QStringLiteral("spots"));
        spots->close();
        delete spots;
    }

    Choisir_Menu(m->Mnu_New_Indicatif);
    Capturer(m->Fenetre_Station(), QStringLiteral("station"));
    if (m->Fenetre_Station())
        m->Fenetre_Station()->close();

    Gestion_Erreur erreur(*p.sp, m);
    Controle<QLabel>(&erreur, "Err_Departement")->setText(QStringLiteral("_Challenge_KVRT_2009.txt"));
    erreur.Gestion_Erreur_Form_Load();
    // The folder a user of the installed package sees, rather than the capture's own.
    Controle<QLabel>(&erreur, "Dossier_Log")->setText(QStringLiteral("dans le dossier /home/f1abc/.local/share/Challenge_KVRT/QEZ_Challenge_KVRT"));
    Capturer(&erreur, QStringLiteral("erreur53"));

    // The first start of all: the Station window with its default values.
    Programme_Test neuf;
    Station premiere(*neuf.sp);
    premiere.Station_Form_Load();
    Capturer(&premiere, QStringLiteral("premiere_installation"));

    return g_echecs == 0 ? 0 : 1;
}
