#include "Main.h"

#include "Aff_Contacte.h"
#include "Aide.h"
#include "Apparence.h"
#include "Bandeau.h"
#include "Carte_Acti.h"
#include "Chateaux_Spottes.h"
#include "Controle_Nomme.h"
#include "Fenetres_Web.h"
#include "Fichiers_Log.h"
#include "FichierLog.h"
#include "Filtre_Touches.h"
#include "Gestion_Erreur.h"
#include "Historique_Modifications.h"
#include "Import_Adif.h"
#include "Liste_Log.h"
#include "Logs_Retrouves.h"
#include "Mise_A_Jour_Liste.h"
#include "Plateforme.h"
#include "Progression.h"
#include "Rapports_Contactes.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Reglages.h"
#include "Station.h"
#include "Veille_Spots.h"
#include "Verification_Envoi.h"
#include "Zone_Saisie.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <utility>

using namespace Apparence;

Main::Main(Sous_Programmes& sp_, QWidget* parent) : QMainWindow(parent), sp(sp_)
{
    setObjectName(QStringLiteral("Main"));
    sp.Definir_Fenetre_Principale(this);
    Construire_Controles();
    Construire_Menus();
    Relier_Module();
    // The castles spotted are watched for the whole run; a reference typed that the castle
    // list lacks is warned of, never refused: the list may be older than the castle.
    Veille = new Veille_Spots(sp, this);
    connect(Veille, &Veille_Spots::Alerte, this, &Main::Dire_Dans_Barre_Etat);
    // The weekly check of the castle list speaks in the status line; the operator's, in a message.
    connect(&Veille->Liste_En_Ligne(), &Mise_A_Jour_Liste::Fini, this, [this](const Mise_A_Jour_Liste::Resultat& resultat) {
        if (resultat.automatique)
            Dire_Dans_Barre_Etat(resultat.texte);
        else
            sp.plateforme().Message(resultat.texte, this);
    });
    Saisie->Definir_Lecture_Log([this]() -> std::optional<QByteArray> {
        Sous_Programmes::Lecture l = sp.Lire_Contenu_Pour_Avis();
        if (!l.ok()) {
            sp.plateforme().Message(l.erreur.message, this);
            return std::nullopt;
        }
        return std::move(l.contenu);
    });
    Saisie->Definir_Chateau_Connu([this](const QString& reference) { return Veille->Liste().Vide() || Veille->Liste().Contient(reference); });
}

Main::~Main()
{
    if (sp.Fenetre_Principale() == this)
        sp.Definir_Fenetre_Principale(nullptr);
}

void Main::Relier_Module()
{
    connect(&sp, &Sous_Programmes::Etat_Change, this, &Main::Suivre_Log);
    connect(&sp, &Sous_Programmes::Log_Introuvable, this, &Main::Ouvrir_Recuperation);
    connect(&sp, &Sous_Programmes::Log_Illisible, this, [this](const QString& texte) { sp.plateforme().Message(texte, this); });
    connect(&sp, &Sous_Programmes::Statut, this, &Main::Dire_Dans_Barre_Etat);
    // What the entry area asks for goes to the module; the fields start afresh once the log
    // has it, by the state that follows (Suivre_Log).
    connect(Saisie, &Zone_Saisie::Qso_A_Enregistrer, this, [this](const Qso& qso) { Dire(sp.Ajoute_Ligne(qso)); });
    connect(Saisie, &Zone_Saisie::Qso_A_Inserer, this, [this](const Qso& qso) { Dire(sp.Insere_Ligne(qso)); });
    connect(Saisie, &Zone_Saisie::Qso_A_Remplacer, this,
            [this](const QString& ligneListe, const Qso& qso) { Dire(sp.Remplace_Ou_Ajoute_Ligne(ligneListe, qso)); });
    // A delete that could not be written counts the total again all the same.
    connect(Saisie, &Zone_Saisie::Qso_A_Supprimer, this, [this](const QString& reference) {
        if (!Dire(sp.Supprime_Lignes_Reference(reference)))
            sp.Apres_Modification_Log(Sous_Programmes::Modification::Total);
    });
    connect(Saisie, &Zone_Saisie::Total_A_Recompter, this,
            [this] { sp.Apres_Modification_Log(Sous_Programmes::Modification::Total); });
    connect(Saisie, &Zone_Saisie::Type_Retenu, this,
            [this](int index) { sp.reglages().Definir_Type_Activite(sp.Indicatif_Station(), index); });
}

