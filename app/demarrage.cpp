#include "Main.h"
#include "Apparence.h"
#include "Filtre_Touches.h"
#include "Geometrie_Carte.h"
#include "Icone_Programme.h"
#include "Plateforme_Reelle.h"
#include "Reglages.h"
#include "Sous_Programmes.h"
#include "Style_Programme.h"
#include "Traduction_Qt.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

int main(int argc, char* argv[])
{
#ifdef Q_OS_UNIX
    // The web engine refuses to start its sandbox as root; run it without, as root only.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    // No OpenGL at start: the context the web engine shares with its views is made only when its
    // plugin is first loaded (Fenetres_Web), so a start that never opens a web page never pays
    // for it.
    QApplication app(argc, argv);
    // Both name the user's own data folder, ~/.local/share/Challenge_KVRT/QEZ_Challenge_KVRT,
    // where the logs go when the program folder is shared and read-only.
    QApplication::setOrganizationName(QStringLiteral("Challenge_KVRT"));
    QApplication::setApplicationName(QStringLiteral("QEZ_Challenge_KVRT"));
    QApplication::setDesktopFileName(QStringLiteral("org.kvrt.QEZ_Challenge_KVRT"));
    Icone_Programme icone;
    Apparence::Appliquer(new Style_Programme);

    // Standard buttons and dialogs in French, whatever the desktop's language.
    Traduction_Qt traductionQt;
    if (traductionQt.Charger())
        QApplication::installTranslator(&traductionQt);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    Entree_Sur_Boutons entree;
    app.installEventFilter(&entree);

    Plateforme_Reelle plateforme;
    Reglages reglages;
    Sous_Programmes sp(plateforme, reglages);
    Main fenetre(sp);
    fenetre.Main_Form_Load();
    if (sp.Programme_Termine())
        return 0;
    // The map of the departements is long to lay out: it is done in the background once the
    // main window is up, and the program waits for it, if need be, before it ends.
    QTimer::singleShot(500, &fenetre, [] { Geometrie_Carte::Preparer(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { Geometrie_Carte::Attendre(); });
    return app.exec();
}
