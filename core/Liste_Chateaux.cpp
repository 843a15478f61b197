#include "Liste_Chateaux.h"

#include "Regle_Spot.h"
#include "Texte1252.h"

#include <QList>
#include <QStringDecoder>
#include <QVarLengthArray>

#include <algorithm>
#include <vector>

// A list near its size limit holds hundreds of thousands of lines: it is read from its bytes
// in place, a record at a time, and only the names kept are decoded.
namespace {

// A cell where it lies in the bytes; a quoted one starts after its opening quote, with its
// doubled quotes and line breaks still in it.
struct Cellule
{
    qsizetype debut = 0;
    qsizetype fin = 0;
    bool guillemets = false;
};

using Cellules = QVarLengthArray<Cellule, 16>;

// The cells of a line kept at most.
constexpr qsizetype Colonnes_Max = 1000;

// How many places Rang gives.
constexpr int Rangs = 102 * 1000;

bool Blanc(char c)
{
    return c == ' ' || c == '\t';
}

// Cuts the bytes into records as RFC 4180 does: a field that opens with a quote runs to the
// quote that closes it, separators and line breaks included, and "" inside it is a quote;
// after the closing quote the field goes on to the separator. CR LF, LF or CR ends a record.
// Calls f with the cells of each record; gives the line where a quote opened that never
// closes, or 0.
template <typename F>
qsizetype Parcourir(QByteArrayView o, char separateur, F&& f)
{
    const char* const d = o.data();
    const qsizetype n = o.size();
    Cellules cellules;
    qsizetype ligne = 1;
    qsizetype i = 0;
    while (i < n) {
        cellules.clear();
        for (;;) {
            qsizetype j = i;
            while (j < n && d[j] != separateur && Blanc(d[j]))
                ++j;
            Cellule c;
            c.debut = i;
            if (j < n && d[j] == '"') {
                const qsizetype ouverture = ligne;
                c.guillemets = true;
                c.debut = ++j;
                bool ouverts = true;
                for (; j < n; ++j) {
                    const char x = d[j];
                    if (ouverts) {
                        if (x == '"') {
                            if (j + 1 < n && d[j + 1] == '"')
                                ++j;
                            else
                                ouverts = false;
                        } else if (x == '\n' || (x == '\r' && (j + 1 == n || d[j + 1] != '\n'))) {
                            ++ligne;
                        }
                    } else if (x == separateur || x == '\n' || x == '\r') {
                        break;
                    }
                }
                if (ouverts)
                    return ouverture;
            } else {
                while (j < n && d[j] != separateur && d[j] != '\n' && d[j] != '\r')
                    ++j;
            }
            c.fin = j;
            // A list has a few columns; the cells of a line far wider are not kept, so that a
            // file of separators costs no memory.
            if (cellules.size() < Colonnes_Max)
                cellules.append(c);
            i = j;
            if (i < n && d[i] == separateur) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) {
            if (d[i] == '\r' && i + 1 < n && d[i + 1] == '\n')
                ++i;
            ++i;
            ++ligne;
        }
        f(std::as_const(cellules));
    }
    return 0;
}

// The text of a cell without the blanks around it: its quotes undone and each line break
// inside them a blank. An unquoted cell is a view on the bytes; a quoted one is written into
// `tampon`, whose memory serves from cell to cell.
QByteArrayView Valeur(QByteArrayView o, const Cellule& c, QByteArray& tampon)
{
    const QByteArrayView v = o.sliced(c.debut, c.fin - c.debut);
    if (!c.guillemets)
        return v.trimmed();
    tampon.resize(0);
    bool ouverts = true;
    for (qsizetype k = 0; k < v.size(); ++k) {
        const char x = v[k];
        if (ouverts && x == '"') {
            if (k + 1 < v.size() && v[k + 1] == '"') {
                tampon += '"';
                ++k;
            } else {
                ouverts = false;
            }
        } else if (ouverts && (x == '\r' || x == '\n')) {
            while (!tampon.isEmpty() && Blanc(tampon.back()))
                tampon.chop(1);
            tampon += ' ';
            while (k + 1 < v.size() && (v[k + 1] == '\r' || v[k + 1] == '\n' || Blanc(v[k + 1])))
                ++k;
        } else {
            // The run up to the next quote or line break, at once.
            qsizetype fin = k + 1;
            while (fin < v.size() && v[fin] != '"' && v[fin] != '\r' && v[fin] != '\n')
                ++fin;
            tampon.append(v.data() + k, fin - k);
            k = fin - 1;
        }
    }
    return QByteArrayView(tampon).trimmed();
}

QByteArrayView Valeur(QByteArrayView o, const Cellules& cellules, qsizetype colonne, QByteArray& tampon)
{
    return colonne >= 0 && colonne < cellules.size() ? Valeur(o, cellules.at(colonne), tampon) : QByteArrayView();
}

// False for a cell that cannot hold a reference, seen on its bytes alone: most cells of a list
// are names, and are left without undoing their quotes.
bool Peut_Etre_Reference(QByteArrayView o, const Cellule& c)
{
    if (c.fin - c.debut > 64)
        return false;
    qsizetype k = c.debut;
    while (k < c.fin && Blanc(o[k]))
        ++k;
    return k < c.fin && ((o[k] >= '0' && o[k] <= '9') || o[k] == 'K' || o[k] == 'k');
}

// The place of a reference among all those that can be written, "00000" to "99999" and "2A000"
// to "2B999"; -1 for other characters.
int Rang(const char16_t (&reference)[5])
{
    const auto chiffre = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    if (!chiffre(reference[0]) || !(chiffre(reference[1]) || (reference[0] == u'2' && (reference[1] == u'A' || reference[1] == u'B')))
        || !chiffre(reference[2]) || !chiffre(reference[3]) || !chiffre(reference[4]))
        return -1;
    const int departement = reference[1] == u'A' ? 100 : reference[1] == u'B' ? 101 : (reference[0] - u'0') * 10 + reference[1] - u'0';
    return departement * 1000 + (reference[2] - u'0') * 100 + (reference[3] - u'0') * 10 + reference[4] - u'0';
}

// A cell that names a castle: "29018", "29-018", "2a001", "KVRT 29018"; its reference goes
// into `reference`.
bool Reference_Cellule(QByteArrayView v, char16_t (&reference)[5], std::vector<signed char>& valides)
{
    // Longer than any way of writing a reference.
    if (v.size() > 64)
        return false;
    if (v.size() >= 4 && qstrnicmp(v.data(), 4, "KVRT", 4) == 0) {
        v = v.sliced(4);
        while (!v.isEmpty() && (Blanc(v.front()) || v.front() == '-' || v.front() == ':'))
            v = v.sliced(1);
    }
    const char* lettres[5];
    if (v.size() == 6 && v[2] == '-') {
        const qsizetype ordre[5] = {0, 1, 3, 4, 5};
        for (int k = 0; k < 5; ++k)
            lettres[k] = v.data() + ordre[k];
    } else if (v.size() == 5) {
        for (int k = 0; k < 5; ++k)
            lettres[k] = v.data() + k;
    } else {
        return false;
    }
    for (int k = 0; k < 5; ++k) {
        const char x = *lettres[k];
        if (static_cast<unsigned char>(x) >= 0x80)
            return false;
        reference[k] = char16_t(x >= 'a' && x <= 'z' ? x - 'a' + 'A' : x);
    }
    // Regle_Spot says what a reference is, once for each one met.
    const int rang = Rang(reference);
    if (rang < 0)
        return false;
    if (valides[rang] < 0)
        valides[rang] = Regle_Spot::Reference_Valide(QStringView(reference, 5));
    return valides[rang] > 0;
}

bool Reference(QByteArrayView o, const Cellules& cellules, qsizetype colonne, QByteArray& tampon, char16_t (&reference)[5],
               std::vector<signed char>& valides)
{
    return colonne >= 0 && colonne < cellules.size() && Peut_Etre_Reference(o, cellules.at(colonne))
        && Reference_Cellule(Valeur(o, cellules.at(colonne), tampon), reference, valides);
}

// A list is UTF-8 when all its bytes are, Windows-1252 otherwise. Checked by pieces cut
// before a character, so that a large list needs no text of its size.
bool Utf8(QByteArrayView o)
{
    constexpr qsizetype Morceau = 64 * 1024;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QVarLengthArray<QChar, 1> texte;
    qsizetype debut = 0;
    while (debut < o.size()) {
        qsizetype fin = std::min(o.size(), debut + Morceau);
        while (fin < o.size() && (static_cast<unsigned char>(o[fin]) & 0xC0) == 0x80)
            ++fin;
        const QByteArrayView morceau = o.sliced(debut, fin - debut);
        if (std::any_of(morceau.begin(), morceau.end(), [](char x) { return static_cast<unsigned char>(x) >= 0x80; })) {
            texte.resize(morceau.size());
            utf8.appendToBuffer(texte.data(), morceau);
            if (utf8.hasError())
                return false;
        }
        debut = fin;
    }
    return true;
}

QString Decoder(QByteArrayView v, bool utf8)
{
    return utf8 ? QString::fromUtf8(v) : Texte1252::Decoder(v);
}

bool Tient_Des_Lettres(QByteArrayView v, bool utf8)
{
    bool horsAscii = false;
    for (char x : v) {
        if ((x >= 'a' && x <= 'z') || (x >= 'A' && x <= 'Z'))
            return true;
        horsAscii |= static_cast<unsigned char>(x) >= 0x80;
    }
    if (!horsAscii)
        return false;
    const QString t = Decoder(v, utf8);
    return std::any_of(t.begin(), t.end(), [](QChar c) { return c.isLetter(); });
}

bool Blanche(QByteArrayView o, const Cellules& cellules, QByteArray& tampon)
{
    return std::all_of(cellules.begin(), cellules.end(), [&](const Cellule& c) { return Valeur(o, c, tampon).isEmpty(); });
}

} // namespace

