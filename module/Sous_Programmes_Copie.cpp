// The routines of Sous_Programmes that put the log's files at hand: the folder of the logs in
// the desktop's file manager, and a copy of the log wherever the operator wants one.

#include "Sous_Programmes.h"

#include "Journal.h"
#include "Plateforme.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

QString Sous_Programmes::Nom_Copie_Log(const QString& nomLog, const QDate& jour)
{
    // The log's own name, then the day: the copies of several days sort side by side, and the
    // name never matches a log that the Station window would open in place of the real one.
    return QFileInfo(nomLog).completeBaseName() + QStringLiteral("_copie_") + jour.toString(QStringLiteral("dd_MM_yy"))
        + QStringLiteral(".txt");
}

void Sous_Programmes::Ouvre_Dossier_Logs()
{
    const QString dossier = Repertoire();
    if (!plateforme().Ouvrir_Dossier(dossier))
        Dire(QStringLiteral("Le gestionnaire de fichiers n'a pas pu être ouvert. Le dossier des logs est :\r\n")
               + QDir::toNativeSeparators(dossier));
}

// True when both names lead to the same file, links and "." included.
static bool Meme_Fichier(const QString& a, const QString& b)
{
    const QFileInfo ia(a), ib(b);
    if (ia.exists() && ib.exists())
        return ia.canonicalFilePath() == ib.canonicalFilePath();
    return QDir::cleanPath(ia.absoluteFilePath()) == QDir::cleanPath(ib.absoluteFilePath());
}

bool Sous_Programmes::Refuser_Log_Pour_Cible(const QString& chemin, const QString& quoi, const QString& suite)
{
    // The log and its journal change only through the program's own rewrites, which keep
    // them in step: no other file takes their place.
    const QString log = Nom_Log();
    if (!Meme_Fichier(chemin, log) && !Meme_Fichier(chemin, Journal::Chemin_Journal(log)))
        return false;
    Dire(quoi + QStringLiteral(" ne peut pas remplacer le log ni son journal :\r\n") + QDir::toNativeSeparators(chemin)
           + QStringLiteral("\r\n") + suite);
    return true;
}

void Sous_Programmes::Enregistre_Copie_Log()
{
    const QString log = Nom_Log();
    if (!FichierLog::Existe(log)) {
        Dire(QStringLiteral("Le log est introuvable :\r\n") + QDir::toNativeSeparators(log)
               + QStringLiteral("\r\nAucune copie n'a été enregistrée."));
        return;
    }
    const QString propose = Repertoire() + QLatin1Char('/') + Nom_Copie_Log(log, plateforme().Maintenant_Utc().date());
    const QString chemin = plateforme().Fichier_A_Enregistrer(QStringLiteral("Enregistrer une copie du log"), propose,
                                                            QStringLiteral("Log (*.txt)"), Fenetre_Principale());
    if (chemin.isEmpty())
        return;
    if (Refuser_Log_Pour_Cible(chemin, QStringLiteral("Une copie"), QStringLiteral("Aucune copie n'a été enregistrée.")))
        return;
    // Written whole or not at all: a copy cut short by a full disk is never left behind.
    const ErreurFichier e = FichierLog::Copier(log, chemin);
    if (!e.ok() && !e.fait) {
        Dire(e.message + QStringLiteral("\r\nAucune copie n'a été enregistrée."));
        return;
    }
    QString texte = QStringLiteral("Une copie du log a été enregistrée sous le nom : ") + QDir::toNativeSeparators(chemin);
    if (!e.ok())
        texte = e.message + QStringLiteral("\r\n") + texte + QStringLiteral(", mais le disque n'a pas confirmé son écriture.");
    Dire(texte);
}
