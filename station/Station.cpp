#include "Station.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "FichierLog.h"
#include "Filtre_Touches.h"
#include "Logs_Retrouves.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Apparence;

Station::Station(Sous_Programmes& sp_, QWidget* parent) : QDialog(parent), sp(sp_)
{
    setObjectName(QStringLiteral("Station"));
    setWindowTitle(QStringLiteral("Selection Indicatif et Année"));
    setAttribute(Qt::WA_DeleteOnClose);

    NOMME(QGroupBox, Frame1, this);
    NOMME(QLabel, Label2, QStringLiteral("INDICATIF de  la STATION "), Frame1);
    QFont titre = Label2->font();
    titre.setBold(true);
    titre.setPointSize(titre.pointSize() + 2);
    Label2->setFont(titre);
    Label2->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(Frame1))->addWidget(Label2);

    NOMME(QGroupBox, Frame2, this);
    NOMME(QLabel, Label3, QStringLiteral("Indicatif"), Frame2);
    NOMME(QLabel, Label4, QStringLiteral("Année"), Frame2);
    NOMME(QLabel, Label5, QStringLiteral("!!! Pour la saisie la \"/\" est remplacée par le \"_\" "), Frame2);
    NOMME(QLineEdit, New_Indicatif, Frame2);
    Colorer(New_Indicatif, Vert_Pale);
    NOMME(QLineEdit, New_Annee, Frame2);
    Colorer(New_Annee, Jaune_Pale);
    Etiqueter(Label3, New_Indicatif);
    Etiqueter(Label4, New_Annee);
    NOMME(QPushButton, Validation, QStringLiteral("Validez"), this);
    Validation->setAutoDefault(false);

    auto* grille = new QGridLayout(Frame2);
    grille->addWidget(Label3, 0, 0);
    grille->addWidget(Label4, 0, 1);
    grille->addWidget(New_Indicatif, 1, 0);
    grille->addWidget(New_Annee, 1, 1);
    grille->addWidget(Label5, 2, 0, 1, 2);

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Frame1);
    tout->addWidget(Frame2);
    tout->addWidget(Validation, 0, Qt::AlignHCenter);

    setTabOrder(New_Indicatif, New_Annee);
    setTabOrder(New_Annee, Validation);

    Filtre_Touches::Installer(New_Indicatif, [this](int& k) { Station_New_Indicatif_KeyPress(k); });
    Filtre_Touches::Installer(New_Annee, [this](int& k) { Station_New_Annee_KeyPress(k); });
    connect(Validation, &QPushButton::clicked, this, &Station::Station_Validation_Click);
}

bool Station::Indicatif_Valide(const QString& indicatif)
{
    if (indicatif.isEmpty() || indicatif.size() > 12)
        return false;
    for (QChar c : indicatif) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || u == '_'))
            return false;
    }
    return true;
}

