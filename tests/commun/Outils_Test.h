#pragma once

#include "Plateforme_Test.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class Main_Test;
class QAbstractItemView;
class QAction;
class QTimer;
class QWidget;

// A fresh program for one test: its own program directory with the empty template, its
// own settings file, the test seam and the shared module; Main is built on demand.
class Programme_Test
{
public:
    Programme_Test();
    ~Programme_Test();

    // A fresh program in place of this one: the main window and the program go, a new folder
    // with its template, its settings and its module come.
    void Recommencer();
    // The main window goes with its windows; the folder stays until the next start.
    void Terminer();

    std::unique_ptr<QTemporaryDir> dossier;
    std::unique_ptr<Plateforme_Test> plateforme;
    std::unique_ptr<Reglages> reglages;
    std::unique_ptr<Sous_Programmes> sp;
    Main_Test* main = nullptr;

    QString Repertoire() const { return dossier->path(); }
    QString Chemin(const QString& nom) const { return dossier->path() + QLatin1Char('/') + nom; }
    QString Log(const QString& indicatif = QStringLiteral("F1ABC"), const QString& annee = QStringLiteral("2009")) const;

    // Stores a station as if the Station window had set it up.
    void Installer_Station(const QString& indicatif = QStringLiteral("F1ABC"), const QString& annee = QStringLiteral("2009"));
    void Ecrire_Fichier(const QString& nom, const QByteArray& octets) const;
    QByteArray Lire_Fichier(const QString& nom) const;
    // Writes the log of the station from record lines, each ended by CR LF.
    void Ecrire_Log(const QStringList& enregistrements, const QString& indicatif = QStringLiteral("F1ABC"),
                    const QString& annee = QStringLiteral("2009")) const;
    QByteArray Octets_Log(const QString& indicatif = QStringLiteral("F1ABC"), const QString& annee = QStringLiteral("2009")) const;

    // Builds the main window and runs its start-up.
    Main_Test* Demarrer();
    // The program stopped (or ended by itself) and started again on the same folder and
    // settings: the settings read again, a new module, as a new process has, and a new main
    // window.
    Main_Test* Redemarrer();
};

// Starts the program on a log of the test station and forgets the main window's own start-up
// messages.
Main_Test* Demarrer_Sur(Programme_Test& p, const QStringList& log);

// Closes any modal window left open (a message that was not expected, a dialog that a
// test forgot) and records its title, so that a test fails instead of hanging.
class Chien_De_Garde : public QObject
{
    Q_OBJECT

public:
    explicit Chien_De_Garde(int delaiMs = 4000);
    ~Chien_De_Garde() override;
    // A test whose windows rightly stay open longer waits this long before closing them.
    void Patienter(int delaiMs) { m_delai = delaiMs; }
    QStringList fermees;

private:
    QTimer* m_minuteur;
    QObject* m_vu = nullptr;
    int m_tours = 0;
    int m_delai;
};

// A window's control as a test, a person or a screen reader finds it: by its name. A control
// missing, or of another type, fails the test there, naming the window and the control.
void Controle_Absent(const QObject* fenetre, const char* nom);
template <typename T>
T* Controle(const QObject* fenetre, const char* nom)
{
    T* controle = fenetre ? fenetre->findChild<T*>(QString::fromLatin1(nom)) : nullptr;
    if (!controle)
        Controle_Absent(fenetre, nom);
    return controle;
}

// A record line, 53 characters, as the program writes it.
QString Enr(const QString& date, const QString& reference, const QString& type, const QString& indicatif,
            bool attente = false);
// The same from short literals: Q("02/03/09", "29001", Cc) is a QSO of F6XYZ, not waiting.
QString Q(const char* date, const char* reference, const QString& type, const char* indicatif = "F6XYZ",
          bool attente = false);
