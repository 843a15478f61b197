// A castle spotted, from the window "Châteaux spottés" to the log through the main window's
// entry area: the double click, the question when a QSO is being typed, every check of the
// Enter chain (the castle list's warning included), the row that follows the log, and the
// alert in the status bar.

#include "Chateaux_Spottes.h"
#include "Main_Test.h"
#include "Modele_Spots.h"
#include "Noeud_Test.h"
#include "Outils_Test.h"
#include "Reglages_Spots.h"
#include "Veille_Spots.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

class Tst_Saisie_Spot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void du_spot_au_log();
};

void Tst_Saisie_Spot::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(Veille_Spots::Fichier_Liste());
}

void Tst_Saisie_Spot::du_spot_au_log()
{
    const QString CC = QStringLiteral("Chateau Contacte");
    Chien_De_Garde garde;
    Programme_Test p;
    Main_Test* m = Demarrer_Sur(p, {Q("02/03/09", "29018", CC)});
    Noeud_Test noeud;
    p.reglages->Definir_Cluster(noeud.Adresse());
    p.Ecrire_Fichier(QStringLiteral("chateaux.txt"), "29018\tBrest\n35012\tFougeres\n35020\tVitre\n");
    QVERIFY(m->Veille()->Charger_Liste(p.Chemin(QStringLiteral("chateaux.txt")), m));
    p.plateforme->Prendre_Messages();

    // A callsign being typed when the operator turns to the spots.
    Activer(m);
    Taper(m->Ind_A, QStringLiteral("f6"), false);
    Choisir_Menu(m->Mnu_Chateaux_Spottes);
    QVERIFY(m->Fenetre_Spots());
    Chateaux_Spottes* spots = m->Fenetre_Spots();
    QVERIFY(noeud.Attendre_Recu("F1ABC\r\n"));
    noeud.Envoyer("DX de F4ABC:      7012.0  F5ABC/P      KVRT 56999                     1404Z\r\n"
                  "DX de F4ABC:      7090.0  F8XYZ        KVRT 35012 ssb                 1405Z\r\n");
    QTRY_COMPARE(spots->Hors_Liste->model()->rowCount(), 1);
    QTRY_COMPARE(spots->Spots->model()->rowCount(), 1);

    // What is typed is replaced only when the operator says so.
    p.plateforme->reponses.append(false);
    Activer(spots);
    Cliquer_Ligne(spots->Spots, 0, true);
    QCOMPARE(p.plateforme->questions,
             QStringList{QStringLiteral("La saisie en cours sera remplacée par le QSO de F8XYZ avec le Chateau N° 35012. Continuer ?")});
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F6"));
    p.plateforme->reponses.append(true);
    Cliquer_Ligne(spots->Spots, 0, true);
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
    QCOMPARE(spots->Spots->model()->index(0, Modele_Spots::Col_Etat).data().toString(), QStringLiteral("déjà contacté"));

    // A reference absent from the castle list: a warning on its check, and the QSO recorded all the same.
    Activer(spots);
    Cliquer_Ligne(spots->Hors_Liste, 0, true);
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
    Cliquer_Dans(spots->Alertes);
    noeud.Envoyer("DX de F4ABC:      7012.0  F1XYZ/P      KVRT 35020                     1406Z\r\n");
    QTRY_COMPARE(m->statusBar()->currentMessage(), QStringLiteral("KVRT 35020 spotté : F1XYZ/P sur 7012.0"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Saisie_Spot)
#include "tst_saisie_spot.moc"
