#include "Recapitulatif.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Rapports.h"
#include "Sous_Programmes.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Apparence;

Recapitulatif::Recapitulatif(Sous_Programmes& sp_, QWidget* parent)
    : Fenetre_Rapport(sp_, "Recapitulatif", QStringLiteral("Feuille Récapitulative"), parent)
{
    NOMME(QGroupBox, Frame1, this);
    NOMME(QLabel, Label2, QStringLiteral("RECAPITULATIF DES CONTACTS"), Frame1);
    Cadre_Titre(Frame1, Label2);

    NOMME(QGroupBox, Frame2, this);
    auto* grille = new QGridLayout(Frame2);
    grille->setColumnStretch(0, 1);
    QFont gras = font();
    gras.setBold(true);
    int rang = 0;
    auto boite = [&](QLineEdit* b) {
        b->setReadOnly(true);
        b->setAlignment(Qt::AlignCenter);
        b->setFont(gras);
        b->setFixedWidth(57);
        Colorer(b, Jaune_Pale);
    };
    auto rangee = [&](QLabel* label, QLineEdit* nb) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        boite(nb);
        grille->addWidget(label, rang, 0);
        grille->addWidget(nb, rang, 1);
        Etiqueter(label, nb);
        ++rang;
    };
    auto ligne = [&](QFrame* l) {
        l->setFrameShape(QFrame::HLine);
        l->setFrameShadow(QFrame::Sunken);
        grille->addWidget(l, rang++, 0, 1, 2);
    };
    rangee(NOMME(QLabel, Label8, QStringLiteral("Nombre d'activations KVRT contactées"), Frame2), NOMME(QLineEdit, Nb_CC, Frame2));
    rangee(NOMME(QLabel, Label7, QStringLiteral("Nombre de réactivations KVRT contactées"), Frame2), NOMME(QLineEdit, Nb_CR, Frame2));
    rangee(NOMME(QLabel, Label5, QStringLiteral("Nombre de KVRT résidents Contactés"), Frame2), NOMME(QLineEdit, Nb_RC, Frame2));
    rangee(NOMME(QLabel, Label10, QStringLiteral("Nombre de KVRT activés"), Frame2), NOMME(QLineEdit, Nb_CA, Frame2));
    rangee(NOMME(QLabel, Label3, QStringLiteral("Nombre de KVRT réactivés"), Frame2), NOMME(QLineEdit, Nb_AR, Frame2));
    rangee(NOMME(QLabel, Label1, QStringLiteral("Nombre de KVRT résidents activés"), Frame2), NOMME(QLineEdit, Nb_RA, Frame2));
    rangee(NOMME(QLabel, Label9, QStringLiteral("Nombre de KVRT en double"), Frame2), NOMME(QLineEdit, Nb_DO, Frame2));
    rangee(NOMME(QLabel, Label4, QStringLiteral("Nombre de départements contactés"), Frame2), NOMME(QLineEdit, Nb_Dpt, Frame2));
    ligne(NOMME(QFrame, Line1, Frame2));

    // The total's label is followed by the year, both right-aligned before the box.
    NOMME(QLabel, Label6, QStringLiteral("Total des points du Challenge"), Frame2);
    NOMME(QLabel, Annee_X, QStringLiteral("2005"), Frame2);
    boite(NOMME(QLineEdit, Nb_Points_Tot, Frame2));
    Etiqueter(Label6, Nb_Points_Tot);
    auto* total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(Label6);
    total->addWidget(Annee_X);
    grille->addLayout(total, rang, 0);
    grille->addWidget(Nb_Points_Tot, rang, 1);
    ++rang;
    ligne(NOMME(QFrame, Line2, Frame2));

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Frame1);
    tout->addWidget(Frame2);
    tout->addStretch();
}

void Recapitulatif::Recapitulatif_Form_Load()
{
    resize(sizeHint().expandedTo(QSize(360, 354)));
    // Centred once shown, when the size of the window's frame is known.
    show();
    Centrer(this);
    Lire_Log([this](const QByteArray* contenu) { Compter(contenu); });
}

void Recapitulatif::Suivre_Log(const Etat_Log& etat)
{
    Compter(etat.lu ? &etat.contenu : nullptr);
}

void Recapitulatif::Compter(const QByteArray* contenu)
{
    Annee_X->setText(sp.Annee_Challenge());
    if (!contenu) {
        // Nothing to count: the boxes stay empty rather than show a false zero.
        for (QLineEdit* b : {Nb_CC, Nb_CR, Nb_RC, Nb_CA, Nb_AR, Nb_RA, Nb_DO, Nb_Dpt, Nb_Points_Tot})
            b->clear();
        return;
    }
    const Rapports::Recapitulatif r = Rapports::Compter(*contenu);
    Nb_CC->setText(QString::number(r.Nb_CC));
    Nb_CR->setText(QString::number(r.Nb_CR));
    Nb_RC->setText(QString::number(r.Nb_RC));
    Nb_CA->setText(QString::number(r.Nb_CA));
    Nb_AR->setText(QString::number(r.Nb_AR));
    Nb_RA->setText(QString::number(r.Nb_RA));
    Nb_DO->setText(QString::number(r.Nb_DO));
    Nb_Points_Tot->setText(QString::number(r.Points));
    Nb_Dpt->setText(QString::number(r.Nb_Dpt));
}

void Recapitulatif::Recapitulatif_Form_Unload()
{
    // Nothing to keep: the window is deleted on close, and the next opening counts again.
}

void Recapitulatif::closeEvent(QCloseEvent* event)
{
    Recapitulatif_Form_Unload();
    event->accept();
}
