#include "Chateaux_Spottes.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Delegue_Etat.h"
#include "Envoi_Spot.h"
#include "Filtre_Spots.h"
#include "Mise_A_Jour_Liste.h"
#include "Modele_Spots.h"
#include "Plateforme.h"
#include "Regle_Spot.h"
#include "Reglages_Spots.h"
#include "Reglages.h"
#include "Sous_Programmes.h"
#include "Veille_Spots.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Apparence;

// Public DX cluster nodes (DX Spider, AR-Cluster, CC Cluster) found in the node lists that
// open-source amateur-radio loggers ship as their defaults: a first connection without a search.
static const char* const Noeuds_Publics[] = {
    "dxc.nc7j.com:7373", // AR-Cluster, in the default node lists of open-source loggers
    "dxc.ve7cc.net:23",  // CC Cluster, the same lists
    "w3lpl.net:7373",    // AR-Cluster, the same lists
    "k1ttt.net:7373",    // AR-Cluster, the same lists
    "dxfun.com:8000",    // DX Spider in Europe, the same lists
    "hamqth.com:7300",   // DX Spider of an amateurs' callbook site, the same lists
};

static QComboBox* Liste_Noeuds(QComboBox* noeud, const QString& indication)
{
    noeud->setEditable(true);
    // What is typed is a node for this time; the settings keep it, the list stays the same.
    noeud->setInsertPolicy(QComboBox::NoInsert);
    for (const char* n : Noeuds_Publics)
        noeud->addItem(QString::fromLatin1(n));
    noeud->setCurrentIndex(-1);
    noeud->lineEdit()->setPlaceholderText(indication);
    return noeud;
}

static QTableView* Table_Spots(QTableView* table, Filtre_Spots* filtre)
{
    table->setModel(filtre);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    QHeaderView* entetes = table->horizontalHeader();
    table->setItemDelegateForColumn(Modele_Spots::Col_Etat, new Delegue_Etat(table));
    const int largeurs[Modele_Spots::Nb_Colonnes] = {80, 100, 60, 190, 80, 90, 220, 100};
    for (int c = 0; c < Modele_Spots::Nb_Colonnes; ++c)
        entetes->resizeSection(c, largeurs[c]);
    entetes->setSectionResizeMode(Modele_Spots::Col_Commentaire, QHeaderView::Stretch);
    return table;
}

