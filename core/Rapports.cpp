#include "Rapports.h"

#include "Enregistrement.h"
#include "Series_Saison.h"
#include "Texte1252.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <vector>

using Enregistrement::Champ;

namespace Rapports {

QString Texte_Points(int points)
{
    return points < 0 ? QString::number(points) : QLatin1Char(' ') + QString::number(points);
}

QSet<QString> References_Du_Log(const QByteArray& contenuLog)
{
    QSet<QString> references;
    Texte1252::Pour_Chaque_Ligne(contenuLog, [&](QByteArrayView ligne) {
        const QByteArrayView reference = Enregistrement::Champ_Octets(ligne, Enregistrement::Place_Reference);
        if (reference.size() == Enregistrement::Place_Reference.largeur)
            references.insert(Texte1252::Decoder(reference).toUpper());
    });
    return references;
}

Recapitulatif Compter(const QByteArray& contenuLog)
{
    // The summary's rules are the season's: a "*" QSO counts in its type and its departement,
    // and scores nothing yet. The two operator types and unknown texts have no box.
    const Series_Saison::Bilan b = Series_Saison::Calculer_Bilan(contenuLog);
    Recapitulatif r;
    r.Nb_CC = b.par_type[0];
    r.Nb_CR = b.par_type[1];
    r.Nb_RC = b.par_type[2];
    r.Nb_CA = b.par_type[3];
    r.Nb_AR = b.par_type[4];
    r.Nb_RA = b.par_type[5];
    r.Nb_DO = b.par_type[8];
    r.Nb_Dpt = b.departements;
    r.Points = b.points;
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
    ligne += Champ(ligneLog, Enregistrement::Place_Marque_Reference);
    ligne += QLatin1String("  ");
    ligne += Champ(ligneLog, Enregistrement::Place_Type);
    ligne += QLatin1String("  ");
    ligne += Champ(ligneLog, Enregistrement::Place_Date);
    ligne += QLatin1String("  ");
    ligne += Champ(ligneLog, Enregistrement::Place_Indicatif);
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

// Each byte of the log's character set ranked by its decoded, case-folded character: comparing
// ranks is comparing the decoded lines with QString::compare(..., Qt::CaseInsensitive), a byte
// at a time, and bytes that fold alike share a rank.
const std::array<uchar, 256>& Rang_Octets()
{
    static const std::array<uchar, 256> table = [] {
        std::array<char16_t, 256> plie{};
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString p = Texte1252::Decoder(QByteArrayView(&c, 1)).toCaseFolded();
            plie[size_t(b)] = p.isEmpty() ? char16_t(0) : char16_t(p.at(0).unicode());
        }
        std::array<char16_t, 256> tries = plie;
        std::sort(tries.begin(), tries.end());
        std::array<uchar, 256> rang{};
        for (int b = 0; b < 256; ++b) {
            // Dense rank: the number of distinct folded characters below this one.
            int r = 0;
            for (int i = 1; i < 256 && tries[size_t(i)] <= plie[size_t(b)]; ++i)
                if (tries[size_t(i)] != tries[size_t(i - 1)])
                    ++r;
            rang[size_t(b)] = uchar(r);
        }
        return rang;
    }();
    return table;
}

// Asks for memory that will be read soon.
inline void Prevenir(const void* adresse)
{
#if defined(Q_CC_GNU) || defined(Q_CC_CLANG)
    __builtin_prefetch(adresse);
#else
    Q_UNUSED(adresse);
#endif
}

// The first position from k on where two byte strings differ, m if none before m.
quint32 Premier_Ecart(const uchar* x, const uchar* y, quint32 k, quint32 m)
{
    for (; k + 8 <= m; k += 8) {
        const quint64 a = qFromLittleEndian<quint64>(x + k), b = qFromLittleEndian<quint64>(y + k);
        if (a != b)
            return k + quint32(qCountTrailingZeroBits(a ^ b) / 8);
    }
    while (k < m && x[k] == y[k])
        ++k;
    return k;
}

void Copier(char*& c, QByteArrayView v)
{
    if (!v.isEmpty())
        memcpy(c, v.data(), size_t(v.size()));
    c += v.size();
}

} // namespace

