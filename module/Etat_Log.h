#pragma once

#include "Series_Saison.h"

#include <QByteArray>
#include <QString>

// The log as the windows show it after a change, sent by the module in one signal: the score
// of the status bar and of the total box, what Annuler and Rétablir would do, and the log's
// bytes, read once for the list and every report window (shared, never copied).
struct Etat_Log
{
    // What changed the log, for the entry area to start afresh the way that change asks.
    enum class Modification {
        Lecture,        // nothing changed: the log was read again (start-up, another station)
        Total,          // nothing changed: the total was counted again, the list stays as it is
        Enregistrement, // a QSO typed, added at the end
        Insertion,      // a QSO typed, put at its date
        Edition,        // a QSO edited in place
        Suppression,    // a castle's QSOs deleted
        Retour,         // an undo, a redo or a return to an earlier state
        Import          // QSOs read from another program's file
    };

    Modification sorte = Modification::Lecture;
    // False when the log could not be read: the bytes are empty and the score says nothing.
    bool lu = false;
    // Points (the total), points waiting for validation, departements, QSOs.
    Series_Saison::Bilan bilan;
    // The changes Annuler and Rétablir would reverse ("suppression du KVRT 29001"), or empty.
    QString a_annuler;
    QString a_retablir;
    QByteArray contenu;

    // The total as the main window shows it: empty while the log could not be read.
    QString Total() const { return lu ? QString::number(bilan.points) : QString(); }
};
