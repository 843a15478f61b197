// The entry area of the main window: field checks on Enter, recording, insertion by date,
// showing, editing and deleting a QSO.

#include "Main.h"

#include "Apparence.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sous_Programmes.h"
#include "Texte1252.h"
#include "Veille_Spots.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

using namespace Apparence;

static const QString Caption_Saisie = QStringLiteral("Saisie ou modification d'un QSO");
static const QString Caption_Insertion = QStringLiteral("Mode Insertion d'un QSO");

static void Majuscule(int& KeyAscii)
{
    if (KeyAscii > 96 && KeyAscii < 123)
        KeyAscii -= 32;
}

bool Main::Date_Automatique() const
{
    return Mnu_Date_Auto_Oui->isChecked();
}

int Main::Index_Type_A() const
{
    // -1 when the text typed is not one of the nine items.
    return Type_A->findText(Type_A->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void Main::Texte_Type_A(const QString& texte)
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
bool Main::Saisie_Tapee() const
{
    for (const QLineEdit* champ : {Date_A, Ind_A, KVRT_A, Type_A->lineEdit()})
        if (champ && champ->isModified() && !champ->text().isEmpty())
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------
// Field checks

static bool Garde_Premiere_Installation(Main& m)
{
    if (m.sp.Indicatif_Station != QLatin1String("FXXXX"))
        return false;
    m.sp.plateforme.Message(QStringLiteral("\r\n  Premiere installation, vous devez entrer votre Indicatif et l'année du Challenge\r\n\r\n"
                                           "    Pour cela dans la barre des menus allez dans Station puis Nouvel Indicatif."),
                            &m);
    return true;
}

void Main::Main_Date_A_KeyPress(int& KeyAscii)
{
    if (Garde_Premiere_Installation(*this))
        return;
    if (KeyAscii == 13) {
        QString texte = Date_A->text();
        if (texte.isEmpty()) {
            sp.plateforme.Message(QStringLiteral("Entrez une date"), this);
            return;
        }
        if (texte.size() != 8) {
            sp.plateforme.Message(QStringLiteral("Format de la date JJ/MM/AA"), this);
            return;
        }
        int resultat = 0;
        sp.Controle_Format_Date(texte, resultat);
        if (resultat == 1) {
            sp.plateforme.Message(QStringLiteral("Le format date doit etre JJ/MM/AA"), this);
            return;
        }
        if (texte.right(2) != A_Challenge->text().right(2)) {
            sp.plateforme.Message(QStringLiteral("Attention la date saisie ne correspond pas a l'année du Challenge"), this);
            return;
        }
        Colorer(Date_A, Jaune_Pale);
        Ind_A->setEnabled(true);
        Colorer(Ind_A, Vert_Pale);
        Ind_A->setFocus();
    }
    Majuscule(KeyAscii);
}

void Main::Main_Ind_A_KeyPress(int& KeyAscii)
{
    if (Garde_Premiere_Installation(*this))
        return;
    if (KeyAscii == 13) {
        const QString texte = Ind_A->text();
        if (texte.isEmpty()) {
            sp.plateforme.Message(QStringLiteral("Entrez un indicatif"), this);
            return;
        }
        if (texte.size() > 12) {
            sp.plateforme.Message(QStringLiteral("12 caracteres maxi pour l'indicatif"), this);
            return;
        }
        Colorer(Ind_A, Jaune_Pale);
        Type_A->setEnabled(true);
        Colorer(Type_A, Vert_Pale);
        Type_A->setFocus();
        // Typing a type replaces the one shown rather than adding to it.
        if (Type_A->lineEdit())
            Type_A->lineEdit()->selectAll();
    }
    Majuscule(KeyAscii);
}

void Main::Main_Type_A_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 13) {
        Ind_A->setEnabled(true);
        Colorer(Type_A, Jaune_Pale);
        Colorer(KVRT_A, Vert_Pale);
        KVRT_A->setEnabled(true);
        KVRT_A->setFocus();
        sp.reglages.Ecrire(Reglages::Section_Station(sp.Indicatif_Station), QStringLiteral("Type Activite"),
                           QString::number(Index_Type_A()));
    }
    Majuscule(KeyAscii);
}

void Main::Main_KVRT_A_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 13) {
        QString texte = KVRT_A->text();
        if (texte.size() != 5) {
            sp.plateforme.Message(QStringLiteral("5 chiffres pour le N° du Chateau"), this);
            return;
        }
        for (QChar c : texte) {
            const ushort u = c.unicode();
            if (!((u >= 48 && u <= 57) || u == 65 || u == 66)) {
                sp.plateforme.Message(QStringLiteral("Le N° du Chateauu ne doit comporter que des chiffres"), this);
                return;
            }
        }
        if (!sp.Mode_Modification) {
            int trouve = 0;
            QString date;
            sp.Recherche_Doublon(texte, trouve, date);
            if (trouve != 0)
                sp.plateforme.Message(QStringLiteral("Le Chateau N° ") + texte + QStringLiteral(" a déja été contacté le ") + date
                                          + QStringLiteral("\r\n   mettre Type Activité a Double ou annulez la saisie"),
                                      this);
        }
        // The castle list may be older than the castle: a warning, never a refusal.
        if (!Veille->Liste().Vide() && !Veille->Liste().Contient(texte))
            sp.plateforme.Message(QStringLiteral("Le Chateau N° ") + texte
                                      + QStringLiteral(" n'est pas dans la liste des châteaux chargée : vérifiez le numéro."
                                                       "\r\n   Le QSO peut être enregistré tout de même."),
                                  this);
        Colorer(KVRT_A, Jaune_Pale);
        Validation_A->setEnabled(true);
        Validation_A->setFocus();
    }
    Majuscule(KeyAscii);
}

