#include "Recherche_Indicatif.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Enregistrement.h"
#include "Filtre_Touches.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QAbstractItemModel>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QVBoxLayout>

using namespace Apparence;

namespace {

// A picked result is looked up in the main list by its first characters; rows are
// shorter than this, so in practice the whole row is compared.
constexpr int Longueur_Comparee = 134;

const QString Message_Indicatif_Vide = QStringLiteral("Entrez un indicatif");
const QString Message_Reference_Vide = QStringLiteral("Entrez une reference");
const QString Message_Departement_Vide = QStringLiteral("Entrez un departement");

} // namespace

Recherche_Indicatif::Recherche_Indicatif(Sous_Programmes& sp_, const QAbstractItemModel* liste, QWidget* parent)
    : QWidget(parent, Qt::Window), sp(sp_), m_liste(liste)
{
    setObjectName(QStringLiteral("Recherche_Indicatif"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Recherche d'un QSO"));

    NOMME(QGroupBox, Frame1, this);
    NOMME(QLabel, Label3, QStringLiteral("Rechercher un QSO par ..."), Frame1);
    QFont titre = Label3->font();
    titre.setBold(true);
    titre.setPointSize(titre.pointSize() + 2);
    Label3->setFont(titre);
    (new QHBoxLayout(Frame1))->addWidget(Label3);

    NOMME(QGroupBox, Frame2, this);
    const char* const titres[] = {nullptr, "Indicatif", "KVRT", "Dpt"};
    // An array of controls: each named after the array and its index, Option1_1 to Option1_3.
    for (int i = 1; i <= 3; ++i) {
        Option1[i] = new QRadioButton(QString::fromLatin1(titres[i]), Frame2);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
    }
    Option1[1]->setChecked(true);

    NOMME(QLineEdit, Indica, Frame2);
    NOMME(QLineEdit, Data, Frame2);
    NOMME(QLineEdit, Depa, Frame2);
    // Each box is named after the option beside it, for a screen reader.
    for (int i = 1; i <= 3; ++i)
        Case_Du_Mode(i)->setAccessibleName(Option1[i]->text());
    const QFontMetrics mesure(font());
    Indica->setMinimumWidth(mesure.horizontalAdvance(QStringLiteral("WWWWWWWWWWWW")));
    Data->setMinimumWidth(mesure.horizontalAdvance(QStringLiteral("WWWWW")) + 16);
    Depa->setMinimumWidth(mesure.horizontalAdvance(QStringLiteral("WW")) + 16);
    for (QLineEdit* boite : {Indica, Data, Depa}) {
        boite->setMaximumWidth(boite->minimumWidth() + 24);
        Colorer(boite, Jaune_Pale);
    }

    m_entetes = Controle_Nomme(new QWidget(Frame2), "Entetes");
    NOMME(QLabel, Label13, QStringLiteral("N°"), m_entetes);
    NOMME(QLabel, Label12, QStringLiteral("Date"), m_entetes);
    NOMME(QLabel, Label11, QStringLiteral("KVRT"), m_entetes);
    NOMME(QLabel, Label10, QStringLiteral("Type d'activité"), m_entetes);
    NOMME(QLabel, Label9, QStringLiteral("Indicatif"), m_entetes);
    m_entetes->setMinimumHeight(mesure.height() + 4);

    NOMME(QListView, QSO_Effectues, this);
    Modele_Resultats = new QStringListModel(this);
    Preparer_Liste(QSO_Effectues, Modele_Resultats);
    QSO_Effectues->setToolTip(QStringLiteral("Cliquez sur le QSO pour le selectionner"));
    QSO_Effectues->setMinimumWidth(QFontMetrics(QSO_Effectues->font()).horizontalAdvance(QString(63, u'0')) + 30);
    QSO_Effectues->setMinimumHeight(160);
    QSO_Effectues->setAccessibleName(QStringLiteral("QSO trouvés"));

    NOMME(QPushButton, Command1, QStringLiteral("Quitter"), this);

    // Each option with its box just to its right, the three side by side.
    auto* options = new QGridLayout(Frame2);
    options->addWidget(Option1[1], 0, 0);
    options->addWidget(Indica, 0, 1);
    options->addWidget(Option1[2], 0, 2);
    options->addWidget(Data, 0, 3);
    options->addWidget(Option1[3], 0, 4);
    options->addWidget(Depa, 0, 5);
    options->setColumnStretch(6, 1);
    options->addWidget(m_entetes, 1, 0, 1, 7);

    auto* bas = new QHBoxLayout;
    bas->addStretch();
    bas->addWidget(Command1);

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Frame1);
    tout->addWidget(Frame2);
    tout->addWidget(QSO_Effectues, 1);
    tout->addLayout(bas);

    Ordre_Clavier({Indica, Data, Depa, QSO_Effectues, Command1});

    Filtre_Touches::Installer(Indica, [this](int& k) { Recherche_Indicatif_Indica_KeyPress(k); });
    Filtre_Touches::Installer(Data, [this](int& k) { Recherche_Indicatif_Data_KeyPress(k); });
    Filtre_Touches::Installer(Depa, [this](int& k) { Recherche_Indicatif_Depa_KeyPress(k); });
    // A click in a box chooses its mode; reaching it with Tab does not.
    for (QLineEdit* boite : {Indica, Data, Depa})
        boite->installEventFilter(this);
    for (int i = 1; i <= 3; ++i)
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Recherche_Indicatif_Option1_Click(i); });
    connect(Command1, &QPushButton::clicked, this, &Recherche_Indicatif::Recherche_Indicatif_Command1_Click);
    // A click picks a result; Enter on the current result does the same from the keyboard.
    auto choisir = [this](const QModelIndex& index) {
        if (!index.isValid())
            return;
        QSO_Effectues->setCurrentIndex(index);
        Recherche_Indicatif_QSO_Effectues_Click();
    };
    connect(QSO_Effectues, &QListView::clicked, this, choisir);
    connect(QSO_Effectues, &QListView::activated, this, choisir);
}

