#include "Rapports.h"

#include "Enregistrement.h"
#include "Series_Saison.h"
#include "Texte1252.h"

#include <algorithm>
#include <array>
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

namespace Rapports {

namespace {

void Ajouter_Points(QByteArray& ligne, int points)
{
    if (points >= 0)
        ligne += ' ';
    ligne += QByteArray::number(points);
}

// Each byte of the log's character set, decoded and case-folded: comparing these is comparing
// the decoded lines with QString::compare(..., Qt::CaseInsensitive), a byte at a time.
const std::array<char16_t, 256>& Pli_Octets()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString plie = Texte1252::Decoder(QByteArrayView(&c, 1)).toCaseFolded();
            t[size_t(b)] = plie.isEmpty() ? char16_t(0) : char16_t(plie.at(0).unicode());
        }
        return t;
    }();
    return table;
}

} // namespace

QString Liste_Contactes::Ligne(qsizetype i) const
{
    return Texte1252::Decoder(QByteArrayView(octets.constData() + debuts.at(i), debuts.at(i + 1) - debuts.at(i)));
}

Liste_Contactes Contactes(const QByteArray& contenuLog)
{
    // The lines in file order, one after another in one block.
    QByteArray brut;
    brut.reserve(contenuLog.size() / 55 * 62 + 64);
    std::vector<qsizetype> debuts;
    debuts.reserve(size_t(contenuLog.size() / 55 + 2));
    QByteArray ligne;
    Texte1252::Pour_Chaque_Ligne(contenuLog, [&](QByteArrayView r) {
        debuts.push_back(brut.size());
        brut += ' ';
        brut += Texte1252::Morceau(r, 9, 6);
        brut += "  ";
        brut += Texte1252::Morceau(r, 17, Enregistrement::Largeur_Type);
        brut += "  ";
        brut += Texte1252::Morceau(r, 0, Enregistrement::Largeur_Date);
        brut += "  ";
        brut += Texte1252::Morceau(r, 41, Enregistrement::Largeur_Indicatif);
        brut += "  ";
        Ajouter_Points(brut, Series_Saison::Points_Octets(r.first(qMin<qsizetype>(r.size(), Enregistrement::Longueur_Ligne_Log))));
    });
    debuts.push_back(brut.size());
    const size_t n = debuts.size() - 1;

    // Sorted as the list box sorts, case ignored; stable, so that lines equal but for case
    // keep their file order.
    const auto& pli = Pli_Octets();
    const char* const base = brut.constData();
    std::vector<quint32> ordre(n);
    for (size_t i = 0; i < n; ++i)
        ordre[i] = quint32(i);
    std::stable_sort(ordre.begin(), ordre.end(), [&](quint32 a, quint32 b) {
        const uchar* x = reinterpret_cast<const uchar*>(base + debuts[a]);
        const uchar* y = reinterpret_cast<const uchar*>(base + debuts[b]);
        const qsizetype nx = debuts[a + 1] - debuts[a], ny = debuts[b + 1] - debuts[b];
        const qsizetype m = qMin(nx, ny);
        for (qsizetype k = 0; k < m; ++k) {
            if (x[k] == y[k])
                continue;
            const char16_t cx = pli[x[k]], cy = pli[y[k]];
            if (cx != cy)
                return cx < cy;
        }
        return nx < ny;
    });

    Liste_Contactes liste;
    liste.octets.reserve(brut.size());
    liste.debuts.reserve(qsizetype(n) + 1);
    for (quint32 i : ordre) {
        liste.debuts.append(liste.octets.size());
        liste.octets.append(base + debuts[i], debuts[i + 1] - debuts[i]);
    }
    liste.debuts.append(liste.octets.size());
    return liste;
}

QList<QByteArray> Rapport_Octets(const QByteArray& contenuLog, const QString& indicatif, const QString& annee,
                                 const QString& dateLongue, const QString& total, const QString& credit)
{
    QList<QByteArray> rapport;
    rapport.reserve(contenuLog.size() / 55 + 10);
    rapport << Texte1252::Encoder(Titre_Rapport(indicatif, annee, dateLongue)) << QByteArray()
            << Texte1252::Encoder(Entete_Rapport()) << QByteArray();
    int numero = 1;
    Texte1252::Pour_Chaque_Ligne(contenuLog, [&](QByteArrayView r) {
        QByteArray ligne;
        ligne.reserve(r.size() + 16);
        ligne += "  ";
        const QByteArray chiffres = QByteArray::number(numero++);
        for (qsizetype i = chiffres.size(); i < 5; ++i)
            ligne += ' ';
        ligne += chiffres;
        ligne += "   ";
        ligne += r;
        ligne += "  ";
        Ajouter_Points(ligne, Series_Saison::Points_Octets(r.first(qMin<qsizetype>(r.size(), Enregistrement::Longueur_Ligne_Log))));
        rapport << ligne;
    });
    rapport << QByteArray() << Texte1252::Encoder(Ligne_Total_Rapport(total)) << QByteArray() << Texte1252::Encoder(credit);
    return rapport;
}

} // namespace Rapports
