#pragma once

#include <QByteArray>
#include <QWidget>

class QAbstractItemModel;
class QGroupBox;
class QLabel;
class QListView;
class Modele_Liste_Log;

// The log's list in the main window, under its headings: one line per line of the log, the
// last one selected after each reading. A click on a line (or a line selected by the
// program) shows its QSO, a double click opens it for editing: the list says so by its
// signals, and the entry area does it.
class Liste_Log : public QWidget
{
    Q_OBJECT

public:
    explicit Liste_Log(QWidget* parent = nullptr);

    // Replaces the list's lines with the log's bytes (shared, not copied: each line is made
    // when it is shown) and selects the last one, which runs the click handling.
    void Remplacer(QByteArray contenu);
    // Selects a line (or none with -1) and runs the click handling.
    void Selectionner_Ligne(int index);
    int Ligne_Courante() const;
    QString Texte_Ligne(int index) const;
    int Nombre_Lignes() const;
    // The list's lines, for the search window.
    const QAbstractItemModel* Modele() const;

    // The handlers of the list's clicks.
    void Main_Liste_KVRT_Click();
    void Main_Liste_KVRT_DblClick();

signals:
    // A line clicked or selected, its text (empty when the click fell beside the lines).
    void Ligne_Montree(const QString& ligne);
    // The line shown opened for editing.
    void Ligne_A_Editer();
    // The list holds no line any more: none is shown.
    void Aucune_Ligne();

protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    // The column headings stand over the columns of the fixed-pitch list.
    void Placer_Entetes();

    QGroupBox* L_KVRT;
    QLabel* Label7;
    QLabel* Label6;
    QLabel* Label23;
    QLabel* Label5;
    QLabel* Label4;
    QLabel* Label25;
    QListView* Liste_KVRT;
    Modele_Liste_Log* Modele_Liste;
    int m_ligneAvantClic = -1;
    bool m_selectionParProgramme = false;
};
