#include "Outils_Test.h"

#include "Enregistrement.h"
#include "Filtre_Touches.h"
#include "Qso.h"
#include "Texte1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QAbstractItemView>
#include <QWindow>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

Chien_De_Garde::Chien_De_Garde(int delaiMs) : m_delai(delaiMs)
{
    m_minuteur = new QTimer(this);
    m_minuteur->setInterval(100);
    connect(m_minuteur, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            m_vu = nullptr;
            m_tours = 0;
            return;
        }
        if (modal != m_vu) {
            m_vu = modal;
            m_tours = 0;
            return;
        }
        if (++m_tours * 100 >= m_delai) {
            fermees.append(modal->objectName() + QStringLiteral(": ") + modal->windowTitle());
            if (auto* d = qobject_cast<QDialog*>(modal))
                d->reject();
            else
                modal->close();
            m_vu = nullptr;
            m_tours = 0;
        }
    });
    m_minuteur->start();
}

Chien_De_Garde::~Chien_De_Garde() = default;

QString Enr(const QString& date, const QString& reference, const QString& type, const QString& indicatif, bool attente)
{
    return Enregistrement::Construire_Ligne_Log(date, attente, reference, type, indicatif);
}

QString Q(const char* date, const char* reference, const QString& type, const char* indicatif, bool attente)
{
    return Enr(QString::fromLatin1(date), QString::fromLatin1(reference), type, QString::fromLatin1(indicatif), attente);
}

QString Q(const char* date, const char* reference, const QString& type, bool attente)
{
    return Q(date, reference, type, "F6XYZ", attente);
}

bool Ajoute_Ligne(Sous_Programmes& sp, const QString& ligne)
{
    return sp.plateforme().Dire(sp.Ajoute_Ligne(Qso::De_Ligne_Log(ligne)));
}

bool Insere_Ligne(Sous_Programmes& sp, const QString& ligne)
{
    return sp.plateforme().Dire(sp.Insere_Ligne(Qso::De_Ligne_Log(ligne)));
}

bool Remplace_Ou_Ajoute_Ligne(Sous_Programmes& sp, const QString& ligneListe, const QString& ligne)
{
    return sp.plateforme().Dire(sp.Remplace_Ou_Ajoute_Ligne(ligneListe, Qso::De_Ligne_Log(ligne)));
}

bool Supprime_Lignes_Reference(Sous_Programmes& sp, const QString& reference)
{
    return sp.plateforme().Dire(sp.Supprime_Lignes_Reference(reference));
}

bool Importe_Lignes(Sous_Programmes& sp, const QList<QByteArray>& lignes)
{
    return sp.plateforme().Dire(sp.Importe_Lignes(lignes));
}

bool Annuler_Modification(Sous_Programmes& sp)
{
    return sp.plateforme().Dire(sp.Annuler_Modification());
}

bool Retablir_Modification(Sous_Programmes& sp)
{
    return sp.plateforme().Dire(sp.Retablir_Modification());
}

bool Revenir_A(Sous_Programmes& sp, qint64 numero)
{
    return sp.plateforme().Dire(sp.Revenir_A(numero));
}

QByteArray Octets(const QStringList& lignes)
{
    QByteArray b;
    for (const QString& l : lignes) {
        b += Texte1252::Encoder(l);
        b += "\r\n";
    }
    return b;
}

bool Centree(QWidget* fenetre)
{
    const QRect ecran = fenetre->screen()->availableGeometry();
    const QRect cadre = fenetre->frameGeometry();
    const int dx = qAbs(ecran.x() + (ecran.width() - cadre.width()) / 2 - cadre.x());
    const int dy = qAbs(ecran.y() + (ecran.height() - cadre.height()) / 2 - cadre.y());
    if (dx > 1 || dy > 1)
        qWarning("%s not centred: frame %d,%d %dx%d on %dx%d", qPrintable(fenetre->objectName()), cadre.x(), cadre.y(),
                 cadre.width(), cadre.height(), ecran.width(), ecran.height());
    return dx <= 1 && dy <= 1;
}

