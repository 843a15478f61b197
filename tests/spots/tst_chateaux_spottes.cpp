// The window "Châteaux spottés" fed by a node on 127.0.0.1. On the module alone: the node typed
// in the window, the rows and their states, a re-spot, the filter, the log gaining a castle,
// the castle list, a departement's castles, the alerts, and a double click that hands a row
// to the entry area. Then in the program, from the spot to the log. Then the band, the age,
// the alerts once, a castle spotted back and the second node, each on a watch of its own.

#include "Chateaux_Spottes.h"
#include "Envoi_Spot.h"
#include "Connexion_Cluster.h"
#include "Enregistrement.h"
#include "Main_Test.h"
#include "Modele_Spots.h"
#include "Noeud_Test.h"
#include "Outils_Test.h"
#include "Reglages.h"
#include "Reglages_Bruts.h"
#include "Reglages_Spots.h"
#include "Sous_Programmes.h"
#include "Veille_Spots.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class Tst_Chateaux_Spottes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void spots_du_noeud_a_la_saisie();
    void du_spot_au_log();
    void une_bande_gardee();
    void age_et_alertes_une_fois();
    void spotter_un_chateau();
    void refus_de_spotter_data();
    void refus_de_spotter();
    void respot_frequence_corrigee_data();
    void respot_frequence_corrigee();
    void noeud_de_secours();
};

void Tst_Chateaux_Spottes::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The castle list is kept in the user's data folder: the test's own.
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(Veille_Spots::Fichier_Liste());
}

namespace {

// The rows a table shows, a column of each, top to bottom.
QStringList Colonne(QTableView* table, int colonne)
{
    QStringList textes;
    for (int i = 0; i < table->model()->rowCount(); ++i)
        textes.append(table->model()->index(i, colonne).data().toString());
    return textes;
}

// Fichier > Charger la liste des châteaux…, the list chosen in the open dialog.
void Charger_Par_Le_Menu(Programme_Test& p, const QString& chemin)
{
    p.plateforme->fichiers = {chemin};
    Activer(p.main);
    Choisir_Menu(p.main->Mnu_Charger_Liste_Chateaux);
    QCOMPARE(p.plateforme->dialogues, QStringList{QStringLiteral("Charger la liste des châteaux|") + QDir::homePath()});
    p.plateforme->dialogues.clear();
}

QString Date_Fichier(const QString& chemin)
{
    return QFileInfo(chemin).lastModified().toString(QStringLiteral("dd/MM/yyyy"));
}

// A station (none: "FXXXX"), its settings, the watch and the window "Châteaux spottés" open,
// with a node on 127.0.0.1 named in the settings unless told otherwise.
struct Spots_Au_Noeud
{
    explicit Spots_Au_Noeud(const QString& indicatif = QStringLiteral("F1ABC"), bool nommerNoeud = true)
    {
        // No castle list kept by a test before: every reference is a castle.
        QFile::remove(Veille_Spots::Fichier_Liste());
        if (!indicatif.isEmpty())
            sp.Choisir_Station(indicatif, QStringLiteral("2009"));
        if (nommerNoeud)
            reglages.Definir_Cluster(noeud.Adresse());
        veille = std::make_unique<Veille_Spots>(sp);
        Controle<Connexion_Cluster>(veille.get(), "Connexion")->Regler_Seconde(10);
    }
    ~Spots_Au_Noeud()
    {
        delete w;
    }
    void Ouvrir()
    {
        w = new Chateaux_Spottes(*veille, sp);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->Chateaux_Spottes_Form_Load();
        Activer(w);
    }
    // The node lets the station in (its prompt), and the last spots are asked for.
    bool Entrer()
    {
        if (!noeud.Attendre_Recu("F1ABC\r\n"))
            return false;
        noeud.Envoyer("F1ABC de F6KDX-2 28-Mar-2009 1407Z dxspider >");
        return noeud.Attendre_Recu("F1ABC\r\nsh/dx\r\n");
    }
    QTableView* Table() const { return Controle<QTableView>(w, "Spots"); }
    Modele_Spots* Rangs() const { return Controle<Modele_Spots>(veille.get(), "Modele"); }

    QTemporaryDir dossier;
    Plateforme_Test plateforme{dossier.path()};
    Reglages reglages{dossier.filePath(QStringLiteral("Challenge_KVRT.ini"))};
    Sous_Programmes sp{plateforme, reglages};
    Noeud_Test noeud;
    std::unique_ptr<Veille_Spots> veille;
    QPointer<Chateaux_Spottes> w;
};

} // namespace

