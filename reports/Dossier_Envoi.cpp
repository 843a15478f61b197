#include "Dossier_Envoi.h"

#include "Axes_Progression.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Forme_Log.h"
#include "Graphique_Progression.h"
#include "Progression.h"
#include "Rapports_Contactes.h"
#include "Series_Saison.h"
#include "Texte1252.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>

namespace Dossier_Envoi {

namespace {

const QString Suite_Echec = QStringLiteral("\r\nLe dossier d'envoi n'a pas été préparé.");

Resultat Echec(const QString& message)
{
    return {QString(), message + Suite_Echec};
}

Resultat Echec_Dossier(int numero, const QString& action, const QString& chemin)
{
    return Echec(QStringLiteral("Erreur N° %1 : %2\r\n%3\r\n(%4).")
                     .arg(numero)
                     .arg(action, QDir::toNativeSeparators(chemin), FichierLog::Cause(numero)));
}

// The departements of the log, in the map's order ("01", ..., "2A", "2B", ..., "95").
QStringList Departements(const QByteArray& contenu)
{
    QMap<int, QString> vus;
    QString code;
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) {
        Texte1252::Decoder(Enregistrement::Champ_Octets(ligne, Enregistrement::Place_Departement), code);
        const int rang = Enregistrement::Case_Departement(code);
        if (rang > 0 && !vus.contains(rang))
            vus.insert(rang, code.toUpper());
    });
    QStringList codes = vus.values();
    // Corsica's two boxes stand after 95 on the map; on a page they go where the number 20 was.
    std::stable_sort(codes.begin(), codes.end(), [](const QString& a, const QString& b) {
        auto cle = [](const QString& c) { return c.startsWith(QLatin1String("2A")) || c.startsWith(QLatin1String("2B")) ? QStringLiteral("20") + c : c; };
        return cle(a) < cle(b);
    });
    return codes;
}

