// The list line: the line number in front of the record, and the fields the main window cuts
// from it by position when a line is selected, edited or deleted.

#include "Enregistrement.h"
#include "Texte1252.h"
#include "Verifications.h"

#include <cstring>

using namespace Enregistrement;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    if (taille < 4)
        return 0;
    int32_t numero = 0;
    std::memcpy(&numero, donnees, 4);
    // Mostly line numbers a log can have, now and then any number at all.
    if (!(donnees[3] & 0x80))
        numero = numero % 10000000;
    const QByteArray octets = Octets_Entree(donnees + 4, taille - 4);
    const QString ligneLog = Texte1252::Decoder(octets);
    const QString liste = Construire_Ligne_Liste(numero, ligneLog);
    const qsizetype enregistrement = qMin<qsizetype>(Longueur_Ligne_Log, ligneLog.size());
    EXIGER(liste.endsWith(QStringView(ligneLog).left(Longueur_Ligne_Log)));
    EXIGER(liste.size() > enregistrement);
    EXIGER(liste.at(liste.size() - enregistrement - 1) == u' ');
    EXIGER(QStringView(liste).left(liste.size() - enregistrement).trimmed() == QString::number(numero));

    if (numero >= 1 && numero <= 9999999) {
        // The record starts at character 9 whatever the number of digits.
        EXIGER(liste.size() == 8 + enregistrement);
        if (numero <= 99999)
            EXIGER(liste.left(8) == QString::number(numero).rightJustified(5, u' ') + QStringLiteral("   "));
        // The edit key gives back the bytes of the record.
        EXIGER(Texte1252::Encoder(QStringView(liste).mid(8)) == octets.left(Longueur_Ligne_Log));
        // Fields cut from the list line are those of the record.
        EXIGER(Champ(liste, 9, 8) == Champ(ligneLog, 1, 8));
        EXIGER(Champ(liste, 18, 1) == Champ(ligneLog, 10, 1));
        EXIGER(Champ_Nettoye(liste, 19, 5) == Champ_Nettoye(ligneLog, 11, 5));
        EXIGER(Champ_Nettoye(liste, 26, 22) == Champ_Nettoye(ligneLog, 18, 22));
        EXIGER(Champ_Nettoye(liste, 50, 12) == Champ_Nettoye(ligneLog, 42, 12));
        // A line holds no QSO when its 8 characters from the blank after the date are all
        // blanks (or missing): a tab or any other character there is data.
        bool blancs = true;
        for (QChar c : Champ(ligneLog, 9, 8))
            blancs = blancs && c == u' ';
        EXIGER(Ligne_Liste_Vide(liste) == blancs);
    }
    return 0;
}
