#include "Rapports.h"

#include "Enregistrement.h"
#include "Texte1252.h"

#include <algorithm>
#include <vector>

using Enregistrement::Champ;

namespace Rapports {

QString Texte_Points(int points)
{
    return points < 0 ? QString::number(points) : QLatin1Char(' ') + QString::number(points);
}

Recapitulatif Compter(const QList<QByteArray>& lignesLog)
{
    Recapitulatif r;
    // 111 flags as the original table has; a two-character code never goes past 99.
    bool drapeaux[111] = {};
    for (const QByteArray& octets : lignesLog) {
        // Only the first 53 characters carry fields: a damaged long line costs nothing more.
        const QString ligne = Texte1252::Decoder(Texte1252::Morceau(octets, 0, Enregistrement::Longueur_Ligne_Log));
        const int numero = Enregistrement::Numero_Departement(Champ(ligne, 11, 2));
        if (numero >= 0 && numero <= 110)
            drapeaux[numero] = true;
        const int index = Enregistrement::Index_Du_Type(Enregistrement::Champ_Nettoye(ligne, 18, Enregistrement::Largeur_Type));
        switch (index) {
        case 0: ++r.Nb_CC; break;
        case 1: ++r.Nb_CR; break;
        case 2: ++r.Nb_RC; break;
        case 3: ++r.Nb_CA; break;
        case 4: ++r.Nb_AR; break;
        case 5: ++r.Nb_RA; break;
        case 8: ++r.Nb_DO; break;
        default: break; // the two operator types and unknown texts have no box
        }
        r.Points += Enregistrement::Points_Ligne(ligne);
    }
    for (int i = 1; i <= 110; ++i)
        if (drapeaux[i])
            ++r.Nb_Dpt;
    return r;
}

QString Entete_Contactes()
{
    return QStringLiteral(" KVRT") + QString(10, u' ') + QStringLiteral("Type activité") + QString(25, u' ')
        + QStringLiteral("Date") + QString(10, u' ') + QStringLiteral("Indicatif") + QString(12, u' ')
        + QStringLiteral("Points");
}

QString Ligne_Contacte(QStringView ligneLog, int points)
{
    QString ligne;
    ligne.reserve(60);
    ligne += u' ';
    ligne += Champ(ligneLog, 10, 6);
    ligne += QLatin1String("  ");
    ligne += Champ(ligneLog, 18, Enregistrement::Largeur_Type);
    ligne += QLatin1String("  ");
    ligne += Champ(ligneLog, 1, Enregistrement::Largeur_Date);
    ligne += QLatin1String("  ");
    ligne += Champ(ligneLog, 42, Enregistrement::Largeur_Indicatif);
    ligne += QLatin1String("  ");
    ligne += Texte_Points(points);
    return ligne;
}

QString Ligne_Total_Contactes(const QString& total)
{
    return QString(16, u' ') + QStringLiteral("Total des points : ") + total;
}

void Trier_Contactes(QStringList& lignes)
{
    // Each line is folded once: comparing folded texts character by character is what
    // QString::compare(a, b, Qt::CaseInsensitive) does, without folding again at every
    // comparison of a long log. Stable, so that lines equal but for case keep their file order.
    struct Cle { QString pliee; qsizetype index; };
    std::vector<Cle> cles;
    cles.reserve(size_t(lignes.size()));
    for (qsizetype i = 0; i < lignes.size(); ++i)
        cles.push_back({lignes.at(i).toCaseFolded(), i});
    std::stable_sort(cles.begin(), cles.end(), [](const Cle& a, const Cle& b) { return a.pliee < b.pliee; });
    QStringList triees;
    triees.reserve(lignes.size());
    for (const Cle& c : cles)
        triees.append(std::move(lignes[c.index]));
    lignes = std::move(triees);
}

QString Titre_Rapport(const QString& indicatif, const QString& annee, const QString& dateLongue)
{
    return QString(12, u' ') + indicatif + QStringLiteral(" Challenge ") + annee
        + QStringLiteral("    Chateaux contactés au ") + dateLongue;
}

QString Entete_Rapport()
{
    return QString(5, u' ') + QStringLiteral("N°") + QString(6, u' ') + QStringLiteral("Date") + QString(3, u' ')
        + QStringLiteral("KVRT") + QString(5, u' ') + QStringLiteral("Type d'activité") + QString(7, u' ')
        + QStringLiteral("Indicatif") + QString(3, u' ') + QStringLiteral("Points");
}

QString Ligne_Rapport(int numero, QStringView ligneLog, int points)
{
    // Made at its exact size: the report holds one such line per QSO.
    const QString nombre = QString::number(numero).rightJustified(5, u' ');
    const QString pts = Texte_Points(points);
    QString ligne;
    ligne.reserve(2 + nombre.size() + 3 + ligneLog.size() + 2 + pts.size());
    ligne += QLatin1String("  ");
    ligne += nombre;
    ligne += QLatin1String("   ");
    ligne += ligneLog;
    ligne += QLatin1String("  ");
    ligne += pts;
    return ligne;
}

QString Ligne_Total_Rapport(const QString& total)
{
    return QString(29, u' ') + QStringLiteral("Total des points : ") + total;
}

QStringList Rapport(const QList<QByteArray>& lignesLog, const QString& indicatif, const QString& annee,
                    const QString& dateLongue, const QString& total, const QString& credit)
{
    QStringList rapport;
    rapport.reserve(lignesLog.size() + 8);
    rapport << Titre_Rapport(indicatif, annee, dateLongue) << QString() << Entete_Rapport() << QString();
    int numero = 1;
    for (const QByteArray& octets : lignesLog) {
        // The record goes whole into the report, as the log holds it.
        const QString ligne = Texte1252::Decoder(octets);
        rapport << Ligne_Rapport(numero, ligne, Enregistrement::Points_Ligne(ligne));
        ++numero;
    }
    rapport << QString() << Ligne_Total_Rapport(total) << QString() << credit;
    return rapport;
}

QString Nom_Export(const QString& indicatif, const QString& annee, const QString& dateLongue)
{
    return indicatif + QStringLiteral("_Challenge_KVRT_") + annee + u'_' + dateLongue.mid(0, 2) + u'_'
        + dateLongue.mid(3, 2) + u'_' + dateLongue.right(2) + QStringLiteral(".txt");
}

} // namespace Rapports
