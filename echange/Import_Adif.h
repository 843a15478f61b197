#pragma once

#include "Adif.h"
#include "Echange_Adif.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QProgressDialog;
class QPushButton;
class QTableView;
class Modele_Apercu;
class Sous_Programmes;

// "Importer un fichier ADIF": reads a file written by another logging program, shows what
// each of its QSOs would become in the log, and adds the QSOs to add only on "Importer".
class Import_Adif : public QWidget
{
    Q_OBJECT

public:
    Import_Adif(Sous_Programmes& sp, QWidget* parent = nullptr);
    ~Import_Adif() override;

    void Import_Adif_Form_Load();
    // Asks for a file with the file dialog, then reads it.
    void Import_Adif_Choisir_Click();
    // Reads a file and shows its preview; false when it could not be read (the user was told)
    // or when the reading was cancelled (the window then shows what it showed before).
    bool Ouvrir_Fichier(const QString& chemin);
    void Import_Adif_Importer_Click();
    void Import_Adif_Annuler_Click();

    // The preview as shown, in the file's order.
    const QList<Echange_Adif::Qso_Import>& Qsos() const { return m_qsos; }

private:
    QLabel* Label_Fichier;
    QPushButton* Choisir;
    QGroupBox* Frame_Options;
    QLabel* Label_Contacte;
    QComboBox* Type_Contacte;
    QLabel* Label_Active;
    QComboBox* Type_Active;
    QCheckBox* Attente_Validation;
    QCheckBox* Chercher_Texte;
    QLabel* Label_Noms_Sig;
    QLineEdit* Noms_Sig;
    // The progress of a large file, in a window of its own whose Annuler stops the reading.
    QProgressDialog* Dialogue_Lecture;
    QProgressBar* Progression;
    QTableView* Apercu;
    QLabel* Resume;
    QPushButton* Importer;
    QPushButton* Annuler;


    enum class Issue_Lecture { Lu, Refuse, Abandonne };
    // Reads and cuts a file; on a refusal `erreur` holds what the user is told.
    Issue_Lecture Lire_Fichier(const QString& chemin, QList<Adif::Enregistrement_Adif>& enregistrements, QString& erreur);
    void Recalculer();
    // The verdict column as wide as the longest sentence it shows, the window widened to it.
    void Ajuster_Colonne_Verdict();
    Echange_Adif::Options Options_Choisies() const;
    bool Lire_Log(QByteArray& log);

    Sous_Programmes& sp;
    Modele_Apercu* m_modele;
    QString m_chemin;
    QList<Adif::Enregistrement_Adif> m_enregistrements;
    QList<Echange_Adif::Qso_Import> m_qsos;
    // The log and the options the preview was made with: Importer reuses its verdicts while
    // both are the same.
    QByteArray m_logApercu;
    Echange_Adif::Options m_optionsApercu;
    int m_largeurApercu = 0;       // the preview's least width, whatever the file
    int m_champsIgnores = 0;       // of the file shown
    int m_enregistrementCoupe = 0; // of the file shown
};
