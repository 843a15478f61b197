#include "Echange_Adif.h"

#include "Enregistrement.h"
#include "Texte1252.h"

#include <QDate>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <climits>

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

// Row of a type written by our export (ASCII, so "Double ou non valide"); -1 when none.
int Index_Type_Ascii(QStringView texte)
{
    const QByteArray cherche = Adif::Ascii(texte.trimmed());
    const QStringList& types = Enregistrement::Types_Activite();
    for (int i = 0; i < types.size(); ++i)
        if (Adif::Ascii(types.at(i)) == cherche)
            return i;
    return -1;
}

bool Challenge(const QString& valeur)
{
    return valeur.trimmed().compare(QLatin1String(Nom_Challenge), Qt::CaseInsensitive) == 0;
}

QString Cle(QStringView date, QStringView reference, QStringView indicatif)
{
    return date.toString() + u'|' + reference.toString() + u'|' + indicatif.toString();
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

QStringList References_Dans_Texte(QStringView texte)
{
    QStringList trouvees;
    for (qsizetype i = 0; i + 5 <= texte.size(); ++i) {
        if (i > 0 && Est_Alphanumerique(texte.at(i - 1)))
            continue;
        if (i + 5 < texte.size() && Est_Alphanumerique(texte.at(i + 5)))
            continue;
        const QString r = Reference_Valide(texte.mid(i, 5));
        if (r.isEmpty())
            continue;
        if (!trouvees.contains(r))
            trouvees.append(r);
        i += 4;
    }
    return trouvees;
}

QList<Qso_Import> Examiner(const QList<Adif::Enregistrement_Adif>& enregistrements, const Options& options,
                           const QByteArray& log)
{
    // What the log holds already: each QSO's date, reference and callsign, and the date of
    // the last QSO of each castle, as the duplicate warning of the entry area finds it.
    QSet<QString> dansLog;
    QHash<QString, QString> derniereDate;
    QString texte;
    Texte1252::Pour_Chaque_Ligne(log, [&](QByteArrayView ligne) {
        Texte1252::Decoder(Texte1252::Morceau(ligne, 0, Enregistrement::Longueur_Ligne_Log), texte);
        const QString date = Enregistrement::Champ(texte, 1, 8).toString();
        const QString reference = Enregistrement::Champ_Nettoye(texte, 11, 5);
        dansLog.insert(Cle(date, reference, Enregistrement::Champ_Nettoye(texte, 42, 12)));
        if (!reference.isEmpty())
            derniereDate.insert(Enregistrement::Champ(texte, 11, 5).toString(), date);
    });

    QSet<QString> ajoutes;
    QList<Qso_Import> resultat;
    resultat.reserve(enregistrements.size());
    const QStringList& types = Enregistrement::Types_Activite();
    for (const Adif::Enregistrement_Adif& e : enregistrements) {
        Qso_Import q;
        q.numero = e.numero;
        q.indicatif = e.Valeur("CALL").trimmed().toUpper();
        const QString dateBrute = e.Valeur("QSO_DATE").trimmed();
        const QDate date = QDate::fromString(dateBrute, QStringLiteral("yyyyMMdd"));
        const bool dateValide = dateBrute.size() == 8 && date.isValid();
        q.date = dateValide ? Enregistrement::Texte_Date(date) : dateBrute;

        // The castle and the kind of QSO.
        bool activation = false;
        QString raison;
        if (Challenge(e.Valeur("MY_SIG"))) {
            activation = true;
            q.reference = Reference_Valide(e.Valeur("MY_SIG_INFO").trimmed());
            if (q.reference.isEmpty())
                raison = QStringLiteral("MY_SIG_INFO « %1 » n'est pas une référence KVRT").arg(e.Valeur("MY_SIG_INFO").trimmed());
        } else if (Challenge(e.Valeur("SIG"))) {
            q.reference = Reference_Valide(e.Valeur("SIG_INFO").trimmed());
            if (q.reference.isEmpty())
                raison = QStringLiteral("SIG_INFO « %1 » n'est pas une référence KVRT").arg(e.Valeur("SIG_INFO").trimmed());
        } else if (options.chercherDansTexte) {
            QStringList trouvees;
            for (const char* champ : {"COMMENT", "NOTES", "QSLMSG"})
                for (const QString& r : References_Dans_Texte(e.Valeur(champ)))
                    if (!trouvees.contains(r))
                        trouvees.append(r);
            if (trouvees.size() == 1)
                q.reference = trouvees.first();
            else if (trouvees.size() > 1)
                raison = QStringLiteral("plusieurs références dans le texte (%1)").arg(trouvees.join(QStringLiteral(", ")));
            else
                raison = QStringLiteral("ni SIG ni MY_SIG KVRT, aucune référence dans COMMENT, NOTES ou QSLMSG");
        } else {
            raison = QStringLiteral("ni SIG ni MY_SIG KVRT");
        }
        if (q.reference.isEmpty()) {
            q.verdict = Verdict::Sans_Reference;
            q.raison = raison;
            resultat.append(q);
            continue;
        }

        int index = Index_Type_Ascii(e.Valeur(App_Type));
        if (index < 0)
            index = activation ? options.typeActive : options.typeContacte;
        q.type = types.value(index);
        const QString attente = e.Valeur(App_Attente).trimmed().toUpper();
        q.attente = attente == QLatin1String("Y") ? true : attente == QLatin1String("N") ? false : options.attente;

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

        const QString cle = Cle(q.date, q.reference, q.indicatif);
        if (dansLog.contains(cle)) {
            q.verdict = Verdict::Deja_Dans_Log;
        } else if (ajoutes.contains(cle)) {
            q.verdict = Verdict::Double_Fichier;
        } else {
            ajoutes.insert(cle);
            const auto vu = derniereDate.constFind(q.reference);
            if (vu != derniereDate.constEnd()) {
                q.verdict = Verdict::Ajoute_Deja_Vu;
                q.raison = vu.value();
            } else {
                q.verdict = Verdict::Ajoute;
            }
            q.ligne = Texte1252::Encoder(
                Enregistrement::Construire_Ligne_Log(q.date, q.attente, q.reference, q.type, q.indicatif));
            // A castle added here counts as contacted for the QSOs that follow.
            if (vu == derniereDate.constEnd())
                derniereDate.insert(q.reference, q.date);
        }
        resultat.append(q);
    }
    return resultat;
}

QString Texte_Verdict(const Qso_Import& qso)
{
    switch (qso.verdict) {
    case Verdict::Ajoute:
        return QStringLiteral("à ajouter");
    case Verdict::Ajoute_Deja_Vu:
        return QStringLiteral("à ajouter, Chateau déjà contacté le ") + qso.raison;
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

QList<QByteArray> Inserer_Par_Date(const QList<QByteArray>& lignes, const QList<QByteArray>& nouvelles)
{
    QString debut; // reused from line to line
    auto dateDe = [&debut](QByteArrayView ligne, int& valeur) {
        Texte1252::Decoder(Texte1252::Morceau(ligne, 0, 8), debut);
        return Enregistrement::Date_Comparable(debut, valeur);
    };
    // A new record goes before the first line whose date is on or after its own, that is the
    // first line where the greatest date seen so far reaches it: that greatest date only
    // grows, so the place is found by a binary search and a long log is read once.
    const qsizetype n = lignes.size();
    QList<int> plusGrande(n);
    int maximum = INT_MIN;
    for (qsizetype i = 0; i < n; ++i) {
        int valeur = 0;
        if (dateDe(lignes.at(i), valeur))
            maximum = qMax(maximum, valeur);
        plusGrande[i] = maximum;
    }
    struct Place
    {
        qsizetype devant; // index of the line it goes before, n for the end
        int date;
        qsizetype ordre;
    };
    QList<Place> places;
    places.reserve(nouvelles.size());
    for (qsizetype k = 0; k < nouvelles.size(); ++k) {
        int valeur = INT_MAX;
        dateDe(nouvelles.at(k), valeur);
        const qsizetype devant = std::lower_bound(plusGrande.cbegin(), plusGrande.cend(), valeur) - plusGrande.cbegin();
        places.append(Place{devant, valeur, k});
    }
    // New records that go before the same line keep their dates in order, and of two on the
    // same day the later one goes first, as it would when typed after the other.
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        if (a.devant != b.devant)
            return a.devant < b.devant;
        if (a.date != b.date)
            return a.date < b.date;
        return a.ordre > b.ordre;
    });
    QList<QByteArray> resultat;
    resultat.reserve(n + nouvelles.size());
    qsizetype p = 0;
    for (qsizetype i = 0; i <= n; ++i) {
        while (p < places.size() && places.at(p).devant == i)
            resultat.append(nouvelles.at(places.at(p++).ordre));
        if (i < n)
            resultat.append(lignes.at(i));
    }
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
        const QString reference = Enregistrement::Champ_Nettoye(texte, 11, 5);
        const QString indicatif = Enregistrement::Champ_Nettoye(texte, 42, 12);
        if (!dateLue || !date.isValid() || reference.isEmpty() || indicatif.isEmpty()) {
            ++ecartees;
            continue;
        }
        const QString type = Enregistrement::Champ_Nettoye(texte, 18, Enregistrement::Largeur_Type);
        const bool activation = Type_Activation(Enregistrement::Index_Du_Type(type));
        const bool attente = Enregistrement::Champ(texte, 10, 1) == QLatin1String("*");
        // The widened date read from the record is already the number YYYYMMDD.
        Adif::Ajouter_Champ(sortie, "QSO_DATE", QString::number(valeur));
        sortie += ' ';
        Adif::Ajouter_Champ(sortie, "CALL", indicatif);
        sortie += activation ? champsActivation : champsContacte;
        Adif::Ajouter_Champ(sortie, activation ? "MY_SIG_INFO" : "SIG_INFO", reference);
        sortie += champStation;
        sortie += fin;
        Adif::Ajouter_Champ(sortie, App_Type, type.isEmpty() ? QStringLiteral("?") : type);
        sortie += ' ';
        Adif::Ajouter_Champ(sortie, App_Points, QString::number(Enregistrement::Points_Ligne(texte)));
        sortie += attente ? QByteArrayLiteral(" <APP_QEZ_KVRT_ATTENTE:1>Y <EOR>") : QByteArrayLiteral(" <APP_QEZ_KVRT_ATTENTE:1>N <EOR>");
        sortie += fin;
        ++exportees;
    }
    return sortie;
}

} // namespace Echange_Adif
