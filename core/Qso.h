#pragma once

#include <QString>
#include <QStringView>

// One QSO as the operator types it and the log records it: the windows and the exchange with
// other programs use its fields by name, and only Enregistrement knows where each one stands
// in the record.
struct Qso
{
    QString date;      // "JJ/MM/AA", as typed
    bool attente = false; // the castle waits for validation: "*", no points yet
    QString reference; // the castle, "29001" or "2A001"
    QString type;      // the activity type, free text (one of the nine, or another)
    QString indicatif;

    // The QSO of a record line of the log, or of a line of the main list (its number, then the
    // record): each field cut where it stands, its blanks removed, the date kept as it stands.
    static Qso De_Ligne_Log(QStringView ligne);
    static Qso De_Ligne_Liste(QStringView ligne);

    // The record line, each field padded to its width.
    QString Ligne_Log() const;

    bool operator==(const Qso& q) const
    {
        return date == q.date && attente == q.attente && reference == q.reference && type == q.type
               && indicatif == q.indicatif;
    }
};
