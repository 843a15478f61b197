#pragma once

#include "FichierLog.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

class QPrinter;
class Sous_Programmes;

// The reports of the contacted castles, made from the current log of the module: each tells
// the user what went wrong and returns false then.
namespace Rapports_Contactes {

// The printed list, through the print dialog.
void Imprime_Contactes(Sous_Programmes& sp);
// Without a printer installed, the print dialog still offers a PDF file: this one, named
// nom + ".pdf", beside the log.
void Proposer_Pdf(const Sous_Programmes& sp, QPrinter& imprimante, const QString& nom);
// The same list as a text file beside the log, named after the day.
void Enregistre_Contactes(Sous_Programmes& sp);
// That file's body, without a message: the export of the log's bytes (in the program's form)
// made on `jour` with the total shown, written into `dossier` in one step. nom gets its name.
ErreurFichier Ecrire_Export_Contactes(const QByteArray& log, const QString& indicatif, const QString& annee, const QDate& jour,
                                      const QString& total, const QString& dossier, QString& nom);
// The report body shared by the printout and the export, one line per entry.
bool Lignes_Rapport_Contactes(Sous_Programmes& sp, QStringList& lignes);
bool Imprimer_Rapport(Sous_Programmes& sp, QPrinter& imprimante, const QStringList& lignes);
// The printer as a message names it: its PDF file's path, or the printer's own name.
QString Nom_Imprimante(const QPrinter& imprimante);

} // namespace Rapports_Contactes
