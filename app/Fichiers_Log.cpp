#include "Fichiers_Log.h"

#include "Echange_Adif.h"
#include "FichierLog.h"
#include "Journal.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"
#include "Texte1252.h"

#include <QDir>
#include <QFileInfo>

namespace Fichiers_Log {

QString Nom_Copie_Log(const QString& nomLog, const QDate& jour)
{
    // The log's own name, then the day: the copies of several days sort side by side, and the
    // name never matches a log that the Station window would open in place of the real one.
    return QFileInfo(nomLog).completeBaseName() + QStringLiteral("_copie_") + jour.toString(QStringLiteral("dd_MM_yy"))
        + QStringLiteral(".txt");
}

void Ouvre_Dossier_Logs(Sous_Programmes& sp, QWidget* parent)
{
    const QString dossier = sp.Repertoire();
    if (!sp.plateforme().Ouvrir_Dossier(dossier))
        sp.plateforme().Message(QStringLiteral("Le gestionnaire de fichiers n'a pas pu être ouvert. Le dossier des logs est :\r\n")
                                    + QDir::toNativeSeparators(dossier),
                                parent);
}

// The file chosen is the log or its journal: said, and true.
static bool Refuser_Log_Pour_Cible(Sous_Programmes& sp, const QString& chemin, const QString& quoi, const QString& suite,
                                   QWidget* parent)
{
    const QString refus = FichierLog::Refus_Cible(chemin, sp.Nom_Log(), Journal::Chemin_Journal(sp.Nom_Log()), quoi, suite);
    if (!refus.isEmpty())
        sp.plateforme().Message(refus, parent);
    return !refus.isEmpty();
}

void Enregistre_Copie_Log(Sous_Programmes& sp, QWidget* parent)
{
    Plateforme& pf = sp.plateforme();
    const QString log = sp.Nom_Log();
    if (!FichierLog::Existe(log)) {
        pf.Message(QStringLiteral("Le log est introuvable :\r\n") + QDir::toNativeSeparators(log)
                       + QStringLiteral("\r\nAucune copie n'a été enregistrée."),
                   parent);
        return;
    }
    const QString propose = sp.Repertoire() + QLatin1Char('/') + Nom_Copie_Log(log, pf.Maintenant_Utc().date());
    const QString chemin = pf.Fichier_A_Enregistrer(QStringLiteral("Enregistrer une copie du log"), propose,
                                                    QStringLiteral("Log (*.txt)"), parent);
    if (chemin.isEmpty()
        || Refuser_Log_Pour_Cible(sp, chemin, QStringLiteral("Une copie"), QStringLiteral("Aucune copie n'a été enregistrée."), parent))
        return;
    // Written whole or not at all: a copy cut short by a full disk is never left behind.
    const ErreurFichier e = FichierLog::Copier(log, chemin);
    if (!e.ok() && !e.fait) {
        pf.Message(e.message + QStringLiteral("\r\nAucune copie n'a été enregistrée."), parent);
        return;
    }
    QString texte = QStringLiteral("Une copie du log a été enregistrée sous le nom : ") + QDir::toNativeSeparators(chemin);
    if (!e.ok())
        texte = e.message + QStringLiteral("\r\n") + texte + QStringLiteral(", mais le disque n'a pas confirmé son écriture.");
    pf.Message(texte, parent);
}

void Enregistre_Adif(Sous_Programmes& sp, QWidget* parent)
{
    Plateforme& pf = sp.plateforme();
    Sous_Programmes::Lecture log = sp.Lire_Contenu();
    if (!log.ok()) {
        pf.Message(log.erreur.message, parent);
        return;
    }
    QList<QByteArray> lignes = Texte1252::Couper_Lignes(log.contenu);
    log = {};
    // The usual name beside the log is offered; the operator may put the file elsewhere, where
    // his other logging program will look for it.
    const QString nom = Echange_Adif::Nom_Export(sp.Indicatif_Station(), sp.Annee_Challenge());
    const QString chemin = pf.Fichier_A_Enregistrer(QStringLiteral("Enregistrer le log au format ADIF"),
                                                    sp.Repertoire() + QLatin1Char('/') + nom,
                                                    QStringLiteral("Fichier ADIF (*.adi)"), parent);
    const QString pasFait = QStringLiteral("Le log n'a pas été enregistré au format ADIF.");
    if (chemin.isEmpty() || Refuser_Log_Pour_Cible(sp, chemin, QStringLiteral("Le fichier ADIF"), pasFait, parent))
        return;
    int ecartees = 0, exportees = 0;
    const QByteArray adi = Echange_Adif::Exporter(lignes, sp.Indicatif_Station(), sp.Annee_Challenge(),
                                                  Sous_Programmes::Numero_Version(), pf.Maintenant_Utc(), ecartees, exportees);
    lignes = QList<QByteArray>();
    // The file is written whole or not at all, as every file beside the log.
    const ErreurFichier e = FichierLog::Reecrire(chemin, Texte1252::Couper_Lignes(adi));
    if (!e.ok()) {
        pf.Message(FichierLog::Texte_Echec_Creation(e, chemin, pasFait), parent);
        return;
    }
    QString texte = QStringLiteral("Le log a été enregistré au format ADIF sous le nom : ") + QDir::toNativeSeparators(chemin);
    texte += exportees == 1 ? QStringLiteral("\r\n1 QSO exporté.") : QStringLiteral("\r\n%1 QSO exportés.").arg(exportees);
    if (ecartees == 1)
        texte += QStringLiteral("\r\n1 ligne du log n'est pas un QSO et n'a pas été reprise.");
    else if (ecartees > 1)
        texte += QStringLiteral("\r\n%1 lignes du log ne sont pas des QSO et n'ont pas été reprises.").arg(ecartees);
    pf.Message(texte, parent);
}

} // namespace Fichiers_Log
