// The record line: cutting fields by position, building a record from fields, scoring.
// Any bytes may stand in a log line.

#include "Enregistrement.h"
#include "Texte1252.h"
#include "Verifications.h"

using namespace Enregistrement;

static bool Blanc_Aux_Bords(QStringView v)
{
    return !v.isEmpty() && (v.front() == u' ' || v.back() == u' ');
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    const QByteArray octets = Octets_Entree(donnees, taille);
    const QString ligne = Texte1252::Decoder(octets);
    // One byte, one character, and back: positions are bytes and no byte is lost.
    EXIGER(ligne.size() == octets.size());
    EXIGER(Texte1252::Encoder(ligne) == octets);
    EXIGER(Texte1252::Representable(ligne));

    for (int position = 0; position <= 60; position += (position < 20 ? 1 : 7)) {
        for (int largeur : {-1, 0, 1, 2, 5, 8, 12, 22, 53, 1000}) {
            const QStringView champ = Champ(ligne, position, largeur);
            EXIGER(champ.size() <= qMax(0, largeur));
            if (position >= 1 && largeur > 0)
                EXIGER(champ == QStringView(ligne).mid(position - 1).left(largeur));
            const QString nettoye = Champ_Nettoye(ligne, position, largeur);
            EXIGER(!Blanc_Aux_Bords(nettoye));
            EXIGER(champ.contains(nettoye));
        }
    }

    // Scoring reads only the mark and the type, both inside the 53 bytes of a record.
    const int points = Points_Ligne(ligne);
    EXIGER(points == 0 || points == 1 || points == 2 || points == 3 || points == 6);
    EXIGER(points == Points_Ligne(QStringView(ligne).left(Longueur_Ligne_Log)));
    if (ligne.size() >= 10 && ligne.at(9) == u'*')
        EXIGER(points == 0);
    const int index = Index_Du_Type(Champ_Nettoye(ligne, 18, Largeur_Type));
    EXIGER(index >= -1 && index <= 8);
    if (ligne.size() < 10 || ligne.at(9) != u'*')
        EXIGER(points == Points_Du_Type(index));

    const int departement = Numero_Departement(Champ(ligne, 11, 2));
    EXIGER(departement >= 0 && departement <= 99);
    const int carte = Case_Departement(Champ(ligne, 11, 2));
    EXIGER(carte >= -1 && carte <= 99);
    const int format = Controle_Format_Date(Champ(ligne, 1, 8));
    EXIGER(format == 0 || format == 1);

    // A record built from fields within their widths gives every field back at its place.
    if (taille >= 4) {
        const int lr = donnees[0] % 6, lt = donnees[1] % 23, li = donnees[2] % 13;
        const bool attente = donnees[3] & 1;
        const QString reste = Texte1252::Decoder(octets.mid(4));
        if (reste.size() >= 8 + lr + lt + li) {
            const QString date = reste.left(8);
            const QString reference = reste.mid(8, lr);
            const QString type = reste.mid(8 + lr, lt);
            const QString indicatif = reste.mid(8 + lr + lt, li);
            const QString r = Construire_Ligne_Log(date, attente, reference, type, indicatif);
            EXIGER(r.size() == Longueur_Ligne_Log);
            EXIGER(Champ(r, 1, 8) == date);
            EXIGER(Champ(r, 10, 1) == (attente ? QStringLiteral("*") : QStringLiteral(" ")));
            EXIGER(Champ(r, 11, 5) == reference.leftJustified(5, u' '));
            EXIGER(Champ(r, 18, 22) == type.leftJustified(22, u' '));
            EXIGER(Champ(r, 42, 12) == indicatif.leftJustified(12, u' '));
            int attendu = 0;
            if (!attente) {
                QStringView t = type;
                while (!t.isEmpty() && t.front() == u' ')
                    t = t.mid(1);
                while (!t.isEmpty() && t.back() == u' ')
                    t.chop(1);
                attendu = Points_Du_Type(Index_Du_Type(t));
            }
            EXIGER(Points_Ligne(r) == attendu);
        }
    }
    return 0;
}
