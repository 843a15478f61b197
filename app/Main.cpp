#include "Main.h"
#include "Modele_Liste_Log.h"

#include "Aff_Contacte.h"
#include "Aide.h"
#include "Chateaux_Spottes.h"
#include "Apparence.h"
#include "Carte_Acti.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Gestion_Erreur.h"
#include "Filtre_Touches.h"
#include "Import_Adif.h"
#include "Fenetres_Web.h"
#include "Historique_Modifications.h"
#include "Plateforme.h"
#include "Progression.h"
#include "Rapports_Contactes.h"
#include "Recapitulatif.h"
#include "Recherche_Indicatif.h"
#include "Reglages.h"
#include "Sous_Programmes.h"
#include "Station.h"
#include "Veille_Spots.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace Apparence;

template <typename T>
static T* Nomme(T* controle, const char* nom)
{
    controle->setObjectName(QString::fromLatin1(nom));
    return controle;
}
#define NOMME(type, nom, ...) nom = Nomme(new type(__VA_ARGS__), #nom)

Main::Main(Sous_Programmes& sp_, QWidget* parent) : QMainWindow(parent), sp(sp_)
{
    setObjectName(QStringLiteral("Main"));
    sp.Fenetre_Principale = this;
    Construire_Controles();
    Construire_Menus();
    Relier_Module();
    Veille = new Veille_Spots(sp, this);
    connect(Veille, &Veille_Spots::Alerte, this, &Main::Dire_Dans_Barre_Etat);
}

Main::~Main()
{
    if (sp.Fenetre_Principale == this) {
        sp.Fenetre_Principale = nullptr;
        sp.Total_Affiche.clear();
        sp.Ouvrir_Recuperation = nullptr;
    }
}

void Main::Relier_Module()
{
    connect(&sp, &Sous_Programmes::Liste_A_Vider, this, [this] { Modele_Liste->Remplacer(QByteArray()); });
    connect(&sp, &Sous_Programmes::Liste_Relue, this, [this](const QByteArray& contenu) { Remplir_Liste(contenu); });
    connect(&sp, &Sous_Programmes::Annulation_Changee, this, &Main::Actualiser_Annulation);
    connect(&sp, &Sous_Programmes::Total_Change, this, &Main::Afficher_Total);
    connect(&sp, &Sous_Programmes::Log_Modifie, this, &Main::Saisie_Apres_Modification);
    connect(&sp, &Sous_Programmes::Station_Affichee, this, [this](const QString& indicatif, const QString& annee) {
        I_Station->setText(indicatif);
        A_Challenge->setText(annee);
    });
    // The log cannot be found: the recovery window, modal, over this one.
    sp.Ouvrir_Recuperation = [this](QWidget* parent) {
        auto* fenetre = new Gestion_Erreur(sp, parent);
        fenetre->Err_Departement->setText(QStringLiteral("_Challenge_KVRT_") + sp.Annee_Challenge + QStringLiteral(".txt"));
        fenetre->Gestion_Erreur_Form_Load();
        fenetre->exec();
        delete fenetre;
    };
}

void Main::Construire_Controles()
{
    auto* centre = new QWidget(this);
    setCentralWidget(centre);
    Creer_Controles();
    QHBoxLayout* haut = Disposer_Station_Horloge();
    Disposer_Entetes_Liste();
    Disposer_Saisie();
    Disposer_Fenetre(centre, haut);
    Relier_Controles();
    Placer_Entetes();
}

