#pragma once

#include <QWidget>

class Sous_Programmes;

class Carte_Acti : public QWidget
{
    Q_OBJECT

public:
    Carte_Acti(Sous_Programmes& sp, QWidget* parent = nullptr);
    void Carte_Acti_Form_Load();

private:
    Sous_Programmes& sp;
};
