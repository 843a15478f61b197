#include "Dossier_Logs.h"

#include "FichierLog.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace Dossier_Logs {

bool Ecrivable(const QString& dossier)
{
    if (dossier.isEmpty() || !QFileInfo(dossier).isDir())
        return false;
    // Asking the rights is not enough: root passes every test of the mode bits, and a
    // read-only mount or an access list says no only when a file is made.
    QTemporaryFile essai(dossier + QStringLiteral("/.QEZ_Challenge_KVRT_essai_XXXXXX"));
    return essai.open();
}

Choix_Dossier Choisir(const QString& programme, const QString& utilisateur, bool partage)
{
    Choix_Dossier choix;
    if (!partage && Ecrivable(programme)) {
        choix.dossier = programme;
        return choix;
    }

    choix.programme = false;
    choix.dossier = QDir::cleanPath(utilisateur);
    if (utilisateur.isEmpty()) {
        choix.dossier = programme;
        choix.erreur = QStringLiteral("Le dossier du programme\r\n%1\r\nne peut pas être écrit et aucun dossier personnel "
                                      "n'est disponible pour les logs.")
                           .arg(QDir::toNativeSeparators(programme));
        return choix;
    }
    if (!QDir().mkpath(choix.dossier) || !QFileInfo(choix.dossier).isDir()) {
        choix.erreur = QStringLiteral("Impossible de créer le dossier des logs\r\n%1\r\n(%2).")
                           .arg(QDir::toNativeSeparators(choix.dossier), FichierLog::Cause(QFileInfo::exists(choix.dossier) ? 75 : 70));
        return choix;
    }
    // The copy is the user's from now on: once there, it is never replaced.
    const QString copie = FichierLog::Nom_Modele(choix.dossier);
    const QString original = FichierLog::Nom_Modele(programme);
    if (!QFileInfo::exists(copie) && FichierLog::Existe(original)) {
        const ErreurFichier e = FichierLog::Copier(original, copie);
        if (!e.ok())
            choix.erreur = e.message;
    }
    return choix;
}

QString Trouver_Log(const QStringList& dossiers, const QString& enUsage, const QString& indicatif, const QString& annee)
{
    const QString ici = QFileInfo(enUsage).canonicalFilePath();
    for (const QString& dossier : dossiers) {
        const QString reel = dossier.isEmpty() ? QString() : QFileInfo(dossier).canonicalFilePath();
        if (reel.isEmpty() || reel == ici)
            continue;
        if (FichierLog::Existe(FichierLog::Nom_Log(dossier, indicatif, annee)))
            return QDir::cleanPath(dossier);
    }
    return QString();
}

} // namespace Dossier_Logs
