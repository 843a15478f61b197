#include "FichierLog.h"

#include "Texte1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <QDateTime>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FichierLog {

QString Nom_Log(const QString& repertoire, const QString& indicatif, const QString& annee)
{
    return repertoire + QLatin1Char('/') + indicatif + QLatin1String("_Challenge_KVRT_") + annee
        + QLatin1String(".txt");
}

QString Indicatif_Affiche(const QString& indicatif)
{
    QString affiche = indicatif;
    return affiche.replace(QLatin1Char('_'), QLatin1Char('/'));
}

QString Nom_Modele(const QString& repertoire)
{
    return repertoire + QLatin1String("/FXXXX_Challenge_KVRT.txt");
}

QString Cause(int numero)
{
    switch (numero) {
    case 53: return QStringLiteral("fichier introuvable");
    case 70: return QStringLiteral("permission refusée");
    case 61: return QStringLiteral("disque plein");
    case 75: return QStringLiteral("chemin ou fichier inaccessible");
    case 57: return QStringLiteral("erreur d'entrée/sortie du périphérique");
    default: return QStringLiteral("erreur inconnue");
    }
}

// The number a system error gives by itself; 0 when it says nothing of its own.
static int Numero_Errno(int errnoVu)
{
    if (errnoVu == ENOSPC)
        return 61;
    if (errnoVu == EACCES || errnoVu == EPERM || errnoVu == EROFS)
        return 70;
    return 0;
}

static int Numero_Depuis(const QFileDevice& fichier, int errnoVu)
{
    if (const int numero = Numero_Errno(errnoVu))
        return numero;
    switch (fichier.error()) {
    case QFileDevice::PermissionsError: return 70;
    case QFileDevice::ResourceError: return 61;
    case QFileDevice::OpenError: return 75;
    default: return 57;
    }
}

static ErreurFichier Erreur(int numero, const QString& action, const QString& chemin)
{
    ErreurFichier e;
    e.numero = numero;
    e.message = QStringLiteral("Erreur N° %1 : %2 le fichier\r\n%3\r\n(%4).")
                    .arg(numero)
                    .arg(action, QDir::toNativeSeparators(chemin), Cause(numero));
    return e;
}

// A folder, a FIFO or a device in place of the log: a read would block or never end, a write
// would go nowhere a later read finds it. Every routine refuses it the same way.
static bool Autre_Qu_Un_Fichier(const QFileInfo& info)
{
    return info.exists() && !info.isFile();
}

static ErreurFichier Erreur_Ouverture(const QString& chemin, const QString& action)
{
    const QFileInfo info(chemin);
    if (!info.exists())
        return Erreur(info.dir().exists() ? 53 : 75, action, chemin);
    if (Autre_Qu_Un_Fichier(info))
        return Erreur(75, action, chemin);
    return {};
}

ErreurFichier Lire_Tout(const QString& chemin, QByteArray& contenu)
{
    contenu.clear();
    const QString action = QStringLiteral("impossible de lire");
    ErreurFichier e = Erreur_Ouverture(chemin, action);
    if (e.numero != 0)
        return e;
    QFile fichier(chemin);
    errno = 0;
    if (!fichier.open(QIODevice::ReadOnly))
        return Erreur(Numero_Depuis(fichier, errno), action, chemin);
    contenu = fichier.readAll();
    if (fichier.error() != QFileDevice::NoError)
        return Erreur(57, action, chemin);
    return {};
}

ErreurFichier Lire(const QString& chemin, QList<QByteArray>& lignes)
{
    lignes.clear();
    QByteArray contenu;
    ErreurFichier e = Lire_Tout(chemin, contenu);
    if (e.ok())
        lignes = Texte1252::Couper_Lignes(contenu);
    return e;
}

