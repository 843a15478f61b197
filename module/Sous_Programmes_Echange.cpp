// The routines of Sous_Programmes that take QSOs into the log, whatever file they were read
// from, and send the log out in the exchange format.

#include "Sous_Programmes.h"

#include "Echange_Adif.h"
#include "Insertion.h"
#include "Plateforme.h"
#include "Texte1252.h"

#include <QDir>


bool Sous_Programmes::Importe_Lignes(const QList<QByteArray>& nouvelles, const QByteArray* logLu)
{
    QByteArray ancien;
    if (logLu) {
        ancien = *logLu;
    } else {
        const ErreurFichier lu = Log_Courant().Lire_Contenu(ancien);
        if (!lu.ok()) {
            Dire(lu.message + QStringLiteral("\r\nRien n'a été importé."));
            return false;
        }
    }
    QByteArray resultat = Insertion::Inserer_Dans_Log(ancien, nouvelles);
    // One rewrite for the whole import ("import ADIF"): the log on disk holds all of it or
    // none of it.
    // Journalled as any change, so that one Ctrl+Z takes the whole import back.
    const QString operation = nouvelles.size() == 1 ? QStringLiteral("import ADIF d'un QSO")
                                                    : QStringLiteral("import ADIF de %1 QSO").arg(nouvelles.size());
    if (!Reecrire_Log(ancien, resultat, operation, QStringLiteral("Le log n'a pas été modifié : rien n'a été importé.")))
        return false;
    ancien = QByteArray();
    Apres_Modification_Log(Modification::Import, &resultat);
    return true;
}

void Sous_Programmes::Enregistre_Adif()
{
    QList<QByteArray> lignes;
    if (!Lire_Log(lignes))
        return;
    // The usual name beside the log is offered; the operator may put the file elsewhere, where
    // his other logging program will look for it.
    const QString nom = Echange_Adif::Nom_Export(Indicatif_Station(), Annee_Challenge());
    const QString chemin = plateforme().Fichier_A_Enregistrer(QStringLiteral("Enregistrer le log au format ADIF"),
                                                            Repertoire() + QLatin1Char('/') + nom,
                                                            QStringLiteral("Fichier ADIF (*.adi)"), Fenetre_Principale());
    if (chemin.isEmpty()
        || Refuser_Log_Pour_Cible(chemin, QStringLiteral("Le fichier ADIF"), QStringLiteral("Le log n'a pas été enregistré au format ADIF.")))
        return;
    int ecartees = 0, exportees = 0;
    const QByteArray adi = Echange_Adif::Exporter(lignes, Indicatif_Station(), Annee_Challenge(), Numero_Version(),
                                                  plateforme().Maintenant_Utc(), ecartees, exportees);
    lignes = QList<QByteArray>();
    // The file is written whole or not at all, as every file beside the log.
    const ErreurFichier e = FichierLog::Reecrire(chemin, Texte1252::Couper_Lignes(adi));
    if (!e.ok()) {
        Dire_Echec_Creation(e, chemin, QStringLiteral("Le log n'a pas été enregistré au format ADIF."));
        return;
    }
    QString texte = QStringLiteral("Le log a été enregistré au format ADIF sous le nom : ") + QDir::toNativeSeparators(chemin);
    texte += exportees == 1 ? QStringLiteral("\r\n1 QSO exporté.") : QStringLiteral("\r\n%1 QSO exportés.").arg(exportees);
    if (ecartees == 1)
        texte += QStringLiteral("\r\n1 ligne du log n'est pas un QSO et n'a pas été reprise.");
    else if (ecartees > 1)
        texte += QStringLiteral("\r\n%1 lignes du log ne sont pas des QSO et n'ont pas été reprises.").arg(ecartees);
    Dire(texte);
}
