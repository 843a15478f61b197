#include "Lignes_Telnet.h"

#include "Texte1252.h"

#include <utility>


namespace {

constexpr unsigned char Iac = 255;
constexpr unsigned char Sb = 250;
constexpr unsigned char Se = 240;
constexpr unsigned char Will = 251;
constexpr unsigned char Dont = 254;
constexpr unsigned char Esc = 0x1B;
// Real sub-negotiations from a node (a terminal type asked for) hold a few bytes.
constexpr qsizetype Sous_Negociation_Max = 512;

} // namespace

Lignes_Telnet::Lignes_Telnet(qsizetype longueurMax) : m_max(longueurMax)
{
    m_ligne.reserve(qMin<qsizetype>(m_max, 256));
}

void Lignes_Telnet::Finir_Ligne(QStringList& lignes)
{
    if (m_tropLongue)
        ++m_tropLongues;
    else if (m_illisible)
        ++m_illisibles;
    else if (!m_ligne.isEmpty()) {
        QString texte = Texte1252::Decoder_Utf8_Ou_1252(m_ligne);
        // The controls of the C1 range that a UTF-8 text may still hold.
        texte.removeIf([](QChar c) { return c.unicode() >= 0x80 && c.unicode() < 0xA0; });
        if (!texte.trimmed().isEmpty())
            lignes.append(texte);
    }
    m_ligne.clear();
    m_tropLongue = false;
    m_illisible = false;
}

QStringList Lignes_Telnet::Ajouter(QByteArrayView octets)
{
    QStringList lignes;
    for (char car : octets)
        Lire_Octet(car, lignes);
    return lignes;
}

void Lignes_Telnet::Abandonner_Sous_Negociation(char car, QStringList& lignes)
{
    QByteArray reprise = std::exchange(m_sousNegociation, QByteArray());
    reprise.append(car);
    m_etat = Etat::Texte;
    // A stray IAC SB read again may begin another; each one read again is shorter, so this ends.
    for (char r : std::as_const(reprise))
        Lire_Octet(r, lignes);
}

void Lignes_Telnet::Lire_Octet(char car, QStringList& lignes)
{
    const auto c = static_cast<unsigned char>(car);
    switch (m_etat) {
    case Etat::Iac:
        if (c == Iac) {
            m_etat = Etat::Texte;
            break; // IAC IAC is the byte 255 itself: fall through to the text below
        }
        m_etat = c == Sb ? Etat::Sous_Negociation : (c >= Will && c <= Dont) ? Etat::Option : Etat::Texte;
        m_sousNegociation.clear();
        return;
    case Etat::Option:
        m_etat = Etat::Texte;
        return;
    case Etat::Sous_Negociation:
    case Etat::Sous_Negociation_Iac:
        if (m_etat == Etat::Sous_Negociation_Iac && c == Se) {
            m_etat = Etat::Texte;
            m_sousNegociation.clear();
            return;
        }
        if (c == '\r' || c == '\n' || m_sousNegociation.size() >= Sous_Negociation_Max) {
            Abandonner_Sous_Negociation(car, lignes);
            return;
        }
        m_etat = m_etat == Etat::Sous_Negociation && c == Iac ? Etat::Sous_Negociation_Iac : Etat::Sous_Negociation;
        m_sousNegociation.append(car);
        return;
    case Etat::Echap:
        if (c == '[')
            m_etat = Etat::Csi;
        else if (c == ']')
            m_etat = Etat::Osc;
        else if (c >= 0x20 && c <= 0x2F)
            m_etat = Etat::Echap_Intermediaire;
        else
            m_etat = Etat::Texte;
        return;
    case Etat::Csi:
        // Parameters and intermediates, then one final byte; a line end cuts it short.
        if (c >= 0x40 && c <= 0x7E)
            m_etat = Etat::Texte;
        else if (c == '\r' || c == '\n') {
            m_etat = Etat::Texte;
            break;
        }
        return;
    case Etat::Osc:
        if (c == 0x07)
            m_etat = Etat::Texte;
        else if (c == Esc)
            m_etat = Etat::Osc_Echap;
        else if (c == '\r' || c == '\n') {
            m_etat = Etat::Texte;
            break;
        }
        return;
    case Etat::Osc_Echap:
        m_etat = c == '\\' ? Etat::Texte : Etat::Osc;
        return;
    case Etat::Echap_Intermediaire:
        if (c < 0x20 || c > 0x2F)
            m_etat = Etat::Texte;
        return;
    case Etat::Texte:
        if (c == Iac) {
            m_etat = Etat::Iac;
            return;
        }
        if (c == Esc) {
            m_etat = Etat::Echap;
            return;
        }
        break;
    }

    if (c == '\r' || c == '\n') {
        Finir_Ligne(lignes);
        return;
    }
    if (c == 0x07 || c == 0)
        return;
    if (c < 0x20 && c != '\t') {
        m_illisible = true;
        return;
    }
    if (c == 0x7F) {
        m_illisible = true;
        return;
    }
    if (m_ligne.size() >= m_max) {
        m_tropLongue = true;
        return;
    }
    m_ligne.append(c == '\t' ? ' ' : car);
}

QString Lignes_Telnet::Ligne_En_Cours() const
{
    return Texte1252::Decoder_Utf8_Ou_1252(m_ligne);
}

void Lignes_Telnet::Oublier_Ligne_En_Cours()
{
    m_ligne.clear();
    m_tropLongue = false;
    m_illisible = false;
}
