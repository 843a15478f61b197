#include "Plateforme_Test.h"

#include <QTest>

Plateforme_Test::Plateforme_Test(const QString& repertoire_)
    : repertoire(repertoire_), m_utc(QDate(2009, 3, 28), QTime(14, 7, 9), Qt::UTC)
{
}

void Plateforme_Test::Message(const QString& texte, QWidget*)
{
    messages.append(texte);
}

bool Plateforme_Test::Question(const QString& texte, QWidget*)
{
    questions.append(texte);
    if (reponses.isEmpty()) {
        questionsImprevues.append(texte);
        return false;
    }
    return reponses.takeFirst();
}

int Plateforme_Test::Choix(const QString& texte, const QStringList& reponses, QWidget*)
{
    questions.append(texte);
    if (choix.isEmpty()) {
        questionsImprevues.append(texte);
        return int(reponses.size()) - 1;
    }
    return choix.takeFirst();
}

QDateTime Plateforme_Test::Maintenant_Utc() const
{
    return m_utc;
}

QDateTime Plateforme_Test::Maintenant_Local() const
{
    // A local time is the UTC fields moved by the offset.
    QDateTime local = m_utc.addSecs(m_decalage);
    return QDateTime(local.date(), local.time(), Qt::LocalTime);
}

qint64 Plateforme_Test::Millisecondes() const
{
    m_millisecondes += pasMillisecondes;
    return m_millisecondes;
}

QString Plateforme_Test::Repertoire_Programme() const
{
    return repertoire;
}

QString Plateforme_Test::Fichier_A_Enregistrer(const QString& titre, const QString& propose, const QString& filtre, QWidget*,
                                               Remplacement)
{
    dialogues.append(titre + QLatin1Char('|') + propose);
    filtres.append(filtre);
    return fichiers.isEmpty() ? propose : fichiers.takeFirst();
}

QString Plateforme_Test::Fichier_A_Ouvrir(const QString& titre, const QString& dossier, const QString& filtre, QWidget*)
{
    dialogues.append(titre + QLatin1Char('|') + dossier);
    filtres.append(filtre);
    if (fichiers.isEmpty()) {
        questionsImprevues.append(titre);
        return QString();
    }
    return fichiers.takeFirst();
}

bool Plateforme_Test::Ouvrir_Dossier(const QString& dossier)
{
    dossiersOuverts.append(dossier);
    return ouvertureReussie;
}

void Plateforme_Test::Regler_Horloge(const QDateTime& utc, int decalageSecondes)
{
    m_utc = utc.toUTC();
    m_decalage = decalageSecondes;
}

QStringList Plateforme_Test::Prendre_Messages()
{
    QStringList m = messages;
    messages.clear();
    return m;
}
