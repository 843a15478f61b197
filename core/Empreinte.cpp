#include "Empreinte.h"

#include <QList>
#include <QtEndian>

#include <cstring>

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

} // namespace Journal
