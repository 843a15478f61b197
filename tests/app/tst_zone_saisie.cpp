// The entry area alone in a window of its own, typed through that window: the QSOs it asks
// for by its signals, and what it says through the seam.

#include "Apparence.h"
#include "Enregistrement.h"
#include "Filtre_Touches.h"
#include "Outils_Test.h"
#include "Types_Activite.h"
#include "Zone_Saisie.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using Apparence::Couleur;
using Apparence::Vert_Pale;
using M = Etat_Log::Modification;

class Tst_Zone_Saisie : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setStyle(QStringLiteral("Fusion"));
        // As the program does: Enter on a focused button clicks it.
        qApp->installEventFilter(new Entree_Sur_Boutons(qApp));
    }
    void cleanup() { fenetre.reset(); }
    void saisie_data();
    void saisie();
    void refus_data();
    void refus();
    void insertion();
    void affichage_modification_suppression();

private:
    Chien_De_Garde garde;
    Plateforme_Test seam{QString()};
    std::unique_ptr<QWidget> fenetre;
    Zone_Saisie* zone = nullptr;
    // The log holds 29001, contacted on 05/03/09 and waiting for validation.
    const QString enr = Q("05/03/09", "29001", Cc, "F6XYZ", true);

    QWidget* C(const char* nom) { return Controle<QWidget>(zone, nom); }
    void Ouvrir(bool automatique, const QString& station = QStringLiteral("F1ABC"));
    void Apres(M sorte)
    {
        Etat_Log etat;
        etat.sorte = sorte;
        etat.lu = true;
        etat.contenu = Octets({enr});
        zone->Suivre_Log(etat);
    }
    static Qso Demande(const QSignalSpy& spy, int argument = 0)
    {
        return spy.size() == 1 ? spy.at(0).at(argument).value<Qso>() : Qso{"aucune ou plusieurs demandes", false, {}, {}, {}};
    }
};

void Tst_Zone_Saisie::Ouvrir(bool automatique, const QString& station)
{
    fenetre = std::make_unique<QWidget>();
    zone = new Zone_Saisie(seam, fenetre.get());
    (new QVBoxLayout(fenetre.get()))->addWidget(zone);
    zone->Definir_Station(station, QStringLiteral("2009"));
    zone->Preparer_Type(0);
    zone->Preparer_Date(automatique);
    Apres(M::Lecture);
    Activer(fenetre.get());
    zone->Commencer();
    seam.Prendre_Messages();
}

void Tst_Zone_Saisie::saisie_data()
{
    QTest::addColumn<bool>("automatique");
    QTest::addColumn<QString>("date");
    // How the log is read on Enter: the last state's bytes, the file read again (an editor
    // wrote the castle on another day), or a file that cannot be read (its reader has said so).
    QTest::addColumn<QString>("lecture");
    QTest::addColumn<QString>("contacte");
    QTest::newRow("date du jour, au bout du log") << true << "28/03/09" << "etat" << "05/03/09";
    QTest::newRow("date tapee, a sa place") << false << "02/03/09" << "etat" << "05/03/09";
    QTest::newRow("log relu") << true << "28/03/09" << "relu" << "07/03/09";
    QTest::newRow("log illisible") << true << "28/03/09" << "illisible" << "";
}

