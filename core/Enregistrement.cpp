#include "Enregistrement.h"

namespace Enregistrement {

QStringView Champ(QStringView ligne, int position, int largeur)
{
    const qsizetype debut = position - 1;
    if (debut >= ligne.size() || largeur <= 0)
        return {};
    return ligne.mid(debut, qMin<qsizetype>(largeur, ligne.size() - debut));
}

// Trim only blanks, as the original Trim$ does; a tab or a control byte stays.
static QStringView Sans_Blancs(QStringView v)
{
    while (!v.isEmpty() && v.front() == u' ')
        v = v.mid(1);
    while (!v.isEmpty() && v.back() == u' ')
        v.chop(1);
    return v;
}

QString Champ_Nettoye(QStringView ligne, int position, int largeur)
{
    return Sans_Blancs(Champ(ligne, position, largeur)).toString();
}

static void Ajouter_Rempli(QString& ligne, const QString& texte, int largeur)
{
    ligne += texte;
    for (qsizetype i = texte.size(); i < largeur; ++i)
        ligne += u' ';
}

QString Construire_Ligne_Log(const QString& date, bool attente, const QString& reference,
                             const QString& type, const QString& indicatif)
{
    QString ligne;
    ligne.reserve(Longueur_Ligne_Log);
    ligne += date;
    ligne += u' ';
    ligne += attente ? u'*' : u' ';
    Ajouter_Rempli(ligne, reference, Largeur_Reference);
    ligne += QLatin1String("  ");
    Ajouter_Rempli(ligne, type, Largeur_Type);
    ligne += QLatin1String("  ");
    Ajouter_Rempli(ligne, indicatif, Largeur_Indicatif);
    return ligne;
}

QString Construire_Ligne_Liste(int numero, QStringView ligneLog)
{
    // Built in one piece of exactly its size: the list holds one such line per QSO.
    char16_t nombre[12];
    int chiffres = 0;
    unsigned v = numero < 0 ? 0u - unsigned(numero) : unsigned(numero);
    do {
        nombre[chiffres++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (numero < 0)
        nombre[chiffres++] = u'-';
    const QStringView enregistrement = ligneLog.left(Longueur_Ligne_Log);
    const int blancs = qMax(0, 5 - chiffres);
    // Past 99,999 lines the number takes blanks of the separator, so that the record still
    // starts at character 9 and every field is cut where it stands.
    const int separation = qMax(1, 8 - blancs - chiffres);
    QString ligne(blancs + chiffres + separation + enregistrement.size(), Qt::Uninitialized);
    QChar* c = ligne.data();
    for (int i = 0; i < blancs; ++i)
        *c++ = u' ';
    while (chiffres > 0)
        *c++ = QChar(nombre[--chiffres]);
    for (int i = 0; i < separation; ++i)
        *c++ = u' ';
    for (QChar x : enregistrement)
        *c++ = x;
    return ligne;
}

bool Ligne_Liste_Vide(QStringView ligneListe)
{
    // Blanks only, as in the record: a tab or a control byte there is data, not emptiness.
    for (QChar c : Champ(ligneListe, 17, 8))
        if (c != u' ')
            return false;
    return true;
}

const QStringList& Types_Activite()
{
    static const QStringList types = {
        QStringLiteral("Chateau Contacte"),      QStringLiteral("Reactivation Contactee"),
        QStringLiteral("Resident Contacte"),     QStringLiteral("Chateau active"),
        QStringLiteral("Reactivation activee"),  QStringLiteral("Resident active"),
        QStringLiteral("Operateur activation"),  QStringLiteral("Operateur reactivation"),
        QStringLiteral("Double ou non validé"),
    };
    return types;
}

int Points_Du_Type(int index)
{
    static const int points[] = {2, 1, 1, 6, 3, 3, 6, 3, 0};
    return (index >= 0 && index < 9) ? points[index] : 0;
}

int Index_Du_Type(QStringView type)
{
    const QStringList& types = Types_Activite();
    for (int i = 0; i < types.size(); ++i)
        if (type == types.at(i))
            return i;
    if (type == QLatin1String("Double"))
        return 8;
    return -1;
}

int Points_Ligne(QStringView ligneLog)
{
    if (Champ(ligneLog, Place_Marque) == QLatin1String("*"))
        return 0;
    return Points_Du_Type(Index_Du_Type(Sans_Blancs(Champ(ligneLog, Place_Type))));
}

int Controle_Format_Date(QStringView texte)
{
    int resultat = 0;
    auto car = [&](int position) -> ushort {
        return position <= texte.size() ? texte.at(position - 1).unicode() : 0;
    };
    for (int position : {1, 2, 4, 5, 7, 8}) {
        const ushort c = car(position);
        if (c > 57 || c < 48)
            resultat = 1;
    }
    for (int position : {3, 6})
        if (car(position) != 47)
            resultat = 1;
    return resultat;
}

static QString Deux_Chiffres(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

QString Texte_Date(const QDate& date)
{
    return Deux_Chiffres(date.day()) + u'/' + Deux_Chiffres(date.month()) + u'/'
        + Deux_Chiffres(date.year() % 100);
}

QString Texte_Date_Longue(const QDate& date)
{
    return Deux_Chiffres(date.day()) + u'/' + Deux_Chiffres(date.month()) + u'/'
        + QString::number(date.year()).rightJustified(4, u'0');
}

QString Texte_Heure(const QTime& heure)
{
    return Deux_Chiffres(heure.hour()) + u':' + Deux_Chiffres(heure.minute()) + u':'
        + Deux_Chiffres(heure.second());
}

static bool Deux_Chiffres_De(QStringView texte, int position, int& valeur)
{
    const QChar a = texte.at(position), b = texte.at(position + 1);
    if (!a.isDigit() || !b.isDigit() || a.unicode() > 127 || b.unicode() > 127)
        return false;
    valeur = (a.unicode() - '0') * 10 + (b.unicode() - '0');
    return true;
}

bool Date_Comparable(QStringView debutLigne, int& valeur)
{
    if (debutLigne.size() < 8 || Controle_Format_Date(debutLigne.left(8)) != 0)
        return false;
    int jour = 0, mois = 0, annee = 0;
    if (!Deux_Chiffres_De(debutLigne, 0, jour) || !Deux_Chiffres_De(debutLigne, 3, mois)
        || !Deux_Chiffres_De(debutLigne, 6, annee))
        return false;
    annee += annee >= 50 ? 1900 : 2000;
    valeur = annee * 10000 + mois * 100 + jour;
    return true;
}

static bool Est_Corse(QStringView code, QChar lettre)
{
    return code.size() == 2 && code.at(0) == u'2'
        && code.at(1).toUpper() == lettre && code.at(1).unicode() < 128;
}

int Numero_Departement(QStringView code)
{
    if (Est_Corse(code, u'A'))
        return 96;
    if (Est_Corse(code, u'B'))
        return 97;
    int valeur = 0;
    for (QChar c : code) {
        if (c.unicode() < '0' || c.unicode() > '9')
            break;
        valeur = valeur * 10 + (c.unicode() - '0');
    }
    return valeur;
}

int Case_Departement(QStringView code)
{
    if (Est_Corse(code, u'A'))
        return 96;
    if (Est_Corse(code, u'B'))
        return 97;
    if (code.size() < 2)
        return -1;
    const ushort a = code.at(0).unicode(), b = code.at(1).unicode();
    // A code such as "1A" has no box and paints nothing.
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

} // namespace Enregistrement
