#include "Gestion_Erreur.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Dossier_Logs.h"
#include "FichierLog.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Gestion_Erreur::Gestion_Erreur(Sous_Programmes& sp_, QWidget* parent) : QDialog(parent), sp(sp_)
{
    setObjectName(QStringLiteral("Gestion_Erreur"));
    setWindowTitle(QStringLiteral("Interception erreur 53"));
    setModal(true);

    NOMME(QGroupBox, Frame1, this);
    NOMME(QLabel, Label2, QStringLiteral("ERREUR 53"), Frame1);
    QFont titre = Label2->font();
    titre.setBold(true);
    titre.setPointSize(titre.pointSize() + 4);
    Label2->setFont(titre);
    Label2->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(Frame1))->addWidget(Label2);

    NOMME(QPushButton, Initialisation, QStringLiteral("Initialiser"), this);
    NOMME(QPushButton, Quitter, QStringLiteral("Quitter"), this);
    for (QPushButton* b : {Initialisation, Quitter})
        b->setAutoDefault(false);

    NOMME(QGroupBox, Frame2, this);
    NOMME(QLabel, Label1, QStringLiteral("Relancez QEZ_Challenge_KVRT une boite de dialogue vous demandera alors "), Frame2);
    NOMME(QLabel, Label3, QStringLiteral("QEZ_Challenge_KVRT a trouvé dans la base de registre l'indicatif  : "), Frame2);
    NOMME(QLabel, Ind_Station, Frame2);
    NOMME(QLabel, Label6, QStringLiteral("Il n'a par contre pas trouvé dans son répértoire le fichier :"), Frame2);
    NOMME(QLabel, Label7, QStringLiteral("Pour remèdier à cet état, cliquez sur \"Initialiser\" puis sur \"Quitter\""), Frame2);
    NOMME(QLabel, Label9, QStringLiteral("de spécifier votre indicatif et l'année du challenge"), Frame2);
    NOMME(QLabel, Ind_Station1, Frame2);
    NOMME(QLabel, Err_Departement, Frame2);
    NOMME(QLabel, Dossier_Log, Frame2);
    Dossier_Log->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont gras = Ind_Station->font();
    gras.setBold(true);
    for (QLabel* l : {Ind_Station, Ind_Station1, Err_Departement})
        l->setFont(gras);

    auto* texte = new QVBoxLayout(Frame2);
    auto* ligneIndicatif = new QHBoxLayout;
    ligneIndicatif->addWidget(Label3);
    ligneIndicatif->addWidget(Ind_Station);
    ligneIndicatif->addStretch();
    texte->addLayout(ligneIndicatif);
    texte->addWidget(Label6);
    auto* ligneFichier = new QHBoxLayout;
    ligneFichier->setSpacing(0);
    ligneFichier->addWidget(Ind_Station1);
    ligneFichier->addWidget(Err_Departement);
    ligneFichier->addStretch();
    texte->addLayout(ligneFichier);
    texte->addWidget(Dossier_Log);
    texte->addSpacing(8);
    texte->addWidget(Label7);
    texte->addSpacing(8);
    texte->addWidget(Label1);
    texte->addWidget(Label9);

    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(Initialisation);
    boutons->addWidget(Quitter);
    boutons->addStretch();

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Frame1);
    tout->addLayout(boutons);
    tout->addWidget(Frame2);

    connect(Initialisation, &QPushButton::clicked, this, &Gestion_Erreur::Gestion_Erreur_Initialisation_Click);
    connect(Quitter, &QPushButton::clicked, this, &Gestion_Erreur::Gestion_Erreur_Quitter_Click);
}

void Gestion_Erreur::Gestion_Erreur_Form_Load()
{
    adjustSize();
    // The window is shown by exec(): it is centred as soon as it is on screen, when the
    // size of its frame is known.
    QTimer::singleShot(0, this, [this] { Apparence::Centrer(this); });
    Ind_Station->setText(sp.reglages().Indicatif_Station());
    Ind_Station1->setText(Ind_Station->text());
    Err_Departement->setText(QStringLiteral("_Challenge_KVRT_") + sp.Annee_Challenge() + QStringLiteral(".txt"));
    Dossier_Log->setText(QStringLiteral("dans le dossier ") + QDir::toNativeSeparators(sp.Repertoire()));
}

void Gestion_Erreur::Gestion_Erreur_Initialisation_Click()
{
    // Starting the season again would give an empty log while this one waits in another
    // folder: the next start offers to use it there or to copy it.
    QStringList dossiers = sp.Dossiers_Connus();
    dossiers.prepend(sp.Repertoire());
    const QString ailleurs = Dossier_Logs::Trouver_Log(dossiers, QString(), sp.Indicatif_Station(), sp.Annee_Challenge());
    if (!ailleurs.isEmpty()) {
        sp.plateforme().Message(QStringLiteral("Le log %1 se trouve dans le dossier\r\n%2\r\nLa station n'a pas été initialisée : "
                                             "relancez le programme pour utiliser ce log ou le copier.")
                                  .arg(QFileInfo(FichierLog::Nom_Log(ailleurs, sp.Indicatif_Station(), sp.Annee_Challenge())).fileName(),
                                       QDir::toNativeSeparators(ailleurs)),
                              this);
        return;
    }
    sp.reglages().Definir_Indicatif_Station(QStringLiteral("FXXXX"));
    sp.reglages().Definir_Annee_Challenge(Ind_Station->text(), QStringLiteral("20xx"));
}

void Gestion_Erreur::Gestion_Erreur_Quitter_Click()
{
    sp.Terminer_Programme();
}