// Every control of the window, named, with its text and its state at design time.
void Main::Creer_Controles()
{
    NOMME(QPushButton, ListeKVRT, QStringLiteral("Liste KVRT"));
    NOMME(QPushButton, Ajout_Saisie, QStringLiteral("Inserer  un QSO"));
    NOMME(QPushButton, Recherche, QStringLiteral(" Rechercher un QSO"));
    Recherche->setToolTip(QStringLiteral("Permet de rechercherun QSO par son indicatif sa date ou son departement"));
    NOMME(QCheckBox, Validation_A, QStringLiteral(" Attente validation"));
    NOMME(QLineEdit, Total_Points);
    Total_Points->setReadOnly(true);
    Total_Points->setAlignment(Qt::AlignCenter);
    Total_Points->setMaximumWidth(90);
    Colorer(Total_Points, Jaune_Pale);
    NOMME(QComboBox, Type_A);
    Type_A->setEditable(true);
    Type_A->setInsertPolicy(QComboBox::NoInsert);
    Type_A->setToolTip(QStringLiteral("\"A\" : Activation  \"R\": Réactivation"));
    Type_A->setMinimumContentsLength(22);
    // What the operator types stands as typed: no inline completion, and no item taken in
    // its place when the focus leaves (the type is free text, scored 0 when unknown).
    Type_A->setCompleter(nullptr);
    Colorer(Type_A, Jaune_Pale);
    if (Type_A->lineEdit())
        Colorer(Type_A->lineEdit(), Jaune_Pale);
    NOMME(QLineEdit, KVRT_A);
    Colorer(KVRT_A, Jaune_Pale);
    NOMME(QPushButton, Annule_Saisie, QStringLiteral("Supprimer un QSO"));
    Annule_Saisie->setToolTip(QStringLiteral("Permet d'annuler la saisie d'un KVRT"));
    NOMME(QPushButton, Efface_A, QStringLiteral("Annuler saisie    en cours"));
    Efface_A->setToolTip(QStringLiteral("Efface les donnés en cours"));

    NOMME(QListView, Liste_KVRT);
    Modele_Liste = new Modele_Liste_Log(this);
    Liste_KVRT->setModel(Modele_Liste);
    Liste_KVRT->setUniformItemSizes(true);
    Liste_KVRT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Liste_KVRT->setSelectionMode(QAbstractItemView::SingleSelection);
    Liste_KVRT->setFont(Police_Liste());
    Liste_KVRT->setToolTip(QStringLiteral("Un click sur un QSO pour l'afficher ou l'effacer, un double clck pour l'éditer"));
    Colorer(Liste_KVRT, Jaune_Pale);
    Liste_KVRT->setMinimumHeight(220);
    Liste_KVRT->setMinimumWidth(QFontMetrics(Liste_KVRT->font()).horizontalAdvance(QString(63, u'0')) + 30);

    NOMME(QLineEdit, Ind_A);
    Colorer(Ind_A, Jaune_Pale);

    NOMME(QGroupBox, Frame2);
    NOMME(QLabel, Label37);
    NOMME(QLabel, Label34);
    NOMME(QGroupBox, Frame7);
    NOMME(QLabel, Label33);
    NOMME(QGroupBox, Frame1);
    NOMME(QLabel, A_Challenge, QStringLiteral("2006"));
    NOMME(QLabel, Label2, QStringLiteral("CHALLENGE KVRT"));
    NOMME(QLabel, I_Station, QStringLiteral("FXXXX"));
    NOMME(QTimer, Timer1, this);
    Timer1->setInterval(1000);
    NOMME(QPushButton, Valide_A, QStringLiteral(" Valider saisie    en cours"));
    Valide_A->setToolTip(QStringLiteral("Enregistre les données en cours"));

    const QString consigne = QStringLiteral("Un click sur un QSO pour l'afficher ou l'effacer, un double clck pour l'éditer");
    NOMME(QGroupBox, L_KVRT, consigne);
    NOMME(QLabel, Label7, QStringLiteral("( * ) Points = 0 en attente de validation du Chateau"));
    Label7->setFont(QFont(QStringLiteral("Arial")));
    NOMME(QLabel, Label6, QStringLiteral("N°"));
    NOMME(QLabel, Label4, QStringLiteral("Type Activité"));
    NOMME(QLabel, Label5, QStringLiteral("KVRT"));
    NOMME(QLabel, Label25, QStringLiteral("Indicatif"));
    NOMME(QLabel, Label23, QStringLiteral("Date"));

    NOMME(QGroupBox, Frame3, QStringLiteral("Saisie ou modification d'un QSO"));
    NOMME(QLineEdit, Date_A);
    Colorer(Date_A, Jaune_Pale);
    NOMME(QLabel, Label3, QStringLiteral("Type Activité"));
    NOMME(QLabel, Label1, QStringLiteral("N° KVRT"));
    NOMME(QLabel, Label8, QStringLiteral("Indicatif"));
    NOMME(QLabel, Label_Date);
    NOMME(QLabel, Label11, QStringLiteral("Total Points"));
    NOMME(QLabel, Label14, Sous_Programmes::Ligne_Credit());
    NOMME(QFrame, Line1);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    // Under everything else, in the status bar: the window's controls keep their places.
    NOMME(QLabel, Ligne_Score);
    statusBar()->setObjectName(QStringLiteral("Barre_Etat"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(Ligne_Score, 1);

    // Design-time states of the entry controls.
    Ind_A->setEnabled(false);
    Type_A->setEnabled(false);
    KVRT_A->setEnabled(false);
    Validation_A->setEnabled(false);
    Valide_A->setEnabled(false);
    Annule_Saisie->setEnabled(false);
}

// Station, clock and total, across the top; returns their row.
QHBoxLayout* Main::Disposer_Station_Horloge()
{
    QFont titre = font();
    titre.setBold(true);
    titre.setPointSize(titre.pointSize() + 3);
    Label2->setFont(titre);
    I_Station->setFont(titre);
    A_Challenge->setFont(titre);
    auto* station = new QHBoxLayout(Frame1);
    station->addWidget(Label2);
    station->addSpacing(12);
    station->addWidget(I_Station);
    station->addSpacing(12);
    station->addWidget(A_Challenge);
    station->addStretch();

    QFont horloge = font();
    horloge.setBold(true);
    for (QLabel* l : {Label37, Label34, Label33}) {
        l->setFont(horloge);
        l->setMinimumWidth(QFontMetrics(horloge).horizontalAdvance(QStringLiteral("00:00 Utc")) + 8);
        l->setAlignment(Qt::AlignCenter);
    }
    auto* heures = new QVBoxLayout(Frame2);
    heures->addWidget(Label37);
    heures->addWidget(Label34);
    auto* jour = new QVBoxLayout(Frame7);
    jour->addWidget(Label33);

    auto* total = new QVBoxLayout;
    total->addWidget(Label11, 0, Qt::AlignHCenter);
    total->addWidget(Total_Points, 0, Qt::AlignHCenter);

    auto* haut = new QHBoxLayout;
    haut->addWidget(Frame1, 1);
    haut->addWidget(Frame2);
    haut->addWidget(Frame7);
    haut->addLayout(total);
    return haut;
}

void Main::Disposer_Entetes_Liste()
{
    // Column headings over the list, placed by character in Placer_Entetes().
    auto* entetes = new QVBoxLayout(L_KVRT);
    auto* ligneEntetes = new QWidget(L_KVRT);
    ligneEntetes->setObjectName(QStringLiteral("Entetes"));
    for (QLabel* l : {Label6, Label23, Label5, Label4, Label25})
        l->setParent(ligneEntetes);
    ligneEntetes->setMinimumHeight(QFontMetrics(font()).height() + 4);
    entetes->addWidget(Label7);
    entetes->addWidget(ligneEntetes);
}

void Main::Disposer_Saisie()
{
    // Entry area.
    auto* saisie = new QGridLayout(Frame3);
    saisie->addWidget(Label_Date, 0, 0);
    saisie->addWidget(Label8, 0, 1);
    saisie->addWidget(Label3, 0, 2);
    saisie->addWidget(Label1, 0, 3);
    saisie->addWidget(Date_A, 1, 0);
    saisie->addWidget(Ind_A, 1, 1);
    saisie->addWidget(Type_A, 1, 2);
    saisie->addWidget(KVRT_A, 1, 3);
    saisie->setColumnStretch(2, 1);
    const QFontMetrics mesure(font());
    Date_A->setMinimumWidth(mesure.horizontalAdvance(QStringLiteral("00/00/00")) + 24);
    Ind_A->setMinimumWidth(mesure.horizontalAdvance(QStringLiteral("WWWWWWWWWWWW")));
    KVRT_A->setMinimumWidth(mesure.horizontalAdvance(QStringLiteral("WWWWW")) + 16);
}

// The rows of the window from top to bottom: station, list, entry, buttons, credit.
void Main::Disposer_Fenetre(QWidget* centre, QHBoxLayout* haut)
{
    auto* validation = new QHBoxLayout;
    validation->addWidget(Validation_A);
    validation->addStretch();
    validation->addWidget(Valide_A);
    validation->addWidget(Efface_A);

    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Ajout_Saisie);
    boutons->addWidget(Annule_Saisie);
    boutons->addStretch();
    boutons->addWidget(Recherche);
    boutons->addWidget(ListeKVRT);

    auto* pied = new QHBoxLayout;
    pied->addStretch();
    pied->addWidget(Label14);

    auto* tout = new QVBoxLayout(centre);
    tout->addLayout(haut);
    tout->addWidget(L_KVRT);
    tout->addWidget(Liste_KVRT, 1);
    tout->addWidget(Frame3);
    tout->addLayout(validation);
    tout->addLayout(boutons);
    tout->addWidget(Line1);
    tout->addLayout(pied);
}

// Labels for screen readers, the keyboard order and the handlers of the controls.
void Main::Relier_Controles()
{
    // Each control announces its label's text to a screen reader.
    Etiqueter(Label8, Ind_A);
    Etiqueter(Label3, Type_A);
    Etiqueter(Label1, KVRT_A);
    Etiqueter(Label11, Total_Points);
    Label_Date->setBuddy(Date_A);
    Date_A->setAccessibleName(QStringLiteral("Date")); // then the date mode's caption
    Liste_KVRT->setAccessibleName(QStringLiteral("QSO du log"));

    // The keyboard order follows the Enter chain.
    setTabOrder(Date_A, Ind_A);
    setTabOrder(Ind_A, Type_A);
    setTabOrder(Type_A, KVRT_A);
    setTabOrder(KVRT_A, Validation_A);
    setTabOrder(Validation_A, Valide_A);
    setTabOrder(Valide_A, Efface_A);

    // Handlers, wired by name.
    Filtre_Touches::Installer(Date_A, [this](int& k) { Main_Date_A_KeyPress(k); });
    Filtre_Touches::Installer(Ind_A, [this](int& k) { Main_Ind_A_KeyPress(k); });
    Filtre_Touches::Installer(Type_A, [this](int& k) { Main_Type_A_KeyPress(k); });
    Filtre_Touches::Installer(KVRT_A, [this](int& k) { Main_KVRT_A_KeyPress(k); });
    Filtre_Touches::Installer(Validation_A, [this](int& k) { Main_Validation_A_KeyPress(k); });
    connect(Valide_A, &QPushButton::clicked, this, &Main::Main_Valide_A_Click);
    connect(Efface_A, &QPushButton::clicked, this, &Main::Main_Efface_A_Click);
    connect(Ajout_Saisie, &QPushButton::clicked, this, &Main::Main_Ajout_Saisie_Click);
    connect(Annule_Saisie, &QPushButton::clicked, this, &Main::Main_Annule_Saisie_Click);
    connect(Recherche, &QPushButton::clicked, this, &Main::Main_Recherche_Click);
    connect(ListeKVRT, &QPushButton::clicked, this, &Main::Main_ListeKVRT_Click);
    connect(Timer1, &QTimer::timeout, this, &Main::Main_Timer1_Timer);

    // The list's click handling runs on every change of the selected line, by the user or
    // by the program, and on a click on the line already selected.
    connect(Liste_KVRT->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& courant) {
                if (!m_selectionParProgramme && courant.isValid())
                    Main_Liste_KVRT_Click();
            });
    Liste_KVRT->viewport()->installEventFilter(this);
    connect(Liste_KVRT, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == m_ligneAvantClic)
            Main_Liste_KVRT_Click();
    });
    connect(Liste_KVRT, &QListView::doubleClicked, this, [this](const QModelIndex&) { Main_Liste_KVRT_DblClick(); });

    for (QWidget* champ : {static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Type_A),
                           static_cast<QWidget*>(KVRT_A), static_cast<QWidget*>(Total_Points)})
        champ->installEventFilter(this);
    if (Type_A->lineEdit()) {
        Type_A->lineEdit()->installEventFilter(this);
        // A type picked in the list (arrows, wheel or mouse) is the operator's, as if typed;
        // the combo box puts it in its line edit by setText, which would say otherwise.
        connect(Type_A, &QComboBox::activated, this, [this] { Type_A->lineEdit()->setModified(true); });
    }
}