void Main::Main_Validation_A_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 13) {
        Valide_A->setEnabled(true);
        Colorer(Ind_A, Jaune_Pale);
        Valide_A->setFocus();
    }
}

// ---------------------------------------------------------------------------------------
// Recording

QString Main::Construire_Enregistrement() const
{
    return Enregistrement::Construire_Ligne_Log(Date_A->text(), Validation_A->isChecked(), KVRT_A->text(),
                                                Type_A->currentText(), Ind_A->text());
}

bool Main::Champs_Enregistrables()
{
    // A field changed without Enter reaches recording unchecked: anything that would not
    // fit its column is refused rather than cut, and nothing is written.
    struct Champ { QString texte; int largeur; const char* nom; };
    const Champ champs[] = {
        {Date_A->text(), 8, "la date"},
        {KVRT_A->text(), 5, "le N° KVRT"},
        {Type_A->currentText(), 22, "le type d'activité"},
        {Ind_A->text(), 12, "l'indicatif"},
    };
    if (champs[0].texte.size() != 8) {
        sp.plateforme.Message(QStringLiteral("QSO non enregistré : la date doit comporter 8 caractères (JJ/MM/AA)"), this);
        return false;
    }
    for (const Champ& c : champs) {
        if (c.texte.size() > c.largeur) {
            sp.plateforme.Message(QStringLiteral("QSO non enregistré : %1 comporte plus de %2 caractères")
                                      .arg(QString::fromUtf8(c.nom)).arg(c.largeur),
                                  this);
            return false;
        }
        // A line end pasted into a field would cut the record in two lines of the log.
        if (!Texte1252::Representable(c.texte) || c.texte.contains(u'\r') || c.texte.contains(u'\n')) {
            sp.plateforme.Message(QStringLiteral("QSO non enregistré : %1 comporte un caractère qui ne peut pas être écrit dans le log")
                                      .arg(QString::fromUtf8(c.nom)),
                                  this);
            return false;
        }
    }
    return true;
}

