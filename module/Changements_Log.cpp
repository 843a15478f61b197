#include "Changements_Log.h"

#include "Ecriture_Lignes.h"
#include "Enregistrement.h"
#include "Insertion.h"
#include "Log_Ouvert.h"
#include "Qso.h"
#include "Texte1252.h"

#include <QDir>

using Enregistrement::Champ_Octets;
using Enregistrement::Place_Reference;
using Modification = Etat_Log::Modification;

namespace {

const QString& Log_Non_Modifie()
{
    static const QString texte = QStringLiteral("Le log n'a pas été modifié.");
    return texte;
}

const QString& Qso_Non_Enregistre()
{
    static const QString texte = QStringLiteral("Le QSO n'a pas été enregistré.");
    return texte;
}

} // namespace

Changements_Log::Changements_Log(Log_Ouvert& log, Garde garde, Horloge maintenantUtc)
    : m_log(log), m_garde(std::move(garde)), m_maintenant(std::move(maintenantUtc))
{
}

Changements_Log::~Changements_Log() = default;

QString Changements_Log::Nom_Operation(const QString& action, QStringView enregistrement)
{
    return action + QStringLiteral(" du KVRT ") + Enregistrement::Champ(enregistrement, Place_Reference).trimmed().toString();
}

QString Changements_Log::Texte_Fait_Sans_Confirmation(const QString& operation)
{
    return QStringLiteral("Le log contient bien cette modification (%1), mais le disque n'a pas confirmé "
                          "l'écriture : vérifiez le disque.")
        .arg(operation);
}

Journal::Journal_Log& Changements_Log::Journal()
{
    if (!m_journal || m_journal->Chemin_Log() != m_log.Chemin())
        m_journal = std::make_unique<Journal::Journal_Log>(m_log.Chemin());
    return *m_journal;
}

QString Changements_Log::Operation_A_Annuler()
{
    const Journal::Entree* e = Journal().A_Annuler();
    return e ? e->operation : QString();
}

QString Changements_Log::Operation_A_Retablir()
{
    const Journal::Entree* e = Journal().A_Retablir();
    return e ? e->operation : QString();
}

Resultat_Changement Changements_Log::Reecrire(const QByteArray& ancien, const QByteArray& nouveau, const QString& operation,
                                              const QString& suite)
{
    Resultat_Changement r = m_garde(suite, &ancien);
    if (!r.fait)
        return r;
    const ErreurFichier e = Journal().Reecrire(ancien, nouveau, Journal::Genre::Modification, 0, operation, m_maintenant());
    if (e.ok() || e.fait)
        m_log.Ecrit(nouveau);
    else
        m_log.Oublier();
    // The log was read back after a failure: the message says what it holds.
    if (!e.ok())
        r.Dire(e.message + QStringLiteral("\r\n") + (e.fait ? Texte_Fait_Sans_Confirmation(operation) : suite));
    r.fait = e.ok() || e.fait;
    return r;
}

Changements_Log::Changement Changements_Log::Reecrire_Puis_Montrer(const QByteArray& ancien, QByteArray nouveau,
                                                                   const QString& operation, const QString& suite,
                                                                   Modification sorte)
{
    Changement c;
    c.resultat = Reecrire(ancien, nouveau, operation, suite);
    if (c.resultat.fait) {
        c.montrer = true;
        c.sorte = sorte;
        c.ecrit = std::move(nouveau);
    }
    return c;
}

std::optional<QByteArray> Changements_Log::Lire(Changement& echec, const QString& suite)
{
    QByteArray contenu;
    const ErreurFichier e = m_log.Lire_Contenu(contenu);
    if (e.ok())
        return contenu;
    echec.resultat.Dire(e.message + suite);
    return std::nullopt;
}

Changements_Log::Changement Changements_Log::Enregistrer(const Qso& qso)
{
    Changement c;
    c.resultat = m_garde(Qso_Non_Enregistre(), nullptr);
    if (!c.resultat.fait)
        return c;
    const QString ligne = qso.Ligne_Log();
    // The log as the guard has just checked it: the journal sums it without reading it again,
    // and the bytes appended make the new state.
    QByteArray precedent = m_log.Octets();
    QByteArray ajoutees;
    const ErreurFichier e = Journal().Ajouter(Texte1252::Encoder(ligne), Nom_Operation(QStringLiteral("enregistrement"), ligne),
                                              m_maintenant(), m_log.Connu() ? &precedent : nullptr, &ajoutees);
    precedent = QByteArray();
    c.sorte = Modification::Enregistrement;
    if (e.ok()) {
        m_log.Ajoute(ajoutees);
        c.montrer = true;
        c.ecrit = m_log.Contenu();
        return c;
    }
    // The log was read back after the failure: typing the QSO again must not make a double.
    m_log.Oublier();
    c.resultat.Dire(e.message
                    + (e.fait ? QStringLiteral("\r\nLe QSO a bien été enregistré dans le log, mais le disque n'a "
                                               "pas confirmé l'écriture : vérifiez le disque.")
                              : QStringLiteral("\r\nLe QSO n'a pas été enregistré.")));
    c.resultat.fait = e.fait;
    c.montrer = e.fait;
    return c;
}

