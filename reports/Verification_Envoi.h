#pragma once

#include "Fenetre_Rapport.h"
#include "Verification_Log.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

class Liste_Chateaux;
class QLabel;
class QListView;
class Modele_Constats;
class QPushButton;

// "Vérification du log": what the organisers would question in the season's log, one line per
// finding, and the folder to send them, prepared beside the log. It follows the log as every
// report window does; a finding double-clicked is chosen in the main list by Ligne_Choisie.
class Verification_Envoi : public Fenetre_Rapport
{
    Q_OBJECT

public:
    // The castle list in use, or null when none is loaded.
    using Source_Liste = std::function<const Liste_Chateaux*()>;

    Verification_Envoi(Sous_Programmes& sp, QWidget* parent = nullptr, Source_Liste liste = {});

    void Verification_Envoi_Form_Load();
    void Charger() override { Verification_Envoi_Form_Load(); }
    void Verification_Envoi_Preparer_Click();
    void Verification_Envoi_Ouvrir_Click();
    void Liste_Constats_DblClick();
    // The castle list changed: the log is checked again against it.
    void Verifier_A_Nouveau();

signals:
    // A finding chosen: its line in the main list, from 0.
    void Ligne_Choisie(int ligne);

protected:
    void Suivre_Log(const Etat_Log& etat) override;

private:
    // The findings and the summary from the log's bytes, or none when it could not be read.
    void Verifier(const QByteArray* contenu, const Series_Saison::Bilan& bilan);
    // The last folder sent for this log, and whether the log changed since.
    void Suivre_Envoi();

    QLabel* Label_Resume;
    QListView* Liste_Constats;
    Modele_Constats* m_constats;
    QLabel* Label_Envoi;
    QPushButton* Preparer_Envoi;
    QPushButton* Ouvrir_Envoi;
    QPushButton* Fermer;

    Source_Liste m_liste;
    QByteArray m_contenu;
    bool m_lu = false;
    Series_Saison::Bilan m_bilan;
    // The log copy of the last folder sent, read once per folder.
    QString m_dossierLu;
    QByteArray m_logEnvoye;
};
