// Before a change: the lock held, a read-only log refused, a log an editor saved written back in
// the program's form; and which folder the log is in, found again after a move between installs.

#include "Sous_Programmes.h"

#include "Dossier_Logs.h"
#include "FichierLog.h"
#include "Forme_Log.h"
#include "Journal.h"
#include "Plateforme.h"
#include "Reglages.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

bool Sous_Programmes::Tenir_Verrou(const QString& suite, bool message)
{
    const QString log = Nom_Log();
    if (Verrou.Tient(log))
        return true;
    Verrou_Log nouveau;
    if (nouveau.Prendre(log)) {
        Verrou = std::move(nouveau);
        return true;
    }
    if (!message)
        return false;
    const QString fin = suite.isEmpty() ? QString() : QStringLiteral("\r\n") + suite;
    if (!nouveau.Ailleurs()) {
        Dire(nouveau.Refus() + fin);
        return false;
    }
    // The operator is asked once; after Non the log stays read-only, and each change says so.
    if (log != Log_Lecture_Seule && Ouvrir_Malgre_Verrou(nouveau, log, Fenetre_Principale())) {
        Verrou = std::move(nouveau);
        return true;
    }
    if (log == Log_Lecture_Seule)
        Dire(QStringLiteral("Ce log est ouvert en lecture seule, car le programme de la machine %1 le tient ouvert.")
                 .arg(Machine_Lecture_Seule)
             + fin);
    return false;
}

bool Sous_Programmes::Ouvrir_Malgre_Verrou(Verrou_Log& verrou, const QString& log, QWidget* parent)
{
    const QString machine = verrou.Machine();
    if (!plateforme().Question(verrou.Refus()
                                   + QStringLiteral("\r\nS'il y tourne encore, il écrit lui aussi dans ce log. Oui : le log est "
                                                    "repris ici, et ne doit plus être modifié sur %1. Non : le log est ouvert "
                                                    "en lecture seule.\r\nOuvrir ce log quand même ?")
                                         .arg(machine),
                               parent)) {
        Log_Lecture_Seule = log;
        Machine_Lecture_Seule = machine;
        return false;
    }
    if (!verrou.Prendre(log, true)) {
        plateforme().Message(verrou.Refus(), parent);
        return false;
    }
    if (Log_Lecture_Seule == log)
        Log_Lecture_Seule.clear();
    emit Statut(QStringLiteral("Verrou du log repris à la machine %1.").arg(machine));
    return true;
}

bool Sous_Programmes::Preparer_Changement(const QString& suite, const QByteArray* lu)
{
    if (!Tenir_Verrou(suite))
        return false;
    const QString log = Nom_Log();
    const ErreurFichier modifiable = FichierLog::Verifier_Modifiable(log, QStringLiteral("impossible de modifier"));
    if (!modifiable.ok()) {
        Dire(modifiable.message + QStringLiteral("\r\n") + suite);
        return false;
    }
    // A log saved again by a text editor is written back whole in the program's own form
    // before anything is added to it, so that a file never holds two encodings; the editor's
    // version is kept beside it, and the operator is told once, as it happens.
    // The bytes a change has just read are not checked against the file a second time.
    Log_Ouvert& ouvert = Log_Courant();
    QByteArray octets;
    if (lu && ouvert.Tient(*lu))
        octets = ouvert.Octets();
    else if (!ouvert.Lire_Octets(octets).ok())
        return true; // the change itself reads the log and says what is wrong
    const Forme_Log::Examen examen = ouvert.Examen();
    if (examen.Propre())
        return true;
    if (!examen.Convertible()) {
        Dire(QStringLiteral("Le log\r\n%1\r\na été enregistré par un autre programme (%2), mais il contient %3. Le programme "
                            "ne peut pas le réécrire dans sa forme (Windows-1252, fins de ligne CR LF, colonnes fixes) sans "
                            "deviner ce qu'il contient : ouvrez-le dans un éditeur de texte, retirez ces caractères et "
                            "enregistrez-le en UTF-8 ou en Windows-1252.\r\n%4")
                 .arg(QDir::toNativeSeparators(log), Forme_Log::Decrire(examen), Forme_Log::Decrire_Obstacle(examen), suite));
        return false;
    }
    QString copie;
    ErreurFichier e;
    if (examen.Etrangere()) {
        e = FichierLog::Garder_Copie(log, QStringLiteral("version_editeur"), octets, copie);
        if (e.ok())
            Dire(QStringLiteral("Le log\r\n%1\r\na été enregistré par un autre programme (%2). Il est réécrit dans la "
                              "forme du programme (Windows-1252, fins de ligne CR LF, colonnes fixes), et la version "
                              "de l'autre programme est gardée dans le fichier\r\n%3")
                   .arg(QDir::toNativeSeparators(log), Forme_Log::Decrire(examen), QDir::toNativeSeparators(copie)));
    }
    // Where only the last line end is missing, the program adds it, as any rewrite always has.
    if (e.ok()) {
        const QByteArray remis = Forme_Log::Remettre(octets, examen);
        octets = QByteArray();
        e = FichierLog::Reecrire_Octets(log, remis);
        if (e.fait)
            e = {};
        if (e.ok())
            ouvert.Ecrit(remis);
        else
            ouvert.Oublier();
    }
    if (!e.ok()) {
        Dire(e.message + QStringLiteral("\r\n") + suite);
        return false;
    }
    return true;
}

QStringList Sous_Programmes::Dossiers_Connus() const
{
    return {Dossier_Precedent, plateforme().Repertoire_Programme(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)};
}

void Sous_Programmes::Utiliser_Repertoire(const QString& dossier)
{
    m_repertoire = dossier;
}

Sous_Programmes::Log_Retrouve Sous_Programmes::Retrouver_Log(const QString& indicatif, const QString& annee, QString& dossier,
                                                             const QString& renoncer, QWidget* parent)
{
    // A log the operator chose to use where it is, in the settings of his station: not asked
    // again while it is there.
    const QString retenu = reglages().Chemin_Log(indicatif, annee);
    if (!retenu.isEmpty() && FichierLog::Existe(FichierLog::Nom_Log(retenu, indicatif, annee))) {
        dossier = retenu;
        return Log_Retrouve::Pret;
    }
    const QString ailleurs = Dossier_Logs::Trouver_Log(Dossiers_Connus(), dossier, indicatif, annee);
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
        const int reponse = plateforme().Choix(texte, reponses, parent);
        if (reponse == 0) {
            dossier = ailleurs;
            reglages().Definir_Chemin_Log(indicatif, annee, ailleurs);
            return Log_Retrouve::Pret;
        }
        if (reponse != 1)
            return Log_Retrouve::Renonce;
        // Nobody writes the log while it is copied, and no other program copies it too. A
        // folder that cannot take a lock file cannot take a change either: its log is copied.
        Verrou_Log deLaSource, deLaCible;
        const bool sourceLibre = deLaSource.Prendre(source) || !deLaSource.Occupe();
        if (!sourceLibre || !deLaCible.Prendre(cible)) {
            plateforme().Message((sourceLibre ? deLaCible.Refus() : deLaSource.Refus()) + QStringLiteral("\r\nLe log n'a pas été copié."),
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
        plateforme().Message(e.message + QStringLiteral("\r\nLe log n'a pas été copié."), parent);
    }
}
