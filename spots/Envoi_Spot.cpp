#include "Envoi_Spot.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Regle_Spot.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Apparence;

Envoi_Spot::Envoi_Spot(const QString& frequence, const QString& indicatif, const QString& reference, QWidget* parent)
    : QDialog(parent), m_frequence(frequence), m_indicatif(indicatif), m_reference(reference)
{
    setObjectName(QStringLiteral("Envoi_Spot"));
    setWindowTitle(QStringLiteral("Spotter un château"));
    NOMME(QLabel, Label_Ligne, QStringLiteral("Ligne envoyée au nœud :"));
    NOMME(QLabel, Ligne_Envoyee);
    Ligne_Envoyee->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Ligne_Envoyee->setTextFormat(Qt::PlainText);
    Ligne_Envoyee->setFont(Police_Liste(10));
    NOMME(QLabel, Label_Commentaire, QStringLiteral("&Commentaire :"));
    NOMME(QLineEdit, Commentaire);
    // What the nodes pass on after "KVRT 29018 " (30 characters); Ligne_Spot cuts the rest.
    Commentaire->setMaxLength(19);
    NOMME(QPushButton, Envoyer, QStringLiteral("&Envoyer"));
    NOMME(QPushButton, Annuler, QStringLiteral("Annuler"));
    Envoyer->setDefault(true);
    Etiqueter(Label_Commentaire, Commentaire);

    auto* commentaire = new QHBoxLayout;
    commentaire->addWidget(Label_Commentaire);
    commentaire->addWidget(Commentaire, 1);
    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(Envoyer);
    boutons->addWidget(Annuler);
    auto* tout = new QVBoxLayout(this);
    tout->addWidget(Label_Ligne);
    tout->addWidget(Ligne_Envoyee);
    tout->addLayout(commentaire);
    tout->addLayout(boutons);
    Ordre_Clavier({Commentaire, Envoyer, Annuler});

    connect(Commentaire, &QLineEdit::textChanged, this, &Envoi_Spot::Montrer_Ligne);
    connect(Envoyer, &QPushButton::clicked, this, &QDialog::accept);
    connect(Annuler, &QPushButton::clicked, this, &QDialog::reject);
    Montrer_Ligne();
    Commentaire->setFocus();
}

QString Envoi_Spot::Ligne() const
{
    return Regle_Spot::Ligne_Spot(m_frequence, m_indicatif, m_reference, Commentaire->text());
}

void Envoi_Spot::Montrer_Ligne()
{
    Ligne_Envoyee->setText(Ligne());
}
