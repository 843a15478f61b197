#include "Echange_Adif.h"

#include "Enregistrement.h"
#include "Qso.h"
#include "Texte1252.h"

#include <QDate>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace Echange_Adif {

namespace {

const QByteArray App_Type = QByteArrayLiteral("APP_QEZ_KVRT_TYPE");
const QByteArray App_Points = QByteArrayLiteral("APP_QEZ_KVRT_POINTS");
const QByteArray App_Attente = QByteArrayLiteral("APP_QEZ_KVRT_ATTENTE");

bool Est_Chiffre(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool Est_Alphanumerique(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

// The kind of an activity type: the other station at the castle, or ours.
bool Type_Activation(int index)
{
    return index >= 3 && index <= 7;
}

// The log's type for one written by our export (ASCII, so "Double ou non valide"); the short
// "Double" that the log also knows stays as it is. Empty when none.
QString Type_Ecrit(QStringView texte)
{
    const QByteArray cherche = Adif::Ascii(texte.trimmed());
    if (cherche == "Double")
        return QStringLiteral("Double");
    const QStringList& types = Enregistrement::Types_Activite();
    for (int i = 0; i < types.size(); ++i)
        if (Adif::Ascii(types.at(i)) == cherche)
            return types.at(i);
    return QString();
}

bool Challenge(const QString& valeur, const QStringList& noms)
{
    const QString v = valeur.trimmed();
    if (v.isEmpty())
        return false;
    for (const QString& nom : noms)
        if (v.compare(nom, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A word that names the Challenge: its name or "château", in any case, with or without the
// accent.
bool Mot_Du_Challenge(QStringView mot)
{
    return mot.compare(QLatin1String(Nom_Challenge), Qt::CaseInsensitive) == 0
           || mot.compare(u"château", Qt::CaseInsensitive) == 0 || mot.compare(u"chateau", Qt::CaseInsensitive) == 0;
}

bool Est_Lettre(QChar c)
{
    return c.isLetter();
}

// What may stand between the word and the reference: blanks, a dash, a colon, a number sign,
// brackets, an equals sign.
bool Entre_Mot_Et_Reference(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'-' || c == u':' || c == u'#' || c == u'(' || c == u')' || c == u'['
           || c == u']' || c == u'=';
}

// A value of the file as the preview quotes it: a damaged file's value of megabytes is shown by
// its beginning, so that no cell or verdict costs the window more than a line.
QString Court(const QString& valeur)
{
    return valeur.size() <= 40 ? valeur : valeur.left(40) + u'…';
}

// "JJ/MM/AA" from the format's YYYYMMDD, false when it is no calendar date. Made by hand: a
// large file has hundreds of thousands of dates, and a parser built for each costs more than
// the rest of the preview.
bool Date_Adif(QStringView brute, QString& date)
{
    if (brute.size() != 8)
        return false;
    int chiffres[8];
    for (int i = 0; i < 8; ++i) {
        if (!Est_Chiffre(brute.at(i)))
            return false;
        chiffres[i] = brute.at(i).unicode() - '0';
    }
    const int annee = chiffres[0] * 1000 + chiffres[1] * 100 + chiffres[2] * 10 + chiffres[3];
    const int mois = chiffres[4] * 10 + chiffres[5];
    const int jour = chiffres[6] * 10 + chiffres[7];
    if (!QDate::isValid(annee, mois, jour))
        return false;
    const char16_t texte[8] = {char16_t(u'0' + chiffres[6]), char16_t(u'0' + chiffres[7]), u'/',
                               char16_t(u'0' + chiffres[4]), char16_t(u'0' + chiffres[5]), u'/',
                               char16_t(u'0' + chiffres[2]), char16_t(u'0' + chiffres[3])};
    date = QString(reinterpret_cast<const QChar*>(texte), 8);
    return true;
}

// A QSO's date, reference and callsign as the log's bytes, packed whole with their lengths
// into four numbers: a log of a hundred thousand QSOs is looked up without a text per line.
struct Cle_Qso
{
    quint64 mots[4] = {};
    bool operator==(const Cle_Qso& autre) const { return memcmp(mots, autre.mots, sizeof mots) == 0; }
};

size_t qHash(const Cle_Qso& cle, size_t graine = 0)
{
    return qHashMulti(graine, cle.mots[0], cle.mots[1], cle.mots[2], cle.mots[3]);
}

// The date (8 bytes at most), the reference (5) and the callsign (12) fit in 32 bytes with
// their three lengths.
Cle_Qso Cle(QByteArrayView date, QByteArrayView reference, QByteArrayView indicatif)
{
    unsigned char octets[32] = {};
    date = date.first(qMin<qsizetype>(date.size(), Enregistrement::Largeur_Date));
    reference = reference.first(qMin<qsizetype>(reference.size(), Enregistrement::Largeur_Reference));
    indicatif = indicatif.first(qMin<qsizetype>(indicatif.size(), Enregistrement::Largeur_Indicatif));
    octets[0] = static_cast<unsigned char>(date.size());
    octets[1] = static_cast<unsigned char>(reference.size());
    octets[2] = static_cast<unsigned char>(indicatif.size());
    // An empty column of a short line may have no bytes at all to copy from.
    if (!date.isEmpty())
        memcpy(octets + 3, date.data(), size_t(date.size()));
    if (!reference.isEmpty())
        memcpy(octets + 11, reference.data(), size_t(reference.size()));
    if (!indicatif.isEmpty())
        memcpy(octets + 16, indicatif.data(), size_t(indicatif.size()));
    Cle_Qso cle;
    memcpy(cle.mots, octets, sizeof octets);
    return cle;
}

// Up to eight bytes as one number, for a reference (with its length) or a whole date.
quint64 Mot(QByteArrayView octets, bool avecTaille)
{
    unsigned char b[8] = {};
    const qsizetype place = avecTaille ? 7 : 8;
    const qsizetype n = qMin(octets.size(), place);
    if (n > 0)
        memcpy(b, octets.data(), size_t(n));
    if (avecTaille)
        b[7] = static_cast<unsigned char>(n);
    quint64 mot = 0;
    memcpy(&mot, b, sizeof mot);
    return mot;
}

// Blanks trimmed at both ends, as the log's columns are read; a tab or a control byte stays.
QByteArrayView Sans_Blancs(QByteArrayView v)
{
    while (!v.isEmpty() && v.front() == ' ')
        v = v.sliced(1);
    while (!v.isEmpty() && v.back() == ' ')
        v.chop(1);
    return v;
}

// A record naming two callsigns or two dates holds two QSOs run together: a field's length
// too long took the "<" of an <EOR>, and nothing tells which castle goes with which QSO.
bool Deux_Qso(const Adif::Enregistrement_Adif& e)
{
    for (const char* nom : {"CALL", "QSO_DATE"}) {
        const QString* premiere = nullptr;
        for (const Adif::Champ& c : e.champs) {
            if (c.nom != nom)
                continue;
            if (!premiere)
                premiere = &c.valeur;
            else if (c.valeur.trimmed().compare(premiere->trimmed(), Qt::CaseInsensitive) != 0)
                return true;
        }
    }
    return false;
}

} // namespace

const QSet<QByteArray>& Champs_Utiles()
{
    static const QSet<QByteArray> champs = {
        "QSO_DATE", "CALL", "SIG", "SIG_INFO", "MY_SIG", "MY_SIG_INFO", "COMMENT", "NOTES", "QSLMSG",
        App_Type, App_Attente,
        // Header fields, so that a preview can say what wrote the file.
        "ADIF_VER", "PROGRAMID", "PROGRAMVERSION", "CREATED_TIMESTAMP",
    };
    return champs;
}

QString Reference_Valide(QStringView texte)
{
    if (texte.size() != 5)
        return QString();
    const QChar a = texte.at(0), b = texte.at(1);
    const bool corse = a == u'2' && (b == u'A' || b == u'B' || b == u'a' || b == u'b');
    if (!corse && !(Est_Chiffre(a) && Est_Chiffre(b)))
        return QString();
    for (int i = 2; i < 5; ++i)
        if (!Est_Chiffre(texte.at(i)))
            return QString();
    return texte.toString().toUpper();
}

QStringList Noms_Sig(QStringView texte)
{
    QStringList noms;
    for (QStringView nom : texte.tokenize(u',')) {
        for (QStringView partie : nom.split(u';')) {
            const QString n = partie.trimmed().toString();
            if (!n.isEmpty() && !noms.contains(n, Qt::CaseInsensitive))
                noms.append(n);
        }
    }
    if (noms.isEmpty())
        noms.append(QString::fromLatin1(Nom_Challenge));
    return noms;
}

QStringList References_Dans_Texte(QStringView texte)
{
    QStringList trouvees;
    // Those already found, looked up at once: a long comment full of references is read in
    // one pass.
    QSet<QString> vues;
    const qsizetype n = texte.size();
    for (qsizetype i = 0; i + 5 <= n; ++i) {
        if (i > 0 && Est_Alphanumerique(texte.at(i - 1)))
            continue;
        if (i + 5 < n && Est_Alphanumerique(texte.at(i + 5)))
            continue;
        const QString r = Reference_Valide(texte.mid(i, 5));
        if (r.isEmpty())
            continue;
        // The word before it, then the word after it.
        qsizetype a = i;
        while (a > 0 && Entre_Mot_Et_Reference(texte.at(a - 1)))
            --a;
        qsizetype b = a;
        while (b > 0 && Est_Lettre(texte.at(b - 1)))
            --b;
        bool pres = a < i && b < a && Mot_Du_Challenge(texte.sliced(b, a - b));
        if (!pres) {
            qsizetype c = i + 5;
            while (c < n && Entre_Mot_Et_Reference(texte.at(c)))
                ++c;
            qsizetype d = c;
            while (d < n && Est_Lettre(texte.at(d)))
                ++d;
            pres = c > i + 5 && d > c && Mot_Du_Challenge(texte.sliced(c, d - c));
            // "01436 KVRT 29018": the name belongs to the reference after it.
            qsizetype e = d;
            while (pres && e < n && Entre_Mot_Et_Reference(texte.at(e)))
                ++e;
            if (pres && e > d && e + 5 <= n && !Reference_Valide(texte.mid(e, 5)).isEmpty()
                && (e + 5 == n || !Est_Alphanumerique(texte.at(e + 5))))
                pres = false;
        }
        if (!pres)
            continue;
        if (!vues.contains(r)) {
            vues.insert(r);
            trouvees.append(r);
        }
        i += 4;
    }
    return trouvees;
}

QList<Qso_Import> Examiner(const QList<Adif::Enregistrement_Adif>& enregistrements, const Options& options,
                           const QByteArray& log)
{
    // What the log holds already: each QSO's date, reference and callsign, and the date of
    // the last QSO of each castle, as the duplicate warning of the entry area finds it.
    // Both are kept as the log's own bytes: one character is one byte, so the columns are cut
    // where they stand, and a log of a hundred thousand QSOs is read without decoding it.
    QSet<Cle_Qso> dansLog;
    QHash<quint64, quint64> derniereDate; // reference's five bytes, date's eight
    const qsizetype lignes = log.count('\n') + 1;
    dansLog.reserve(lignes);
    derniereDate.reserve(lignes);
    Texte1252::Pour_Chaque_Ligne(log, [&](QByteArrayView ligne) {
        using namespace Enregistrement;
        const QByteArrayView date = Champ_Octets(ligne, Place_Date);
        const QByteArrayView reference = Sans_Blancs(Champ_Octets(ligne, Place_Reference));
        dansLog.insert(Cle(date, reference, Sans_Blancs(Champ_Octets(ligne, Place_Indicatif))));
        // A line that reaches its reference has its whole date.
        if (!reference.isEmpty())
            derniereDate.insert(Mot(Champ_Octets(ligne, Place_Reference), true), Mot(date, false));
    });

    QSet<Cle_Qso> ajoutes;
    QList<Qso_Import> resultat;
    resultat.reserve(enregistrements.size());
    const QStringList& types = Enregistrement::Types_Activite();
    for (const Adif::Enregistrement_Adif& e : enregistrements) {
        Qso_Import q;
        q.numero = e.numero;
        q.indicatif = Court(e.Valeur("CALL").trimmed().toUpper());
        const QString dateBrute = Court(e.Valeur("QSO_DATE").trimmed());
        const bool dateValide = Date_Adif(dateBrute, q.date);
        if (!dateValide)
            q.date = dateBrute;

        // The castle and the kind of QSO.
        bool activation = false;
        QString raison;
        if (Challenge(e.Valeur("MY_SIG"), options.nomsSig)) {
            activation = true;
            q.reference = Reference_Valide(e.Valeur("MY_SIG_INFO").trimmed());
            if (q.reference.isEmpty())
                raison = QStringLiteral("MY_SIG_INFO « %1 » n'est pas une référence KVRT").arg(Court(e.Valeur("MY_SIG_INFO").trimmed()));
            // From castle to castle the activation scores; the castle contacted is named.
            if (Challenge(e.Valeur("SIG"), options.nomsSig))
                q.chateauContacte = Reference_Valide(e.Valeur("SIG_INFO").trimmed());
        } else if (Challenge(e.Valeur("SIG"), options.nomsSig)) {
            q.reference = Reference_Valide(e.Valeur("SIG_INFO").trimmed());
            if (q.reference.isEmpty())
                raison = QStringLiteral("SIG_INFO « %1 » n'est pas une référence KVRT").arg(Court(e.Valeur("SIG_INFO").trimmed()));
        } else if (options.chercherDansTexte) {
            QStringList trouvees;
            QSet<QString> vues;
            for (const char* champ : {"COMMENT", "NOTES", "QSLMSG"})
                for (const QString& r : References_Dans_Texte(e.Valeur(champ)))
                    if (!vues.contains(r)) {
                        vues.insert(r);
                        trouvees.append(r);
                    }
            if (trouvees.size() == 1) {
                q.reference = trouvees.first();
            } else if (trouvees.size() > 1) {
                // A few are enough to say why: a comment holding thousands gives a short verdict.
                QString liste = trouvees.mid(0, 10).join(QStringLiteral(", "));
                if (trouvees.size() > 10)
                    liste += QStringLiteral(", … %1 en tout").arg(trouvees.size());
                raison = QStringLiteral("plusieurs références dans le texte (%1)").arg(liste);
            } else {
                raison = QStringLiteral("ni SIG ni MY_SIG KVRT, aucune référence dans COMMENT, NOTES ou QSLMSG");
            }
        } else {
            raison = QStringLiteral("ni SIG ni MY_SIG KVRT");
        }
        q.activation = activation;
        if (q.reference.isEmpty()) {
            q.verdict = Verdict::Sans_Reference;
            q.raison = raison;
            resultat.append(q);
            continue;
        }

        q.type = Type_Ecrit(e.Valeur(App_Type));
        q.notreExport = !q.type.isEmpty();
        if (q.type.isEmpty())
            q.type = types.value(activation ? options.typeActive : options.typeContacte);
        const QString attente = e.Valeur(App_Attente).trimmed().toUpper();
        q.attente = attente == QLatin1String("Y") ? true : attente == QLatin1String("N") ? false : options.attente;

        if (Deux_Qso(e)) {
            q.verdict = Verdict::Refuse;
            q.raison = QStringLiteral("deux QSO dans un seul enregistrement (un <EOR> manque ou une longueur est fausse)");
            resultat.append(q);
            continue;
        }
        if (!dateValide) {
            q.verdict = Verdict::Refuse;
            q.raison = dateBrute.isEmpty() ? QStringLiteral("pas de date (QSO_DATE)")
                                           : QStringLiteral("date QSO_DATE « %1 » illisible").arg(dateBrute);
            resultat.append(q);
            continue;
        }
        if (dateBrute.left(4) != options.annee) {
            q.verdict = Verdict::Autre_Annee;
            q.raison = dateBrute.left(4);
            resultat.append(q);
            continue;
        }
        if (q.indicatif.isEmpty()) {
            q.verdict = Verdict::Refuse;
            q.raison = QStringLiteral("pas d'indicatif (CALL)");
            resultat.append(q);
            continue;
        }
        if (q.indicatif.size() > Enregistrement::Largeur_Indicatif) {
            q.verdict = Verdict::Refuse;
            q.raison = QStringLiteral("indicatif de plus de 12 caractères");
            resultat.append(q);
            continue;
        }
        // The callsign goes whole into its column of the log: no blank, no line end, and
        // nothing that the log's character set cannot hold.
        bool lisible = Texte1252::Representable(q.indicatif);
        for (QChar c : std::as_const(q.indicatif))
            if (c.unicode() <= 32 || c.unicode() == 127)
                lisible = false;
        if (!lisible) {
            q.verdict = Verdict::Refuse;
            q.raison = QStringLiteral("indicatif illisible");
            resultat.append(q);
            continue;
        }

        const Cle_Qso cle = Cle(Texte1252::Encoder(q.date), Texte1252::Encoder(q.reference), Texte1252::Encoder(q.indicatif));
        if (dansLog.contains(cle)) {
            q.verdict = Verdict::Deja_Dans_Log;
        } else if (ajoutes.contains(cle)) {
            q.verdict = Verdict::Double_Fichier;
        } else {
            ajoutes.insert(cle);
            const quint64 reference = Mot(Texte1252::Encoder(q.reference), true);
            const auto vu = derniereDate.constFind(reference);
            if (vu != derniereDate.constEnd()) {
                q.verdict = Verdict::Ajoute_Deja_Vu;
                char date[8];
                const quint64 mot = vu.value();
                memcpy(date, &mot, sizeof date);
                q.raison = Texte1252::Decoder(QByteArrayView(date, 8));
            } else {
                q.verdict = Verdict::Ajoute;
            }
            q.ligne = Texte1252::Encoder(Qso{q.date, q.attente, q.reference, q.type, q.indicatif}.Ligne_Log());
            // A castle added here counts as contacted for the QSOs that follow.
            if (vu == derniereDate.constEnd())
                derniereDate.insert(reference, Mot(Texte1252::Encoder(q.date), false));
        }
        resultat.append(q);
    }
    return resultat;
}

QString Texte_Verdict(const Qso_Import& qso)
{
    const QString chateauAChateau = qso.chateauContacte.isEmpty()
                                        ? QString()
                                        : QStringLiteral(" (de Chateau à Chateau : compté comme activation, Chateau contacté %1 non repris)")
                                              .arg(qso.chateauContacte);
    switch (qso.verdict) {
    case Verdict::Ajoute:
        return QStringLiteral("à ajouter") + chateauAChateau;
    case Verdict::Ajoute_Deja_Vu:
        // The operator who activates a castle did not contact it: the earlier QSO may be
        // either kind, only its date is known.
        if (qso.activation)
            return QStringLiteral("à ajouter, activation d'un Chateau déjà dans le log le ") + qso.raison + chateauAChateau;
        return QStringLiteral("à ajouter, Chateau déjà contacté le ") + qso.raison + chateauAChateau;
    case Verdict::Deja_Dans_Log:
        return QStringLiteral("déjà dans le log");
    case Verdict::Double_Fichier:
        return QStringLiteral("en double dans le fichier");
    case Verdict::Autre_Annee:
        return QStringLiteral("année ") + qso.raison + QStringLiteral(", pas celle du Challenge");
    case Verdict::Sans_Reference:
        return QStringLiteral("sans référence : ") + qso.raison;
    case Verdict::Refuse:
        return QStringLiteral("refusé : ") + qso.raison;
    }
    return QString();
}

QList<QByteArray> Lignes_A_Ajouter(const QList<Qso_Import>& qsos)
{
    QList<QByteArray> lignes;
    // Of two new QSOs of the same day, insertion puts the later one first: the QSOs of our
    // export are handed over in the reverse order within each day to come out as they were.
    QHash<QString, QList<qsizetype>> parJour;
    for (const Qso_Import& q : qsos) {
        if (!q.Ajoute())
            continue;
        if (q.notreExport)
            parJour[q.date].append(lignes.size());
        lignes.append(q.ligne);
    }
    QList<QByteArray> resultat = lignes;
    for (const QList<qsizetype>& places : std::as_const(parJour))
        for (qsizetype k = 0; k < places.size(); ++k)
            resultat[places.at(k)] = lignes.at(places.at(places.size() - 1 - k));
    return resultat;
}

QString Nom_Export(const QString& indicatif, const QString& annee)
{
    return indicatif + QStringLiteral("_Challenge_KVRT_") + annee + QStringLiteral(".adi");
}

QByteArray Exporter(const QList<QByteArray>& lignes, const QString& indicatifStation, const QString& annee,
                    const QString& version, const QDateTime& maintenantUtc, int& ecartees, int& exportees)
{
    ecartees = 0;
    exportees = 0;
    const QByteArray fin = QByteArrayLiteral("\r\n");
    QByteArray sortie;
    sortie.reserve(lignes.size() * 190 + 400);
    // The header's free text must not begin with "<": a reader would take the file for one
    // without a header.
    sortie += Adif::Ascii(QStringLiteral("Log du Challenge KVRT ") + annee + QStringLiteral(" de ")
                          + QString(indicatifStation).replace(u'_', u'/')
                          + QStringLiteral(", exporté par QEZ_Challenge_KVRT"));
    sortie += fin;
    sortie += Adif::Ecrire_Champ("ADIF_VER", u"3.1.4") + fin;
    sortie += Adif::Ecrire_Champ("CREATED_TIMESTAMP", maintenantUtc.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss"))) + fin;
    sortie += Adif::Ecrire_Champ("PROGRAMID", QString::fromLatin1(Programme)) + fin;
    sortie += Adif::Ecrire_Champ("PROGRAMVERSION", version.trimmed()) + fin;
    sortie += QByteArrayLiteral("<EOH>") + fin + fin;

    const QString indicatifStationAdif = QString(indicatifStation).replace(u'_', u'/');
    const QString sig = QLatin1String(Nom_Challenge);
    // The fields that are the same in every record, made once.
    const QByteArray champsContacte = ' ' + Adif::Ecrire_Champ("SIG", sig) + ' ';
    const QByteArray champsActivation = ' ' + Adif::Ecrire_Champ("MY_SIG", sig) + ' ';
    const QByteArray champStation = ' ' + Adif::Ecrire_Champ("STATION_CALLSIGN", indicatifStationAdif);
    QString texte;
    for (const QByteArray& ligne : lignes) {
        Texte1252::Decoder(Texte1252::Morceau(ligne, 0, Enregistrement::Longueur_Ligne_Log), texte);
        int valeur = 0;
        const bool dateLue = Enregistrement::Date_Comparable(texte, valeur);
        const QDate date(valeur / 10000, valeur / 100 % 100, valeur % 100);
        const Qso qso = Qso::De_Ligne_Log(texte);
        if (!dateLue || !date.isValid() || qso.reference.isEmpty() || qso.indicatif.isEmpty()) {
            ++ecartees;
            continue;
        }
        const bool activation = Type_Activation(Enregistrement::Index_Du_Type(qso.type));
        // The widened date read from the record is already the number YYYYMMDD.
        Adif::Ajouter_Champ(sortie, "QSO_DATE", QString::number(valeur));
        sortie += ' ';
        Adif::Ajouter_Champ(sortie, "CALL", qso.indicatif);
        sortie += activation ? champsActivation : champsContacte;
        Adif::Ajouter_Champ(sortie, activation ? "MY_SIG_INFO" : "SIG_INFO", qso.reference);
        sortie += champStation;
        sortie += fin;
        Adif::Ajouter_Champ(sortie, App_Type, qso.type.isEmpty() ? QStringLiteral("?") : qso.type);
        sortie += ' ';
        Adif::Ajouter_Champ(sortie, App_Points, QString::number(Enregistrement::Points_Ligne(texte)));
        sortie += qso.attente ? QByteArrayLiteral(" <APP_QEZ_KVRT_ATTENTE:1>Y <EOR>") : QByteArrayLiteral(" <APP_QEZ_KVRT_ATTENTE:1>N <EOR>");
        sortie += fin;
        ++exportees;
    }
    return sortie;
}

} // namespace Echange_Adif
