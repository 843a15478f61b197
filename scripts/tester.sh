#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, with no display needed.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
bash "$racine/scripts/dependances.sh"
export QT_QPA_PLATFORM=offscreen
cmake -S "$racine" -B "$racine/build-tests" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$racine/build-tests" -j "$(nproc)"
ctest --test-dir "$racine/build-tests" --output-on-failure -j 2