void Tst_Zone_Saisie::saisie()
{
    QFETCH(bool, automatique);
    QFETCH(QString, date);
    QFETCH(QString, lecture);
    QFETCH(QString, contacte);
    Ouvrir(automatique);
    if (lecture != QLatin1String("etat"))
        zone->Definir_Lecture_Log([lecture]() -> std::optional<QByteArray> {
            if (lecture == QLatin1String("illisible"))
                return std::nullopt;
            return Octets({Q("07/03/09", "29001", Cc, "F6XYZ")});
        });
    QSignalSpy ajout(zone, &Zone_Saisie::Qso_A_Enregistrer), insertion(zone, &Zone_Saisie::Qso_A_Inserer),
        type(zone, &Zone_Saisie::Type_Retenu);
    QWidget* premier = C(automatique ? "Ind_A" : "Date_A");
    if (!automatique)
        Taper(C("Date_A"), date);
    Taper(C("Ind_A"), QStringLiteral("f5xyz/p"));
    Entree(C("Type_A"));
    QCOMPARE(type.takeFirst(), QVariantList{0});
    Taper(C("KVRT_A"), QStringLiteral("29001"));
    QCOMPARE(seam.Prendre_Messages(),
             contacte.isEmpty() ? QStringList()
                                : QStringList{QStringLiteral("Le Chateau N° 29001 a déja été contacté le ") + contacte
                                              + QStringLiteral("\r\n   mettre Type Activité a Double ou annulez la saisie")});
    Entree(C("Validation_A"));
    Entree(C("Valide_A"));
    QCOMPARE(Demande(automatique ? ajout : insertion), (Qso{date, false, "29001", Cc, "F5XYZ/P"}));
    QCOMPARE(ajout.size() + insertion.size(), 1);

    // The QSO stays in the fields until the log has it.
    QCOMPARE(qobject_cast<QLineEdit*>(C("Ind_A"))->text(), QStringLiteral("F5XYZ/P"));
    Apres(automatique ? M::Enregistrement : M::Insertion);
    Verifier_Focus(premier);
    QCOMPARE(Couleur(premier), Vert_Pale);
    QCOMPARE(qobject_cast<QLineEdit*>(C("Date_A"))->text(), automatique ? date : QString());
    QCOMPARE(qobject_cast<QLineEdit*>(C("Ind_A"))->text(), QString());
    QVERIFY(!C("Validation_A")->isEnabled() && !C("Valide_A")->isEnabled() && !C("KVRT_A")->isEnabled());
    QVERIFY(seam.messages.isEmpty());
}

void Tst_Zone_Saisie::refus_data()
{
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("champ");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("garde");
    QTest::newRow("date d'une autre annee") << "F1ABC" << "Date_A" << "12/03/08"
                                            << "Attention la date saisie ne correspond pas a l'année du Challenge" << "12/03/08";
    QTest::newRow("indicatif de 13") << "F1ABC" << "Ind_A" << "f1abc_p123456" << "12 caracteres maxi pour l'indicatif"
                                     << "F1ABC_P123456";
    QTest::newRow("2C") << "F1ABC" << "KVRT_A" << "2c001" << "Le N° du Chateauu ne doit comporter que des chiffres" << "2C001";
    // The key goes in all the same, as typed.
    QTest::newRow("station pas installee") << "FXXXX" << "Ind_A" << "f"
                                           << "\r\n  Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge"
                                              "\r\n\r\n    Pour cela dans la barre des menus allez dans Station puis Nouvel Indicatif."
                                           << "f";
}

void Tst_Zone_Saisie::refus()
{
    QFETCH(QString, station);
    QFETCH(QString, champ);
    QFETCH(QString, texte);
    QFETCH(QString, message);
    QFETCH(QString, garde);
    Ouvrir(champ != QLatin1String("Date_A"), station);
    if (champ == QLatin1String("KVRT_A")) {
        Taper(C("Ind_A"), QStringLiteral("F5XYZ"));
        Entree(C("Type_A"));
    }
    QWidget* refuse = C(qPrintable(champ));
    Verifier_Focus(refuse);
    // Every key of the first installation is refused: no Enter is needed.
    Taper(refuse, texte, station != QLatin1String("FXXXX"));
    QCOMPARE(seam.Prendre_Messages(), QStringList{message});
    QCOMPARE(qobject_cast<QLineEdit*>(refuse)->text(), garde);
    Verifier_Focus(refuse);
    QCOMPARE(Couleur(refuse), Vert_Pale);
}

