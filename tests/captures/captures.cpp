// Takes a picture of every window with a sample log, for the user's manual.
// Usage: kvrt_captures <output folder>

#include "Aff_Contacte.h"
#include "Carte_Acti.h"
#include "Gestion_Erreur.h"
#include "Main.h"
#include "Outils_Test.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Station.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QComboBox>
#include <QPixmap>
#include <QStyleFactory>
#include <QTimer>

static void Capturer(QWidget* fenetre, const QString& dossier, const QString& nom)
{
    fenetre->show();
    QApplication::processEvents();
    if (!fenetre->grab().save(dossier + QLatin1Char('/') + nom + QStringLiteral(".png")))
        qWarning("cannot save %s", qPrintable(nom));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString dossier = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dossier);

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
    Main* m = p.Demarrer();
    m->Main_Timer1_Timer();
    m->resize(820, 700);
    Capturer(m, dossier, QStringLiteral("principale"));

    // A QSO being typed.
    m->Ind_A->setText(QStringLiteral("F5NOP"));
    m->Type_A->setEnabled(true);
    m->Type_A->setCurrentIndex(0);
    Capturer(m, dossier, QStringLiteral("saisie"));
    m->Efface();

    m->Main_Mnu_New_Indicatif_Click();
    Capturer(m->Fenetre_Station, dossier, QStringLiteral("station"));
    m->Fenetre_Station->close();

    m->Main_Mnu_Recap_Click();
    Capturer(m->Fenetre_Recapitulatif, dossier, QStringLiteral("recapitulatif"));
    m->Main_Mnu_C_Contacte_Click();
    Capturer(m->Fenetre_Aff_Contacte, dossier, QStringLiteral("contactes"));
    m->Main_Mnu_Dpt_Contactes_Click();
    Capturer(m->Fenetre_Carte_Acti, dossier, QStringLiteral("carte"));
    m->Main_Recherche_Click();
    Capturer(m->Fenetre_Recherche, dossier, QStringLiteral("recherche"));

    Gestion_Erreur erreur(*p.sp, m);
    erreur.Err_Departement->setText(QStringLiteral("_Challenge_KVRT_2009.txt"));
    erreur.Gestion_Erreur_Form_Load();
    Capturer(&erreur, dossier, QStringLiteral("erreur53"));
    return 0;
}