bool Station::Annee_Valide(const QString& annee)
{
    if (annee.size() != 4)
        return false;
    for (QChar c : annee) {
        const ushort u = c.unicode();
        if (u < 32 || u == 127 || QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString Station::Majuscules(const QString& texte)
{
    // Letter by letter, so that the length checked is the length typed: "ß" stays one
    // character (and is refused) instead of becoming "SS".
    QString resultat = texte;
    for (QChar& c : resultat)
        c = c.toUpper();
    return resultat;
}

void Station::Station_Form_Load()
{
    adjustSize();
    Centrer(this);
    QString indicatif = sp.reglages().Indicatif_Station();
    // Never let a stored value that the checks below would refuse name a log.
    if (!Indicatif_Valide(indicatif))
        indicatif = QStringLiteral("FXXXX");
    New_Indicatif->setText(indicatif);
    if (indicatif != sp.Indicatif_Station()) {
        // The module variable follows the store, as before; the year follows with it so
        // that the pair still names one log. A stored year that could not stand in a file
        // name leaves both as they are: start-up has taken the pair for not set up.
        const QString annee = sp.reglages().Annee_Challenge(indicatif);
        if (Annee_Valide(annee))
            sp.Choisir_Station(indicatif, annee);
    }
    New_Annee->setText(sp.reglages().Annee_Proposee(sp.Indicatif_Station()));
    New_Indicatif->setFocus();
}

void Station::Station_New_Indicatif_KeyPress(int& KeyAscii)
{
    if (KeyAscii > 96 && KeyAscii < 123)
        KeyAscii -= 32;
    if (KeyAscii == 13) {
        KeyAscii = 0;
        Colorer(New_Indicatif, Jaune_Pale);
        Colorer(New_Annee, Vert_Pale);
        New_Annee->setFocus();
        // The box opens holding "20xx": the year typed next replaces it.
        New_Annee->selectAll();
    } else if (KeyAscii == 47) {
        KeyAscii = 95;
    }
}

void Station::Station_New_Annee_KeyPress(int& KeyAscii)
{
    if (KeyAscii > 96 && KeyAscii < 123)
        KeyAscii -= 32;
    if (KeyAscii == 13) {
        KeyAscii = 0;
        Colorer(New_Annee, Jaune_Pale);
        Validation->setFocus();
    }
}

void Station::Station_Validation_Click()
{
    // The module variables change only once every check has passed, so that a refused
    // entry never leaves them naming another log than the one shown.
    const QString indicatif = Majuscules(New_Indicatif->text());
    if (indicatif.isEmpty()) {
        sp.plateforme().Message(QStringLiteral("Vous devez entrer un indicatif"), this);
        return;
    }
    if (indicatif.size() > 12) {
        sp.plateforme().Message(QStringLiteral("12 caracteres maximum pour l'indicatif"), this);
        return;
    }
    if (!Indicatif_Valide(indicatif)) {
        sp.plateforme().Message(QStringLiteral("L'indicatif ne doit comporter que des lettres des chiffres ou le signe _ "), this);
        New_Indicatif->clear();
        return;
    }
    const QString annee = Majuscules(New_Annee->text());
    if (annee.isEmpty()) {
        sp.plateforme().Message(QStringLiteral("Vous devez entrer une Année"), this);
        return;
    }
    if (annee.size() != 4) {
        sp.plateforme().Message(QStringLiteral("L'Année doit comporter 4 chiffres"), this);
        return;
    }
    if (!Annee_Valide(annee)) {
        sp.plateforme().Message(QStringLiteral("L'Année ne doit pas comporter les caractères / \\ : * ? \" < > | ni de caractère de contrôle"), this);
        return;
    }

    emit Station_Affichee(FichierLog::Indicatif_Affiche(indicatif), annee);
    // Nothing is switched on a refusal: the main window goes on with the log it shows.
    auto refuser = [&] { emit Station_Affichee(FichierLog::Indicatif_Affiche(sp.Indicatif_Station()), sp.Annee_Challenge()); };

    // A log of this station and year in another folder the program knows is used or copied,
    // never replaced by a new one made from the template.
    QString dossier = sp.Repertoire();
    if (!FichierLog::Existe(FichierLog::Nom_Log(dossier, indicatif, annee))
        && Logs_Retrouves::Retrouver_Log(sp, indicatif, annee, dossier, QStringLiteral("&Annuler"), this)
               == Logs_Retrouves::Log_Retrouve::Renonce) {
        refuser();
        return;
    }
    const QString log = FichierLog::Nom_Log(dossier, indicatif, annee);
    // The new log's lock is taken before the old one goes, and before the log is made. A
    // folder that cannot take the lock file cannot take the log either: that is said below. A
    // log another machine holds is taken over or read only, as the operator answers.
    Verrou_Log verrou;
    if (!sp.Verrou_Tenu(log) && !verrou.Prendre(log) && verrou.Ailleurs())
        sp.Ouvrir_Malgre_Verrou(verrou, log, this);
    else if (verrou.Occupe()) {
        sp.plateforme().Message(verrou.Refus(), this);
        refuser();
        return;
    }
    if (!FichierLog::Existe(log)) {
        const QString modele = FichierLog::Nom_Modele(sp.Repertoire());
        ErreurFichier e;
        if (FichierLog::Existe(modele)) {
            e = FichierLog::Copier(modele, log);
        } else {
            // Without its template the pair still gets the log an empty template gives.
            e = FichierLog::Reecrire(log, {});
            if (e.ok())
                sp.plateforme().Message(QStringLiteral("Le modèle de log est introuvable :\r\n") + QDir::toNativeSeparators(modele)
                                          + QStringLiteral("\r\nUn log vide a été créé pour ") + indicatif + QStringLiteral(" ") + annee + QStringLiteral("."),
                                      this);
        }
        if (!e.ok() && !e.fait) {
            sp.plateforme().Message(e.message + QStringLiteral("\r\nLe log de la nouvelle station n'a pas pu être créé."), this);
            refuser();
            return;
        }
        // The log is in place but its folder did not sync: it is there all the same, and used.
        if (!e.ok())
            sp.plateforme().Message(e.message + QStringLiteral("\r\nLe log de la nouvelle station a été créé : ") + QDir::toNativeSeparators(log)
                                      + QStringLiteral(", mais le disque n'a pas confirmé son écriture."),
                                  this);
    }

    if (dossier != sp.Repertoire()) {
        sp.Utiliser_Repertoire(dossier);
        sp.reglages().Definir_Chemin_Repertoire(dossier);
    }
    if (verrou.Tient(log))
        sp.Garder_Verrou(std::move(verrou));
    else if (!sp.Verrou_Tenu(log))
        sp.Rendre_Verrou();
    sp.reglages().Definir_Indicatif_Station(indicatif);
    sp.reglages().Definir_Annee_Challenge(indicatif, annee);

    const QString relu = sp.reglages().Indicatif_Station();
    sp.Choisir_Station(indicatif, sp.reglages().Annee_Challenge(indicatif));
    emit Station_Affichee(FichierLog::Indicatif_Affiche(relu), sp.Annee_Challenge());

    // The list, the total and every report window show the new log.
    sp.Rafraichir_Liste_Log();
    close();
}

void Station::Station_Form_Unload()
{
}

void Station::closeEvent(QCloseEvent* event)
{
    Station_Form_Unload();
    QDialog::closeEvent(event);
}
