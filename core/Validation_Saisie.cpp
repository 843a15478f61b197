#include "Validation_Saisie.h"

#include "Enregistrement.h"
#include "Texte1252.h"

using namespace Enregistrement;

namespace Validation_Saisie {

QString Refus_Station(QStringView indicatif)
{
    if (indicatif != QLatin1String("FXXXX"))
        return QString();
    return QStringLiteral("\r\n  Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge\r\n\r\n"
                          "    Pour cela dans la barre des menus allez dans Station puis Nouvel Indicatif.");
}

QString Refus_Date(QStringView texte, QStringView annee)
{
    if (texte.isEmpty())
        return QStringLiteral("Entrez une date");
    if (texte.size() != Largeur_Date)
        return QStringLiteral("Format de la date JJ/MM/AA");
    if (Controle_Format_Date(texte) != 0)
        return QStringLiteral("Le format date doit etre JJ/MM/AA");
    if (texte.right(2) != annee.right(2))
        return QStringLiteral("Attention la date saisie ne correspond pas a l'année du Challenge");
    return QString();
}

QString Refus_Indicatif(QStringView texte)
{
    if (texte.isEmpty())
        return QStringLiteral("Entrez un indicatif");
    if (texte.size() > Largeur_Indicatif)
        return QStringLiteral("12 caracteres maxi pour l'indicatif");
    return QString();
}

QString Refus_Reference(QStringView texte)
{
    if (texte.size() != Largeur_Reference)
        return QStringLiteral("5 chiffres pour le N° du Chateau");
    // By code, not by QChar::isDigit: a digit of another script would not score as one.
    for (QChar c : texte) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || u == 'A' || u == 'B'))
            return QStringLiteral("Le N° du Chateauu ne doit comporter que des chiffres");
    }
    return QString();
}

QString Refus_Qso(const Qso& qso)
{
    struct Texte { const QString& texte; int largeur; const char* nom; };
    const Texte champs[] = {
        {qso.date, Place_Date.largeur, "la date"},
        {qso.reference, Place_Reference.largeur, "le N° KVRT"},
        {qso.type, Place_Type.largeur, "le type d'activité"},
        {qso.indicatif, Place_Indicatif.largeur, "l'indicatif"},
    };
    if (qso.date.size() != Place_Date.largeur)
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

std::optional<QString> Date_Doublon(const QByteArray& contenu, const QString& reference)
{
    const QByteArray cle = Texte1252::Encoder(reference);
    std::optional<QString> date;
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) {
        if (ligne.size() > Place_Reference.debut && Champ_Octets(ligne, Place_Reference) == cle)
            date = Texte1252::Decoder(Champ_Octets(ligne, Place_Date));
    });
    return date;
}

QString Avertissement_Doublon(const QByteArray& contenu, const QString& reference)
{
    const std::optional<QString> date = Date_Doublon(contenu, reference);
    if (!date)
        return QString();
    return QStringLiteral("Le Chateau N° ") + reference + QStringLiteral(" a déja été contacté le ") + *date
        + QStringLiteral("\r\n   mettre Type Activité a Double ou annulez la saisie");
}

} // namespace Validation_Saisie