Chateaux_Spottes::Chateaux_Spottes(Veille_Spots& veille_, Sous_Programmes& sp_, QWidget* parent)
    : QWidget(parent), veille(veille_), sp(sp_)
{
    setObjectName(QStringLiteral("Chateaux_Spottes"));
    setWindowTitle(QStringLiteral("Châteaux spottés"));

    NOMME(QLabel, Label_Noeud, QStringLiteral("&Nœud DX cluster (hôte:port) :"));
    NOMME(QComboBox, Noeud);
    Liste_Noeuds(Noeud, QStringLiteral("dxc.exemple.fr:7300"));
    NOMME(QLabel, Label_Noeud_Secours, QStringLiteral("Nœud de s&ecours :"));
    NOMME(QComboBox, Noeud_Secours);
    Liste_Noeuds(Noeud_Secours, QStringLiteral("facultatif"));
    Noeud_Secours->setToolTip(QStringLiteral("Essayé après trois échecs du premier nœud (facultatif)"));
    NOMME(QPushButton, Connecter, QStringLiteral("&Connecter"));
    NOMME(QLabel, Label_Bande, QStringLiteral("&Bande"));
    NOMME(QComboBox, Bande);
    Bande->addItem(Reglages_Spots::Toutes_Bandes);
    Bande->addItems(Regle_Spot::Bandes());
    NOMME(QLabel, Label_Age_Spots, QStringLiteral("Âge des spots (&minutes) :"));
    NOMME(QSpinBox, Age_Spots);
    Age_Spots->setRange(1, Reglages_Spots::Age_Max);
    // The rows leave when the value is settled, not at each digit typed.
    Age_Spots->setKeyboardTracking(false);
    NOMME(QPushButton, Spotter, QStringLiteral("Spotter…"));
    Spotter->setToolTip(QStringLiteral("Annonce sur le nœud le château de la ligne choisie"));
    NOMME(QLabel, Etat_Connexion);
    Etat_Connexion->setWordWrap(true);
    NOMME(QCheckBox, Alertes, QStringLiteral("&Alertes : un bip et une ligne dans la barre d'état pour un château à contacter"));
    NOMME(QCheckBox, A_Contacter_Seulement, QStringLiteral("&Seulement les châteaux à contacter"));
    NOMME(QLabel, Info_Liste);
    Info_Liste->setWordWrap(true);
    NOMME(QLabel, Label_Adresse_Liste, QStringLiteral("Adresse &liste chateaux :"));
    NOMME(QLineEdit, Adresse_Liste);
    Adresse_Liste->setPlaceholderText(QStringLiteral("https://liste.exemple.org/chateaux.csv"));
    Adresse_Liste->setToolTip(QStringLiteral("La liste des châteaux y est relue une fois par semaine (Fichier > Mettre à jour "
                                             "la liste des châteaux pour la relire tout de suite)"));
    Etiqueter(Label_Adresse_Liste, Adresse_Liste);
    m_chateaux = veille.Nouvelle_Vue(Filtre_Spots::Vue::Chateaux, this);
    m_horsListe = veille.Nouvelle_Vue(Filtre_Spots::Vue::Hors_Liste, this);
    NOMME(QTableView, Spots);
    Table_Spots(Spots, m_chateaux);
    Spots->setToolTip(QStringLiteral("Un double clic sur un château le met dans la saisie de la fenêtre principale"));
    NOMME(QLabel, Label_Hors_Liste, QStringLiteral("Références absentes de la liste des châteaux (à vérifier avant de les contacter) :"));
    NOMME(QTableView, Hors_Liste);
    Table_Spots(Hors_Liste, m_horsListe);
    NOMME(QLabel, Label_Departement, QStringLiteral("&Département :"));
    NOMME(QLineEdit, Departement);
    Departement->setMaxLength(2);
    Departement->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("2AW")) + 16);
    NOMME(QPushButton, Chercher_Departement, QStringLiteral("Châteaux à contacter du &département"));
    NOMME(QLabel, Resultat_Departement);
    NOMME(QListWidget, A_Contacter_Departement);
    A_Contacter_Departement->setMaximumHeight(120);
    A_Contacter_Departement->hide();
    Etiqueter(Label_Noeud, Noeud);
    Etiqueter(Label_Noeud_Secours, Noeud_Secours);
    Etiqueter(Label_Bande, Bande);
    Etiqueter(Label_Age_Spots, Age_Spots);
    Etiqueter(Label_Departement, Departement);
    Spots->setAccessibleName(QStringLiteral("Châteaux spottés"));
    Hors_Liste->setAccessibleName(Label_Hors_Liste->text());

    auto* noeud = new QHBoxLayout;
    noeud->addWidget(Label_Noeud);
    noeud->addWidget(Noeud, 2);
    noeud->addWidget(Label_Noeud_Secours);
    noeud->addWidget(Noeud_Secours, 1);
    noeud->addWidget(Connecter);
    auto* cases = new QHBoxLayout;
    cases->addWidget(Alertes);
    cases->addSpacing(16);
    cases->addWidget(A_Contacter_Seulement);
    cases->addStretch();
    auto* choix = new QHBoxLayout;
    choix->addWidget(Label_Bande);
    choix->addWidget(Bande);
    choix->addSpacing(16);
    choix->addWidget(Label_Age_Spots);
    choix->addWidget(Age_Spots);
    choix->addStretch();
    choix->addWidget(Spotter);
    auto* departement = new QHBoxLayout;
    departement->addWidget(Label_Departement);
    departement->addWidget(Departement);
    departement->addWidget(Chercher_Departement);
    departement->addWidget(Resultat_Departement, 1);
    auto* tout = new QVBoxLayout(this);
    tout->addLayout(noeud);
    tout->addWidget(Etat_Connexion);
    tout->addLayout(cases);
    tout->addLayout(choix);
    tout->addWidget(Info_Liste);
    auto* adresse = new QHBoxLayout;
    adresse->addWidget(Label_Adresse_Liste);
    adresse->addWidget(Adresse_Liste, 1);
    tout->addLayout(adresse);
    tout->addWidget(Spots, 3);
    tout->addWidget(Label_Hors_Liste);
    tout->addWidget(Hors_Liste, 1);
    tout->addLayout(departement);
    tout->addWidget(A_Contacter_Departement);

    Ordre_Clavier({Noeud, Noeud_Secours, Connecter, Alertes, A_Contacter_Seulement, Bande, Age_Spots, Spotter, Spots,
                   Hors_Liste, Departement, Chercher_Departement});

    connect(Connecter, &QPushButton::clicked, this, &Chateaux_Spottes::Chateaux_Spottes_Connecter_Click);
    // A node typed then Enter, or chosen in the list, is connected to; nothing before.
    for (QComboBox* noeud : {Noeud, Noeud_Secours}) {
        connect(noeud->lineEdit(), &QLineEdit::returnPressed, this, &Chateaux_Spottes::Chateaux_Spottes_Connecter_Click);
        connect(noeud, &QComboBox::activated, this, &Chateaux_Spottes::Chateaux_Spottes_Connecter_Click);
    }
    connect(Bande, &QComboBox::currentIndexChanged, this, &Chateaux_Spottes::Chateaux_Spottes_Bande_Change);
    connect(Age_Spots, &QSpinBox::valueChanged, this, &Chateaux_Spottes::Chateaux_Spottes_Age_Spots_Change);
    connect(Spotter, &QPushButton::clicked, this, &Chateaux_Spottes::Chateaux_Spottes_Spotter_Click);
    connect(Alertes, &QCheckBox::clicked, this, &Chateaux_Spottes::Chateaux_Spottes_Alertes_Click);
    connect(A_Contacter_Seulement, &QCheckBox::clicked, this, &Chateaux_Spottes::Chateaux_Spottes_A_Contacter_Seulement_Click);
    // A double click, or Enter on a row: the view activates it.
    connect(Spots, &QTableView::activated, this, &Chateaux_Spottes::Chateaux_Spottes_Spots_DblClick);
    connect(Hors_Liste, &QTableView::activated, this, &Chateaux_Spottes::Chateaux_Spottes_Spots_DblClick);
    connect(Chercher_Departement, &QPushButton::clicked, this, &Chateaux_Spottes::Chateaux_Spottes_Chercher_Departement_Click);
    connect(Departement, &QLineEdit::returnPressed, this, &Chateaux_Spottes::Chateaux_Spottes_Chercher_Departement_Click);
    connect(&veille, &Veille_Spots::Etat_Connexion, Etat_Connexion, &QLabel::setText);
    connect(&veille, &Veille_Spots::Liste_Changee, this, &Chateaux_Spottes::Montrer_Liste);
    // The departement's castles still to contact follow the log too.
    connect(&sp, &Sous_Programmes::Etat_Change, this, &Chateaux_Spottes::Montrer_Departement);
    // After the filter box, before the tables.
    setTabOrder(A_Contacter_Seulement, Adresse_Liste);
    setTabOrder(Adresse_Liste, Spots);
    connect(Adresse_Liste, &QLineEdit::editingFinished, this, &Chateaux_Spottes::Chateaux_Spottes_Adresse_Liste_Valide);
    Fermer_Par_Echap(this);
}