QString Liste_Contactes::Ligne(qsizetype i) const
{
    return Texte1252::Decoder(QByteArrayView(octets.constData() + debuts.at(i), longueurs.at(i)));
}

Liste_Contactes Contactes(const QByteArray& contenuLog)
{
    // The lines in file order, one after another in one block, written in place: a line of the
    // list is never longer than 1 + 6 + 2 + 22 + 2 + 8 + 2 + 12 + 2 + 2 characters.
    constexpr qsizetype Longueur_Max = 60;
    qsizetype maxLignes = 1;
    for (const char *p = contenuLog.constData(), *fin = p + contenuLog.size();
         (p = static_cast<const char*>(memchr(p, '\n', size_t(fin - p)))) != nullptr; ++p)
        ++maxLignes;
    QByteArray brut(maxLignes * Longueur_Max, Qt::Uninitialized);
    char* const debutBrut = brut.data();
    char* c = debutBrut;

    // Sorted as the list box sorts, case ignored. The first eight ranks (the blank, the mark
    // and the reference) make one number that settles most comparisons. Each key also says where
    // its line lies and how long it is, so that sorting never looks elsewhere for them; the
    // place settles the ties, since lines are written in file order, and lines equal but for
    // case keep that order.
    const auto& rang = Rang_Octets();
    const uchar* const base = reinterpret_cast<const uchar*>(debutBrut);
    struct Cle { quint64 tete; quint32 debut; quint8 longueur; };
    std::vector<Cle> cles;
    cles.reserve(size_t(maxLignes));
    Texte1252::Pour_Chaque_Ligne(contenuLog, [&](QByteArrayView r) {
        char* const ligne = c;
        *c++ = ' ';
        Copier(c, Enregistrement::Champ_Octets(r, Enregistrement::Place_Marque_Reference));
        Copier(c, "  ");
        Copier(c, Enregistrement::Champ_Octets(r, Enregistrement::Place_Type));
        Copier(c, "  ");
        Copier(c, Enregistrement::Champ_Octets(r, Enregistrement::Place_Date));
        Copier(c, "  ");
        Copier(c, Enregistrement::Champ_Octets(r, Enregistrement::Place_Indicatif));
        Copier(c, "  ");
        *c++ = ' ';
        // Points are 0 to 6: one digit.
        const int points = Series_Saison::Points_Octets(r.first(qMin<qsizetype>(r.size(), Enregistrement::Longueur_Ligne_Log)));
        *c++ = char('0' + points);
        // A line is never shorter than eight: the blank, the mark and the reference come first.
        quint64 tete = 0;
        for (int k = 0; k < 8; ++k)
            tete = (tete << 8) | quint64(rang[uchar(ligne[k])]);
        cles.push_back({tete, quint32(ligne - debutBrut), quint8(c - ligne)});
    });
    const size_t n = cles.size();

    // The heads in order by a stable radix sort, a byte at a time from the last, bytes that
    // every line shares skipped; only lines alike in their head are then compared whole.
    std::vector<Cle> tampon(n);
    for (int octet = 0; octet < 8 && n > 1; ++octet) {
        const int decalage = 8 * octet;
        std::array<size_t, 257> compte{};
        for (const Cle& k : cles)
            ++compte[size_t((k.tete >> decalage) & 0xFF) + 1];
        if (compte[size_t((cles[0].tete >> decalage) & 0xFF) + 1] == n)
            continue;
        for (size_t i = 0; i < 256; ++i)
            compte[i + 1] += compte[i];
        for (const Cle& k : cles)
            tampon[compte[size_t((k.tete >> decalage) & 0xFF)]++] = k;
        cles.swap(tampon);
    }
    tampon = std::vector<Cle>();
    auto avant = [&](const Cle& a, const Cle& b) {
        if (a.tete != b.tete)
            return a.tete < b.tete;
        const uchar* x = base + a.debut;
        const uchar* y = base + b.debut;
        const quint32 m = qMin(a.longueur, b.longueur);
        // Equal heads: the first eight ranks are alike. Equal bytes have equal ranks, so runs of
        // equal bytes are skipped eight at a time and ranks are looked up only where the bytes
        // differ (a letter and its capital may still tie).
        for (quint32 k = Premier_Ecart(x, y, 8, m); k < m; k = Premier_Ecart(x, y, k + 1, m))
            if (rang[x[k]] != rang[y[k]])
                return rang[x[k]] < rang[y[k]];
        if (a.longueur != b.longueur)
            return a.longueur < b.longueur;
        return a.debut < b.debut;
    };
    // Lines alike in their head lie anywhere in the block: the lines of the groups a little
    // further on are asked of memory while this group is sorted, so as not to wait for each.
    constexpr size_t Avance = 32;
    size_t prevenu = 0;
    auto dans_un_groupe = [&](size_t p) {
        return (p > 0 && cles[p].tete == cles[p - 1].tete) || (p + 1 < n && cles[p].tete == cles[p + 1].tete);
    };
    for (size_t debut = 0; debut < n;) {
        size_t fin = debut + 1;
        while (fin < n && cles[fin].tete == cles[debut].tete)
            ++fin;
        for (; prevenu < qMin(n, fin + Avance); ++prevenu)
            if (dans_un_groupe(prevenu))
                Prevenir(base + cles[prevenu].debut);
        if (fin - debut > 1)
            std::sort(cles.begin() + qsizetype(debut), cles.begin() + qsizetype(fin), avant);
        debut = fin;
    }

    // The lines stay where they were written; only their order is kept, so that a long log is
    // never held twice.
    Liste_Contactes liste;
    liste.debuts.reserve(qsizetype(n));
    liste.longueurs.reserve(qsizetype(n));
    for (const Cle& k : cles) {
        liste.debuts.append(k.debut);
        liste.longueurs.append(k.longueur);
    }
    cles = std::vector<Cle>();
    brut.truncate(c - debutBrut);
    brut.squeeze();
    liste.octets = std::move(brut);
    return liste;
}

