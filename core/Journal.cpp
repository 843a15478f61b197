#include "Journal.h"

#include "Texte1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace Journal {

// ---------------------------------------------------------------------------------------
// Checksum

namespace {

constexpr quint64 P1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 P2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 P3 = 0x165667B19E3779F9ULL;
constexpr quint64 P4 = 0x85EBCA77C2B2AE63ULL;

inline quint64 Rot(quint64 x, int r) { return (x << r) | (x >> (64 - r)); }
inline quint64 Tour(quint64 v, quint64 mot) { return Rot(v + mot * P2, 31) * P1; }
inline quint64 Mot(const unsigned char* p)
{
    quint64 m;
    std::memcpy(&m, p, 8);
    return qFromLittleEndian(m);
}
inline quint64 Melanger(quint64 h)
{
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    h ^= h >> 32;
    return h;
}

} // namespace

Empreinte::Empreinte()
{
    m_voies[0] = P1 + P2;
    m_voies[1] = P2;
    m_voies[2] = 0;
    m_voies[3] = 0 - P1;
    std::memset(m_reste, 0, sizeof m_reste);
}

void Empreinte::Ajouter(QByteArrayView octets)
{
    if (m_resume) {
        // A summary cannot be carried on: no file's length is negative.
        m_longueur = -1;
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(octets.data());
    qsizetype n = octets.size();
    m_longueur += n;
    if (m_nbReste > 0) {
        const int pris = int(qMin<qsizetype>(n, 32 - m_nbReste));
        std::memcpy(m_reste + m_nbReste, p, size_t(pris));
        m_nbReste += pris;
        p += pris;
        n -= pris;
        if (m_nbReste < 32)
            return;
        for (int i = 0; i < 4; ++i)
            m_voies[i] = Tour(m_voies[i], Mot(m_reste + 8 * i));
        m_nbReste = 0;
    }
    // Four independent lanes, so that the processor works on them side by side.
    quint64 v0 = m_voies[0], v1 = m_voies[1], v2 = m_voies[2], v3 = m_voies[3];
    while (n >= 32) {
        v0 = Tour(v0, Mot(p));
        v1 = Tour(v1, Mot(p + 8));
        v2 = Tour(v2, Mot(p + 16));
        v3 = Tour(v3, Mot(p + 24));
        p += 32;
        n -= 32;
    }
    m_voies[0] = v0;
    m_voies[1] = v1;
    m_voies[2] = v2;
    m_voies[3] = v3;
    if (n > 0) {
        std::memcpy(m_reste, p, size_t(n));
        m_nbReste = int(n);
    }
}

quint64 Empreinte::Valeur() const
{
    if (m_resume)
        return m_valeur;
    quint64 h = Rot(m_voies[0], 1) + Rot(m_voies[1], 7) + Rot(m_voies[2], 12) + Rot(m_voies[3], 18);
    for (int i = 0; i < 4; ++i)
        h = (h ^ Tour(0, m_voies[i])) * P1 + P4;
    h += quint64(m_longueur);
    for (int i = 0; i < m_nbReste; ++i)
        h = Rot(h ^ (quint64(m_reste[i]) * P3), 11) * P1;
    return Melanger(h);
}

Empreinte Empreinte::Resume() const
{
    Empreinte r;
    r.m_resume = true;
    r.m_valeur = Valeur();
    r.m_longueur = m_longueur;
    return r;
}

QByteArray Empreinte::Texte() const
{
    if (m_resume)
        return QByteArray::number(m_valeur, 16) + '.' + QByteArray::number(m_longueur);
    QByteArray t;
    for (int i = 0; i < 4; ++i)
        t += QByteArray::number(m_voies[i], 16) + '.';
    t += QByteArray::number(m_longueur) + '.';
    t += QByteArray(reinterpret_cast<const char*>(m_reste), m_nbReste).toHex();
    return t;
}

bool Empreinte::Depuis_Texte(QByteArrayView texte, Empreinte& e)
{
    const QList<QByteArray> parties = texte.toByteArray().split('.');
    if (parties.size() == 2) {
        // A summary, written in one way only, so that its line is written again byte for byte.
        Empreinte r;
        bool okV = false, okL = false;
        r.m_resume = true;
        r.m_valeur = parties.at(0).toULongLong(&okV, 16);
        r.m_longueur = parties.at(1).toLongLong(&okL);
        if (!okV || !okL || r.m_longueur < 0 || r.Texte() != texte)
            return false;
        e = r;
        return true;
    }
    if (parties.size() != 6)
        return false;
    Empreinte r;
    bool ok = true;
    for (int i = 0; i < 4 && ok; ++i)
        r.m_voies[i] = parties.at(i).toULongLong(&ok, 16);
    if (!ok)
        return false;
    r.m_longueur = parties.at(4).toLongLong(&ok);
    const QByteArray reste = QByteArray::fromHex(parties.at(5));
    if (!ok || r.m_longueur < 0 || reste.size() >= 32 || reste.toHex() != parties.at(5)
        || r.m_longueur % 32 != reste.size())
        return false;
    std::memcpy(r.m_reste, reste.constData(), size_t(reste.size()));
    r.m_nbReste = int(reste.size());
    e = r;
    return true;
}

bool Empreinte::operator==(const Empreinte& autre) const
{
    if (m_resume || autre.m_resume)
        return m_longueur == autre.m_longueur && Valeur() == autre.Valeur();
    return m_longueur == autre.m_longueur && m_nbReste == autre.m_nbReste
        && std::memcmp(m_voies, autre.m_voies, sizeof m_voies) == 0
        && std::memcmp(m_reste, autre.m_reste, size_t(m_nbReste)) == 0;
}

Empreinte Empreinte_De(QByteArrayView octets)
{
    Empreinte e;
    e.Ajouter(octets);
    return e;
}

// ---------------------------------------------------------------------------------------
// Differences

namespace {

// The lines of a file with their own line ends, as spans of its bytes.
struct Ligne
{
    qsizetype debut;
    qsizetype longueur;
};

std::vector<Ligne> Lignes(QByteArrayView octets)
{
    std::vector<Ligne> lignes;
    lignes.reserve(size_t(octets.size() / 55 + 1));
    const char* d = octets.data();
    const qsizetype n = octets.size();
    qsizetype debut = 0;
    while (debut < n) {
        const void* fin = std::memchr(d + debut, '\n', size_t(n - debut));
        const qsizetype suivant = fin ? static_cast<const char*>(fin) - d + 1 : n;
        lignes.push_back({debut, suivant - debut});
        debut = suivant;
    }
    return lignes;
}

} // namespace

QList<Bloc> Differences(QByteArrayView ancienEntier, QByteArrayView nouveauEntier, qsizetype dejaEgaux)
{
    QList<Bloc> blocs;
    if (ancienEntier == nouveauEntier)
        return blocs;
    // The bytes alike at both ends are set aside first, whole lines only: most changes touch
    // a line or two of a long log, and only the stretch between is cut into lines.
    const qsizetype na0 = ancienEntier.size(), nb0 = nouveauEntier.size();
    const qsizetype commun = qMin(na0, nb0);
    qsizetype p = qBound<qsizetype>(0, dejaEgaux, commun);
    while (p < commun) {
        const qsizetype pas = qMin<qsizetype>(4096, commun - p);
        if (std::memcmp(ancienEntier.data() + p, nouveauEntier.data() + p, size_t(pas)) != 0)
            break;
        p += pas;
    }
    while (p < commun && ancienEntier[p] == nouveauEntier[p])
        ++p;
    const qsizetype tete = p == 0 ? 0 : ancienEntier.first(p).lastIndexOf('\n') + 1;
    qsizetype s = 0;
    const qsizetype maxS = qMin(na0, nb0) - tete;
    while (s + 4096 <= maxS
           && std::memcmp(ancienEntier.data() + na0 - s - 4096, nouveauEntier.data() + nb0 - s - 4096, 4096) == 0)
        s += 4096;
    while (s < maxS && ancienEntier[na0 - 1 - s] == nouveauEntier[nb0 - 1 - s])
        ++s;
    qsizetype queueA = na0 - s;
    if (queueA > tete && ancienEntier[queueA - 1] != '\n') {
        const qsizetype nl = ancienEntier.indexOf('\n', queueA);
        queueA = nl < 0 ? na0 : nl + 1;
    }
    const qsizetype queueB = queueA - na0 + nb0;
    const QByteArrayView ancien = ancienEntier.sliced(tete, queueA - tete);
    const QByteArrayView nouveau = nouveauEntier.sliced(tete, queueB - tete);

    const std::vector<Ligne> a = Lignes(ancien);
    const std::vector<Ligne> b = Lignes(nouveau);
    auto egal = [&](qsizetype i, qsizetype j) {
        const Ligne& la = a[size_t(i)];
        const Ligne& lb = b[size_t(j)];
        return la.longueur == lb.longueur
            && std::memcmp(ancien.data() + la.debut, nouveau.data() + lb.debut, size_t(la.longueur)) == 0;
    };
    qsizetype debut = 0;
    const qsizetype na = qsizetype(a.size()), nb = qsizetype(b.size());
    while (debut < na && debut < nb && egal(debut, debut))
        ++debut;
    qsizetype finA = na, finB = nb;
    while (finA > debut && finB > debut && egal(finA - 1, finB - 1)) {
        --finA;
        --finB;
    }
    const qsizetype N = finA - debut, M = finB - debut;

    auto position = [&](qsizetype i) { return i < na ? a[size_t(i)].debut : ancien.size(); };
    auto octetsA = [&](qsizetype i, qsizetype j) {
        return ancien.sliced(position(i), position(j) - position(i)).toByteArray();
    };
    auto positionB = [&](qsizetype j) { return j < nb ? b[size_t(j)].debut : nouveau.size(); };
    auto octetsB = [&](qsizetype i, qsizetype j) {
        return nouveau.sliced(positionB(i), positionB(j) - positionB(i)).toByteArray();
    };

    // Operations on the middle, as (old line, new line) steps: the shortest edit script by
    // Myers' method, its cost bounded; a change too large is one block, which is as exact.
    const qsizetype maxD = 500;
    std::vector<std::vector<qsizetype>> traces;
    qsizetype D = -1;
    if (N > 0 && M > 0) {
        const qsizetype borne = qMin(N + M, maxD);
        std::vector<qsizetype> V(size_t(2 * borne + 3), 0);
        const qsizetype decal = borne + 1;
        for (qsizetype d = 0; d <= borne && D < 0; ++d) {
            for (qsizetype k = -d; k <= d; k += 2) {
                qsizetype x;
                if (k == -d || (k != d && V[size_t(decal + k - 1)] < V[size_t(decal + k + 1)]))
                    x = V[size_t(decal + k + 1)];
                else
                    x = V[size_t(decal + k - 1)] + 1;
                qsizetype y = x - k;
                while (x < N && y < M && egal(debut + x, debut + y)) {
                    ++x;
                    ++y;
                }
                V[size_t(decal + k)] = x;
                if (x >= N && y >= M) {
                    D = d;
                    break;
                }
            }
            traces.emplace_back(V.begin() + (decal - d), V.begin() + (decal + d + 1));
        }
    }

    struct Pas { bool supprime; qsizetype i; qsizetype j; };
    std::vector<Pas> pas; // in reverse order
    if (N == 0 || M == 0) {
        for (qsizetype i = N - 1; i >= 0; --i)
            pas.push_back({true, i, 0});
        for (qsizetype j = M - 1; j >= 0; --j)
            pas.push_back({false, N, j});
    } else if (D < 0) {
        for (qsizetype j = M - 1; j >= 0; --j)
            pas.push_back({false, N, j});
        for (qsizetype i = N - 1; i >= 0; --i)
            pas.push_back({true, i, 0});
    } else {
        qsizetype x = N, y = M;
        for (qsizetype d = D; d > 0; --d) {
            const std::vector<qsizetype>& P = traces[size_t(d - 1)];
            auto Vp = [&](qsizetype k) { return P[size_t(k + (d - 1))]; };
            const qsizetype k = x - y;
            const bool bas = k == -d || (k != d && Vp(k - 1) < Vp(k + 1));
            const qsizetype kp = bas ? k + 1 : k - 1;
            const qsizetype xp = Vp(kp);
            const qsizetype yp = xp - kp;
            if (bas)
                pas.push_back({false, xp, yp});  // new line yp comes before old line xp
            else
                pas.push_back({true, xp, 0});    // old line xp goes
            x = xp;
            y = yp;
        }
    }
    // Steps in order, grouped into blocks at each old position.
    Bloc courant;
    qsizetype finCourant = -1; // old line index after the current block
    bool ouvert = false;
    auto fermer = [&]() {
        if (ouvert)
            blocs.append(courant);
        ouvert = false;
    };
    for (auto it = pas.rbegin(); it != pas.rend(); ++it) {
        const qsizetype i = debut + it->i;
        if (!ouvert || i != finCourant) {
            fermer();
            courant = Bloc();
            courant.position = tete + position(i);
            finCourant = i;
            ouvert = true;
        }
        if (it->supprime) {
            courant.retire += octetsA(i, i + 1);
            finCourant = i + 1;
        } else {
            courant.ajoute += octetsB(debut + it->j, debut + it->j + 1);
        }
    }
    fermer();
    return blocs;
}

bool Appliquer(QByteArrayView ancien, const QList<Bloc>& blocs, QByteArray& nouveau)
{
    qsizetype taille = ancien.size();
    for (const Bloc& b : blocs)
        taille += b.ajoute.size() - b.retire.size();
    QByteArray r;
    r.reserve(qMax<qsizetype>(taille, 0));
    qint64 lu = 0;
    for (const Bloc& b : blocs) {
        // Compared without a sum that could overflow on a damaged position.
        if (b.position < lu || b.position > ancien.size() || b.retire.size() > ancien.size() - b.position)
            return false;
        if (ancien.sliced(b.position, b.retire.size()) != QByteArrayView(b.retire))
            return false;
        r.append(ancien.sliced(lu, b.position - lu));
        r.append(b.ajoute);
        lu = b.position + b.retire.size();
    }
    r.append(ancien.sliced(lu));
    nouveau = std::move(r);
    return true;
}

QList<Bloc> Inverser(const QList<Bloc>& blocs)
{
    QList<Bloc> r;
    r.reserve(blocs.size());
    qint64 ecart = 0;
    for (const Bloc& b : blocs) {
        Bloc inverse;
        inverse.position = b.position + ecart;
        inverse.retire = b.ajoute;
        inverse.ajoute = b.retire;
        ecart += b.ajoute.size() - b.retire.size();
        r.append(inverse);
    }
    return r;
}

// ---------------------------------------------------------------------------------------
// Entries

namespace {

// No log comes near a terabyte; a number past it in a journal line is damage, and reading it
// as a position or a count would overflow the arithmetic that uses it.
constexpr qint64 Position_Maximale = qint64(1) << 40;

const char* Lettre(Genre g)
{
    switch (g) {
    case Genre::Modification: return "M";
    case Genre::Annulation: return "A";
    case Genre::Retablissement: return "R";
    case Genre::Retour: return "H";
    }
    return "M";
}

QByteArray Controle(QByteArrayView corps)
{
    return QByteArray::number(Empreinte_De(corps).Valeur(), 16).rightJustified(16, '0');
}

} // namespace

QString Nom_Genre(Genre g)
{
    switch (g) {
    case Genre::Modification: return QStringLiteral("modification");
    case Genre::Annulation: return QStringLiteral("annulation");
    case Genre::Retablissement: return QStringLiteral("rétablissement");
    case Genre::Retour: return QStringLiteral("retour à un état précédent");
    }
    return {};
}

QByteArray Encoder_Entree(const Entree& e)
{
    // One line of plain ASCII: tabs between the fields, the bytes of the log in base 64 so
    // that every byte value comes back, the operation in UTF-8 percent-encoded.
    QByteArray corps = "KVRT1\t" + QByteArray::number(e.numero) + '\t' + Lettre(e.genre) + '\t'
        + QByteArray::number(e.cible) + '\t' + e.utc.toUTC().toString(Qt::ISODate).toLatin1() + '\t'
        + e.operation.toUtf8().toPercentEncoding(" ") + '\t' + e.avant.Texte() + '\t' + e.apres.Texte() + '\t';
    bool premier = true;
    for (const Bloc& b : e.blocs) {
        if (!premier)
            corps += ';';
        premier = false;
        corps += QByteArray::number(b.position) + ':' + b.retire.toBase64() + ':' + b.ajoute.toBase64();
    }
    corps += '\t';
    return corps + Controle(corps) + '\n';
}

bool Decoder_Entree(QByteArrayView ligne, Entree& e)
{
    if (ligne.endsWith('\n'))
        ligne.chop(1);
    if (ligne.size() < 17)
        return false;
    const QByteArrayView corps = ligne.first(ligne.size() - 16);
    if (Controle(corps) != ligne.last(16))
        return false;
    const QList<QByteArray> champs = corps.toByteArray().split('\t');
    if (champs.size() != 10 || champs.at(0) != "KVRT1" || !champs.at(9).isEmpty())
        return false;
    Entree r;
    bool ok1 = false, ok2 = false;
    r.numero = champs.at(1).toLongLong(&ok1);
    r.cible = champs.at(3).toLongLong(&ok2);
    const QByteArray& g = champs.at(2);
    if (g == "M")
        r.genre = Genre::Modification;
    else if (g == "A")
        r.genre = Genre::Annulation;
    else if (g == "R")
        r.genre = Genre::Retablissement;
    else if (g == "H")
        r.genre = Genre::Retour;
    else
        return false;
    r.utc = QDateTime::fromString(QString::fromLatin1(champs.at(4)), Qt::ISODate);
    r.operation = QString::fromUtf8(QByteArray::fromPercentEncoding(champs.at(5)));
    if (!ok1 || !ok2 || r.numero < 1 || r.numero > Position_Maximale || r.cible < 0 || r.cible > Position_Maximale
        || !r.utc.isValid() || !Empreinte::Depuis_Texte(champs.at(6), r.avant)
        || !Empreinte::Depuis_Texte(champs.at(7), r.apres))
        return false;
    if (!champs.at(8).isEmpty()) {
        for (const QByteArray& morceau : champs.at(8).split(';')) {
            const QList<QByteArray> p = morceau.split(':');
            if (p.size() != 3)
                return false;
            Bloc b;
            bool ok = false;
            b.position = p.at(0).toLongLong(&ok);
            if (!ok || b.position < 0 || b.position > Position_Maximale)
                return false;
            const auto retire = QByteArray::fromBase64Encoding(p.at(1), QByteArray::AbortOnBase64DecodingErrors);
            const auto ajoute = QByteArray::fromBase64Encoding(p.at(2), QByteArray::AbortOnBase64DecodingErrors);
            if (!retire || !ajoute)
                return false;
            b.retire = *retire;
            b.ajoute = *ajoute;
            // Blocks come in order and never overlap, as Differences makes them.
            if (!r.blocs.isEmpty() && b.position < r.blocs.last().position + r.blocs.last().retire.size())
                return false;
            r.blocs.append(b);
        }
    }
    e = r;
    return true;
}

QString Chemin_Journal(const QString& cheminLog)
{
    return cheminLog + QStringLiteral(".journal");
}

Piles Calculer_Piles(const QList<Entree>& entrees)
{
    Piles p;
    for (const Entree& e : entrees) {
        switch (e.genre) {
        case Genre::Modification:
        case Genre::Retour:
            p.faites.append(e.numero);
            p.annulees.clear();
            break;
        case Genre::Annulation:
            if (!p.faites.isEmpty() && p.faites.last() == e.cible) {
                p.faites.removeLast();
                p.annulees.append(e.cible);
            } else {
                p.faites.clear();
                p.annulees.clear();
            }
            break;
        case Genre::Retablissement:
            if (!p.annulees.isEmpty() && p.annulees.last() == e.cible) {
                p.annulees.removeLast();
                p.faites.append(e.cible);
            } else {
                p.faites.clear();
                p.annulees.clear();
            }
            break;
        }
    }
    return p;
}

QStringList Lignes_Concernees(const Entree& e)
{
    QStringList r;
    for (const Bloc& b : e.blocs) {
        for (const QByteArray& l : Texte1252::Couper_Lignes(b.retire))
            r.append(QStringLiteral("- ") + Texte1252::Decoder(l));
        for (const QByteArray& l : Texte1252::Couper_Lignes(b.ajoute))
            r.append(QStringLiteral("+ ") + Texte1252::Decoder(l));
    }
    return r;
}

// ---------------------------------------------------------------------------------------
// The journal of one log

namespace {

ErreurFichier Erreur_Journal(int numero, const QString& chemin)
{
    ErreurFichier e;
    e.numero = numero;
    e.message = QStringLiteral("Erreur N° %1 : impossible d'écrire le journal des modifications\r\n%2\r\n(%3).")
                    .arg(numero)
                    .arg(QDir::toNativeSeparators(chemin), FichierLog::Cause(numero));
    return e;
}

int Numero_Errno(int e)
{
    if (e == ENOSPC)
        return 61;
    if (e == EACCES || e == EPERM || e == EROFS)
        return 70;
    return 57;
}

} // namespace

Journal_Log::Journal_Log(const QString& cheminLog) : m_cheminLog(cheminLog)
{
}

void Journal_Log::Oublier()
{
    m_etatVu.reset();
    m_piles.reset();
    m_charge = false;
    m_entrees.clear();
    m_tailleFichier = 0;
    m_reparer = false;
    m_abime = false;
}

Journal_Log::Etat_Fichier Journal_Log::Etat_Actuel() const
{
    const QFileInfo i(Chemin());
    Etat_Fichier e;
    e.existe = i.exists();
    if (e.existe) {
        e.taille = i.size();
        e.modifie = i.lastModified();
        e.change = i.metadataChangeTime();
    }
    return e;
}

void Journal_Log::Noter_Etat() const
{
    m_etatVu = Etat_Actuel();
}

bool Journal_Log::Charger() const
{
    if (m_charge)
        return true;
    m_entrees.clear();
    m_reparer = false;
    m_abime = false;
    m_tailleFichier = 0;
    m_etatVu.reset();
    m_piles.reset();
    // Taken before the reading: a write that comes between makes the next check read again.
    const Etat_Fichier etat = Etat_Actuel();
    QFile f(Chemin());
    if (!etat.existe) {
        m_charge = true;
        m_etatVu = etat;
        return true;
    }
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray contenu = f.readAll();
    qsizetype debut = 0;
    qsizetype bon = 0;
    while (debut < contenu.size()) {
        const qsizetype fin = contenu.indexOf('\n', debut);
        Entree e;
        const bool complete = fin >= 0;
        const QByteArrayView ligne(contenu.constData() + debut, (complete ? fin + 1 : contenu.size()) - debut);
        if (!complete || !Decoder_Entree(ligne, e)
            || (!m_entrees.isEmpty() && e.numero <= m_entrees.last().numero)) {
            // Only the last line can be torn by a crash; a damaged line before it is not ours.
            if (!complete || contenu.indexOf('\n', fin + 1) < 0)
                m_reparer = true;
            else
                m_abime = true;
            break;
        }
        m_entrees.append(e);
        debut = fin + 1;
        bon = debut;
    }
    m_tailleFichier = bon;
    m_charge = true;
    m_etatVu = etat;
    return true;
}

const QList<Entree>& Journal_Log::Entrees() const
{
    Charger();
    return m_entrees;
}

QString Journal_Log::Mettre_De_Cote()
{
    const QString base = Chemin() + QLatin1Char('.')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Within one second the names take a number past the highest there, never one freed by
    // the removal of older journals, so that their order stays the order they were made in.
    int dernier = 0;
    const QFileInfo infoBase(base);
    for (const QString& n : infoBase.dir().entryList({infoBase.fileName() + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        if (n == infoBase.fileName())
            dernier = qMax(dernier, 1);
        else if (n.startsWith(infoBase.fileName() + QLatin1Char('-')))
            dernier = qMax(dernier, QStringView(n).sliced(infoBase.fileName().size() + 1).toInt());
    }
    const QString nom = dernier == 0 ? base : base + QLatin1Char('-') + QString::number(dernier + 1);
    if (!QFile::rename(Chemin(), nom))
        return {};
    Elaguer_De_Cote();
    FichierLog::Synchroniser_Dossier(Chemin());
    Oublier();
    m_charge = true;
    Noter_Etat();
    m_misDeCote = nom;
    return nom;
}

void Journal_Log::Elaguer_De_Cote() const
{
    // Only the names this program gives a journal it sets aside, oldest first by their date
    // and their number; a copy the operator made under another name is never touched.
    const QFileInfo journal(Chemin());
    const QRegularExpression forme(QLatin1Char('^') + QRegularExpression::escape(journal.fileName())
                                   + QStringLiteral("\\.(\\d{8}-\\d{6})(?:-(\\d+))?$"));
    QList<std::pair<QString, int>> cles;
    QStringList noms;
    for (const QString& nom : journal.dir().entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch m = forme.match(nom);
        if (m.hasMatch()) {
            cles.append({m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt()});
            noms.append(nom);
        }
    }
    QList<qsizetype> ordre;
    for (qsizetype i = 0; i < noms.size(); ++i)
        ordre.append(i);
    std::sort(ordre.begin(), ordre.end(), [&](qsizetype a, qsizetype b) { return cles.at(a) < cles.at(b); });
    for (qsizetype i = 0; i + Gardes_De_Cote < ordre.size(); ++i)
        QFile::remove(journal.dir().filePath(noms.at(ordre.at(i))));
}

Journal_Log::Accord Journal_Log::Verifier(QByteArrayView contenuLog, QString* misDeCote)
{
    // The entries read stay while the file is as this object last read or wrote it: a
    // season's journal is then not decoded again at each undo. Anything else reads it again.
    const Etat_Fichier etat = Etat_Actuel();
    if (!m_charge || !m_etatVu || !(etat == *m_etatVu))
        Oublier();
    if (!etat.existe) {
        Oublier();
        m_charge = true;
        m_etatVu = etat;
        return Accord::Sans_Journal;
    }
    const bool lu = Charger();
    auto deCote = [&]() {
        const QString nom = Mettre_De_Cote();
        if (misDeCote)
            *misDeCote = nom;
        return Accord::Mis_De_Cote;
    };
    if (!lu || m_abime)
        return deCote();
    if (m_reparer) {
        // The torn line is the entry of a change that never began.
        if (!Compacter().ok())
            return deCote();
    }
    if (m_entrees.isEmpty())
        return Accord::Sans_Journal;
    const Empreinte vue = Empreinte_De(contenuLog);
    if (vue == m_entrees.last().apres)
        return Accord::Accord;
    if (vue == m_entrees.last().avant) {
        if (Retirer_Derniere().ok())
            return Accord::Reprise;
    }
    if (Append_Dechire(contenuLog)) {
        // A power cut during an append kept the first part of its line: the change never
        // completed and the list never showed it, so the log goes back to the state before.
        const qint64 avant = m_entrees.last().avant.Longueur();
        if (FichierLog::Reecrire_Octets(m_cheminLog, contenuLog.first(avant).toByteArray()).ok()
            && Retirer_Derniere().ok())
            return Accord::Reprise;
    }
    return deCote();
}

bool Journal_Log::Append_Dechire(QByteArrayView contenuLog) const
{
    if (m_entrees.isEmpty())
        return false;
    const Entree& e = m_entrees.last();
    if (e.blocs.size() != 1 || !e.blocs.first().retire.isEmpty())
        return false;
    const Bloc& b = e.blocs.first();
    const qint64 avant = e.avant.Longueur();
    if (b.position != avant || contenuLog.size() <= avant || contenuLog.size() >= avant + b.ajoute.size())
        return false;
    const QByteArrayView recu = contenuLog.sliced(avant);
    return recu == QByteArrayView(b.ajoute).first(recu.size()) && Empreinte_De(contenuLog.first(avant)) == e.avant;
}

ErreurFichier Journal_Log::Noter(Entree& e)
{
    Charger();
    e.numero = m_entrees.isEmpty() ? 1 : m_entrees.last().numero + 1;
    // The journal's checksums are only compared with the log, never carried on: their
    // summaries make an entry of a record less than half its size.
    e.avant = e.avant.Resume();
    e.apres = e.apres.Resume();
    const QByteArray ligne = Encoder_Entree(e);
    const bool nouveau = !QFileInfo::exists(Chemin());
    QFile f(Chemin());
    errno = 0;
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return Erreur_Journal(Numero_Errno(errno), Chemin());
    // A torn line left by a crash is cut before the new entry goes after it.
    if (f.size() != m_tailleFichier && !f.resize(m_tailleFichier))
        return Erreur_Journal(57, Chemin());
    errno = 0;
    bool ok = f.seek(m_tailleFichier) && f.write(ligne) == ligne.size();
#ifdef Q_OS_UNIX
    ok = ok && ::fsync(f.handle()) == 0;
#endif
    const int errnoVu = errno;
    if (!ok) {
        f.resize(m_tailleFichier);
        f.close();
        return Erreur_Journal(Numero_Errno(errnoVu), Chemin());
    }
    f.close();
    if (nouveau) {
        const ErreurFichier d = FichierLog::Synchroniser_Dossier(Chemin());
        if (!d.ok())
            return d;
    }
    m_tailleFichier += ligne.size();
    m_reparer = false;
    m_entrees.append(e);
    m_piles.reset();
    Noter_Etat();
    return {};
}

ErreurFichier Journal_Log::Retirer_Derniere()
{
    Charger();
    if (m_entrees.isEmpty())
        return {};
    const QByteArray derniere = Encoder_Entree(m_entrees.last());
    QFile f(Chemin());
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return Erreur_Journal(Numero_Errno(errno), Chemin());
    const qint64 taille = m_tailleFichier - derniere.size();
    bool ok = f.resize(taille);
#ifdef Q_OS_UNIX
    ok = ok && ::fsync(f.handle()) == 0;
#endif
    f.close();
    if (!ok)
        return Erreur_Journal(57, Chemin());
    // A journal left with no entry is no journal: a change that failed leaves no file behind.
    if (taille == 0 && QFile::remove(Chemin()))
        FichierLog::Synchroniser_Dossier(Chemin());
    m_entrees.removeLast();
    m_piles.reset();
    m_tailleFichier = taille;
    m_reparer = false;
    Noter_Etat();
    return {};
}

namespace {

// The first entry kept: the last Minimum_Garde changes (undos and redos aside) or every
// entry of the latest entry's year, whichever reaches further back, and never past a change
// that a kept undo or redo names, so that the stacks read from what is kept stay true.
qsizetype Premier_Garde(const QList<Entree>& entrees)
{
    qsizetype premier = entrees.size();
    int changes = 0;
    while (premier > 0 && changes < Journal_Log::Minimum_Garde) {
        --premier;
        const Genre g = entrees.at(premier).genre;
        if (g == Genre::Modification || g == Genre::Retour)
            ++changes;
    }
    if (entrees.isEmpty())
        return 0;
    // The year's bounds in milliseconds: a season's thousands of entries are compared after
    // every change, and a date worked out for each of them costs more than the change.
    const int annee = entrees.last().utc.toUTC().date().year();
    const qint64 debutAnnee = QDateTime(QDate(annee, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    const qint64 finAnnee = QDateTime(QDate(annee + 1, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    auto memeAnnee = [&](const Entree& e) {
        const qint64 t = e.utc.toMSecsSinceEpoch();
        return t >= debutAnnee && t < finAnnee;
    };
    while (premier > 0 && memeAnnee(entrees.at(premier - 1)))
        --premier;
    for (bool bouge = true; bouge && premier > 0;) {
        bouge = false;
        for (qsizetype i = premier; i < entrees.size(); ++i) {
            const Entree& e = entrees.at(i);
            if (e.genre != Genre::Annulation && e.genre != Genre::Retablissement)
                continue;
            for (qsizetype k = premier - 1; k >= 0; --k) {
                if (entrees.at(k).numero == e.cible) {
                    premier = k;
                    bouge = true;
                    break;
                }
            }
        }
    }
    return premier;
}

} // namespace

ErreurFichier Journal_Log::Compacter()
{
    const qsizetype premier = Premier_Garde(m_entrees);
    QByteArray contenu;
    for (qsizetype i = premier; i < m_entrees.size(); ++i)
        contenu += Encoder_Entree(m_entrees.at(i));
    const ErreurFichier e = FichierLog::Reecrire_Octets(Chemin(), contenu);
    if (!e.ok())
        return e;
    m_entrees = m_entrees.mid(premier);
    m_piles.reset();
    m_tailleFichier = contenu.size();
    m_reparer = false;
    Noter_Etat();
    return {};
}

void Journal_Log::Borner()
{
    // Compacted by a hundred entries at a time, so that the journal is rewritten seldom.
    if (m_entrees.size() > Minimum_Garde + 100 && Premier_Garde(m_entrees) >= 100)
        Compacter();
}

ErreurFichier Journal_Log::Reecrire(QByteArrayView ancien, const QByteArray& nouveau, Genre genre, qint64 cible,
                                    const QString& operation, const QDateTime& utc)
{
    Charger();
    Entree e;
    e.genre = genre;
    e.cible = cible;
    e.utc = utc;
    e.operation = operation;
    // The bytes alike at the start of both files, whole 4 kB blocks of them, are summed once
    // for the two checksums: a change near the end of a long log then costs one pass, not two.
    const qsizetype plusCourt = qMin(ancien.size(), nouveau.size());
    qsizetype commun = 0;
    while (commun + 4096 <= plusCourt && std::memcmp(ancien.data() + commun, nouveau.data() + commun, 4096) == 0)
        commun += 4096;
    Empreinte debut;
    debut.Ajouter(ancien.first(commun));
    e.avant = debut;
    e.avant.Ajouter(ancien.sliced(commun));
    e.apres = debut;
    e.apres.Ajouter(QByteArrayView(nouveau).sliced(commun));
    // A journal that does not end on the log read here cannot explain the change: it goes
    // aside and a new one starts with this change.
    if (m_abime || (!m_entrees.isEmpty() && m_entrees.last().apres != e.avant))
        Mettre_De_Cote();
    if (ancien == QByteArrayView(nouveau))
        return FichierLog::Reecrire_Octets(m_cheminLog, nouveau); // nothing to undo
    e.blocs = Differences(ancien, nouveau, commun);
    ErreurFichier r = Noter(e);
    if (!r.ok())
        return r;
    r = FichierLog::Reecrire_Octets(m_cheminLog, nouveau);
    if (!r.ok())
        return Apres_Echec(r, e.apres);
    Borner();
    return {};
}

ErreurFichier Journal_Log::Apres_Echec(ErreurFichier r, const Empreinte& apres)
{
    // What the log holds decides, not what the error says: a disk may fail after the bytes
    // reached the file, and then the change is there and its entry must stay to undo it.
    QByteArray contenu;
    if (FichierLog::Lire_Tout(m_cheminLog, contenu).ok())
        r.fait = Empreinte_De(contenu) == apres;
    if (r.fait)
        Borner();
    else
        Retirer_Derniere();
    return r;
}

ErreurFichier Journal_Log::Ajouter(const QByteArray& ligne, const QString& operation, const QDateTime& utc)
{
    Charger();
    bool note = false;
    Empreinte apres;
    const ErreurFichier r = FichierLog::Ajouter(m_cheminLog, ligne, [&](qint64 taille, const QByteArray& donnees) {
        Entree e;
        e.genre = Genre::Modification;
        e.utc = utc;
        e.operation = operation;
        // The whole log is summed, not only its size compared: an edit of the same length made
        // in a text editor is seen now, before the journal chains a change onto it.
        QByteArray contenu;
        const ErreurFichier l = FichierLog::Lire_Tout(m_cheminLog, contenu);
        if (!l.ok())
            return l;
        e.avant = Empreinte_De(contenu.first(qMin<qsizetype>(contenu.size(), taille)));
        if (m_abime || (!m_entrees.isEmpty() && m_entrees.last().apres != e.avant))
            Mettre_De_Cote();
        e.apres = e.avant;
        e.apres.Ajouter(donnees);
        Bloc b;
        b.position = taille;
        b.ajoute = donnees;
        e.blocs.append(b);
        const ErreurFichier n = Noter(e);
        note = n.ok();
        apres = e.apres;
        return n;
    });
    if (!r.ok())
        return note ? Apres_Echec(r, apres) : r;
    Borner();
    return {};
}

const Piles& Journal_Log::Piles_Actuelles() const
{
    // Worked out once for the entries read: the menu asks for both tops after every change,
    // and a season's entries walked each time cost more than the change itself.
    Charger();
    if (!m_piles)
        m_piles = Calculer_Piles(m_entrees);
    return *m_piles;
}

const Entree* Journal_Log::Entree_Numero(qint64 numero) const
{
    // The numbers only grow along the journal (a line out of order is damage).
    const auto it = std::lower_bound(m_entrees.cbegin(), m_entrees.cend(), numero,
                                     [](const Entree& e, qint64 n) { return e.numero < n; });
    return it != m_entrees.cend() && it->numero == numero ? &*it : nullptr;
}

const Entree* Journal_Log::A_Annuler() const
{
    const Piles& p = Piles_Actuelles();
    return p.faites.isEmpty() ? nullptr : Entree_Numero(p.faites.last());
}

const Entree* Journal_Log::A_Retablir() const
{
    const Piles& p = Piles_Actuelles();
    return p.annulees.isEmpty() ? nullptr : Entree_Numero(p.annulees.last());
}

bool Journal_Log::Etat_Apres(QByteArrayView contenuLog, qint64 numero, QByteArray& etat) const
{
    Charger();
    QByteArray courant = contenuLog.toByteArray();
    for (qsizetype i = m_entrees.size() - 1; i >= 0; --i) {
        const Entree& e = m_entrees.at(i);
        if (e.numero == numero)
            break;
        if (i == 0)
            return false;
        QByteArray precedent;
        if (!Appliquer(courant, Inverser(e.blocs), precedent))
            return false;
        courant = std::move(precedent);
    }
    for (const Entree& e : m_entrees) {
        if (e.numero == numero) {
            if (Empreinte_De(courant) != e.apres)
                return false;
            etat = std::move(courant);
            return true;
        }
    }
    return false;
}

Journal_Log::Resultat Journal_Log::Preparer(QByteArray& contenu)
{
    Resultat r;
    r.erreur = FichierLog::Lire_Tout(m_cheminLog, contenu);
    if (!r.erreur.ok()) {
        r.etat = Resultat::Erreur;
        return r;
    }
    QString nom;
    if (Verifier(contenu, &nom) == Accord::Mis_De_Cote) {
        r.etat = Resultat::Log_Modifie;
        r.misDeCote = nom;
        return r;
    }
    r.etat = Resultat::Fait;
    return r;
}

Journal_Log::Resultat Journal_Log::Annuler(const QDateTime& utc)
{
    return Rejouer(Genre::Annulation, utc);
}

Journal_Log::Resultat Journal_Log::Retablir(const QDateTime& utc)
{
    return Rejouer(Genre::Retablissement, utc);
}

Journal_Log::Resultat Journal_Log::Rejouer(Genre genre, const QDateTime& utc)
{
    QByteArray contenu;
    Resultat r = Preparer(contenu);
    if (r.etat != Resultat::Fait)
        return r;
    const bool annuler = genre == Genre::Annulation;
    const Entree* e = annuler ? A_Annuler() : A_Retablir();
    if (!e) {
        r.etat = Resultat::Rien_A_Faire;
        return r;
    }
    const Entree cible = *e;
    r.operation = cible.operation;
    // An undo goes from the state after the change to the state before it, a redo the other
    // way; the state reached must come back whole, or nothing is written.
    const Empreinte& depart = annuler ? cible.apres : cible.avant;
    const Empreinte& arrivee = annuler ? cible.avant : cible.apres;
    QByteArray nouveau;
    if (Empreinte_De(contenu) != depart || !Appliquer(contenu, annuler ? Inverser(cible.blocs) : cible.blocs, nouveau)
        || Empreinte_De(nouveau) != arrivee) {
        r.misDeCote = Mettre_De_Cote();
        r.etat = Resultat::Log_Modifie;
        return r;
    }
    r.erreur = Reecrire(contenu, nouveau, genre, cible.numero, cible.operation, utc);
    r.etat = r.erreur.ok() ? Resultat::Fait : Resultat::Erreur;
    return r;
}

Journal_Log::Resultat Journal_Log::Revenir_A(qint64 numero, const QString& operation, const QDateTime& utc)
{
    QByteArray contenu;
    Resultat r = Preparer(contenu);
    if (r.etat != Resultat::Fait)
        return r;
    r.operation = operation;
    QByteArray nouveau;
    if (!Etat_Apres(contenu, numero, nouveau)) {
        r.etat = Resultat::Rien_A_Faire;
        return r;
    }
    if (nouveau == contenu) {
        r.etat = Resultat::Rien_A_Faire;
        return r;
    }
    r.erreur = Reecrire(contenu, nouveau, Genre::Retour, numero, operation, utc);
    r.etat = r.erreur.ok() ? Resultat::Fait : Resultat::Erreur;
    return r;
}

} // namespace Journal
