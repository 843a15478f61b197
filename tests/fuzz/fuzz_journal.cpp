// The journal's pieces on any bytes: the input is cut in two files, an old and a new log.
// The blocks found between them turn the old into the new and back byte for byte, the
// checksum carried on over any cut is the checksum of the whole, and a journal line read
// from any bytes is either refused or written back the same, and its blocks applied to any
// bytes stay within them.

#include "Journal.h"
#include "Verifications.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    const QByteArray entree = Octets_Entree(donnees, taille);
    const qsizetype coupe = entree.isEmpty() ? 0 : qsizetype(uint8_t(entree.at(0))) * (entree.size() - 1) / 255 + 1;
    const QByteArray ancien = entree.mid(1, qMax<qsizetype>(0, coupe - 1));
    const QByteArray nouveau = entree.mid(qMax<qsizetype>(1, coupe));

    const QList<Journal::Bloc> blocs = Journal::Differences(ancien, nouveau);
    QByteArray apres, avant;
    EXIGER(Journal::Appliquer(ancien, blocs, apres));
    EXIGER(apres == nouveau);
    EXIGER(Journal::Appliquer(nouveau, Journal::Inverser(blocs), avant));
    EXIGER(avant == ancien);
    EXIGER(blocs.isEmpty() == (ancien == nouveau));

    Journal::Empreinte e;
    e.Ajouter(QByteArrayView(ancien));
    Journal::Empreinte relue;
    EXIGER(Journal::Empreinte::Depuis_Texte(e.Texte(), relue));
    relue.Ajouter(QByteArrayView(nouveau));
    EXIGER(relue == Journal::Empreinte_De(ancien + nouveau));

    Journal::Entree lue;
    if (Journal::Decoder_Entree(entree, lue)) {
        Journal::Entree encore;
        EXIGER(Journal::Decoder_Entree(Journal::Encoder_Entree(lue), encore));
        EXIGER(Journal::Encoder_Entree(encore) == Journal::Encoder_Entree(lue));
        // The blocks of any line read, applied to any log, either fit or are refused; never a
        // read outside the log, whatever positions the line holds.
        QByteArray x;
        Journal::Appliquer(ancien, lue.blocs, x);
        Journal::Appliquer(nouveau, Journal::Inverser(lue.blocs), x);
    }
    return 0;
}
