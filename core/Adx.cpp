// The XML form of the exchange format (.adx): the same fields as the tagged form, each an
// element named after it, read into the same records so that the import sees no difference.

#include "Adif.h"

#include <QXmlStreamReader>

namespace Adif {

namespace {

// The name a field has in the tagged form: application fields are APP_<program>_<name>.
QByteArray Nom_Champ(const QXmlStreamReader& xml)
{
    if (xml.name().compare(QLatin1String("APP"), Qt::CaseInsensitive) == 0) {
        const QXmlStreamAttributes a = xml.attributes();
        for (const QXmlStreamAttribute& programme : a) {
            if (programme.name().compare(QLatin1String("PROGRAMID"), Qt::CaseInsensitive) != 0)
                continue;
            for (const QXmlStreamAttribute& champ : a)
                if (champ.name().compare(QLatin1String("FIELDNAME"), Qt::CaseInsensitive) == 0)
                    return ("APP_" + programme.value().toString() + u'_' + champ.value().toString()).toUtf8().toUpper();
        }
        return QByteArray();
    }
    return xml.name().toString().toUtf8().toUpper();
}

bool Nom_Est(QStringView nom, const char* attendu)
{
    return nom.compare(QLatin1String(attendu), Qt::CaseInsensitive) == 0;
}

} // namespace

Erreur_Adif Lire_Adx(QByteArrayView octets, Lecture& lecture, const QSet<QByteArray>& gardes,
                     const std::function<void(qsizetype)>& avancement)
{
    lecture = Lecture();
    QXmlStreamReader xml(octets.toByteArray());
    int numero = 1;
    bool adx = false;
    Enregistrement_Adif courant;
    enum class Dans { Rien, Entete, Enregistrement } dans = Dans::Rien;
    qsizetype prochainAvis = 0;
    // Elements are counted, never followed by recursion: a damaged file nested a hundred
    // thousand deep is refused, not the end of the program.
    int profondeur = 0;
    auto suivant = [&] {
        if (avancement && xml.characterOffset() >= prochainAvis) {
            avancement(qsizetype(xml.characterOffset()));
            prochainAvis = qsizetype(xml.characterOffset()) + Pas_Avancement;
        }
        const QXmlStreamReader::TokenType jeton = xml.readNext();
        if (jeton == QXmlStreamReader::StartElement)
            ++profondeur;
        else if (jeton == QXmlStreamReader::EndElement)
            --profondeur;
        return jeton;
    };
    auto tropProfond = [&] {
        const int enregistrement = dans == Dans::Enregistrement ? numero : 0;
        lecture = Lecture();
        return Erreur_Adif{enregistrement, QStringLiteral("ses éléments XML sont imbriqués sur plus de %1 niveaux : le fichier est abîmé")
                                               .arg(Profondeur_Maximale_Adx)};
    };
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType jeton = suivant();
        if (jeton == QXmlStreamReader::EndElement) {
            if (dans == Dans::Enregistrement && Nom_Est(xml.name(), "RECORD")) {
                courant.numero = numero++;
                lecture.enregistrements.append(std::move(courant));
                courant = Enregistrement_Adif();
                dans = Dans::Rien;
            } else if (dans == Dans::Entete && Nom_Est(xml.name(), "HEADER")) {
                lecture.entete = true;
                lecture.champsEntete = std::move(courant.champs);
                courant = Enregistrement_Adif();
                dans = Dans::Rien;
            }
            continue;
        }
        if (jeton != QXmlStreamReader::StartElement)
            continue;
        if (profondeur > Profondeur_Maximale_Adx)
            return tropProfond();
        if (!adx) {
            if (!Nom_Est(xml.name(), "ADX"))
                return Erreur_Adif{0, QStringLiteral("il ressemble à un fichier XML qui n'est pas de l'ADIF (ADX)"), true};
            adx = true;
            continue;
        }
        if (Nom_Est(xml.name(), "HEADER")) {
            dans = Dans::Entete;
            continue;
        }
        if (Nom_Est(xml.name(), "RECORD")) {
            dans = Dans::Enregistrement;
            continue;
        }
        // The records' container is entered; user fields that only their program understands
        // are read through with the fields, and left.
        if (dans == Dans::Rien)
            continue;
        const bool userdef = Nom_Est(xml.name(), "USERDEF");
        const QByteArray nom = userdef ? QByteArray() : Nom_Champ(xml);
        // The field's text, that of the elements inside it included, up to its end.
        QString valeur;
        const int niveau = profondeur;
        while (!xml.atEnd() && profondeur >= niveau) {
            const QXmlStreamReader::TokenType dedans = suivant();
            if (dedans == QXmlStreamReader::Characters || dedans == QXmlStreamReader::EntityReference)
                valeur += xml.text();
            else if (dedans == QXmlStreamReader::StartElement && profondeur > Profondeur_Maximale_Adx)
                return tropProfond();
        }
        if (nom.isEmpty())
            continue;
        if (gardes.isEmpty() || gardes.contains(nom))
            courant.champs.append(Champ{nom, valeur});
    }
    if (avancement)
        avancement(octets.size());
    if (xml.hasError()) {
        const int enregistrement = dans == Dans::Enregistrement ? numero : 0;
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
            // The end of the file inside a record: the records before it are whole. Without
            // any, nothing whole can be read: the file is refused, as a tagged one cut alike.
            if (!lecture.enregistrements.isEmpty()) {
                lecture.enregistrementCoupe = enregistrement;
                return {};
            }
            lecture = Lecture();
            return Erreur_Adif{enregistrement, dans == Dans::Enregistrement
                                                   ? QStringLiteral("l'enregistrement se termine sans </RECORD> : le fichier est tronqué")
                                                   : QStringLiteral("le fichier se termine avant </ADX> : il est tronqué")};
        }
        const QString raison = QStringLiteral("le XML est mal formé ligne %1, colonne %2").arg(xml.lineNumber()).arg(xml.columnNumber());
        lecture = Lecture();
        return Erreur_Adif{enregistrement, raison};
    }
    return {};
}

} // namespace Adif
