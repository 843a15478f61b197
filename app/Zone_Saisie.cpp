// The entry area of the main window: field checks on Enter, recording, insertion by date,
// showing, editing and deleting a QSO.

#include "Zone_Saisie.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Enregistrement.h"
#include "Filtre_Touches.h"
#include "Plateforme.h"
#include "Validation_Saisie.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Apparence;

static const QString Caption_Saisie = QStringLiteral("Saisie ou modification d'un QSO");
static const QString Caption_Insertion = QStringLiteral("Mode Insertion d'un QSO");

// The field the operator fills next: open, in green, with the focus.
static void Ouvrir_Champ(QWidget* champ)
{
    champ->setEnabled(true);
    Colorer(champ, Vert_Pale);
    champ->setFocus();
}

static void Majuscule(int& KeyAscii)
{
    if (KeyAscii > 96 && KeyAscii < 123)
        KeyAscii -= 32;
}

Zone_Saisie::Zone_Saisie(Plateforme& plateforme, QWidget* parent) : QWidget(parent), m_plateforme(plateforme)
{
    setObjectName(QStringLiteral("Zone_Saisie"));
    Creer_Controles();
    Disposer();
    Relier_Controles();
}

void Zone_Saisie::Creer_Controles()
{
    NOMME(QPushButton, Ajout_Saisie, QStringLiteral("Inserer  un QSO"));
    NOMME(QCheckBox, Validation_A, QStringLiteral(" Attente validation"));
    NOMME(QComboBox, Type_A);
    Type_A->addItems(Enregistrement::Types_Activite());
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
    NOMME(QLineEdit, Ind_A);
    Colorer(Ind_A, Jaune_Pale);
    NOMME(QPushButton, Valide_A, QStringLiteral(" Valider saisie    en cours"));
    Valide_A->setToolTip(QStringLiteral("Enregistre les données en cours"));

    NOMME(QGroupBox, Frame3, Caption_Saisie);
    NOMME(QLineEdit, Date_A);
    Colorer(Date_A, Jaune_Pale);
    NOMME(QLabel, Label3, QStringLiteral("Type Activité"));
    NOMME(QLabel, Label1, QStringLiteral("N° KVRT"));
    NOMME(QLabel, Label8, QStringLiteral("Indicatif"));
    NOMME(QLabel, Label_Date);

    // Design-time states of the entry controls.
    Ind_A->setEnabled(false);
    Type_A->setEnabled(false);
    KVRT_A->setEnabled(false);
    Validation_A->setEnabled(false);
    Valide_A->setEnabled(false);
    Annule_Saisie->setEnabled(false);
}

// The fields in their frame, then the row of the tick and of Valider and Annuler, then the
// row of the buttons, under the list.
void Zone_Saisie::Disposer()
{
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

    auto* validation = new QHBoxLayout;
    validation->addWidget(Validation_A);
    validation->addStretch();
    validation->addWidget(Valide_A);
    validation->addWidget(Efface_A);

    m_boutons = new QHBoxLayout;
    m_boutons->addWidget(Ajout_Saisie);
    m_boutons->addWidget(Annule_Saisie);
    m_boutons->addStretch();

    // Spaced as the rows of the window around it, of which these three are a part.
    auto* tout = new QVBoxLayout(this);
    tout->setContentsMargins(0, 0, 0, 0);
    tout->addWidget(Frame3);
    tout->addLayout(validation);
    tout->addLayout(m_boutons);
}