QList<QByteArray> Rapport_Octets(const QByteArray& contenuLog, const QString& indicatif, const QString& annee,
                                 const QString& dateLongue, const QString& total, const QString& credit)
{
    QList<QByteArray> blocs;
    QByteArray bloc;
    bool blocVide = true; // no line yet in this block (an empty line is a line)
    auto ajouter = [&](QByteArrayView ligne) {
        if (!blocVide && bloc.size() + ligne.size() > (1 << 16)) {
            blocs.append(bloc);
            bloc = QByteArray();
            blocVide = true;
        }
        if (blocVide)
            bloc.reserve((1 << 16) + 128);
        else
            bloc += "\r\n";
        bloc += ligne;
        blocVide = false;
    };
    ajouter(Texte1252::Encoder(Titre_Rapport(indicatif, annee, dateLongue)));
    ajouter({});
    ajouter(Texte1252::Encoder(Entete_Rapport()));
    ajouter({});
    int numero = 1;
    // One line's bytes, its memory kept from line to line; numbers written without allocating.
    QByteArray ligne;
    auto chiffres = [&](int valeur, int largeur) {
        char tampon[16];
        const auto fin = std::to_chars(tampon, tampon + sizeof tampon, valeur).ptr;
        for (qsizetype i = fin - tampon; i < largeur; ++i)
            ligne += ' ';
        ligne.append(tampon, fin - tampon);
    };
    Texte1252::Pour_Chaque_Ligne(contenuLog, [&](QByteArrayView r) {
        ligne.resize(0);
        ligne += "  ";
        chiffres(numero++, 5);
        ligne += "   ";
        ligne += r;
        ligne += "  ";
        // " 3", "-1": a blank where a number has no sign.
        const int points = Series_Saison::Points_Octets(r.first(qMin<qsizetype>(r.size(), Enregistrement::Longueur_Ligne_Log)));
        if (points >= 0)
            ligne += ' ';
        chiffres(points, 0);
        ajouter(ligne);
    });
    ajouter({});
    ajouter(Texte1252::Encoder(Ligne_Total_Rapport(total)));
    ajouter({});
    ajouter(Texte1252::Encoder(credit));
    blocs.append(bloc);
    return blocs;
}

} // namespace Rapports