ErreurFichier Synchroniser_Dossier(const QString& cheminDansDossier)
{
#ifdef Q_OS_UNIX
    const QString dossier = QFileInfo(cheminDansDossier).absolutePath();
    const int fd = ::open(QFile::encodeName(dossier).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Erreur(errno == EACCES ? 70 : 75, QStringLiteral("impossible d'écrire sur le disque"), dossier);
    const int r = ::fsync(fd);
    const int errnoVu = errno;
    ::close(fd);
    // Some file systems cannot sync a folder and say so; their renames are as durable as they get.
    if (r != 0 && errnoVu != EINVAL && errnoVu != EROFS)
        return Erreur(errnoVu == ENOSPC ? 61 : 57, QStringLiteral("impossible d'écrire sur le disque"), dossier);
#else
    Q_UNUSED(cheminDansDossier)
#endif
    return {};
}

ErreurFichier Ajouter(const QString& chemin, const QByteArray& ligne,
                      const std::function<ErreurFichier(qint64, const QByteArray&)>& avantEcriture)
{
    const QString action = QStringLiteral("impossible d'ajouter le QSO dans");
    const QFileInfo info(chemin);
    if (Autre_Qu_Un_Fichier(info))
        return Erreur(75, action, chemin);
    QFile fichier(chemin);
    errno = 0;
    // A log deleted while the program runs is not made again with one QSO in it: the
    // caller says so and the QSO stays on screen. Unbuffered, so that a write failing part
    // way leaves no bytes in a buffer, which would stop the resize below from taking the
    // partial line back.
    if (!fichier.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return Erreur(!info.dir().exists() ? 75 : !QFileInfo::exists(chemin) ? 53 : Numero_Depuis(fichier, errno),
                      action, chemin);
    const qint64 avant = fichier.size();
    QByteArray donnees;
    // A last line without its line end would swallow the new record.
    if (avant > 0 && fichier.seek(avant - 1)) {
        const QByteArray dernier = fichier.read(1);
        if (dernier == "\r")
            donnees = "\n";
        else if (dernier != "\n")
            donnees = "\r\n";
    }
    donnees += ligne;
    donnees += "\r\n";
    if (avantEcriture) {
        const ErreurFichier e = avantEcriture(avant, donnees);
        if (!e.ok())
            return e;
    }
    errno = 0;
    const bool ecrit = fichier.write(donnees) == donnees.size() && fichier.flush();
    int errnoEcriture = errno;
#ifdef Q_OS_UNIX
    const bool surDisque = ecrit && ::fsync(fichier.handle()) == 0;
    if (ecrit && !surDisque)
        errnoEcriture = errno;
#else
    const bool surDisque = ecrit;
#endif
    if (!surDisque) {
        // Take back a partial line, so that the log stays as it was.
        const int numero = Numero_Depuis(fichier, errnoEcriture);
        fichier.resize(avant);
        fichier.close();
        return Erreur(numero, action, chemin);
    }
    fichier.close();
    // The line is in the file; a folder that will not sync does not take it back.
    ErreurFichier d = Synchroniser_Dossier(chemin);
    d.fait = !d.ok();
    return d;
}

ErreurFichier Ecrire(QIODevice& sortie, const QList<QByteArray>& lignes, const QString& nomPourMessage)
{
    // Lines go out in blocks: one write per line would be slow on a year's log.
    QByteArray bloc;
    bloc.reserve(1 << 16);
    qsizetype i = 0;
    while (i < lignes.size() || !bloc.isEmpty()) {
        while (i < lignes.size() && bloc.size() < (1 << 16)) {
            bloc += lignes.at(i++);
            bloc += "\r\n";
        }
        errno = 0;
        if (sortie.write(bloc) != bloc.size()) {
            int numero = 57;
            if (errno == ENOSPC)
                numero = 61;
            else if (auto* f = qobject_cast<QFileDevice*>(&sortie))
                numero = Numero_Depuis(*f, errno);
            return Erreur(numero, QStringLiteral("impossible d'écrire"), nomPourMessage);
        }
        bloc.clear();
    }
    return {};
}

// The program's own temporary files beside a file: "<name>.kvrt-tmp-" and six letters or
// digits. No person names a copy so, and only these are ever removed at start-up.
static QString Modele_Temporaire(const QString& chemin)
{
    return chemin + QLatin1String(".kvrt-tmp-XXXXXX");
}

// Pushes a file's bytes to the disk; false when the disk says it could not.
static bool Vers_Le_Disque(QFileDevice& fichier)
{
#if defined(Q_OS_UNIX)
    return ::fsync(fichier.handle()) == 0;
#elif defined(Q_OS_WIN)
    const intptr_t h = _get_osfhandle(fichier.handle());
    return h != -1 && FlushFileBuffers(reinterpret_cast<HANDLE>(h));
#else
    Q_UNUSED(fichier)
    return true;
#endif
}

// Puts a closed temporary file in place of the file in one step, replacing it.
static bool Remplacer_Par(const QString& temporaire, const QString& chemin)
{
#if defined(Q_OS_WIN)
    return MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(temporaire).utf16()),
                       reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(chemin).utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return ::rename(QFile::encodeName(temporaire).constData(), QFile::encodeName(chemin).constData()) == 0;
#endif
}

// Every rewrite: a temporary file in the same folder gets all the bytes and is synced to
// disk, then replaces the file in one rename, made durable with the folder. A failure before
// the rename leaves the file as it was; after it, the file holds the new bytes and the error
// says the disk did not confirm them (ErreurFichier::fait).
static ErreurFichier Remplacer(const QString& chemin, const QString& action,
                               const std::function<ErreurFichier(QFileDevice&)>& ecrire)
{
    const QFileInfo info(chemin);
    if (Autre_Qu_Un_Fichier(info))
        return Erreur(75, action, chemin);
    if (!info.dir().exists())
        return Erreur(75, action, chemin);
    auto fichier = std::make_unique<QTemporaryFile>(Modele_Temporaire(chemin));
    errno = 0;
    if (!fichier->open())
        return Erreur(Numero_Depuis(*fichier, errno), action, chemin);
    // The new file keeps the rights of the one it replaces, as an editor's save would.
    fichier->setPermissions(info.exists() ? info.permissions()
                                          : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther);
    ErreurFichier e = ecrire(*fichier);
    if (!e.ok())
        return e; // the temporary file goes with its object
    // A failed sync means the bytes may never reach the disk: the old file stays in place.
    errno = 0;
    if (!fichier->flush() || !Vers_Le_Disque(*fichier))
        return Erreur(Numero_Depuis(*fichier, errno), action, chemin);
    const QString temporaire = fichier->fileName();
    // A temporary file's close() only goes back to its start and keeps it open, and Windows
    // refuses to put an open file in place of another: the object goes, its file stays.
    fichier->setAutoRemove(false);
    fichier.reset();
    errno = 0;
    if (!Remplacer_Par(temporaire, chemin)) {
        const int numero = Numero_Errno(errno);
        QFile::remove(temporaire);
        return Erreur(numero ? numero : 57, action, chemin);
    }
    // The rename that put the new file in place is on disk only once the folder is.
    ErreurFichier d = Synchroniser_Dossier(chemin);
    d.fait = !d.ok();
    return d;
}

ErreurFichier Reecrire(const QString& chemin, const QList<QByteArray>& lignes)
{
    return Remplacer(chemin, QStringLiteral("impossible de réécrire"),
                     [&](QFileDevice& fichier) { return Ecrire(fichier, lignes, chemin); });
}

ErreurFichier Reecrire_Octets(const QString& chemin, const QByteArray& contenu)
{
    const QString action = QStringLiteral("impossible de réécrire");
    return Remplacer(chemin, action, [&](QFileDevice& fichier) -> ErreurFichier {
        errno = 0;
        if (fichier.write(contenu) != contenu.size())
            return Erreur(Numero_Depuis(fichier, errno), action, chemin);
        return {};
    });
}

#ifdef Q_OS_UNIX
// True when a process of this machine has the file open, by its descriptors in /proc.
static bool Ouvert_Ailleurs(const QString& chemin)
{
    struct stat cible;
    if (::stat(QFile::encodeName(chemin).constData(), &cible) != 0)
        return false;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return true; // cannot tell: keep the file
    bool ouvert = false;
    while (dirent* p = ::readdir(proc)) {
        if (p->d_name[0] < '0' || p->d_name[0] > '9')
            continue;
        const QByteArray dossierFd = QByteArray("/proc/") + p->d_name + "/fd";
        DIR* fds = ::opendir(dossierFd.constData());
        if (!fds)
            continue;
        while (dirent* f = ::readdir(fds)) {
            if (f->d_name[0] == '.')
                continue;
            struct stat vu;
            if (::stat((dossierFd + '/' + f->d_name).constData(), &vu) == 0 && vu.st_dev == cible.st_dev
                && vu.st_ino == cible.st_ino) {
                ouvert = true;
                break;
            }
        }
        ::closedir(fds);
        if (ouvert)
            break;
    }
    ::closedir(proc);
    return ouvert;
}
#endif

QStringList Nettoyer_Restes(const QString& chemin)
{
    QStringList retires;
    const QFileInfo info(chemin);
    if (!info.isFile())
        return retires;
    const QDateTime dateFichier = info.lastModified();
    const QRegularExpression forme(QLatin1Char('^') + QRegularExpression::escape(info.fileName())
                                   + QStringLiteral("\\.kvrt-tmp-[A-Za-z0-9]{6}$"));
    const QDir dossier = info.absoluteDir();
    for (const QFileInfo& reste : dossier.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!forme.match(reste.fileName()).hasMatch() || reste.isSymLink())
            continue;
        // A temporary file newer than the file may belong to a rewrite running right now.
        if (reste.lastModified() >= dateFichier)
            continue;
#ifdef Q_OS_UNIX
        if (Ouvert_Ailleurs(reste.absoluteFilePath()))
            continue;
#endif
        if (QFile::remove(reste.absoluteFilePath()))
            retires.append(reste.fileName());
    }
    if (!retires.isEmpty())
        Synchroniser_Dossier(chemin);
    return retires;
}

ErreurFichier Copier(const QString& source, const QString& destination)
{
    QByteArray contenu;
    ErreurFichier e = Lire_Tout(source, contenu);
    if (!e.ok())
        return e;
    const QString action = QStringLiteral("impossible de créer");
    return Remplacer(destination, action, [&](QFileDevice& fichier) -> ErreurFichier {
        errno = 0;
        if (fichier.write(contenu) != contenu.size())
            return Erreur(Numero_Depuis(fichier, errno), action, destination);
        return {};
    });
}

bool Existe(const QString& chemin)
{
    return QFileInfo(chemin).isFile();
}

} // namespace FichierLog
