/* A power cut under a process, loaded with LD_PRELOAD. It watches the files directly in one
 * folder and keeps, apart, what a disk would still hold after the power went: the content of
 * each file as of its last fsync/fdatasync, and the folder's names as of the folder's last
 * fsync (a new name, a rename or an unlink is on disk only then). After a given number of
 * changing calls on the folder's files (writes, truncations, syncs, renames, links, unlinks,
 * creations) it "cuts": every file of the folder is put back to that kept state, as a disk
 * cache would lose the rest, and the process ends at once with code 99. A disk also keeps
 * part of what was written after the last sync: of the bytes appended to a file since then,
 * a random first part stays (none, some, or all), which tears the last line of a log.
 *
 *   KVRT_COUPURE_DOSSIER    the folder watched (absolute path)
 *   KVRT_COUPURE_APRES      the changing call before which the power goes (1 = the first)
 *   KVRT_COUPURE_OPERATION  when set, calls are counted only once the process has called
 *                           kvrt_coupure_armer() (the crash tests' helper does, before the
 *                           operation of that number), so that a cut falls anywhere in it
 *   KVRT_COUPURE_GRAINE     the seed of the parts of unsynced bytes kept
 *   KVRT_COUPURE_RAPPORT    a file outside the folder where the cut is told: the call it came
 *                           before ("COUPURE <call> <file>"), and for each file that had
 *                           unsynced appended bytes how many were kept ("GARDE <file> <kept>
 *                           <appended>"); with KVRT_COUPURE_TRACE=1, every call counted too
 *
 * The calls are those the program and Qt make on Linux: open/openat (O_CREAT, O_TMPFILE),
 * write, pwrite, ftruncate, fsync, fdatasync, rename, renameat, renameat2, linkat, link,
 * unlink, unlinkat.
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

typedef struct {
    ino_t ino;
    char* octets;
    size_t longueur;
} Contenu;

typedef struct {
    char nom[NAME_MAX + 1];
    ino_t ino;
} Nom;

static char g_dossier[PATH_MAX];
static size_t g_longueurDossier;
static long g_apres = -1;
static long g_appels;
static int g_actif;
static int g_arme = 1;
static unsigned long long g_hasard;
static int g_rapport = -1;
static int g_trace;
/* Stand-ins for the inode numbers of files that are gone: the system gives a new file the
 * number of a removed one, and what was kept of the old file must not pass for the new one's. */
static ino_t g_fantome = (ino_t)-2;
static pthread_mutex_t g_verrou = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;

static Contenu* g_contenus;
static size_t g_nbContenus, g_capContenus;
static Nom* g_noms;
static size_t g_nbNoms;

static ssize_t (*r_write)(int, const void*, size_t);
static ssize_t (*r_pwrite)(int, const void*, size_t, off_t);
static ssize_t (*r_pwrite64)(int, const void*, size_t, off_t);
static ssize_t (*r_writev)(int, const struct iovec*, int);
static int (*r_ftruncate)(int, off_t);
static int (*r_ftruncate64)(int, off_t);
static int (*r_fsync)(int);
static int (*r_fdatasync)(int);
static int (*r_rename)(const char*, const char*);
static int (*r_renameat)(int, const char*, int, const char*);
static int (*r_renameat2)(int, const char*, int, const char*, unsigned);
static int (*r_linkat)(int, const char*, int, const char*, int);
static int (*r_link)(const char*, const char*);
static int (*r_unlink)(const char*);
static int (*r_unlinkat)(int, const char*, int);
static int (*r_open)(const char*, int, ...);
static int (*r_open64)(const char*, int, ...);
static int (*r_openat)(int, const char*, int, ...);
static int (*r_openat64)(int, const char*, int, ...);

static void Lier(void)
{
#define LIER(n) r_##n = dlsym(RTLD_NEXT, #n)
    LIER(write);
    LIER(pwrite);
    LIER(pwrite64);
    LIER(writev);
    LIER(ftruncate);
    LIER(ftruncate64);
    LIER(fsync);
    LIER(fdatasync);
    LIER(rename);
    LIER(renameat);
    LIER(renameat2);
    LIER(linkat);
    LIER(link);
    LIER(unlink);
    LIER(unlinkat);
    LIER(open);
    LIER(open64);
    LIER(openat);
    LIER(openat64);
#undef LIER
}

