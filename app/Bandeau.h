#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class Sous_Programmes;

// The top row of the main window: the station and the year of the log, the UTC and local
// time and the day, ticking every second, and the total of points.
class Bandeau : public QWidget
{
    Q_OBJECT

public:
    explicit Bandeau(Sous_Programmes& sp, QWidget* parent = nullptr);

    void Montrer_Station(const QString& indicatif, const QString& annee);
    void Montrer_Total(const QString& total);
    // The box of the total, for the main window's undo keys.
    QWidget* Boite_Total() const;
    // The clock runs from the start of the program on.
    void Demarrer_Horloge();
    void Main_Timer1_Timer();

private:
    Sous_Programmes& sp;
    QGroupBox* Frame1;
    QLabel* Label2;
    QLabel* I_Station;
    QLabel* A_Challenge;
    QGroupBox* Frame2;
    QLabel* Label37;
    QLabel* Label34;
    QGroupBox* Frame7;
    QLabel* Label33;
    QLabel* Label11;
    QLineEdit* Total_Points;
    QTimer* Timer1;
};
