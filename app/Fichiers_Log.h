#pragma once

#include <QDate>
#include <QString>

class Sous_Programmes;
class QWidget;

// The log's files at hand, from the main window's menu: its folder shown by the desktop's file
// manager, a copy of the log saved where the operator chooses (a plain log, written whole or not
// at all), and the log in the exchange format. Each says what it did over `parent`.
namespace Fichiers_Log {

void Ouvre_Dossier_Logs(Sous_Programmes& sp, QWidget* parent);
void Enregistre_Copie_Log(Sous_Programmes& sp, QWidget* parent);
// The log as an .adi file where the operator chooses (beside the log unless he says otherwise).
void Enregistre_Adif(Sous_Programmes& sp, QWidget* parent);
// "F1ABC_Challenge_KVRT_2009_copie_28_03_09.txt" for that log and day.
QString Nom_Copie_Log(const QString& nomLog, const QDate& jour);

} // namespace Fichiers_Log
