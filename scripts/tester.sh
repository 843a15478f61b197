#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, with no display needed;
# then builds the tests again with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# them once more, and last the Windows build's tests under wine (scripts/windows.sh).
# "--rapide" skips the sanitizer pass.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
rapide=0
if [ "${1:-}" = "--rapide" ]; then
    rapide=1
fi
bash "$racine/scripts/dependances.sh"
export QT_QPA_PLATFORM=offscreen
# ccache, where the machine has it, keeps the objects of earlier builds, also those of another
# clone of the repository (paths below the clone count from its root).
lanceur=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="$racine"
    # Built with debug information, an object would otherwise be kept under its clone's folder.
    export CCACHE_NOHASHDIR=1
    lanceur=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$racine" -B "$racine/build-tests" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${lanceur[@]}"
cmake --build "$racine/build-tests" -j "$(nproc)"
ctest --test-dir "$racine/build-tests" --output-on-failure -j 2

if [ "$rapide" = 0 ]; then
    echo "=== Les mêmes tests sous AddressSanitizer et UndefinedBehaviorSanitizer ==="
    cmake -S "$racine" -B "$racine/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVRT_SANITIZE=ON "${lanceur[@]}"
    cmake --build "$racine/build-asan" -j "$(nproc)"
    ctest --test-dir "$racine/build-asan" --output-on-failure -j 2
fi

# The same program for Windows: cross-built against a Qt of its own (built once into a cache
# outside the clone), its core test programs and its installer's journey run under wine.
echo "=== Windows : construction croisée, installateur et tests sous wine ==="
bash "$racine/scripts/windows.sh"
