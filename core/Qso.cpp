#include "Qso.h"

#include "Enregistrement.h"
#include "Texte1252.h"

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
    return De_Ligne_Log(ligne.mid(qMin<qsizetype>(Debut_Enregistrement_Liste, ligne.size())));
}

QString Qso::Ligne_Log() const
{
    return Construire_Ligne_Log(date, attente, reference, type, indicatif);
}

QString Qso::Refus() const
{
    struct Texte { const QString& texte; int largeur; const char* nom; };
    const Texte champs[] = {
        {date, Place_Date.largeur, "la date"},
        {reference, Place_Reference.largeur, "le N° KVRT"},
        {type, Place_Type.largeur, "le type d'activité"},
        {indicatif, Place_Indicatif.largeur, "l'indicatif"},
    };
    if (date.size() != Place_Date.largeur)
        return QStringLiteral("QSO non enregistré : la date doit comporter %1 caractères (JJ/MM/AA)").arg(Place_Date.largeur);
    for (const Texte& c : champs) {
        if (c.texte.size() > c.largeur)
            return QStringLiteral("QSO non enregistré : %1 comporte plus de %2 caractères").arg(QString::fromUtf8(c.nom)).arg(c.largeur);
        // A line end pasted into a field would cut the record in two lines of the log.
        if (!Texte1252::Representable(c.texte) || c.texte.contains(u'\r') || c.texte.contains(u'\n'))
            return QStringLiteral("QSO non enregistré : %1 comporte un caractère qui ne peut pas être écrit dans le log")
                .arg(QString::fromUtf8(c.nom));
    }
    return QString();
}
