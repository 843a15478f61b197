#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// "Spotter un château": the line the node will receive for a row of the spots, its comment
// editable; Enter (Envoyer) accepts it, and the window sends it.
class Envoi_Spot : public QDialog
{
    Q_OBJECT

public:
    Envoi_Spot(const QString& frequence, const QString& indicatif, const QString& reference, QWidget* parent = nullptr);

    // "DX 7012.0 F5XYZ/P KVRT 29018 tnx qso", as Regle_Spot::Ligne_Spot writes it.
    QString Ligne() const;

private:
    void Montrer_Ligne();

    QString m_frequence;
    QString m_indicatif;
    QString m_reference;
    QLabel* Label_Ligne;
    QLabel* Ligne_Envoyee;
    QLabel* Label_Commentaire;
    QLineEdit* Commentaire;
    QPushButton* Envoyer;
    QPushButton* Annuler;
};
