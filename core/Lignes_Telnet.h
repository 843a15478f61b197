#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The text lines of a telnet stream as DX cluster nodes send it, bytes in, lines out: CR LF,
// LF or LF CR ends a line, wherever the reads cut it; the telnet negotiation (IAC ...) and the
// ANSI colour and cursor sequences are taken out, never answered; BEL and NUL are dropped;
// a sub-negotiation (IAC SB) that meets a line end or runs past 512 bytes before its IAC SE
// was no sub-negotiation (a stray 0xFF 0xFA in a text): those two bytes are dropped and what
// followed them is read as text, so that the rest of the stream is not swallowed;
// each line is read as UTF-8 when it is valid UTF-8, otherwise as Windows-1252 (Latin-1 for
// its letters). A line longer than the bound, or holding other control bytes (binary junk),
// is left out and counted, so that memory stays bounded whatever the peer sends.
class Lignes_Telnet
{
public:
    explicit Lignes_Telnet(qsizetype longueurMax = 1024);

    // The lines these bytes complete, in order, blank ones left out.
    QStringList Ajouter(QByteArrayView octets);
    // The line begun and not ended yet: a node's prompt ("login: ") has no line end.
    QString Ligne_En_Cours() const;
    // The prompt has been answered: what follows starts a new line.
    void Oublier_Ligne_En_Cours();
    // Lines left out since the start: too long, and holding binary junk.
    int Lignes_Trop_Longues() const { return m_tropLongues; }
    int Lignes_Illisibles() const { return m_illisibles; }

private:
    enum class Etat {
        Texte,
        Iac,             // after IAC
        Option,          // after IAC WILL/WONT/DO/DONT
        Sous_Negociation, // inside IAC SB ... IAC SE
        Sous_Negociation_Iac,
        Echap,           // after ESC
        Csi,             // ESC [ ... final byte
        Osc,             // ESC ] ... BEL or ESC \ (a terminal title)
        Osc_Echap,
        Echap_Intermediaire, // ESC ( B and the like
    };
    void Lire_Octet(char car, QStringList& lignes);
    void Abandonner_Sous_Negociation(char car, QStringList& lignes);
    void Finir_Ligne(QStringList& lignes);

    qsizetype m_max;
    Etat m_etat = Etat::Texte;
    QByteArray m_ligne;
    // The bytes of the sub-negotiation under way, as they came, to be read again as text.
    QByteArray m_sousNegociation;
    bool m_tropLongue = false;
    bool m_illisible = false;
    int m_tropLongues = 0;
    int m_illisibles = 0;
};
