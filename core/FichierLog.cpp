#include "FichierLog.h"

#include "Forme_Log.h"
#include "Texte1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>

#include <QDateTime>
#include <QRegularExpression>

#include <atomic>
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

Etat_Fichier Etat_Fichier::De(const QString& chemin)
{
    const QFileInfo info(chemin);
    Etat_Fichier e;
    e.existe = info.exists();
    if (e.existe) {
        e.taille = info.size();
        e.modifie = info.lastModified();
        e.change = info.metadataChangeTime();
    }
    return e;
}

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

QString Texte_Echec_Creation(const ErreurFichier& e, const QString& chemin, const QString& suite)
{
    return QStringLiteral("Erreur N° %1 : impossible de créer le fichier\r\n%2\r\n(%3).\r\n")
               .arg(e.numero)
               .arg(QDir::toNativeSeparators(chemin), Cause(e.numero))
        + suite;
}

// True when both names lead to the same file, links and "." included.
static bool Meme_Fichier(const QString& a, const QString& b)
{
    const QFileInfo ia(a), ib(b);
    if (ia.exists() && ib.exists())
        return ia.canonicalFilePath() == ib.canonicalFilePath();
    return QDir::cleanPath(ia.absoluteFilePath()) == QDir::cleanPath(ib.absoluteFilePath());
}

QString Refus_Cible(const QString& chemin, const QString& log, const QString& journal, const QString& quoi,
                    const QString& suite)
{
    // The log and its journal change only through the program's own rewrites, which keep
    // them in step: no other file takes their place.
    if (!Meme_Fichier(chemin, log) && !Meme_Fichier(chemin, journal))
        return QString();
    return quoi + QStringLiteral(" ne peut pas remplacer le log ni son journal :\r\n") + QDir::toNativeSeparators(chemin)
        + QStringLiteral("\r\n") + suite;
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
    return Cause_Errno(errnoVu).numero;
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

static ErreurFichier Erreur(int numero, const QString& action, const QString& chemin, const QString& cause = {})
{
    ErreurFichier e;
    e.numero = numero;
    e.message = QStringLiteral("Erreur N° %1 : %2 le fichier\r\n%3\r\n(%4).")
                    .arg(numero)
                    .arg(action, QDir::toNativeSeparators(chemin), cause.isEmpty() ? Cause(numero) : cause);
    return e;
}

Cause_Systeme Cause_Windows(quint32 code)
{
    // The codes are Windows' own (winerror.h); written as numbers so that the table is the
    // same on every platform, and its test runs on Linux as well as under wine.
    switch (code) {
    case 2: return {53, Cause(53)};                                                     // FILE_NOT_FOUND
    case 3: case 161: case 206: return {75, Cause(75)};                                 // PATH_NOT_FOUND, BAD_PATHNAME, FILENAME_EXCED_RANGE
    case 5: return {70, Cause(70)};                                                     // ACCESS_DENIED
    case 19: return {70, QStringLiteral("disque protégé en écriture")};                 // WRITE_PROTECT
    case 32: case 33: case 1224:                                                        // SHARING_VIOLATION, LOCK_VIOLATION, USER_MAPPED_FILE
        return {70, QStringLiteral("fichier utilisé par un autre programme")};
    case 39: case 112: return {61, Cause(61)};                                          // HANDLE_DISK_FULL, DISK_FULL
    case 1295: return {61, QStringLiteral("quota du disque dépassé")};                  // DISK_QUOTA_EXCEEDED
    case 21: return {57, QStringLiteral("périphérique non prêt")};                      // NOT_READY
    case 53: case 64: case 67: case 1231:                                               // BAD_NETPATH, NETNAME_DELETED, BAD_NET_NAME, NETWORK_UNREACHABLE
        return {75, QStringLiteral("dossier réseau inaccessible")};
    default:
        return {57, QStringLiteral("%1, code Windows %2").arg(Cause(57)).arg(code)};
    }
}

bool Passager_Windows(quint32 code)
{
    return code == 5 || code == 32 || code == 33 || code == 1224;
}

Cause_Systeme Cause_Errno(int code)
{
    if (code == ENOSPC)
        return {61, Cause(61)};
#ifdef EDQUOT
    if (code == EDQUOT)
        return {61, QStringLiteral("quota du disque dépassé")};
#endif
    if (code == EROFS)
        return {70, QStringLiteral("disque protégé en écriture")};
    if (code == EACCES || code == EPERM)
        return {70, Cause(70)};
    if (code == EBUSY || code == ETXTBSY)
        return {70, QStringLiteral("fichier utilisé par un autre programme")};
    return {0, {}};
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
    ErreurFichier e = Lire_Octets(chemin, contenu);
    if (e.ok())
        contenu = Forme_Log::Remettre(contenu);
    return e;
}

static std::atomic<int> lectures{0};

int Nombre_Lectures()
{
    return lectures.load();
}

ErreurFichier Lire_Octets(const QString& chemin, QByteArray& contenu)
{
    ++lectures;
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
    const QString dossier = QFileInfo(Chemin_Reel(cheminDansDossier)).absolutePath();
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(dossier).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Erreur(errno == EACCES ? 70 : 75, QStringLiteral("impossible d'écrire sur le disque"), dossier);
    const int r = ::fsync(fd);
    const int errnoVu = errno;
    ::close(fd);
    // Some file systems cannot sync a folder and say so; their renames are as durable as they get.
    if (r != 0 && errnoVu != EINVAL && errnoVu != EROFS)
        return Erreur(errnoVu == ENOSPC ? 61 : 57, QStringLiteral("impossible d'écrire sur le disque"), dossier);
#elif defined(Q_OS_WIN)
    // The renames are made with MOVEFILE_WRITE_THROUGH, durable when they return; the folder
    // is flushed as well where the file system lets a folder be opened for it (NTFS does).
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(dossier).utf16()),
                                 GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(h);
        CloseHandle(h);
    }
