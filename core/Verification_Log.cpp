#include "Verification_Log.h"

#include "Enregistrement.h"
#include "Forme_Log.h"
#include "Liste_Chateaux.h"
#include "Series_Saison.h"
#include "Texte1252.h"
#include "Validation_Saisie.h"

#include <vector>

using namespace Enregistrement;

namespace Verification_Log {

namespace {

using Sorte = Constat::Sorte;

QStringView Sans_Blancs(QStringView v)
{
    while (!v.isEmpty() && v.front() == u' ')
        v = v.mid(1);
    while (!v.isEmpty() && v.back() == u' ')
        v.chop(1);
    return v;
}

QString Cite(QStringView t)
{
    return QStringLiteral("« %1 »").arg(t);
}

// The record's fixed blanks and its mark, read on the bytes: a line an editor shortened keeps
// what it has in place, and a field past its end reads shorter.
QString Refus_Forme(QByteArrayView l)
{
    bool vide = true;
    for (char c : l)
        if (c != ' ') {
            vide = false;
            break;
        }
    if (vide)
        return QStringLiteral("la ligne est vide, ce n'est pas un QSO");
    if (l.size() > Longueur_Ligne_Log)
        return QStringLiteral("la ligne a %1 caractères, un QSO du log en a %2 au plus").arg(l.size()).arg(Longueur_Ligne_Log);
    if (l.size() <= Place_Type.debut)
        return QStringLiteral("la ligne est trop courte pour un QSO : il lui manque le type d'activité et l'indicatif");
    const int blancs[] = {Place_Date.largeur, Place_Reference.debut + Place_Reference.largeur,
                          Place_Type.debut - 1, Place_Type.debut + Place_Type.largeur, Place_Indicatif.debut - 1};
    bool enPlace = l[Place_Marque.debut] == ' ' || l[Place_Marque.debut] == '*';
    for (int i : blancs)
        enPlace = enPlace && (i >= l.size() || l[i] == ' ');
    if (!enPlace)
        return QStringLiteral("les champs ne sont pas à leur place : la ligne n'a pas la forme d'un QSO du log");
    return QString();
}

int Deux_Chiffres(QStringView t, int i)
{
    return (t[i].unicode() - u'0') * 10 + (t[i + 1].unicode() - u'0');
}

QString Refus_Date(QStringView date, const QString& annee, int siecle, const QDate& aujourdhui)
{
    if (date.size() != Largeur_Date || Controle_Format_Date(date) != 0)
        return QStringLiteral("la date %1 n'est pas une date JJ/MM/AA").arg(Cite(date));
    const QDate jour(siecle + Deux_Chiffres(date, 6), Deux_Chiffres(date, 3), Deux_Chiffres(date, 0));
    if (!jour.isValid())
        return QStringLiteral("la date %1 n'existe pas au calendrier").arg(date);
    if (date.right(2) != QStringView(annee).right(2))
        return QStringLiteral("la date %1 n'est pas de l'année du Challenge %2").arg(date, annee);
    if (aujourdhui.isValid() && jour > aujourdhui)
        return QStringLiteral("la date %1 est postérieure à aujourd'hui (%2)").arg(date, Texte_Date(aujourdhui));
    return QString();
}

// 01 to 95 and the two of Corsica, as the map has them: 20 is Corsica's old number, no longer one.
bool Departement_Existe(QChar a, QChar b)
{
    if (a == u'2' && (b == u'A' || b == u'B'))
        return true;
    const auto chiffre = [](QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; };
    if (!chiffre(a) || !chiffre(b))
        return false;
    const int n = (a.unicode() - u'0') * 10 + (b.unicode() - u'0');
    return n >= 1 && n <= 95 && n != 20;
}

// Every reference "00000" to "2B999" has its place: 2A comes after 99, then 2B.
constexpr int Nombre_Rangs = 102 * 1000;

int Rang(QStringView r)
{
    const int departement = r[1] == u'A' ? 100 : r[1] == u'B' ? 101 : Deux_Chiffres(r, 0);
    return departement * 1000 + (r[2].unicode() - u'0') * 100 + Deux_Chiffres(r, 3);
}

class Verification
{
public:
    Verification(const QByteArray& octets, const QString& annee, const QDate& aujourdhui, const Liste_Chateaux* liste)
        : m_octets(octets), m_annee(annee), m_aujourdhui(aujourdhui), m_liste(liste && !liste->Vide() ? liste : nullptr),
          m_premiere(Nombre_Rangs, 0), m_debut(Nombre_Rangs, 0)
    {
        bool ok = false;
        const int a = annee.toInt(&ok);
        m_siecle = ok && a >= 100 ? a / 100 * 100 : 2000;
    }

