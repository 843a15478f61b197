#pragma once

#include <QString>
#include <QStringView>
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QStringListModel;
class QAbstractItemModel;
class Sous_Programmes;

// "Recherche d'un QSO": finds QSOs of the main list by callsign, reference or departement.
// It reads the rows of the main window's list, never the log file, and picking a result
// selects the same row there, as a click of the operator would.
class Recherche_Indicatif : public QWidget
{
    Q_OBJECT

public:
    // liste: the rows of the main window's list, or none.
    Recherche_Indicatif(Sous_Programmes& sp, const QAbstractItemModel* liste, QWidget* parent = nullptr);

    void Recherche_Indicatif_Form_Load();
    void Recherche_Indicatif_Form_Unload();
    void Recherche_Indicatif_Command1_Click();
    void Recherche_Indicatif_Option1_Click(int Index);
    void Recherche_Indicatif_Indica_Click();
    void Recherche_Indicatif_Data_Click();
    void Recherche_Indicatif_Depa_Click();
    void Recherche_Indicatif_Indica_KeyPress(int& KeyAscii);
    void Recherche_Indicatif_Data_KeyPress(int& KeyAscii);
    void Recherche_Indicatif_Depa_KeyPress(int& KeyAscii);
    void Recherche_Indicatif_QSO_Effectues_Click();

    // The selected mode: 1 callsign, 2 reference, 3 departement.
    int Mode() const;
    QStringList Resultats() const;

    // Whether a main-list row matches the key in a mode: the callsign holds the key, the
    // whole reference equals it, or the two departement characters equal it as typed.
    static bool Correspond(int mode, QStringView ligneListe, const QString& cle);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

signals:
    // The result picked is this row of the main window's list.
    void Ligne_Choisie(int ligne);

private:
    QGroupBox* Frame1;
    QLabel* Label3;
    QGroupBox* Frame2;
    // One option per mode, indices 1 to 3 as the handlers know them; index 0 stays empty.
    QRadioButton* Option1[4] = {};
    QLineEdit* Indica;
    QLineEdit* Data;
    QLineEdit* Depa;
    QLabel* Label13;
    QLabel* Label12;
    QLabel* Label11;
    QLabel* Label10;
    QLabel* Label9;
    QListView* QSO_Effectues;
    QStringListModel* Modele_Resultats;
    QPushButton* Command1;

    QString Texte_Ligne(int ligne) const;
    void Recherche_QSO();
    // Enter in a box: its own limit and empty-box checks, then the search.
    void Valider_Case(QLineEdit* boite, int limite, const QString& messageLimite, const QString& messageVide);
    QLineEdit* Case_Du_Mode(int mode) const;
    void Placer_Entetes();

    Sous_Programmes& sp;
    const QAbstractItemModel* m_liste;
    QWidget* m_entetes = nullptr;
    bool m_choixFait = false;
};
