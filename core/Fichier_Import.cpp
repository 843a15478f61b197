#include "Fichier_Import.h"

#include "Echange_Adif.h"
#include "FichierLog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace Fichier_Import {

namespace {

// Thrown by the reader's progress report when the operator cancels. The reader keeps nothing
// outside its own locals, so leaving it this way loses only the records it had read.
struct Lecture_Abandonnee
{
};

} // namespace

Issue Lire(const QString& chemin, Adif::Lecture& lu, QString& erreur, const Suivi& suivi)
{
    const QString nom = QFileInfo(chemin).fileName();
    // A device or a FIFO chosen among "all files" would be read until memory runs out
    // (/dev/zero) or would hold the window until something writes to it: refused unopened.
    const QFileInfo info(chemin);
    if (info.exists() && !info.isFile()) {
        erreur = QStringLiteral("%1 n'est pas un fichier ordinaire (périphérique, tube ou dossier) : il ne peut pas être lu "
                                "comme un fichier ADIF.\r\nRien n'a été importé.")
                     .arg(QDir::toNativeSeparators(chemin));
        return Issue::Refuse;
    }
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) {
        const int numero = !QFileInfo::exists(chemin) ? 53 : fichier.error() == QFileDevice::PermissionsError ? 70 : 75;
        erreur = QStringLiteral("Le fichier %1 ne peut pas être ouvert (%2).\r\nRien n'a été importé.")
                     .arg(nom, FichierLog::Cause(numero));
        return Issue::Refuse;
    }
    auto tropGros = [&](qint64 taille) {
        return QStringLiteral("Le fichier %1 est trop gros (%2 Mo) pour un log ADIF.\r\nRien n'a été importé.")
            .arg(nom)
            .arg(taille >> 20);
    };
    const qint64 taille = fichier.size();
    if (taille > Taille_Maximale) {
        erreur = tropGros(taille);
        return Issue::Refuse;
    }

    // From here on the caller shows how far the reading is, and is told when it ends. It is
    // asked by the clock, not by the bytes: a slow disk or a file of an odd shape is looked at
    // as often as a quick one.
    suivi.commencer(taille);
    QElapsedTimer systeme;
    systeme.start();
    auto maintenant = [&] { return suivi.horloge ? suivi.horloge() : systeme.elapsed(); };
    qint64 dernierAvis = maintenant();
    auto avancer = [&](int valeur, bool toujours = false) {
        const qint64 t = maintenant();
        if (!toujours && t - dernierAvis < Intervalle_Avis_Ms)
            return true;
        dernierAvis = t;
        return suivi.avancer(valeur);
    };
    auto finir = [&](Issue issue) {
        suivi.finir();
        return issue;
    };
    QByteArray octets;
    octets.reserve(qsizetype(taille));
    while (true) {
        const QByteArray morceau = fichier.read(Morceau);
        if (morceau.isEmpty())
            break;
        octets += morceau;
        // A file still growing while it is read is held to the same limit.
        if (octets.size() > Taille_Maximale) {
            erreur = tropGros(octets.size());
            return finir(Issue::Refuse);
        }
        if (!avancer(taille > 0 ? int(500 * qMin<qint64>(octets.size(), taille) / taille) : 500))
            return finir(Issue::Abandonne);
    }
    if (fichier.error() != QFileDevice::NoError) {
        erreur = QStringLiteral("Le fichier %1 n'a pas pu être lu jusqu'au bout (%2).\r\nRien n'a été importé.")
                     .arg(nom, FichierLog::Cause(57));
        return finir(Issue::Refuse);
    }
    fichier.close();

    Adif::Lecture lecture;
    Adif::Erreur_Adif erreurAdif;
    const qsizetype total = octets.size();
    try {
        erreurAdif = Adif::Lire(octets, lecture, Echange_Adif::Champs_Utiles(), [&](qsizetype fait) {
            // The end is always shown, however quick the reading.
            if (!avancer(500 + (total > 0 ? int(500 * qMin(fait, total) / total) : 500), fait >= total))
                throw Lecture_Abandonnee();
        });
    } catch (const Lecture_Abandonnee&) {
        return finir(Issue::Abandonne);
    }
    octets = QByteArray();
    finir(Issue::Lu);
    if (!erreurAdif.ok()) {
        erreur = Adif::Message_Erreur(nom, erreurAdif);
        return Issue::Refuse;
    }
    lu = std::move(lecture);
    return Issue::Lu;
}

} // namespace Fichier_Import
