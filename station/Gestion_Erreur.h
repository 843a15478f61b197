#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class Sous_Programmes;

// "Interception erreur 53": the settings name a station whose log is not in the folder of
// the logs. "Initialiser" resets the station so that the next start asks again.
class Gestion_Erreur : public QDialog
{
    Q_OBJECT

public:
    Gestion_Erreur(Sous_Programmes& sp, QWidget* parent = nullptr);

    void Gestion_Erreur_Form_Load();
    void Gestion_Erreur_Initialisation_Click();
    void Gestion_Erreur_Quitter_Click();

private:
    Sous_Programmes& sp;
    QGroupBox* Frame1;
    QLabel* Label2;
    QPushButton* Initialisation;
    QPushButton* Quitter;
    QGroupBox* Frame2;
    QLabel* Label1;
    QLabel* Label3;
    QLabel* Ind_Station;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label9;
    QLabel* Ind_Station1;
    QLabel* Err_Departement;
    // The folder where the log was looked for: the program's, or the user's own when the
    // program folder is shared.
    QLabel* Dossier_Log;
};
