#include "Aff_Contacte.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Enregistrement.h"
#include "Modele_Contactes.h"
#include "Rapports.h"
#include "Sous_Programmes.h"
#include "Texte1252.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Apparence;

Aff_Contacte::Aff_Contacte(Sous_Programmes& sp_, QWidget* parent)
    : Fenetre_Rapport(sp_, "Aff_Contacte", QStringLiteral("KVRT contactés"), parent)
{
    NOMME(QGroupBox, Frame1, this);
    NOMME(QLabel, Label3, QStringLiteral("Liste des Chateaux contactés"), Frame1);
    Cadre_Titre(Frame1, Label3);

    NOMME(QGroupBox, Frame2, this);
    NOMME(QLabel, Label2, QStringLiteral("  "), Frame2);
    NOMME(QListView, Liste_KVRT_Contacte, Frame2);
    Modele_Contacte = new Modele_Contactes(this);
    Preparer_Liste(Liste_KVRT_Contacte, Modele_Contacte);
    const QFontMetrics mesure(Liste_KVRT_Contacte->font());
    Liste_KVRT_Contacte->setMinimumSize(
        qMax(393, mesure.horizontalAdvance(QString(60, u'0')) + Liste_KVRT_Contacte->verticalScrollBar()->sizeHint().width() + 8),
        436);
    NOMME(QLabel, Label4, Frame2);
    NOMME(QLabel, Label1, QStringLiteral("(*) = activation non validée"), Frame2);

    auto* bas = new QHBoxLayout;
    bas->addWidget(Label4);
    bas->addStretch();
    bas->addWidget(Label1);
    auto* cadre = new QVBoxLayout(Frame2);
    cadre->addWidget(Label2);
    cadre->addWidget(Liste_KVRT_Contacte, 1);
    cadre->addLayout(bas);

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Frame1);
    tout->addWidget(Frame2, 1);
}

QStringList Aff_Contacte::Lignes() const
{
    return Modele_Contacte->Lignes();
}

void Aff_Contacte::Aff_Contacte_Form_Load()
{
    resize(sizeHint().expandedTo(QSize(441, 562)));
    // Centred once shown, when the size of the window's frame is known.
    show();
    Centrer(this);
    Label2->setText(Rapports::Entete_Contactes());
    Modele_Contacte->Remplacer({});

    Lire_Log([this](const QByteArray* log) { Remplir(log); });
}

void Aff_Contacte::Suivre_Log(const Etat_Log& etat)
{
    Remplir(etat.lu ? &etat.contenu : nullptr);
}

void Aff_Contacte::Remplir(const QByteArray* log)
{
    if (!log) {
        Modele_Contacte->Remplacer({});
        Label4->clear();
        return;
    }
    // Each line scored by the rule of Calcul_Points_Ligne, read straight from the log's bytes.
    Modele_Contacte->Remplacer(Rapports::Contactes(*log));
    Label4->setText(Rapports::Ligne_Total_Contactes(sp.Etat().Total()));
}
