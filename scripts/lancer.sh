#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
bash "$racine/scripts/dependances.sh"
cmake -S "$racine" -B "$racine/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$racine/build" --target QEZ_Challenge_KVRT -j "$(nproc)"
exec "$racine/build/QEZ_Challenge_KVRT"
