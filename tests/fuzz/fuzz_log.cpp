// A whole log as it is read: cut into lines, each decoded, listed and scored, and written
// back by a rewrite. Whatever the bytes, no line is lost, merged or split, and a rewrite
// gives every line back byte for byte with CR LF.

#include "Enregistrement.h"
#include "FichierLog.h"
#include "Modele_Log.h"
#include "Texte1252.h"
#include "Verifications.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    const QByteArray contenu = Octets_Entree(donnees, taille);
    const QList<QByteArray> lignes = Texte1252::Couper_Lignes(contenu);

    // As many lines as line ends, and one more for a last line without its line end.
    const qsizetype fins = contenu.count('\n');
    EXIGER(lignes.size() == fins + ((!contenu.isEmpty() && !contenu.endsWith('\n')) ? 1 : 0));
    // Each line is the bytes between two LF, less one CR before the LF (or at the very end).
    qsizetype debut = 0;
    for (const QByteArray& ligne : lignes) {
        EXIGER(!ligne.contains('\n'));
        EXIGER(contenu.mid(debut, ligne.size()) == ligne);
        qsizetype suite = debut + ligne.size();
        if (suite < contenu.size() && contenu.at(suite) == '\r'
            && (suite + 1 == contenu.size() || contenu.at(suite + 1) == '\n'))
            ++suite;
        EXIGER(suite == contenu.size() || contenu.at(suite) == '\n');
        debut = suite + 1;
    }
    EXIGER(lignes == Modele_Log::Lignes(contenu));

    // A rewrite: every line and CR LF; read again, the same lines.
    QBuffer tampon;
    tampon.open(QIODevice::WriteOnly);
    const ErreurFichier e = FichierLog::Ecrire(tampon, lignes, QStringLiteral("log.txt"));
    EXIGER(e.ok());
    EXIGER(tampon.data() == Modele_Log::Joindre(lignes));
    EXIGER(Texte1252::Couper_Lignes(tampon.data()) == lignes);

    // Listing and scoring look at the first 53 bytes of each line only.
    int total = 0, numero = 0;
    QString texte;
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) {
        EXIGER(ligne == QByteArrayView(lignes.at(numero)));
        ++numero;
        Texte1252::Decoder(Texte1252::Morceau(ligne, 0, Enregistrement::Longueur_Ligne_Log), texte);
        const QString liste = Enregistrement::Construire_Ligne_Liste(numero, texte);
        EXIGER(Texte1252::Encoder(QStringView(liste).mid(8)) == ligne.first(qMin<qsizetype>(ligne.size(), 53)).toByteArray());
        const int points = Enregistrement::Points_Ligne(texte);
        EXIGER(points == Enregistrement::Points_Ligne(Texte1252::Decoder(ligne)));
        EXIGER(points == Modele_Log::Points(ligne.toByteArray()));
        total += points;
    });
    EXIGER(numero == lignes.size());
    EXIGER(total == Modele_Log::Total(contenu));
    return 0;
}