void Recherche_Indicatif::Recherche_Indicatif_Form_Load()
{
    resize(sizeHint());
    Indica->clear();
    // Centred once shown, when the size of the window's frame is known.
    show();
    Centrer(this);
    activateWindow();
    Indica->setFocus();
}

void Recherche_Indicatif::Recherche_Indicatif_Form_Unload()
{
    // Nothing to keep: the results go with the window.
}

void Recherche_Indicatif::closeEvent(QCloseEvent* event)
{
    Recherche_Indicatif_Form_Unload();
    event->accept();
}

void Recherche_Indicatif::Recherche_Indicatif_Command1_Click()
{
    close();
}

void Recherche_Indicatif::Recherche_Indicatif_Option1_Click(int Index)
{
    Q_UNUSED(Index);
    // The focus goes to the box of the option now selected.
    if (QLineEdit* boite = Case_Du_Mode(Mode()))
        boite->setFocus();
}

void Recherche_Indicatif::Recherche_Indicatif_Indica_Click()
{
    Option1[1]->setChecked(true);
}

void Recherche_Indicatif::Recherche_Indicatif_Data_Click()
{
    Option1[2]->setChecked(true);
}

void Recherche_Indicatif::Recherche_Indicatif_Depa_Click()
{
    Option1[3]->setChecked(true);
}

bool Recherche_Indicatif::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (objet == Indica)
            Recherche_Indicatif_Indica_Click();
        else if (objet == Data)
            Recherche_Indicatif_Data_Click();
        else if (objet == Depa)
            Recherche_Indicatif_Depa_Click();
    }
    return QWidget::eventFilter(objet, event);
}

void Recherche_Indicatif::Recherche_Indicatif_Indica_KeyPress(int& KeyAscii)
{
    if (KeyAscii >= 97 && KeyAscii <= 122)
        KeyAscii -= 32;
    if (KeyAscii == 13) {
        KeyAscii = 0;
        Valider_Case(Indica, 12, QStringLiteral("Attention 12 caracteres maxi pour l'indicatif"), Message_Indicatif_Vide);
    }
}

void Recherche_Indicatif::Recherche_Indicatif_Data_KeyPress(int& KeyAscii)
{
    if (KeyAscii >= 97 && KeyAscii <= 122)
        KeyAscii -= 32;
    if (KeyAscii == 13) {
        KeyAscii = 0;
        Valider_Case(Data, 5, QStringLiteral("Attention 5 caracteres maxi pour une reference"), Message_Reference_Vide);
    }
}

void Recherche_Indicatif::Recherche_Indicatif_Depa_KeyPress(int& KeyAscii)
{
    // The departement is taken as typed: "2a" and "2A" are different keys.
    if (KeyAscii == 13) {
        KeyAscii = 0;
        Valider_Case(Depa, 2, QStringLiteral("Attention 2 caracteres maxi pour le departement"), Message_Departement_Vide);
    }
}

