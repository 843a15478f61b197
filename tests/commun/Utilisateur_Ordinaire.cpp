#include "Utilisateur_Ordinaire.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Utilisateur_Ordinaire {

namespace {

const char* const Variable = "KVRT_UTILISATEUR_ORDINAIRE";

} // namespace

bool Relance()
{
    return std::getenv(Variable) != nullptr;
}

std::string Dossier()
{
    const char* dossier = std::getenv(Variable);
    return dossier ? dossier : "";
}

int Relancer(char* argv[], const std::function<bool(const std::string& dossier)>& preparer)
{
    // In the temporary folder the tests use, so that a file root made can be moved into theirs.
    const char* temporaire = std::getenv("TMPDIR");
    std::string modele = std::string(temporaire && *temporaire ? temporaire : "/tmp") + "/kvrt_utilisateur_XXXXXX";
    if (!::mkdtemp(modele.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string base = modele;
    const std::string maison = base + "/maison";
    bool pret = ::chmod(base.c_str(), 0755) == 0 && ::mkdir(maison.c_str(), 0700) == 0
        && ::chown(maison.c_str(), Uid, Uid) == 0 && (!preparer || preparer(base));
    int code = 1;
    if (!pret) {
        std::perror("preparation");
    } else {
        ::setenv(Variable, base.c_str(), 1);
        ::setenv("HOME", maison.c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_CACHE_HOME");
        ::unsetenv("XDG_RUNTIME_DIR");
        const std::string uid = "--reuid=" + std::to_string(Uid);
        const std::string gid = "--regid=" + std::to_string(Uid);
        std::vector<char*> arguments{const_cast<char*>("setpriv"), const_cast<char*>(uid.c_str()),
                                     const_cast<char*>(gid.c_str()), const_cast<char*>("--clear-groups"),
                                     const_cast<char*>("/proc/self/exe")};
        // /proc/self/exe is read by setpriv as its own path once it runs: name the real one.
        char soi[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", soi, sizeof soi - 1);
        if (n > 0)
            arguments.back() = soi;
        for (int i = 1; argv[i]; ++i)
            arguments.push_back(argv[i]);
        arguments.push_back(nullptr);
        std::fflush(stdout);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execvp("setpriv", arguments.data());
            std::fprintf(stderr, "FAIL! setpriv introuvable (paquet util-linux) : %s\n", std::strerror(errno));
            ::_exit(127);
        }
        int statut = 0;
        if (pid > 0 && ::waitpid(pid, &statut, 0) == pid)
            code = WIFEXITED(statut) ? WEXITSTATUS(statut) : 1;
    }
    const std::string menage = "rm -rf '" + base + "'";
    if (std::system(menage.c_str()) != 0)
        std::fprintf(stderr, "impossible d'effacer %s\n", base.c_str());
    return code;
}

} // namespace Utilisateur_Ordinaire