// Labels for screen readers, the keyboard order and the handlers of the controls.
void Zone_Saisie::Relier_Controles()
{
    Etiqueter(Label8, Ind_A);
    Etiqueter(Label3, Type_A);
    Etiqueter(Label1, KVRT_A);
    Label_Date->setBuddy(Date_A);
    Date_A->setAccessibleName(QStringLiteral("Date")); // then the date mode's caption

    // The keyboard order follows the Enter chain.
    Ordre_Clavier({Date_A, Ind_A, Type_A, KVRT_A, Validation_A, Valide_A, Efface_A});

    Filtre_Touches::Installer(Date_A, [this](int& k) { Main_Date_A_KeyPress(k); });
    Filtre_Touches::Installer(Ind_A, [this](int& k) { Main_Ind_A_KeyPress(k); });
    Filtre_Touches::Installer(Type_A, [this](int& k) { Main_Type_A_KeyPress(k); });
    Filtre_Touches::Installer(KVRT_A, [this](int& k) { Main_KVRT_A_KeyPress(k); });
    Filtre_Touches::Installer(Validation_A, [this](int& k) { Main_Validation_A_KeyPress(k); });
    connect(Valide_A, &QPushButton::clicked, this, &Zone_Saisie::Main_Valide_A_Click);
    connect(Efface_A, &QPushButton::clicked, this, &Zone_Saisie::Main_Efface_A_Click);
    connect(Ajout_Saisie, &QPushButton::clicked, this, &Zone_Saisie::Main_Ajout_Saisie_Click);
    connect(Annule_Saisie, &QPushButton::clicked, this, &Zone_Saisie::Main_Annule_Saisie_Click);
    if (Type_A->lineEdit()) {
        // A type picked in the list (arrows, wheel or mouse) is the operator's, as if typed;
        // the combo box puts it in its line edit by setText, which would say otherwise.
        connect(Type_A, &QComboBox::activated, this, [this] { Type_A->lineEdit()->setModified(true); });
    }
}

QList<QWidget*> Zone_Saisie::Champs() const
{
    QList<QWidget*> champs{Date_A, Ind_A, Type_A, KVRT_A};
    if (Type_A->lineEdit())
        champs.append(Type_A->lineEdit());
    return champs;
}

void Zone_Saisie::Preparer_Type(int typeActivite)
{
    Type_A->setCurrentIndex(typeActivite);
}

void Zone_Saisie::Preparer_Date(bool automatique)
{
    m_dateAutomatique = automatique;
    Label_Date->setText(automatique ? QStringLiteral("Date automatique") : QStringLiteral("Date manuelle"));
    Date_A->setAccessibleName(Label_Date->text());
}

void Zone_Saisie::Commencer()
{
    // The list's rebuild showed the last QSO, tick included: the first QSO typed must not
    // inherit a "waiting for validation" mark the operator never set (Efface unticks it).
    Efface();
    Annule_Saisie->setEnabled(false);
}

void Zone_Saisie::Definir_Station(const QString& indicatif, const QString& annee)
{
    m_indicatif = indicatif;
    m_annee = annee;
}

void Zone_Saisie::Choisir_Date_Automatique(bool automatique)
{
    // The first field of the new date mode opens; what the other fields hold stays.
    Preparer_Date(automatique);
    if (automatique) {
        Colorer(Date_A, Jaune_Pale);
        Mettre_Date_Du_Jour();
        Ouvrir_Champ(Ind_A);
    } else {
        Colorer(Ind_A, Jaune_Pale);
        Date_A->clear();
        Ouvrir_Champ(Date_A);
    }
    // Unless a QSO is being edited, what follows is a new QSO: it does not take the mark of
    // the QSO shown.
    if (m_mode != Mode::Modification)
        Validation_A->setChecked(false);
}

