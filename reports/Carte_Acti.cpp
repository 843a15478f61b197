#include "Carte_Acti.h"
#include "Rapports_Contactes.h"

#include "Apparence.h"
#include "Image_Carte.h"
#include "Sous_Programmes.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

using namespace Apparence;

namespace {

QString Texte_Case(int numero)
{
    switch (numero) {
    case 0: return QStringLiteral("00");
    case 20: case 98: case 99: return QStringLiteral("X");
    case 96: return QStringLiteral("2a");
    case 97: return QStringLiteral("2b");
    default: return QString::number(numero).rightJustified(2, u'0');
    }
}

} // namespace

QColor Carte_Acti::Couleur_Non_Contacte()
{
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
}

Carte_Acti::Carte_Acti(Sous_Programmes& sp_, QWidget* parent)
    : Fenetre_Rapport(sp_, "Carte_Acti", QStringLiteral("Carte des départements contactés"), parent)
{
    QFont titre = font();
    titre.setPointSize(12);
    titre.setBold(true);
    auto etiquette = [&](const char* nom, const QString& texte, QWidget* parent) {
        auto* l = new QLabel(texte, parent);
        l->setObjectName(QString::fromLatin1(nom));
        l->setFont(titre);
        return l;
    };
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label4 = etiquette("Label4", QStringLiteral("Challenge KVRT"), Frame1);
    Label2 = etiquette("Label2", QString(), Frame1);
    NB_Dep = etiquette("NB_Dep", QString(), Frame1);
    NB_Dep->setMinimumWidth(QFontMetrics(titre).horizontalAdvance(QStringLiteral("000")));
    NB_Dep->setAlignment(Qt::AlignCenter);
    Label3 = etiquette("Label3", QStringLiteral("Départements contactés"), Frame1);
    auto* ligne = new QHBoxLayout(Frame1);
    ligne->addStretch();
    for (QLabel* l : {Label4, Label2, NB_Dep, Label3})
        ligne->addWidget(l);
    ligne->addStretch();

    Picture1 = new Image_Carte(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->Contacte = [this](int numero) {
        return numero >= 0 && numero < Dep.size() && Couleur(Dep[numero]) == Vert_Carte;
    };

    QFont police(QStringLiteral("Arial"));
    police.setPointSizeF(9.75);
    police.setBold(true);
    Dep.resize(100);
    // The boxes take the colour of a departement not contacted from the map they lie on: one
    // palette for the hundred, and only the contacted ones get their own.
    Colorer(Picture1, Couleur_Non_Contacte());
    for (int i = 0; i < 100; ++i) {
        auto* boite = new QLabel(Texte_Case(i), Picture1);
        boite->setObjectName(QStringLiteral("Dep_%1").arg(i, 2, 10, QLatin1Char('0')));
        boite->setFont(police);
        boite->setAlignment(Qt::AlignCenter);
        boite->setFrameShape(QFrame::Box);
        boite->setLineWidth(1);
        // The box's colour lives in the Base role, as for the entry boxes of the other windows.
        boite->setBackgroundRole(QPalette::Base);
        boite->setAutoFillBackground(true);
        boite->setGeometry(Picture1->Place_Case(i));
        // 0, 20, 98 and 99 stand for no departement: they exist but are never seen.
        boite->setVisible(i != 0 && i != 20 && i != 98 && i != 99);
        Dep[i] = boite;
    }

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Frame1);
    tout->addWidget(Picture1, 0, Qt::AlignHCenter);
    tout->setSizeConstraint(QLayout::SetFixedSize);
}

void Carte_Acti::Carte_Acti_Form_Load()
{
    // The year is known before painting: the header takes its final width at once.
    Label2->setText(sp.Annee_Challenge());
    adjustSize();
    // Centred once shown, when the size of the window's frame is known.
    show();
    Centrer(this);
    int Nb = 0;
    // A log that cannot be read leaves the count empty rather than a misleading 0.
    const bool lu = Rapports_Contactes::Colorie_Carte(sp, *this, Nb);
    NB_Dep->setText(lu ? QString::number(Nb) : QString());
}

void Carte_Acti::Suivre_Log(const Etat_Log& etat)
{
    Label2->setText(sp.Annee_Challenge());
    int Nb = 0;
    Rapports_Contactes::Colorie_Carte(*this, etat.lu ? &etat.contenu : nullptr, Nb);
    NB_Dep->setText(etat.lu ? QString::number(Nb) : QString());
}

void Carte_Acti::Carte_Acti_Form_Unload()
{
    // Nothing to keep: the window is deleted on close, and the next opening paints afresh.
}

void Carte_Acti::closeEvent(QCloseEvent* event)
{
    Carte_Acti_Form_Unload();
    event->accept();
}
