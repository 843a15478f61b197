#include "Liste_Chateaux.h"

#include "Regle_Spot.h"
#include "Texte1252.h"

#include <QList>

#include <algorithm>

namespace {

// The cells of a line cut at a separator; a quoted cell may hold the separator, and a quote
// is doubled inside it.
QStringList Cellules(QStringView ligne, QChar separateur)
{
    QStringList cellules;
    QString cellule;
    bool guillemets = false;
    for (qsizetype i = 0; i < ligne.size(); ++i) {
        const QChar c = ligne[i];
        if (guillemets) {
            if (c == u'"') {
                if (i + 1 < ligne.size() && ligne[i + 1] == u'"') {
                    cellule += u'"';
                    ++i;
                } else {
                    guillemets = false;
                }
            } else {
                cellule += c;
            }
        } else if (c == u'"' && cellule.trimmed().isEmpty()) {
            guillemets = true;
            cellule.clear();
        } else if (c == separateur) {
            cellules.append(cellule.trimmed());
            cellule.clear();
        } else {
            cellule += c;
        }
    }
    cellules.append(cellule.trimmed());
    return cellules;
}

// A cell that names a castle: "29018", "29-018", "2a001", "KVRT 29018"; empty otherwise.
QString Reference_Cellule(QString cellule)
{
    cellule = cellule.trimmed().toUpper();
    if (cellule.startsWith(QLatin1String("KVRT"))) {
        cellule.remove(0, 4);
        while (!cellule.isEmpty() && (cellule.front().isSpace() || cellule.front() == u'-' || cellule.front() == u':'))
            cellule.remove(0, 1);
    }
    if (cellule.size() == 6 && cellule[2] == u'-')
        cellule.remove(2, 1);
    return Regle_Spot::Reference_Valide(cellule) ? cellule : QString();
}

bool Tient_Des_Lettres(const QString& s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isLetter(); });
}

} // namespace

Liste_Chateaux Liste_Chateaux::Lire(const QByteArray& octets)
{
    QByteArrayView contenu(octets);
    if (contenu.startsWith("\xEF\xBB\xBF"))
        contenu = contenu.sliced(3);
    QString texte = Texte1252::Decoder_Utf8_Ou_1252(contenu);
    texte.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    const QStringList lignes = texte.split(u'\n');

    // The separator that gives a reference and another cell on the most lines.
    struct Decoupe
    {
        QList<QStringList> lignes;
        int colonne = -1;
        int avecReference = 0;
    };
    Decoupe meilleure;
    for (QChar separateur : {u'\t', u';', u','}) {
        Decoupe d;
        QList<int> parColonne;
        for (const QString& ligne : lignes) {
            d.lignes.append(Cellules(ligne, separateur));
            const QStringList& cellules = d.lignes.last();
            if (cellules.size() < 2)
                continue;
            for (int c = 0; c < cellules.size(); ++c) {
                if (!Reference_Cellule(cellules.at(c)).isEmpty()) {
                    if (parColonne.size() <= c)
                        parColonne.resize(c + 1);
                    ++parColonne[c];
                }
            }
        }
        for (int c = 0; c < parColonne.size(); ++c) {
            if (parColonne.at(c) > d.avecReference) {
                d.avecReference = parColonne.at(c);
                d.colonne = c;
            }
        }
        if (d.avecReference > meilleure.avecReference)
            meilleure = std::move(d);
    }

    Liste_Chateaux liste;
    if (meilleure.colonne < 0) {
        for (const QString& ligne : lignes)
            liste.m_ignorees += !ligne.trimmed().isEmpty();
        return liste;
    }
    // The name: the first other column that holds letters on most lines of castles.
    QList<int> lettres;
    for (const QStringList& cellules : meilleure.lignes) {
        if (cellules.size() < 2 || Reference_Cellule(cellules.value(meilleure.colonne)).isEmpty())
            continue;
        if (lettres.size() < cellules.size())
            lettres.resize(cellules.size());
        for (int c = 0; c < cellules.size(); ++c)
            if (c != meilleure.colonne && Tient_Des_Lettres(cellules.at(c)))
                ++lettres[c];
    }
    int colonneNom = -1;
    for (int c = 0; c < lettres.size(); ++c)
        if (lettres.at(c) * 2 > meilleure.avecReference && (colonneNom < 0 || lettres.at(c) > lettres.at(colonneNom)))
            colonneNom = c;
    // A header row that names the column of the castles' names has the last word.
    for (const QStringList& cellules : meilleure.lignes) {
        if (!Reference_Cellule(cellules.value(meilleure.colonne)).isEmpty())
            break;
        for (int c = 0; c < cellules.size(); ++c) {
            const QString entete = cellules.at(c).toLower();
            if (c != meilleure.colonne && c < lettres.size() && lettres.at(c) > 0
                && (entete == QLatin1String("nom") || entete == QLatin1String("name") || entete.contains(QLatin1String("chateau"))
                    || entete.contains(QStringLiteral("château")))) {
                colonneNom = c;
                break;
            }
        }
    }

    for (const QStringList& cellules : meilleure.lignes) {
        const QString reference = cellules.size() < 2 ? QString() : Reference_Cellule(cellules.value(meilleure.colonne));
        if (reference.isEmpty()) {
            if (!cellules.join(QString()).trimmed().isEmpty())
                ++liste.m_ignorees;
            continue;
        }
        if (!liste.m_noms.contains(reference))
            liste.m_noms.insert(reference, colonneNom >= 0 ? cellules.value(colonneNom) : QString());
    }
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
