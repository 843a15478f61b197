#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace Journal {

// A checksum of a file's bytes that can be carried on over bytes appended later, so that an
// append need not read the whole log again. Two files with the same bytes have the same one.
class Empreinte
{
public:
    Empreinte();
    void Ajouter(QByteArrayView octets);
    qint64 Longueur() const { return m_longueur; }
    // A 64-bit summary of everything added so far.
    quint64 Valeur() const;
    // Written in the journal as text, and read back.
    QByteArray Texte() const;
    static bool Depuis_Texte(QByteArrayView texte, Empreinte& e);
    bool operator==(const Empreinte& autre) const;
    bool operator!=(const Empreinte& autre) const { return !(*this == autre); }

private:
    quint64 m_voies[4];
    qint64 m_longueur = 0;
    unsigned char m_reste[32];
    int m_nbReste = 0;
};

Empreinte Empreinte_De(QByteArrayView octets);

} // namespace Journal
