// The routines of Sous_Programmes that take QSOs into the log, whatever file they were read
// from, and send the log out in the exchange format.

#include "Sous_Programmes.h"

#include "Echange_Adif.h"
#include "Plateforme.h"
#include "Texte1252.h"

#include <QDir>


Resultat_Changement Sous_Programmes::Importe_Lignes(const QList<QByteArray>& nouvelles, const QByteArray* logLu)
{
    return Montrer(Changements().Importer(nouvelles, logLu));
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
