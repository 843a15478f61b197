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
    // The summary and the length alone: enough to compare with a file, not to carry on.
    // A checksum of the journal's entries is never carried on, and this form is a fifth of
    // the whole one's size. Adding bytes to it gives a checksum no file has.
    Empreinte Resume() const;
    bool Est_Resume() const { return m_resume; }
    // Written in the journal as text, and read back, in the form it has.
    QByteArray Texte() const;
    static bool Depuis_Texte(QByteArrayView texte, Empreinte& e);
    // Two whole checksums compare all they hold; a summary compares value and length.
    bool operator==(const Empreinte& autre) const;
    bool operator!=(const Empreinte& autre) const { return !(*this == autre); }

private:
    quint64 m_voies[4];
    qint64 m_longueur = 0;
    unsigned char m_reste[32];
    int m_nbReste = 0;
    bool m_resume = false;
    quint64 m_valeur = 0;   // of a summary
};

Empreinte Empreinte_De(QByteArrayView octets);

} // namespace Journal