void Activer(QWidget* fenetre)
{
    QWidget* haut = fenetre->window();
    if (!haut->isVisible())
        haut->show();
    if (QApplication::activeWindow() != haut) {
        haut->raise();
        haut->activateWindow();
        QApplication::setActiveWindow(haut);
        if (!QTest::qWaitForWindowActive(haut))
            QTest::qFail(qPrintable(QStringLiteral("the window %1 cannot be activated").arg(haut->objectName())), __FILE__, __LINE__);
    }
}

static QWindow* Fenetre_De(QWidget* fenetre)
{
    QWidget* haut = fenetre->window();
    // A modal window holds the keyboard, as on a desktop: keys go to it, not to the window
    // behind it (the platform would refuse them there anyway).
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != haut && !QApplication::activePopupWidget())
        haut = modal;
    else
        Activer(haut);
    if (!haut->windowHandle())
        haut->winId();
    return haut->windowHandle();
}

void Touche_Ici(QWidget* fenetre, Qt::Key touche, Qt::KeyboardModifiers modificateurs)
{
    QString texte;
    switch (touche) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        texte = QStringLiteral("\r");
        break;
    case Qt::Key_Backspace:
        texte = QStringLiteral("\b");
        break;
    case Qt::Key_Escape:
        texte = QString(QChar(27));
        break;
    case Qt::Key_Tab:
        texte = QStringLiteral("\t");
        break;
    default:
        if (modificateurs & Qt::ControlModifier && touche >= Qt::Key_A && touche <= Qt::Key_Z)
            texte = QString(QChar(touche - Qt::Key_A + 1));
        else if (touche >= Qt::Key_Space && touche <= Qt::Key_ydiaeresis)
            texte = (modificateurs & Qt::ShiftModifier) ? QString(QChar(touche)) : QString(QChar(touche)).toLower();
        break;
    }
    QTest::sendKeyEvent(QTest::Click, Fenetre_De(fenetre), touche, texte, modificateurs);
}

void Taper_Ici(QWidget* fenetre, const QString& texte)
{
    for (QChar c : texte) {
        // The key a keyboard would report for this character: letters by their capital.
        const QChar majuscule = c.toUpper();
        Qt::Key cle = Qt::Key_unknown;
        if (majuscule.unicode() >= 0x20 && majuscule.unicode() <= 0xff)
            cle = Qt::Key(majuscule.unicode());
        const Qt::KeyboardModifiers modificateurs = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::sendKeyEvent(QTest::Click, Fenetre_De(fenetre), cle, QString(c), modificateurs);
    }
}

bool Focus_Dans(QWidget* champ)
{
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == champ || focus->focusProxy() == champ || champ->focusProxy() == focus);
}

void Verifier_Focus(QWidget* champ)
{
    if (Focus_Dans(champ))
        return;
    QWidget* focus = QApplication::focusWidget();
    QTest::qFail(qPrintable(QStringLiteral("the keyboard focus is in %1, not in %2")
                                .arg(focus ? focus->objectName() : QStringLiteral("no control"), champ->objectName())),
                 __FILE__, __LINE__);
}

void Taper(QWidget* champ, const QString& texte, bool entree)
{
    Activer(champ);
    Verifier_Focus(champ);
    Taper_Ici(champ, texte);
    if (entree)
        Touche_Ici(champ, Qt::Key_Return);
}

void Entree(QWidget* champ)
{
    Activer(champ);
    Verifier_Focus(champ);
    Touche_Ici(champ, Qt::Key_Return);
}

void Remplacer_Texte(QWidget* champ, const QString& texte)
{
    Cliquer_Dans(champ);
    Verifier_Focus(champ);
    Touche_Ici(champ, Qt::Key_A, Qt::ControlModifier);
    Touche_Ici(champ, Qt::Key_Backspace);
    Taper_Ici(champ, texte);
}

void Cliquer_Dans(QWidget* controle, QPoint position, Qt::MouseButton bouton)
{
    if (position == QPoint(-1, -1))
        position = controle->rect().center();
    QWidget* haut = controle->window();
    Activer(haut);
    QTest::mouseClick(haut->windowHandle(), bouton, Qt::NoModifier, controle->mapTo(haut, position));
}

void Double_Cliquer_Dans(QWidget* controle, QPoint position)
{
    if (position == QPoint(-1, -1))
        position = controle->rect().center();
    QWidget* haut = controle->window();
    Activer(haut);
    QTest::mouseDClick(haut->windowHandle(), Qt::LeftButton, Qt::NoModifier, controle->mapTo(haut, position));
}

