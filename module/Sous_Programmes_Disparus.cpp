#include "Sous_Programmes.h"

#include "Plateforme.h"
#include "Qso.h"
#include "Texte1252.h"

#include <QDir>

// QSOs the program wrote that a start finds gone from the log: most often an editor left open
// since morning saved its old copy over the log, but the operator may also have deleted them
// himself, and nothing tells the two apart. So they are said, kept in a file beside the log,
// and put back only when he says so; the log he saved stays the base either way.
void Sous_Programmes::Dire_Qso_Disparus(const QList<QByteArray>& lignes, const QString& journalMisDeCote, bool proposer)
{
    // A long list would make a box taller than the screen: the first ones, then how many more.
    constexpr int Montres = 10;
    const qsizetype n = lignes.size();
    const bool un = n == 1;
    QString texte = un ? QStringLiteral("Le log ne contient plus 1 QSO que le programme y avait enregistré (un éditeur de "
                                        "texte resté ouvert a pu enregistrer une copie plus ancienne du log, ou il a été "
                                        "effacé à la main) :\r\n")
                       : QStringLiteral("Le log ne contient plus %1 QSO que le programme y avait enregistrés (un éditeur de "
                                        "texte resté ouvert a pu enregistrer une copie plus ancienne du log, ou ils ont été "
                                        "effacés à la main) :\r\n")
                             .arg(n);
    QByteArray octets;
    for (qsizetype i = 0; i < n; ++i) {
        octets += lignes.at(i) + "\r\n";
        if (i < Montres) {
            const Qso q = Qso::De_Ligne_Log(Texte1252::Decoder(lignes.at(i)));
            texte += QStringLiteral("%1  %2  KVRT %3\r\n").arg(q.date, q.indicatif, q.reference);
        }
    }
    if (n > Montres)
        texte += QStringLiteral("et %1 autres\r\n").arg(n - Montres);
    QString copie;
    const ErreurFichier e = FichierLog::Garder_Copie(Nom_Log(), QStringLiteral("qso_disparus"), octets, copie);
    if (e.ok())
        texte += (un ? QStringLiteral("Il est gardé dans le fichier\r\n%1\r\n") : QStringLiteral("Ils sont gardés dans le fichier\r\n%1\r\n"))
                     .arg(QDir::toNativeSeparators(copie));
    else
        texte += e.message + QStringLiteral("\r\n");
    if (!journalMisDeCote.isEmpty())
        texte += QStringLiteral("L'historique des modifications a été mis de côté dans le fichier\r\n%1\r\n")
                     .arg(QDir::toNativeSeparators(journalMisDeCote));
    if (!proposer) {
        // The operator made the log read-only: it is not written, not even to put them back.
        Dire(texte + (un ? QStringLiteral("Le log est en lecture seule : ce QSO n'y a pas été remis.")
                         : QStringLiteral("Le log est en lecture seule : ces QSO n'y ont pas été remis.")));
        return;
    }
    texte += QStringLiteral("Remettre ces QSO dans le log ?");
    if (!plateforme().Question(texte, Fenetre_Principale()))
        return;
    // At their dates, in one rewrite journalled like an import: one undo takes them out again.
    const QString operation = un ? QStringLiteral("remise d'un QSO disparu") : QStringLiteral("remise de %1 QSO disparus").arg(n);
    const Changements_Log::Changement c =
        Changements().Remettre(lignes, operation,
                               copie.isEmpty() ? QStringLiteral("Le log n'a pas été modifié.")
                                               : QStringLiteral("Le log n'a pas été modifié : les QSO disparus restent dans le fichier\r\n%1")
                                                     .arg(QDir::toNativeSeparators(copie)));
    // Start-up shows the log once it is checked: only the rewrite is wanted here.
    for (const QString& message : c.resultat.messages)
        Dire(message);
}
