#include "Adif.h"

#include "Texte1252.h"

#include <QStringDecoder>

#include <bitset>
#include <cstdio>
#include <cstring>
#include <limits>

namespace Adif {

QString Enregistrement_Adif::Valeur(QByteArrayView nom) const
{
    for (const Champ& c : champs)
        if (c.nom == nom)
            return c.valeur;
    return QString();
}

bool Enregistrement_Adif::Possede(QByteArrayView nom) const
{
    for (const Champ& c : champs)
        if (c.nom == nom)
            return true;
    return false;
}

namespace {

QString Decoder_Valeur(QByteArrayView octets)
{
    // Programs that write UTF-8 count its bytes; anything that is not valid UTF-8 was
    // written in the Windows code page that the other programs of the same desk use.
    return Texte1252::Decoder_Utf8_Ou_1252(octets);
}

bool Nom_Valide(QByteArrayView nom)
{
    if (nom.isEmpty())
        return false;
    for (char c : nom) {
        const bool bon = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!bon)
            return false;
    }
    return true;
}

QString Montrer(QByteArrayView octets)
{
    // A tag quoted in a message: short, and nothing that cannot be shown.
    QString texte;
    for (char c : octets.first(qMin<qsizetype>(octets.size(), 40))) {
        const unsigned char u = static_cast<unsigned char>(c);
        texte += (u >= 32 && u < 127) ? QChar(u) : QChar(u'?');
    }
    if (octets.size() > 40)
        texte += QStringLiteral("…");
    return texte;
}


QByteArrayView Sans_Blancs(QByteArrayView texte)
{
    qsizetype a = 0, b = texte.size();
    while (a < b && (texte[a] == ' ' || texte[a] == '\t' || texte[a] == '\r' || texte[a] == '\n'))
        ++a;
    while (b > a && (texte[b - 1] == ' ' || texte[b - 1] == '\t' || texte[b - 1] == '\r' || texte[b - 1] == '\n'))
        --b;
    return texte.sliced(a, b - a);
}

bool Egal_Sans_Casse(QByteArrayView texte, const char* mot)
{
    return texte.compare(QByteArrayView(mot), Qt::CaseInsensitive) == 0;
}

// Where a field's data may end: before a blank, a line end or the next tag.
bool Fin_De_Champ(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '<';
}

// The end of `longueur` UTF-8 characters from `depuis`, when they are valid UTF-8 and end
// where a field can end; -1 otherwise.
qsizetype Fin_Par_Caracteres(QByteArrayView octets, qsizetype depuis, qint64 longueur)
{
    const qsizetype n = octets.size();
    qsizetype p = depuis;
    bool multiOctets = false;
    for (qint64 k = 0; k < longueur; ++k) {
        if (p >= n)
            return -1;
        const unsigned char c = static_cast<unsigned char>(octets[p]);
        int taille = 1;
        if (c >= 0x80) {
            if (c >= 0xC2 && c <= 0xDF)
                taille = 2;
            else if (c >= 0xE0 && c <= 0xEF)
                taille = 3;
            else if (c >= 0xF0 && c <= 0xF4)
                taille = 4;
            else
                return -1;
            multiOctets = true;
        }
        if (taille > n - p)
            return -1;
        for (int i = 1; i < taille; ++i)
            if ((static_cast<unsigned char>(octets[p + i]) & 0xC0) != 0x80)
                return -1;
        p += taille;
    }
    if (!multiOctets || (p < n && !Fin_De_Champ(octets[p])))
        return -1;
    return p;
}

// True when the text after a "<" is the beginning of a field's tag ("CALL:5", "NAME:1"), not
// of free text ("https://") nor a tag without data ("EOF").
bool Debut_De_Champ(QByteArrayView texte)
{
    const qsizetype deuxPoints = texte.indexOf(':');
    if (deuxPoints < 0 || !Nom_Valide(Sans_Blancs(texte.first(deuxPoints))))
        return false;
    for (char c : texte.sliced(deuxPoints + 1))
        if (!(c >= '0' && c <= '9') && c != ' ' && c != ':' && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z'))
            return false;
    return true;
}

// The "<" or ">" that ends a tag opened just before `depuis`, `fin` when there is none: a
// "<" met first opens another tag, so that a run of "<" is read once, not once per "<".
const char* Fin_Balise(const char* depuis, const char* fin)
{
    while (depuis < fin && *depuis != '>' && *depuis != '<')
        ++depuis;
    return depuis;
}

// True when a record end ("<EOR>", any case, blanks allowed) follows the position.
bool Fin_Enregistrement_Apres(QByteArrayView octets, qsizetype depuis)
{
    const char* const fin = octets.data() + octets.size();
    const char* p = octets.data() + depuis;
    while (p < fin) {
        const char* lt = static_cast<const char*>(memchr(p, '<', size_t(fin - p)));
        if (!lt)
            return false;
        const char* ferme = Fin_Balise(lt + 1, fin);
        if (ferme == fin)
            return false;
        if (*ferme == '>' && Egal_Sans_Casse(Sans_Blancs(QByteArrayView(lt + 1, ferme - lt - 1)), "EOR"))
            return true;
        p = *ferme == '<' ? ferme : ferme + 1;
    }
    return false;
}

// The fields a file's header holds: met without <EOH>, they make no QSO.
bool Champ_Entete(QByteArrayView nom)
{
    return nom == "ADIF_VER" || nom == "PROGRAMID" || nom == "PROGRAMVERSION" || nom == "CREATED_TIMESTAMP"
           || nom.startsWith("USERDEF");
}

// The first character that is not a blank, after a byte order mark.
qsizetype Premier_Signe(QByteArrayView octets)
{
    qsizetype p = octets.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (p < octets.size() && (octets[p] == ' ' || octets[p] == '\t' || octets[p] == '\r' || octets[p] == '\n'))
        ++p;
    return p;
}

bool Est_Xml(QByteArrayView octets)
{
    const QByteArrayView d = octets.sliced(Premier_Signe(octets));
    return d.startsWith("<?xml") || d.startsWith("<?XML") || d.first(qMin<qsizetype>(d.size(), 4)).compare("<ADX", Qt::CaseInsensitive) == 0;
}

// A text without any tag whose first line is cut by separators: a table saved as text.
QString Nature_Texte(QByteArrayView octets)
{
    if (octets.contains('<'))
        return QString();
    const qsizetype p = Premier_Signe(octets);
    qsizetype fin = octets.indexOf('\n', p);
    if (fin < 0)
        fin = octets.size();
    const QByteArrayView ligne = octets.sliced(p, fin - p);
    for (char separateur : {';', ',', '\t'})
        if (ligne.count(separateur) >= 2)
            return QStringLiteral("il ressemble à un tableau enregistré en texte (CSV)");
    return QString();
}

} // namespace

QString Nature_Fichier(QByteArrayView octets)
{
    struct Signature
    {
        const char* debut;
        int taille;
        const char* nature;
    };
    static const Signature signatures[] = {
        {"\x89PNG", 4, "une image PNG"},
        {"\xFF\xD8\xFF", 3, "une image JPEG"},
        {"GIF87a", 6, "une image GIF"},
        {"GIF89a", 6, "une image GIF"},
        {"%PDF", 4, "un document PDF"},
        {"PK\x03\x04", 4, "une archive ZIP, comme un classeur ou un document de traitement de texte"},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8, "un classeur ou un document de bureautique d'ancien format"},
        {"{\\rtf", 5, "un document RTF"},
        {"\x1F\x8B", 2, "un fichier compressé (gzip)"},
        {"Rar!", 4, "une archive RAR"},
        {"7z\xBC\xAF", 4, "une archive 7z"},
    };
    for (const Signature& s : signatures)
        if (octets.startsWith(QByteArrayView(s.debut, s.taille)))
            return QStringLiteral("il ressemble à ") + QString::fromUtf8(s.nature);
    const QByteArrayView d = octets.sliced(Premier_Signe(octets));
    const QByteArrayView tete = d.first(qMin<qsizetype>(d.size(), 15));
    if (tete.startsWith("<!DOCTYPE html") || tete.startsWith("<!doctype html") || tete.startsWith("<html") || tete.startsWith("<HTML"))
        return QStringLiteral("il ressemble à une page web (HTML)");
    return QString();
}

