#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

// The DX cluster's spot lines and the rule that finds the Challenge's castles in them. Pure
// functions: the connection reads the lines, the spots window shows what these return.
namespace Regle_Spot {

// One station on the air, as a node announces it.
struct Spot
{
    QString spotteur;        // who spotted it, upper case ("F4ABC", "DK9IP-#")
    QString frequence;       // kHz as the node wrote it ("7012.0")
    QString indicatif;       // the station spotted, upper case
    QString commentaire;     // blanks at both ends removed
    QString heure;           // "1234Z", or empty when the line gave none
    QDate date;              // the day, when the line gives it (the answer to sh/dx)
    QStringList references;  // the castles named in the comment, "29018", "2A001", each once
};

// A spot line as the nodes send it: live, "DX de F4ABC:     7012.0  F5XYZ/P   KVRT 29018   1234Z JN18"
// (a long spotter may leave no room for its colon: "DX de 9K2/K2SES  14205.0  DK0HY  ..."),
// or in the answer to sh/dx, "  7012.0  F5XYZ/P   12-Mar-2024 1234Z KVRT 29018   <F4ABC>". Columns
// move with long callsigns and comments, case varies. False for every other line (talk,
// announcements "To ALL de", WWV and WCY propagation, prompts, junk); a spot with no castle
// is read all the same, with no reference.
bool Lire(QStringView ligne, Spot& spot);

// The castle references of a comment. A reference counts only right after the Challenge's
// word KVRT or after "château"/"chateau" (any case), with or without blanks, dashes or a colon
// between; written "29018" or "29-018"; further ones may follow after "/", ",", "&" or "+".
// A number anywhere else (a frequency, a serial, another programme's reference, a locator)
// is no castle.
QStringList References(QStringView commentaire);

// Two characters of departement (01 to 95, 2A, 2B) and three digits, upper case.
bool Reference_Valide(QStringView reference);

// When the spot was made, in UTC: its date and time when given; otherwise its time on the
// day of `maintenant`, or of the day before when that would be more than an hour ahead; a
// spot without time is of `maintenant`.
QDateTime Moment(const Spot& spot, const QDateTime& maintenantUtc);

// The moment an alert counts a spot from: its Moment, or `maintenantUtc` (its arrival) when a
// live spot's time cannot be right against the PC clock: more than ten minutes ahead of it, or
// more than `fenetreS` seconds behind it. A live spot is news, and a PC clock set wrong must not
// silence every alert. A spot of the answer to sh/dx, dated, keeps its moment.
QDateTime Moment_Alerte(const Spot& spot, const QDateTime& maintenantUtc, qint64 fenetreS);

// The bands a spot may be on, in order, as the operator chooses them: "160 m" to "2 m".
const QStringList& Bandes();

// The band of a frequency in kHz as a spot gives it ("7012.0", "14025", "144300.00"), one of
// Bandes(), edges included; empty outside them or for what is no frequency.
QString Bande(QStringView frequence);
// What names a station on a castle for the memories of the spots (alerts given, spots gone):
// callsign and reference in any case, blanks around them left out.
QString Cle_Station_Chateau(const QString& indicatif, const QString& reference);

// Whether a spot made at `moment` is still on show at `maintenantUtc`: no more than
// `ageMinutes` before it. A moment ahead of the clock is of now.
bool Dans_Age(const QDateTime& moment, const QDateTime& maintenantUtc, int ageMinutes);
// The same for a spot, from the moment its alert counts from (Moment_Alerte): a live spot of
// 2350Z read at 0010Z is twenty minutes old, one whose time cannot be right counts from its
// arrival (a live spot is news), and one of the answer to sh/dx keeps its date, so that a
// reconnection brings back no spot already gone.
bool Dans_Age(const Spot& spot, const QDateTime& maintenantUtc, int ageMinutes);

// The line that spots a castle on the node: "DX 7012.0 F5XYZ/P KVRT 29018 tnx qso", the
// frequency to a tenth of a kHz, the callsign upper case, the comment on one line of plain
// ASCII, cut to what the nodes pass on. Empty when the frequency, the callsign or the
// reference is not one.
QString Ligne_Spot(QStringView frequence, QStringView indicatif, QStringView reference, QStringView commentaire);
// Why a castle cannot be spotted now, in French: no station callsign ("FXXXX" or empty), or
// no node connected; empty when it can.
QString Refus_Spot(const QString& indicatifStation, bool connecte);

// What a node's line, other than a spot, asks of the program while it logs in.
enum class Ligne_Noeud {
    Autre,           // a greeting, news, a spot...: nothing to do
    Invite_Login,    // "login: ", "Please enter your call:": the callsign is awaited
    Mot_De_Passe,    // "password: ": a question the program has no answer for
    Rappel,          // "Please enter your name, set/name <your name>": a reminder, left unanswered
    Refus,           // "Sorry, F1ABC is an invalid callsign": the login refused
    Invite_Commande, // "F4ABC de GB7DJK 12-Mar-2024 1234Z dxspider >": logged in
};
// The kind of one line (or of the line begun, a prompt having no line end).
Ligne_Noeud Genre_Ligne(QStringView ligne);

} // namespace Regle_Spot
