#include "Qso.h"

#include "Enregistrement.h"

using namespace Enregistrement;

Qso Qso::De_Ligne_Log(QStringView ligne)
{
    Qso q;
    q.date = Champ(ligne, Place_Date).toString();
    q.attente = Champ(ligne, Place_Marque) == QLatin1String("*");
    q.reference = Champ_Nettoye(ligne, Place_Reference);
    q.type = Champ_Nettoye(ligne, Place_Type);
    q.indicatif = Champ_Nettoye(ligne, Place_Indicatif);
    return q;
}

Qso Qso::De_Ligne_Liste(QStringView ligne)
{
    return De_Ligne_Log(Ligne_Log_De_Liste(ligne));
}

QString Qso::Ligne_Log() const
{
    return Construire_Ligne_Log(date, attente, reference, type, indicatif);
}