void Main::Main_Valide_A_Click()
{
    if (!Champs_Enregistrables())
        return;
    if (sp.Mode_Insertion) {
        Insere_QSO();
        return;
    }
    QString enregistrement = Construire_Enregistrement();
    bool ecrit = false;
    if (sp.Mode_Modification) {
        ecrit = sp.Remplace_Ou_Ajoute_Ligne(sp.Ligne_Selectionnee, enregistrement);
    } else if (Mnu_Date_Auto_Non->isChecked()) {
        Insere_QSO();
        return;
    } else {
        ecrit = sp.Ajoute_Ligne(enregistrement);
    }
    // A QSO that could not be written stays in the fields, so that nothing typed is lost.
    if (!ecrit)
        return;
    int total = 0;
    if (!sp.Calcul_Total_Points(total))
        return;
    Afficher_Total(total);
    Entree_Nouvelle_Saisie();
}

// The new-entry state after a recording: the fields reset for the next QSO of the date mode.
void Main::Entree_Nouvelle_Saisie()
{
    sp.Mode_Modification = false;
    Validation_A->setChecked(false);
    Validation_A->setEnabled(false);
    Valide_A->setEnabled(false);
    Ind_A->clear();
    Ind_A->setEnabled(false);
    Colorer(Ind_A, Jaune_Pale);
    Colorer(Type_A, Jaune_Pale);
    Type_A->setEnabled(false);
    Ouvrir_Premier_Champ();
}

// Opens the first field of the date mode for a new QSO: the callsign with today's UTC date
// in place, or an empty date. Shared by a recording, Efface and a delete.
void Main::Ouvrir_Premier_Champ()
{
    if (Date_Automatique()) {
        Colorer(Date_A, Jaune_Pale);
        QString aujourdhui;
        sp.Date_Du_Jour(aujourdhui);
        Date_A->setText(aujourdhui);
        KVRT_A->clear();
        Ind_A->clear();
        Ind_A->setEnabled(true);
        Colorer(Ind_A, Vert_Pale);
        Ind_A->setFocus();
    } else {
        Colorer(KVRT_A, Jaune_Pale);
        KVRT_A->clear();
        Date_A->setEnabled(true);
        Date_A->clear();
        Colorer(Date_A, Vert_Pale);
        Date_A->setFocus();
    }
    Oublier_Annulations_Champs();
}

void Main::Main_Efface_A_Click()
{
    Efface();
}

void Main::Efface()
{
    Valide_A->setEnabled(false);
    Colorer(Date_A, Jaune_Pale);
    Ind_A->clear();
    Ind_A->setEnabled(false);
    Colorer(Ind_A, Jaune_Pale);
    Colorer(Type_A, Jaune_Pale);
    Type_A->setEnabled(false);
    Colorer(KVRT_A, Jaune_Pale);
    KVRT_A->setEnabled(false);
    Ouvrir_Premier_Champ();
    // The QSO shown before does not lend its mark to the one typed next.
    Validation_A->setChecked(false);
    // Cancelling also ends an edit or an insertion: otherwise the next QSO typed would
    // silently replace the one that was being edited.
    sp.Mode_Modification = false;
    sp.Mode_Insertion = false;
    Frame3->setTitle(Caption_Saisie);
}

// ---------------------------------------------------------------------------------------
// Insert, show, edit, delete

void Main::Main_Ajout_Saisie_Click()
{
    Frame3->setTitle(Caption_Insertion);
    Colorer(Ind_A, Jaune_Pale);
    Date_A->setEnabled(true);
    Colorer(Date_A, Vert_Pale);
    Date_A->clear();
    Date_A->setFocus();
    Colorer(KVRT_A, Jaune_Pale);
    // The QSO inserted starts unticked, whatever QSO was shown before.
    Validation_A->setChecked(false);
    sp.Mode_Insertion = true;
    sp.Mode_Modification = false;
}

