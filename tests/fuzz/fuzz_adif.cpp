// An exchange file as the import reads it, and the same bytes taken as a log: whatever the
// bytes, reading ends with records or with an error naming a record, the QSOs to add are whole
// log lines, their insertion by date puts each where typing them one by one would, and the
// export of the log reads back to as many records as it wrote, in ASCII.

#include "Adif.h"
#include "Echange_Adif.h"
#include "Enregistrement.h"
#include "Insertion_Une_Par_Une.h"
#include "Texte1252.h"
#include "Verifications.h"

#include <QDateTime>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    const QByteArray contenu = Octets_Entree(donnees, taille);

    Adif::Lecture tout;
    const Adif::Erreur_Adif e = Adif::Lire(contenu, tout);
    if (!e.ok()) {
        EXIGER(tout.enregistrements.isEmpty());
        EXIGER(e.enregistrement >= 0);
    } else {
        for (qsizetype i = 0; i < tout.enregistrements.size(); ++i)
            EXIGER(tout.enregistrements.at(i).numero == i + 1);
        // A record cut off is the one after the last whole record.
        EXIGER(tout.enregistrementCoupe == 0 || tout.enregistrementCoupe == tout.enregistrements.size() + 1);
        EXIGER(tout.champsIgnores >= 0);
    }
    // Keeping only some fields changes neither the verdict of the reading nor the records.
    Adif::Lecture utiles;
    const Adif::Erreur_Adif eu = Adif::Lire(contenu, utiles, Echange_Adif::Champs_Utiles());
    EXIGER(eu.ok() == e.ok() && eu.enregistrement == e.enregistrement);
    EXIGER(utiles.enregistrements.size() == tout.enregistrements.size());
    EXIGER(utiles.champsIgnores == tout.champsIgnores && utiles.enregistrementCoupe == tout.enregistrementCoupe);

    const QList<QByteArray> log = Texte1252::Couper_Lignes(contenu);
    Echange_Adif::Options options;
    options.annee = QStringLiteral("2009");
    options.chercherDansTexte = taille % 2 == 0;
    if (taille % 3 == 0)
        options.nomsSig = Echange_Adif::Noms_Sig(QString::fromLatin1(contenu.left(24)));
    const QList<Echange_Adif::Qso_Import> qsos = Echange_Adif::Examiner(utiles.enregistrements, options, contenu);
    QList<QByteArray> nouvelles;
    EXIGER(Echange_Adif::Lignes_A_Ajouter(qsos).size()
           == std::count_if(qsos.cbegin(), qsos.cend(), [](const Echange_Adif::Qso_Import& q) { return q.Ajoute(); }));
    for (const Echange_Adif::Qso_Import& q : qsos) {
        EXIGER(q.Ajoute() == !q.ligne.isEmpty());
        if (!q.Ajoute())
            continue;
        EXIGER(q.ligne.size() <= Enregistrement::Longueur_Ligne_Log);
        EXIGER(!q.ligne.contains('\n') && !q.ligne.contains('\r'));
        int d = 0;
        EXIGER(Enregistrement::Date_Comparable(Texte1252::Decoder(q.ligne.left(8)), d));
        EXIGER(d / 10000 == 2009);
        nouvelles.append(q.ligne);
    }
    // The bytes' own lines, with new lines made from them when the file gave none.
    if (nouvelles.isEmpty()) {
        for (const QByteArray& l : log) {
            int d = 0;
            if (Enregistrement::Date_Comparable(Texte1252::Decoder(l.left(8)), d))
                nouvelles.append(l);
        }
    }
    EXIGER(Insertion::Inserer_Par_Date(log, nouvelles) == Une_Par_Une(log, nouvelles));

    int ecartees = 0, exportees = 0;
    const QByteArray adi = Echange_Adif::Exporter(log, QStringLiteral("F1ABC"), QStringLiteral("2009"), QStringLiteral("1.1.7"),
                                                  QDateTime(QDate(2009, 3, 28), QTime(0, 0), Qt::UTC), ecartees, exportees);
    EXIGER(ecartees + exportees == log.size());
    for (char c : adi)
        EXIGER((c >= 32 && c < 127) || c == '\r' || c == '\n');
    Adif::Lecture relu;
    EXIGER(Adif::Lire(adi, relu).ok());
    EXIGER(relu.entete && relu.enregistrements.size() == exportees);
    return 0;
}
