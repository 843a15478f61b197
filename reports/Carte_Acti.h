#pragma once

#include "Fenetre_Rapport.h"

#include <QVector>

class QGroupBox;
class QLabel;
class Image_Carte;
class Sous_Programmes;

// "Carte des départements contactés": the map of France with one box per departement
// number, painted green when the log holds a castle of that departement.
class Carte_Acti : public Fenetre_Rapport
{
    Q_OBJECT

public:
    Carte_Acti(Sous_Programmes& sp, QWidget* parent = nullptr);

    void Carte_Acti_Form_Load();
    void Carte_Acti_Form_Unload();
    void Charger() override { Carte_Acti_Form_Load(); }

    // The colour of a box that is not painted: the desktop's window background.
    static QColor Couleur_Non_Contacte();
    // Paints the boxes of the departements contactes (by number), the others not, or none when
    // the log could not be read; gives the count of the boxes painted.
    int Peindre(const QList<bool>* contactes);
    // Paints the departements of the log's bytes and gives how many; none: a log that could
    // not be read, nothing painted.
    int Colorie_Carte(const QByteArray* contenu);

protected:
    void closeEvent(QCloseEvent* event) override;
    void Suivre_Log(const Etat_Log& etat) override;

private:
    QGroupBox* Frame1;
    QLabel* Label4;
    QLabel* Label2;
    QLabel* NB_Dep;
    QLabel* Label3;
    Image_Carte* Picture1;
    // One box per departement number, 0 to 99; the number is the index.
    QVector<QLabel*> Dep;
};