void Main::Suivre_Log(const Etat_Log& etat)
{
    if (etat.lu) {
        Haut->Montrer_Total(etat.Total());
        Ligne_Score->setText(Series_Saison::Texte_Bilan(etat.bilan));
    }
    Mnu_Annuler->setText(etat.a_annuler.isEmpty() ? QStringLiteral("&Annuler la dernière modification")
                                                   : QStringLiteral("&Annuler : ") + etat.a_annuler);
    Mnu_Retablir->setText(etat.a_retablir.isEmpty() ? QStringLiteral("&Rétablir")
                                                     : QStringLiteral("&Rétablir : ") + etat.a_retablir);
    // A change of station reads the new log: the entry area checks dates against its year.
    Saisie->Definir_Station(sp.Indicatif_Station(), sp.Annee_Challenge());
    // The list keeps the bytes (shared, not copied) and makes each of its lines when it is
    // shown; the selection model resets without a signal, so no click handling runs until the
    // last line is selected. The entry area then starts afresh from the list's last line.
    if (etat.sorte != Sous_Programmes::Modification::Total)
        Liste->Remplacer(etat.contenu);
    Saisie->Suivre_Log(etat);
}

void Main::Ouvrir_Recuperation()
{
    auto* fenetre = new Gestion_Erreur(sp, this);
    fenetre->Gestion_Erreur_Form_Load();
    fenetre->exec();
    delete fenetre;
}

void Main::Construire_Controles()
{
    auto* centre = new QWidget(this);
    setCentralWidget(centre);
    Creer_Controles();
    Disposer_Fenetre(centre);
    Relier_Controles();
}

