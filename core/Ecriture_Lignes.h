#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>

// A new log written line after line, each ended by CR LF as every rewrite of the log writes
// it: copied in place into bytes made large enough once, where a QByteArray::append per line
// would cost a call and a check each time, a hundred thousand times for a long log.
class Ecriture_Lignes
{
public:
    // prevu: about the bytes of the whole, more are made when needed.
    explicit Ecriture_Lignes(qsizetype prevu) { Agrandir(prevu); }

    void Ligne(QByteArrayView ligne)
    {
        const qsizetype n = ligne.size();
        if (m_taille + n + 2 > m_octets.size())
            Agrandir(2 * (m_taille + n + 2));
        if (n > 0)
            std::memcpy(m_ecrits + m_taille, ligne.data(), size_t(n));
        m_ecrits[m_taille + n] = '\r';
        m_ecrits[m_taille + n + 1] = '\n';
        m_taille += n + 2;
    }

    QByteArray Octets()
    {
        m_octets.truncate(m_taille);
        return std::move(m_octets);
    }

private:
    void Agrandir(qsizetype taille)
    {
        m_octets.resize(taille);
        m_ecrits = m_octets.data();
    }

    QByteArray m_octets;
    char* m_ecrits = nullptr;
    qsizetype m_taille = 0;
};
