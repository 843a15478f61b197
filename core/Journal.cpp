#include "Journal.h"

#include "Enregistrement.h"
#include "Forme_Log.h"
#include "Qso.h"
#include "Texte1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>

#include <cerrno>
#include <cstring>

namespace Journal {

// ---------------------------------------------------------------------------------------
// Entries

namespace {

// No log comes near a terabyte; a number past it in a journal line is damage, and reading it
// as a position or a count would overflow the arithmetic that uses it.
constexpr qint64 Position_Maximale = qint64(1) << 40;

const char* Lettre(Genre g)
{
    switch (g) {
    case Genre::Modification: return "M";
    case Genre::Annulation: return "A";
    case Genre::Retablissement: return "R";
    case Genre::Retour: return "H";
    }
    return "M";
}

QByteArray Controle(QByteArrayView corps)
{
    return QByteArray::number(Empreinte_De(corps).Valeur(), 16).rightJustified(16, '0');
}

} // namespace

QString Nom_Genre(Genre g)
{
    switch (g) {
    case Genre::Modification: return QStringLiteral("modification");
    case Genre::Annulation: return QStringLiteral("annulation");
    case Genre::Retablissement: return QStringLiteral("rétablissement");
    case Genre::Retour: return QStringLiteral("retour à un état précédent");
    }
    return {};
}

QByteArray Encoder_Entree(const Entree& e)
{
    // One line of plain ASCII: tabs between the fields, the bytes of the log in base 64 so
    // that every byte value comes back, the operation in UTF-8 percent-encoded.
    // A QSO's append is a change like any other for undo and redo; its letter J tells it apart
    // for the check at start-up.
    const char* lettre = e.ajout && e.genre == Genre::Modification ? "J" : Lettre(e.genre);
    QByteArray corps = "KVRT1\t" + QByteArray::number(e.numero) + '\t' + lettre + '\t'
        + QByteArray::number(e.cible) + '\t' + e.utc.toUTC().toString(Qt::ISODate).toLatin1() + '\t'
        + e.operation.toUtf8().toPercentEncoding(" ") + '\t' + e.avant.Texte() + '\t' + e.apres.Texte() + '\t';
    bool premier = true;
    for (const Bloc& b : e.blocs) {
        if (!premier)
            corps += ';';
        premier = false;
        corps += QByteArray::number(b.position) + ':' + b.retire.toBase64() + ':' + b.ajoute.toBase64();
    }
    corps += '\t';
    return corps + Controle(corps) + '\n';
}

bool Decoder_Entree(QByteArrayView ligne, Entree& e)
{
    if (ligne.endsWith('\n'))
        ligne.chop(1);
    if (ligne.size() < 17)
        return false;
    const QByteArrayView corps = ligne.first(ligne.size() - 16);
    if (Controle(corps) != ligne.last(16))
        return false;
    const QList<QByteArray> champs = corps.toByteArray().split('\t');
    if (champs.size() != 10 || champs.at(0) != "KVRT1" || !champs.at(9).isEmpty())
        return false;
    Entree r;
    bool ok1 = false, ok2 = false;
    r.numero = champs.at(1).toLongLong(&ok1);
    r.cible = champs.at(3).toLongLong(&ok2);
    const QByteArray& g = champs.at(2);
    if (g == "M")
        r.genre = Genre::Modification;
    else if (g == "J")
        r.genre = Genre::Modification, r.ajout = true;
    else if (g == "A")
        r.genre = Genre::Annulation;
    else if (g == "R")
        r.genre = Genre::Retablissement;
    else if (g == "H")
        r.genre = Genre::Retour;
    else
        return false;
    r.utc = QDateTime::fromString(QString::fromLatin1(champs.at(4)), Qt::ISODate);
    r.operation = QString::fromUtf8(QByteArray::fromPercentEncoding(champs.at(5)));
    if (!ok1 || !ok2 || r.numero < 1 || r.numero > Position_Maximale || r.cible < 0 || r.cible > Position_Maximale
        || !r.utc.isValid() || !Empreinte::Depuis_Texte(champs.at(6), r.avant)
        || !Empreinte::Depuis_Texte(champs.at(7), r.apres))
        return false;
    if (!champs.at(8).isEmpty()) {
        for (const QByteArray& morceau : champs.at(8).split(';')) {
            const QList<QByteArray> p = morceau.split(':');
            if (p.size() != 3)
                return false;
            Bloc b;
            bool ok = false;
            b.position = p.at(0).toLongLong(&ok);
            if (!ok || b.position < 0 || b.position > Position_Maximale)
                return false;
            const auto retire = QByteArray::fromBase64Encoding(p.at(1), QByteArray::AbortOnBase64DecodingErrors);
            const auto ajoute = QByteArray::fromBase64Encoding(p.at(2), QByteArray::AbortOnBase64DecodingErrors);
            if (!retire || !ajoute)
                return false;
            b.retire = *retire;
            b.ajoute = *ajoute;
            // Blocks come in order and never overlap, as Differences makes them.
            if (!r.blocs.isEmpty() && b.position < r.blocs.last().position + r.blocs.last().retire.size())
                return false;
            r.blocs.append(b);
        }
    }
    e = r;
    return true;
}

QString Chemin_Journal(const QString& cheminLog)
{
    return cheminLog + QStringLiteral(".journal");
}

Piles Calculer_Piles(const QList<Entree>& entrees)
{
    Piles p;
    for (const Entree& e : entrees) {
        switch (e.genre) {
        case Genre::Modification:
        case Genre::Retour:
            p.faites.append(e.numero);
            p.annulees.clear();
            break;
        case Genre::Annulation:
            if (!p.faites.isEmpty() && p.faites.last() == e.cible) {
                p.faites.removeLast();
                p.annulees.append(e.cible);
            } else {
                p.faites.clear();
                p.annulees.clear();
            }
            break;
        case Genre::Retablissement:
            if (!p.annulees.isEmpty() && p.annulees.last() == e.cible) {
                p.annulees.removeLast();
                p.faites.append(e.cible);
            } else {
                p.faites.clear();
                p.annulees.clear();
            }
            break;
        }
    }
    return p;
}

QStringList Lignes_Concernees(const Entree& e)
{
    QStringList r;
    for (const Bloc& b : e.blocs) {
        for (const QByteArray& l : Texte1252::Couper_Lignes(b.retire))
            r.append(QStringLiteral("- ") + Texte1252::Decoder(l));
        for (const QByteArray& l : Texte1252::Couper_Lignes(b.ajoute))
            r.append(QStringLiteral("+ ") + Texte1252::Decoder(l));
    }
    return r;
}

namespace {

// A line as the log and the journal are compared: its end blanks aside, which an editor may
// take away and a field cut by position never misses.
QByteArray Cle_Ligne(QByteArrayView ligne)
{
    while (!ligne.isEmpty() && (ligne.back() == ' ' || ligne.back() == '\r' || ligne.back() == '\n'))
        ligne.chop(1);
    return ligne.toByteArray();
}

bool Ligne_Qso(QByteArrayView ligne)
{
    int date = 0;
    return Enregistrement::Date_Comparable(Texte1252::Decoder(ligne.first(qMin<qsizetype>(8, ligne.size()))), date);
}

// The same QSO with at most one of its fields changed, as a byte typed in an editor leaves it.
bool Meme_Qso_Retouche(QByteArrayView a, QByteArrayView b)
{
    const Qso x = Qso::De_Ligne_Log(Texte1252::Decoder(Cle_Ligne(a)));
    const Qso y = Qso::De_Ligne_Log(Texte1252::Decoder(Cle_Ligne(b)));
    const int differents = int(x.date != y.date) + int(x.attente != y.attente) + int(x.reference != y.reference)
        + int(x.type != y.type) + int(x.indicatif != y.indicatif);
    return differents <= 1;
}

} // namespace

QList<QByteArray> Lignes_Disparues(const QList<Entree>& entrees, const QByteArray& contenuLog)
{
    // The journal holds the changes, not the log: of its latest state only the lines its
    // entries wrote are known, a line there before its oldest entry kept is out of its sight.
    // Each QSO line an entry added counts once, each line one took away takes a count back,
    // and each line of the log another: what is left was written by the program and is gone.
    QHash<QByteArray, qsizetype> ecrites;
    QList<QByteArray> ordre;
    auto retirer = [&](QByteArrayView ligne) {
        const auto it = ecrites.find(Cle_Ligne(ligne));
        if (it != ecrites.end() && *it > 0)
            --*it;
    };
    for (const Entree& e : entrees) {
        for (const Bloc& b : e.blocs) {
            Texte1252::Pour_Chaque_Ligne(b.retire, retirer);
            Texte1252::Pour_Chaque_Ligne(b.ajoute, [&](QByteArrayView ligne) {
                if (!Ligne_Qso(ligne))
                    return;
                ++ecrites[Cle_Ligne(ligne)];
                ordre.append(ligne.toByteArray());
            });
        }
    }
    if (ecrites.isEmpty())
        return {};
    Texte1252::Pour_Chaque_Ligne(contenuLog, retirer);
    QList<QByteArray> disparues;
    for (const QByteArray& ligne : ordre) {
        const auto it = ecrites.find(Cle_Ligne(ligne));
        if (*it > 0) {
            --*it;
            disparues.append(ligne);
        }
    }
    // Lines are compared whole, so a QSO the operator changed by hand shows as one gone and
    // one come. When the line put back in place of a log line of the same QSO gives, byte
    // for byte, the journal's latest state, that was his whole change: nothing went.
    if (disparues.size() == 1) {
        const QByteArray remise = disparues.first() + "\r\n";
        const QByteArrayView log(contenuLog);
        qsizetype debut = 0;
        while (debut < log.size()) {
            const qsizetype n = log.indexOf('\n', debut);
            const qsizetype fin = n < 0 ? log.size() : n + 1;
            if (Meme_Qso_Retouche(disparues.first(), log.sliced(debut, fin - debut))) {
                Empreinte e;
                e.Ajouter(log.first(debut));
                e.Ajouter(remise);
                e.Ajouter(log.sliced(fin));
                if (e == entrees.last().apres)
                    return {};
            }
            debut = fin;
        }
    }
    return disparues;
}

// ---------------------------------------------------------------------------------------
// The journal of one log

namespace {

ErreurFichier Erreur_Journal(int numero, const QString& chemin)
{
    ErreurFichier e;
    e.numero = numero;
    e.message = QStringLiteral("Erreur N° %1 : impossible d'écrire le journal des modifications\r\n%2\r\n(%3).")
                    .arg(numero)
                    .arg(QDir::toNativeSeparators(chemin), FichierLog::Cause(numero));
    return e;
}

int Numero_Errno(int e)
{
    const int numero = FichierLog::Cause_Errno(e).numero;
    return numero ? numero : 57;
}

} // namespace

Journal_Log::Journal_Log(const QString& cheminLog) : m_cheminLog(cheminLog)
{
}

void Journal_Log::Oublier()
{
    m_etatVu.reset();
    m_piles.reset();
    m_charge = false;
    m_entrees.clear();
    m_tailleFichier = 0;
    m_reparer = false;
    m_abime = false;
}

void Journal_Log::Noter_Etat() const
{
    m_etatVu = Etat_Actuel();
}

bool Journal_Log::Charger() const
{
    if (m_charge)
        return true;
    m_entrees.clear();
    m_reparer = false;
    m_abime = false;
    m_tailleFichier = 0;
    m_etatVu.reset();
    m_piles.reset();
    // Taken before the reading: a write that comes between makes the next check read again.
    const Etat_Fichier etat = Etat_Actuel();
    QFile f(Chemin());
    if (!etat.existe) {
        m_charge = true;
        m_etatVu = etat;
        return true;
    }
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray contenu = f.readAll();
    qsizetype debut = 0;
    qsizetype bon = 0;
    while (debut < contenu.size()) {
        const qsizetype fin = contenu.indexOf('\n', debut);
        Entree e;
        const bool complete = fin >= 0;
        const QByteArrayView ligne(contenu.constData() + debut, (complete ? fin + 1 : contenu.size()) - debut);
        if (!complete || !Decoder_Entree(ligne, e)
            || (!m_entrees.isEmpty() && e.numero <= m_entrees.last().numero)) {
            // Only the last line can be torn by a crash; a damaged line before it is not ours.
            if (!complete || contenu.indexOf('\n', fin + 1) < 0)
                m_reparer = true;
            else
                m_abime = true;
            break;
        }
        m_entrees.append(e);
        debut = fin + 1;
        bon = debut;
    }
    m_tailleFichier = bon;
    m_charge = true;
    m_etatVu = etat;
    return true;
}

const QList<Entree>& Journal_Log::Entrees() const
{
    Charger();
    return m_entrees;
}

ErreurFichier Journal_Log::Mettre_De_Cote()
{
    const QString base = Chemin() + QLatin1Char('.')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Within one second the names take a number past the highest there, never one freed by
    // the removal of older journals, so that their order stays the order they were made in.
    int dernier = 0;
    const QFileInfo infoBase(base);
    for (const QString& n : infoBase.dir().entryList({infoBase.fileName() + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        if (n == infoBase.fileName())
            dernier = qMax(dernier, 1);
        else if (n.startsWith(infoBase.fileName() + QLatin1Char('-')))
            dernier = qMax(dernier, QStringView(n).sliced(infoBase.fileName().size() + 1).toInt());
    }
    const QString nom = dernier == 0 ? base : base + QLatin1Char('-') + QString::number(dernier + 1);
    // A journal that stays in place would chain the next change onto a log it cannot explain.
    const ErreurFichier e = FichierLog::Renommer(Chemin(), nom, QStringLiteral("impossible de mettre de côté"));
    if (!e.ok())
        return e;
    Elaguer_De_Cote();
    FichierLog::Synchroniser_Dossier(Chemin());
    Oublier();
    m_charge = true;
    Noter_Etat();
    m_misDeCote = nom;
    return {};
}

void Journal_Log::Elaguer_De_Cote() const
{
    // Only the names this program gives a journal it sets aside, oldest first by their date
    // and their number; a copy the operator made under another name is never touched.
    const QFileInfo journal(Chemin());
    const QRegularExpression forme(QLatin1Char('^') + QRegularExpression::escape(journal.fileName())
                                   + QStringLiteral("\\.(\\d{8}-\\d{6})(?:-(\\d+))?$"));
    QList<std::pair<QString, int>> cles;
    QStringList noms;
    for (const QString& nom : journal.dir().entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch m = forme.match(nom);
        if (m.hasMatch()) {
            cles.append({m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt()});
            noms.append(nom);
        }
    }
    QList<qsizetype> ordre;
    for (qsizetype i = 0; i < noms.size(); ++i)
        ordre.append(i);
    std::sort(ordre.begin(), ordre.end(), [&](qsizetype a, qsizetype b) { return cles.at(a) < cles.at(b); });
    for (qsizetype i = 0; i + Gardes_De_Cote < ordre.size(); ++i)
        QFile::remove(journal.dir().filePath(noms.at(ordre.at(i))));
}

Journal_Log::Accord Journal_Log::Verifier(QByteArrayView contenuLog, QString* misDeCote, ErreurFichier* erreur,
                                          QList<QByteArray>* disparues)
{
    // The entries read stay while the file is as this object last read or wrote it: a
    // season's journal is then not decoded again at each undo. Anything else reads it again.
    const Etat_Fichier etat = Etat_Actuel();
    if (!m_charge || !m_etatVu || !(etat == *m_etatVu))
        Oublier();
    if (!etat.existe) {
        Oublier();
        m_charge = true;
        m_etatVu = etat;
        return Accord::Sans_Journal;
    }
    const bool lu = Charger();
    auto deCote = [&]() {
        // What the entries wrote and the log lacks, before they are forgotten. A journal
        // damaged before its end tells only part of the story: the changes it lost may have
        // taken those lines away themselves.
        if (disparues && lu && !m_abime)
            *disparues = Lignes_Disparues(m_entrees, QByteArray::fromRawData(contenuLog.data(), contenuLog.size()));
        const ErreurFichier e = Mettre_De_Cote();
        if (misDeCote)
            *misDeCote = e.ok() ? m_misDeCote : QString();
        if (erreur)
            *erreur = e;
        return Accord::Mis_De_Cote;
    };
    if (!lu || m_abime)
        return deCote();
    if (m_reparer) {
        // The torn line is the entry of a change that never began.
        if (!Compacter().ok())
            return deCote();
    }
    if (m_entrees.isEmpty())
        return Accord::Sans_Journal;
    const Empreinte vue = Empreinte_De(contenuLog);
    if (vue == m_entrees.last().apres)
        return Accord::Accord;
    if (vue == m_entrees.last().avant) {
        // The entry was written but the change never reached the log: the log is left as it
        // is, and the entry goes.
        if (Retirer_Derniere().ok())
            return Accord::Reprise;
    }
    return deCote();
}

qsizetype Journal_Log::Ajout_Coupe(QByteArrayView octetsLog) const
{
    if (m_entrees.isEmpty())
        return -1;
    const Entree& e = m_entrees.last();
    if (!e.ajout || e.blocs.size() != 1 || !e.blocs.first().retire.isEmpty())
        return -1;
    const Bloc& b = e.blocs.first();
    const qint64 avant = e.avant.Longueur();
    if (b.position != avant || octetsLog.size() <= avant || octetsLog.size() >= avant + b.ajoute.size())
        return -1;
    const QByteArrayView recu = octetsLog.sliced(avant);
    if (recu != QByteArrayView(b.ajoute).first(recu.size()) || Empreinte_De(octetsLog.first(avant)) != e.avant)
        return -1;
    return recu.size();
}

Journal_Log::Demarrage Journal_Log::Verifier_Au_Demarrage(const QByteArray& octetsLog)
{
    Demarrage d;
    const Etat_Fichier etat = Etat_Actuel();
    if (!m_charge || !m_etatVu || !(etat == *m_etatVu))
        Oublier();
    if (etat.existe && Charger() && !m_abime && m_reparer)
        Compacter();
    const qsizetype coupe = etat.existe && !m_abime && !m_reparer ? Ajout_Coupe(octetsLog) : -1;
    if (coupe < 0) {
        d.accord = Verifier(Forme_Log::Remettre(octetsLog), &d.misDeCote, &d.erreur, &d.disparues);
        return d;
    }
    const Entree& e = m_entrees.last();
    const QByteArray& ajoute = e.blocs.first().ajoute;
    const qint64 avant = e.avant.Longueur();
    // The append's bytes are the line end the log lacked, if any, the line, then CR LF: the
    // QSO is whole when its text is there up to its trailing blanks, which an editor may
    // also have taken away.
    qsizetype texte = ajoute.size() - 2;
    while (texte > 0 && ajoute.at(texte - 1) == ' ')
        --texte;
    if (coupe >= texte) {
        QByteArray complet = octetsLog.left(avant) + ajoute;
        d.erreur = FichierLog::Reecrire_Octets(m_cheminLog, complet);
        if (d.erreur.ok() || d.erreur.fait) {
            d.erreur = {};
            d.completee = true;
            d.accord = Accord::Accord;
        }
        return d;
    }
    // Less than the line: the file as it was is kept for the operator to see, then the log
    // goes back to the state before the append, which the list showed last.
    d.erreur = FichierLog::Garder_Copie(m_cheminLog, QStringLiteral("ligne_coupee"), octetsLog, d.copie);
    if (!d.erreur.ok())
        return d;
    d.erreur = FichierLog::Reecrire_Octets(m_cheminLog, octetsLog.left(avant));
    if (!d.erreur.ok() && !d.erreur.fait)
        return d;
    d.erreur = {};
    Retirer_Derniere();
    d.accord = Accord::Reprise;
    return d;
}

ErreurFichier Journal_Log::Noter(Entree& e)
{
    Charger();
    e.numero = m_entrees.isEmpty() ? 1 : m_entrees.last().numero + 1;
    // The journal's checksums are only compared with the log, never carried on: their
    // summaries make an entry of a record less than half its size.
    e.avant = e.avant.Resume();
    e.apres = e.apres.Resume();
    const QByteArray ligne = Encoder_Entree(e);
    const bool nouveau = !QFileInfo::exists(Chemin());
    QFile f(Chemin());
    errno = 0;
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return Erreur_Journal(Numero_Errno(errno), Chemin());
    // A torn line left by a crash is cut before the new entry goes after it.
    if (f.size() != m_tailleFichier && !f.resize(m_tailleFichier))
        return Erreur_Journal(57, Chemin());
    errno = 0;
    bool ok = f.seek(m_tailleFichier) && f.write(ligne) == ligne.size();
    ok = ok && FichierLog::Vers_Le_Disque(f);
    const int errnoVu = errno;
    if (!ok) {
        f.resize(m_tailleFichier);
        f.close();
        return Erreur_Journal(Numero_Errno(errnoVu), Chemin());
    }
    f.close();
    if (nouveau) {
        const ErreurFichier d = FichierLog::Synchroniser_Dossier(Chemin());
        if (!d.ok())
            return d;
    }
    m_tailleFichier += ligne.size();
    m_reparer = false;
    m_entrees.append(e);
    m_piles.reset();
    Noter_Etat();
    return {};
}

ErreurFichier Journal_Log::Retirer_Derniere()
{
    Charger();
    if (m_entrees.isEmpty())
        return {};
    const QByteArray derniere = Encoder_Entree(m_entrees.last());
    QFile f(Chemin());
    if (!f.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return Erreur_Journal(Numero_Errno(errno), Chemin());
    const qint64 taille = m_tailleFichier - derniere.size();
    bool ok = f.resize(taille);
    ok = ok && FichierLog::Vers_Le_Disque(f);
    f.close();
    if (!ok)
        return Erreur_Journal(57, Chemin());
    // A journal left with no entry is no journal: a change that failed leaves no file behind.
    if (taille == 0 && QFile::remove(Chemin()))
        FichierLog::Synchroniser_Dossier(Chemin());
    m_entrees.removeLast();
    m_piles.reset();
    m_tailleFichier = taille;
    m_reparer = false;
    Noter_Etat();
    return {};
}

namespace {

// The first entry kept: the last Minimum_Garde changes (undos and redos aside) or every
// entry of the latest entry's year, whichever reaches further back, and never past a change
// that a kept undo or redo names, so that the stacks read from what is kept stay true.
qsizetype Premier_Garde(const QList<Entree>& entrees)
{
    qsizetype premier = entrees.size();
    int changes = 0;
    while (premier > 0 && changes < Journal_Log::Minimum_Garde) {
        --premier;
        const Genre g = entrees.at(premier).genre;
        if (g == Genre::Modification || g == Genre::Retour)
            ++changes;
    }
    if (entrees.isEmpty())
        return 0;
    // The year's bounds in milliseconds: a season's thousands of entries are compared after
    // every change, and a date worked out for each of them costs more than the change.
    const int annee = entrees.last().utc.toUTC().date().year();
    const qint64 debutAnnee = QDateTime(QDate(annee, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    const qint64 finAnnee = QDateTime(QDate(annee + 1, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    auto memeAnnee = [&](const Entree& e) {
        const qint64 t = e.utc.toMSecsSinceEpoch();
        return t >= debutAnnee && t < finAnnee;
    };
    while (premier > 0 && memeAnnee(entrees.at(premier - 1)))
        --premier;
    for (bool bouge = true; bouge && premier > 0;) {
        bouge = false;
        for (qsizetype i = premier; i < entrees.size(); ++i) {
            const Entree& e = entrees.at(i);
            if (e.genre != Genre::Annulation && e.genre != Genre::Retablissement)
                continue;
            for (qsizetype k = premier - 1; k >= 0; --k) {
                if (entrees.at(k).numero == e.cible) {
                    premier = k;
                    bouge = true;
                    break;
                }
            }
        }
    }
    return premier;
}

} // namespace

ErreurFichier Journal_Log::Compacter()
{
    const qsizetype premier = Premier_Garde(m_entrees);
    QByteArray contenu;
    for (qsizetype i = premier; i < m_entrees.size(); ++i)
        contenu += Encoder_Entree(m_entrees.at(i));
    const ErreurFichier e = FichierLog::Reecrire_Octets(Chemin(), contenu);
    if (!e.ok())
        return e;
    m_entrees = m_entrees.mid(premier);
    m_piles.reset();
    m_tailleFichier = contenu.size();
    m_reparer = false;
    Noter_Etat();
    return {};
}

void Journal_Log::Borner()
{
    // Compacted by a hundred entries at a time, so that the journal is rewritten seldom.
    if (m_entrees.size() > Minimum_Garde + 100 && Premier_Garde(m_entrees) >= 100)
        Compacter();
}

ErreurFichier Journal_Log::Reecrire(QByteArrayView ancien, const QByteArray& nouveau, Genre genre, qint64 cible,
                                    const QString& operation, const QDateTime& utc)
{
    Charger();
    Entree e;
    e.genre = genre;
    e.cible = cible;
    e.utc = utc;
    e.operation = operation;
    // The bytes alike at the start of both files, whole 4 kB blocks of them, are summed once
    // for the two checksums: a change near the end of a long log then costs one pass, not two.
    const qsizetype plusCourt = qMin(ancien.size(), nouveau.size());
    qsizetype commun = 0;
    while (commun + 4096 <= plusCourt && std::memcmp(ancien.data() + commun, nouveau.data() + commun, 4096) == 0)
        commun += 4096;
    Empreinte debut;
    debut.Ajouter(ancien.first(commun));
    e.avant = debut;
    e.avant.Ajouter(ancien.sliced(commun));
    e.apres = debut;
    e.apres.Ajouter(QByteArrayView(nouveau).sliced(commun));
    // A journal that does not end on the log read here cannot explain the change: it goes
    // aside and a new one starts with this change.
    if (m_abime || (!m_entrees.isEmpty() && m_entrees.last().apres != e.avant)) {
        const ErreurFichier d = Mettre_De_Cote();
        if (!d.ok())
            return d;
    }
    if (ancien == QByteArrayView(nouveau))
        return FichierLog::Reecrire_Octets(m_cheminLog, nouveau); // nothing to undo
    e.blocs = Differences(ancien, nouveau, commun);
    ErreurFichier r = Noter(e);
    if (!r.ok())
        return r;
    r = FichierLog::Reecrire_Octets(m_cheminLog, nouveau);
    if (!r.ok())
        return Apres_Echec(r, e.apres);
    Borner();
    return {};
}

ErreurFichier Journal_Log::Apres_Echec(ErreurFichier r, const Empreinte& apres)
{
    // What the log holds decides, not what the error says: a disk may fail after the bytes
    // reached the file, and then the change is there and its entry must stay to undo it.
    QByteArray contenu;
    if (FichierLog::Lire_Octets(m_cheminLog, contenu).ok())
        r.fait = Empreinte_De(contenu) == apres;
    if (r.fait)
        Borner();
    else
        Retirer_Derniere();
    return r;
}

ErreurFichier Journal_Log::Ajouter(const QByteArray& ligne, const QString& operation, const QDateTime& utc,
                                   const QByteArray* precedent, QByteArray* ajoutees)
{
    Charger();
    bool note = false;
    Empreinte apres;
    const ErreurFichier r = FichierLog::Ajouter(m_cheminLog, ligne, [&](qint64 taille, const QByteArray& donnees) {
        Entree e;
        e.genre = Genre::Modification;
        e.utc = utc;
        e.operation = operation;
        e.ajout = true;
        // The whole log is summed, not only its size compared: an edit of the same length made
        // in a text editor is seen now, before the journal chains a change onto it. Bytes the
        // caller has just checked against the file are that log, and are not read again.
        QByteArray contenu;
        if (precedent && precedent->size() == taille) {
            contenu = *precedent;
        } else {
            const ErreurFichier l = FichierLog::Lire_Octets(m_cheminLog, contenu);
            if (!l.ok())
                return l;
        }
        e.avant = Empreinte_De(contenu.first(qMin<qsizetype>(contenu.size(), taille)));
        if (ajoutees)
            *ajoutees = donnees;
        if (m_abime || (!m_entrees.isEmpty() && m_entrees.last().apres != e.avant)) {
            const ErreurFichier d = Mettre_De_Cote();
            if (!d.ok())
                return d;
        }
        e.apres = e.avant;
        e.apres.Ajouter(donnees);
        Bloc b;
        b.position = taille;
        b.ajoute = donnees;
        e.blocs.append(b);
        const ErreurFichier n = Noter(e);
        note = n.ok();
        apres = e.apres;
        return n;
    });
    if (!r.ok())
        return note ? Apres_Echec(r, apres) : r;
    Borner();
    return {};
}

const Piles& Journal_Log::Piles_Actuelles() const
{
    // Worked out once for the entries read: the menu asks for both tops after every change,
    // and a season's entries walked each time cost more than the change itself.
    Charger();
    if (!m_piles)
        m_piles = Calculer_Piles(m_entrees);
    return *m_piles;
}

const Entree* Journal_Log::Entree_Numero(qint64 numero) const
{
    // The numbers only grow along the journal (a line out of order is damage).
    const auto it = std::lower_bound(m_entrees.cbegin(), m_entrees.cend(), numero,
                                     [](const Entree& e, qint64 n) { return e.numero < n; });
    return it != m_entrees.cend() && it->numero == numero ? &*it : nullptr;
}

const Entree* Journal_Log::A_Annuler() const
{
    const Piles& p = Piles_Actuelles();
    return p.faites.isEmpty() ? nullptr : Entree_Numero(p.faites.last());
}

const Entree* Journal_Log::A_Retablir() const
{
    const Piles& p = Piles_Actuelles();
    return p.annulees.isEmpty() ? nullptr : Entree_Numero(p.annulees.last());
}

bool Journal_Log::Etat_Apres(QByteArrayView contenuLog, qint64 numero, QByteArray& etat) const
{
    Charger();
    QByteArray courant = contenuLog.toByteArray();
    for (qsizetype i = m_entrees.size() - 1; i >= 0; --i) {
        const Entree& e = m_entrees.at(i);
        if (e.numero == numero)
            break;
        if (i == 0)
            return false;
        QByteArray precedent;
        if (!Appliquer(courant, Inverser(e.blocs), precedent))
            return false;
        courant = std::move(precedent);
    }
    for (const Entree& e : m_entrees) {
        if (e.numero == numero) {
            if (Empreinte_De(courant) != e.apres)
                return false;
            etat = std::move(courant);
            return true;
        }
    }
    return false;
}

Journal_Log::Resultat Journal_Log::Preparer(QByteArray& contenu, const QByteArray* lu)
{
    Resultat r;
    if (lu)
        contenu = *lu;
    else
        r.erreur = FichierLog::Lire_Octets(m_cheminLog, contenu);
    if (!r.erreur.ok()) {
        r.etat = Resultat::Erreur;
        return r;
    }
    QString nom;
    if (Verifier(contenu, &nom, &r.erreur) == Accord::Mis_De_Cote) {
        r.etat = r.erreur.ok() ? Resultat::Log_Modifie : Resultat::Erreur;
        r.misDeCote = nom;
        return r;
    }
    r.etat = Resultat::Fait;
    return r;
}

Journal_Log::Resultat Journal_Log::Annuler(const QDateTime& utc, const QByteArray* lu)
{
    return Rejouer(Genre::Annulation, utc, lu);
}

Journal_Log::Resultat Journal_Log::Retablir(const QDateTime& utc, const QByteArray* lu)
{
    return Rejouer(Genre::Retablissement, utc, lu);
}

Journal_Log::Resultat Journal_Log::Rejouer(Genre genre, const QDateTime& utc, const QByteArray* lu)
{
    QByteArray contenu;
    Resultat r = Preparer(contenu, lu);
    if (r.etat != Resultat::Fait)
        return r;
    const bool annuler = genre == Genre::Annulation;
    const Entree* e = annuler ? A_Annuler() : A_Retablir();
    if (!e) {
        r.etat = Resultat::Rien_A_Faire;
        return r;
    }
    const Entree cible = *e;
    r.operation = cible.operation;
    // An undo goes from the state after the change to the state before it, a redo the other
    // way; the state reached must come back whole, or nothing is written.
    const Empreinte& depart = annuler ? cible.apres : cible.avant;
    const Empreinte& arrivee = annuler ? cible.avant : cible.apres;
    QByteArray nouveau;
    if (Empreinte_De(contenu) != depart || !Appliquer(contenu, annuler ? Inverser(cible.blocs) : cible.blocs, nouveau)
        || Empreinte_De(nouveau) != arrivee) {
        r.erreur = Mettre_De_Cote();
        r.misDeCote = r.erreur.ok() ? m_misDeCote : QString();
        r.etat = r.erreur.ok() ? Resultat::Log_Modifie : Resultat::Erreur;
        return r;
    }
    r.erreur = Reecrire(contenu, nouveau, genre, cible.numero, cible.operation, utc);
    r.etat = r.erreur.ok() ? Resultat::Fait : Resultat::Erreur;
    r.contenu = std::move(nouveau);
    return r;
}

Journal_Log::Resultat Journal_Log::Revenir_A(qint64 numero, const QString& operation, const QDateTime& utc, const QByteArray* lu)
{
    QByteArray contenu;
    Resultat r = Preparer(contenu, lu);
    if (r.etat != Resultat::Fait)
        return r;
    r.operation = operation;
    QByteArray nouveau;
    if (!Etat_Apres(contenu, numero, nouveau)) {
        r.etat = Resultat::Rien_A_Faire;
        return r;
    }
    if (nouveau == contenu) {
        r.etat = Resultat::Rien_A_Faire;
        return r;
    }
    r.erreur = Reecrire(contenu, nouveau, Genre::Retour, numero, operation, utc);
    r.etat = r.erreur.ok() ? Resultat::Fait : Resultat::Erreur;
    r.contenu = std::move(nouveau);
    return r;
}

} // namespace Journal
