#include "Carte_Acti.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Image_Carte.h"
#include "Plateforme.h"
#include "Sous_Programmes.h"
#include "Texte1252.h"

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
    NOMME(QGroupBox, Frame1, this);
    NOMME(QLabel, Label4, QStringLiteral("Challenge KVRT"), Frame1);
    NOMME(QLabel, Label2, Frame1);
    NOMME(QLabel, NB_Dep, Frame1);
    NB_Dep->setMinimumWidth(QFontMetrics(titre).horizontalAdvance(QStringLiteral("000")));
    NB_Dep->setAlignment(Qt::AlignCenter);
    NOMME(QLabel, Label3, QStringLiteral("Départements contactés"), Frame1);
    auto* ligne = new QHBoxLayout(Frame1);
    ligne->addStretch();
    for (QLabel* l : {Label4, Label2, NB_Dep, Label3}) {
        l->setFont(titre);
        ligne->addWidget(l);
    }
    ligne->addStretch();

    NOMME(Image_Carte, Picture1, this);
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
    // A log that cannot be read leaves the count empty rather than a misleading 0.
    QByteArray contenu;
    const ErreurFichier e = FichierLog::Lire_Tout(sp.Nom_Log(), contenu);
    const int Nb = Colorie_Carte(e.ok() ? &contenu : nullptr);
    NB_Dep->setText(e.ok() ? QString::number(Nb) : QString());
    if (!e.ok())
        sp.plateforme().Message(e.message, this);
}

void Carte_Acti::Suivre_Log(const Etat_Log& etat)
{
    Label2->setText(sp.Annee_Challenge());
    const int Nb = Colorie_Carte(etat.lu ? &etat.contenu : nullptr);
    NB_Dep->setText(etat.lu ? QString::number(Nb) : QString());
}

int Carte_Acti::Colorie_Carte(const QByteArray* contenu)
{
    if (!contenu)
        return Peindre(nullptr);
    // Each box is painted once however many QSOs name it: a long log stays quick.
    QList<bool> peint(100, false);
    QString code;
    Texte1252::Pour_Chaque_Ligne(*contenu, [&](QByteArrayView ligne) {
        Texte1252::Decoder(Enregistrement::Champ_Octets(ligne, Enregistrement::Place_Departement), code);
        const int numero = Enregistrement::Case_Departement(code);
        if (numero >= 0 && numero < peint.size())
            peint[numero] = true;
    });
    return Peindre(&peint);
}

int Carte_Acti::Peindre(const QList<bool>* contactes)
{
    // Each box takes its colour once, and only when it changes.
    auto colorer = [](QLabel* boite, const QColor& couleur) {
        if (Couleur(boite) != couleur)
            Colorer(boite, couleur);
    };
    for (qsizetype i = 0; i < Dep.size(); ++i)
        colorer(Dep[i], contactes && contactes->value(i) ? Vert_Carte : Couleur_Non_Contacte());
    // The count is read back from the boxes, the only record of what was painted.
    int Nb = 0;
    for (int i = 1; i <= 99 && i < Dep.size(); ++i)
        if (Couleur(Dep[i]).rgb() == Vert_Carte.rgb())
            ++Nb;
    Picture1->update();
    return Nb;
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
