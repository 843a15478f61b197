// Undo, redo and the history of changes through the real main window, typed the way a user
// types: every key and click goes to the top-level window, which routes it to the focus.

#include "Filtre_Touches.h"
#include "Forme_Log.h"
#include "Historique_Modifications.h"
#include "Journal.h"
#include "FichierLog.h"
#include "Main_Test.h"
#include "Cas_Programme.h"
#include "Outils_Test.h"
#include "Reglages_Bruts.h"
#include "Texte1252.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

static const QString CA = QStringLiteral("Chateau active");
static const QString CC = QStringLiteral("Chateau Contacte");

namespace {

void Touche(QWidget* fenetre, Qt::Key touche, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QTest::keyClick(fenetre->window()->windowHandle(), touche, mod);
}

void Texte(QWidget* fenetre, const QString& texte)
{
    for (QChar c : texte)
        QTest::keyClick(fenetre->window()->windowHandle(), c.toLatin1());
}

void Cliquer(QWidget* w, QPoint pos = QPoint(), Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    if (pos.isNull())
        pos = w->rect().center();
    QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, mod, w->mapTo(w->window(), pos));
}

// A QSO typed from the callsign field to the recording, by the keyboard alone.
void Saisir_Au_Clavier(Main_Test* m, const QString& indicatif, const QString& reference)
{
    QCOMPARE(QApplication::focusWidget(), m->Ind_A);
    Texte(m, indicatif);
    Touche(m, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m->Type_A);
    Touche(m, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m->KVRT_A);
    Texte(m, reference);
    Touche(m, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m->Validation_A);
    if (m->Validation_A->isChecked())
        Touche(m, Qt::Key_Space);
    Touche(m, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m->Valide_A);
    Touche(m, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m->Ind_A);
}

} // namespace

class Tst_Annulation : public Cas_Programme
{
    Q_OBJECT

private slots:
    void initTestCase();
    void enregistrement_annule_et_retabli_au_clavier();
    void ctrl_z_dans_un_champ_tape();
    void ctrl_z_pendant_une_saisie_data();
    void ctrl_z_pendant_une_saisie();
    void suppression_annulee_apres_redemarrage();
    void log_modifie_ailleurs_annulation_refusee();
    void historique_retour_a_un_etat();

private:
    Main_Test* m = nullptr;
    void Demarrer(const QStringList& log);
    void Redemarrer();
};

void Tst_Annulation::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    qApp->installEventFilter(new Entree_Sur_Boutons(qApp));
}

void Tst_Annulation::Demarrer(const QStringList& log)
{
    p.Recommencer();
    p.Installer_Station();
    Ecrire_Reglage(*p.reglages, QStringLiteral("Setup F1ABC"), QStringLiteral("Type Activite"), QStringLiteral("3"));
    p.Ecrire_Log(log);
    m = p.Demarrer();
    m->show();
    QApplication::setActiveWindow(m);
    QVERIFY(QTest::qWaitForWindowActive(m));
}

void Tst_Annulation::Redemarrer()
{
    // The program closed and started again on the same folder: nothing kept in memory.
    delete p.main;
    p.main = nullptr;
    p.sp = std::make_unique<Sous_Programmes>(*p.plateforme, *p.reglages);
    m = p.Demarrer();
    m->show();
    QApplication::setActiveWindow(m);
    QVERIFY(QTest::qWaitForWindowActive(m));
}