int Zone_Saisie::Index_Type_A() const
{
    // -1 when the text typed is not one of the nine items.
    return Type_A->findText(Type_A->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void Zone_Saisie::Texte_Type_A(const QString& texte)
{
    const int index = Type_A->findText(texte, Qt::MatchExactly | Qt::MatchCaseSensitive);
    Type_A->setCurrentIndex(index);
    if (index < 0)
        Type_A->setEditText(texte);
}

// Whatever the program puts in a box (today's date, the QSO of a line clicked in the list,
// the values of a QSO opened for editing, the type kept from the last QSO) goes in by
// setText, which clears the line edit's "modified" flag; typing sets it, and so does a type
// picked in the list, and undoing the typing clears it again. A box emptied, by the program
// (the date in insert mode) or by the operator, holds nothing to lose.
bool Zone_Saisie::Saisie_Tapee() const
{
    for (const QLineEdit* champ : {Date_A, Ind_A, KVRT_A, Type_A->lineEdit()})
        if (champ && champ->isModified() && !champ->text().isEmpty())
            return true;
    return false;
}

void Zone_Saisie::Oublier_Annulations_Champs()
{
    // setText starts a line edit's undo history afresh.
    for (QLineEdit* champ : {Date_A, Ind_A, KVRT_A, Type_A->lineEdit()})
        if (champ)
            champ->setText(champ->text());
}

// ---------------------------------------------------------------------------------------
// Field checks

bool Zone_Saisie::Refuser(const QString& refus)
{
    if (!refus.isEmpty())
        m_plateforme.Message(refus, window());
    return !refus.isEmpty();
}

void Zone_Saisie::Main_Date_A_KeyPress(int& KeyAscii)
{
    // Before the station is set up, every key says how to set it up, and goes in as typed.
    if (Refuser(Validation_Saisie::Refus_Station(m_indicatif)))
        return;
    if (KeyAscii == 13) {
        if (Refuser(Validation_Saisie::Refus_Date(Date_A->text(), m_annee)))
            return;
        Colorer(Date_A, Jaune_Pale);
        Ouvrir_Champ(Ind_A);
    }
    Majuscule(KeyAscii);
}

void Zone_Saisie::Main_Ind_A_KeyPress(int& KeyAscii)
{
    if (Refuser(Validation_Saisie::Refus_Station(m_indicatif)))
        return;
    if (KeyAscii == 13) {
        if (Refuser(Validation_Saisie::Refus_Indicatif(Ind_A->text())))
            return;
        Colorer(Ind_A, Jaune_Pale);
        Ouvrir_Champ(Type_A);
        // Typing a type replaces the one shown rather than adding to it.
        if (Type_A->lineEdit())
            Type_A->lineEdit()->selectAll();
    }
    Majuscule(KeyAscii);
}

void Zone_Saisie::Main_Type_A_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 13) {
        Ind_A->setEnabled(true);
        Colorer(Type_A, Jaune_Pale);
        Ouvrir_Champ(KVRT_A);
        emit Type_Retenu(Index_Type_A());
    }
    Majuscule(KeyAscii);
}

void Zone_Saisie::Main_KVRT_A_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 13) {
        const QString texte = KVRT_A->text();
        if (Refuser(Validation_Saisie::Refus_Reference(texte)))
            return;
        // The QSO being edited would find itself in the log.
        if (m_mode != Mode::Modification) {
            const std::optional<QByteArray> lu = m_lireLog ? m_lireLog() : std::nullopt;
            const QString doublon =
                m_lireLog && !lu ? QString() : Validation_Saisie::Avertissement_Doublon(lu ? *lu : m_log.contenu, texte);
            if (!doublon.isEmpty())
                m_plateforme.Message(doublon, window());
        }
        if (m_chateauConnu && !m_chateauConnu(texte))
            m_plateforme.Message(QStringLiteral("Le Chateau N° ") + texte
                                     + QStringLiteral(" n'est pas dans la liste des châteaux chargée : vérifiez le numéro."
                                                      "\r\n   Le QSO peut être enregistré tout de même."),
                                 window());
        Colorer(KVRT_A, Jaune_Pale);
        Validation_A->setEnabled(true);
        Validation_A->setFocus();
    }
    Majuscule(KeyAscii);
}

void Zone_Saisie::Main_Validation_A_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 13) {
        Valide_A->setEnabled(true);
        Colorer(Ind_A, Jaune_Pale);
        Valide_A->setFocus();
    }
}

// ---------------------------------------------------------------------------------------
// Recording

Qso Zone_Saisie::Qso_Saisi() const
{
    return {Date_A->text(), Validation_A->isChecked(), KVRT_A->text(), Type_A->currentText(), Ind_A->text()};
}

bool Zone_Saisie::Champs_Enregistrables()
{
    // A field changed without Enter reaches recording unchecked: anything that would not
    // fit its column is refused rather than cut, and nothing is written.
    return !Refuser(Validation_Saisie::Refus_Qso(Qso_Saisi()));
}

