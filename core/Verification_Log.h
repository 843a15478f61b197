#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>

#include "Series_Saison.h"

class Liste_Chateaux;

// What the organisers would question in a season's log before it is sent to them: each
// finding names the line as the main list numbers it (from 1, in the log's order). A sound
// line is never named.
namespace Verification_Log {

struct Constat
{
    enum class Sorte {
        Forme,       // not a record of the log's form: empty, too long, a field out of place
        Date,        // not a date, outside the season's year, or after today
        Reference,   // a N° KVRT the entry area would refuse, or not three digits at its end
        Departement, // a departement that does not exist (01 to 95, 2A, 2B; no 20)
        Hors_Liste,  // a castle the loaded list does not hold
        Indicatif,   // a callsign the entry area would refuse
        Type,        // an activity type the rules do not know: it scores 0
        Attente,     // a castle still waiting for validation ("*"): it scores 0 for now
        Doublon,     // a castle contacted again without the type "Double ou non validé"
    };
    int ligne = 0;  // from 1, as the main list numbers it
    QString texte;  // the sentence that follows "ligne N : "
    Sorte sorte = Sorte::Forme;
};

// The log's bytes as the program reads them (an editor's UTF-8 or LF ends read as the program's
// own form), checked for the season `annee` ("2009") on the day `aujourdhui`; `liste` is the
// castle list, null when none is loaded. Findings come in line order.
QList<Constat> Verifier(QByteArrayView log, const QString& annee, const QDate& aujourdhui,
                        const Liste_Chateaux* liste);

// "ligne 12 : le type d'activité ..."
QString Texte(const Constat& constat);

// One sentence: the score the main window shows (the log's state already holds it), and how
// many findings are left to look at; with none, that the log is ready to be sent.
QString Resume(const Series_Saison::Bilan& bilan, qsizetype nombreConstats);

} // namespace Verification_Log
