#include "Garde_Log.h"

#include "FichierLog.h"
#include "Log_Ouvert.h"
#include "Plateforme.h"

Resultat_Changement Garde_Log::Tenir(const QString& log, const QString& suite, QWidget* parent)
{
    Resultat_Changement r;
    r.fait = true;
    if (m_verrou.Tient(log))
        return r;
    Verrou_Log nouveau;
    if (nouveau.Prendre(log)) {
        m_verrou = std::move(nouveau);
        return r;
    }
    r.fait = false;
    const QString fin = suite.isEmpty() ? QString() : QStringLiteral("\r\n") + suite;
    if (!nouveau.Ailleurs()) {
        r.Dire(nouveau.Refus() + fin);
        return r;
    }
    // The operator is asked once; after Non the log stays read-only, and each change says so.
    if (log != m_lectureSeule && Ouvrir_Malgre_Verrou(nouveau, log, parent)) {
        m_verrou = std::move(nouveau);
        r.fait = true;
        return r;
    }
    if (log == m_lectureSeule)
        r.Dire(QStringLiteral("Ce log est ouvert en lecture seule, car le programme de la machine %1 le tient ouvert.").arg(m_machine)
               + fin);
    return r;
}

bool Garde_Log::Prendre_Sans_Question(const QString& log)
{
    if (m_verrou.Tient(log))
        return true;
    Verrou_Log nouveau;
    if (!nouveau.Prendre(log))
        return false;
    m_verrou = std::move(nouveau);
    return true;
}

bool Garde_Log::Ouvrir_Malgre_Verrou(Verrou_Log& verrou, const QString& log, QWidget* parent)
{
    const QString machine = verrou.Machine();
    if (!m_plateforme.Question(verrou.Refus()
                                   + QStringLiteral("\r\nS'il y tourne encore, il écrit lui aussi dans ce log. Oui : le log est "
                                                    "repris ici, et ne doit plus être modifié sur %1. Non : le log est ouvert "
                                                    "en lecture seule.\r\nOuvrir ce log quand même ?")
                                         .arg(machine),
                               parent)) {
        m_lectureSeule = log;
        m_machine = machine;
        return false;
    }
    if (!verrou.Prendre(log, true)) {
        m_plateforme.Message(verrou.Refus(), parent);
        return false;
    }
    if (m_lectureSeule == log)
        m_lectureSeule.clear();
    m_statut(QStringLiteral("Verrou du log repris à la machine %1.").arg(machine));
    return true;
}

Resultat_Changement Garde_Log::Preparer(Log_Ouvert& log, const QString& suite, const QByteArray* lu, QWidget* parent)
{
    Resultat_Changement r = Tenir(log.Chemin(), suite, parent);
    if (!r.fait)
        return r;
    const ErreurFichier modifiable = FichierLog::Verifier_Modifiable(log.Chemin(), QStringLiteral("impossible de modifier"));
    if (!modifiable.ok()) {
        r.fait = false;
        r.Dire(modifiable.message + QStringLiteral("\r\n") + suite);
        return r;
    }
    const Log_Ouvert::Mise_En_Forme forme = log.Mettre_En_Forme(lu);
    r.Dire(forme.avis);
    if (!forme.refus.isEmpty()) {
        r.fait = false;
        r.Dire(forme.refus + QStringLiteral("\r\n") + suite);
    }
    return r;
}
