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
// The file is read by pieces of this size, so that a slow disk is no longer between two looks.
constexpr qint64 Morceau = qint64(256) << 10;
// The progress and Annuler are looked at once this much time has gone since the last look,
// whatever the file's size and shape: never more than a tenth of a second apart.
constexpr qint64 Intervalle_Avis_Ms = 50;
// A file larger than this shows its progress at once; any other once its reading has lasted
// Delai_Progression_Ms.
constexpr qint64 Taille_Progression = qint64(4) << 20;
constexpr qint64 Delai_Progression_Ms = 500;

enum class Issue { Lu, Refuse, Abandonne };

// What the caller does as the reading goes: commencer once the file is open and its size
// known, avancer with a value from 0 to 1000 (false cancels) every Intervalle_Avis_Ms and once
// at the end, finir once when it ends after commencer, whatever the issue. horloge gives
// milliseconds that only go forward (the system's monotonic clock when empty).
struct Suivi
{
    std::function<void(qint64 taille)> commencer;
    std::function<bool(int valeur)> avancer;
    std::function<void()> finir;
    std::function<qint64()> horloge;
};

// Reads and cuts a file; on a refusal `erreur` holds what the user is told (in French).
Issue Lire(const QString& chemin, Adif::Lecture& lu, QString& erreur, const Suivi& suivi);

} // namespace Fichier_Import