void Chateaux_Spottes::Chateaux_Spottes_Form_Load()
{
    Noeud->setEditText(sp.reglages().Cluster());
    Noeud_Secours->setEditText(sp.reglages().Cluster_Secours());
    Bande->setCurrentText(sp.reglages().Bande_Spots());
    Chateaux_Spottes_Bande_Change();
    Age_Spots->setValue(veille.Age());
    Adresse_Liste->setText(sp.reglages().Adresse_Liste_Chateaux());
    Alertes->setChecked(veille.Alertes());
    Montrer_Liste();
    resize(QSize(960, 560));
    Centrer(this);
    show();
    veille.Fenetre_Ouverte(true);
    Etat_Connexion->setText(veille.Etat());
    if (Noeud->currentText().isEmpty())
        Noeud->setFocus();
    else
        Spots->setFocus();
}

void Chateaux_Spottes::Montrer_Liste()
{
    Info_Liste->setText(veille.Texte_Liste());
    const bool liste = !veille.Liste().Vide();
    Label_Hors_Liste->setVisible(liste);
    Hors_Liste->setVisible(liste);
    Montrer_Departement();
}

void Chateaux_Spottes::Chateaux_Spottes_Connecter_Click()
{
    if (m_connexionDemandee)
        return;
    m_connexionDemandee = true;
    QTimer::singleShot(0, this, [this] { m_connexionDemandee = false; });
    QString hote, erreur;
    quint16 port = 0;
    if (!Reglages_Spots::Lire_Noeud(Noeud->currentText(), hote, port, erreur)) {
        sp.plateforme().Message(erreur, this);
        Noeud->setFocus();
        return;
    }
    // The second node may stay empty.
    const QString secours = Noeud_Secours->currentText().trimmed();
    if (!secours.isEmpty() && !Reglages_Spots::Lire_Noeud(secours, hote, port, erreur)) {
        sp.plateforme().Message(QStringLiteral("Nœud de secours : ") + erreur, this);
        Noeud_Secours->setFocus();
        return;
    }
    sp.reglages().Definir_Cluster(Noeud->currentText());
    sp.reglages().Definir_Cluster_Secours(secours);
    veille.Reconnecter();
}