void Main::Insere_QSO()
{
    const QString enregistrement = Construire_Enregistrement();
    const QByteArray nouvelle = Texte1252::Encoder(enregistrement);
    int dateNouvelle = 0;
    const bool dateLisible = Enregistrement::Date_Comparable(enregistrement, dateNouvelle);

    QByteArray contenu;
    if (!sp.Lire_Contenu(contenu))
        return;
    QList<QByteArray> lignes = Texte1252::Couper_Lignes(contenu);
    QList<QByteArray> resultat;
    resultat.reserve(lignes.size() + 1);
    bool ecrit = false;
    QString debutLigne;
    for (const QByteArray& ligne : lignes) {
        int dateLigne = 0;
        // A line that does not begin with a readable date keeps its place and never
        // decides where the new QSO goes.
        if (!ecrit && dateLisible) {
            Texte1252::Decoder(Texte1252::Morceau(ligne, 0, 8), debutLigne);
            if (Enregistrement::Date_Comparable(debutLigne, dateLigne) && dateLigne >= dateNouvelle) {
                resultat.append(nouvelle);
                ecrit = true;
            }
        }
        resultat.append(ligne);
    }
    if (!ecrit)
        resultat.append(nouvelle);
    lignes = QList<QByteArray>();
    // The log is as it was on a failure, and the QSO stays in the fields.
    if (!sp.Reecrire_Log(contenu, resultat, Sous_Programmes::Nom_Operation(QStringLiteral("insertion"), enregistrement),
                         QStringLiteral("Le QSO n'a pas été enregistré.")))
        return;
    // The lines read are no longer needed: the total and the list come from the file again.
    contenu = QByteArray();
    resultat = QList<QByteArray>();

    const bool pourInsertion = sp.Mode_Insertion;
    Frame3->setTitle(Caption_Saisie);
    sp.Mode_Insertion = false;
    int total = 0;
    if (!sp.Calcul_Total_Points(total))
        return;
    Afficher_Total(total);
    sp.Rafraichir_Liste_Log();
    // After any recording, insert mode included, the entry area waits for the next QSO:
    // leaving Valide_A armed on the QSO shown would let a second press write it again.
    Q_UNUSED(pourInsertion)
    Entree_Nouvelle_Saisie();
}

void Main::Main_Liste_KVRT_Click()
{
    const int index = Ligne_Courante();
    sp.Ligne_Selectionnee = index >= 0 ? Texte_Ligne(index) : QString();
    if (sp.Ligne_Selectionnee.isEmpty()) {
        sp.plateforme.Message(QStringLiteral("Cliquez sur une ligne pour la modifier"), this);
        return;
    }
    const QString& ligne = sp.Ligne_Selectionnee;
    if (Enregistrement::Ligne_Liste_Vide(ligne)) {
        sp.plateforme.Message(QStringLiteral("Il n'y a pas de données a modifier"), this);
        return;
    }
    Date_A->setText(Enregistrement::Champ(ligne, 9, 8).toString());
    Validation_A->setChecked(Enregistrement::Champ_Nettoye(ligne, 18, 1) == QLatin1String("*"));
    KVRT_A->setText(Enregistrement::Champ_Nettoye(ligne, 19, 5));
    Texte_Type_A(Enregistrement::Champ_Nettoye(ligne, 26, 22));
    Ind_A->setText(Enregistrement::Champ_Nettoye(ligne, 50, 12));
    Colorer(Ind_A, Jaune_Pale);
    Colorer(Date_A, Jaune_Pale);
    for (QWidget* w : {static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Type_A),
                       static_cast<QWidget*>(KVRT_A), static_cast<QWidget*>(Validation_A)})
        w->setEnabled(false);
    // A QSO shown is locked: Valider armed before (a search chosen in the middle of an entry)
    // would write it again as a new QSO, mark included. A double click opens it for editing.
    Valide_A->setEnabled(false);
    Annule_Saisie->setEnabled(true);
    // The type box keeps its text when the line's type is the one already shown: it must not
    // keep the mark of a type picked before either.
    Oublier_Annulations_Champs();
}