void Tst_Zone_Saisie::insertion()
{
    Ouvrir(true);
    QSignalSpy insertion(zone, &Zone_Saisie::Qso_A_Inserer);
    auto* cadre = Controle<QGroupBox>(zone, "Frame3");
    Cliquer_Dans(C("Ajout_Saisie"));
    QCOMPARE(cadre->title(), QStringLiteral("Mode Insertion d'un QSO"));
    QCOMPARE(Couleur(C("Date_A")), Vert_Pale);
    Taper(C("Date_A"), QStringLiteral("02/03/09"));
    Taper(C("Ind_A"), QStringLiteral("F5XYZ"));
    Entree(C("Type_A"));
    Taper(C("KVRT_A"), QStringLiteral("29002"));
    Entree(C("Validation_A"));
    Entree(C("Valide_A"));
    QCOMPARE(Demande(insertion), (Qso{"02/03/09", false, "29002", Cc, "F5XYZ"}));

    Apres(M::Insertion);
    QCOMPARE(cadre->title(), QStringLiteral("Saisie ou modification d'un QSO"));
    QVERIFY(!zone->Mode_Insertion());
    Verifier_Focus(C("Ind_A"));
    QCOMPARE(qobject_cast<QLineEdit*>(C("Date_A"))->text(), QStringLiteral("28/03/09"));
}

void Tst_Zone_Saisie::affichage_modification_suppression()
{
    Ouvrir(true);
    QSignalSpy remplacement(zone, &Zone_Saisie::Qso_A_Remplacer), suppression(zone, &Zone_Saisie::Qso_A_Supprimer),
        recompte(zone, &Zone_Saisie::Total_A_Recompter);
    const QString ligne = Enregistrement::Construire_Ligne_Liste(1, enr);
    const QList<QWidget*> champs{C("Date_A"), C("Ind_A"), C("Type_A"), C("KVRT_A"), C("Validation_A")};

    zone->Afficher_Ligne(ligne);
    QCOMPARE(qobject_cast<QLineEdit*>(C("Ind_A"))->text(), QStringLiteral("F6XYZ"));
    QVERIFY(qobject_cast<QCheckBox*>(C("Validation_A"))->isChecked());
    for (QWidget* champ : champs)
        QVERIFY(!champ->isEnabled());
    QVERIFY(C("Annule_Saisie")->isEnabled() && !C("Valide_A")->isEnabled());

    zone->Editer_Ligne();
    Verifier_Focus(C("Date_A"));
    for (QWidget* champ : champs)
        QVERIFY(champ->isEnabled());
    // A field changed without Enter is checked when Valider writes it.
    Remplacer_Texte(C("KVRT_A"), QStringLiteral("290011"));
    Cliquer_Dans(C("Valide_A"));
    QCOMPARE(seam.Prendre_Messages(), QStringList{QStringLiteral("QSO non enregistré : le N° KVRT comporte plus de 5 caractères")});
    QCOMPARE(remplacement.size(), 0);
    // Through the Enter chain the QSO edited does not find itself in the log.
    Remplacer_Texte(C("KVRT_A"), QStringLiteral("29001"));
    Remplacer_Texte(C("Ind_A"), QStringLiteral("F6ABC"));
    Entree(C("Ind_A"));
    Entree(C("Type_A"));
    Entree(C("KVRT_A"));
    Entree(C("Validation_A"));
    Entree(C("Valide_A"));
    QVERIFY(seam.messages.isEmpty());
    QCOMPARE(remplacement.size() == 1 ? remplacement.at(0).at(0).toString() : QString(), ligne);
    QCOMPARE(Demande(remplacement, 1), (Qso{"05/03/09", true, "29001", Cc, "F6ABC"}));
    Apres(M::Edition);
    QVERIFY(!zone->Mode_Modification());

    // Non counts the total again; Oui asks for the castle's QSOs to go. The fields start afresh.
    for (bool oui : {false, true}) {
        zone->Afficher_Ligne(ligne);
        seam.reponses = {oui};
        Cliquer_Dans(C("Annule_Saisie"));
        QCOMPARE(seam.questions.takeLast(), QStringLiteral("Voulez vous effacer le KVRT N° 29001 ?"));
        Verifier_Focus(C("Ind_A"));
        QVERIFY(!C("Annule_Saisie")->isEnabled());
    }
    QCOMPARE(recompte.size(), 1);
    QCOMPARE(suppression.size() == 1 ? suppression.at(0).at(0).toString() : QString(), QStringLiteral("29001"));
}

QTEST_MAIN(Tst_Zone_Saisie)
#include "tst_zone_saisie.moc"
