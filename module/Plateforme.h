#pragma once

#include "Resultat_Changement.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class QWidget;

// The thin seam between the program and its platform: message boxes, the clock, the
// program directory, the file dialogs and the desktop's file manager. The real one (Plateforme_Reelle) talks to the desktop; tests hand in their own.
class Plateforme
{
public:
    virtual ~Plateforme() = default;

    // A message box with the OK button only, no icon, titled "QEZ_Challenge_KVRT".
    virtual void Message(const QString& texte, QWidget* parent = nullptr) = 0;
    // What a change of the log has to tell, one box per message; gives whether the log holds
    // the change.
    bool Dire(const Resultat_Changement& resultat, QWidget* parent = nullptr);
    // The one question of the program, with Oui and Non; true for Oui.
    virtual bool Question(const QString& texte, QWidget* parent = nullptr) = 0;
    // A question with a button per answer, in this order; gives the index of the answer.
    // Escape, or closing the box, gives the last one.
    virtual int Choix(const QString& texte, const QStringList& reponses, QWidget* parent = nullptr) = 0;
    virtual QDateTime Maintenant_Utc() const = 0;
    virtual QDateTime Maintenant_Local() const = 0;
    // Milliseconds that only go forward, whatever the time of day does: how long a task lasts.
    virtual qint64 Millisecondes() const = 0;
    // The directory of the program: its help file and its original template, and the logs
    // when the user may write there (Sous_Programmes::Choisir_Repertoire decides).
    virtual QString Repertoire_Programme() const = 0;
    // What a save dialog does with a file that is already there.
    enum class Remplacement {
        Demander, // asks before replacing it; a name typed without extension gets the filter's
        Sans_Demander, // the caller replaces its files as they are named, without a question
    };
    // A save dialog opened on a proposed file (its folder and its name), with its filter
    // ("Log (*.txt)"); gives the path chosen, or an empty text when the user gave up.
    virtual QString Fichier_A_Enregistrer(const QString& titre, const QString& propose, const QString& filtre,
                                          QWidget* parent = nullptr, Remplacement remplacement = Remplacement::Demander) = 0;
    // An open dialog on a folder, with its filters ("Fichiers ADIF (*.adi);;Tous les fichiers (*)");
    // gives the file chosen, or an empty text when the user gave up.
    virtual QString Fichier_A_Ouvrir(const QString& titre, const QString& dossier, const QString& filtres,
                                     QWidget* parent = nullptr) = 0;
    // Shows a folder in the desktop's file manager; false when the desktop has none to offer.
    virtual bool Ouvrir_Dossier(const QString& dossier) = 0;
};
