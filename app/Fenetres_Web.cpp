#include "Fenetres_Web.h"

#include "Adresses_Web.h"
#include "Module_Fenetres_Web.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPluginLoader>
#include <QUrl>
// Qt Gui's configuration says whether this Qt has OpenGL at all (Qt for Windows is built
// without it); QT_CONFIG refuses to compile if the header were missing.
#include <QtGui/qtguiglobal.h>
#if QT_CONFIG(opengl)
#include <QOpenGLContext>

// Qt's own hooks for the context every OpenGL context of the program shares with; the web
// engine reads it when it starts.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
QT_END_NAMESPACE
#endif

namespace Fenetres_Web {

QString Dossier_Module;
#ifdef KVRT_MOTEUR_WEB
bool Navigateur_Systeme = false;
#else
bool Navigateur_Systeme = true;
#endif

namespace {

Module_Fenetres_Web* g_module = nullptr;

Module_Fenetres_Web* Module(Sous_Programmes& sp, QWidget* parent)
{
    QString erreur;
    if (!Charger(erreur)) {
        sp.plateforme().Message(erreur, parent);
        return nullptr;
    }
    return g_module;
}

void Ouvrir_Dans_Navigateur(Sous_Programmes& sp, const QString& adresse, QWidget* parent)
{
    // "departement 60" keeps its blank: QUrl encodes it for the browser.
    if (!QDesktopServices::openUrl(QUrl(adresse)))
        sp.plateforme().Message(QStringLiteral("La page\r\n%1\r\nn'a pas pu être ouverte dans le navigateur.").arg(adresse),
                              parent);
}

} // namespace

bool Charger(QString& erreur)
{
    if (g_module)
        return true;
#ifdef KVRT_PROGRAMME_PARTAGE
    // The system package keeps the plugin in a folder of its own, out of the dynamic linker's
    // folders, so that installing it needs no ldconfig.
    const QString ici = QCoreApplication::applicationDirPath() + QStringLiteral("/modules");
#else
    const QString ici = QCoreApplication::applicationDirPath();
#endif
    const QString dossier = Dossier_Module.isEmpty() ? ici : Dossier_Module;
    // The loader adds the platform's prefix and suffix: libkvrt_web.so here.
    QPluginLoader chargeur(dossier + QStringLiteral("/kvrt_web"));
    // Every symbol resolved at once: a plugin that does not match the program fails here,
    // with a message, rather than later in the middle of a window.
    chargeur.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    QObject* instance = chargeur.instance();
    g_module = qobject_cast<Module_Fenetres_Web*>(instance);
    if (!g_module) {
        erreur = QStringLiteral("Les pages web ne peuvent pas s'ouvrir : le module kvrt_web n'a pas pu être chargé "
                                "depuis le dossier\r\n%1\r\n(%2).")
                     .arg(QDir::toNativeSeparators(dossier),
                          instance ? QStringLiteral("module d'une autre version") : chargeur.errorString());
        return false;
    }
#if QT_CONFIG(opengl)
    // What Qt::AA_ShareOpenGLContexts would have made at start-up, made now, before the engine
    // starts with the first view: the engine and its views share this context. Nothing else in
    // the program draws with OpenGL.
    if (!qt_gl_global_share_context()) {
        auto* partage = new QOpenGLContext(QCoreApplication::instance());
        partage->create();
        qt_gl_set_global_share_context(partage);
    }
#endif
    return true;
}

bool Charge()
{
    return g_module != nullptr;
}

QWidget* Ouvrir_Reglement(Sous_Programmes& sp, QWidget* parent)
{
    if (Navigateur_Systeme) {
        Ouvrir_Dans_Navigateur(sp, Adresses_Web::Adresse_Reglement(sp.reglages()), parent);
        return nullptr;
    }
    Module_Fenetres_Web* m = Module(sp, parent);
    return m ? m->Ouvrir_Reglement(sp, parent) : nullptr;
}

QWidget* Ouvrir_Liste_KVRT1(Sous_Programmes& sp, const QString& ligneListe, QWidget* parent)
{
    if (Navigateur_Systeme) {
        const QString adresse = Adresses_Web::Adresse_Departement(sp.reglages(), ligneListe);
        if (adresse.isEmpty())
            sp.plateforme().Message(QStringLiteral("Pas de département spécifié dans ce QSO"), parent);
        else
            Ouvrir_Dans_Navigateur(sp, adresse, parent);
        return nullptr;
    }
    Module_Fenetres_Web* m = Module(sp, parent);
    return m ? m->Ouvrir_Liste_KVRT1(sp, ligneListe, parent) : nullptr;
}

} // namespace Fenetres_Web
