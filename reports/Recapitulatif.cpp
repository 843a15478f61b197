#include "Recapitulatif.h"

#include "Apparence.h"
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
    Frame1 = Cadre_Titre("Frame1", "Label2", QStringLiteral("RECAPITULATIF DES CONTACTS"), Label2);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* grille = new QGridLayout(Frame2);
    grille->setColumnStretch(0, 1);
    QFont gras = font();
    gras.setBold(true);
    int rang = 0;
    auto etiquette = [&](const char* nom, const QString& texte) {
        auto* l = new QLabel(texte, Frame2);
        l->setObjectName(QString::fromLatin1(nom));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    auto boite = [&](const char* nom) {
        auto* b = new QLineEdit(Frame2);
        b->setObjectName(QString::fromLatin1(nom));
        b->setReadOnly(true);
        b->setAlignment(Qt::AlignCenter);
        b->setFont(gras);
        b->setFixedWidth(57);
        Colorer(b, Jaune_Pale);
        return b;
    };
    auto rangee = [&](QLabel*& label, const char* nomLabel, const QString& texte, QLineEdit*& nb, const char* nomBoite) {
        label = etiquette(nomLabel, texte);
        nb = boite(nomBoite);
        grille->addWidget(label, rang, 0);
        grille->addWidget(nb, rang, 1);
        Etiqueter(label, nb);
        ++rang;
    };
    auto ligne = [&](const char* nom) {
        auto* l = new QFrame(Frame2);
        l->setObjectName(QString::fromLatin1(nom));
        l->setFrameShape(QFrame::HLine);
        l->setFrameShadow(QFrame::Sunken);
        grille->addWidget(l, rang++, 0, 1, 2);
        return l;
    };
    rangee(Label8, "Label8", QStringLiteral("Nombre d'activations KVRT contactées"), Nb_CC, "Nb_CC");
    rangee(Label7, "Label7", QStringLiteral("Nombre de réactivations KVRT contactées"), Nb_CR, "Nb_CR");
    rangee(Label5, "Label5", QStringLiteral("Nombre de KVRT résidents Contactés"), Nb_RC, "Nb_RC");
    rangee(Label10, "Label10", QStringLiteral("Nombre de KVRT activés"), Nb_CA, "Nb_CA");
    rangee(Label3, "Label3", QStringLiteral("Nombre de KVRT réactivés"), Nb_AR, "Nb_AR");
    rangee(Label1, "Label1", QStringLiteral("Nombre de KVRT résidents activés"), Nb_RA, "Nb_RA");
    rangee(Label9, "Label9", QStringLiteral("Nombre de KVRT en double"), Nb_DO, "Nb_DO");
    rangee(Label4, "Label4", QStringLiteral("Nombre de départements contactés"), Nb_Dpt, "Nb_Dpt");
    Line1 = ligne("Line1");

    // The total's label is followed by the year, both right-aligned before the box.
    Label6 = new QLabel(QStringLiteral("Total des points du Challenge"), Frame2);
    Label6->setObjectName(QStringLiteral("Label6"));
    Annee_X = new QLabel(QStringLiteral("2005"), Frame2);
    Annee_X->setObjectName(QStringLiteral("Annee_X"));
    Nb_Points_Tot = boite("Nb_Points_Tot");
    Etiqueter(Label6, Nb_Points_Tot);
    auto* total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(Label6);
    total->addWidget(Annee_X);
    grille->addLayout(total, rang, 0);
    grille->addWidget(Nb_Points_Tot, rang, 1);
    ++rang;
    Line2 = ligne("Line2");

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