void Tst_Annulation::enregistrement_annule_et_retabli_au_clavier()
{
    const QStringList log = {Enr("01/03/09", "29001", CA, "F5AAA")};
    Demarrer(log);
    QCOMPARE(m->Mnu_Annuler->text(), QStringLiteral("&Annuler la dernière modification"));
    Saisir_Au_Clavier(m, QStringLiteral("f5xyz"), QStringLiteral("35007"));
    const QByteArray apres = Octets(log + QStringList{Enr("28/03/09", "35007", CA, "F5XYZ")});
    QCOMPARE(p.Octets_Log(), apres);
    QCOMPARE(m->Mnu_Annuler->text(), QStringLiteral("&Annuler : enregistrement du KVRT 35007"));
    QCOMPARE(QApplication::focusWidget(), m->Ind_A);

    // Ctrl+Z in the empty callsign field: the recording goes, and the status bar says so. The
    // log is read once, for the journal and the state alike.
    int lectures = FichierLog::Nombre_Lectures();
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(FichierLog::Nombre_Lectures() - lectures, 1);
    QCOMPARE(p.Octets_Log(), Octets(log));
    QCOMPARE(m->statusBar()->currentMessage(), QStringLiteral("Annulé : enregistrement du KVRT 35007"));
    QCOMPARE(m->Nombre_Lignes(), 1);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("6"));
    QCOMPARE(m->Mnu_Retablir->text(), QStringLiteral("&Rétablir : enregistrement du KVRT 35007"));
    QVERIFY(m->Mnu_Retablir->isEnabled());
    QCOMPARE(m->Mnu_Annuler->text(), QStringLiteral("&Annuler la dernière modification"));
    // The entry area waits for a new QSO, as after any change.
    QCOMPARE(QApplication::focusWidget(), m->Ind_A);
    QCOMPARE(m->Ind_A->text(), QString());
    QVERIFY(!m->Valide_A->isEnabled());

    // Nothing more to undo: said so, and nothing written.
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Aucune modification à annuler.")});
    QCOMPARE(p.Octets_Log(), Octets(log));

    // Ctrl+Y brings it back.
    lectures = FichierLog::Nombre_Lectures();
    Touche(m, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(FichierLog::Nombre_Lectures() - lectures, 1);
    QCOMPARE(p.Octets_Log(), apres);
    QCOMPARE(m->statusBar()->currentMessage(), QStringLiteral("Rétabli : enregistrement du KVRT 35007"));
    QCOMPARE(m->Nombre_Lignes(), 2);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("12"));
    QCOMPARE(m->Mnu_Annuler->text(), QStringLiteral("&Annuler : enregistrement du KVRT 35007"));
    QCOMPARE(m->Mnu_Retablir->text(), QStringLiteral("&Rétablir"));
    Touche(m, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Aucune modification à rétablir.")});
    QCOMPARE(p.Octets_Log(), apres);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Annulation::ctrl_z_dans_un_champ_tape()
{
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA")};
    Demarrer(log);
    Saisir_Au_Clavier(m, QStringLiteral("f5xyz"), QStringLiteral("35007"));
    const QByteArray apres = p.Octets_Log();
    // Typing in the field, then Ctrl+Z: the field's own undo, the log stays.
    Texte(m, QStringLiteral("f6"));
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F6"));
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m->Ind_A->text(), QString());
    QCOMPARE(p.Octets_Log(), apres);
    // Ctrl+Y redoes the typing, in the field.
    Touche(m, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F6"));
    QCOMPARE(p.Octets_Log(), apres);
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m->Ind_A->text(), QString());
    // Nothing typed is left to undo: the next Ctrl+Z is the log's.
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), Octets(log));
    QVERIFY(p.plateforme->messages.isEmpty());

    // In the reference field too, and in the type's box.
    Touche(m, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), apres);
    Texte(m, QStringLiteral("f1abc"));
    Touche(m, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m->Type_A);
    Touche(m, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m->KVRT_A);
    Texte(m, QStringLiteral("29"));
    QCOMPARE(m->KVRT_A->text(), QStringLiteral("29"));
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m->KVRT_A->text(), QString());
    QCOMPARE(p.Octets_Log(), apres);
    // The callsign typed is still there: the next Ctrl+Z leaves the log alone.
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), apres);
    QCOMPARE(m->Ind_A->text(), QStringLiteral("F1ABC"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

// Ctrl+Z (and Ctrl+Y) after a QSO was recorded, in the situations of the entry area: each
// row's steps are typed and clicked through the window, the last one being the key or the
// menu command. While a box holds what the operator typed the keys stay in the boxes and the
// log keeps its last QSO; what the program itself put in the boxes (today's date, a line
// shown or opened from the list) counts for nothing, and the menu undoes the log whatever
// is typed.
void Tst_Annulation::ctrl_z_pendant_une_saisie_data()
{
    QTest::addColumn<QStringList>("etapes");
    QTest::addColumn<bool>("logAnnule");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("indicatif");
    QTest::addColumn<QString>("reference");
    const QString jour = QStringLiteral("28/03/09");
    using L = QStringList;

    // Typed text kept, the log untouched, wherever the focus is.
    QTest::newRow("N° vide après l'indicatif") << L{"f6abc", "Entrée", "Entrée", "Ctrl+Z"} << false << jour << "F6ABC" << "";
    QTest::newRow("type après l'indicatif") << L{"f6abc", "Entrée", "Ctrl+Z"} << false << jour << "F6ABC" << "";
    QTest::newRow("N° défait puis Ctrl+Z") << L{"f6abc", "Entrée", "Entrée", "29", "Ctrl+Z", "Ctrl+Z"} << false << jour << "F6ABC" << "";
    QTest::newRow("case à cocher") << L{"f6abc", "Entrée", "Entrée", "29002", "Entrée", "Ctrl+Z"} << false << jour << "F6ABC" << "29002";
    QTest::newRow("bouton Valider") << L{"f6abc", "Entrée", "Entrée", "29002", "Entrée", "Entrée", "Ctrl+Z"} << false << jour << "F6ABC" << "29002";
    QTest::newRow("date manuelle tapée") << L{"Date manuelle", "15/03/09", "Entrée", "Ctrl+Z"} << false << "15/03/09" << "" << "";
    QTest::newRow("QSO ouvert, indicatif changé") << L{"Double clic", "Entrée", "/p", "Entrée", "Ctrl+Z"} << false << "01/03/09" << "F5AAA/P" << "29001";
    QTest::newRow("QSO ouvert, type choisi") << L{"Double clic", "Entrée", "Entrée", "Bas", "Entrée", "Ctrl+Z"} << false << "01/03/09" << "F5AAA" << "29001";
    QTest::newRow("QSO ouvert, N° changé, case à cocher") << L{"Double clic", "Entrée", "Entrée", "Entrée", "Retour arrière", "2", "Entrée", "Ctrl+Z"}
                                                          << false << "01/03/09" << "F5AAA" << "29002";
    QTest::newRow("QSO ouvert, N° changé, bouton Valider")
        << L{"Double clic", "Entrée", "Entrée", "Entrée", "Retour arrière", "2", "Entrée", "Entrée", "Ctrl+Z"} << false << "01/03/09" << "F5AAA" << "29002";
    QTest::newRow("Ctrl+Y pendant une saisie") << L{"Menu Annuler", "f6abc", "Entrée", "Ctrl+Y"} << true << jour << "F6ABC" << "";

    // Nothing typed: the log's undo, and the entry area waits for a new QSO.
    QTest::newRow("rien de tapé") << L{"Ctrl+Z"} << true << jour << "" << "";
    QTest::newRow("indicatif défait") << L{"f6abc", "Ctrl+Z", "Ctrl+Z"} << true << jour << "" << "";
    QTest::newRow("ligne montrée par un clic") << L{"Clic", "Ctrl+Z"} << true << jour << "" << "";
    QTest::newRow("QSO ouvert sans changement") << L{"Double clic", "Ctrl+Z"} << true << jour << "" << "";
    QTest::newRow("Ctrl+Y sans saisie") << L{"Menu Annuler", "Ctrl+Y"} << false << jour << "" << "";
    // The menu names the change and makes it, typing or not.
    QTest::newRow("menu Annuler pendant une saisie") << L{"f6abc", "Entrée", "Entrée", "Menu Annuler"} << true << jour << "" << "";
}

void Tst_Annulation::ctrl_z_pendant_une_saisie()
{
    QFETCH(QStringList, etapes);
    QFETCH(bool, logAnnule);
    QFETCH(QString, date);
    QFETCH(QString, indicatif);
    QFETCH(QString, reference);
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA")};
    Demarrer(log);
    Saisir_Au_Clavier(m, QStringLiteral("f5xyz"), QStringLiteral("35007"));
    const QByteArray apres = p.Octets_Log();
    for (const QString& etape : std::as_const(etapes)) {
        if (etape == QStringLiteral("Entrée"))
            Touche(m, Qt::Key_Return);
        else if (etape == QStringLiteral("Bas"))
            Touche(m, Qt::Key_Down);
        else if (etape == QStringLiteral("Retour arrière"))
            Touche(m, Qt::Key_Backspace);
        else if (etape == QStringLiteral("Ctrl+Z"))
            Touche(m, Qt::Key_Z, Qt::ControlModifier);
        else if (etape == QStringLiteral("Ctrl+Y"))
            Touche(m, Qt::Key_Y, Qt::ControlModifier);
        else if (etape == QStringLiteral("Clic") || etape == QStringLiteral("Double clic"))
            Cliquer_Ligne(m->Liste_KVRT, 0, etape != QStringLiteral("Clic"));
        else if (etape == QStringLiteral("Menu Annuler"))
            Choisir_Menu(m->Mnu_Annuler);
        else if (etape == QStringLiteral("Date manuelle"))
            Choisir_Menu(m->Mnu_Date_Auto_Non);
        else
            Taper_Ici(m, etape);
    }
    QCOMPARE(p.Octets_Log(), logAnnule ? Octets(log) : apres);
    QCOMPARE(m->Date_A->text(), date);
    QCOMPARE(m->Ind_A->text(), indicatif);
    QCOMPARE(m->KVRT_A->text(), reference);
    QCOMPARE(p.plateforme->messages, QStringList());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Annulation::suppression_annulee_apres_redemarrage()
{
    // A log kept by hand as well: a short line, bytes only Windows-1252 reads, no final line end.
    const QByteArray log = Octets({Enr("01/03/09", "29001", CC, "F5AAA"), Enr("02/03/09", "35001", CC, "F5BBB")})
        + "remarque \xe9\xe8\x80\xff\n" + Texte1252::Encoder(Enr("03/03/09", "29001", CA, "F5CCC"));
    p.Recommencer();
    p.Installer_Station();
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), log);
    m = p.Demarrer();
    m->show();
    QApplication::setActiveWindow(m);
    QVERIFY(QTest::qWaitForWindowActive(m));
    const QString total = m->Total_Points->text();

    // The castle's QSOs are deleted with one "Oui"; the lone LF is another program's line end,
    // so the log is first written back in the program's form, the hand-kept bytes kept aside.
    m->Selectionner_Ligne(0);
    p.plateforme->reponses = {true};
    Cliquer(m->Annule_Saisie);
    const QByteArray sans = p.Octets_Log();
    QCOMPARE(sans, Octets({Enr("02/03/09", "35001", CC, "F5BBB")}) + "remarque \xe9\xe8\x80\xff\r\n");
    QCOMPARE(m->Mnu_Annuler->text(), QStringLiteral("&Annuler : suppression du KVRT 29001"));
    const QStringList dits = p.plateforme->Prendre_Messages();
    QCOMPARE(dits.size(), 1);
    QVERIFY2(dits.first().contains(QStringLiteral("(fins de ligne autres que CR LF, dernière ligne sans fin de ligne)")),
             qPrintable(dits.first()));
    QCOMPARE(p.Lire_Fichier(QFileInfo(dits.first().section(QStringLiteral("\r\n"), -1)).fileName()), log);

    // Closed and started again: Ctrl+Z brings every line back, in the program's form.
    Redemarrer();
    QCOMPARE(m->Mnu_Annuler->text(), QStringLiteral("&Annuler : suppression du KVRT 29001"));
    QCOMPARE(m->statusBar()->currentMessage(), QString());
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), Forme_Log::Remettre(log));
    QCOMPARE(m->statusBar()->currentMessage(), QStringLiteral("Annulé : suppression du KVRT 29001"));
    QCOMPARE(m->Nombre_Lignes(), 4);
    QCOMPARE(m->Total_Points->text(), total);
    // And after another restart, redone.
    Redemarrer();
    Touche(m, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), sans);
    QCOMPARE(m->statusBar()->currentMessage(), QStringLiteral("Rétabli : suppression du KVRT 29001"));
    QVERIFY(p.plateforme->messages.isEmpty());
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Annulation::log_modifie_ailleurs_annulation_refusee()
{
    const QStringList log = {Enr("01/03/09", "29001", CC, "F5AAA")};
    Demarrer(log);
    Saisir_Au_Clavier(m, QStringLiteral("f5xyz"), QStringLiteral("35007"));
    const QString journal = Journal::Chemin_Journal(p.Log());
    const QByteArray notes = p.Lire_Fichier(QFileInfo(journal).fileName());
    QVERIFY(!notes.isEmpty());

    // Another editor adds a line while the program runs.
    const QByteArray ailleurs = p.Octets_Log() + "02/03/09  29002  Chateau active          F9ZZZ       \r\n";
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), ailleurs);
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    const QStringList messages = p.plateforme->Prendre_Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().startsWith(QStringLiteral("Le log a été modifié en dehors du programme : impossible d'annuler "
                                                        "la dernière modification, le log n'a pas été modifié.")),
             qPrintable(messages.first()));
    QCOMPARE(p.Octets_Log(), ailleurs);
    // The journal is set aside whole under a dated name, never deleted.
    QVERIFY(!QFileInfo::exists(journal));
    const QStringList deCote = QDir(p.Repertoire()).entryList({QFileInfo(journal).fileName() + QStringLiteral(".*")});
    QCOMPARE(deCote.size(), 1);
    QVERIFY(messages.first().contains(deCote.first()));
    QCOMPARE(p.Lire_Fichier(deCote.first()), notes);

    // A new change starts a new journal, and can be undone.
    Saisir_Au_Clavier(m, QStringLiteral("f6abc"), QStringLiteral("29003"));
    const QByteArray nouveau = p.Octets_Log();
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), ailleurs);
    Touche(m, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), nouveau);
    QVERIFY(p.plateforme->messages.isEmpty());

    // Changed outside while the program is closed: at the next start the journal goes aside,
    // and the undo is refused with the same message.
    delete p.main;
    p.main = nullptr;
    const QByteArray copie = QByteArray(nouveau).replace("F6ABC", "F6ABD");
    p.Ecrire_Fichier(QFileInfo(p.Log()).fileName(), copie);
    Redemarrer();
    QVERIFY(!QFileInfo::exists(journal));
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    const QStringList refus = p.plateforme->Prendre_Messages();
    QCOMPARE(refus.size(), 1);
    QVERIFY(refus.first().startsWith(QStringLiteral("Le log a été modifié en dehors du programme")));
    QCOMPARE(QDir(p.Repertoire()).entryList({QFileInfo(journal).fileName() + QStringLiteral(".*")}).size(), 2);
    QCOMPARE(p.Octets_Log(), copie);
    QCOMPARE(m->Nombre_Lignes(), 4);
    QVERIFY(garde.fermees.isEmpty());
}