void Chateaux_Spottes::Chateaux_Spottes_Bande_Change()
{
    m_chateaux->Regler_Bande(Bande->currentText());
    m_horsListe->Regler_Bande(Bande->currentText());
    sp.reglages().Definir_Bande_Spots(Bande->currentText());
}

void Chateaux_Spottes::Chateaux_Spottes_Age_Spots_Change()
{
    if (Age_Spots->value() != veille.Age())
        veille.Regler_Age(Age_Spots->value());
}

void Chateaux_Spottes::Chateaux_Spottes_Spotter_Click()
{
    const QString refus = veille.Refus_Spot();
    if (!refus.isEmpty()) {
        sp.plateforme().Message(refus, this);
        return;
    }
    const QModelIndex ligne = Spots->currentIndex();
    if (!ligne.isValid()) {
        sp.plateforme().Message(QStringLiteral("Choisissez d'abord dans la liste la ligne du château à spotter."), this);
        Spots->setFocus();
        return;
    }
    auto* envoi = new Envoi_Spot(ligne.siblingAtColumn(Modele_Spots::Col_Frequence).data().toString(),
                                 ligne.siblingAtColumn(Modele_Spots::Col_Indicatif).data().toString(),
                                 ligne.siblingAtColumn(Modele_Spots::Col_Reference).data().toString(), this);
    envoi->setAttribute(Qt::WA_DeleteOnClose);
    connect(envoi, &QDialog::accepted, this, [this, envoi] {
        // The node may have gone while the comment was typed.
        const QString refus = veille.Refus_Spot();
        if (!refus.isEmpty() || !veille.Envoyer_Spot(envoi->Ligne()))
            sp.plateforme().Message(refus.isEmpty() ? Regle_Spot::Refus_Spot(sp.Indicatif_Station(), false) : refus, this);
    });
    envoi->open();
}

