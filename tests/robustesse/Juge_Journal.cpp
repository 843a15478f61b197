#include "Juge_Journal.h"

#include "Journal.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

QByteArray Empreinte_Sha1(const QByteArray& octets)
{
    return QCryptographicHash::hash(octets, QCryptographicHash::Sha1).toHex();
}

QByteArray Lire_Notes(const QString& chemin, qint64& lu)
{
    // A kill early in the start-up comes before the notes exist.
    QFile f(chemin);
    QByteArray nouveau;
    if (f.open(QIODevice::ReadOnly) && f.seek(lu))
        nouveau = f.readAll();
    f.close();
    nouveau.truncate(nouveau.lastIndexOf('\n') + 1);
    lu += nouveau.size();
    if (QFileInfo(chemin).size() > lu)
        QFile::resize(chemin, lu);
    return nouveau;
}

QByteArray Piles_Vues::Attendu(const QByteArray& quoi, const QByteArray& apresModele) const
{
    if (quoi == "ANNULER")
        return faites.isEmpty() ? QByteArray() : faites.last().first;
    if (quoi == "RETABLIR")
        return annulees.isEmpty() ? QByteArray() : annulees.last().second;
    return apresModele;
}

void Piles_Vues::Terminer(const QByteArray& quoi, const QByteArray& avant, const QByteArray& apres)
{
    if (quoi == "ANNULER") {
        annulees.append(faites.takeLast());
    } else if (quoi == "RETABLIR") {
        faites.append(annulees.takeLast());
    } else if (avant != apres) {
        // A change that left the bytes as they were is not journalled.
        faites.append({avant, apres});
        annulees.clear();
    }
}

QString Juger_Journal(const QString& log, Piles_Vues& piles, QByteArray& octets, const QDateTime& utc)
{
    Journal::Journal_Log journal(log);
    QString deCote;
    if (journal.Verifier(octets, &deCote) == Journal::Journal_Log::Accord::Mis_De_Cote)
        return QStringLiteral("the journal does not explain the log (set aside as %1)").arg(deCote);
    const auto r = journal.Annuler(utc.isValid() ? utc : QDateTime::currentDateTimeUtc());
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("the log is gone after the undo");
    const QByteArray apres = f.readAll();
    if (piles.faites.isEmpty()) {
        if (r.etat != Journal::Journal_Log::Resultat::Rien_A_Faire || apres != octets)
            return QStringLiteral("an undo with no change done did something (%1)").arg(int(r.etat));
        return {};
    }
    if (r.etat != Journal::Journal_Log::Resultat::Fait)
        return QStringLiteral("the undo of the last change failed (%1): %2").arg(int(r.etat)).arg(r.erreur.message);
    if (Empreinte_Sha1(apres) != piles.faites.last().first)
        return QStringLiteral("one undo did not give the state before the last change (%1)").arg(r.operation);
    piles.Terminer("ANNULER", {}, {});
    octets = apres;
    return {};
}