void Cliquer_Ligne(QAbstractItemView* vue, int ligne, bool double_clic)
{
    const QModelIndex index = vue->model()->index(ligne, 0);
    vue->scrollTo(index);
    const QRect rect = vue->visualRect(index);
    if (!rect.isValid() || !vue->viewport()->rect().intersects(rect))
        QTest::qFail(qPrintable(QStringLiteral("row %1 of %2 is not visible").arg(ligne).arg(vue->objectName())), __FILE__, __LINE__);
    // Away from the row's left end, where a click would fall on its number.
    const QPoint point(qMin(rect.left() + 120, rect.center().x()), rect.center().y());
    if (double_clic)
        Double_Cliquer_Dans(vue->viewport(), point);
    else
        Cliquer_Dans(vue->viewport(), point);
}

void Fermer_Par_Le_Cadre(QWidget* fenetre)
{
    QWidget* haut = fenetre->window();
    if (!haut->windowHandle())
        haut->winId();
    // QWindow::close() goes through the platform window, as a window manager's request does.
    haut->windowHandle()->close();
}

QChar Lettre_Alt(const QString& texte)
{
    for (int i = 0; i + 1 < texte.size(); ++i) {
        if (texte.at(i) != QLatin1Char('&'))
            continue;
        if (texte.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return texte.at(i + 1);
    }
    return QChar();
}

static Qt::Key Cle_De(QChar lettre)
{
    return Qt::Key(lettre.toUpper().unicode());
}

void Choisir_Menu(QAction* commande)
{
    // The path from the menu bar down to the command.
    QList<QAction*> chemin;
    QMenuBar* barre = nullptr;
    for (QAction* a = commande; a;) {
        chemin.prepend(a);
        QAction* parent = nullptr;
        for (QObject* o : a->associatedObjects()) {
            // The menu bar's overflow menu holds its actions too; only a real menu counts.
            if (auto* menu = qobject_cast<QMenu*>(o); menu && !menu->menuAction()->text().isEmpty()) {
                parent = menu->menuAction();
                break;
            }
            if (auto* b = qobject_cast<QMenuBar*>(o))
                barre = b;
        }
        a = parent;
    }
    if (!barre) {
        QTest::qFail("the command is not reachable from a menu bar", __FILE__, __LINE__);
        return;
    }
    QWidget* fenetre = barre->window();
    for (int i = 0; i < chemin.size(); ++i) {
        const QChar lettre = Lettre_Alt(chemin.at(i)->text());
        if (lettre.isNull()) {
            QTest::qFail(qPrintable(QStringLiteral("no Alt letter in \"%1\"").arg(chemin.at(i)->text())), __FILE__, __LINE__);
            return;
        }
        if (i == 0)
            Touche_Ici(fenetre, Cle_De(lettre), Qt::AltModifier);
        else if (QWidget* popup = QApplication::activePopupWidget())
            QTest::sendKeyEvent(QTest::Click, popup->windowHandle() ? popup->windowHandle() : fenetre->windowHandle(),
                                Cle_De(lettre), QString(lettre.toLower()), Qt::NoModifier);
        else {
            QTest::qFail(qPrintable(QStringLiteral("the menu of \"%1\" did not open").arg(chemin.at(i - 1)->text())), __FILE__, __LINE__);
            return;
        }
        QApplication::processEvents();
    }
}

void Relancer_Boucle()
{
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void Controle_Absent(const QObject* fenetre, const char* nom)
{
    const QByteArray texte = (fenetre ? fenetre->objectName() : QStringLiteral("(aucune fenêtre)")).toUtf8()
                             + " n'a pas de contrôle " + nom + " de ce type";
    QTest::qFail(texte.constData(), __FILE__, __LINE__);
    // The caller would go on with a null control: the test program stops here, the failure said.
    qFatal("%s", texte.constData());
}

QTimer* Sur_Modal(std::function<void(QWidget*)> action)
{
    auto* minuteur = new QTimer;
    minuteur->setInterval(20);
    QObject::connect(minuteur, &QTimer::timeout, [minuteur, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            minuteur->stop();
            minuteur->deleteLater();
            action(modal);
        }
    });
    minuteur->start();
    return minuteur;
}
