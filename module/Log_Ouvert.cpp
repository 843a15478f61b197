#include "Log_Ouvert.h"

#include <QDir>
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
    return Etat_Fichier::De(m_reel);
}

bool Log_Ouvert::Douteux() const
{
    if (!m_vu.isValid() || !m_etat.modifie.isValid())
        return true;
    const QDateTime dernier = qMax(m_etat.modifie, m_etat.change);
    return dernier.msecsTo(m_vu) < Pas_Des_Dates_Ms;
}

ErreurFichier Log_Ouvert::Lire_Octets(QByteArray& octets, bool douteAdmis)
{
    octets = QByteArray();
    const QString reelAvant = m_reel;
    // The time is taken before the file is looked at: a save made after it is never taken
    // for the bytes read.
    const QDateTime avant = QDateTime::currentDateTimeUtc();
    const Etat_Fichier etat = Etat_Actuel();
    if (!(m_connu && etat.existe && m_reel == reelAvant && etat == m_etat && (douteAdmis || !Douteux()))) {
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

ErreurFichier Log_Ouvert::Lire_Contenu(QByteArray& contenu, bool douteAdmis)
{
    QByteArray octets;
    const ErreurFichier e = Lire_Octets(octets, douteAdmis);
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

Log_Ouvert::Mise_En_Forme Log_Ouvert::Mettre_En_Forme(const QByteArray* lu)
{
    Mise_En_Forme r;
    QByteArray octets;
    if (lu && Tient(*lu))
        octets = m_octets;
    else if (!Lire_Octets(octets).ok())
        return r;
    const Forme_Log::Examen examen = Examen();
    if (examen.Propre())
        return r;
    const QString nom = QDir::toNativeSeparators(m_chemin);
    if (!examen.Convertible()) {
        r.refus = QStringLiteral("Le log\r\n%1\r\na été enregistré par un autre programme (%2), mais il contient %3. Le "
                                 "programme ne peut pas le réécrire dans sa forme (Windows-1252, fins de ligne CR LF, colonnes "
                                 "fixes) sans deviner ce qu'il contient : ouvrez-le dans un éditeur de texte, retirez ces "
                                 "caractères et enregistrez-le en UTF-8 ou en Windows-1252.")
                      .arg(nom, Forme_Log::Decrire(examen), Forme_Log::Decrire_Obstacle(examen));
        return r;
    }
    QString copie;
    ErreurFichier e;
    if (examen.Etrangere()) {
        e = FichierLog::Garder_Copie(m_chemin, QStringLiteral("version_editeur"), octets, copie);
        if (e.ok())
            r.avis = QStringLiteral("Le log\r\n%1\r\na été enregistré par un autre programme (%2). Il est réécrit dans la "
                                    "forme du programme (Windows-1252, fins de ligne CR LF, colonnes fixes), et la version "
                                    "de l'autre programme est gardée dans le fichier\r\n%3")
                         .arg(nom, Forme_Log::Decrire(examen), QDir::toNativeSeparators(copie));
    }
    // Where only the last line end is missing, the program adds it, as any rewrite always has.
    if (e.ok()) {
        const QByteArray remis = Forme_Log::Remettre(octets, examen);
        octets = QByteArray();
        e = FichierLog::Reecrire_Octets(m_chemin, remis);
        if (e.fait)
            e = {};
        if (e.ok())
            Ecrit(remis);
        else
            Oublier();
    }
    if (!e.ok())
        r.refus = e.message;
    return r;
}
