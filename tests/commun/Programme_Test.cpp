// The fresh program of a test and the typing of a QSO in its main window: the only helpers
// that need the main window, apart from the others so that a test of a window alone links
// none of it.

#include "Outils_Test.h"

#include "Filtre_Touches.h"
#include "Cas_Programme.h"
#include "Main_Test.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

Programme_Test::Programme_Test()
{
    // As the program does at start: Enter on a focused button clicks it.
    static Entree_Sur_Boutons* entree = nullptr;
    if (!entree && qApp) {
        entree = new Entree_Sur_Boutons(qApp);
        qApp->installEventFilter(entree);
    }
    Recommencer();
}

Programme_Test::~Programme_Test()
{
    Terminer();
}

void Programme_Test::Recommencer()
{
    Terminer();
    sp.reset();
    reglages.reset();
    plateforme.reset();
    dossier = std::make_unique<QTemporaryDir>();
    Q_ASSERT(dossier->isValid());
    Ecrire_Fichier(QStringLiteral("FXXXX_Challenge_KVRT.txt"), QByteArray());
    plateforme = std::make_unique<Plateforme_Test>(dossier->path());
    reglages = std::make_unique<Reglages>(dossier->path() + QStringLiteral("/reglages/Challenge_KVRT.ini"));
    sp = std::make_unique<Sous_Programmes>(*plateforme, *reglages);
}

void Programme_Test::Terminer()
{
    delete main;
    main = nullptr;
}

QString Programme_Test::Log(const QString& indicatif, const QString& annee) const
{
    return Chemin(indicatif + QStringLiteral("_Challenge_KVRT_") + annee + QStringLiteral(".txt"));
}

void Programme_Test::Installer_Station(const QString& indicatif, const QString& annee)
{
    reglages->Definir_Indicatif_Station(indicatif);
    reglages->Definir_Annee_Challenge(indicatif, annee);
    if (!QFile::exists(Log(indicatif, annee)))
        Ecrire_Log({}, indicatif, annee);
}

void Programme_Test::Ecrire_Fichier(const QString& nom, const QByteArray& octets) const
{
    QFile f(Chemin(nom));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(f.fileName()));
    f.write(octets);
}

QByteArray Programme_Test::Lire_Fichier(const QString& nom) const
{
    QFile f(Chemin(nom));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void Programme_Test::Ecrire_Log(const QStringList& enregistrements, const QString& indicatif, const QString& annee) const
{
    QFile f(Log(indicatif, annee));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write the log");
    f.write(Octets(enregistrements));
}

QByteArray Programme_Test::Octets_Log(const QString& indicatif, const QString& annee) const
{
    QFile f(Log(indicatif, annee));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

Main_Test* Programme_Test::Demarrer()
{
    delete main;
    main = new Main_Test(*sp);
    main->Main_Form_Load();
    return main;
}

Main_Test* Programme_Test::Redemarrer()
{
    delete main;
    main = nullptr;
    // A program told to end leaves no loop that runs until the application's own has run again.
    Relancer_Boucle();
    sp.reset();
    reglages = std::make_unique<Reglages>(reglages->Fichier());
    sp = std::make_unique<Sous_Programmes>(*plateforme, *reglages);
    return Demarrer();
}

void Choisir_Type(Main_Test* m, int type)
{
    Verifier_Focus(m->Type_A);
    for (int i = 0; i < 10 && m->Type_A->currentIndex() != type; ++i)
        Touche_Ici(m, m->Type_A->currentIndex() < type ? Qt::Key_Down : Qt::Key_Up);
    if (m->Type_A->currentIndex() != type)
        QTest::qFail(qPrintable(QStringLiteral("the arrows put the type list on %1, not %2").arg(m->Type_A->currentIndex()).arg(type)),
                     __FILE__, __LINE__);
}

void Saisir(Main_Test* m, const QString& indicatif, int type, const QString& reference)
{
    Taper(m->Ind_A, indicatif);
    Choisir_Type(m, type);
    Entree(m->Type_A);
    Taper(m->KVRT_A, reference);
    // The tick stays as the last QSO shown left it; these QSOs are not waiting.
    if (m->Validation_A->isChecked())
        Touche_Ici(m, Qt::Key_Space);
    Entree(m->Validation_A);
}

Main_Test* Demarrer_Sur(Programme_Test& p, const QStringList& log)
{
    p.Installer_Station();
    p.Ecrire_Log(log);
    Main_Test* m = p.Demarrer();
    p.plateforme->Prendre_Messages();
    return m;
}

void Cas_Programme::init()
{
    // The test before may have ended the program.
    Relancer_Boucle();
    p.Recommencer();
    garde.fermees.clear();
    garde.Patienter(4000);
}

void Cas_Programme::cleanup()
{
    p.Terminer();
}