Erreur_Adif Lire(QByteArrayView octets, Lecture& lecture, const QSet<QByteArray>& gardes,
                 const std::function<void(qsizetype)>& avancement)
{
    lecture = Lecture();
    // A few Windows programs write UTF-16: read as the same text in UTF-8, where the lengths
    // they counted in characters are found as such.
    if (octets.startsWith("\xFF\xFE") || octets.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(octets.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        const QByteArray utf8 = QString(utf16.decode(octets.sliced(2))).toUtf8();
        return Lire(utf8, lecture, gardes, [&](qsizetype fait) {
            if (avancement)
                avancement(utf8.isEmpty() ? octets.size() : qsizetype(double(fait) * octets.size() / utf8.size()));
        });
    }
    const QString nature = Nature_Fichier(octets);
    if (!nature.isEmpty())
        return Erreur_Adif{0, nature, true};
    if (Est_Xml(octets))
        return Lire_Adx(octets, lecture, gardes, avancement);

    const char* const debut = octets.data();
    const qsizetype n = octets.size();
    qsizetype position = 0;
    qsizetype prochainAvis = 0;
    int numero = 1;
    Enregistrement_Adif courant;
    bool champVu = false;   // a field or record end was met: this is a tagged file
    bool champsEnCours = false; // the record being read has a field, kept or not
    bool qsoEnCours = false;    // ... and one that is neither an application's own nor a header's
    // A file that does not begin with "<" begins with a header's free text, where a "<"
    // (a web address, a comparison) opens no tag, until the header ends.
    qsizetype premier = 0;
    if (n >= 3 && memcmp(debut, "\xEF\xBB\xBF", 3) == 0)
        premier = 3;
    bool texteEntete = premier < n && debut[premier] != '<';
    bool coupe = false;         // the end of the file came inside a field
    QString raisonCoupe;
    // The first letter and length of each field kept: most fields of a large file are left
    // aside on this alone, without looking their name up.
    std::bitset<64 * 64> possibles;
    auto place = [](char premiere, qsizetype longueur) {
        return size_t(longueur) * 64 + size_t(static_cast<unsigned char>(premiere) & 63);
    };
    for (const QByteArray& g : gardes)
        if (!g.isEmpty() && g.size() < 64)
            possibles.set(place(g.at(0), g.size()));
    // The few names kept are compared one by one: cheaper than hashing each name met.
    const QList<QByteArray> listeGardes(gardes.cbegin(), gardes.cend());
    // The last value of each field kept, with its text: a comment written alike on every QSO,
    // a day's date or a SIG repeated from record to record shares one string rather than
    // making one for each record, which a file of hundreds of thousands of QSOs pays twice,
    // when it is read and when it is let go.
    struct Derniere
    {
        bool vue = false;
        QByteArrayView octets;
        QString texte;
    };
    QList<Derniere> dernieres(listeGardes.size());
    auto echec = [&](int enregistrement, const QString& raison) {
        lecture = Lecture();
        return Erreur_Adif{enregistrement, raison};
    };
    auto finEnregistrement = [&] {
        courant = Enregistrement_Adif();
        champsEnCours = false;
        qsoEnCours = false;
    };

    while (position < n) {
        if (avancement && position >= prochainAvis) {
            avancement(position);
            prochainAvis = position + Pas_Avancement;
        }
        const char* lt = static_cast<const char*>(memchr(debut + position, '<', size_t(n - position)));
        if (!lt)
            break;
        const qsizetype ouvre = lt - debut;
        const char* gt = Fin_Balise(lt + 1, debut + n);
        if (gt == debut + n) {
            if (champsEnCours || (!texteEntete && Debut_De_Champ(QByteArrayView(lt + 1, n - ouvre - 1)))) {
                coupe = true;
                raisonCoupe = QStringLiteral("la balise « %1 » n'est pas fermée : le fichier est tronqué")
                                  .arg(Montrer(QByteArrayView(lt, n - ouvre)));
            }
            break;
        }
        // "<" in free text opens no tag: reading goes on at the next "<".
        if (*gt == '<') {
            position = gt - debut;
            continue;
        }
        const qsizetype ferme = gt - debut;
        const QByteArrayView balise(lt + 1, ferme - ouvre - 1);
        const qsizetype deuxPoints = balise.indexOf(':');
        // Blanks around the name and the length come from files edited by hand.
        const QByteArrayView nom = Sans_Blancs(deuxPoints < 0 ? balise : balise.first(deuxPoints));
        if (deuxPoints < 0) {
            if (Egal_Sans_Casse(nom, "EOR")) {
                champVu = true;
                texteEntete = false;
                if (champsEnCours) {
                    courant.numero = numero++;
                    lecture.enregistrements.append(std::move(courant));
                }
                finEnregistrement();
            } else if (Egal_Sans_Casse(nom, "EOH")) {
                champVu = true;
                texteEntete = false;
                // Only the first header end, before any record, closes the header. Another
                // one later ends a second header (two exports put end to end): its fields
                // belong to no QSO.
                if (!lecture.entete && lecture.enregistrements.isEmpty()) {
                    lecture.entete = true;
                    lecture.champsEntete = std::move(courant.champs);
                }
                finEnregistrement();
            }
            // Any other tag without a length (<EOF>, <APP_X_EOF>) carries no data.
            position = ferme + 1;
            continue;
        }
        QByteArrayView reste = balise.sliced(deuxPoints + 1);
        const qsizetype type = reste.indexOf(':');
        if (type >= 0)
            reste = reste.first(type);
        reste = Sans_Blancs(reste);
        qint64 longueur = 0;
        bool chiffres = !reste.isEmpty();
        for (char c : reste) {
            if (c < '0' || c > '9') {
                chiffres = false;
                break;
            }
            if (longueur > (std::numeric_limits<qint64>::max() - 9) / 10)
                longueur = std::numeric_limits<qint64>::max();
            else
                longueur = longueur * 10 + (c - '0');
        }
        const bool nomValide = Nom_Valide(nom);
        if (!chiffres || (texteEntete && !nomValide)) {
            // Outside a record, and in a header's free text, this is text that holds a "<".
            if (texteEntete || !champsEnCours) {
                position = ouvre + 1;
                continue;
            }
            return echec(numero, QStringLiteral("longueur illisible dans « <%1> »").arg(Montrer(balise)));
        }
        const qsizetype donnees = ferme + 1;
        if (longueur > n - donnees) {
            const QString raison = QStringLiteral("le champ %1 annonce %2 octets mais le fichier se termine avant")
                                       .arg(Montrer(nom).toUpper(), QString::fromLatin1(reste.toByteArray()));
            // A wrong length with records after it would take them all: the file is refused.
            if (Fin_Enregistrement_Apres(octets, donnees))
                return echec(numero, raison);
            coupe = true;
            raisonCoupe = raison;
            break;
        }
        qsizetype fin = donnees + qsizetype(longueur);
        if (fin < n && !Fin_De_Champ(debut[fin])) {
            // Some programs count the characters of UTF-8 data, not its bytes.
            const qsizetype parCaracteres = Fin_Par_Caracteres(octets, donnees, longueur);
            if (parCaracteres >= 0)
                fin = parCaracteres;
        }
        const QByteArrayView valeur(debut + donnees, fin - donnees);
        position = fin;
        champVu = true;
        if (!nomValide) {
            ++lecture.champsIgnores;
            continue;
        }
        // The name in capitals, on the stack: most fields are left aside and cost no copy.
        char tampon[64];
        QByteArray nomMaj;
        QByteArray cle;
        if (nom.size() <= qsizetype(sizeof tampon)) {
            for (qsizetype i = 0; i < nom.size(); ++i) {
                const char c = nom[i];
                tampon[i] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
            }
            cle = QByteArray::fromRawData(tampon, nom.size());
        } else {
            nomMaj = nom.toByteArray().toUpper();
            cle = nomMaj;
        }
        champsEnCours = true;
        if (!cle.startsWith("APP_") && !Champ_Entete(cle))
            qsoEnCours = true;
        if (gardes.isEmpty()) {
            courant.champs.append(Champ{QByteArray(cle.constData(), cle.size()), Decoder_Valeur(valeur)});
        } else if (cle.size() >= 64 || possibles.test(place(cle.at(0), cle.size()))) {
            // The name kept shares the bytes of the one asked for.
            for (qsizetype g = 0; g < listeGardes.size(); ++g) {
                const QByteArray& garde = listeGardes.at(g);
                if (garde == cle) {
                    Derniere& derniere = dernieres[g];
                    if (!derniere.vue || derniere.octets != valeur) {
                        derniere.vue = true;
                        derniere.octets = valeur;
                        derniere.texte = Decoder_Valeur(valeur);
                    }
                    courant.champs.append(Champ{garde, derniere.texte});
                    break;
                }
            }
        }
    }
    if (avancement)
        avancement(n);
    // Fields after the last record end: a record cut off, unless they are only an
    // application's own or a header's (a service's answer that holds no QSO, with or
    // without its <EOH>).
    if (coupe || qsoEnCours) {
        if (lecture.enregistrements.isEmpty())
            return echec(numero, coupe ? raisonCoupe
                                       : QStringLiteral("l'enregistrement se termine sans <EOR> : le fichier est tronqué"));
        lecture.enregistrementCoupe = numero;
    }
    if (lecture.enregistrements.isEmpty() && !lecture.entete && !champVu) {
        const QString tableau = Nature_Texte(octets);
        if (!tableau.isEmpty())
            return Erreur_Adif{0, tableau, true};
        return echec(0, QStringLiteral("aucun enregistrement ADIF (<EOR>) n'y a été trouvé"));
    }
    return {};
}

QString Message_Erreur(const QString& nomFichier, const Erreur_Adif& erreur)
{
    if (erreur.autreNature)
        return QStringLiteral("Le fichier %1 n'est pas un fichier ADIF : %2.\r\nRien n'a été importé.").arg(nomFichier, erreur.raison);
    QString texte = QStringLiteral("Le fichier %1 n'a pas pu être lu comme un fichier ADIF").arg(nomFichier);
    if (erreur.enregistrement > 0)
        texte += QStringLiteral(" : enregistrement N° %1, %2.").arg(erreur.enregistrement).arg(erreur.raison);
    else
        texte += QStringLiteral(" : ") + erreur.raison + QLatin1Char('.');
    texte += QStringLiteral("\r\nRien n'a été importé.");
    return texte;
}

QByteArray Ascii(QStringView valeur)
{
    QByteArray sortie;
    sortie.reserve(valeur.size());
    for (QChar c : valeur) {
        const char16_t u = c.unicode();
        if (u >= 32 && u < 127) {
            sortie += char(u);
            continue;
        }
        // A letter with an accent keeps its letter.
        const QString decompose = QString(c).normalized(QString::NormalizationForm_D);
        const char16_t base = decompose.isEmpty() ? 0 : decompose.at(0).unicode();
        sortie += (base >= 32 && base < 127 && decompose.size() > 1) ? char(base) : '?';
    }
    return sortie;
}

QByteArray Ecrire_Champ(QByteArrayView nom, QStringView valeur)
{
    const QByteArray donnees = Ascii(valeur);
    if (donnees.isEmpty())
        return QByteArray();
    return '<' + nom.toByteArray() + ':' + QByteArray::number(donnees.size()) + '>' + donnees;
}

void Ajouter_Champ(QByteArray& sortie, QByteArrayView nom, QStringView valeur)
{
    for (QChar c : valeur) {
        if (c.unicode() < 32 || c.unicode() >= 127) {
            sortie += Ecrire_Champ(nom, valeur);
            return;
        }
    }
    if (valeur.isEmpty())
        return;
    // Plain ASCII, the usual case: one character, one byte.
    char longueur[24];
    const int n = std::snprintf(longueur, sizeof longueur, ":%lld>", static_cast<long long>(valeur.size()));
    sortie += '<';
    sortie += nom;
    sortie.append(longueur, n);
    const qsizetype debut = sortie.size();
    sortie.resize(debut + valeur.size());
    char* d = sortie.data() + debut;
    for (QChar c : valeur)
        *d++ = char(c.unicode());
}

} // namespace Adif
