#!/usr/bin/env bash
# Takes the pictures of the user's manual again from the real windows, into resources/manuel
# (the manual resources/QEZ_Challenge.hlp shows them; the README shows principale.png).
# No display is needed. Usage: bash scripts/captures.sh [build folder]
# Prints the text of the sample export, which the manual quotes.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
construction="${1:-$racine/build-captures}"
bash "$racine/scripts/dependances.sh"
if [ ! -f "$construction/CMakeCache.txt" ]; then
    cmake -S "$racine" -B "$construction" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$construction" --target kvrt_captures -j "$(nproc)"
mkdir -p "$racine/resources/manuel"
# The same look on every machine: the Fusion style, French, the fonts of the system.
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=Europe/Paris \
    "$construction/tests/captures/kvrt_captures" "$racine/resources/manuel" | iconv -f windows-1252 -t utf-8