void Main::Placer_Entetes()
{
    // The headings stand over the columns of the fixed-pitch list: number, date, reference,
    // type and callsign begin at characters 1, 9, 19, 26 and 50 of a list line.
    const QFontMetrics mesure(Liste_KVRT->font());
    const int largeur = mesure.horizontalAdvance(QLatin1Char('0'));
    const int marge = Liste_KVRT->frameWidth() + 4;
    const struct { QLabel* label; int colonne; } places[] = {
        {Label6, 2}, {Label23, 8}, {Label5, 18}, {Label4, 25}, {Label25, 49}};
    for (const auto& p : places) {
        p.label->adjustSize();
        p.label->move(marge + p.colonne * largeur, 0);
    }
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
    Mnu_Historique_Modifications = action(Mnu_Fichier, "Mnu_Historique_Modifications", QStringLiteral("&Historique des modifications…"),
                                          &Main::Main_Mnu_Historique_Modifications_Click);
    Mnu_Fichier->addSeparator();
    Mnu_Importer_Adif = action(Mnu_Fichier, "Mnu_Importer_Adif", QStringLiteral("&Importer un fichier ADIF…"), &Main::Main_Mnu_Importer_Adif_Click);
    Mnu_Ouvrir_Dossier_Logs = action(Mnu_Fichier, "Mnu_Ouvrir_Dossier_Logs", QStringLiteral("Ouvrir le &dossier des logs"),
                                     &Main::Main_Mnu_Ouvrir_Dossier_Logs_Click);
    Mnu_Enregistrer_Copie = action(Mnu_Fichier, "Mnu_Enregistrer_Copie", QStringLiteral("Enregistrer une &copie du log…"),
                                   &Main::Main_Mnu_Enregistrer_Copie_Click);
    Mnu_Charger_Liste_Chateaux = action(Mnu_Fichier, "Mnu_Charger_Liste_Chateaux", QStringLiteral("Charger la &liste des châteaux…"),
                                        &Main::Main_Mnu_Charger_Liste_Chateaux_Click);
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
    Mnu_C_Contacte = action(Mnu_Affichage, "Mnu_C_Contacte", QStringLiteral("les &KVRT contactes"), &Main::Main_Mnu_C_Contacte_Click);
    Mnu_Recap = action(nullptr, "Mnu_Recap", QStringLiteral("&Récapitulatif"), &Main::Main_Mnu_Recap_Click);
    Mnu_Progression = action(nullptr, "Mnu_Progression", QStringLiteral("&Progression"), &Main::Main_Mnu_Progression_Click);
    Mnu_Carte = menu(nullptr, "Mnu_Carte", QStringLiteral("&Carte"));
    Mnu_Dpt_Contactes = action(Mnu_Carte, "Mnu_Dpt_Contactes", QStringLiteral("&Départements Contactés"), &Main::Main_Mnu_Dpt_Contactes_Click);
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
    if (objet == Liste_KVRT->viewport() && event->type() == QEvent::MouseButtonPress)
        m_ligneAvantClic = Liste_KVRT->currentIndex().row();
    // But while a QSO is being typed the keys never reach the log, wherever the focus is:
    // the entry area is cleared after any change of the log, and the typing would go with
    // it. Fichier > Annuler and Rétablir, chosen in the menu, still change the log.
    if (event->type() == QEvent::Shortcut && (objet == Mnu_Annuler || objet == Mnu_Retablir) && Saisie_Tapee())
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

    Type_A->clear();
    Type_A->addItems(Enregistrement::Types_Activite());

    const QString commune = Reglages::Section_Commune();
    QString indicatif = sp.reglages.Lire(commune, QStringLiteral("Indicatif Station"), QStringLiteral("FXXXX"));
    // The store is read as untrusted: a callsign the Station window would refuse never
    // builds a path, and the program starts as on a first installation.
    if (!Station::Indicatif_Valide(indicatif))
        indicatif = QStringLiteral("FXXXX");
    sp.Indicatif_Station = indicatif;
    I_Station->setText(FichierLog::Indicatif_Affiche(indicatif));

    QString annee = sp.reglages.Lire(Reglages::Section_Station(indicatif), QStringLiteral("Annee Challenge"), QStringLiteral("XXXX"));
    if (!Station::Annee_Valide(annee)) {
        // Nor does such a year stay in the module variable that names the log.
        sp.Indicatif_Station = indicatif = QStringLiteral("FXXXX");
        I_Station->setText(indicatif);
        annee = QStringLiteral("XXXX");
    }
    sp.Annee_Challenge = annee;
    A_Challenge->setText(annee);

    bool nombre = false;
    const int index = sp.reglages.Lire(Reglages::Section_Station(indicatif), QStringLiteral("Type Activite"), QStringLiteral("0"))
                          .trimmed().toInt(&nombre);
    Type_A->setCurrentIndex(nombre && index >= -1 && index <= 8 ? index : 0);

    // The folder of the logs is chosen once, before anything names a log.
    sp.Choisir_Repertoire();
    sp.Dossier_Precedent = sp.reglages.Lire(commune, QStringLiteral("Chemin Repertoire"), QString());
    // A log left in another folder the program knows (the per-user install before the
    // package, say) is found again, never replaced by an empty season.
    if (sp.Indicatif_Station != QLatin1String("FXXXX") && !FichierLog::Existe(sp.Nom_Log())) {
        QString dossier = sp.Repertoire();
        const auto trouve = sp.Retrouver_Log(sp.Indicatif_Station, sp.Annee_Challenge, dossier, QStringLiteral("&Quitter"), this);
        if (trouve == Sous_Programmes::Log_Retrouve::Renonce) {
            sp.Terminer_Programme();
            return;
        }
        sp.Utiliser_Repertoire(dossier);
    }
    sp.reglages.Ecrire(commune, QStringLiteral("Chemin Repertoire"), sp.Repertoire());

    auto choisirStation = [this] {
        auto* station = new Station(sp, this);
        Fenetre_Station = station;
        station->setModal(true);
        station->Station_Form_Load();
        station->exec();
    };
    if (sp.Indicatif_Station == QLatin1String("FXXXX")) {
        sp.plateforme.Message(QStringLiteral("Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge"), this);
        choisirStation();
        if (sp.Programme_Termine)
            return;
    } else {
        // One program per log: a log another window of the program has open is never written
        // from here. The user chooses another station or year, or the program ends. A folder
        // that cannot take the lock file shows the log, and every change says why it is refused.
        Verrou_Log verrou;
        if (verrou.Prendre(sp.Nom_Log())) {
            sp.Verrou = std::move(verrou);
        } else if (verrou.Occupe()) {
            sp.plateforme.Message(verrou.Refus(), this);
            choisirStation();
            if (sp.Programme_Termine)
                return;
            if (!sp.Verrou.Tient(sp.Nom_Log())) {
                sp.Terminer_Programme();
                return;
            }
        }
    }

    show();
    // The clock runs from here on, whatever stops the rest of the start-up.
    Timer1->start();

    const QString mode = sp.reglages.Lire(Reglages::Section_Station(sp.Indicatif_Station), QStringLiteral("Date_Automatique"), QStringLiteral("Oui"));
    const bool automatique = mode == QLatin1String("Oui");
    Mnu_Date_Auto_Oui->setChecked(automatique);
    Mnu_Date_Auto_Non->setChecked(!automatique);
    Label_Date->setText(automatique ? QStringLiteral("Date automatique") : QStringLiteral("Date manuelle"));
    Date_A->setAccessibleName(Label_Date->text());

    sp.Mode_Modification = false;

    if (sp.Indicatif_Station != QLatin1String("FXXXX")) {
        // The journal first: a line that a power cut tore is taken back before anything counts it.
        sp.Verifier_Journal();
        int total = 0;
        if (!sp.Calcul_Total_Points(total))
            return; // the recovery window, or an ending error, has taken over
        Afficher_Total(total);
        sp.Rafraichir_Liste_Log();
    }

    QString aujourdhui;
    sp.Date_Du_Jour(aujourdhui);
    if (Mnu_Date_Auto_Oui->isChecked()) {
        Date_A->setText(aujourdhui);
        Ind_A->setEnabled(true);
        Colorer(Ind_A, Vert_Pale);
        Ind_A->setFocus();
    } else {
        Date_A->setEnabled(true);
        Date_A->clear();
        Colorer(Date_A, Vert_Pale);
        Date_A->setFocus();
    }

    sp.Texte_Historique = Sous_Programmes::Texte_Historique_Complet();
    sp.Numero_Version = QStringLiteral(" 1.1.7");
    setWindowTitle(QStringLiteral("  QEZ_Challenge    Revision ") + sp.Numero_Version);
    sp.reglages.Ecrire(Reglages::Section_Station(sp.Indicatif_Station), QStringLiteral("Revision"), sp.Numero_Version);

    Efface();
    // The list's rebuild showed the last QSO, tick included: the first QSO typed must not
    // inherit a "waiting for validation" mark the operator never set.
    Validation_A->setChecked(false);
    Annule_Saisie->setEnabled(false);
    sp.Mode_Modification = false;
    // With alerts on, the castles spotted are watched from the start.
    Veille->Demarrer();
}

