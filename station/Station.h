#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Sous_Programmes;

// "Selection Indicatif et Année": the station callsign and the challenge year that name the log.
class Station : public QDialog
{
    Q_OBJECT

public:
    Station(Sous_Programmes& sp, QWidget* parent = nullptr);

    void Station_Form_Load();
    void Station_New_Indicatif_KeyPress(int& KeyAscii);
    void Station_New_Annee_KeyPress(int& KeyAscii);
    void Station_Validation_Click();
    void Station_Form_Unload();

    // Checks shared with start-up, which reads the store as untrusted.
    static bool Indicatif_Valide(const QString& indicatif);
    static bool Annee_Valide(const QString& annee);
    // Upper case that never changes the length of a value.
    static QString Majuscules(const QString& texte);

signals:
    // The station and the year to show as the station's (the callsign written as shown): the
    // pair typed while it is checked, then the station in use.
    void Station_Affichee(const QString& indicatif, const QString& annee);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Sous_Programmes& sp;
    QGroupBox* Frame1;
    QLabel* Label2;
    QGroupBox* Frame2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* New_Indicatif;
    QLineEdit* New_Annee;
    QPushButton* Validation;
};
