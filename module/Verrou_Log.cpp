#include "Verrou_Log.h"

#include "FichierLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

// A lock that no running process holds is abandoned, whatever its file says: one left empty
// by a program killed between its creation and its writing, or one whose own removal a kill
// interrupted. QLockFile holds an flock on its file from its creation until it lets it go;
// on Windows the holder keeps the file open and the removal that follows fails.
static bool Abandonne(const QString& chemin)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool libre = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return libre;
#else
    Q_UNUSED(chemin);
    return true;
#endif
}

// The log's real path, its links followed: two programs that reach one log through different
// links, or through a linked folder, take the same lock.
static QString Absolu(const QString& chemin)
{
    const QString reel = FichierLog::Chemin_Reel(chemin);
    const QString canonique = QFileInfo(reel).canonicalFilePath();
    return canonique.isEmpty() ? QDir::cleanPath(QFileInfo(reel).absoluteFilePath()) : canonique;
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
    if (!pris && verrou->error() == QLockFile::LockFailedError && Abandonne(Chemin_Verrou(Absolu(log)))
        && verrou->removeStaleLockFile())
        pris = verrou->tryLock(0);
    qint64 processus = 0;
    QString machine, programme;
    if (!pris && verrou->error() == QLockFile::LockFailedError)
        verrou->getLockInfo(&processus, &machine, &programme);
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
