// The window "Châteaux spottés" fed by a node on 127.0.0.1. On the module alone: the node typed
// in the window, the rows and their states, a re-spot, the filter, the log gaining a castle,
// the castle list, a departement's castles, the alerts, and a double click that hands a row
// to the entry area. Then in the program, from the spot to the log.

#include "Chateaux_Spottes.h"
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
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

class Tst_Chateaux_Spottes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void spots_du_noeud_a_la_saisie();
    void du_spot_au_log();
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
    QVERIFY(sp.Ajoute_Ligne(enregistrement));
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

QTEST_MAIN(Tst_Chateaux_Spottes)
#include "tst_chateaux_spottes.moc"
