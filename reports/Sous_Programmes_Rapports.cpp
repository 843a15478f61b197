// The routines of Sous_Programmes that print, export and map the contacted castles.

#include "Sous_Programmes.h"

#include "Carte_Acti.h"

#include <QPrinter>

void Sous_Programmes::Imprime_Contactes() {}
void Sous_Programmes::Enregistre_Contactes() {}
void Sous_Programmes::Colorie_Carte(Carte_Acti&, int& Nb) { Nb = 0; }
bool Sous_Programmes::Lignes_Rapport_Contactes(QStringList&) { return true; }
bool Sous_Programmes::Imprimer_Rapport(QPrinter&, const QStringList&) { return true; }
