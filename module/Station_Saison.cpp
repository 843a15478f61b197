#include "Station_Saison.h"

#include "Dossier_Logs.h"
#include "FichierLog.h"
#include "Plateforme.h"

#include <QStandardPaths>

void Station_Saison::Choisir(const QString& indicatif, const QString& annee)
{
    m_indicatif = indicatif;
    m_annee = annee;
}

QString Station_Saison::Repertoire() const
{
    return m_repertoire.isEmpty() ? m_plateforme.Repertoire_Programme() : m_repertoire;
}

QString Station_Saison::Choisir_Repertoire()
{
#ifdef KVRT_PROGRAMME_PARTAGE
    // Built for the system's package: its folder belongs to the package manager.
    const bool partage = true;
#else
    const bool partage = false;
#endif
    const Choix_Dossier choix = Dossier_Logs::Choisir(m_plateforme.Repertoire_Programme(),
                                                      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), partage);
    m_repertoire = choix.dossier;
    return choix.erreur;
}

QString Station_Saison::Nom_Log() const
{
    return FichierLog::Nom_Log(Repertoire(), m_indicatif, m_annee);
}

QStringList Station_Saison::Dossiers_Connus() const
{
    return {m_precedent, m_plateforme.Repertoire_Programme(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)};
}
