#pragma once

#include <QWidget>

class Sous_Programmes;

class Aff_Contacte : public QWidget
{
    Q_OBJECT

public:
    Aff_Contacte(Sous_Programmes& sp, QWidget* parent = nullptr);
    void Aff_Contacte_Form_Load();

private:
    Sous_Programmes& sp;
};