// The summary, one A4 page: the score, the QSOs by type, the departements and the season's
// points drawn as the Progression window draws them.
void Peindre_Resume(QPainter& peintre, const QRectF& page, const Demande& d, const QByteArray& contenu)
{
    const Series_Saison::Series s = Series_Saison::Calculer(contenu);
    QFont normale = peintre.font();
    normale.setPointSize(10);
    QFont titre = normale;
    titre.setPointSize(14);
    titre.setBold(true);
    QFont gras = normale;
    gras.setBold(true);

    qreal y = page.top();
    auto ligne = [&](const QFont& police, const QString& texte, Qt::Alignment sens = Qt::AlignLeft) {
        peintre.setFont(police);
        const QRectF zone(page.left(), y, page.width(), page.height());
        const QRectF prise = peintre.boundingRect(zone, int(sens | Qt::TextWordWrap), texte);
        peintre.drawText(zone, int(sens | Qt::TextWordWrap), texte);
        y += prise.height() + 4;
    };
    peintre.setPen(Qt::black);
    ligne(titre, QStringLiteral("Challenge KVRT %1 - %2").arg(d.annee, FichierLog::Indicatif_Affiche(d.indicatif)), Qt::AlignHCenter);
    ligne(normale, QStringLiteral("Dossier d'envoi du %1").arg(Enregistrement::Texte_Date_Longue(d.jour)), Qt::AlignHCenter);
    y += 10;
    ligne(gras, Series_Saison::Texte_Bilan(s.bilan) + QStringLiteral(" · %1 QSO").arg(s.bilan.qso));
    y += 6;

    ligne(gras, QStringLiteral("QSO par type d'activité"));
    peintre.setFont(normale);
    const QStringList& types = Enregistrement::Types_Activite();
    const qreal hauteur = peintre.fontMetrics().height() + 2;
    int autres = s.bilan.qso;
    for (int t = 0; t < Series_Saison::Nombre_Types; ++t) {
        peintre.drawText(QRectF(page.left() + 20, y, 260, hauteur), Qt::AlignLeft | Qt::AlignVCenter, types.at(t));
        peintre.drawText(QRectF(page.left() + 280, y, 60, hauteur), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(s.bilan.par_type[size_t(t)]));
        autres -= s.bilan.par_type[size_t(t)];
        y += hauteur;
    }
    if (autres > 0) {
        peintre.drawText(QRectF(page.left() + 20, y, 260, hauteur), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Type inconnu"));
        peintre.drawText(QRectF(page.left() + 280, y, 60, hauteur), Qt::AlignRight | Qt::AlignVCenter, QString::number(autres));
        y += hauteur;
    }
    y += 10;

    const QStringList codes = Departements(contenu);
    ligne(gras, QStringLiteral("Départements contactés : %1").arg(codes.size()));
    if (!codes.isEmpty())
        ligne(normale, codes.join(QStringLiteral(", ")));
    y += 10;

    // The chart takes what is left of the page, as the window shows it.
    const Axes_Progression::Axes axes = Axes_Progression::Calculer(s, d.annee, d.jour);
    Graphique_Progression graphique(QStringLiteral("Points du Challenge, jour par jour"));
    graphique.Definir_Jours(
        {{QPen(Progression::Couleur_Prevus(), 2, Qt::DashLine),
          Axes_Progression::Marches(s.jours, &Series_Saison::Jour::points_prevus, axes.debut, axes.fin)},
         {QPen(Progression::Couleur_Points(), 2), Axes_Progression::Marches(s.jours, &Series_Saison::Jour::points, axes.debut, axes.fin)}},
        axes.debut, axes.fin, 6, axes.points);
    peintre.setFont(normale);
    const qreal reste = page.bottom() - y;
    if (reste > 120)
        graphique.Peindre(peintre, QRectF(page.left(), y, page.width(), qMin(reste, page.width() * 0.7)));
}

ErreurFichier Ecrire_Resume(const QString& chemin, const Demande& d, const QByteArray& contenu)
{
    auto erreur = [&](const QString& cause) {
        ErreurFichier e;
        e.numero = 75;
        e.message = QStringLiteral("Erreur N° 75 : impossible d'écrire le fichier\r\n%1\r\n(%2).")
                        .arg(QDir::toNativeSeparators(chemin), cause.isEmpty() ? FichierLog::Cause(75) : cause);
        return e;
    };
    QSaveFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly))
        return erreur(fichier.errorString());
    {
        QPdfWriter document(&fichier);
        // Laid out in screen units, where the charts' fonts and pens were chosen; the page stays vector.
        document.setResolution(96);
        document.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                           QPageLayout::Millimeter));
        document.setTitle(QStringLiteral("Challenge KVRT %1 - %2").arg(d.annee, FichierLog::Indicatif_Affiche(d.indicatif)));
        document.setCreator(QStringLiteral("QEZ_Challenge_KVRT"));
        QPainter peintre;
        if (!peintre.begin(&document))
            return erreur(QString());
        peintre.setRenderHint(QPainter::Antialiasing);
        Peindre_Resume(peintre, QRectF(0, 0, document.width(), document.height()), d, contenu);
        if (!peintre.end())
            return erreur(QString());
    }
    if (!fichier.commit())
        return erreur(fichier.errorString());
    return {};
}

// "<64 hex>  <name>\n" for each file as it now is on the disk, in the order given.
ErreurFichier Ecrire_Empreintes(const QString& dossier, const QStringList& noms)
{
    QByteArray texte;
    for (const QString& nom : noms) {
        QFile f(dossier + QLatin1Char('/') + nom);
        QCryptographicHash h(QCryptographicHash::Sha256);
        if (!f.open(QIODevice::ReadOnly) || !h.addData(&f)) {
            ErreurFichier e;
            e.numero = 57;
            e.message = QStringLiteral("Erreur N° 57 : impossible de relire le fichier\r\n%1\r\n(%2).")
                            .arg(QDir::toNativeSeparators(f.fileName()), FichierLog::Cause(57));
            return e;
        }
        texte += h.result().toHex() + "  " + nom.toUtf8() + '\n';
    }
    return FichierLog::Reecrire_Octets(dossier + QLatin1Char('/') + Nom_Empreintes(), texte);
}

