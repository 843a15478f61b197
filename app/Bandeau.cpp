#include "Bandeau.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Sous_Programmes.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

using namespace Apparence;

Bandeau::Bandeau(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent), sp(sp_)
{
    setObjectName(QStringLiteral("Bandeau"));
    NOMME(QLineEdit, Total_Points);
    Total_Points->setReadOnly(true);
    Total_Points->setAlignment(Qt::AlignCenter);
    Total_Points->setMaximumWidth(90);
    Colorer(Total_Points, Jaune_Pale);
    NOMME(QGroupBox, Frame2);
    NOMME(QLabel, Label37);
    NOMME(QLabel, Label34);
    NOMME(QGroupBox, Frame7);
    NOMME(QLabel, Label33);
    NOMME(QGroupBox, Frame1);
    NOMME(QLabel, A_Challenge, QStringLiteral("2006"));
    NOMME(QLabel, Label2, QStringLiteral("CHALLENGE KVRT"));
    NOMME(QLabel, I_Station, QStringLiteral("FXXXX"));
    NOMME(QTimer, Timer1, this);
    Timer1->setInterval(1000);
    NOMME(QLabel, Label11, QStringLiteral("Total Points"));

    QFont titre = font();
    titre.setBold(true);
    titre.setPointSize(titre.pointSize() + 3);
    Label2->setFont(titre);
    I_Station->setFont(titre);
    A_Challenge->setFont(titre);
    auto* station = new QHBoxLayout(Frame1);
    station->addWidget(Label2);
    station->addSpacing(12);
    station->addWidget(I_Station);
    station->addSpacing(12);
    station->addWidget(A_Challenge);
    station->addStretch();

    QFont horloge = font();
    horloge.setBold(true);
    for (QLabel* l : {Label37, Label34, Label33}) {
        l->setFont(horloge);
        l->setMinimumWidth(QFontMetrics(horloge).horizontalAdvance(QStringLiteral("00:00 Utc")) + 8);
        l->setAlignment(Qt::AlignCenter);
    }
    auto* heures = new QVBoxLayout(Frame2);
    heures->addWidget(Label37);
    heures->addWidget(Label34);
    auto* jour = new QVBoxLayout(Frame7);
    jour->addWidget(Label33);

    auto* total = new QVBoxLayout;
    total->addWidget(Label11, 0, Qt::AlignHCenter);
    total->addWidget(Total_Points, 0, Qt::AlignHCenter);

    // Station, clock and total, across the top.
    auto* haut = new QHBoxLayout(this);
    haut->setContentsMargins(0, 0, 0, 0);
    haut->addWidget(Frame1, 1);
    haut->addWidget(Frame2);
    haut->addWidget(Frame7);
    haut->addLayout(total);

    // The total announces its label's text to a screen reader.
    Etiqueter(Label11, Total_Points);
    connect(Timer1, &QTimer::timeout, this, &Bandeau::Main_Timer1_Timer);
}

void Bandeau::Montrer_Station(const QString& indicatif, const QString& annee)
{
    I_Station->setText(indicatif);
    A_Challenge->setText(annee);
}

void Bandeau::Montrer_Total(const QString& total)
{
    Total_Points->setText(total);
}

QWidget* Bandeau::Boite_Total() const
{
    return Total_Points;
}

void Bandeau::Demarrer_Horloge()
{
    Timer1->start();
}

void Bandeau::Main_Timer1_Timer()
{
    Label37->setEnabled(true);
    Label37->setText(sp.Heure_Utc().left(5) + QStringLiteral(" Utc"));
    Label34->setEnabled(true);
    Label34->setText(sp.Heure_Locale().left(5) + QStringLiteral(" Loc"));
    Label33->setText(sp.Date_Du_Jour());
}