static void Mourir(const char* quoi)
{
    const char* t = "coupure_courant: ";
    r_write(2, t, strlen(t));
    r_write(2, quoi, strlen(quoi));
    r_write(2, "\n", 1);
    _exit(98);
}

/* One line of the report, in one write, so that a line is whole or absent. */
static void Rapporter(const char* format, ...)
{
    if (g_rapport < 0)
        return;
    char ligne[PATH_MAX + 128];
    va_list v;
    va_start(v, format);
    int n = vsnprintf(ligne, sizeof ligne, format, v);
    va_end(v);
    if (n > 0)
        r_write(g_rapport, ligne, (size_t)n < sizeof ligne ? (size_t)n : sizeof ligne - 1);
}

/* splitmix64: the same seed draws the same kept parts. */
static unsigned long long Tirer(void)
{
    unsigned long long z = (g_hasard += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

static const char* Nom_Seul(const char* chemin)
{
    const char* b = strrchr(chemin, '/');
    return b ? b + 1 : chemin;
}

/* Reads a whole file by its path (also "/proc/self/fd/N", which reaches a file without name). */
static char* Lire_Tout(const char* chemin, size_t* longueur)
{
    int fd = r_open(chemin, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return NULL;
    size_t cap = 4096, n = 0;
    char* b = malloc(cap);
    for (;;) {
        if (n == cap) {
            cap *= 2;
            b = realloc(b, cap);
        }
        ssize_t lu = read(fd, b + n, cap - n);
        if (lu < 0) {
            if (errno == EINTR)
                continue;
            close(fd);
            free(b);
            return NULL;
        }
        if (lu == 0)
            break;
        n += (size_t)lu;
    }
    close(fd);
    *longueur = n;
    return b;
}

static void Garder_Contenu(ino_t ino, char* octets, size_t longueur)
{
    for (size_t i = 0; i < g_nbContenus; ++i)
        if (g_contenus[i].ino == ino) {
            free(g_contenus[i].octets);
            g_contenus[i].octets = octets;
            g_contenus[i].longueur = longueur;
            return;
        }
    if (g_nbContenus == g_capContenus) {
        g_capContenus = g_capContenus ? 2 * g_capContenus : 64;
        g_contenus = realloc(g_contenus, g_capContenus * sizeof *g_contenus);
    }
    g_contenus[g_nbContenus].ino = ino;
    g_contenus[g_nbContenus].octets = octets;
    g_contenus[g_nbContenus].longueur = longueur;
    ++g_nbContenus;
}

/* A new file got this inode number: what was kept under it was another file's. */
static void Nouveau_Fichier(ino_t ino)
{
    pthread_mutex_lock(&g_verrou);
    const ino_t fantome = g_fantome--;
    for (size_t i = 0; i < g_nbContenus; ++i)
        if (g_contenus[i].ino == ino)
            g_contenus[i].ino = fantome;
    for (size_t i = 0; i < g_nbNoms; ++i)
        if (g_noms[i].ino == ino)
            g_noms[i].ino = fantome;
    pthread_mutex_unlock(&g_verrou);
}

/* The folder's names as they are now: what a sync of the folder makes durable. */
static void Garder_Noms(void)
{
    DIR* d = opendir(g_dossier);
    if (!d)
        Mourir("cannot list the folder");
    size_t cap = 64;
    Nom* noms = malloc(cap * sizeof *noms);
    size_t n = 0;
    struct dirent* e;
    while ((e = readdir(d)) != NULL) {
        char chemin[PATH_MAX + NAME_MAX + 2];
        struct stat st;
        snprintf(chemin, sizeof chemin, "%s/%s", g_dossier, e->d_name);
        if (lstat(chemin, &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (n == cap) {
            cap *= 2;
            noms = realloc(noms, cap * sizeof *noms);
        }
        snprintf(noms[n].nom, sizeof noms[n].nom, "%s", e->d_name);
        noms[n].ino = st.st_ino;
        ++n;
    }
    closedir(d);
    free(g_noms);
    g_noms = noms;
    g_nbNoms = n;
}

/* True when the descriptor is a file of the folder, named or not yet named; its path in cible. */
static int Fd_Surveille(int fd, int* estDossier, char* cible)
{
    char lien[64];
    snprintf(lien, sizeof lien, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(lien, cible, PATH_MAX - 1);
    if (n <= 0)
        return 0;
    cible[n] = 0;
    *estDossier = strcmp(cible, g_dossier) == 0;
    if (*estDossier)
        return 1;
    return (size_t)n > g_longueurDossier && strncmp(cible, g_dossier, g_longueurDossier) == 0
        && cible[g_longueurDossier] == '/' && strchr(cible + g_longueurDossier + 1, '/') == NULL;
}

static int Chemin_Surveille(int dirfd, const char* chemin)
{
    if (!chemin)
        return 0;
    if (chemin[0] != '/') {
        if (dirfd == AT_FDCWD) {
            char cwd[PATH_MAX];
            if (!getcwd(cwd, sizeof cwd))
                return 0;
            return strcmp(cwd, g_dossier) == 0 && strchr(chemin, '/') == NULL;
        }
        int estDossier = 0;
        char cible[PATH_MAX];
        return Fd_Surveille(dirfd, &estDossier, cible) && estDossier && strchr(chemin, '/') == NULL;
    }
    if (strcmp(chemin, g_dossier) == 0)
        return 1;
    return strncmp(chemin, g_dossier, g_longueurDossier) == 0 && chemin[g_longueurDossier] == '/'
        && strchr(chemin + g_longueurDossier + 1, '/') == NULL;
}

static const Contenu* Contenu_Garde(ino_t ino)
{
    for (size_t j = 0; j < g_nbContenus; ++j)
        if (g_contenus[j].ino == ino)
            return &g_contenus[j];
    return NULL;
}

/* The bytes a file of the folder holds now, found by its inode under any name; NULL when it
 * has none left. */
static char* Contenu_Actuel(ino_t ino, size_t* longueur)
{
    DIR* d = opendir(g_dossier);
    if (!d)
        return NULL;
    char* b = NULL;
    struct dirent* e;
    while (!b && (e = readdir(d)) != NULL) {
        char chemin[PATH_MAX + NAME_MAX + 2];
        struct stat st;
        snprintf(chemin, sizeof chemin, "%s/%s", g_dossier, e->d_name);
        if (lstat(chemin, &st) == 0 && S_ISREG(st.st_mode) && st.st_ino == ino)
            b = Lire_Tout(chemin, longueur);
    }
    closedir(d);
    return b;
}

static void Ecrire_Tout(int fd, const char* octets, size_t longueur)
{
    size_t fait = 0;
    while (fait < longueur) {
        ssize_t w = r_write(fd, octets + fait, longueur - fait);
        if (w <= 0)
            Mourir("cannot restore a file's bytes");
        fait += (size_t)w;
    }
}

/* The power goes: every file of the folder comes back as the disk kept it. */
static void Couper(const char* appel, const char* fichier)
{
    Rapporter("COUPURE %s %s\n", appel, fichier);
    /* What each name kept will hold, worked out before anything is removed: the bytes of its
     * last sync and, when the file only grew since, a random first part of what it gained. */
    char** octets = calloc(g_nbNoms ? g_nbNoms : 1, sizeof *octets);
    size_t* longueurs = calloc(g_nbNoms ? g_nbNoms : 1, sizeof *longueurs);
    for (size_t i = 0; i < g_nbNoms; ++i) {
        const Contenu* garde = Contenu_Garde(g_noms[i].ino);
        const size_t synchronise = garde ? garde->longueur : 0;
        size_t n = 0;
        char* actuel = Contenu_Actuel(g_noms[i].ino, &n);
        if (actuel && n > synchronise && (synchronise == 0 || memcmp(actuel, garde->octets, synchronise) == 0)) {
            const size_t ajoutes = n - synchronise;
            const size_t gardes = (size_t)(Tirer() % (ajoutes + 1));
            Rapporter("GARDE %s %zu %zu\n", g_noms[i].nom, gardes, ajoutes);
            octets[i] = actuel;
            longueurs[i] = synchronise + gardes;
        } else {
            free(actuel);
            longueurs[i] = synchronise;
            if (synchronise) {
                octets[i] = malloc(synchronise);
                memcpy(octets[i], garde->octets, synchronise);
            }
        }
    }
    DIR* d = opendir(g_dossier);
    if (!d)
        Mourir("cannot list the folder at the cut");
    struct dirent* e;
    while ((e = readdir(d)) != NULL) {
        char chemin[PATH_MAX + NAME_MAX + 2];
        struct stat st;
        snprintf(chemin, sizeof chemin, "%s/%s", g_dossier, e->d_name);
        if (lstat(chemin, &st) == 0 && S_ISREG(st.st_mode))
            r_unlink(chemin);
    }
    closedir(d);
    for (size_t i = 0; i < g_nbNoms; ++i) {
        char chemin[PATH_MAX + NAME_MAX + 2];
        snprintf(chemin, sizeof chemin, "%s/%s", g_dossier, g_noms[i].nom);
        int fd = r_open(chemin, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            Mourir("cannot restore a file");
        /* A file whose name was on disk but whose bytes never were comes back empty, or with
         * a first part of them. */
        Ecrire_Tout(fd, octets[i], longueurs[i]);
        r_fsync(fd);
        close(fd);
    }
    int fd = r_open(g_dossier, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        r_fsync(fd);
        close(fd);
    }
    _exit(99);
}

/* Counts a changing call on the folder, and cuts before the chosen one. */
static void Compter(const char* appel, const char* fichier)
{
    if (!g_actif)
        return;
    pthread_mutex_lock(&g_verrou);
    if (g_arme)
        ++g_appels;
    if (g_trace)
        Rapporter("APPEL %ld %s %s\n", g_appels, appel, fichier);
    if (g_arme && g_apres > 0 && g_appels >= g_apres)
        Couper(appel, fichier);
    pthread_mutex_unlock(&g_verrou);
}

static void Compter_Fd(const char* appel, int fd)
{
    int estDossier = 0;
    char cible[PATH_MAX];
    if (g_actif && Fd_Surveille(fd, &estDossier, cible))
        Compter(appel, estDossier ? "." : Nom_Seul(cible));
}

static void Compter_Chemin(const char* appel, int dirfd, const char* chemin)
{
    if (g_actif && Chemin_Surveille(dirfd, chemin))
        Compter(appel, strcmp(chemin, g_dossier) == 0 ? "." : Nom_Seul(chemin));
}

/* Called by the process under test where the count must start. */
__attribute__((visibility("default"))) void kvrt_coupure_armer(void)
{
    pthread_mutex_lock(&g_verrou);
    g_appels = 0;
    g_arme = 1;
    pthread_mutex_unlock(&g_verrou);
}

__attribute__((constructor)) static void Demarrer(void)
{
    Lier();
    const char* dossier = getenv("KVRT_COUPURE_DOSSIER");
    const char* apres = getenv("KVRT_COUPURE_APRES");
    const char* operation = getenv("KVRT_COUPURE_OPERATION");
    const char* graine = getenv("KVRT_COUPURE_GRAINE");
    const char* rapport = getenv("KVRT_COUPURE_RAPPORT");
    const char* trace = getenv("KVRT_COUPURE_TRACE");
    if (!dossier || !*dossier)
        return;
    if (!realpath(dossier, g_dossier))
        Mourir("the watched folder does not exist");
    g_longueurDossier = strlen(g_dossier);
    g_apres = apres ? atol(apres) : -1;
    g_arme = !(operation && atol(operation) > 0);
    g_hasard = graine ? strtoull(graine, NULL, 10) : 1;
    g_trace = trace && strcmp(trace, "1") == 0;
    if (rapport && *rapport) {
        g_rapport = r_open(rapport, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (g_rapport < 0)
            Mourir("cannot open the report");
    }
    /* At the start everything on disk is durable. */
    Garder_Noms();
    for (size_t i = 0; i < g_nbNoms; ++i) {
        char chemin[PATH_MAX + NAME_MAX + 2];
        size_t n = 0;
        snprintf(chemin, sizeof chemin, "%s/%s", g_dossier, g_noms[i].nom);
        char* b = Lire_Tout(chemin, &n);
        if (!b)
            Mourir("cannot read a file at the start");
        Garder_Contenu(g_noms[i].ino, b, n);
    }
    g_actif = 1;
}

static void Synchroniser(int fd)
{
    int estDossier = 0;
    char cible[PATH_MAX];
    if (!g_actif || !Fd_Surveille(fd, &estDossier, cible))
        return;
    pthread_mutex_lock(&g_verrou);
    if (estDossier) {
        Garder_Noms();
    } else {
        struct stat st;
        char lien[64];
        size_t n = 0;
        snprintf(lien, sizeof lien, "/proc/self/fd/%d", fd);
        if (fstat(fd, &st) == 0) {
            char* b = Lire_Tout(lien, &n);
            if (b)
                Garder_Contenu(st.st_ino, b, n);
        }
    }
    pthread_mutex_unlock(&g_verrou);
}

ssize_t write(int fd, const void* b, size_t n)
{
    Compter_Fd("write", fd);
    return r_write(fd, b, n);
}

ssize_t pwrite(int fd, const void* b, size_t n, off_t o)
{
    Compter_Fd("pwrite", fd);
    return r_pwrite(fd, b, n, o);
}

ssize_t pwrite64(int fd, const void* b, size_t n, off_t o)
{
    Compter_Fd("pwrite", fd);
    return r_pwrite64(fd, b, n, o);
}

ssize_t writev(int fd, const struct iovec* v, int n)
{
    Compter_Fd("writev", fd);
    return r_writev(fd, v, n);
}

int ftruncate(int fd, off_t l)
{
    Compter_Fd("ftruncate", fd);
    return r_ftruncate(fd, l);
}

int ftruncate64(int fd, off_t l)
{
    Compter_Fd("ftruncate", fd);
    return r_ftruncate64(fd, l);
}

int fsync(int fd)
{
    Compter_Fd("fsync", fd);
    int r = r_fsync(fd);
    if (r == 0)
        Synchroniser(fd);
    return r;
}

int fdatasync(int fd)
{
    Compter_Fd("fdatasync", fd);
    int r = r_fdatasync(fd);
    if (r == 0)
        Synchroniser(fd);
    return r;
}

int rename(const char* a, const char* b)
{
    Compter_Chemin("rename", AT_FDCWD, b);
    return r_rename(a, b);
}

int renameat(int da, const char* a, int db, const char* b)
{
    Compter_Chemin("rename", db, b);
    return r_renameat(da, a, db, b);
}

int renameat2(int da, const char* a, int db, const char* b, unsigned f)
{
    Compter_Chemin("rename", db, b);
    return r_renameat2(da, a, db, b, f);
}

int linkat(int da, const char* a, int db, const char* b, int f)
{
    Compter_Chemin("link", db, b);
    return r_linkat(da, a, db, b, f);
}

int link(const char* a, const char* b)
{
    Compter_Chemin("link", AT_FDCWD, b);
    return r_link(a, b);
}

int unlink(const char* a)
{
    Compter_Chemin("unlink", AT_FDCWD, a);
    return r_unlink(a);
}

int unlinkat(int d, const char* a, int f)
{
    Compter_Chemin("unlink", d, a);
    return r_unlinkat(d, a, f);
}

/* Opening with O_CREAT or O_TMPFILE is a changing call; when it made a new file of the folder,
 * that file starts with nothing kept. */
static int Ouvrir(int reel, int flags, int d, const char* chemin)
{
    if (reel >= 0 && g_actif && (flags & (O_CREAT | __O_TMPFILE)) && Chemin_Surveille(d, chemin)) {
        struct stat st;
        if (fstat(reel, &st) == 0 && S_ISREG(st.st_mode))
            Nouveau_Fichier(st.st_ino);
    }
    return reel;
}

static int Existe(int d, const char* chemin, int flags)
{
    struct stat st;
    return !(flags & __O_TMPFILE) && fstatat(d, chemin, &st, 0) == 0;
}

#define OUVRIR(appel_reel, d, chemin)                                                          \
    mode_t mode = 0;                                                                           \
    if (flags & (O_CREAT | __O_TMPFILE)) {                                                     \
        va_list v;                                                                             \
        va_start(v, flags);                                                                    \
        mode = va_arg(v, mode_t);                                                              \
        va_end(v);                                                                             \
    }                                                                                          \
    if (!(flags & (O_CREAT | __O_TMPFILE)))                                                    \
        return appel_reel;                                                                     \
    Compter_Chemin("open", d, chemin);                                                         \
    const int existait = Existe(d, chemin, flags);                                             \
    const int reel = appel_reel;                                                               \
    return existait ? reel : Ouvrir(reel, flags, d, chemin);

int open(const char* chemin, int flags, ...)
{
    OUVRIR(r_open(chemin, flags, mode), AT_FDCWD, chemin)
}

int open64(const char* chemin, int flags, ...)
{
    OUVRIR(r_open64(chemin, flags, mode), AT_FDCWD, chemin)
}

int openat(int d, const char* chemin, int flags, ...)
{
    OUVRIR(r_openat(d, chemin, flags, mode), d, chemin)
}

int openat64(int d, const char* chemin, int flags, ...)
{
    OUVRIR(r_openat64(d, chemin, flags, mode), d, chemin)
}