// Every control of the window, named, with its text and its state at design time.
void Main::Creer_Controles()
{
    NOMME(QPushButton, ListeKVRT, QStringLiteral("Liste KVRT"));
    NOMME(QPushButton, Recherche, QStringLiteral(" Rechercher un QSO"));
    Recherche->setToolTip(QStringLiteral("Permet de rechercherun QSO par son indicatif sa date ou son departement"));
    Haut = new Bandeau(sp);
    Liste = new Liste_Log;
    Saisie = new Zone_Saisie(sp.plateforme());

    NOMME(QLabel, Label14, Sous_Programmes::Ligne_Credit());
    NOMME(QFrame, Line1);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    // Under everything else, in the status bar: the window's controls keep their places.
    NOMME(QLabel, Ligne_Score);
    statusBar()->setObjectName(QStringLiteral("Barre_Etat"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(Ligne_Score, 1);
}

// The rows of the window from top to bottom: station, list, the entry area (its fields, its
// tick and its buttons, then the search and the reference list), credit.
void Main::Disposer_Fenetre(QWidget* centre)
{
    Saisie->Ligne_Boutons()->addWidget(Recherche);
    Saisie->Ligne_Boutons()->addWidget(ListeKVRT);

    auto* pied = new QHBoxLayout;
    pied->addStretch();
    pied->addWidget(Label14);

    auto* tout = new QVBoxLayout(centre);
    tout->addWidget(Haut);
    tout->addWidget(Liste, 1);
    tout->addWidget(Saisie);
    tout->addWidget(Line1);
    tout->addLayout(pied);
}

// Labels for screen readers, the keyboard order and the handlers of the controls.
void Main::Relier_Controles()
{
    connect(Recherche, &QPushButton::clicked, this, &Main::Main_Recherche_Click);
    connect(ListeKVRT, &QPushButton::clicked, this, &Main::Main_ListeKVRT_Click);

    // A line of the list shows its QSO in the entry area, a double click opens it there.
    connect(Liste, &Liste_Log::Ligne_Montree, Saisie, &Zone_Saisie::Afficher_Ligne);
    connect(Liste, &Liste_Log::Ligne_A_Editer, Saisie, &Zone_Saisie::Editer_Ligne);
    connect(Liste, &Liste_Log::Aucune_Ligne, Saisie, &Zone_Saisie::Oublier_Ligne);

    // Ctrl+Z and Ctrl+Y in the boxes: see eventFilter.
    for (QWidget* champ : Saisie->Champs())
        champ->installEventFilter(this);
    Haut->Boite_Total()->installEventFilter(this);
}

void Main::Construire_Menus()
{
    auto menu = [this](QMenu* parent, const char* nom, const QString& titre) {
        QMenu* m = parent ? parent->addMenu(titre) : menuBar()->addMenu(titre);
        m->setObjectName(QString::fromLatin1(nom));
        return m;
    };
    auto action = [this](QMenu* parent, const char* nom, const QString& titre, void (Main::*gestionnaire)()) {
        QAction* a = parent ? parent->addAction(titre) : menuBar()->addAction(titre);
        a->setObjectName(QString::fromLatin1(nom));
        connect(a, &QAction::triggered, this, gestionnaire);
        return a;
    };

    Mnu_Fichier = menu(nullptr, "Mnu_Fichier", QStringLiteral("&Fichier"));
    Mnu_Annuler = action(Mnu_Fichier, "Mnu_Annuler", QStringLiteral("&Annuler la dernière modification"), &Main::Main_Mnu_Annuler_Click);
    Mnu_Annuler->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Mnu_Retablir = action(Mnu_Fichier, "Mnu_Retablir", QStringLiteral("&Rétablir"), &Main::Main_Mnu_Retablir_Click);
    Mnu_Retablir->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Mnu_Historique_Modifications = Commande_Fenetre<Historique_Modifications>(Mnu_Fichier, "Mnu_Historique_Modifications",
                                                                              QStringLiteral("&Historique des modifications…"));
    Mnu_Fichier->addSeparator();
    Mnu_Importer_Adif = action(Mnu_Fichier, "Mnu_Importer_Adif", QStringLiteral("&Importer un fichier ADIF…"), &Main::Main_Mnu_Importer_Adif_Click);
    Mnu_Ouvrir_Dossier_Logs = action(Mnu_Fichier, "Mnu_Ouvrir_Dossier_Logs", QStringLiteral("Ouvrir le &dossier des logs"),
                                     &Main::Main_Mnu_Ouvrir_Dossier_Logs_Click);
    Mnu_Enregistrer_Copie = action(Mnu_Fichier, "Mnu_Enregistrer_Copie", QStringLiteral("Enregistrer une &copie du log…"),
                                   &Main::Main_Mnu_Enregistrer_Copie_Click);
    Mnu_Charger_Liste_Chateaux = action(Mnu_Fichier, "Mnu_Charger_Liste_Chateaux", QStringLiteral("Charger la &liste des châteaux…"),
                                        &Main::Main_Mnu_Charger_Liste_Chateaux_Click);
    Mnu_Mettre_A_Jour_Liste = action(Mnu_Fichier, "Mnu_Mettre_A_Jour_Liste", QStringLiteral("&Mettre à jour la liste des châteaux"),
                                     &Main::Main_Mnu_Mettre_A_Jour_Liste_Click);
    Mnu_Verifier_Envoi = action(Mnu_Fichier, "Mnu_Verifier_Envoi", QStringLiteral("&Vérifier le log et préparer l'envoi…"),
                                &Main::Main_Mnu_Verifier_Envoi_Click);
    connect(Mnu_Fichier, &QMenu::aboutToShow, this, &Main::Actualiser_Annulation);
    // Their keyboard shortcuts pass through eventFilter, their menu items do not.
    Mnu_Annuler->installEventFilter(this);
    Mnu_Retablir->installEventFilter(this);
    Mnu_Fichier->addSeparator();
    Mnu_Quitter = action(Mnu_Fichier, "Mnu_Quitter", QStringLiteral("&Quitter QEZ_Challenge_KVRT"), &Main::Main_Mnu_Quitter_Click);
    Mnu_Quitter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Mnu_Setup = menu(nullptr, "Mnu_Setup", QStringLiteral("&Date"));
    Mnu_Date = menu(Mnu_Setup, "Mnu_Date", QStringLiteral("Date &automatique"));
    Mnu_Date_Auto_Oui = action(Mnu_Date, "Mnu_Date_Auto_Oui", QStringLiteral("&Oui"), &Main::Main_Mnu_Date_Auto_Oui_Click);
    Mnu_Date_Auto_Non = action(Mnu_Date, "Mnu_Date_Auto_Non", QStringLiteral("&Non"), &Main::Main_Mnu_Date_Auto_Non_Click);
    Mnu_Date_Auto_Oui->setCheckable(true);
    Mnu_Date_Auto_Non->setCheckable(true);
    Mnu_Station = menu(nullptr, "Mnu_Station", QStringLiteral("&Station"));
    Mnu_New_Indicatif = action(Mnu_Station, "Mnu_New_Indicatif", QStringLiteral("&Nouvel Indicatif"), &Main::Main_Mnu_New_Indicatif_Click);
    Mnu_Imprimer = menu(nullptr, "Mnu_Imprimer", QStringLiteral("&Imprimer"));
    Mnu_Imp_Contacte = action(Mnu_Imprimer, "Mnu_Imp_Contacte", QStringLiteral("les &KVRT contactés"), &Main::Main_Mnu_Imp_Contacte_Click);
    Mnu_Enregistre = menu(nullptr, "Mnu_Enregistre", QStringLiteral("&Enregistrer"));
    Mnu_Enr_Contacte = action(Mnu_Enregistre, "Mnu_Enr_Contacte", QStringLiteral("les &KVRT contactés"), &Main::Main_Mnu_Enr_Contacte_Click);
    Mnu_Enr_Adif = action(Mnu_Enregistre, "Mnu_Enr_Adif", QStringLiteral("le log au format &ADIF"), &Main::Main_Mnu_Enr_Adif_Click);
    Mnu_Affichage = menu(nullptr, "Mnu_Affichage", QStringLiteral("Affic&her"));
    Mnu_C_Contacte = Commande_Fenetre<Aff_Contacte>(Mnu_Affichage, "Mnu_C_Contacte", QStringLiteral("les &KVRT contactes"));
    Mnu_Recap = Commande_Fenetre<Recapitulatif>(nullptr, "Mnu_Recap", QStringLiteral("&Récapitulatif"));
    Mnu_Progression = Commande_Fenetre<Progression>(nullptr, "Mnu_Progression", QStringLiteral("&Progression"));
    Mnu_Carte = menu(nullptr, "Mnu_Carte", QStringLiteral("&Carte"));
    Mnu_Dpt_Contactes = Commande_Fenetre<Carte_Acti>(Mnu_Carte, "Mnu_Dpt_Contactes", QStringLiteral("&Départements Contactés"));
    Mnu_Spots = menu(nullptr, "Mnu_Spots", QStringLiteral("Sp&ots"));
    Mnu_Chateaux_Spottes = action(Mnu_Spots, "Mnu_Chateaux_Spottes", QStringLiteral("&Châteaux spottés"), &Main::Main_Mnu_Chateaux_Spottes_Click);
    Mnu_Reglement = action(nullptr, "Mnu_Reglement", QStringLiteral("Reglemen&t"), &Main::Main_Mnu_Reglement_Click);
    Mnu_aide = menu(nullptr, "Mnu_aide", QStringLiteral("&Aide"));
    Mnu_Historique = action(Mnu_aide, "Mnu_Historique", QStringLiteral("&Historique"), &Main::Main_Mnu_Historique_Click);
    Mnu_Mode_Emploi = action(Mnu_aide, "Mnu_Mode_Emploi", QStringLiteral("&Mode d'emploi"), &Main::Main_Mnu_Mode_Emploi_Click);
    Mnu_Apropos = action(Mnu_aide, "Mnu_Apropos", QStringLiteral("A &propos"), &Main::Main_Mnu_Apropos_Click);
}

// Ctrl+Z and Ctrl+Y in an entry field: the field's own undo while it has typing to undo,
// the log's otherwise. A line edit claims both keys for itself whether or not it has
// anything to undo, so the claim is refused here when it has nothing.
bool Main::eventFilter(QObject* objet, QEvent* event)
{
    // But while a QSO is being typed the keys never reach the log, wherever the focus is:
    // the entry area is cleared after any change of the log, and the typing would go with
    // it. Fichier > Annuler and Rétablir, chosen in the menu, still change the log.
    if (event->type() == QEvent::Shortcut && (objet == Mnu_Annuler || objet == Mnu_Retablir) && Saisie->Saisie_Tapee())
        return true;
    if (event->type() == QEvent::ShortcutOverride) {
        auto* touche = static_cast<QKeyEvent*>(event);
        const QKeySequence vue(touche->keyCombination());
        const bool annuler = Mnu_Annuler->shortcuts().contains(vue);
        const bool retablir = Mnu_Retablir->shortcuts().contains(vue);
        if (annuler || retablir) {
            QLineEdit* champ = Filtre_Touches::Champ_Texte(objet);
            const bool pourLeChamp = champ && !champ->isReadOnly()
                && (annuler ? champ->isUndoAvailable() : champ->isRedoAvailable());
            if (!pourLeChamp) {
                touche->ignore();
                return true; // the menu's shortcut takes the key
            }
        }
    }
    return QMainWindow::eventFilter(objet, event);
}

void Main::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program, as Quitter does.
    event->accept();
    sp.Terminer_Programme();
}

// ---------------------------------------------------------------------------------------
// Start-up

void Main::Main_Form_Load()
{
    resize(sizeHint().expandedTo(QSize(760, 640)));
    Centrer(this);

    QString indicatif = sp.reglages().Indicatif_Station();
    // The store is read as untrusted: a callsign the Station window would refuse never
    // builds a path, and the program starts as on a first installation.
    if (!Station::Indicatif_Valide(indicatif))
        indicatif = QStringLiteral("FXXXX");

    QString annee = sp.reglages().Annee_Challenge(indicatif);
    if (!Station::Annee_Valide(annee)) {
        // Nor does such a year stay in the module variable that names the log.
        indicatif = QStringLiteral("FXXXX");
        annee = QStringLiteral("XXXX");
    }
    sp.Choisir_Station(indicatif, annee);
    Haut->Montrer_Station(FichierLog::Indicatif_Affiche(indicatif), annee);
    Saisie->Definir_Station(indicatif, annee);

    Saisie->Preparer_Type(sp.reglages().Type_Activite(indicatif));

    // The folder of the logs is chosen once, before anything names a log.
    const QString dossierNonPret = sp.Choisir_Repertoire();
    if (!dossierNonPret.isEmpty())
        sp.plateforme().Message(dossierNonPret, this);
    sp.Definir_Dossier_Precedent(sp.reglages().Chemin_Repertoire());
    // A log left in another folder the program knows (the per-user install before the
    // package, say) is found again, never replaced by an empty season.
    if (sp.Indicatif_Station() != QLatin1String("FXXXX") && !FichierLog::Existe(sp.Nom_Log())) {
        QString dossier = sp.Repertoire();
        const auto trouve = Logs_Retrouves::Retrouver_Log(sp, sp.Indicatif_Station(), sp.Annee_Challenge(), dossier,
                                                          QStringLiteral("&Quitter"), this);
        if (trouve == Logs_Retrouves::Log_Retrouve::Renonce) {
            sp.Terminer_Programme();
            return;
        }
        sp.Utiliser_Repertoire(dossier);
    }
    sp.reglages().Definir_Chemin_Repertoire(sp.Repertoire());

    auto choisirStation = [this] {
        auto* station = new Station(sp, this);
        connect(station, &Station::Station_Affichee, Haut, &Bandeau::Montrer_Station);
        Fenetre_Station = station;
        station->setModal(true);
        station->Station_Form_Load();
        station->exec();
    };
    if (sp.Indicatif_Station() == QLatin1String("FXXXX")) {
        sp.plateforme().Message(QStringLiteral("Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge"), this);
        choisirStation();
        if (sp.Programme_Termine())
            return;
    } else {
        // One program per log: a log another window of the program has open is never written
        // from here. The user chooses another station or year, or the program ends. A folder
        // that cannot take the lock file shows the log, and every change says why it is refused;
        // so does a log whose lock another machine holds, unless the operator takes it over.
        Verrou_Log verrou;
        if (verrou.Prendre(sp.Nom_Log()) || (verrou.Ailleurs() && sp.Ouvrir_Malgre_Verrou(verrou, sp.Nom_Log(), this))) {
            sp.Garder_Verrou(std::move(verrou));
        } else if (verrou.Occupe()) {
            sp.plateforme().Message(verrou.Refus(), this);
            choisirStation();
            if (sp.Programme_Termine())
                return;
            if (!sp.Verrou_Tenu(sp.Nom_Log())) {
                sp.Terminer_Programme();
                return;
            }
        }
    }

    // The window goes on the screen with its date mode.
    const bool automatique = sp.reglages().Date_Automatique(sp.Indicatif_Station());
    Mnu_Date_Auto_Oui->setChecked(automatique);
    Mnu_Date_Auto_Non->setChecked(!automatique);
    Saisie->Preparer_Date(automatique);

    show();
    // The clock runs from here on, whatever stops the rest of the start-up.
    Haut->Demarrer_Horloge();

    if (sp.Indicatif_Station() != QLatin1String("FXXXX")) {
        // The journal first: a line that a power cut tore is taken back before anything counts it.
        const Sous_Programmes::Controle_Journal controle = sp.Verifier_Journal();
        for (const QString& texte : controle.messages)
            sp.plateforme().Message(texte, this);
        if (!controle.question.isEmpty() && sp.plateforme().Question(controle.question, this))
            Dire(sp.Remettre_Qso_Disparus(controle));
        if (!sp.Rafraichir_Liste_Log())
            return; // the recovery window, or an ending error, has taken over
    }

    setWindowTitle(QStringLiteral("  QEZ_Challenge    Revision ") + Sous_Programmes::Numero_Version());
    sp.reglages().Definir_Revision(sp.Indicatif_Station(), Sous_Programmes::Numero_Version());

    Saisie->Commencer();
    // With alerts on, the castles spotted are watched from the start.
    Veille->Demarrer();
}

void Main::Main_Mnu_Date_Auto_Oui_Click()
{
    Mnu_Date_Auto_Oui->setChecked(true);
    Mnu_Date_Auto_Non->setChecked(false);
    Saisie->Choisir_Date_Automatique(true);
    sp.reglages().Definir_Date_Automatique(sp.Indicatif_Station(), true);
}

void Main::Main_Mnu_Date_Auto_Non_Click()
{
    Mnu_Date_Auto_Oui->setChecked(false);
    Mnu_Date_Auto_Non->setChecked(true);
    Saisie->Choisir_Date_Automatique(false);
    sp.reglages().Definir_Date_Automatique(sp.Indicatif_Station(), false);
}

void Main::Main_Mnu_Quitter_Click()
{
    sp.Terminer_Programme();
}

void Main::Main_Mnu_Apropos_Click()
{
    sp.plateforme().Message(QStringLiteral("QEZ_Challenge  Revision ") + Sous_Programmes::Numero_Version() + QStringLiteral("\r\n\r\n")
                              + Sous_Programmes::Ligne_Credit(),
                          this);
}

void Main::Main_Mnu_Historique_Click()
{
    sp.plateforme().Message(Sous_Programmes::Texte_Historique_Complet(), this);
}

void Main::Main_Mnu_Mode_Emploi_Click()
{
    // The manual is the program's own, beside it, wherever the logs are.
    const QString fichier = sp.plateforme().Repertoire_Programme() + QStringLiteral("/QEZ_Challenge.hlp");
    if (!QFileInfo::exists(fichier)) {
        sp.plateforme().Message(QStringLiteral("Le fichier d'aide est introuvable :\r\n") + QDir::toNativeSeparators(fichier), this);
        return;
    }
    if (Amener_Devant(Fenetre_Aide))
        return;
    auto* aide = new Aide(fichier);
    Fenetre_Aide = aide;
    // Centred once shown, when the size of the window's frame is known.
    aide->show();
    Centrer(aide);
}

// ---------------------------------------------------------------------------------------
// Commands that open another window

bool Main::Amener_Devant(QWidget* fenetre)
{
    if (!fenetre)
        return false;
    fenetre->show();
    fenetre->setWindowState(fenetre->windowState() & ~Qt::WindowMinimized);
    fenetre->raise();
    fenetre->activateWindow();
    return true;
}

void Main::Main_Mnu_New_Indicatif_Click()
{
    auto nouvelle = [this] {
        auto* station = new Station(sp, this);
        connect(station, &Station::Station_Affichee, Haut, &Bandeau::Montrer_Station);
        return station;
    };
    Ouvrir_Une_Fois(Fenetre_Station, nouvelle, [](Station* station) {
        station->setModal(false);
        station->Station_Form_Load();
        station->show();
    });
}

void Main::Main_Recherche_Click()
{
    Ouvrir_Une_Fois(
        Fenetre_Recherche,
        [this] {
            auto* fenetre = new Recherche_Indicatif(sp, Liste->Modele(), this);
            connect(fenetre, &Recherche_Indicatif::Ligne_Choisie, Liste, &Liste_Log::Selectionner_Ligne);
            return fenetre;
        },
        [](Recherche_Indicatif* fenetre) { fenetre->Recherche_Indicatif_Form_Load(); });
}

void Main::Main_Mnu_Reglement_Click()
{
    if (Amener_Devant(Fenetre_Reglement))
        return;
    Fenetre_Reglement = Fenetres_Web::Ouvrir_Reglement(sp, this);
}

void Main::Main_ListeKVRT_Click()
{
    if (Amener_Devant(Fenetre_Liste_KVRT1))
        return;
    Fenetre_Liste_KVRT1 = Fenetres_Web::Ouvrir_Liste_KVRT1(sp, Saisie->Ligne_Selectionnee(), this);
}

void Main::Main_Mnu_Imp_Contacte_Click()
{
    Rapports_Contactes::Imprime_Contactes(sp);
}

void Main::Main_Mnu_Enr_Contacte_Click()
{
    Rapports_Contactes::Enregistre_Contactes(sp);
}

void Main::Main_Mnu_Importer_Adif_Click()
{
    Ouvrir_Une_Fois(Fenetre_Import_Adif, [this] { return new Import_Adif(sp, this); }, [](Import_Adif* fenetre) {
        fenetre->Import_Adif_Form_Load();
        fenetre->Import_Adif_Choisir_Click();
    });
}

void Main::Main_Mnu_Enr_Adif_Click()
{
    Fichiers_Log::Enregistre_Adif(sp, this);
}

void Main::Main_Mnu_Ouvrir_Dossier_Logs_Click()
{
    Fichiers_Log::Ouvre_Dossier_Logs(sp, this);
}

void Main::Main_Mnu_Enregistrer_Copie_Click()
{
    Fichiers_Log::Enregistre_Copie_Log(sp, this);
}

void Main::Main_Mnu_Charger_Liste_Chateaux_Click()
{
    Veille->Choisir_Liste(this);
}

void Main::Main_Mnu_Mettre_A_Jour_Liste_Click()
{
    Veille->Liste_En_Ligne().Mettre_A_Jour();
}

void Main::Main_Mnu_Chateaux_Spottes_Click()
{
    Ouvrir_Une_Fois(
        Fenetre_Spots,
        [this] {
            auto* fenetre = new Chateaux_Spottes(*Veille, sp, this);
            fenetre->setWindowFlag(Qt::Window);
            fenetre->setAttribute(Qt::WA_DeleteOnClose);
            // A row chosen: its QSO in the entry area, the keys back in this window.
            connect(fenetre, &Chateaux_Spottes::Spot_Choisi, this, [this](const QString& indicatif, const QString& reference) {
                if (Saisie->Proposer(indicatif, reference)) {
                    activateWindow();
                    raise();
                }
            });
            return fenetre;
        },
        [](Chateaux_Spottes* fenetre) { fenetre->Chateaux_Spottes_Form_Load(); });
}

void Main::Main_Mnu_Verifier_Envoi_Click()
{
    Ouvrir_Une_Fois(
        Fenetre_Verification,
        [this] {
            // The castle list the spots watch holds, once one is loaded.
            auto* fenetre = new Verification_Envoi(sp, this, [this]() -> const Liste_Chateaux* {
                return Veille->Liste().Vide() ? nullptr : &Veille->Liste();
            });
            connect(Veille, &Veille_Spots::Liste_Changee, fenetre, &Verification_Envoi::Verifier_A_Nouveau);
            // A finding chosen: its line selected here, a double click away from being edited.
            connect(fenetre, &Verification_Envoi::Ligne_Choisie, this, [this](int ligne) {
                Liste->Selectionner_Ligne(ligne);
                activateWindow();
                raise();
            });
            return fenetre;
        },
        [](Verification_Envoi* fenetre) { fenetre->Charger(); });
}

// ---------------------------------------------------------------------------------------
// Undo, redo and the history of changes

void Main::Actualiser_Annulation()
{
    const QString annuler = sp.Operation_A_Annuler();
    const QString retablir = sp.Operation_A_Retablir();
    Mnu_Annuler->setText(annuler.isEmpty() ? QStringLiteral("&Annuler la dernière modification")
                                           : QStringLiteral("&Annuler : ") + annuler);
    Mnu_Retablir->setText(retablir.isEmpty() ? QStringLiteral("&Rétablir") : QStringLiteral("&Rétablir : ") + retablir);
}

void Main::Main_Mnu_Annuler_Click()
{
    if (sp.Indicatif_Station() == QLatin1String("FXXXX"))
        return;
    // Named before it goes: once undone, the change is the one to redo.
    const QString operation = sp.Operation_A_Annuler();
    if (Dire(sp.Annuler_Modification()))
        Dire_Dans_Barre_Etat(QStringLiteral("Annulé : ") + operation);
    Actualiser_Annulation();
}

void Main::Main_Mnu_Retablir_Click()
{
    if (sp.Indicatif_Station() == QLatin1String("FXXXX"))
        return;
    const QString operation = sp.Operation_A_Retablir();
    if (Dire(sp.Retablir_Modification()))
        Dire_Dans_Barre_Etat(QStringLiteral("Rétabli : ") + operation);
    Actualiser_Annulation();
}

bool Main::Dire(const Resultat_Changement& resultat)
{
    return sp.plateforme().Dire(resultat, this);
}

void Main::Dire_Dans_Barre_Etat(const QString& texte)
{
    if (!isVisible()) {
        m_statutEnAttente = texte;
        return;
    }
    // Long enough to be read after a key pressed by mistake; the score line comes back after.
    statusBar()->showMessage(texte, 6000);
}

void Main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_statutEnAttente.isEmpty())
        Dire_Dans_Barre_Etat(std::exchange(m_statutEnAttente, QString()));
}
