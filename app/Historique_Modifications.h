#pragma once

#include "Fenetre_Rapport.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class Sous_Programmes;

// "Historique des modifications": the changes of the log kept in its journal, newest first,
// and the return of the log to the state after any one of them. Every change of the log, made
// here or elsewhere, shows in the list at once.
class Historique_Modifications : public Fenetre_Rapport
{
    Q_OBJECT

public:
    Historique_Modifications(Sous_Programmes& sp, QWidget* parent = nullptr);

    QLabel* Label1;
    QTreeWidget* Liste_Modifications;
    QPushButton* Revenir;
    QPushButton* Fermer;

    void Historique_Modifications_Form_Load();
    void Charger() override { Historique_Modifications_Form_Load(); }
    void Historique_Modifications_Revenir_Click();
    void Historique_Modifications_Fermer_Click();
    // Fills the list from the journal again.
    void Remplir();
    // The journal entry of the selected row, 0 when none is selected.
    qint64 Numero_Selectionne() const;

protected:
    void Suivre_Log(const Etat_Log&) override { Remplir(); }
};