void Main::Main_Mnu_Date_Auto_Oui_Click()
{
    Mnu_Date_Auto_Oui->setChecked(true);
    Mnu_Date_Auto_Non->setChecked(false);
    Colorer(Date_A, Jaune_Pale);
    QString aujourdhui;
    sp.Date_Du_Jour(aujourdhui);
    Date_A->setText(aujourdhui);
    Ind_A->setEnabled(true);
    Colorer(Ind_A, Vert_Pale);
    Ind_A->setFocus();
    // Unless a QSO is being edited, what follows is a new QSO: it does not take the mark of
    // the QSO shown.
    if (!sp.Mode_Modification)
        Validation_A->setChecked(false);
    Label_Date->setText(QStringLiteral("Date automatique"));
    Date_A->setAccessibleName(Label_Date->text());
    sp.reglages.Ecrire(Reglages::Section_Station(sp.Indicatif_Station), QStringLiteral("Date_Automatique"), QStringLiteral("Oui"));
}

void Main::Main_Mnu_Date_Auto_Non_Click()
{
    Mnu_Date_Auto_Oui->setChecked(false);
    Mnu_Date_Auto_Non->setChecked(true);
    Colorer(Ind_A, Jaune_Pale);
    Label_Date->setText(QStringLiteral("Date manuelle"));
    Date_A->setAccessibleName(Label_Date->text());
    Date_A->setEnabled(true);
    Date_A->clear();
    Colorer(Date_A, Vert_Pale);
    Date_A->setFocus();
    if (!sp.Mode_Modification)
        Validation_A->setChecked(false);
    sp.reglages.Ecrire(Reglages::Section_Station(sp.Indicatif_Station), QStringLiteral("Date_Automatique"), QStringLiteral("Non"));
}

