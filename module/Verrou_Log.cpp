#include "Verrou_Log.h"

#include "FichierLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// What is found of a lock file that tryLock could not take.
enum class Etat_Verrou {
    Tenu,      // a running process holds it
    Retire,    // abandoned and removed, or gone meanwhile: tryLock may try again
    Bloque,    // abandoned, but this user may not remove it
    Illisible  // this user may not even open it: nothing tells whether it is held
};

} // namespace

// A lock that no running process holds is abandoned, whatever its file says and whoever
// wrote it: one left empty by a program killed between its creation and its writing, one
// whose own removal a kill interrupted, one left by a run under another user (a crash under
// sudo). QLockFile holds an flock on its file from its creation until it lets it go, and
// removes a stale one only once it has opened it for writing, which another user's file
// refuses; the folder's right to remove a name is all that is needed here. On Windows the
// holder keeps the file open and the removal fails while it runs.
static Etat_Verrou Retirer_Si_Abandonne(QLockFile& verrou, const QString& chemin, int& erreur)
{
#ifdef Q_OS_UNIX
    Q_UNUSED(verrou);
    const QByteArray nom = QFile::encodeName(chemin);
    const int fd = ::open(nom.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        erreur = errno;
        return erreur == ENOENT ? Etat_Verrou::Retire : Etat_Verrou::Illisible;
    }
    Etat_Verrou etat = Etat_Verrou::Tenu;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Removed while this flock is held, and only when the name still leads to the file
        // locked: a lock another program has just made in its place is never taken for it.
        struct stat ouvert, nomme;
        etat = Etat_Verrou::Retire;
        if (::fstat(fd, &ouvert) == 0 && ::stat(nom.constData(), &nomme) == 0 && ouvert.st_dev == nomme.st_dev
            && ouvert.st_ino == nomme.st_ino && ::unlink(nom.constData()) != 0 && errno != ENOENT) {
            erreur = errno;
            etat = Etat_Verrou::Bloque;
        }
    }
    ::close(fd);
    return etat;
#else
    Q_UNUSED(chemin);
    Q_UNUSED(erreur);
    return verrou.removeStaleLockFile() ? Etat_Verrou::Retire : Etat_Verrou::Tenu;
#endif
}

// Whether a lock was written on this machine, decided as QLockFile decides it: by the
// machine's unique id when the lock and this machine have one, by the host name otherwise.
// A lock that says nothing of its machine is taken as this machine's.
static bool De_Cette_Machine(const QString& chemin, const QString& machine)
{
    if (machine.isEmpty())
        return true;
    QFile f(chemin);
    const QList<QByteArray> lignes = f.open(QIODevice::ReadOnly) ? f.readAll().split('\n') : QList<QByteArray>();
    const QByteArray id = lignes.value(3).trimmed(), ici = QSysInfo::machineUniqueId();
    if (!id.isEmpty() && !ici.isEmpty())
        return id == ici;
    return machine == QSysInfo::machineHostName();
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
    m_machine = std::move(autre.m_machine);
    m_depuis = autre.m_depuis;
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

bool Verrou_Log::Prendre(const QString& log, bool reprendre)
{
    m_occupe = false;
    m_processus = 0;
    m_machine.clear();
    m_depuis = {};
    m_refus.clear();
    if (Tient(log))
        return true;
    const QString chemin = Chemin_Verrou(Absolu(log));
    auto verrou = std::make_unique<QLockFile>(chemin);
    // The program holds its log for hours: a lock is never old enough to be taken from a
    // program that still runs, nor from another machine whose program this one cannot see.
    // One whose process is gone from this machine is taken over here.
    verrou->setStaleLockTime(0);
    bool pris = verrou->tryLock(0);
    Etat_Verrou etat = Etat_Verrou::Tenu;
    int erreur = 0;
    qint64 processus = 0;
    QString machine, programme;
    if (!pris && verrou->error() == QLockFile::LockFailedError && verrou->getLockInfo(&processus, &machine, &programme)
        && !reprendre && !De_Cette_Machine(chemin, machine)) {
        // The lock came with the log from the computer that has it open: nothing here tells
        // whether its program still runs, and the operator decides.
        m_processus = processus;
        m_machine = machine;
        m_depuis = QFileInfo(chemin).lastModified();
        m_refus = QStringLiteral("Le log\r\n%1\r\nest ouvert par le programme de la machine %2 depuis le %3 (processus N° %4).")
                      .arg(QDir::toNativeSeparators(Absolu(log)), m_machine,
                           m_depuis.toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm")))
                      .arg(m_processus);
        return false;
    }
    if (!pris && verrou->error() == QLockFile::LockFailedError) {
        etat = Retirer_Si_Abandonne(*verrou, chemin, erreur);
        if (etat == Etat_Verrou::Retire)
            pris = verrou->tryLock(0);
    }
    if (!pris && verrou->error() == QLockFile::LockFailedError)
        verrou->getLockInfo(&processus, &machine, &programme);
    if (pris) {
        std::unique_ptr<QLockFile> ancien = std::move(m_verrou);
        m_verrou = std::move(verrou);
        m_log = Absolu(log);
        return true;
    }
    const QString nom = QDir::toNativeSeparators(Absolu(log));
    // No program has it, but the lock file stays: the user is told which file to remove.
    const QString cause = FichierLog::Cause(erreur == EACCES || erreur == EPERM || erreur == EROFS ? 70 : 75);
    if (etat == Etat_Verrou::Bloque) {
        m_refus = QStringLiteral("Le log\r\n%1\r\nest bloqué par un verrou abandonné, laissé par un programme qui ne tourne plus "
                                 "(lancé peut-être par un autre utilisateur ou en administrateur). Le programme ne peut pas "
                                 "supprimer ce verrou (%2) :\r\n%3\r\nSupprimez ce fichier, au besoin en administrateur, "
                                 "puis recommencez.")
                      .arg(nom, cause, QDir::toNativeSeparators(chemin));
        return false;
    }
    if (etat == Etat_Verrou::Illisible) {
        m_refus = QStringLiteral("Le log\r\n%1\r\nest bloqué par un verrou que le programme ne peut pas lire (%2), laissé par "
                                 "un autre utilisateur ou en administrateur :\r\n%3\r\nSi aucune autre fenêtre du programme n'a "
                                 "ce log ouvert, ce verrou est abandonné : supprimez ce fichier, au besoin en administrateur, "
                                 "puis recommencez.")
                      .arg(nom, cause, QDir::toNativeSeparators(chemin));
        return false;
    }
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
                  .arg(QDir::toNativeSeparators(chemin), FichierLog::Cause(numero), nom);
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