void Zone_Saisie::Main_Valide_A_Click()
{
    if (!Champs_Enregistrables())
        return;
    // A QSO that could not be written stays in the fields, so that nothing typed is lost: the
    // fields start afresh only once the log has it (Apres_Modification).
    if (m_mode == Mode::Insertion || (m_mode == Mode::Saisie && !Date_Automatique()))
        emit Qso_A_Inserer(Qso_Saisi());
    else if (m_mode == Mode::Modification)
        emit Qso_A_Remplacer(m_ligneSelectionnee, Qso_Saisi());
    else
        emit Qso_A_Enregistrer(Qso_Saisi());
}

void Zone_Saisie::Suivre_Log(const Etat_Log& etat)
{
    m_log = etat;
    if (etat.lu)
        Apres_Modification(etat.sorte);
}

void Zone_Saisie::Apres_Modification(Etat_Log::Modification sorte)
{
    using M = Etat_Log::Modification;
    switch (sorte) {
    case M::Insertion:
        Terminer_Mode();
        // After any recording, insert mode included, the entry area waits for the next QSO:
        // leaving Valide_A armed on the QSO shown would let a second press write it again.
        Entree_Nouvelle_Saisie();
        break;
    case M::Enregistrement:
    case M::Edition:
    case M::Import:
        Entree_Nouvelle_Saisie();
        break;
    case M::Retour:
        // As at start-up, the QSO shown by the rebuild does not lend its mark to the next one.
        Commencer();
        break;
    case M::Lecture:
    case M::Total:
    case M::Suppression:
        break;
    }
}

void Zone_Saisie::Entree_Nouvelle_Saisie()
{
    // A recording ends an edit; an insertion in progress outlives an import.
    if (m_mode == Mode::Modification)
        m_mode = Mode::Saisie;
    Appliquer(Mode::Saisie);
    Validation_A->setEnabled(false);
}

void Zone_Saisie::Terminer_Mode()
{
    m_mode = Mode::Saisie;
    Frame3->setTitle(Caption_Saisie);
}

void Zone_Saisie::Mettre_Date_Du_Jour()
{
    Date_A->setText(Enregistrement::Texte_Date(m_plateforme.Maintenant_Utc().date()));
}

void Zone_Saisie::Appliquer(Mode mode)
{
    switch (mode) {
    case Mode::Saisie: {
        // Every field closed, then the first one of the date mode opened, with today's UTC
        // date in place or an empty date. The type stays as the next QSO's.
        Valide_A->setEnabled(false);
        for (QWidget* champ : {static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Type_A),
                               static_cast<QWidget*>(KVRT_A)})
            Colorer(champ, Jaune_Pale);
        for (QWidget* champ : {static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Type_A), static_cast<QWidget*>(KVRT_A)})
            champ->setEnabled(false);
        Ind_A->clear();
        KVRT_A->clear();
        if (Date_Automatique()) {
            Mettre_Date_Du_Jour();
            Ouvrir_Champ(Ind_A);
        } else {
            Date_A->clear();
            Ouvrir_Champ(Date_A);
        }
        // The QSO shown before does not lend its mark to the one typed next.
        Validation_A->setChecked(false);
        Oublier_Annulations_Champs();
        break;
    }
    case Mode::Insertion:
        // The date first, whatever the date mode; the rest of the fields as they were.
        m_mode = Mode::Insertion;
        Frame3->setTitle(Caption_Insertion);
        Colorer(Ind_A, Jaune_Pale);
        Colorer(KVRT_A, Jaune_Pale);
        Date_A->clear();
        Ouvrir_Champ(Date_A);
        // The QSO inserted starts unticked, whatever QSO was shown before.
        Validation_A->setChecked(false);
        break;
    case Mode::Affichage:
    case Mode::Modification: {
        const bool modifier = mode == Mode::Modification;
        const Qso qso = Qso::De_Ligne_Liste(m_ligneSelectionnee);
        Date_A->setText(qso.date);
        Validation_A->setChecked(qso.attente);
        KVRT_A->setText(qso.reference);
        Texte_Type_A(qso.type);
        Ind_A->setText(qso.indicatif);
        Colorer(Ind_A, Jaune_Pale);
        Colorer(Date_A, Jaune_Pale);
        for (QWidget* w : {static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Type_A),
                           static_cast<QWidget*>(KVRT_A), static_cast<QWidget*>(Validation_A)})
            w->setEnabled(modifier);
        // A QSO shown is locked: Valider armed before (a search chosen in the middle of an
        // entry) would write it again as a new QSO, mark included. A double click opens it.
        Valide_A->setEnabled(modifier);
        Annule_Saisie->setEnabled(!modifier);
        // The QSO opened is the program's until the operator changes it; and the type box,
        // which keeps its text when the line's type is the one already shown, must not keep
        // the mark of a type picked before either.
        Oublier_Annulations_Champs();
        if (modifier) {
            m_mode = Mode::Modification;
            Date_A->setFocus();
        }
        break;
    }
    }
}

