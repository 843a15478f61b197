#pragma once

#include "Plateforme.h"

#include <QList>
#include <QStringList>

// The seam as tests see it: every message is recorded, questions are answered from a
// queue (an unexpected one fails the test), the clock is whatever the test sets, and the
// save dialog and the file manager are recorded and answered by the test.
class Plateforme_Test : public Plateforme
{
public:
    explicit Plateforme_Test(const QString& repertoire);

    void Message(const QString& texte, QWidget* parent = nullptr) override;
    bool Question(const QString& texte, QWidget* parent = nullptr) override;
    // Recorded with the questions; answered from `choix`, or by the last answer (as Escape
    // would) when the test gave none, which counts as unexpected.
    int Choix(const QString& texte, const QStringList& reponses, QWidget* parent = nullptr) override;
    QDateTime Maintenant_Utc() const override;
    QDateTime Maintenant_Local() const override;
    // Each look finds `pasMillisecondes` gone since the last: 0 (a clock that stands still,
    // as on a quick machine) unless the test sets it.
    qint64 Millisecondes() const override;
    QString Repertoire_Programme() const override;
    // Recorded in `dialogues` as "title|proposed path" and in `filtres`; answered from `fichiers`
    // (an empty text gives up), or by the proposed path, as Enter in the dialog would, when the
    // test gave none.
    QString Fichier_A_Enregistrer(const QString& titre, const QString& propose, const QString& filtre,
                                  QWidget* parent = nullptr, Remplacement remplacement = Remplacement::Demander) override;
    // Recorded in `dialogues` as "title|folder" and in `filtres`; answered from `fichiers` (an
    // empty text gives up). Without an answer the dialog was not expected: it counts with the
    // unexpected questions, and gives up.
    QString Fichier_A_Ouvrir(const QString& titre, const QString& dossier, const QString& filtres,
                             QWidget* parent = nullptr) override;
    // Recorded in `dossiersOuverts`; answers `ouvertureReussie`.
    bool Ouvrir_Dossier(const QString& dossier) override;

    // UTC and local time; by default 28/03/2009 14:07:09 UTC, local UTC+1.
    void Regler_Horloge(const QDateTime& utc, int decalageSecondes = 3600);

    QStringList messages;
    QStringList questions;
    QList<bool> reponses;
    QList<int> choix;
    QStringList questionsImprevues;
    QString repertoire;
    QStringList dialogues;
    QStringList filtres;
    QStringList fichiers;
    QStringList dossiersOuverts;
    bool ouvertureReussie = true;
    qint64 pasMillisecondes = 0;

    QString Dernier_Message() const { return messages.isEmpty() ? QString() : messages.last(); }
    // Takes the recorded messages, leaving none.
    QStringList Prendre_Messages();

private:
    QDateTime m_utc;
    int m_decalage = 3600;
    mutable qint64 m_millisecondes = 0;
};