void Tst_Chateaux_Spottes::spots_du_noeud_a_la_saisie()
{
    Chien_De_Garde garde;
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    Plateforme_Test plateforme(dossier.path());
    Reglages reglages(dossier.filePath(QStringLiteral("Challenge_KVRT.ini")));
    Sous_Programmes sp(plateforme, reglages);
    // What the main window would be: the list follows the log only with one.
    QWidget principale;
    sp.Definir_Fenetre_Principale(&principale);
    sp.Choisir_Station(QStringLiteral("F1ABC_P"), QStringLiteral("2009"));
    QFile log(sp.Nom_Log());
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write(Octets({Q("02/03/09", "29018", QStringLiteral("Chateau Contacte"))}));
    log.close();

    Noeud_Test noeud;
    Veille_Spots veille(sp);
    auto* connexion = Controle<Connexion_Cluster>(&veille, "Connexion");
    connexion->Regler_Seconde(10);
    QPointer<Chateaux_Spottes> w = new Chateaux_Spottes(veille, sp);
    w->setAttribute(Qt::WA_DeleteOnClose);
    auto* champNoeud = Controle<QComboBox>(w, "Noeud");
    auto* etatConnexion = Controle<QLabel>(w, "Etat_Connexion");
    auto* alertesCase = Controle<QCheckBox>(w, "Alertes");
    auto* aContacterSeulement = Controle<QCheckBox>(w, "A_Contacter_Seulement");
    auto* infoListe = Controle<QLabel>(w, "Info_Liste");
    auto* table = Controle<QTableView>(w, "Spots");
    auto* horsListe = Controle<QTableView>(w, "Hors_Liste");
    auto* departement = Controle<QLineEdit>(w, "Departement");
    auto* resultat = Controle<QLabel>(w, "Resultat_Departement");
    auto* listeDepartement = Controle<QListWidget>(w, "A_Contacter_Departement");
    QSignalSpy choix(w.data(), &Chateaux_Spottes::Spot_Choisi);
    QSignalSpy alertes(&veille, &Veille_Spots::Alerte);
    w->Chateaux_Spottes_Form_Load();
    Activer(w);

    // No node yet: the window says so and waits for one, typed as hôte:port.
    QVERIFY2(etatConnexion->text().startsWith(QStringLiteral("Aucun nœud DX cluster n'est indiqué")), qPrintable(etatConnexion->text()));
    Taper(champNoeud, QStringLiteral("127.0.0.1:abc"));
    QCOMPARE(plateforme.Prendre_Messages(),
             QStringList{QStringLiteral("Le port « abc » n'est pas valable : un nombre de 1 à 65535 après le « : » "
                                        "(par exemple dxc.exemple.fr:7300).")});
    QCOMPARE(noeud.connexions, 0);
    Remplacer_Texte(champNoeud, noeud.Adresse());
    Entree(champNoeud);
    QCOMPARE(reglages.Cluster(), noeud.Adresse());
    // The callsign as the windows show it.
    QVERIFY(noeud.Attendre_Recu("F1ABC/P\r\n"));
    QTRY_COMPARE(etatConnexion->text(), QStringLiteral("Connecté à ") + noeud.Adresse());

    // Three castles on the air; the log already holds the first.
    noeud.Envoyer("DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018 cw                  1400Z\r\n"
                  "DX de F4ABC:      7090.0  F6ABC/P      KVRT 35012 ssb                 1402Z\r\n"
                  "DX de F4ABC:     14025.0  JA1ABC       CQ                             1402Z\r\n"
                  "DX de W3LPL:     14244.0  F8XYZ        kvrt 77001 up 5                1403Z FN20\r\n");
    QTRY_COMPARE(table->model()->rowCount(), 3);
    QCOMPARE(Colonne(table, Modele_Spots::Col_Indicatif), (QStringList{"F8XYZ", "F6ABC/P", "F5XYZ/P"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Heure), (QStringList{"14:03", "14:02", "14:00"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Reference), (QStringList{"77001", "35012", "29018"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Frequence), (QStringList{"14244.0", "7090.0", "7012.0"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Spotteur), (QStringList{"W3LPL", "F4ABC", "F4ABC"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Commentaire), (QStringList{"kvrt 77001 up 5", "KVRT 35012 ssb", "KVRT 29018 cw"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Etat), (QStringList{"à contacter", "à contacter", "déjà contacté"}));
    const QColor aContacter = table->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>();
    const QColor contacte = table->model()->index(2, 0).data(Qt::BackgroundRole).value<QColor>();
    QVERIFY(aContacter.isValid() && contacte.isValid() && aContacter != contacte);
    // No list loaded: nothing is shown apart.
    QVERIFY(!horsListe->isVisible());

    // The same station spotted again on the same castle: its row, updated, comes first.
    noeud.Envoyer("DX de F5ABC:      7091.5  F6ABC/P      KVRT-35012 qsy                 1405Z\r\n");
    QTRY_COMPARE(Colonne(table, Modele_Spots::Col_Frequence), (QStringList{"7091.5", "14244.0", "7012.0"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Indicatif), (QStringList{"F6ABC/P", "F8XYZ", "F5XYZ/P"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Spotteur), (QStringList{"F5ABC", "W3LPL", "F4ABC"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Heure), (QStringList{"14:05", "14:03", "14:00"}));

    // Only the castles to contact, then the operator records 35012: its row goes at once.
    Cliquer_Dans(aContacterSeulement);
    QCOMPARE(Colonne(table, Modele_Spots::Col_Indicatif), (QStringList{"F6ABC/P", "F8XYZ"}));
    QString enregistrement = Q("28/03/09", "35012", QStringLiteral("Chateau Contacte"), "F6ABC/P");
    QVERIFY(Ajoute_Ligne(sp, enregistrement));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Indicatif), QStringList{"F8XYZ"});
    Cliquer_Dans(aContacterSeulement);
    QCOMPARE(Colonne(table, Modele_Spots::Col_Etat), (QStringList{"déjà contacté", "à contacter", "déjà contacté"}));

    // A double click on a row hands its callsign and castle to the entry area.
    Cliquer_Ligne(table, 1, true);
    QCOMPARE(choix.size(), 1);
    QCOMPARE(choix.first(), (QList<QVariant>{QStringLiteral("F8XYZ"), QStringLiteral("77001")}));

    // A castle list that does not hold 77001: that one is shown apart, never as a castle to contact.
    const QString fichierListe = dossier.filePath(QStringLiteral("chateaux.csv"));
    QFile liste(fichierListe);
    QVERIFY(liste.open(QIODevice::WriteOnly));
    liste.write("R\xE9" "f\xE9rence;Nom\r\n29018;Ch\xE2teau de Brest\r\n35012;Ch\xE2teau de Foug\xE8res\r\n"
                "35020;Ch\xE2teau de Vitr\xE9\r\n");
    QVERIFY(liste.flush());
    QVERIFY(liste.setFileTime(QDateTime(QDate(2009, 1, 15), QTime(10, 0)), QFileDevice::FileModificationTime));
    liste.close();
    QSignalSpy chargee(&veille, &Veille_Spots::Chargement_Fini);
    veille.Charger_Liste(fichierListe, w);
    QTRY_COMPARE(chargee.size(), 1);
    QCOMPARE(chargee.first(), QList<QVariant>{true});
    QCOMPARE(plateforme.Prendre_Messages(),
             QStringList{QStringLiteral("La liste des châteaux du 15/01/2009 a été chargée : 3 châteaux (1 ligne sans référence ignorée).")});
    QCOMPARE(infoListe->text(), QStringLiteral("Liste des châteaux du 15/01/2009 : 3 châteaux."));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Indicatif), (QStringList{"F6ABC/P", "F5XYZ/P"}));
    QCOMPARE(Colonne(table, Modele_Spots::Col_Nom), (QStringList{"Château de Fougères", "Château de Brest"}));
    QVERIFY(horsListe->isVisible());
    QCOMPARE(Colonne(horsListe, Modele_Spots::Col_Reference), QStringList{"77001"});
    QCOMPARE(Colonne(horsListe, Modele_Spots::Col_Etat), QStringList{"hors liste"});
    // Kept for the next start, with its date.
    QCOMPARE(QFileInfo(Veille_Spots::Fichier_Liste()).lastModified().date(), QDate(2009, 1, 15));

    // A departement's castles still to contact.
    Remplacer_Texte(departement, QStringLiteral("35"));
    Entree(departement);
    QCOMPARE(resultat->text(), QStringLiteral("Département 35 : 1 château à contacter sur 2."));
    QCOMPARE(listeDepartement->count(), 1);
    QCOMPARE(listeDepartement->item(0)->text(), QStringLiteral("35020   Château de Vitré"));

    // Alerts: one for each station on a castle to contact, none for one contacted, none for a re-spot.
    Cliquer_Dans(alertesCase);
    QCOMPARE(Lire_Reglage(reglages, QStringLiteral("Setup "), QStringLiteral("Alertes Spots"), QString()), QStringLiteral("Oui"));
    noeud.Envoyer("DX de F4ABC:      7012.0  F1XYZ/P      KVRT 35020                     1406Z\r\n"
                  "DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018                     1406Z\r\n"
                  "DX de F6ABC:      7013.0  F2XYZ/P      KVRT 35020                     1407Z\r\n");
    QTRY_COMPARE(table->model()->rowCount(), 4);
    QCOMPARE(alertes.size(), 2);
    QCOMPARE(alertes.first().first().toString(), QStringLiteral("KVRT 35020 spotté : F1XYZ/P sur 7012.0"));
    QCOMPARE(alertes.last().first().toString(), QStringLiteral("KVRT 35020 spotté : F2XYZ/P sur 7013.0"));
    // A PC clock twenty minutes fast: the live spot counts from its arrival, and the alert sounds.
    plateforme.Regler_Horloge(QDateTime(QDate(2009, 3, 28), QTime(14, 40, 0), Qt::UTC));
    noeud.Envoyer("DX de F4ABC:      7015.0  F3XYZ/P      KVRT 35020                     1420Z\r\n");
    QTRY_COMPARE(alertes.size(), 3);

    // Closed, the window leaves the watch running for the alerts; without them it disconnects.
    Fermer_Par_Le_Cadre(w);
    QTRY_VERIFY(w.isNull());
    QVERIFY(connexion->Active());
    veille.Regler_Alertes(false);
    QVERIFY(!connexion->Active());

    // The next start finds the list kept, read before any spot comes: the castles have their names.
    Veille_Spots suivante(sp);
    auto* rangs = Controle<Modele_Spots>(&suivante, "Modele");
    QCOMPARE(suivante.Texte_Liste(), QStringLiteral("Liste des châteaux du 15/01/2009 : 3 châteaux."));
    suivante.Fenetre_Ouverte(true);
    QVERIFY(noeud.Attendre_Connexions(2));
    QVERIFY(noeud.Attendre_Recu("F1ABC/P\r\n"));
    noeud.Envoyer("DX de F4ABC:      7012.0  F5XYZ/P      KVRT 29018                     1417Z\r\n");
    QTRY_COMPARE(rangs->rowCount(), 1);
    QCOMPARE(rangs->index(0, Modele_Spots::Col_Nom).data().toString(), QStringLiteral("Château de Brest"));
    // The last 500 are kept: five hundred newer spots push the oldest row out.
    QByteArray cinqCents;
    for (int i = 0; i < 500; ++i)
        cinqCents += "DX de F4ABC:      7012.0  F" + QByteArray::number(i % 10) + "AB" + QByteArray::number(i)
                     + "      KVRT 29018                     1418Z\r\n";
    noeud.Envoyer(cinqCents);
    QTRY_COMPARE(rangs->Indicatif(0), QStringLiteral("F9AB499"));
    QCOMPARE(rangs->rowCount(), 500);
    QCOMPARE(rangs->Indicatif(499), QStringLiteral("F0AB0"));
    suivante.Fenetre_Ouverte(false);

    QCOMPARE(QFileInfo(sp.Nom_Log()).size(), qint64(2 * (Enregistrement::Longueur_Ligne_Log + 2)));
    QVERIFY(plateforme.messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// A castle spotted, from the window to the log through the main window's entry area: the
// question when a QSO is being typed, every check of the Enter chain (the castle list's warning
// included), the row that follows the log, and the alert in the status bar.
void Tst_Chateaux_Spottes::du_spot_au_log()
{
    const QString CC = QStringLiteral("Chateau Contacte");
    Chien_De_Garde garde;
    Programme_Test p;
    Main_Test* m = Demarrer_Sur(p, {Q("02/03/09", "29018", CC)});
    Noeud_Test noeud;
    p.reglages->Definir_Cluster(noeud.Adresse());

    // The castle list loaded from the menu and read while the window goes on: a name quoted
    // over two lines is one castle's, whatever its second line looks like.
    const QByteArray octetsListe = "29018\tBrest\n35012\t\"Fort de\n35020, Foug\xE8res\"\n35020\tVitre\n";
    p.Ecrire_Fichier(QStringLiteral("chateaux.txt"), octetsListe);
    const QString date = Date_Fichier(p.Chemin(QStringLiteral("chateaux.txt")));
    Charger_Par_Le_Menu(p, p.Chemin(QStringLiteral("chateaux.txt")));
    QTRY_COMPARE(p.plateforme->messages,
                 QStringList{QStringLiteral("La liste des châteaux du %1 a été chargée : 3 châteaux.").arg(date)});
    QCOMPARE(m->Veille()->Liste().Nom(QStringLiteral("35012")), QStringLiteral("Fort de 35020, Fougères"));
    // A quote that never closes: the sentence names its line, and the list in use stays, its copy too.
    p.plateforme->messages.clear();
    p.Ecrire_Fichier(QStringLiteral("ouverte.txt"), "29018\tBrest\n35012\t\"Fort\n");
    Charger_Par_Le_Menu(p, p.Chemin(QStringLiteral("ouverte.txt")));
    QTRY_COMPARE(p.plateforme->messages,
                 QStringList{QStringLiteral("La liste des châteaux %1 n'a pas pu être lue : des guillemets ouverts à la ligne 2 "
                                            "ne se ferment jamais.\r\nLa liste du %2 reste en service.")
                                 .arg(QDir::toNativeSeparators(p.Chemin(QStringLiteral("ouverte.txt"))), date)});
    p.plateforme->messages.clear();
    QCOMPARE(m->Veille()->Liste().Nombre(), 3);
    QFile copie(Veille_Spots::Fichier_Liste());
    QVERIFY(copie.open(QIODevice::ReadOnly));
    QCOMPARE(copie.readAll(), octetsListe);

    // A callsign being typed when the operator turns to the spots.
    Activer(m);
    Taper(m->Ind_A, QStringLiteral("f6"), false);
    Choisir_Menu(m->Mnu_Chateaux_Spottes);
    QVERIFY(m->Fenetre_Spots());
    Chateaux_Spottes* spots = m->Fenetre_Spots();
    auto* table = Controle<QTableView>(spots, "Spots");
    auto* horsListe = Controle<QTableView>(spots, "Hors_Liste");
    auto* alertesCase = Controle<QCheckBox>(spots, "Alertes");
    QVERIFY(noeud.Attendre_Recu("F1ABC\r\n"));
    noeud.Envoyer("DX de F4ABC:      7012.0  F5ABC/P      KVRT 56999                     1404Z\r\n"
                  "DX de F4ABC:      7090.0  F8XYZ        KVRT 35012 ssb                 1405Z\r\n");
    QTRY_COMPARE(horsListe->model()->rowCount(), 1);
    QTRY_COMPARE(table->model()->rowCount(), 1);

    // What is typed is replaced only when the operator says so.
    p.plateforme->reponses.append(false);
    Activer(spots);
    Cliquer_Ligne(table, 0, true);
    QCOMPARE(p.plateforme->questions,
             QStringList{QStringLiteral("La saisie en cours sera remplacée par le QSO de F8XYZ avec le Chateau N° 35012. Continuer ?")});
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F6"));
    p.plateforme->reponses.append(true);
    Cliquer_Ligne(table, 0, true);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F8XYZ"));
    QCOMPARE(m->Type_A->currentText(), CC);
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("35012"));
    QCOMPARE(m->Date_A->text(), QStringLiteral("28/03/09"));
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());

    // Enter from field to field, each check run, up to Valider.
    Activer(m);
    Entree(m->Ind_A);
    Entree(m->Type_A);
    Entree(m->KVRT_A);
    Entree(m->Validation_A);
    Entree(m->Valide_A);
    QVERIFY(p.plateforme->messages.isEmpty());
    QCOMPARE(p.Octets_Log(), Octets({Q("02/03/09", "29018", CC), Q("28/03/09", "35012", CC, "F8XYZ")}));
    QCOMPARE(table->model()->index(0, Modele_Spots::Col_Etat).data().toString(), QStringLiteral("déjà contacté"));

    // A reference absent from the castle list: a warning on its check, and the QSO recorded all the same.
    Activer(spots);
    Cliquer_Ligne(horsListe, 0, true);
    Activer(m);
    Entree(m->Ind_A);
    Entree(m->Type_A);
    Entree(m->KVRT_A);
    QCOMPARE(p.plateforme->Prendre_Messages(),
             QStringList{QStringLiteral("Le Chateau N° 56999 n'est pas dans la liste des châteaux chargée : vérifiez le numéro."
                                        "\r\n   Le QSO peut être enregistré tout de même.")});
    Entree(m->Validation_A);
    Entree(m->Valide_A);
    QCOMPARE(p.Octets_Log(), Octets({Q("02/03/09", "29018", CC), Q("28/03/09", "35012", CC, "F8XYZ"),
                                     Q("28/03/09", "56999", CC, "F5ABC/P")}));

    // Alerts on: a castle to contact says so in the main window's status bar.
    Activer(spots);
    Cliquer_Dans(alertesCase);
    noeud.Envoyer("DX de F4ABC:      7012.0  F1XYZ/P      KVRT 35020                     1406Z\r\n");
    QTRY_COMPARE(m->statusBar()->currentMessage(), QStringLiteral("KVRT 35020 spotté : F1XYZ/P sur 7012.0"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// One band chosen by its caption's key, remembered for the next opening.
void Tst_Chateaux_Spottes::une_bande_gardee()
{
    Chien_De_Garde garde;
    Spots_Au_Noeud f;
    f.Ouvrir();
    QVERIFY(f.Entrer());
    f.noeud.Envoyer("DX de F4ABC:      7012.0  F5AAA/P      KVRT 29018                     1400Z\r\n"
                    "DX de F4ABC:     14244.0  F8BBB        KVRT 35012                     1401Z\r\n"
                    "DX de F4ABC:      7090.0  F6CCC/P      KVRT 35020                     1402Z\r\n"
                    "DX de F4ABC:      3560.0  F4DDD/P      KVRT 77001                     1403Z\r\n");
    QTRY_COMPARE(f.Table()->model()->rowCount(), 4);
    auto* bande = Controle<QComboBox>(f.w, "Bande");
    QCOMPARE(bande->accessibleName(), QStringLiteral("Bande"));
    QCOMPARE(bande->currentText(), QStringLiteral("Toutes"));
    Touche_Ici(f.w, Qt::Key_B, Qt::AltModifier);
    Verifier_Focus(bande);
    Taper_Ici(f.w, QStringLiteral("40"));
    QCOMPARE(bande->currentText(), QStringLiteral("40 m"));
    QCOMPARE(Colonne(f.Table(), Modele_Spots::Col_Frequence), (QStringList{"7090.0", "7012.0"}));
    QCOMPARE(f.reglages.Bande_Spots(), QStringLiteral("40 m"));
    // A spot of another band keeps its row, out of sight.
    f.noeud.Envoyer("DX de F4ABC:     14025.0  F2EEE/P      KVRT 29001                     1404Z\r\n");
    QTRY_COMPARE(f.Rangs()->rowCount(), 5);
    QCOMPARE(f.Table()->model()->rowCount(), 2);

    Fermer_Par_Le_Cadre(f.w);
    QTRY_VERIFY(f.w.isNull());
    f.Ouvrir();
    QCOMPARE(Controle<QComboBox>(f.w, "Bande")->currentText(), QStringLiteral("40 m"));
    QCOMPARE(Colonne(f.Table(), Modele_Spots::Col_Frequence), (QStringList{"7090.0", "7012.0"}));
    QVERIFY(f.plateforme.messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// A spot older than the age leaves, and the node's answer to sh/dx after a reconnection does
// not bring it back; a station re-spotted on its castle sounds once.
void Tst_Chateaux_Spottes::age_et_alertes_une_fois()
{
    Chien_De_Garde garde;
    Spots_Au_Noeud f;
    f.reglages.Definir_Alertes_Spots(true);
    f.veille = std::make_unique<Veille_Spots>(f.sp);
    Controle<Connexion_Cluster>(f.veille.get(), "Connexion")->Regler_Seconde(10);
    f.veille->Regler_Balayage(10);
    QSignalSpy alertes(f.veille.get(), &Veille_Spots::Alerte);
    f.Ouvrir();
    QCOMPARE(Controle<QSpinBox>(f.w, "Age_Spots")->value(), 60);
    QVERIFY(f.Entrer());
    f.noeud.Envoyer("DX de F4ABC:      7012.0  F5AAA/P      KVRT 35020                     1400Z\r\n"
                    "DX de F4ABC:      7090.0  F6BBB/P      KVRT 35012                     1405Z\r\n"
                    "DX de F5ABC:      7090.0  F6BBB/P      KVRT 35012 qsb                 1406Z\r\n"
                    "DX de F6ABC:      7091.0  F6BBB/P      KVRT 35012 qsy                 1407Z\r\n");
    QTRY_COMPARE(Colonne(f.Table(), Modele_Spots::Col_Frequence), (QStringList{"7091.0", "7012.0"}));
    QCOMPARE(alertes.size(), 2);
    QCOMPARE(alertes.last().first().toString(), QStringLiteral("KVRT 35012 spotté : F6BBB/P sur 7090.0"));

    // An hour after 14:04, the spot of 14:00 is gone, the one of 14:07 stays.
    f.plateforme.Regler_Horloge(QDateTime(QDate(2009, 3, 28), QTime(15, 4, 0), Qt::UTC));
    QTRY_COMPARE(Colonne(f.Table(), Modele_Spots::Col_Indicatif), QStringList{"F6BBB/P"});
    f.noeud.Couper();
    QVERIFY(f.noeud.Attendre_Connexions(2));
    QVERIFY(f.Entrer());
    f.noeud.Envoyer("  7012.0  F5AAA/P      28-Mar-2009 1400Z KVRT 35020               <F4ABC>\r\n"
                    "  7091.0  F6BBB/P      28-Mar-2009 1407Z KVRT 35012 qsy           <F6ABC>\r\n"
                    "  7030.0  F7CCC/P      28-Mar-2009 1503Z KVRT 29018               <F4ABC>\r\n");
    QTRY_COMPARE(Colonne(f.Table(), Modele_Spots::Col_Indicatif), (QStringList{"F7CCC/P", "F6BBB/P"}));
    QCOMPARE(alertes.size(), 3);
    QVERIFY(f.plateforme.messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// "Spotter…" on a row, a comment, Enter: the node gets the spot, and its echo is the same row.
void Tst_Chateaux_Spottes::spotter_un_chateau()
{
    Chien_De_Garde garde;
    Spots_Au_Noeud f;
    f.Ouvrir();
    QVERIFY(f.Entrer());
    f.noeud.Envoyer("DX de F4ABC:      7012.0  F5AAA/P      KVRT 29018 cw                  1405Z\r\n"
                    "DX de F4ABC:      7030.0  F6KVR/P      KVRT 35007 cw                  1405Z\r\n");
    QTRY_COMPARE(f.Table()->model()->rowCount(), 2);
    // The older of the minute: its echo comes first, and the row chosen stays chosen.
    Cliquer_Ligne(f.Table(), 1);
    Cliquer_Dans(Controle<QPushButton>(f.w, "Spotter"));
    auto* envoi = Controle<Envoi_Spot>(f.w, "Envoi_Spot");
    QTRY_VERIFY(envoi->isVisible());
    QCOMPARE(Controle<QLabel>(envoi, "Ligne_Envoyee")->text(), QStringLiteral("DX 7012.0 F5AAA/P KVRT 29018"));
    Taper(Controle<QLineEdit>(envoi, "Commentaire"), QStringLiteral("tnx qso"));
    QVERIFY(f.noeud.Attendre_Recu("F1ABC\r\nsh/dx\r\nDX 7012.0 F5AAA/P KVRT 29018 tnx qso\r\n"));
    f.noeud.Envoyer("DX de F1ABC:      7012.0  F5AAA/P      KVRT 29018 tnx qso             1405Z\r\n");
    QTRY_COMPARE(Colonne(f.Table(), Modele_Spots::Col_Spotteur), (QStringList{"F1ABC", "F4ABC"}));
    QCOMPARE(Colonne(f.Table(), Modele_Spots::Col_Commentaire), (QStringList{"KVRT 29018 tnx qso", "KVRT 35007 cw"}));
    QCOMPARE(f.Table()->currentIndex().row(), 0);
    QVERIFY(f.Table()->selectionModel()->isRowSelected(0, QModelIndex()));
    QVERIFY(f.plateforme.messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// Each row: the station (empty: none chosen), the node (none, or one that refuses), and the
// sentence "Spotter…" gives instead of its dialog.
void Tst_Chateaux_Spottes::refus_de_spotter_data()
{
    QTest::addColumn<QString>("indicatif");
    QTest::addColumn<int>("noeud");
    QTest::addColumn<QString>("refus");
    const QString sansStation = QStringLiteral("Aucun indicatif de station n'est indiqué : choisissez d'abord votre station "
                                               "(Station…), le spot part sous son indicatif.");
    const QString sansNoeud = QStringLiteral("Aucun nœud DX cluster n'est connecté : connectez-vous à un nœud avant de spotter un château.");
    QTest::newRow("station FXXXX") << QString() << 1 << sansStation;
    QTest::newRow("aucun nœud") << QStringLiteral("F1ABC") << 0 << sansNoeud;
    QTest::newRow("nœud arrêté") << QStringLiteral("F1ABC") << 2 << sansNoeud;
}

void Tst_Chateaux_Spottes::refus_de_spotter()
{
    QFETCH(QString, indicatif);
    QFETCH(int, noeud);
    QFETCH(QString, refus);
    Chien_De_Garde garde;
    Spots_Au_Noeud f(indicatif, noeud != 0);
    if (noeud == 2)
        f.noeud.serveur.close();
    f.Ouvrir();
    f.plateforme.Prendre_Messages();
    Cliquer_Dans(Controle<QPushButton>(f.w, "Spotter"));
    QCOMPARE(f.plateforme.Prendre_Messages(), QStringList{refus});
    QVERIFY(!f.w->findChild<Envoi_Spot*>());
    QVERIFY(garde.fermees.isEmpty());
}

// Each row: a spot, the same station on the same castle in the same minute at a corrected
// frequency, the band shown, and the frequencies of the rows shown: one row, corrected.
void Tst_Chateaux_Spottes::respot_frequence_corrigee_data()
{
    QTest::addColumn<QByteArray>("premiere");
    QTest::addColumn<QByteArray>("corrigee");
    QTest::addColumn<QString>("bande");
    QTest::addColumn<QStringList>("montrees");
    QTest::newRow("même bande") << QByteArray("7012.0") << QByteArray("7021.0") << "40 m" << QStringList{"7021.0"};
    QTest::newRow("vers la bande choisie") << QByteArray("14012.0") << QByteArray("7012.0") << "40 m" << QStringList{"7012.0"};
    QTest::newRow("hors de la bande choisie") << QByteArray("7012.0") << QByteArray("14012.0") << "40 m" << QStringList{};
    QTest::newRow("toutes les bandes") << QByteArray("3560.0") << QByteArray("3565.5") << "Toutes" << QStringList{"3565.5"};
}

void Tst_Chateaux_Spottes::respot_frequence_corrigee()
{
    QFETCH(QByteArray, premiere);
    QFETCH(QByteArray, corrigee);
    QFETCH(QString, bande);
    QFETCH(QStringList, montrees);
    Chien_De_Garde garde;
    Spots_Au_Noeud f;
    f.reglages.Definir_Bande_Spots(bande);
    f.Ouvrir();
    QCOMPARE(Controle<QComboBox>(f.w, "Bande")->currentText(), bande);
    QVERIFY(f.Entrer());
    f.noeud.Envoyer("DX de F4ABC:  " + premiere.rightJustified(10) + "  F5AAA/P      KVRT 29018                     1405Z\r\n");
    QTRY_COMPARE(f.Rangs()->rowCount(), 1);
    f.noeud.Envoyer("DX de F5ABC:  " + corrigee.rightJustified(10) + "  F5AAA/P      KVRT 29018 qrg                 1405Z\r\n");
    QTRY_COMPARE(f.Rangs()->index(0, Modele_Spots::Col_Frequence).data().toString(), QString::fromLatin1(corrigee));
    QCOMPARE(f.Rangs()->rowCount(), 1);
    QCOMPARE(Colonne(f.Table(), Modele_Spots::Col_Frequence), montrees);
    QVERIFY(garde.fermees.isEmpty());
}

// Three failed tries of the first node, then the second; three of the second, then the first.
void Tst_Chateaux_Spottes::noeud_de_secours()
{
    Chien_De_Garde garde;
    Spots_Au_Noeud f(QStringLiteral("F1ABC"), false);
    Noeud_Test secours;
    const QString premier = f.noeud.Adresse();
    const quint16 portPremier = f.noeud.Port();
    f.noeud.serveur.close();
    QSignalSpy etats(f.veille.get(), &Veille_Spots::Etat_Connexion);
    f.Ouvrir();
    // Nothing is connected to before the operator names a node; the list offers some.
    auto* noeud = Controle<QComboBox>(f.w, "Noeud");
    QVERIFY(noeud->currentText().isEmpty());
    QVERIFY(noeud->count() >= 4);
    Remplacer_Texte(noeud, premier);
    Remplacer_Texte(Controle<QComboBox>(f.w, "Noeud_Secours"), secours.Adresse());
    Touche_Ici(f.w, Qt::Key_Return);
    QCOMPARE(f.reglages.Cluster_Secours(), secours.Adresse());
    QVERIFY(secours.Attendre_Recu("F1ABC\r\n"));
    const QString refusPremier = QStringLiteral("Le nœud %1 refuse la connexion : vérifiez le port, ou le nœud est arrêté.").arg(premier);
    QStringList dits;
    for (const QList<QVariant>& e : std::as_const(etats))
        dits.append(e.first().toString());
    QCOMPARE(dits.count(QStringLiteral("Connexion à %1…").arg(premier)), 3);
    QVERIFY2(dits.contains(refusPremier + QStringLiteral(" Déconnecté, essai du nœud %1 dans 5 s.").arg(secours.Adresse())),
             qPrintable(dits.join(u'\n')));

    // The second drops and stops; the first is back.
    QVERIFY(f.noeud.serveur.listen(QHostAddress::LocalHost, portPremier));
    secours.serveur.close();
    secours.Couper();
    QVERIFY(f.noeud.Attendre_Recu("F1ABC\r\n"));
    QCOMPARE(secours.connexions, 1);
    QVERIFY(f.plateforme.messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Chateaux_Spottes)
#include "tst_chateaux_spottes.moc"