void Zone_Saisie::Main_Efface_A_Click()
{
    Efface();
}

void Zone_Saisie::Efface()
{
    Appliquer(Mode::Saisie);
    // Cancelling also ends an edit or an insertion: otherwise the next QSO typed would
    // silently replace the one that was being edited.
    Terminer_Mode();
}

void Zone_Saisie::Remplir(const QString& indicatif, const QString& reference, const QString& type, const QString& date)
{
    // A new QSO: an edit or an insertion in progress ends, as with Annuler saisie en cours.
    Efface();
    if (!date.isEmpty())
        Date_A->setText(date);
    Ind_A->setText(indicatif);
    if (!type.isEmpty())
        Texte_Type_A(type);
    KVRT_A->setText(reference);
    // What came in counts as typed: Ctrl+Z must not wipe it out by changing the log.
    for (QLineEdit* champ : {Date_A, Ind_A, KVRT_A, Type_A->lineEdit()})
        if (champ && !champ->text().isEmpty() && (champ != Date_A || !date.isEmpty()))
            champ->setModified(true);
}

bool Zone_Saisie::Proposer(const QString& indicatif, const QString& reference)
{
    if (Saisie_Tapee()
        && !m_plateforme.Question(QStringLiteral("La saisie en cours sera remplacée par le QSO de ") + indicatif
                                         + QStringLiteral(" avec le Chateau N° ") + reference + QStringLiteral(". Continuer ?"),
                                  window()))
        return false;
    Remplir(indicatif, reference, Enregistrement::Types_Activite().at(0), QString());
    return true;
}

// ---------------------------------------------------------------------------------------
// Insert, show, edit, delete

void Zone_Saisie::Main_Ajout_Saisie_Click()
{
    Appliquer(Mode::Insertion);
}

void Zone_Saisie::Oublier_Ligne()
{
    m_ligneSelectionnee.clear();
}

void Zone_Saisie::Afficher_Ligne(const QString& ligneListe)
{
    m_ligneSelectionnee = ligneListe;
    if (m_ligneSelectionnee.isEmpty()) {
        m_plateforme.Message(QStringLiteral("Cliquez sur une ligne pour la modifier"), window());
        return;
    }
    if (Enregistrement::Ligne_Liste_Vide(m_ligneSelectionnee)) {
        m_plateforme.Message(QStringLiteral("Il n'y a pas de données a modifier"), window());
        return;
    }
    Appliquer(Mode::Affichage);
}

void Zone_Saisie::Editer_Ligne()
{
    Appliquer(Mode::Modification);
}

void Zone_Saisie::Main_Annule_Saisie_Click()
{
    if (m_ligneSelectionnee.isEmpty()) {
        m_plateforme.Message(QStringLiteral("Cliquez sur une ligne pour l'annuler"), window());
        return;
    }
    if (Enregistrement::Ligne_Liste_Vide(m_ligneSelectionnee)) {
        m_plateforme.Message(QStringLiteral("Il n'y a pas de données a annuler"), window());
        return;
    }
    const QString reference = Qso::De_Ligne_Liste(m_ligneSelectionnee).reference;
    if (m_plateforme.Question(QStringLiteral("Voulez vous effacer le KVRT N° ") + reference + QStringLiteral(" ?"), window()))
        emit Qso_A_Supprimer(reference);
    else
        emit Total_A_Recompter();

    // Whatever the answer, and whether the log could be rewritten or not, the QSO shown goes;
    // an edit or an insertion under way goes on.
    Appliquer(Mode::Saisie);
    Annule_Saisie->setEnabled(false);
}
