#pragma once

#include <QString>

class Sous_Programmes;
class QWidget;

// A log found again after a move between installs: the log of a station and year that is not
// in the folder of the logs, but in another folder the program knows.
namespace Logs_Retrouves {

// The log of this station and year is not in `dossier`: when another known folder has it,
// the user is told and chooses to use it there (dossier then names that folder), to copy it
// with its journal into `dossier`, or the answer `renoncer`. To use it there is kept in the
// station's settings ("Chemin Log <year>") and not asked again while the log is there.
enum class Log_Retrouve { Nulle_Part, Pret, Renonce };
Log_Retrouve Retrouver_Log(Sous_Programmes& sp, const QString& indicatif, const QString& annee, QString& dossier,
                           const QString& renoncer, QWidget* parent);

} // namespace Logs_Retrouves
