/* A disk that reports errors on sync, loaded with LD_PRELOAD under a test program. Read at
 * every call, so that the test turns each failure on and off as it goes:
 *
 *   KVRT_ECHEC_SYNC_DOSSIER=1     fsync/fdatasync of a folder fail (EIO)
 *   KVRT_ECHEC_SYNC_FICHIER=TEXTE fsync/fdatasync of a file fail when its path holds TEXTE
 *                                 and is not a journal
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

/* The test looks this up to be sure it runs over the layer. */
int kvrt_echec_sync_charge = 1;

static int echoue(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return 0;
    if (S_ISDIR(st.st_mode)) {
        const char* d = getenv("KVRT_ECHEC_SYNC_DOSSIER");
        return d && d[0] == '1';
    }
    const char* motif = getenv("KVRT_ECHEC_SYNC_FICHIER");
    if (!motif || !motif[0])
        return 0;
    char lien[64], chemin[PATH_MAX];
    snprintf(lien, sizeof lien, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(lien, chemin, sizeof chemin - 1);
    if (n < 0)
        return 0;
    chemin[n] = 0;
    return strstr(chemin, motif) != NULL && strstr(chemin, ".journal") == NULL;
}

/* The real call, or EIO where the test asks for a failure. */
static int synchroniser(int fd, const char* nom, int (**vrai)(int))
{
    if (echoue(fd)) {
        errno = EIO;
        return -1;
    }
    if (!*vrai)
        *vrai = (int (*)(int))dlsym(RTLD_NEXT, nom);
    return (*vrai)(fd);
}

int fsync(int fd)
{
    static int (*vrai)(int);
    return synchroniser(fd, "fsync", &vrai);
}

int fdatasync(int fd)
{
    static int (*vrai)(int);
    return synchroniser(fd, "fdatasync", &vrai);
}
