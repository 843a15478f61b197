#include "Logs_Retrouves.h"

#include "Dossier_Logs.h"
#include "FichierLog.h"
#include "Journal.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sous_Programmes.h"
#include "Verrou_Log.h"

#include <QDir>
#include <QFileInfo>

namespace Logs_Retrouves {

Log_Retrouve Retrouver_Log(Sous_Programmes& sp, const QString& indicatif, const QString& annee, QString& dossier,
                          const QString& renoncer, QWidget* parent)
{
    // A log the operator chose to use where it is, in the settings of his station: not asked
    // again while it is there.
    const QString retenu = sp.reglages().Chemin_Log(indicatif, annee);
    if (!retenu.isEmpty() && FichierLog::Existe(FichierLog::Nom_Log(retenu, indicatif, annee))) {
        dossier = retenu;
        return Log_Retrouve::Pret;
    }
    const QString ailleurs = Dossier_Logs::Trouver_Log(sp.Dossiers_Connus(), dossier, indicatif, annee);
    if (ailleurs.isEmpty())
        return Log_Retrouve::Nulle_Part;
    const QString source = FichierLog::Nom_Log(ailleurs, indicatif, annee);
    const QString cible = FichierLog::Nom_Log(dossier, indicatif, annee);
    const QString texte = QStringLiteral("Le log %1 n'est pas dans le dossier des logs\r\n%2\r\nmais il se trouve dans le dossier\r\n%3\r\n"
                                         "Vous pouvez l'utiliser là où il est, ou le copier avec son historique des modifications "
                                         "dans le dossier des logs.")
                              .arg(QFileInfo(source).fileName(), QDir::toNativeSeparators(dossier), QDir::toNativeSeparators(ailleurs));
    const QStringList reponses{QStringLiteral("&Utiliser ce log là où il est"), QStringLiteral("&Copier ce log dans le dossier des logs"),
                               renoncer};
    for (;;) {
        const int reponse = sp.plateforme().Choix(texte, reponses, parent);
        if (reponse == 0) {
            dossier = ailleurs;
            sp.reglages().Definir_Chemin_Log(indicatif, annee, ailleurs);
            return Log_Retrouve::Pret;
        }
        if (reponse != 1)
            return Log_Retrouve::Renonce;
        // Nobody writes the log while it is copied, and no other program copies it too. A
        // folder that cannot take a lock file cannot take a change either: its log is copied.
        Verrou_Log deLaSource, deLaCible;
        const bool sourceLibre = deLaSource.Prendre(source) || !deLaSource.Occupe();
        if (!sourceLibre || !deLaCible.Prendre(cible)) {
            sp.plateforme().Message((sourceLibre ? deLaCible.Refus() : deLaSource.Refus()) + QStringLiteral("\r\nLe log n'a pas été copié."),
                               parent);
            continue;
        }
        // The journal first: a log never stands in the folder without the history it came with.
        ErreurFichier e;
        const QString journal = Journal::Chemin_Journal(source);
        if (FichierLog::Existe(journal))
            e = FichierLog::Copier(journal, Journal::Chemin_Journal(cible));
        if (e.ok())
            e = FichierLog::Copier(source, cible);
        if (e.ok())
            return Log_Retrouve::Pret;
        sp.plateforme().Message(e.message + QStringLiteral("\r\nLe log n'a pas été copié."), parent);
    }
}

} // namespace Logs_Retrouves