    void Ligne(QByteArrayView octets, qsizetype debut)
    {
        ++m_numero;
        QString refus = Refus_Forme(octets);
        if (!refus.isEmpty()) {
            Dire(Sorte::Forme, refus);
            return;
        }
        Texte1252::Decoder(octets, m_texte);
        const QStringView l(m_texte);

        refus = Refus_Date(Champ(l, Place_Date), m_annee, m_siecle, m_aujourdhui);
        if (!refus.isEmpty())
            Dire(Sorte::Date, refus);

        const int rang = Reference(Sans_Blancs(Champ(l, Place_Reference)));

        const QStringView indicatif = Sans_Blancs(Champ(l, Place_Indicatif));
        refus = Validation_Saisie::Refus_Indicatif(indicatif);
        if (indicatif.isEmpty())
            Dire(Sorte::Indicatif, QStringLiteral("il n'y a pas d'indicatif"));
        else if (!refus.isEmpty())
            Dire(Sorte::Indicatif, QStringLiteral("l'indicatif %1 serait refusé à la saisie : %2").arg(Cite(indicatif), refus));

        const QStringView type = Sans_Blancs(Champ(l, Place_Type));
        const int index = Index_Du_Type(type);
        if (index < 0)
            Dire(Sorte::Type, type.isEmpty()
                     ? QStringLiteral("il n'y a pas de type d'activité : le QSO compte 0 point")
                     : QStringLiteral("le type d'activité %1 n'est pas un type du Challenge : le QSO compte 0 point").arg(Cite(type)));

        if (Champ(l, Place_Marque) == QLatin1String("*")) {
            // One text shared by all of them: a season may hold thousands.
            static const QString attente =
                QStringLiteral("le QSO attend la validation du château (*) : il compte 0 point tant que le château n'est pas validé");
            Dire(Sorte::Attente, attente);
        }

        if (rang < 0)
            return;
        if (m_premiere[size_t(rang)] == 0) {
            m_premiere[size_t(rang)] = m_numero;
            m_debut[size_t(rang)] = debut;
        } else if (index != Types_Activite().size() - 1) {
            Dire(Sorte::Doublon, Texte_Doublon(m_premiere[size_t(rang)], m_debut[size_t(rang)]));
        }
    }

    QList<Constat> constats;

private:
    void Dire(Sorte sorte, const QString& texte) { constats.append({m_numero, texte, sorte}); }

    // Written piece by piece rather than by arg(): a log may hold thousands of them.
    QString Texte_Doublon(int premiere, qsizetype debut) const
    {
        static const QString fin = QStringLiteral(") : ce QSO doit avoir le type « ") + Types_Activite().last() + QStringLiteral(" »");
        QString t;
        t.reserve(120);
        t += QStringLiteral("le château KVRT ");
        t += m_reference;
        t += QStringLiteral(" a déjà été contacté le ");
        for (char c : Texte1252::Morceau(m_octets, debut, Largeur_Date))
            t += QChar(Texte1252::Vers_Unicode[static_cast<unsigned char>(c)]);
        t += QLatin1String(" (ligne ");
        t += QString::number(premiere);
        t += fin;
        return t;
    }

    // The reference's checks; its place among all references when it names a castle, else -1.
    int Reference(QStringView brute)
    {
        if (brute.isEmpty()) {
            Dire(Sorte::Reference, QStringLiteral("il n'y a pas de N° KVRT"));
            return -1;
        }
        // The entry area capitalises every letter as it is typed: "2a001" is the program's 2A001.
        char16_t majuscules[Largeur_Reference];
        for (qsizetype i = 0; i < brute.size(); ++i) {
            const char16_t c = brute[i].unicode();
            majuscules[i] = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
        }
        const QStringView r(majuscules, brute.size());
        const QString refus = Validation_Saisie::Refus_Reference(r);
        if (!refus.isEmpty()) {
            Dire(Sorte::Reference, QStringLiteral("le N° KVRT %1 serait refusé à la saisie : %2").arg(Cite(brute), refus));
            return -1;
        }
        if (!Departement_Existe(r[0], r[1])) {
            Dire(Sorte::Departement, QStringLiteral("le département %1 du N° KVRT %2 n'existe pas").arg(Cite(r.left(2)), brute));
            return -1;
        }
        if (r[2] > u'9' || r[3] > u'9' || r[4] > u'9') {
            Dire(Sorte::Reference, QStringLiteral("le N° KVRT %1 ne finit pas par les trois chiffres du château").arg(Cite(brute)));
            return -1;
        }
        m_reference.setUnicode(r.data(), r.size());
        if (m_liste && !m_liste->Contient(m_reference))
            Dire(Sorte::Hors_Liste, QStringLiteral("le château KVRT %1 n'est pas dans la liste des châteaux").arg(m_reference));
        return Rang(r);
    }

    const QByteArray& m_octets;
    const QString m_annee;
    const QDate m_aujourdhui;
    const Liste_Chateaux* const m_liste;
    int m_siecle = 2000;
    int m_numero = 0;
    QString m_texte;     // the line decoded, its memory reused from line to line
    QString m_reference; // the line's reference, upper case
    // The first line of each castle (0: not yet met) and where it starts in the bytes.
    std::vector<int> m_premiere;
    std::vector<qsizetype> m_debut;
};

} // namespace

QList<Constat> Verifier(QByteArrayView log, const QString& annee, const QDate& aujourdhui, const Liste_Chateaux* liste)
{
    // Read as the program reads a log: an editor's encoding and line ends are no findings.
    const QByteArray octets = Forme_Log::Remettre(QByteArray::fromRawData(log.data(), log.size()));
    Verification v(octets, annee, aujourdhui, liste);
    const char* const debut = octets.constData();
    Texte1252::Pour_Chaque_Ligne(octets, [&](QByteArrayView ligne) { v.Ligne(ligne, ligne.data() - debut); });
    return v.constats;
}

QString Texte(const Constat& constat)
{
    return QStringLiteral("ligne %1 : %2").arg(constat.ligne).arg(constat.texte);
}

QString Resume(const Series_Saison::Bilan& b, qsizetype nombreConstats)
{
    const QString bilan = Series_Saison::Texte_Bilan(b);
    if (nombreConstats == 0)
        return bilan + QStringLiteral(". Aucune remarque : le log est prêt à être envoyé aux organisateurs.");
    return bilan + QStringLiteral(". %1 %2 à revoir avant d'envoyer le log aux organisateurs.")
                       .arg(nombreConstats)
                       .arg(nombreConstats < 2 ? QStringLiteral("remarque") : QStringLiteral("remarques"));
}

} // namespace Verification_Log
