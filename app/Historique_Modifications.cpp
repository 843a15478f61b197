#include "Historique_Modifications.h"

#include "Apparence.h"
#include "Journal.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

Historique_Modifications::Historique_Modifications(Sous_Programmes& sp_, QWidget* parent)
    : Fenetre_Rapport(sp_, "Historique_Modifications", QStringLiteral("Historique des modifications"), parent)
{
    Label1 = new QLabel(QStringLiteral("Les modifications du log, la plus récente en haut. Choisissez une ligne puis "
                                       "\"Revenir à cet état\" pour remettre le log tel qu'il était après cette modification."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Liste_Modifications = new QTreeWidget(this);
    Liste_Modifications->setObjectName(QStringLiteral("Liste_Modifications"));
    Liste_Modifications->setHeaderLabels({QStringLiteral("Date et heure"), QStringLiteral("Opération"),
                                          QStringLiteral("QSO concernés")});
    Liste_Modifications->setRootIsDecorated(false);
    Liste_Modifications->setSelectionMode(QAbstractItemView::SingleSelection);
    Liste_Modifications->setUniformRowHeights(false);
    Liste_Modifications->setFont(Apparence::Police_Liste());
    Revenir = new QPushButton(QStringLiteral("&Revenir à cet état"), this);
    Revenir->setObjectName(QStringLiteral("Revenir"));
    Fermer = new QPushButton(QStringLiteral("&Fermer"), this);
    Fermer->setObjectName(QStringLiteral("Fermer"));

    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(Revenir);
    boutons->addWidget(Fermer);
    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Label1);
    tout->addWidget(Liste_Modifications, 1);
    tout->addLayout(boutons);

    connect(Revenir, &QPushButton::clicked, this, &Historique_Modifications::Historique_Modifications_Revenir_Click);
    connect(Fermer, &QPushButton::clicked, this, &Historique_Modifications::Historique_Modifications_Fermer_Click);
    connect(Liste_Modifications, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem*, int) { Historique_Modifications_Revenir_Click(); });
}

void Historique_Modifications::Historique_Modifications_Form_Load()
{
    Remplir();
    resize(QSize(900, 480));
    Apparence::Centrer(this);
    show();
    Liste_Modifications->setFocus();
}

static QString Libelle(const Journal::Entree& e)
{
    switch (e.genre) {
    case Journal::Genre::Annulation: return QStringLiteral("Annulation : ") + e.operation;
    case Journal::Genre::Retablissement: return QStringLiteral("Rétablissement : ") + e.operation;
    default: break;
    }
    QString texte = e.operation;
    if (!texte.isEmpty())
        texte[0] = texte.at(0).toUpper();
    return texte;
}

void Historique_Modifications::Remplir()
{
    Liste_Modifications->clear();
    const QList<Journal::Entree>& entrees = sp.Journal_Log().Entrees();
    QList<QTreeWidgetItem*> lignes;
    // Local time is the UTC time moved by the clock's present offset, as the main window shows it.
    const QDateTime u = sp.plateforme().Maintenant_Utc();
    const QDateTime l = sp.plateforme().Maintenant_Local();
    const qint64 decalage = QDateTime(u.date(), u.time(), Qt::UTC).secsTo(QDateTime(l.date(), l.time(), Qt::UTC));
    for (qsizetype i = entrees.size() - 1; i >= 0; --i) {
        const Journal::Entree& e = entrees.at(i);
        const QDateTime local = e.utc.toUTC().addSecs(decalage);
        QStringList qso = Journal::Lignes_Concernees(e);
        // The callsign's padding would only push the column past the window's edge.
        for (QString& q : qso) {
            qsizetype n = q.size();
            while (n > 0 && q.at(n - 1).isSpace())
                --n;
            q.truncate(n);
        }
        auto* ligne = new QTreeWidgetItem({local.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), Libelle(e),
                                           qso.join(QLatin1Char('\n'))});
        ligne->setData(0, Qt::UserRole, e.numero);
        ligne->setTextAlignment(0, Qt::AlignTop);
        ligne->setTextAlignment(1, Qt::AlignTop);
        lignes.append(ligne);
    }
    Liste_Modifications->addTopLevelItems(lignes);
    // Every column as wide as its text: a QSO line too long for the window scrolls rather
    // than losing its callsign to an ellipsis.
    for (int c = 0; c < 3; ++c)
        Liste_Modifications->resizeColumnToContents(c);
    if (!lignes.isEmpty())
        Liste_Modifications->setCurrentItem(lignes.first());
    Revenir->setEnabled(!lignes.isEmpty());
}

qint64 Historique_Modifications::Numero_Selectionne() const
{
    const QTreeWidgetItem* ligne = Liste_Modifications->currentItem();
    return ligne ? ligne->data(0, Qt::UserRole).toLongLong() : 0;
}

void Historique_Modifications::Historique_Modifications_Revenir_Click()
{
    const QTreeWidgetItem* ligne = Liste_Modifications->currentItem();
    if (!ligne) {
        sp.plateforme().Message(QStringLiteral("Choisissez une modification dans la liste"), this);
        return;
    }
    const qint64 numero = Numero_Selectionne();
    if (!sp.plateforme().Question(QStringLiteral("Remettre le log dans l'état où il était après la modification du %1 (%2) ?\r\n"
                                               "Ce retour pourra lui aussi être annulé.")
                                    .arg(ligne->text(0), ligne->text(1)),
                                this))
        return;
    sp.plateforme().Dire(sp.Revenir_A(numero), this);
    Remplir();
}

void Historique_Modifications::Historique_Modifications_Fermer_Click()
{
    close();
}