Changements_Log::Changement Changements_Log::Inserer(const Qso& qso)
{
    Changement echec;
    const std::optional<QByteArray> lu = Lire(echec);
    if (!lu)
        return echec;
    const QByteArray& contenu = *lu;
    const QString ligne = qso.Ligne_Log();
    // A line that does not begin with a readable date keeps its place and never decides
    // where the new QSO goes. On a failure the log is as it was, and the QSO stays in the fields.
    QByteArray ecrit = Insertion::Inserer_Dans_Log(contenu, {Texte1252::Encoder(ligne)});
    return Reecrire_Puis_Montrer(contenu, std::move(ecrit), Nom_Operation(QStringLiteral("insertion"), ligne),
                                 Qso_Non_Enregistre(), Modification::Insertion);
}

Changements_Log::Changement Changements_Log::Modifier(QStringView ligneListe, const Qso& qso)
{
    const QByteArray cle = Texte1252::Encoder(Enregistrement::Ligne_Log_De_Liste(ligneListe));
    const QString ligne = qso.Ligne_Log();
    const QByteArray nouvelle = Texte1252::Encoder(ligne);
    Changement echec;
    const std::optional<QByteArray> lu = Lire(echec);
    if (!lu)
        return echec;
    const QByteArray& contenu = *lu;
    // The new log in one pass over the lines read, each line ending in CR LF.
    Ecriture_Lignes lignes(contenu.size() + nouvelle.size() + 4);
    bool remplace = false;
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView l) {
        const bool cible = l == QByteArrayView(cle);
        lignes.Ligne(cible ? QByteArrayView(nouvelle) : l);
        remplace = remplace || cible;
    });
    if (!remplace)
        lignes.Ligne(nouvelle);
    return Reecrire_Puis_Montrer(contenu, lignes.Octets(), Nom_Operation(QStringLiteral("modification"), ligne),
                                 Log_Non_Modifie(), Modification::Edition);
}

Changements_Log::Changement Changements_Log::Supprimer(const QString& reference)
{
    const QByteArray cle = Texte1252::Encoder(reference);
    // The list shows the reference without its blanks: a record whose reference is shorter
    // than five characters (typed in an edit without Enter) is padded in the file, and must
    // go all the same. A blank reference names no castle and takes nothing.
    auto sansBlancs = [](QByteArrayView v) {
        while (!v.isEmpty() && v.back() == ' ')
            v.chop(1);
        while (!v.isEmpty() && v.front() == ' ')
            v = v.sliced(1);
        return v;
    };
    const QByteArrayView cleNette = sansBlancs(cle);
    Changement echec;
    const std::optional<QByteArray> lu = Lire(echec);
    if (!lu)
        return echec;
    const QByteArray& contenu = *lu;
    // The lines kept, in one pass over the lines read, each ending in CR LF.
    Ecriture_Lignes lignes(contenu.size() + 2);
    bool retiree = false;
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView l) {
        if (cleNette.isEmpty() || l.size() <= Place_Reference.debut || sansBlancs(Champ_Octets(l, Place_Reference)) != cleNette)
            lignes.Ligne(l);
        else
            retiree = true;
    });
    if (retiree)
        return Reecrire_Puis_Montrer(contenu, lignes.Octets(), QStringLiteral("suppression du KVRT ") + reference.trimmed(),
                                     Log_Non_Modifie(), Modification::Suppression);
    // Nothing to take out: the list is made again from the log's bytes as they were read.
    Changement c;
    c.resultat.fait = true;
    c.montrer = true;
    c.sorte = Modification::Suppression;
    c.ecrit = contenu;
    return c;
}

Changements_Log::Changement Changements_Log::Importer(const QList<QByteArray>& nouvelles, const QByteArray* logLu)
{
    Changement echec;
    const std::optional<QByteArray> ancien = logLu ? *logLu : Lire(echec, QStringLiteral("\r\nRien n'a été importé."));
    if (!ancien)
        return echec;
    // One rewrite for the whole import: the log on disk holds all of it or none of it, and
    // one Ctrl+Z takes the whole import back.
    const QString operation = nouvelles.size() == 1 ? QStringLiteral("import ADIF d'un QSO")
                                                    : QStringLiteral("import ADIF de %1 QSO").arg(nouvelles.size());
    QByteArray resultat = Insertion::Inserer_Dans_Log(*ancien, nouvelles);
    return Reecrire_Puis_Montrer(*ancien, std::move(resultat), operation,
                                 QStringLiteral("Le log n'a pas été modifié : rien n'a été importé."), Modification::Import);
}

