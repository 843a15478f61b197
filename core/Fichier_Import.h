#pragma once

#include "Adif.h"

#include <QString>

#include <functional>

// The reading of a file chosen for an import, apart from any window: its checks (an ordinary
// file, not too big, read to the end), then the ADIF reader, with its progress reported to
// the caller, who may cancel.
namespace Fichier_Import {

// A file larger than this is no log of a year's contacts; reading it would only fill memory.
constexpr qint64 Taille_Maximale = qint64(1) << 30;
// The file is read by pieces of this size; a file of more than one piece shows its progress.
constexpr qint64 Morceau = qint64(4) << 20;

enum class Issue { Lu, Refuse, Abandonne };

// What the caller does as the reading goes: commencer once the file is open and its size
// known, avancer with a value from 0 to 1000 (false cancels), finir once when it ends after
// commencer, whatever the issue.
struct Suivi
{
    std::function<void(qint64 taille)> commencer;
    std::function<bool(int valeur)> avancer;
    std::function<void()> finir;
};

// Reads and cuts a file; on a refusal `erreur` holds what the user is told (in French).
Issue Lire(const QString& chemin, Adif::Lecture& lu, QString& erreur, const Suivi& suivi);

} // namespace Fichier_Import