#else
    Q_UNUSED(dossier)
#endif
    return {};
}

QString Chemin_Reel(const QString& chemin)
{
    // Followed one link at a time, so that a link to a file not made yet still names it; a
    // loop of links stops after as many as a system follows.
    QString reel = chemin;
    for (int i = 0; i < 40; ++i) {
        const QFileInfo info(reel);
        if (!info.isSymLink())
            return reel;
        const QString cible = info.symLinkTarget();
        if (cible.isEmpty())
            return reel;
        reel = cible;
    }
    return chemin;
}

ErreurFichier Verifier_Modifiable(const QString& chemin, const QString& action)
{
    const QFileInfo info(Chemin_Reel(chemin));
    if (!info.exists())
        return {};
    // The owner's write right is looked at as well as the user's: an administrator may write
    // any file, but a log its owner made read-only is kept as he wants it.
    if (!info.permissions().testFlag(QFileDevice::WriteOwner))
        return Erreur(70, action, chemin, QStringLiteral("fichier en lecture seule"));
    if (!info.isWritable())
        return Erreur(70, action, chemin);
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
    const bool surDisque = ecrit && Vers_Le_Disque(fichier);
    if (ecrit && !surDisque)
        errnoEcriture = errno;
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

bool Vers_Le_Disque(QFileDevice& fichier)
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

// Puts a closed temporary file in place of the file in one step, replacing it; on failure,
// the cause as the system gives it.
static bool Remplacer_Par(const QString& temporaire, const QString& chemin, Cause_Systeme& cause)
{
#if defined(Q_OS_WIN)
    // An antivirus or an indexer that opened the file a moment ago makes the rename fail
    // with "access denied" or "in use": tried again for about two seconds.
    DWORD code = 0;
    for (int essai = 0; essai < 40; ++essai) {
        if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(temporaire).utf16()),
                        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(chemin).utf16()),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        code = GetLastError();
        if (!Passager_Windows(code))
            break;
        QThread::msleep(50);
    }
    // Windows says "access denied" as well for a file another program keeps open: the file
    // is asked for alone, which tells the one from the other.
    if (code == ERROR_ACCESS_DENIED) {
        const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(chemin).utf16()), GENERIC_READ,
                                     0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        else if (GetLastError() == ERROR_SHARING_VIOLATION)
            code = ERROR_SHARING_VIOLATION;
    }
    cause = Cause_Windows(code);
    return false;
