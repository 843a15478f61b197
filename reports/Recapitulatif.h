#pragma once

#include "Fenetre_Rapport.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class Sous_Programmes;

// "Feuille Récapitulative": the counts of the log by activity type, the departements
// contacted and the total points, counted when the window opens and after every change.
class Recapitulatif : public Fenetre_Rapport
{
    Q_OBJECT

public:
    Recapitulatif(Sous_Programmes& sp, QWidget* parent = nullptr);

    void Recapitulatif_Form_Load();
    void Recapitulatif_Form_Unload();
    void Charger() override { Recapitulatif_Form_Load(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void Suivre_Log(const Etat_Log& etat) override;

private:
    QGroupBox* Frame1;
    QLabel* Label2;
    QGroupBox* Frame2;
    QLabel* Label8;
    QLineEdit* Nb_CC;
    QLabel* Label7;
    QLineEdit* Nb_CR;
    QLabel* Label5;
    QLineEdit* Nb_RC;
    QLabel* Label10;
    QLineEdit* Nb_CA;
    QLabel* Label3;
    QLineEdit* Nb_AR;
    QLabel* Label1;
    QLineEdit* Nb_RA;
    QLabel* Label9;
    QLineEdit* Nb_DO;
    QLabel* Label4;
    QLineEdit* Nb_Dpt;
    QFrame* Line1;
    QLabel* Label6;
    QLabel* Annee_X;
    QLineEdit* Nb_Points_Tot;
    QFrame* Line2;

    // The boxes from the log's bytes, or empty (a log that could not be read: no false zero).
    void Compter(const QByteArray* contenu);
};
