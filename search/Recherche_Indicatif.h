#pragma once

#include <QWidget>

class Sous_Programmes;

class Recherche_Indicatif : public QWidget
{
    Q_OBJECT

public:
    Recherche_Indicatif(Sous_Programmes& sp, QWidget* parent = nullptr);
    void Recherche_Indicatif_Form_Load();

private:
    Sous_Programmes& sp;
};