void Tst_Annulation::historique_retour_a_un_etat()
{
    const QStringList log = {Enr("01/03/09", "29001", CA, "F5AAA")};
    Demarrer(log);
    Saisir_Au_Clavier(m, QStringLiteral("f5xyz"), QStringLiteral("35007"));
    const QByteArray apresPremier = p.Octets_Log();
    p.plateforme->Regler_Horloge(QDateTime(QDate(2009, 3, 28), QTime(15, 30), Qt::UTC));
    Saisir_Au_Clavier(m, QStringLiteral("f6abc"), QStringLiteral("29002"));
    m->Selectionner_Ligne(0);
    p.plateforme->reponses = {true};
    Cliquer(m->Annule_Saisie);
    QCOMPARE(p.Octets_Log(), Octets({Enr("28/03/09", "35007", CA, "F5XYZ"), Enr("28/03/09", "29002", CA, "F6ABC")}));

    // Alt+F, then H: the history window.
    Touche(m, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(m->Mnu_Fichier->isVisible());
    QTest::keyClick(m->Mnu_Fichier->windowHandle(), Qt::Key_H);
    QTRY_VERIFY(m->Fenetre_Historique_Modifications());
    Historique_Modifications* h = m->Fenetre_Historique_Modifications();
    QVERIFY(QTest::qWaitForWindowExposed(h));
    QCOMPARE(h->windowTitle(), QStringLiteral("Historique des modifications"));
    QTreeWidget* liste = h->Liste_Modifications;
    QCOMPARE(liste->topLevelItemCount(), 3);
    // Newest first, local time, the operation and the QSOs concerned.
    QCOMPARE(liste->topLevelItem(0)->text(0), QStringLiteral("28/03/2009 16:30:00"));
    QCOMPARE(liste->topLevelItem(0)->text(1), QStringLiteral("Suppression du KVRT 29001"));
    QCOMPARE(liste->topLevelItem(0)->text(2), QStringLiteral("- ") + Enr("01/03/09", "29001", CA, "F5AAA").trimmed());
    QCOMPARE(liste->topLevelItem(1)->text(1), QStringLiteral("Enregistrement du KVRT 29002"));
    QCOMPARE(liste->topLevelItem(2)->text(0), QStringLiteral("28/03/2009 15:07:09"));
    QCOMPARE(liste->topLevelItem(2)->text(2), QStringLiteral("+ ") + Enr("28/03/09", "35007", CA, "F5XYZ").trimmed());

    // The oldest line picked with a click, then "Revenir à cet état": one question first.
    const QRect rect = liste->visualItemRect(liste->topLevelItem(2));
    QTest::mouseClick(h->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      liste->viewport()->mapTo(h, rect.center()));
    QCOMPARE(liste->currentItem(), liste->topLevelItem(2));
    p.plateforme->reponses = {false};
    Cliquer(h->Revenir);
    QCOMPARE(p.plateforme->questions.size(), 2);
    QVERIFY(p.plateforme->questions.last().startsWith(QStringLiteral("Remettre le log dans l'état où il était après la modification du 28/03/2009 15:07:09")));
    QCOMPARE(p.Octets_Log(), Octets({Enr("28/03/09", "35007", CA, "F5XYZ"), Enr("28/03/09", "29002", CA, "F6ABC")}));
    p.plateforme->reponses = {true};
    Cliquer(h->Revenir);
    QCOMPARE(p.Octets_Log(), apresPremier);
    QCOMPARE(m->Nombre_Lignes(), 2);
    QCOMPARE(m->Total_Points->text(), QStringLiteral("12"));
    QCOMPARE(liste->topLevelItemCount(), 4);
    QVERIFY(liste->topLevelItem(0)->text(1).startsWith(QStringLiteral("Retour à l'état après : enregistrement du KVRT 35007")));
    // The return itself is undone from the main window.
    QApplication::setActiveWindow(m);
    QVERIFY(QTest::qWaitForWindowActive(m));
    Touche(m, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Octets_Log(), Octets({Enr("28/03/09", "35007", CA, "F5XYZ"), Enr("28/03/09", "29002", CA, "F6ABC")}));
    QCOMPARE(liste->topLevelItemCount(), 5);
    QVERIFY(p.plateforme->questionsImprevues.isEmpty());
    QVERIFY(p.plateforme->messages.isEmpty());
    // Back to the state the log is in: the window says there is nothing to do.
    QCOMPARE(liste->topLevelItem(2)->text(1), QStringLiteral("Suppression du KVRT 29001"));
    const QRect actuel = liste->visualItemRect(liste->topLevelItem(2));
    QTest::mouseClick(h->windowHandle(), Qt::LeftButton, Qt::NoModifier, liste->viewport()->mapTo(h, actuel.center()));
    p.plateforme->reponses = {true};
    Cliquer(h->Revenir);
    QCOMPARE(p.plateforme->Prendre_Messages(), QStringList{QStringLiteral("Le log est déjà dans cet état.")});
    QCOMPARE(p.Octets_Log(), Octets({Enr("28/03/09", "35007", CA, "F5XYZ"), Enr("28/03/09", "29002", CA, "F6ABC")}));
    QVERIFY(garde.fermees.isEmpty());
}

QTEST_MAIN(Tst_Annulation)
#include "tst_annulation.moc"