// A free name beside `cible` for a folder on its way in or out.
QString Nom_De_Passage(const QString& parent, const QString& nom, const char* motif)
{
    for (int i = 0;; ++i) {
        const QString chemin = parent + QStringLiteral("/.%1.%2-%3").arg(nom, QLatin1String(motif)).arg(i);
        if (!QFileInfo::exists(chemin))
            return chemin;
    }
}

} // namespace

QString Nom_Dossier(const QString& nomLog, const QDate& jour)
{
    return QFileInfo(nomLog).completeBaseName() + QStringLiteral("_envoi_") + jour.toString(QStringLiteral("dd_MM_yy"));
}

QString Nom_Resume(const QString& nomLog)
{
    return QFileInfo(nomLog).completeBaseName() + QStringLiteral("_resume.pdf");
}

Resultat Preparer(const Demande& d)
{
    QByteArray brut;
    const ErreurFichier lu = FichierLog::Lire_Octets(d.log, brut);
    if (!lu.ok())
        return Echec(lu.message);
    // The export and the summary read the log as the program does; the copy keeps its bytes.
    const QByteArray contenu = Forme_Log::Remettre(brut);

    const QString parent = QFileInfo(d.log).absolutePath();
    const QString nom = Nom_Dossier(d.log, d.jour);
    const QString cible = parent + QLatin1Char('/') + nom;
    // A file of the operator's under that name is his: it is never set aside for the folder.
    if (QFileInfo(cible).isSymLink() || (QFileInfo::exists(cible) && !QFileInfo(cible).isDir()))
        return Echec_Dossier(75, QStringLiteral("un fichier porte déjà le nom du dossier d'envoi"), cible);
    // Written under a hidden name that nothing else takes for a folder to send; removed with
    // whatever it holds unless it reaches its name.
    QTemporaryDir temporaire(parent + QStringLiteral("/.") + nom + QStringLiteral(".tmp-XXXXXX"));
    if (!temporaire.isValid())
        return Echec_Dossier(QFileInfo(parent).isWritable() ? 75 : 70, QStringLiteral("impossible de créer le dossier d'envoi dans"),
                             parent);
    const QString ici = temporaire.path();

    const QString nomLog = QFileInfo(d.log).fileName();
    ErreurFichier e = FichierLog::Reecrire_Octets(ici + QLatin1Char('/') + nomLog, brut);
    if (!e.ok())
        return Echec(e.message);
    QString nomExport;
    const QString total = QString::number(Series_Saison::Calculer_Bilan(contenu).points);
    e = Rapports_Contactes::Ecrire_Export_Contactes(contenu, d.indicatif, d.annee, d.jour, total, ici, nomExport);
    if (!e.ok())
        return Echec(e.message);
    const QString nomResume = Nom_Resume(d.log);
    e = Ecrire_Resume(ici + QLatin1Char('/') + nomResume, d, contenu);
    if (!e.ok())
        return Echec(e.message);
    e = Ecrire_Empreintes(ici, {nomLog, nomExport, nomResume});
    if (!e.ok())
        return Echec(e.message);
    // The temporary folder is the user's alone; the folder sent is as any other of his.
    QFile::setPermissions(ici, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                   | QFile::ReadOther | QFile::ExeOther);

    // The folder of the same day goes only once the new one is whole, and comes back if the
    // new one cannot take its name.
    QString ancien;
    if (QFileInfo::exists(cible)) {
        ancien = Nom_De_Passage(parent, nom, "ancien");
        if (!QDir().rename(cible, ancien))
            return Echec_Dossier(75, QStringLiteral("impossible de remplacer le dossier d'envoi"), cible);
    }
    if (!QDir().rename(ici, cible)) {
        if (!ancien.isEmpty())
            QDir().rename(ancien, cible);
        return Echec_Dossier(75, QStringLiteral("impossible de nommer le dossier d'envoi"), cible);
    }
    temporaire.setAutoRemove(false);
    if (!ancien.isEmpty())
        QDir(ancien).removeRecursively();
    FichierLog::Synchroniser_Dossier(cible);
    return {cible, QString()};
}

} // namespace Dossier_Envoi
