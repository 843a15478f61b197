#include "Verrou_Log.h"

#include "FichierLog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

// Seconds after which a lock file naming no process is taken for the remains of a power cut.
constexpr qint64 Age_Verrou_Muet_S = 10;

static QString Absolu(const QString& chemin)
{
    return QDir::cleanPath(QFileInfo(chemin).absoluteFilePath());
}

Verrou_Log::Verrou_Log() = default;

Verrou_Log::~Verrou_Log() = default;

Verrou_Log::Verrou_Log(Verrou_Log&& autre) noexcept = default;

Verrou_Log& Verrou_Log::operator=(Verrou_Log&& autre) noexcept
{
    // The lock taken by `autre` is held here before the one held until now is let go.
    std::unique_ptr<QLockFile> ancien = std::move(m_verrou);
    m_verrou = std::move(autre.m_verrou);
    m_log = std::move(autre.m_log);
    m_occupe = autre.m_occupe;
    m_processus = autre.m_processus;
    m_refus = std::move(autre.m_refus);
    autre.m_log.clear();
    ancien.reset();
    return *this;
}

QString Verrou_Log::Chemin_Verrou(const QString& log)
{
    // Hidden beside the log, as editors hide theirs: the folder the operator looks at shows
    // his logs, and no pattern of his files takes it in.
    const QFileInfo info(log);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

bool Verrou_Log::Prendre(const QString& log)
{
    m_occupe = false;
    m_processus = 0;
    m_refus.clear();
    if (Tient(log))
        return true;
    auto verrou = std::make_unique<QLockFile>(Chemin_Verrou(Absolu(log)));
    // The program holds its log for hours: a lock is never old enough to be taken from a
    // program that still runs. One whose process is gone is taken over by tryLock itself.
    verrou->setStaleLockTime(0);
    bool pris = verrou->tryLock(0);
    qint64 processus = 0;
    QString machine, programme;
    if (!pris && verrou->error() == QLockFile::LockFailedError && !verrou->getLockInfo(&processus, &machine, &programme)) {
        // A lock file that names no process was cut short (a power failure between its
        // creation and its writing): once older than any writing takes, it belongs to nobody.
        const QDateTime date = QFileInfo(Chemin_Verrou(Absolu(log))).lastModified();
        if (date.isValid() && qAbs(date.secsTo(QDateTime::currentDateTime())) > Age_Verrou_Muet_S && verrou->removeStaleLockFile())
            pris = verrou->tryLock(0);
    }
    if (pris) {
        std::unique_ptr<QLockFile> ancien = std::move(m_verrou);
        m_verrou = std::move(verrou);
        m_log = Absolu(log);
        return true;
    }
    const QString nom = QDir::toNativeSeparators(Absolu(log));
    if (verrou->error() == QLockFile::LockFailedError) {
        m_occupe = true;
        m_processus = processus;
        const QString qui = m_processus > 0 ? QStringLiteral(" (processus N° %1)").arg(m_processus) : QString();
        m_refus = QStringLiteral("Le log\r\n%1\r\nest déjà ouvert dans une autre fenêtre du programme%2.\r\n"
                                 "Il n'est pas modifié ici : passez à cette fenêtre pour y travailler, "
                                 "choisissez une autre station ou une autre année, ou quittez le programme.")
                      .arg(nom, qui);
        return false;
    }
    // The folder cannot take the lock file: a read-only folder, or a full disk.
    const int numero = verrou->error() == QLockFile::PermissionError ? 70 : 75;
    m_refus = QStringLiteral("Erreur N° %1 : impossible de créer le fichier\r\n%2\r\n(%3).\r\nLe log\r\n%4\r\nne peut pas être modifié.")
                  .arg(numero)
                  .arg(QDir::toNativeSeparators(Chemin_Verrou(Absolu(log))), FichierLog::Cause(numero), nom);
    return false;
}

void Verrou_Log::Rendre()
{
    m_verrou.reset();
    m_log.clear();
}

bool Verrou_Log::Tient(const QString& log) const
{
    return m_verrou && m_verrou->isLocked() && m_log == Absolu(log);
}
