#pragma once

#include "Qso.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// The one place that says whether what the operator typed is refused: each field checked on
// Enter in the entry area, and the whole QSO before it is written. Each function gives an
// empty text when the field is accepted, otherwise the message the operator reads.
namespace Validation_Saisie {

// Before the station is set up ("FXXXX"), the date and the callsign say how to set it up.
QString Refus_Station(QStringView indicatif);
// "JJ/MM/AA" of the challenge's year (its last two digits); day and month are not checked.
QString Refus_Date(QStringView texte, QStringView annee);
// Any characters, 12 at most.
QString Refus_Indicatif(QStringView texte);
// Five characters, each a digit or the A and B of Corsica's 2A and 2B, in any place.
QString Refus_Reference(QStringView texte);
// A QSO that reaches recording with a field that would not fit its column, or that the log's
// code page cannot hold ("QSO non enregistré : l'indicatif comporte plus de 12 caractères").
QString Refus_Qso(const Qso& qso);

// The date of the castle's last QSO in the log's bytes, in the file's order; none when the log
// holds no QSO of it.
std::optional<QString> Date_Doublon(const QByteArray& contenu, const QString& reference);
// Not a refusal: the castle is already in the log (the bytes of the log as read), with the
// date of its last QSO in the file's order; empty when it is not.
QString Avertissement_Doublon(const QByteArray& contenu, const QString& reference);

} // namespace Validation_Saisie
