#include "Differences.h"

#include <cstring>
#include <vector>

namespace Journal {

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

// How many bytes two stretches have alike from their start, up to n: whole blocks first.
qsizetype Egaux_Au_Debut(const char* a, const char* b, qsizetype n)
{
    qsizetype p = 0;
    while (p + 4096 <= n && std::memcmp(a + p, b + p, 4096) == 0)
        p += 4096;
    while (p + 64 <= n && std::memcmp(a + p, b + p, 64) == 0)
        p += 64;
    while (p < n && a[p] == b[p])
        ++p;
    return p;
}

// When one stretch is the other with whole lines taken out only, or added only, the blocks
// that say so, the same as the line-by-line pass below gives: walking both at the speed of
// memcmp, a long stretch is never cut into lines. False when it is not so.
bool Retraits_Ou_Ajouts(QByteArrayView ancien, QByteArrayView nouveau, qsizetype decalage, QList<Bloc>& blocs)
{
    const bool retraits = ancien.size() > nouveau.size();
    const QByteArrayView plusLong = retraits ? ancien : nouveau;
    const QByteArrayView plusCourt = retraits ? nouveau : ancien;
    qsizetype pl = 0, pc = 0; // each at the start of a line
    QList<Bloc> trouves;
    qsizetype suite = -1; // where the last block goes on, in the longer one for lines taken out, the shorter for lines added
    while (pl < plusLong.size()) {
        const qsizetype restantL = plusLong.size() - pl, restantC = plusCourt.size() - pc;
        const qsizetype r = Egaux_Au_Debut(plusLong.data() + pl, plusCourt.data() + pc, qMin(restantL, restantC));
        if (r == restantL && r == restantC) {
            pc = plusCourt.size();
            break;
        }
        // The whole lines alike go by in both; the line of the longer one here is not in the other.
        const qsizetype nl = plusLong.first(pl + r).lastIndexOf('\n', pl + r - 1);
        if (nl >= pl) {
            pc += nl + 1 - pl;
            pl = nl + 1;
        }
        const qsizetype finLigne = plusLong.indexOf('\n', pl);
        const qsizetype fin = finLigne < 0 ? plusLong.size() : finLigne + 1;
        const qsizetype ici = retraits ? pl : pc;
        if (trouves.isEmpty() || suite != ici) {
            Bloc b;
            b.position = decalage + (retraits ? pl : pc);
            trouves.append(b);
        }
        (retraits ? trouves.last().retire : trouves.last().ajoute) += plusLong.sliced(pl, fin - pl).toByteArray();
        suite = retraits ? fin : pc;
        pl = fin;
    }
    if (pc != plusCourt.size())
        return false;
    blocs = trouves;
    return true;
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
    if (ancien.size() != nouveau.size() && Retraits_Ou_Ajouts(ancien, nouveau, tete, blocs))
        return blocs;

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

    struct Pas { bool supprime; qsizetype i; qsizetype j; };
    std::vector<Pas> pas; // in reverse order

    // An import puts hundreds of QSOs among the lines of a long log: when one file is the other
    // with lines added only, or taken out only, one pass finds each of them, however many,
    // where the bounded search below would give up and journal the whole log as one block.
    bool parUnePasse = false;
    if (N > 0 && M > 0 && N != M) {
        std::vector<Pas> trouves;
        const bool ajouts = M > N;
        const qsizetype attendus = ajouts ? M - N : N - M;
        qsizetype i = 0, j = 0;
        while ((ajouts ? j < M : i < N) && qsizetype(trouves.size()) <= attendus) {
            if ((ajouts ? i < N : j < M) && egal(debut + i, debut + j)) {
                ++i;
                ++j;
            } else if (ajouts) {
                trouves.push_back({false, i, j++});
            } else {
                trouves.push_back({true, i++, 0});
            }
        }
        if (i == N && j == M && qsizetype(trouves.size()) == attendus) {
            pas.assign(trouves.rbegin(), trouves.rend());
            parUnePasse = true;
        }
    }

    // Operations on the middle, as (old line, new line) steps: the shortest edit script by
    // Myers' method, its cost bounded; a change too large is one block, which is as exact.
    const qsizetype maxD = 500;
    std::vector<std::vector<qsizetype>> traces;
    qsizetype D = -1;
    if (N > 0 && M > 0 && !parUnePasse) {
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

    if (parUnePasse) {
        // The steps are already there.
    } else if (N == 0 || M == 0) {
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

} // namespace Journal
