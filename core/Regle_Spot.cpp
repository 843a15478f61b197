#include "Regle_Spot.h"

#include <QTime>
#include <QVarLengthArray>

namespace Regle_Spot {

namespace {

bool Chiffre(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A blank, or a control character such as the BEL some nodes put at the end of a spot.
bool Blanc(QChar c)
{
    return c.isSpace() || c.unicode() < 0x20;
}

bool Lettre_Ascii(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// The words of a text, as positions in it: a spot line has a dozen at most.
struct Mot
{
    qsizetype debut;
    qsizetype longueur;
};
using Mots = QVarLengthArray<Mot, 24>;

Mots Couper_Mots(QStringView texte)
{
    Mots mots;
    const qsizetype n = texte.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && Blanc(texte[i]))
            ++i;
        if (i >= n)
            break;
        const qsizetype debut = i;
        while (i < n && !Blanc(texte[i]))
            ++i;
        mots.append({debut, i - debut});
    }
    return mots;
}

QStringView Texte_Mot(QStringView texte, const Mot& m)
{
    return texte.mid(m.debut, m.longueur);
}

// kHz with or without decimals: "7012", "14025.0", "144300.00".
bool Frequence_Valide(QStringView f)
{
    if (f.isEmpty() || f.size() > 12 || !Chiffre(f.front()))
        return false;
    bool point = false;
    bool nonNulle = false;
    for (QChar c : f) {
        if (c == u'.') {
            if (point)
                return false;
            point = true;
        } else if (!Chiffre(c)) {
            return false;
        } else if (c != u'0') {
            nonNulle = true;
        }
    }
    return nonNulle;
}

// Letters, digits and "/" with at least one of each kind; a spotter may also sign with a
// suffix of its node or skimmer ("W3LPL-2", "DK9IP-#").
bool Indicatif_Valide(QStringView s, bool spotteur)
{
    if (s.size() < 3 || s.size() > 20)
        return false;
    bool lettre = false, chiffre = false;
    for (QChar c : s) {
        if (Lettre_Ascii(c))
            lettre = true;
        else if (Chiffre(c))
            chiffre = true;
        else if (c != u'/' && !(spotteur && (c == u'-' || c == u'#')))
            return false;
    }
    return lettre && chiffre;
}

// "1234Z", in any case.
bool Heure_Valide(QStringView h)
{
    if (h.size() != 5 || (h[4] != u'Z' && h[4] != u'z'))
        return false;
    for (int i = 0; i < 4; ++i)
        if (!Chiffre(h[i]))
            return false;
    const int heures = (h[0].unicode() - u'0') * 10 + (h[1].unicode() - u'0');
    const int minutes = (h[2].unicode() - u'0') * 10 + (h[3].unicode() - u'0');
    return heures < 24 && minutes < 60;
}

// "12-Mar-2024", "2-mar-2024" or "12-Mar-24"; null otherwise.
QDate Date_Cluster(QStringView d)
{
    static const char* const mois[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const qsizetype t1 = d.indexOf(u'-');
    const qsizetype t2 = t1 < 0 ? -1 : d.indexOf(u'-', t1 + 1);
    if (t1 < 1 || t1 > 2 || t2 != t1 + 4)
        return {};
    bool ok1 = false, ok2 = false;
    const int jour = d.left(t1).toInt(&ok1);
    const QStringView texteAnnee = d.mid(t2 + 1);
    int annee = texteAnnee.toInt(&ok2);
    if (!ok1 || !ok2 || (texteAnnee.size() != 4 && texteAnnee.size() != 2))
        return {};
    if (texteAnnee.size() == 2)
        annee += 2000;
    const QString nomMois = d.mid(t1 + 1, 3).toString().toUpper();
    for (int m = 0; m < 12; ++m)
        if (nomMois == QLatin1String(mois[m]))
            return QDate(annee, m + 1, jour);
    return {};
}

QString Majuscules(QStringView s)
{
    return s.toString().toUpper();
}

// The live form: "DX de SPOTTER: freq CALL comment 1234Z [locator or state]".
bool Lire_Direct(QStringView reste, Spot& spot)
{
    // The spotter ends at its colon, even one glued to the frequency; a spotter too long for
    // the node's column may come without it, ended by a blank.
    QStringView spotteur;
    QStringView suite;
    const qsizetype deuxPoints = reste.indexOf(u':');
    if (deuxPoints > 0 && Indicatif_Valide(reste.left(deuxPoints).trimmed(), true)) {
        spotteur = reste.left(deuxPoints).trimmed();
        suite = reste.mid(deuxPoints + 1);
    } else {
        qsizetype debut = 0;
        while (debut < reste.size() && Blanc(reste[debut]))
            ++debut;
        qsizetype fin = debut;
        while (fin < reste.size() && !Blanc(reste[fin]))
            ++fin;
        spotteur = reste.mid(debut, fin - debut);
        suite = reste.mid(fin);
    }
    if (!Indicatif_Valide(spotteur, true))
        return false;
    const Mots mots = Couper_Mots(suite);
    if (mots.size() < 2)
        return false;
    const QStringView frequence = Texte_Mot(suite, mots[0]);
    const QStringView indicatif = Texte_Mot(suite, mots[1]);
    if (!Frequence_Valide(frequence) || !Indicatif_Valide(indicatif, false))
        return false;
    // The time is the last "hhmmZ" word; nodes may add the spotter's locator or state after it.
    qsizetype heure = -1;
    for (qsizetype i = mots.size() - 1; i >= 2 && i >= mots.size() - 3; --i) {
        if (Heure_Valide(Texte_Mot(suite, mots[i]))) {
            heure = i;
            break;
        }
    }
    const qsizetype debutCommentaire = mots[1].debut + mots[1].longueur;
    const qsizetype finCommentaire = heure >= 0 ? mots[heure].debut : suite.size();
    spot.spotteur = Majuscules(spotteur);
    spot.frequence = frequence.toString();
    spot.indicatif = Majuscules(indicatif);
    spot.commentaire = suite.mid(debutCommentaire, finCommentaire - debutCommentaire).trimmed().toString();
    spot.heure = heure >= 0 ? Majuscules(Texte_Mot(suite, mots[heure])) : QString();
    spot.date = QDate();
    return true;
}

// The answer to sh/dx: "freq CALL dd-Mon-yyyy 1234Z comment <SPOTTER>".
bool Lire_Historique(QStringView ligne, Spot& spot)
{
    const Mots mots = Couper_Mots(ligne);
    if (mots.size() < 5)
        return false;
    const QStringView frequence = Texte_Mot(ligne, mots[0]);
    const QStringView indicatif = Texte_Mot(ligne, mots[1]);
    const QDate date = Date_Cluster(Texte_Mot(ligne, mots[2]));
    const QStringView heure = Texte_Mot(ligne, mots[3]);
    if (!Frequence_Valide(frequence) || !Indicatif_Valide(indicatif, false) || !date.isValid() || !Heure_Valide(heure))
        return false;
    // The spotter between angle brackets, last, or before a locator some nodes add.
    qsizetype signe = -1;
    for (qsizetype i = mots.size() - 1; i >= 4 && i >= mots.size() - 2; --i) {
        const QStringView m = Texte_Mot(ligne, mots[i]);
        if (m.size() > 2 && m.front() == u'<' && m.back() == u'>' && Indicatif_Valide(m.mid(1, m.size() - 2), true)) {
            signe = i;
            break;
        }
    }
    if (signe < 0)
        return false;
    const QStringView spotteur = Texte_Mot(ligne, mots[signe]);
    const qsizetype debutCommentaire = mots[3].debut + mots[3].longueur;
    spot.spotteur = Majuscules(spotteur.mid(1, spotteur.size() - 2));
    spot.frequence = frequence.toString();
    spot.indicatif = Majuscules(indicatif);
    spot.commentaire = ligne.mid(debutCommentaire, mots[signe].debut - debutCommentaire).trimmed().toString();
    spot.heure = Majuscules(heure);
    spot.date = date;
    return true;
}

bool Departement_Valide(QChar a, QChar b)
{
    if (a == u'2' && (b == u'A' || b == u'a' || b == u'B' || b == u'b'))
        return true;
    if (!Chiffre(a) || !Chiffre(b))
        return false;
    const int n = (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
    return n >= 1 && n <= 95;
}

// A reference from position i ("29018" or "29-018"), standing alone: neither a letter nor a
// digit right after it, nor a decimal part. Gives where it ends, or -1.
qsizetype Lire_Reference(QStringView t, qsizetype i, QString& reference)
{
    const qsizetype n = t.size();
    if (i + 5 > n || !Departement_Valide(t[i], t[i + 1]))
        return -1;
    qsizetype j = i + 2;
    if (t[j] == u'-')
        ++j;
    if (j + 3 > n || !Chiffre(t[j]) || !Chiffre(t[j + 1]) || !Chiffre(t[j + 2]))
        return -1;
    const qsizetype fin = j + 3;
    if (fin < n) {
        const QChar c = t[fin];
        if (c.isLetterOrNumber())
            return -1;
        if ((c == u'.' || c == u',') && fin + 1 < n && Chiffre(t[fin + 1]))
            return -1;
    }
    reference.resize(5);
    reference[0] = t[i];
    reference[1] = t[i + 1].toUpper();
    reference[2] = t[j];
    reference[3] = t[j + 1];
    reference[4] = t[j + 2];
    return fin;
}

// The length of the Challenge's word or of "château" at position i, as a whole word; 0 otherwise.
qsizetype Mot_Du_Challenge(QStringView t, qsizetype i)
{
    const qsizetype n = t.size();
    if (i > 0 && t[i - 1].isLetterOrNumber())
        return 0;
    auto egal = [&](qsizetype k, char16_t majuscule) { return k < n && t[k].toUpper() == QChar(majuscule); };
    qsizetype longueur = 0;
    if (egal(i, u'K') && egal(i + 1, u'V') && egal(i + 2, u'R') && egal(i + 3, u'T'))
        longueur = 4;
    else if (egal(i, u'C') && egal(i + 1, u'H') && (egal(i + 2, u'A') || egal(i + 2, u'\u00C2')) && egal(i + 3, u'T')
             && egal(i + 4, u'E') && egal(i + 5, u'A') && egal(i + 6, u'U'))
        longueur = 7;
    if (longueur == 0)
        return 0;
    // "KVRTS", "chateaux": another word.
    if (i + longueur < n && t[i + longueur].isLetter())
        return 0;
    return longueur;
}


// A frequency in tenths of a kHz, rounded half up on the hundredths; -1 for what is no
// frequency. Read from the digits, so that no binary rounding puts 7012.05 below 7012.1.
qint64 Dixiemes(QStringView f)
{
    if (!Frequence_Valide(f))
        return -1;
    const qsizetype point = f.indexOf(u'.');
    const QStringView entiers = point < 0 ? f : f.left(point);
    const QStringView decimales = point < 0 ? QStringView() : f.mid(point + 1);
    // Nine digits of kHz reach 1 THz; more is no radio frequency and would overflow nothing,
    // but is refused all the same.
    if (entiers.size() > 9)
        return -1;
    qint64 dixiemes = 0;
    for (QChar c : entiers)
        dixiemes = dixiemes * 10 + (c.unicode() - u'0');
    dixiemes *= 10;
    if (!decimales.isEmpty())
        dixiemes += decimales[0].unicode() - u'0';
    if (decimales.size() > 1 && decimales[1] >= u'5')
        ++dixiemes;
    return dixiemes;
}

// The edges of each band in tenths of a kHz, both included. Region 1's own edges would drop a
// spot heard from abroad: an American station on 7250 or 3950, on 60 m's channels at 5403.5,
// or a 6 m station on 53 MHz is on that band all the same. So the edges are those of the ADIF
// band table every logger files QSOs by, which hold the three regions' allocations; what lies
// between two bands (a beacon on 4500, a broadcast on 9500) is on none.
struct Bord_Bande
{
    qint64 bas;
    qint64 haut;
    const char* nom;
};
constexpr Bord_Bande Bords_Bandes[] = {
    {18000, 20000, "160 m"},     {35000, 40000, "80 m"},      {50600, 54500, "60 m"},
    {70000, 73000, "40 m"},      {101000, 101500, "30 m"},    {140000, 143500, "20 m"},
    {180680, 181680, "17 m"},    {210000, 214500, "15 m"},    {248900, 249900, "12 m"},
    {280000, 297000, "10 m"},    {500000, 540000, "6 m"},     {1440000, 1480000, "2 m"},
};

// What a node passes on of a spot's comment: the classic "DX de" line keeps 30 columns for
// it, between the callsign and the time, and DX Spider cuts a longer comment there before it
// sends the spot to other nodes; AR-Cluster and CC Cluster keep the same columns.
constexpr qsizetype Commentaire_Max = 30;

// A comment as one line of printable ASCII: accents taken off ("château" gives "chateau"),
// control characters and runs of blanks made one blank, anything else dropped. Nodes speak
// 7-bit ASCII: a byte above it shows as junk on the other nodes, and a line end would end
// the command.
QString Commentaire_Ascii(QStringView commentaire)
{
    const QString decompose = commentaire.toString().normalized(QString::NormalizationForm_D);
    QString propre;
    propre.reserve(decompose.size());
    for (QChar c : decompose) {
        if (Blanc(c) || c.unicode() == 0x7F) {
            if (!propre.isEmpty() && !propre.endsWith(u' '))
                propre.append(u' ');
        } else if (c.unicode() < 0x7F) {
            propre.append(c);
        }
    }
    return propre.trimmed();
}

} // namespace

bool Reference_Valide(QStringView reference)
{
    QString r;
    return reference.size() == 5 && Lire_Reference(reference, 0, r) == 5 && r == reference;
}

QStringList References(QStringView t)
{
    QStringList trouvees;
    const qsizetype n = t.size();
    QString reference;
    qsizetype i = 0;
    while (i < n) {
        const qsizetype mot = (t[i] == u'K' || t[i] == u'k' || t[i] == u'C' || t[i] == u'c') ? Mot_Du_Challenge(t, i) : 0;
        if (mot == 0) {
            ++i;
            continue;
        }
        qsizetype j = i + mot;
        while (j < n && (t[j].isSpace() || t[j] == u'-' || t[j] == u':'))
            ++j;
        qsizetype fin = Lire_Reference(t, j, reference);
        if (fin < 0) {
            i += mot;
            continue;
        }
        // "KVRT 29018 / 29019, 29020": one activation of several castles.
        while (true) {
            if (!trouvees.contains(reference))
                trouvees.append(reference);
            qsizetype k = fin;
            while (k < n && t[k].isSpace())
                ++k;
            if (k >= n || (t[k] != u'/' && t[k] != u',' && t[k] != u'&' && t[k] != u'+'))
                break;
            ++k;
            while (k < n && t[k].isSpace())
                ++k;
            const qsizetype suivante = Lire_Reference(t, k, reference);
            if (suivante < 0)
                break;
            fin = suivante;
        }
        i = fin;
    }
    return trouvees;
}

bool Lire(QStringView ligne, Spot& spot)
{
    const QStringView l = ligne.trimmed();
    bool lu = false;
    if (l.size() > 6 && l.startsWith(u"DX de", Qt::CaseInsensitive) && l[5].isSpace())
        lu = Lire_Direct(l.mid(6), spot);
    else if (!l.isEmpty() && Chiffre(l.front()))
        lu = Lire_Historique(l, spot);
    if (!lu)
        return false;
    spot.references = References(spot.commentaire);
    return true;
}

QDateTime Moment(const Spot& spot, const QDateTime& maintenantUtc)
{
    if (!Heure_Valide(spot.heure))
        return maintenantUtc;
    const QTime heure(spot.heure.left(2).toInt(), spot.heure.mid(2, 2).toInt());
    if (spot.date.isValid())
        return QDateTime(spot.date, heure, Qt::UTC);
    QDateTime moment(maintenantUtc.date(), heure, Qt::UTC);
    if (moment > maintenantUtc.addSecs(3600))
        moment = moment.addDays(-1);
    return moment;
}

QDateTime Moment_Alerte(const Spot& spot, const QDateTime& maintenantUtc, qint64 fenetreS)
{
    // How far ahead of the PC clock a node's clock may be.
    constexpr qint64 Avance_Max_S = 600;
    const QDateTime moment = Moment(spot, maintenantUtc);
    if (spot.date.isValid())
        return moment;
    if (moment > maintenantUtc.addSecs(Avance_Max_S) || moment < maintenantUtc.addSecs(-fenetreS))
        return maintenantUtc;
    return moment;
}

const QStringList& Bandes()
{
    static const QStringList bandes = [] {
        QStringList b;
        for (const Bord_Bande& bord : Bords_Bandes)
            b.append(QString::fromLatin1(bord.nom));
        return b;
    }();
    return bandes;
}

QString Cle_Station_Chateau(const QString& indicatif, const QString& reference)
{
    return indicatif.trimmed().toUpper() + QLatin1Char('|') + reference.trimmed().toUpper();
}

QString Bande(QStringView frequence)
{
    const qint64 f = Dixiemes(frequence.trimmed());
    if (f < 0)
        return QString();
    for (const Bord_Bande& bord : Bords_Bandes)
        if (f >= bord.bas && f <= bord.haut)
            return QString::fromLatin1(bord.nom);
    return QString();
}

bool Dans_Age(const QDateTime& moment, const QDateTime& maintenantUtc, int ageMinutes)
{
    return moment.isValid() && moment >= maintenantUtc.addSecs(-qint64(ageMinutes) * 60);
}

bool Dans_Age(const Spot& spot, const QDateTime& maintenantUtc, int ageMinutes)
{
    return Dans_Age(Moment_Alerte(spot, maintenantUtc, qint64(ageMinutes) * 60), maintenantUtc, ageMinutes);
}

QString Ligne_Spot(QStringView frequence, QStringView indicatif, QStringView reference, QStringView commentaire)
{
    const qint64 f = Dixiemes(frequence.trimmed());
    const QString appel = indicatif.trimmed().toString().toUpper();
    const QString chateau = reference.trimmed().toString().toUpper();
    if (f <= 0 || !Indicatif_Valide(appel, false) || !Reference_Valide(chateau))
        return QString();
    QString texte = QStringLiteral("KVRT ") + chateau;
    const QString suite = Commentaire_Ascii(commentaire);
    if (!suite.isEmpty())
        texte += u' ' + suite;
    texte = texte.left(Commentaire_Max).trimmed();
    return QStringLiteral("DX %1.%2 %3 %4").arg(f / 10).arg(f % 10).arg(appel, texte);
}

QString Refus_Spot(const QString& indicatifStation, bool connecte)
{
    const QString station = indicatifStation.trimmed();
    if (station.isEmpty() || station.compare(QLatin1String("FXXXX"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Aucun indicatif de station n'est indiqué : choisissez d'abord votre station "
                              "(Station…), le spot part sous son indicatif.");
    if (!connecte)
        return QStringLiteral("Aucun nœud DX cluster n'est connecté : connectez-vous à un nœud avant de spotter un château.");
    return QString();
}

Ligne_Noeud Genre_Ligne(QStringView ligne)
{
    const QString t = ligne.trimmed().toString().toLower();
    if (t.isEmpty() || t.size() > 200)
        return Ligne_Noeud::Autre;
    const bool invite = t.endsWith(u':') || t.endsWith(u'>') || t.endsWith(u'?');
    auto contient = [&t](const char* mot) { return t.contains(QLatin1String(mot)); };
    auto commence = [&t](const char* mot) { return t.startsWith(QLatin1String(mot)); };

    if (invite && (contient("password") || contient("passphrase") || contient("mot de passe")))
        return Ligne_Noeud::Mot_De_Passe;
    if ((invite && (contient("login") || contient("call") || contient("indicatif")))
        || commence("please enter your call") || commence("enter your call"))
        return Ligne_Noeud::Invite_Login;
    // The node's nags for what the user never set (name, QTH, location, home node, e-mail):
    // they name the command that would set it, or ask in so many words.
    if ((contient("set/") && (commence("please") || contient("consider"))) || commence("please enter your")
        || commence("please set your"))
        return Ligne_Noeud::Rappel;
    static const char* const refus[] = {"sorry", "invalid call", "not a valid call", "not allowed", "bad login",
                                        "login incorrect", "denied", "locked out", "refused",
                                        "not registered", "need to be registered"};
    for (const char* mot : refus)
        if (contient(mot))
            return Ligne_Noeud::Refus;
    if (t.endsWith(u'>'))
        return Ligne_Noeud::Invite_Commande;
    return Ligne_Noeud::Autre;
}

} // namespace Regle_Spot
