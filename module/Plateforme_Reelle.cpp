#include "Plateforme_Reelle.h"

#include "Apparence.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QUrl>

static const char* const Titre = "QEZ_Challenge_KVRT";

// Qt wraps a message wider than half the screen; a message made of lines (the history, a
// file name) is read line by line, so the box is made as wide as its longest line, within
// the screen.
static void Elargir(QMessageBox& boite, const QString& texte)
{
    auto* label = boite.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    const QFontMetrics mesure(label->font());
    int largeur = 0;
    for (const QString& ligne : texte.split(QRegularExpression(QStringLiteral("\r\n|\n|\r"))))
        largeur = qMax(largeur, mesure.horizontalAdvance(ligne));
    // A pixel or two more than the text: the label lays its text out with a small margin.
    largeur += 2 * label->margin() + 4;
    // Never wider than Qt lets a message box grow (the whole of a small screen, else the
    // screen less 480 pixels and 1000 at most), less the box's own margins: a longer line
    // wraps there, as it would anyway.
    const QScreen* ecran = boite.screen() ? boite.screen() : QGuiApplication::primaryScreen();
    if (ecran) {
        const int ecranLargeur = ecran->availableGeometry().width();
        const int limite = ecranLargeur <= 1024 ? ecranLargeur : qMin(ecranLargeur - 480, 1000);
        largeur = qMin(largeur, limite - 60);
    }
    label->setMinimumWidth(largeur);
}

void Plateforme_Reelle::Message(const QString& texte, QWidget* parent)
{
    QMessageBox boite(QMessageBox::NoIcon, QString::fromLatin1(Titre), texte, QMessageBox::Ok, parent);
    Elargir(boite, texte);
    boite.exec();
}

bool Plateforme_Reelle::Question(const QString& texte, QWidget* parent)
{
    QMessageBox boite(QMessageBox::NoIcon, QString::fromLatin1(Titre), texte,
                      QMessageBox::Yes | QMessageBox::No, parent);
    boite.button(QMessageBox::Yes)->setText(QStringLiteral("&Oui"));
    boite.button(QMessageBox::No)->setText(QStringLiteral("&Non"));
    boite.setDefaultButton(QMessageBox::Yes);
    Elargir(boite, texte);
    return boite.exec() == QMessageBox::Yes;
}

int Plateforme_Reelle::Choix(const QString& texte, const QStringList& reponses, QWidget* parent)
{
    QMessageBox boite(QMessageBox::NoIcon, QString::fromLatin1(Titre), texte, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> boutons;
    for (const QString& reponse : reponses)
        boutons.append(boite.addButton(reponse, QMessageBox::ActionRole));
    if (boutons.isEmpty())
        return -1;
    boite.setDefaultButton(qobject_cast<QPushButton*>(boutons.first()));
    boite.setEscapeButton(boutons.last());
    Elargir(boite, texte);
    boite.exec();
    const int i = boutons.indexOf(boite.clickedButton());
    return i < 0 ? int(boutons.size()) - 1 : i;
}

QDateTime Plateforme_Reelle::Maintenant_Utc() const
{
    return QDateTime::currentDateTimeUtc();
}

QDateTime Plateforme_Reelle::Maintenant_Local() const
{
    return QDateTime::currentDateTime();
}

qint64 Plateforme_Reelle::Millisecondes() const
{
    static const QElapsedTimer depart = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return depart.elapsed();
}

QString Plateforme_Reelle::Repertoire_Programme() const
{
    return QApplication::applicationDirPath();
}

QString Plateforme_Reelle::Fichier_A_Enregistrer(const QString& titre, const QString& propose, const QString& filtre,
                                                 QWidget* parent, Remplacement remplacement)
{
    // Qt's own dialog, the same on every desktop and in French with Qt's translations.
    QFileDialog dialogue(parent, titre, QFileInfo(propose).absolutePath(), filtre);
    dialogue.setObjectName(QStringLiteral("Dialogue_Enregistrer"));
    dialogue.setAcceptMode(QFileDialog::AcceptSave);
    dialogue.setFileMode(QFileDialog::AnyFile);
    if (remplacement == Remplacement::Demander) {
        dialogue.setOption(QFileDialog::DontUseNativeDialog);
        // A name typed without its extension gets the filter's.
        const qsizetype point = filtre.indexOf(QLatin1String("*."));
        if (point >= 0)
            dialogue.setDefaultSuffix(filtre.mid(point + 2).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0));
    } else {
        dialogue.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    }
    dialogue.selectFile(QFileInfo(propose).fileName());
    // Every column header whole, the French ones being longer than Qt's own.
    Apparence::Colonnes_Entieres(dialogue);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty())
        return QString();
    return dialogue.selectedFiles().first();
}

QString Plateforme_Reelle::Fichier_A_Ouvrir(const QString& titre, const QString& dossier, const QString& filtres,
                                            QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, titre, dossier, filtres);
}

bool Plateforme_Reelle::Ouvrir_Dossier(const QString& dossier)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(dossier));
}
