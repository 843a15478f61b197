// The routine of Sous_Programmes that takes QSOs into the log, whatever file they were read from.

#include "Sous_Programmes.h"




Resultat_Changement Sous_Programmes::Importe_Lignes(const QList<QByteArray>& nouvelles, const QByteArray* logLu)
{
    return Montrer(Changements().Importer(nouvelles, logLu));
}