QString Q(const char* date, const char* reference, const QString& type, bool attente);
// Bytes of a log: the lines in Windows-1252, each followed by CR LF.
QByteArray Octets(const QStringList& lignes);
// Each change of the log asked as a window asks it: a record line in, what the change has to
// tell said through the test's platform, true when the log holds the change.
bool Ajoute_Ligne(Sous_Programmes& sp, const QString& ligne);
bool Insere_Ligne(Sous_Programmes& sp, const QString& ligne);
bool Remplace_Ou_Ajoute_Ligne(Sous_Programmes& sp, const QString& ligneListe, const QString& ligne);
bool Supprime_Lignes_Reference(Sous_Programmes& sp, const QString& reference);
bool Importe_Lignes(Sous_Programmes& sp, const QList<QByteArray>& lignes);
bool Annuler_Modification(Sous_Programmes& sp);
bool Retablir_Modification(Sous_Programmes& sp);
bool Revenir_A(Sous_Programmes& sp, qint64 numero);
// The keyboard and the mouse as a desktop gives them. Every key goes to a top-level window's
// QWindow and Qt routes it to that window's focus widget, or to an open popup menu; every click
// lands at a position inside the window, and Qt finds the control under it. Nothing here sends
// an event to a named child widget.

// Shows and activates a top-level window (as a click on its title bar would) and waits for it.
void Activer(QWidget* fenetre);
// True when a window stands in the middle of its screen, its frame included; says where it
// stands otherwise.
bool Centree(QWidget* fenetre);
// One key, with modifiers, through the top-level window of `fenetre`.
void Touche_Ici(QWidget* fenetre, Qt::Key touche, Qt::KeyboardModifiers modificateurs = Qt::NoModifier);
// Text typed key by key through the top-level window of `fenetre`, wherever its focus is.
void Taper_Ici(QWidget* fenetre, const QString& texte);
// Fails the test unless the keyboard's focus is in `champ`.
void Verifier_Focus(QWidget* champ);
// The same, after checking that the focus is in `champ`, where the test expects the user to be;
// a focus elsewhere fails the test. Then Enter, unless told otherwise.
void Taper(QWidget* champ, const QString& texte, bool entree = true);
// Enter, after the same check.
void Entree(QWidget* champ);
// True when the keyboard's focus is in `champ` (an editable combo box holds it for its line edit).
bool Focus_Dans(QWidget* champ);
// Replaces a box's text as a user does: a click in it, Ctrl+A, Backspace, then the new text,
// without Enter.
void Remplacer_Texte(QWidget* champ, const QString& texte);
// A click (or a double click) at a position of a control, given in the control's coordinates
// (its centre by default), sent to its top-level window.
void Cliquer_Dans(QWidget* controle, QPoint position = QPoint(-1, -1), Qt::MouseButton bouton = Qt::LeftButton);
void Double_Cliquer_Dans(QWidget* controle, QPoint position = QPoint(-1, -1));
// A click (or a double click) on a row of a list, at the row's place in the window.
void Cliquer_Ligne(QAbstractItemView* vue, int ligne, bool double_clic = false);
// Closes a top-level window as its frame's close button does: the platform asks the window
// to close, and the window may refuse.
void Fermer_Par_Le_Cadre(QWidget* fenetre);
// Chooses a menu command from the keyboard: Alt and the menu's underlined letter, then the
// letter of each item down to the command. Fails the test when a letter is missing.
void Choisir_Menu(QAction* commande);
// The letter underlined in a caption ("&Fichier" gives 'F'), or a null character.
QChar Lettre_Alt(const QString& texte);

// Types a QSO through the Enter chain of the main window, from the callsign up to the armed
// Valide_A, unticked: the type is chosen with the arrow keys, as a user picks it in the list.
void Saisir(Main_Test* m, const QString& indicatif, int type, const QString& reference);
// Puts the type list on an item with the arrow keys (the focus must be in it).
void Choisir_Type(Main_Test* m, int type);

// A program told to end (Quitter, an error) has asked the event loop to stop: a loop run here
// takes that request, so that the next start in the same test process has a loop that runs.
void Relancer_Boucle();

// Runs an action on the next modal window as soon as it opens, while its exec() runs.
// The watch ends with the action, or when the caller deletes it.
QTimer* Sur_Modal(std::function<void(QWidget*)> action);
