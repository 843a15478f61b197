#pragma once

#include <functional>
#include <string>

#include <sys/types.h>

// Root writes anywhere and removes any file: a test of rights run by root would prove
// nothing. Started by root, such a test program runs itself again as an ordinary user, with
// a home of his own in a fresh folder that root may first fill with files of other owners;
// root then cleans up.
namespace Utilisateur_Ordinaire {

// The ordinary user the tests run as when started by root.
constexpr uid_t Uid = 65534;

// True in the run started by Relancer.
bool Relance();
// The folder root made for that run (beside the home, "maison"), empty otherwise.
std::string Dossier();
// Runs this program again as the ordinary user, with the same arguments, once `preparer`
// (as root, given the fresh folder) has returned true; gives the run's exit code.
int Relancer(char* argv[], const std::function<bool(const std::string& dossier)>& preparer = {});

} // namespace Utilisateur_Ordinaire
