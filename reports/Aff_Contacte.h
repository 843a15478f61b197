#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QListView;
class Modele_Contactes;
class Sous_Programmes;

// "KVRT contactés": every QSO of the log with its points, in the order of the references,
// built once when the window opens.
class Aff_Contacte : public QWidget
{
    Q_OBJECT

public:
    Aff_Contacte(Sous_Programmes& sp, QWidget* parent = nullptr);

    QGroupBox* Frame1;
    QLabel* Label3;
    QGroupBox* Frame2;
    QLabel* Label2;
    QListView* Liste_KVRT_Contacte;
    Modele_Contactes* Modele_Contacte;
    QLabel* Label4;
    QLabel* Label1;

    void Aff_Contacte_Form_Load();

    // The list's lines, top to bottom.
    QStringList Lignes() const;

private:
    Sous_Programmes& sp;
};