void Main::Main_Liste_KVRT_DblClick()
{
    const QString& ligne = sp.Ligne_Selectionnee;
    sp.Mode_Modification = true;
    sp.Mode_Insertion = false;
    Date_A->setEnabled(true);
    Colorer(Date_A, Jaune_Pale);
    Date_A->setText(Enregistrement::Champ(ligne, 9, 8).toString());
    for (QWidget* w : {static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Type_A), static_cast<QWidget*>(KVRT_A),
                       static_cast<QWidget*>(Validation_A)})
        w->setEnabled(true);
    KVRT_A->setText(Enregistrement::Champ_Nettoye(ligne, 19, 5));
    Texte_Type_A(Enregistrement::Champ_Nettoye(ligne, 26, 22));
    Ind_A->setText(Enregistrement::Champ_Nettoye(ligne, 50, 12));
    Validation_A->setChecked(Enregistrement::Champ_Nettoye(ligne, 18, 1) == QLatin1String("*"));
    Valide_A->setEnabled(true);
    Annule_Saisie->setEnabled(false);
    // The QSO opened is the program's until the operator changes it.
    Oublier_Annulations_Champs();
    Date_A->setFocus();
}

void Main::Main_Annule_Saisie_Click()
{
    if (sp.Ligne_Selectionnee.isEmpty()) {
        sp.plateforme.Message(QStringLiteral("Cliquez sur une ligne pour l'annuler"), this);
        return;
    }
    if (Enregistrement::Ligne_Liste_Vide(sp.Ligne_Selectionnee)) {
        sp.plateforme.Message(QStringLiteral("Il n'y a pas de données a annuler"), this);
        return;
    }
    QString reference = Enregistrement::Champ_Nettoye(sp.Ligne_Selectionnee, 19, 5);
    if (sp.plateforme.Question(QStringLiteral("Voulez vous effacer le KVRT N° ") + reference + QStringLiteral(" ?"), this))
        sp.Supprime_Lignes_Reference(reference);

    int total = 0;
    if (!sp.Calcul_Total_Points(total))
        return;
    Afficher_Total(total);
    Valide_A->setEnabled(false);
    Colorer(Date_A, Jaune_Pale);
    Ind_A->clear();
    Ind_A->setEnabled(false);
    Colorer(Ind_A, Jaune_Pale);
    KVRT_A->clear();
    KVRT_A->setEnabled(false);
    Colorer(KVRT_A, Jaune_Pale);
    Colorer(Type_A, Jaune_Pale);
    Type_A->setEnabled(false);
    Ouvrir_Premier_Champ();
    // As at start-up, the QSO shown by the rebuild does not lend its mark to the next one.
    Validation_A->setChecked(false);
    Annule_Saisie->setEnabled(false);
}

// ---------------------------------------------------------------------------------------
// A castle spotted

void Main::Saisir_Spot(const QString& indicatif, const QString& reference)
{
    if (Garde_Premiere_Installation(*this))
        return;
    // What the operator is typing is his: replaced only when he says so.
    if (Saisie_Tapee()
        && !sp.plateforme.Question(QStringLiteral("La saisie en cours sera remplacée par le QSO de ") + indicatif
                                       + QStringLiteral(" avec le Chateau N° ") + reference + QStringLiteral(". Continuer ?"),
                                   this))
        return;
    // A new QSO, as after Annuler saisie: an edit or an insertion in progress ends, and the
    // date is today's in automatic date mode, the operator's to type otherwise.
    Efface();
    Ind_A->setText(indicatif);
    Texte_Type_A(Enregistrement::Types_Activite().at(0));
    KVRT_A->setText(reference);
    Oublier_Annulations_Champs();
    // The keys go to the entry area: each Enter runs its field's check, up to Valider.
    activateWindow();
    raise();
}
