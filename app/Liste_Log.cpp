#include "Liste_Log.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Modele_Liste_Log.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QVBoxLayout>

using namespace Apparence;

Liste_Log::Liste_Log(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Liste_Log"));
    NOMME(QListView, Liste_KVRT);
    Modele_Liste = new Modele_Liste_Log(this);
    Preparer_Liste(Liste_KVRT, Modele_Liste);
    Liste_KVRT->setToolTip(QStringLiteral("Un click sur un QSO pour l'afficher ou l'effacer, un double clck pour l'éditer"));
    Liste_KVRT->setMinimumHeight(220);
    Liste_KVRT->setMinimumWidth(QFontMetrics(Liste_KVRT->font()).horizontalAdvance(QString(63, u'0')) + 30);
    Liste_KVRT->setAccessibleName(QStringLiteral("QSO du log"));

    const QString consigne = QStringLiteral("Un click sur un QSO pour l'afficher ou l'effacer, un double clck pour l'éditer");
    NOMME(QGroupBox, L_KVRT, consigne);
    NOMME(QLabel, Label7, QStringLiteral("( * ) Points = 0 en attente de validation du Chateau"));
    Label7->setFont(QFont(QStringLiteral("Arial")));
    NOMME(QLabel, Label6, QStringLiteral("N°"));
    NOMME(QLabel, Label4, QStringLiteral("Type Activité"));
    NOMME(QLabel, Label5, QStringLiteral("KVRT"));
    NOMME(QLabel, Label25, QStringLiteral("Indicatif"));
    NOMME(QLabel, Label23, QStringLiteral("Date"));

    // Column headings over the list, placed by character in Placer_Entetes().
    auto* entetes = new QVBoxLayout(L_KVRT);
    auto* ligneEntetes = new QWidget(L_KVRT);
    ligneEntetes->setObjectName(QStringLiteral("Entetes"));
    for (QLabel* l : {Label6, Label23, Label5, Label4, Label25})
        l->setParent(ligneEntetes);
    ligneEntetes->setMinimumHeight(QFontMetrics(font()).height() + 4);
    entetes->addWidget(Label7);
    entetes->addWidget(ligneEntetes);

    // Spaced as the rows of the window around it, of which these two are a part.
    auto* tout = new QVBoxLayout(this);
    tout->setContentsMargins(0, 0, 0, 0);
    tout->addWidget(L_KVRT);
    tout->addWidget(Liste_KVRT, 1);

    // The click handling runs on every change of the selected line, by the user or by the
    // program, and on a click on the line already selected.
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
    Placer_Entetes();
}

void Liste_Log::Placer_Entetes()
{
    // Number, date, reference, type and callsign begin at characters 1, 9, 19, 26 and 50 of
    // a list line.
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

bool Liste_Log::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == Liste_KVRT->viewport() && event->type() == QEvent::MouseButtonPress)
        m_ligneAvantClic = Liste_KVRT->currentIndex().row();
    return QWidget::eventFilter(objet, event);
}

void Liste_Log::Remplacer(QByteArray contenu)
{
    m_selectionParProgramme = true;
    Modele_Liste->Remplacer(std::move(contenu));
    m_selectionParProgramme = false;
    Selectionner_Ligne(Modele_Liste->rowCount() - 1);
}

void Liste_Log::Selectionner_Ligne(int index)
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
        emit Aucune_Ligne();
}

int Liste_Log::Ligne_Courante() const
{
    // The current line is the selected one: the list selects one line at most, and the
    // current index moves before the selection does while a click is being handled.
    const QModelIndex i = Liste_KVRT->selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

QString Liste_Log::Texte_Ligne(int index) const
{
    return Modele_Liste->data(Modele_Liste->index(index), Qt::DisplayRole).toString();
}

int Liste_Log::Nombre_Lignes() const
{
    return Modele_Liste->rowCount();
}

const QAbstractItemModel* Liste_Log::Modele() const
{
    return Modele_Liste;
}

void Liste_Log::Main_Liste_KVRT_Click()
{
    const int index = Ligne_Courante();
    emit Ligne_Montree(index >= 0 ? Texte_Ligne(index) : QString());
}

void Liste_Log::Main_Liste_KVRT_DblClick()
{
    emit Ligne_A_Editer();
}