Changements_Log::Changement Changements_Log::Remettre(const QList<QByteArray>& lignes, const QString& operation,
                                                      const QString& suite)
{
    Changement echec;
    const std::optional<QByteArray> ancien = Lire(echec);
    if (!ancien)
        return echec;
    QByteArray nouveau = Insertion::Inserer_Dans_Log(*ancien, lignes);
    return Reecrire_Puis_Montrer(*ancien, std::move(nouveau), operation, suite, Modification::Import);
}

QString Changements_Log::Texte_Refus(const Journal::Journal_Log::Resultat& r, const QString& quoi, const QString& rienAFaire)
{
    using R = Journal::Journal_Log::Resultat;
    if (r.etat == R::Erreur)
        return r.erreur.message + QStringLiteral("\r\n")
            + (r.erreur.fait ? Texte_Fait_Sans_Confirmation(r.operation) : Log_Non_Modifie());
    // The journal set aside this session, at start-up or by this very refusal.
    const QString deCote = Journal().Dernier_Mis_De_Cote();
    if (r.etat == R::Log_Modifie || (r.etat == R::Rien_A_Faire && !deCote.isEmpty()))
        return QStringLiteral("Le log a été modifié en dehors du programme : %1, le log n'a pas été modifié.\r\n"
                              "L'historique des modifications a été mis de côté dans le fichier\r\n%2")
            .arg(quoi, QDir::toNativeSeparators(deCote));
    return r.etat == R::Rien_A_Faire ? rienAFaire : QString();
}

Changements_Log::Changement Changements_Log::Retour(const Journal::Journal_Log::Resultat& r, const QString& quoi,
                                                    const QString& rienAFaire)
{
    Changement c;
    c.resultat.fait = true;
    if (r.etat != Journal::Journal_Log::Resultat::Fait) {
        c.resultat.Dire(Texte_Refus(r, quoi, rienAFaire));
        if (!r.erreur.fait) {
            c.resultat.fait = false;
            return c;
        }
    }
    // The journal wrote the log: its bytes are known without reading it.
    if (r.etat == Journal::Journal_Log::Resultat::Fait)
        m_log.Ecrit(r.contenu);
    else
        m_log.Oublier();
    c.montrer = true;
    c.sorte = Modification::Retour;
    c.ecrit = r.contenu;
    return c;
}

const QByteArray* Changements_Log::Lu() const
{
    // The guard has just looked at the file: the journal takes the bytes it holds.
    return m_log.Connu() ? &m_log.Octets() : nullptr;
}

Changements_Log::Changement Changements_Log::Rejouer(const std::function<Journal::Journal_Log::Resultat(const QByteArray*)>& faire,
                                                     const QString& quoi, const QString& rienAFaire)
{
    const Resultat_Changement garde = m_garde(Log_Non_Modifie(), nullptr);
    if (!garde.fait) {
        Changement c;
        c.resultat = garde;
        return c;
    }
    Changement r = Retour(faire(Lu()), quoi, rienAFaire);
    r.resultat.messages = garde.messages + r.resultat.messages;
    return r;
}

Changements_Log::Changement Changements_Log::Annuler()
{
    return Rejouer([this](const QByteArray* lu) { return Journal().Annuler(m_maintenant(), lu); },
                   QStringLiteral("impossible d'annuler la dernière modification"), QStringLiteral("Aucune modification à annuler."));
}

Changements_Log::Changement Changements_Log::Retablir()
{
    return Rejouer([this](const QByteArray* lu) { return Journal().Retablir(m_maintenant(), lu); },
                   QStringLiteral("impossible de rétablir la modification"), QStringLiteral("Aucune modification à rétablir."));
}

Changements_Log::Changement Changements_Log::Revenir_A(qint64 numero, const QString& operationSansNom)
{
    return Rejouer(
        [&](const QByteArray* lu) {
            QString nom;
            for (const Journal::Entree& e : Journal().Entrees())
                if (e.numero == numero)
                    nom = QStringLiteral("retour à l'état après : ") + e.operation;
            return Journal().Revenir_A(numero, nom.isEmpty() ? operationSansNom : nom, m_maintenant(), lu);
        },
        QStringLiteral("impossible de revenir à cet état"), QStringLiteral("Le log est déjà dans cet état."));
}
