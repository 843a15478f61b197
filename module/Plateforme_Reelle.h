#pragma once

#include "Plateforme.h"

// The platform as the desktop gives it: Qt's message boxes and file dialogs, the system clock,
// the executable's folder and the desktop's file manager.
class Plateforme_Reelle : public Plateforme
{
public:
    void Message(const QString& texte, QWidget* parent = nullptr) override;
    bool Question(const QString& texte, QWidget* parent = nullptr) override;
    int Choix(const QString& texte, const QStringList& reponses, QWidget* parent = nullptr) override;
    QDateTime Maintenant_Utc() const override;
    QDateTime Maintenant_Local() const override;
    qint64 Millisecondes() const override;
    QString Repertoire_Programme() const override;
    QString Fichier_A_Enregistrer(const QString& titre, const QString& propose, const QString& filtre,
                                  QWidget* parent = nullptr, Remplacement remplacement = Remplacement::Demander) override;
    QString Fichier_A_Ouvrir(const QString& titre, const QString& dossier, const QString& filtres,
                             QWidget* parent = nullptr) override;
    bool Ouvrir_Dossier(const QString& dossier) override;
};