void Recherche_Indicatif::Valider_Case(QLineEdit* boite, int limite, const QString& messageLimite, const QString& messageVide)
{
    if (boite->text().size() > limite) {
        sp.plateforme().Message(messageLimite, this);
        return;
    }
    if (boite->text().isEmpty()) {
        sp.plateforme().Message(messageVide, this);
        boite->clear();
        return;
    }
    // The search follows the selected option, whichever box took the Enter key.
    Recherche_QSO();
}

void Recherche_Indicatif::Recherche_QSO()
{
    Modele_Resultats->setStringList(QStringList());
    const int lignes = m_liste ? m_liste->rowCount() : 0;

    if (lignes > 0) {
        const int mode = Mode();
        QLineEdit* boite = Case_Du_Mode(mode);
        // A pasted line may bring its line break along in front of the text.
        QString texte = boite->text();
        if (texte.startsWith(QLatin1String("\r\n"))) {
            texte.remove(0, 2);
            boite->setText(texte);
        }
        if (texte.isEmpty()) {
            const QString messages[] = {QString(), Message_Indicatif_Vide, Message_Reference_Vide, Message_Departement_Vide};
            sp.plateforme().Message(messages[mode], this);
            if (mode == 1)
                boite->clear();
            return;
        }
        const QString cle = mode == 3 ? texte : texte.toUpper();
        QStringList trouves;
        for (int i = 0; i < lignes; ++i) {
            const QString ligne = Texte_Ligne(i);
            if (Correspond(mode, ligne, cle))
                trouves.append(ligne);
        }
        Modele_Resultats->setStringList(trouves);
    }

    if (Modele_Resultats->rowCount() == 0)
        sp.plateforme().Message(QStringLiteral("Pas de QSO trouvé"), this);
    Indica->clear();
    Data->clear();
    Depa->clear();
}

bool Recherche_Indicatif::Correspond(int mode, QStringView ligneListe, const QString& cle)
{
    using namespace Enregistrement;
    switch (mode) {
    case 1:
        return Champ_Nettoye(ligneListe, Dans_Liste(Place_Indicatif)).contains(cle);
    case 2:
        return Champ_Nettoye(ligneListe, Dans_Liste(Place_Reference)) == cle;
    case 3:
        return Champ(ligneListe, Dans_Liste(Place_Departement)) == cle;
    default:
        return false;
    }
}

void Recherche_Indicatif::Recherche_Indicatif_QSO_Effectues_Click()
{
    // A click and an activation of the same result may both arrive: pick once.
    if (m_choixFait)
        return;
    const QModelIndex index = QSO_Effectues->currentIndex();
    if (!index.isValid())
        return;
    m_choixFait = true;
    const QString choisie = index.data(Qt::DisplayRole).toString().left(Longueur_Comparee);
    if (m_liste) {
        // Each row begins with its own line number, so at most one row matches; none does
        // when the log has changed since the search.
        for (int i = 0; i < m_liste->rowCount(); ++i)
            if (Texte_Ligne(i).left(Longueur_Comparee) == choisie)
                emit Ligne_Choisie(i);
    }
    close();
}

QString Recherche_Indicatif::Texte_Ligne(int ligne) const
{
    return m_liste->data(m_liste->index(ligne, 0), Qt::DisplayRole).toString();
}

int Recherche_Indicatif::Mode() const
{
    for (int i = 1; i <= 3; ++i)
        if (Option1[i]->isChecked())
            return i;
    return 1;
}

QStringList Recherche_Indicatif::Resultats() const
{
    return Modele_Resultats->stringList();
}

QLineEdit* Recherche_Indicatif::Case_Du_Mode(int mode) const
{
    switch (mode) {
    case 2:
        return Data;
    case 3:
        return Depa;
    default:
        return Indica;
    }
}

void Recherche_Indicatif::Placer_Entetes()
{
    // The headings stand over the columns of the fixed-pitch results: number, date,
    // reference, type and callsign begin at characters 1, 9, 19, 26 and 50 of a row.
    const QFontMetrics mesure(QSO_Effectues->font());
    const int largeur = mesure.horizontalAdvance(QLatin1Char('0'));
    const int origine = QSO_Effectues->viewport()->mapTo(this, QPoint(0, 0)).x() - m_entetes->mapTo(this, QPoint(0, 0)).x() + 4;
    const struct { QLabel* label; int colonne; } places[] = {
        {Label13, 2}, {Label12, 8}, {Label11, 18}, {Label10, 25}, {Label9, 49}};
    for (const auto& p : places) {
        p.label->adjustSize();
        p.label->move(origine + p.colonne * largeur, 0);
    }
}

void Recherche_Indicatif::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Placer_Entetes();
}

void Recherche_Indicatif::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Placer_Entetes();
}
