#pragma once

#include <QWidget>

class Sous_Programmes;

class Recapitulatif : public QWidget
{
    Q_OBJECT

public:
    Recapitulatif(Sous_Programmes& sp, QWidget* parent = nullptr);
    void Recapitulatif_Form_Load();

private:
    Sous_Programmes& sp;
};
