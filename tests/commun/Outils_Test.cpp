#include "Outils_Test.h"

#include "Enregistrement.h"
#include "Main.h"
#include "Texte1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

Programme_Test::Programme_Test()
{
    Q_ASSERT(dossier.isValid());
    Ecrire_Fichier(QStringLiteral("FXXXX_Challenge_KVRT.txt"), QByteArray());
    plateforme = std::make_unique<Plateforme_Test>(dossier.path());
    reglages = std::make_unique<Reglages>(dossier.path() + QStringLiteral("/reglages/Challenge_KVRT.ini"));
    sp = std::make_unique<Sous_Programmes>(*plateforme, *reglages);
}

Programme_Test::~Programme_Test()
{
    delete main;
}

QString Programme_Test::Log(const QString& indicatif, const QString& annee) const
{
    return Chemin(indicatif + QStringLiteral("_Challenge_KVRT_") + annee + QStringLiteral(".txt"));
}

void Programme_Test::Installer_Station(const QString& indicatif, const QString& annee)
{
    reglages->Ecrire(Reglages::Section_Commune(), QStringLiteral("Indicatif Station"), indicatif);
    reglages->Ecrire(Reglages::Section_Station(indicatif), QStringLiteral("Annee Challenge"), annee);
    if (!QFile::exists(Log(indicatif, annee)))
        Ecrire_Log({}, indicatif, annee);
}

void Programme_Test::Ecrire_Fichier(const QString& nom, const QByteArray& octets) const
{
    QFile f(Chemin(nom));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(f.fileName()));
    f.write(octets);
}

QByteArray Programme_Test::Lire_Fichier(const QString& nom) const
{
    QFile f(Chemin(nom));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void Programme_Test::Ecrire_Log(const QStringList& enregistrements, const QString& indicatif, const QString& annee) const
{
    QFile f(Log(indicatif, annee));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write the log");
    f.write(Octets(enregistrements));
}

QByteArray Programme_Test::Octets_Log(const QString& indicatif, const QString& annee) const
{
    QFile f(Log(indicatif, annee));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

Main* Programme_Test::Demarrer()
{
    delete main;
    main = new Main(*sp);
    main->Main_Form_Load();
    return main;
}

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

QByteArray Octets(const QStringList& lignes)
{
    QByteArray b;
    for (const QString& l : lignes) {
        b += Texte1252::Encoder(l);
        b += "\r\n";
    }
    return b;
}

void Entree(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

void Taper(QWidget* w, const QString& texte, bool entree)
{
    QWidget* cible = w;
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        cible = combo->lineEdit();
    QTest::keyClicks(cible, texte);
    if (entree)
        QTest::keyClick(cible, Qt::Key_Return);
}

void Saisir(Main* m, const QString& indicatif, int type, const QString& reference)
{
    Taper(m->Ind_A, indicatif);
    m->Type_A->setCurrentIndex(type);
    Entree(m->Type_A->lineEdit());
    Taper(m->KVRT_A, reference);
    // The tick stays as the last QSO shown left it; these QSOs are not waiting.
    m->Validation_A->setChecked(false);
    Entree(m->Validation_A);
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