Liste_Chateaux Liste_Chateaux::Lire(const QByteArray& octets)
{
    QByteArrayView o(octets);
    if (o.startsWith("\xEF\xBB\xBF"))
        o = o.sliced(3);
    Liste_Chateaux liste;
    QByteArray tampon;
    char16_t reference[5];
    std::vector<signed char> valides(Rangs, -1);

    // The separator that gives a reference and another cell on the most lines.
    char separateur = 0;
    int colonne = -1;
    int avecReference = 0;
    qsizetype ouverte = 0;
    qsizetype premiereOuverte = 0;
    for (char s : {'\t', ';', ','}) {
        // A separator absent from the file cuts no line in two.
        if (!o.contains(s))
            continue;
        QList<int> parColonne;
        const qsizetype erreur = Parcourir(o, s, [&](const Cellules& cellules) {
            if (cellules.size() < 2)
                return;
            for (int c = 0; c < cellules.size(); ++c) {
                if (Reference(o, cellules, c, tampon, reference, valides)) {
                    if (parColonne.size() <= c)
                        parColonne.resize(c + 1);
                    ++parColonne[c];
                }
            }
        });
        if (premiereOuverte == 0)
            premiereOuverte = erreur;
        for (int c = 0; c < parColonne.size(); ++c) {
            if (parColonne.at(c) > avecReference) {
                avecReference = parColonne.at(c);
                colonne = c;
                separateur = s;
                ouverte = erreur;
            }
        }
    }
    if (colonne < 0)
        ouverte = premiereOuverte;
    if (ouverte > 0) {
        liste.m_erreur = QStringLiteral("des guillemets ouverts à la ligne %1 ne se ferment jamais").arg(ouverte);
        return liste;
    }
    if (colonne < 0) {
        Parcourir(o, '\t', [&](const Cellules& cellules) { liste.m_ignorees += !Blanche(o, cellules, tampon); });
        return liste;
    }

    // The name: the first other column that holds letters on most lines of castles; a header
    // row above them that names the column of the castles' names has the last word.
    const bool utf8 = Utf8(o);
    QList<int> lettres;
    QList<QList<int>> entetes;
    bool avantChateaux = true;
    Parcourir(o, separateur, [&](const Cellules& cellules) {
        const bool chateau = Reference(o, cellules, colonne, tampon, reference, valides);
        avantChateaux = avantChateaux && !chateau;
        if (avantChateaux) {
            QList<int> noms;
            for (int c = 0; c < cellules.size(); ++c) {
                const QString entete = Decoder(Valeur(o, cellules.at(c), tampon), utf8).toLower();
                if (c != colonne
                    && (entete == QLatin1String("nom") || entete == QLatin1String("name")
                        || entete.contains(QLatin1String("chateau")) || entete.contains(QStringLiteral("château"))))
                    noms.append(c);
            }
            if (!noms.isEmpty())
                entetes.append(noms);
        }
        if (!chateau || cellules.size() < 2)
            return;
        if (lettres.size() < cellules.size())
            lettres.resize(cellules.size());
        for (int c = 0; c < cellules.size(); ++c)
            if (c != colonne && Tient_Des_Lettres(o.sliced(cellules.at(c).debut, cellules.at(c).fin - cellules.at(c).debut), utf8))
                ++lettres[c];
    });
    int colonneNom = -1;
    for (int c = 0; c < lettres.size(); ++c)
        if (lettres.at(c) * 2 > avecReference && (colonneNom < 0 || lettres.at(c) > lettres.at(colonneNom)))
            colonneNom = c;
    for (const QList<int>& noms : std::as_const(entetes)) {
        const auto nom = std::find_if(noms.begin(), noms.end(), [&](int c) { return c < lettres.size() && lettres.at(c) > 0; });
        if (nom != noms.end())
            colonneNom = *nom;
    }

    // The first line of a castle gives its name; the others are passed over without a look-up.
    std::vector<bool> vues(Rangs);
    liste.m_noms.reserve(std::min(avecReference, Rangs));
    Parcourir(o, separateur, [&](const Cellules& cellules) {
        if (cellules.size() < 2 || !Reference(o, cellules, colonne, tampon, reference, valides)) {
            liste.m_ignorees += !Blanche(o, cellules, tampon);
            return;
        }
        if (vues[Rang(reference)])
            return;
        vues[Rang(reference)] = true;
        liste.m_noms.insert(QStringView(reference, 5).toString(), Decoder(Valeur(o, cellules, colonneNom, tampon), utf8).trimmed());
    });
    return liste;
}

QStringList Liste_Chateaux::References_Departement(const QString& code) const
{
    const QString departement = code.trimmed().toUpper();
    QStringList references;
    if (departement.size() != 2)
        return references;
    for (auto i = m_noms.cbegin(); i != m_noms.cend(); ++i)
        if (i.key().startsWith(departement))
            references.append(i.key());
    references.sort();
    return references;
}
