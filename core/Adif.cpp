#include "Adif.h"

#include "Texte1252.h"

#include <QStringDecoder>

#include <cstdio>
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
    bool ascii = true;
    for (char c : octets) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(octets.data(), octets.size());
    // Programs that write UTF-8 count its bytes; anything that is not valid UTF-8 was
    // written in the Windows code page that the other programs of the same desk use.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texte = utf8.decode(octets);
    if (!utf8.hasError())
        return texte;
    return Texte1252::Decoder(octets);
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

} // namespace

Erreur_Adif Lire(QByteArrayView octets, Lecture& lecture, const QSet<QByteArray>& gardes,
                 const std::function<void(qsizetype)>& avancement)
{
    lecture = Lecture();
    const char* const debut = octets.data();
    const qsizetype n = octets.size();
    qsizetype position = 0;
    qsizetype prochainAvis = 0;
    int numero = 1;
    Enregistrement_Adif courant;
    bool champVu = false; // a field or record end was met: this is a tagged file
    auto echec = [&](int enregistrement, const QString& raison) {
        lecture = Lecture();
        return Erreur_Adif{enregistrement, raison};
    };

    while (position < n) {
        if (avancement && position >= prochainAvis) {
            avancement(position);
            prochainAvis = position + (1 << 20);
        }
        const char* lt = static_cast<const char*>(memchr(debut + position, '<', size_t(n - position)));
        if (!lt)
            break;
        const qsizetype ouvre = lt - debut;
        const char* gt = static_cast<const char*>(memchr(lt + 1, '>', size_t(n - ouvre - 1)));
        if (!gt) {
            if (!champVu)
                break;
            return echec(numero, QStringLiteral("la balise « %1 » n'est pas fermée : le fichier est tronqué")
                                     .arg(Montrer(QByteArrayView(lt, n - ouvre))));
        }
        const qsizetype ferme = gt - debut;
        const QByteArrayView balise(lt + 1, ferme - ouvre - 1);
        // "<" in free text opens no tag: reading goes on at the next "<".
        const char* autre = static_cast<const char*>(memchr(balise.data(), '<', size_t(balise.size())));
        if (autre) {
            position = autre - debut;
            continue;
        }
        const qsizetype deuxPoints = balise.indexOf(':');
        const QByteArrayView nom = deuxPoints < 0 ? balise : balise.first(deuxPoints);
        if (!Nom_Valide(nom)) {
            if (!champVu) {
                position = ferme + 1;
                continue;
            }
            return echec(numero, QStringLiteral("balise illisible « <%1> »").arg(Montrer(balise)));
        }
        const QByteArray nomMaj = nom.toByteArray().toUpper();
        if (nomMaj == "EOR") {
            champVu = true;
            if (!courant.champs.isEmpty() || courant.numero != 0) {
                courant.numero = numero++;
                lecture.enregistrements.append(std::move(courant));
            }
            courant = Enregistrement_Adif();
            position = ferme + 1;
            continue;
        }
        // Only the first header end, before any record, closes a header; another one later
        // is ignored and takes no field away from the record being read.
        if (nomMaj == "EOH" && !lecture.entete && lecture.enregistrements.isEmpty()) {
            champVu = true;
            lecture.entete = true;
            lecture.champsEntete = std::move(courant.champs);
            courant = Enregistrement_Adif();
            position = ferme + 1;
            continue;
        }
        if (deuxPoints < 0) {
            // A tag without a length carries no data: not ours, ignored.
            position = ferme + 1;
            continue;
        }
        QByteArrayView reste = balise.sliced(deuxPoints + 1);
        const qsizetype type = reste.indexOf(':');
        if (type >= 0)
            reste = reste.first(type);
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
        if (!chiffres)
            return echec(numero, QStringLiteral("longueur illisible dans « <%1> »").arg(Montrer(balise)));
        const qsizetype donnees = ferme + 1;
        if (longueur > n - donnees)
            return echec(numero, QStringLiteral("le champ %1 annonce %2 octets mais le fichier se termine avant")
                                     .arg(QString::fromLatin1(nomMaj))
                                     .arg(QString::fromLatin1(reste.toByteArray())));
        champVu = true;
        if (gardes.isEmpty() || gardes.contains(nomMaj)) {
            courant.champs.append(Champ{nomMaj, Decoder_Valeur(QByteArrayView(debut + donnees, qsizetype(longueur)))});
        } else if (courant.champs.isEmpty()) {
            // A record of fields that are all left aside still counts as a record.
            courant.numero = -1;
        }
        position = donnees + qsizetype(longueur);
    }
    if (avancement)
        avancement(n);
    if (!courant.champs.isEmpty() || courant.numero != 0)
        return echec(numero, QStringLiteral("l'enregistrement se termine sans <EOR> : le fichier est tronqué"));
    if (lecture.enregistrements.isEmpty() && !lecture.entete)
        return echec(0, QStringLiteral("aucun enregistrement ADIF (<EOR>) n'y a été trouvé"));
    return {};
}

QString Message_Erreur(const QString& nomFichier, const Erreur_Adif& erreur)
{
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
