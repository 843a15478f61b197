#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class Sous_Programmes;

// "Historique des modifications": the changes of the log kept in its journal, newest first,
// and the return of the log to the state after any one of them.
class Historique_Modifications : public QWidget
{
    Q_OBJECT

public:
    Historique_Modifications(Sous_Programmes& sp, QWidget* parent = nullptr);

    Sous_Programmes& sp;
    QLabel* Label1;
    QTreeWidget* Liste_Modifications;
    QPushButton* Revenir;
    QPushButton* Fermer;

    void Historique_Modifications_Form_Load();
    void Historique_Modifications_Revenir_Click();
    void Historique_Modifications_Fermer_Click();
    // Fills the list from the journal again.
    void Remplir();
    // The journal entry of the selected row, 0 when none is selected.
    qint64 Numero_Selectionne() const;
};