#else
    errno = 0;
    if (::rename(QFile::encodeName(temporaire).constData(), QFile::encodeName(chemin).constData()) == 0)
        return true;
    cause = Cause_Errno(errno);
    if (cause.numero == 0)
        cause = {57, Cause(57)};
    return false;
#endif
}

// Every rewrite: a temporary file in the same folder gets all the bytes and is synced to
// disk, then replaces the file in one rename, made durable with the folder. A failure before
// the rename leaves the file as it was; after it, the file holds the new bytes and the error
// says the disk did not confirm them (ErreurFichier::fait).
static ErreurFichier Remplacer(const QString& cheminDonne, const QString& action,
                               const std::function<ErreurFichier(QFileDevice&)>& ecrire)
{
    // The messages name the file as the operator knows it; the bytes go where it really is.
    const QString& nomPourMessage = cheminDonne;
    const QString chemin = Chemin_Reel(cheminDonne);
    const QFileInfo info(chemin);
    if (Autre_Qu_Un_Fichier(info))
        return Erreur(75, action, nomPourMessage);
    if (!info.dir().exists())
        return Erreur(75, action, nomPourMessage);
    auto fichier = std::make_unique<QTemporaryFile>(Modele_Temporaire(chemin));
    errno = 0;
    if (!fichier->open())
        return Erreur(Numero_Depuis(*fichier, errno), action, nomPourMessage);
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
        return Erreur(Numero_Depuis(*fichier, errno), action, nomPourMessage);
    const QString temporaire = fichier->fileName();
    // A temporary file's close() only goes back to its start and keeps it open, and Windows
    // refuses to put an open file in place of another: the object goes, its file stays.
    fichier->setAutoRemove(false);
    fichier.reset();
    Cause_Systeme cause;
    if (!Remplacer_Par(temporaire, chemin, cause)) {
        QFile::remove(temporaire);
        return Erreur(cause.numero, action, nomPourMessage, cause.texte);
    }
    // The rename that put the new file in place is on disk only once the folder is.
    ErreurFichier d = Synchroniser_Dossier(chemin);
    d.fait = !d.ok();
    return d;
}

ErreurFichier Renommer(const QString& source, const QString& cible, const QString& action)
{
    Cause_Systeme cause;
    if (!Remplacer_Par(source, cible, cause))
        return Erreur(cause.numero, action, source, cause.texte);
    return {};
}

ErreurFichier Reecrire(const QString& chemin, const QList<QByteArray>& lignes)
{
    return Remplacer(chemin, QStringLiteral("impossible de réécrire"),
                     [&](QFileDevice& fichier) { return Ecrire(fichier, lignes, chemin); });
}

static ErreurFichier Reecrire_Octets_Action(const QString& chemin, const QByteArray& contenu, const QString& action)
{
    return Remplacer(chemin, action, [&](QFileDevice& fichier) -> ErreurFichier {
        errno = 0;
        if (fichier.write(contenu) != contenu.size())
            return Erreur(Numero_Depuis(fichier, errno), action, chemin);
        return {};
    });
}

ErreurFichier Reecrire_Octets(const QString& chemin, const QByteArray& contenu)
{
    return Reecrire_Octets_Action(chemin, contenu, QStringLiteral("impossible de réécrire"));
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

QStringList Nettoyer_Restes(const QString& cheminDonne)
{
    QStringList retires;
    const QString chemin = Chemin_Reel(cheminDonne);
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
    ErreurFichier e = Lire_Octets(source, contenu);
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

ErreurFichier Garder_Copie(const QString& cheminLog, const QString& motif, const QByteArray& octets, QString& copie)
{
    const QFileInfo info(cheminLog);
    QString base = info.fileName();
    if (base.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        base.chop(4);
    base = info.absolutePath() + QLatin1Char('/') + base + QLatin1Char('_') + motif + QLatin1Char('_')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    copie = base + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(copie); ++n)
        copie = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".txt");
    const QString action = QStringLiteral("impossible de créer");
    const QString nom = copie;
    ErreurFichier e = Reecrire_Octets_Action(nom, octets, action);
    // A copy in place whose folder would not sync is there all the same.
    if (e.fait)
        return {};
    if (!e.ok())
        copie.clear();
    return e;
}

bool Existe(const QString& chemin)
{
    return QFileInfo(chemin).isFile();
}

} // namespace FichierLog
