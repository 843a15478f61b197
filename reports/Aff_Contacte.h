#pragma once

#include "Fenetre_Rapport.h"

class QGroupBox;
class QLabel;
class QListView;
class Modele_Contactes;
class Sous_Programmes;

// "KVRT contactés": every QSO of the log with its points, in the order of the references,
// built when the window opens and after every change.
class Aff_Contacte : public Fenetre_Rapport
{
    Q_OBJECT

public:
    Aff_Contacte(Sous_Programmes& sp, QWidget* parent = nullptr);

    void Aff_Contacte_Form_Load();
    void Charger() override { Aff_Contacte_Form_Load(); }

    // The list's lines, top to bottom.
    QStringList Lignes() const;

protected:
    void Suivre_Log(const Etat_Log& etat) override;

private:
    QGroupBox* Frame1;
    QLabel* Label3;
    QGroupBox* Frame2;
    QLabel* Label2;
    QListView* Liste_KVRT_Contacte;
    Modele_Contactes* Modele_Contacte;
    QLabel* Label4;
    QLabel* Label1;

    // The list from the log's bytes, or empty (a log that could not be read), and its total.
    void Remplir(const QByteArray* log);
};
