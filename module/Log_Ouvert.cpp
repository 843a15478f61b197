#include "Log_Ouvert.h"

#include <QFileInfo>

// A file system may keep a file's times to 2 s (FAT): two saves within that step can leave the
// same size and times, so bytes known for less than that after the file's time are read again.
static constexpr qint64 Pas_Des_Dates_Ms = 2000;

void Log_Ouvert::Ouvrir(const QString& chemin)
{
    if (chemin == m_chemin)
        return;
    Oublier();
    m_chemin = chemin;
    m_reel.clear();
}

Log_Ouvert::Etat_Fichier Log_Ouvert::Etat_Actuel()
{
    m_reel = FichierLog::Chemin_Reel(m_chemin);
    const QFileInfo info(m_reel);
    Etat_Fichier e;
    e.existe = info.exists();
    if (e.existe) {
        e.taille = info.size();
        e.modifie = info.lastModified();
        e.change = info.metadataChangeTime();
    }
    return e;
}

bool Log_Ouvert::Douteux() const
{
    if (!m_vu.isValid() || !m_etat.modifie.isValid())
        return true;
    const QDateTime dernier = qMax(m_etat.modifie, m_etat.change);
    return dernier.msecsTo(m_vu) < Pas_Des_Dates_Ms;
}

ErreurFichier Log_Ouvert::Lire_Octets(QByteArray& octets)
{
    octets = QByteArray();
    const QString reelAvant = m_reel;
    // The time is taken before the file is looked at: a save made after it is never taken
    // for the bytes read.
    const QDateTime avant = QDateTime::currentDateTimeUtc();
    const Etat_Fichier etat = Etat_Actuel();
    if (!(m_connu && etat.existe && m_reel == reelAvant && etat == m_etat && !Douteux())) {
        ++m_lectures;
        QByteArray lu;
        const ErreurFichier e = FichierLog::Lire_Octets(m_chemin, lu);
        if (!e.ok()) {
            Oublier();
            return e;
        }
        // The same bytes as held keep the ones the windows already share, and their form.
        if (!m_connu || lu != m_octets) {
            Oublier();
            m_octets = std::move(lu);
        }
        m_etat = etat;
        m_vu = avant;
        m_connu = true;
    }
    octets = m_octets;
    return {};
}

ErreurFichier Log_Ouvert::Lire_Contenu(QByteArray& contenu)
{
    QByteArray octets;
    const ErreurFichier e = Lire_Octets(octets);
    contenu = e.ok() ? Contenu() : QByteArray();
    return e;
}

const QByteArray& Log_Ouvert::Contenu()
{
    if (!m_contenuFait) {
        m_contenu = Forme_Log::Remettre(m_octets, Examen());
        m_contenuFait = true;
    }
    return m_contenu;
}

bool Log_Ouvert::Tient(const QByteArray& contenu) const
{
    return m_connu && m_contenuFait && contenu.size() == m_contenu.size() && contenu.constData() == m_contenu.constData();
}

const Forme_Log::Examen& Log_Ouvert::Examen()
{
    if (!m_examen)
        m_examen = Forme_Log::Examiner(m_octets);
    return *m_examen;
}

void Log_Ouvert::Ecrit(const QByteArray& octets)
{
    m_octets = octets;
    m_contenu = QByteArray();
    m_contenuFait = false;
    m_examen.reset();
    // Known from now on; its times say only whether the file changes again, since an editor's
    // save within their step of this write would leave them as they are.
    m_vu = QDateTime::currentDateTimeUtc();
    m_etat = Etat_Actuel();
    m_connu = m_etat.existe;
}

void Log_Ouvert::Ajoute(QByteArrayView donnees)
{
    QByteArray octets = std::move(m_octets);
    Oublier();
    octets.append(donnees);
    Ecrit(octets);
}

void Log_Ouvert::Oublier()
{
    m_connu = false;
    m_octets = QByteArray();
    m_contenu = QByteArray();
    m_contenuFait = false;
    m_examen.reset();
    m_etat = Etat_Fichier();
    m_vu = QDateTime();
}
