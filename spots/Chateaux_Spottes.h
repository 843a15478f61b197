#pragma once

#include <QModelIndex>
#include <QString>
#include <QWidget>

class Filtre_Spots;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;
class Sous_Programmes;
class Veille_Spots;

// "Châteaux spottés": the castles on the air that the DX cluster announces, one row per
// callsign and castle, the newest first, each saying whether the castle is still to contact
// this season. A double click (or Enter) on a row hands its callsign and castle to the entry
// area of the main window, which records nothing until the operator validates. The rows are
// those of one band, or of all, younger than the age; "Spotter…" spots the chosen row's
// castle back on the node.
class Chateaux_Spottes : public QWidget
{
    Q_OBJECT

public:
    Chateaux_Spottes(Veille_Spots& veille, Sous_Programmes& sp, QWidget* parent = nullptr);

    void Chateaux_Spottes_Form_Load();
    void Chateaux_Spottes_Connecter_Click();
    void Chateaux_Spottes_Alertes_Click();
    void Chateaux_Spottes_A_Contacter_Seulement_Click();
    void Chateaux_Spottes_Spots_DblClick(const QModelIndex& index);
    void Chateaux_Spottes_Chercher_Departement_Click();
    void Chateaux_Spottes_Bande_Change();
    void Chateaux_Spottes_Age_Spots_Change();
    void Chateaux_Spottes_Spotter_Click();
    // The address typed is kept when Enter is pressed or the box is left; a new one is fetched at once.
    void Chateaux_Spottes_Adresse_Liste_Valide();

signals:
    // The row chosen: its callsign and its castle, for the entry area.
    void Spot_Choisi(const QString& indicatif, const QString& reference);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Montrer_Liste();
    void Montrer_Departement();

    Veille_Spots& veille;
    Sous_Programmes& sp;
    QLabel* Label_Noeud;
    QComboBox* Noeud;
    QLabel* Label_Noeud_Secours;
    QComboBox* Noeud_Secours;
    QPushButton* Connecter;
    QLabel* Label_Bande;
    QComboBox* Bande;
    QLabel* Label_Age_Spots;
    QSpinBox* Age_Spots;
    QPushButton* Spotter;
    QLabel* Etat_Connexion;
    QCheckBox* Alertes;
    QCheckBox* A_Contacter_Seulement;
    QLabel* Info_Liste;
    QLabel* Label_Adresse_Liste;
    QLineEdit* Adresse_Liste;
    QTableView* Spots;
    QLabel* Label_Hors_Liste;
    QTableView* Hors_Liste;
    QLabel* Label_Departement;
    QLineEdit* Departement;
    QPushButton* Chercher_Departement;
    QLabel* Resultat_Departement;
    QListWidget* A_Contacter_Departement;
    Filtre_Spots* m_chateaux;
    Filtre_Spots* m_horsListe;
    QString m_departement;
    // The node asked for in this turn of the event loop: Enter in the node's box may also
    // activate the item it names, and one attempt is enough.
    bool m_connexionDemandee = false;
    bool m_adresseEnCours = false;
};