void Chateaux_Spottes::Chateaux_Spottes_Adresse_Liste_Valide()
{
    // The message box takes the focus from the box, which would finish its editing again.
    if (m_adresseEnCours || Adresse_Liste->text().trimmed() == sp.reglages().Adresse_Liste_Chateaux())
        return;
    m_adresseEnCours = true;
    QString erreur;
    if (!sp.reglages().Definir_Adresse_Liste_Chateaux(Adresse_Liste->text(), erreur)) {
        sp.plateforme().Message(erreur, this);
        Adresse_Liste->setFocus();
    } else {
        Adresse_Liste->setText(sp.reglages().Adresse_Liste_Chateaux());
        // A new address has never been checked: its list is fetched now, said in the status line.
        veille.Liste_En_Ligne().Verifier_Si_Du();
    }
    m_adresseEnCours = false;
}

void Chateaux_Spottes::Chateaux_Spottes_Alertes_Click()
{
    veille.Regler_Alertes(Alertes->isChecked());
}

void Chateaux_Spottes::Chateaux_Spottes_A_Contacter_Seulement_Click()
{
    m_chateaux->Seulement_A_Contacter(A_Contacter_Seulement->isChecked());
}

void Chateaux_Spottes::Chateaux_Spottes_Spots_DblClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    // The row's callsign and castle, as its columns show them.
    emit Spot_Choisi(index.siblingAtColumn(Modele_Spots::Col_Indicatif).data().toString(),
                     index.siblingAtColumn(Modele_Spots::Col_Reference).data().toString());
}

void Chateaux_Spottes::Chateaux_Spottes_Chercher_Departement_Click()
{
    const QString code = Departement->text().trimmed().toUpper();
    if (!Regle_Spot::Reference_Valide(code + QStringLiteral("001"))) {
        sp.plateforme().Message(QStringLiteral("Tapez le numéro d'un département : deux chiffres de 01 à 95, ou 2A, 2B."), this);
        Departement->setFocus();
        return;
    }
    if (veille.Liste().Vide()) {
        sp.plateforme().Message(QStringLiteral("Chargez d'abord la liste des châteaux (Fichier > Charger la liste des "
                                             "châteaux…) : sans elle, le programme ne connaît pas les châteaux d'un département."),
                              this);
        return;
    }
    m_departement = code;
    Montrer_Departement();
}

void Chateaux_Spottes::Montrer_Departement()
{
    if (m_departement.isEmpty())
        return;
    const Liste_Chateaux& liste = veille.Liste();
    if (liste.Vide()) {
        m_departement.clear();
        Resultat_Departement->clear();
        A_Contacter_Departement->clear();
        A_Contacter_Departement->hide();
        return;
    }
    const QSet<QString>& contactes = veille.Contactes();
    const QStringList references = liste.References_Departement(m_departement);
    QStringList restants;
    for (const QString& r : references)
        if (!contactes.contains(r))
            restants.append(r + QStringLiteral("   ") + liste.Nom(r));
    A_Contacter_Departement->clear();
    A_Contacter_Departement->addItems(restants);
    A_Contacter_Departement->setVisible(!restants.isEmpty());
    if (references.isEmpty())
        Resultat_Departement->setText(QStringLiteral("La liste ne compte aucun château dans le département %1.").arg(m_departement));
    else if (restants.isEmpty() && references.size() == 1)
        Resultat_Departement->setText(QStringLiteral("Le château du département %1 est contacté.").arg(m_departement));
    else if (restants.isEmpty())
        Resultat_Departement->setText(
            QStringLiteral("Les %1 châteaux du département %2 sont tous contactés.").arg(references.size()).arg(m_departement));
    else
        Resultat_Departement->setText(QStringLiteral("Département %1 : %2 château%3 à contacter sur %4.")
                                          .arg(m_departement)
                                          .arg(restants.size())
                                          .arg(restants.size() > 1 ? QStringLiteral("x") : QString())
                                          .arg(references.size()));
}

void Chateaux_Spottes::closeEvent(QCloseEvent* event)
{
    veille.Fenetre_Ouverte(false);
    event->accept();
}
