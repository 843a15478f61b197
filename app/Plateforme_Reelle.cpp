#include "Plateforme.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

static const char* const Titre = "QEZ_Challenge_KVRT";

void Plateforme_Reelle::Message(const QString& texte, QWidget* parent)
{
    QMessageBox boite(QMessageBox::NoIcon, QString::fromLatin1(Titre), texte, QMessageBox::Ok, parent);
    boite.exec();
}

bool Plateforme_Reelle::Question(const QString& texte, QWidget* parent)
{
    QMessageBox boite(QMessageBox::NoIcon, QString::fromLatin1(Titre), texte,
                      QMessageBox::Yes | QMessageBox::No, parent);
    boite.button(QMessageBox::Yes)->setText(QStringLiteral("&Oui"));
    boite.button(QMessageBox::No)->setText(QStringLiteral("&Non"));
    boite.setDefaultButton(QMessageBox::Yes);
    return boite.exec() == QMessageBox::Yes;
}

QDateTime Plateforme_Reelle::Maintenant_Utc() const
{
    return QDateTime::currentDateTimeUtc();
}

QDateTime Plateforme_Reelle::Maintenant_Local() const
{
    return QDateTime::currentDateTime();
}

QString Plateforme_Reelle::Repertoire_Programme() const
{
    return QApplication::applicationDirPath();
}