void Main::Main_Mnu_Quitter_Click()
{
    sp.Terminer_Programme();
}

void Main::Main_Mnu_Apropos_Click()
{
    sp.plateforme.Message(QStringLiteral("QEZ_Challenge  Revision ") + sp.Numero_Version + QStringLiteral("\r\n\r\n")
                              + Sous_Programmes::Ligne_Credit(),
                          this);
}

void Main::Main_Mnu_Historique_Click()
{
    sp.plateforme.Message(sp.Texte_Historique, this);
}

void Main::Main_Mnu_Mode_Emploi_Click()
{
    // The manual is the program's own, beside it, wherever the logs are.
    const QString fichier = sp.plateforme.Repertoire_Programme() + QStringLiteral("/QEZ_Challenge.hlp");
    if (!QFileInfo::exists(fichier)) {
        sp.plateforme.Message(QStringLiteral("Le fichier d'aide est introuvable :\r\n") + QDir::toNativeSeparators(fichier), this);
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

void Main::Main_Timer1_Timer()
{
    QString t;
    sp.Heure_Utc(t);
    Label37->setEnabled(true);
    Label37->setText(t.left(5) + QStringLiteral(" Utc"));
    sp.Heure_Locale(t);
    Label34->setEnabled(true);
    Label34->setText(t.left(5) + QStringLiteral(" Loc"));
    QString date;
    sp.Date_Du_Jour(date);
    Label33->setText(date);
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
    Ouvrir_Une_Fois(Fenetre_Station, [this] { return new Station(sp, this); }, [](Station* station) {
        station->setModal(false);
        station->Station_Form_Load();
        station->show();
    });
}

void Main::Main_Mnu_Recap_Click()
{
    Ouvrir_Une_Fois(Fenetre_Recapitulatif, [this] { return new Recapitulatif(sp, this); }, [](auto* fenetre) { fenetre->Recapitulatif_Form_Load(); });
}

void Main::Main_Mnu_Progression_Click()
{
    Ouvrir_Une_Fois(Fenetre_Progression, [this] { return new Progression(sp, this); }, [](auto* fenetre) { fenetre->Progression_Form_Load(); });
}

void Main::Main_Mnu_C_Contacte_Click()
{
    Ouvrir_Une_Fois(Fenetre_Aff_Contacte, [this] { return new Aff_Contacte(sp, this); }, [](auto* fenetre) { fenetre->Aff_Contacte_Form_Load(); });
}

void Main::Main_Mnu_Dpt_Contactes_Click()
{
    Ouvrir_Une_Fois(Fenetre_Carte_Acti, [this] { return new Carte_Acti(sp, this); }, [](auto* fenetre) { fenetre->Carte_Acti_Form_Load(); });
}

void Main::Main_Recherche_Click()
{
    Ouvrir_Une_Fois(
        Fenetre_Recherche,
        [this] {
            auto* fenetre = new Recherche_Indicatif(sp, Modele_Liste, this);
            connect(fenetre, &Recherche_Indicatif::Ligne_Choisie, this, &Main::Selectionner_Ligne);
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
    Fenetre_Liste_KVRT1 = Fenetres_Web::Ouvrir_Liste_KVRT1(sp, this);
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
    sp.Enregistre_Adif();
}

void Main::Main_Mnu_Ouvrir_Dossier_Logs_Click()
{
    sp.Ouvre_Dossier_Logs();
}

void Main::Main_Mnu_Enregistrer_Copie_Click()
{
    sp.Enregistre_Copie_Log();
}

void Main::Main_Mnu_Charger_Liste_Chateaux_Click()
{
    Veille->Choisir_Liste(this);
}

void Main::Main_Mnu_Chateaux_Spottes_Click()
{
    Ouvrir_Une_Fois(
        Fenetre_Spots,
        [this] {
            auto* fenetre = new Chateaux_Spottes(*Veille, sp, this);
            fenetre->setWindowFlag(Qt::Window);
            fenetre->setAttribute(Qt::WA_DeleteOnClose);
            connect(fenetre, &Chateaux_Spottes::Spot_Choisi, this, &Main::Saisir_Spot);
            return fenetre;
        },
        [](Chateaux_Spottes* fenetre) { fenetre->Chateaux_Spottes_Form_Load(); });
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

void Main::Saisie_Apres_Modification(Sous_Programmes::Modification sorte)
{
    if (sorte == Sous_Programmes::Modification::Import) {
        Entree_Nouvelle_Saisie();
        return;
    }
    Efface();
    // As at start-up, the QSO shown by the rebuild does not lend its mark to the next one.
    Validation_A->setChecked(false);
    Annule_Saisie->setEnabled(false);
}

void Main::Main_Mnu_Annuler_Click()
{
    if (sp.Indicatif_Station == QLatin1String("FXXXX"))
        return;
    // Named before it goes: once undone, the change is the one to redo.
    const QString operation = sp.Operation_A_Annuler();
    if (sp.Annuler_Modification()) {
        sp.Apres_Modification_Log(Sous_Programmes::Modification::Retour);
        Dire_Dans_Barre_Etat(QStringLiteral("Annulé : ") + operation);
    }
    Actualiser_Annulation();
}

void Main::Main_Mnu_Retablir_Click()
{
    if (sp.Indicatif_Station == QLatin1String("FXXXX"))
        return;
    const QString operation = sp.Operation_A_Retablir();
    if (sp.Retablir_Modification()) {
        sp.Apres_Modification_Log(Sous_Programmes::Modification::Retour);
        Dire_Dans_Barre_Etat(QStringLiteral("Rétabli : ") + operation);
    }
    Actualiser_Annulation();
}

void Main::Dire_Dans_Barre_Etat(const QString& texte)
{
    // Long enough to be read after a key pressed by mistake; the score line comes back after.
    statusBar()->showMessage(texte, 6000);
}

void Main::Main_Mnu_Historique_Modifications_Click()
{
    Ouvrir_Une_Fois(Fenetre_Historique_Modifications, [this] { return new Historique_Modifications(sp, this); }, [](auto* fenetre) { fenetre->Historique_Modifications_Form_Load(); });
}

void Main::Oublier_Annulations_Champs()
{
    // setText starts a line edit's undo history afresh.
    for (QLineEdit* champ : {Date_A, Ind_A, KVRT_A, Type_A->lineEdit()})
        if (champ)
            champ->setText(champ->text());
}

// ---------------------------------------------------------------------------------------
// The list

void Main::Remplir_Liste(QByteArray contenu)
{
    m_selectionParProgramme = true;
    Modele_Liste->Remplacer(std::move(contenu));
    m_selectionParProgramme = false;
    Selectionner_Ligne(Modele_Liste->rowCount() - 1);
}

void Main::Selectionner_Ligne(int index)
{
    m_selectionParProgramme = true;
    if (index >= 0 && index < Modele_Liste->rowCount()) {
        const QModelIndex i = Modele_Liste->index(index);
        Liste_KVRT->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
        Liste_KVRT->scrollTo(i);
    } else {
        Liste_KVRT->selectionModel()->clearSelection();
        Liste_KVRT->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    m_selectionParProgramme = false;
    if (index >= 0 && index < Modele_Liste->rowCount())
        Main_Liste_KVRT_Click();
    else
        sp.Ligne_Selectionnee.clear(); // an empty list has no line selected
}

int Main::Ligne_Courante() const
{
    // The current line is the selected one: the list selects one line at most, and the
    // current index moves before the selection does while a click is being handled.
    const QModelIndex i = Liste_KVRT->selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

QString Main::Texte_Ligne(int index) const
{
    return Modele_Liste->data(Modele_Liste->index(index), Qt::DisplayRole).toString();
}

int Main::Nombre_Lignes() const
{
    return Modele_Liste->rowCount();
}

void Main::Afficher_Total(int total)
{
    Total_Points->setText(QString::number(total));
    sp.Total_Affiche = Total_Points->text();
    Ligne_Score->setText(Series_Saison::Texte_Bilan(sp.Bilan_Log));
    if (Fenetre_Progression)
        Fenetre_Progression->Progression_Rafraichir();
}
