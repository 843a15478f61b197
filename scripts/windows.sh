#!/usr/bin/env bash
# The program for 64-bit Windows, cross-built here with mingw-w64:
#   1. installs the toolchain (mingw-w64, wine, NSIS, Xvfb) with apt;
#   2. builds Qt 6.4.2 (qtbase only) from Debian's own source, once, into a cache outside the
#      clone, reused as long as it is there;
#   3. cross-builds the program and its test programs, and makes the installer
#      QEZ_Challenge_KVRT-<version>-setup.exe in build-windows/.
# "--qt" stops after step 2.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
etape="${1:-}"

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# --- 1. the toolchain
paquets=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis xvfb xauth xdotool
         cmake ninja-build qt6-base-dev-tools qt6-base-dev qt6-tools-dev-tools qt6-translations-l10n
         dpkg-dev xz-utils imagemagick)
manquants=()
for p in "${paquets[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        manquants+=("$p")
    fi
done
if [ "${#manquants[@]}" -gt 0 ]; then
    echo "Installation de : ${manquants[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${manquants[@]}"
fi

# --- 2. Qt for Windows, built once
version_qt=6.4.2
options_qt=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF -DFEATURE_tabletevent=OFF -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF
    -DFEATURE_dynamicgl=OFF
)
cle="$(printf '%s\n' "${options_qt[@]}" "$(cat "$racine/cmake/mingw-w64-x86_64.cmake")" | sha256sum | cut -c1-12)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/qez-challenge-kvrt"
qt="$cache/qt-$version_qt-mingw64-$cle"
# One Qt build at a time: a second run of this script waits for the first one's Qt.
mkdir -p "$cache"
exec 9>"$cache/qt.verrou"
flock 9
if [ ! -f "$qt/.complet" ]; then
    echo "=== Qt $version_qt pour Windows, construit une fois dans $qt"
    if ! grep -rqs '^deb-src .*bookworm' /etc/apt/sources.list /etc/apt/sources.list.d/ \
       && ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/; then
        printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: bookworm" \
            "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" \
            | $sudo tee /etc/apt/sources.list.d/kvrt-sources.sources >/dev/null
        $sudo apt-get update
    fi
    # An interrupted build goes on where it stopped: the sources are fetched and unpacked once,
    # and what ninja already built stays built.
    travail="$cache/travail-qt"
    rm -rf "$qt"
    if [ ! -f "$travail/.sources" ]; then
        rm -rf "$travail"
        mkdir -p "$travail"
        (cd "$travail" && apt-get source --download-only qt6-base >/dev/null)
        archive="$(ls "$travail"/qt6-base_"$version_qt"*.orig.tar.* | head -n1)"
        tar -xf "$archive" -C "$travail"
        touch "$travail/.sources"
    fi
    source_qt="$(find "$travail" -maxdepth 1 -mindepth 1 -type d -name 'qtbase*' | head -n1)"
    cmake -S "$source_qt" -B "$travail/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$racine/cmake/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$qt" "${options_qt[@]}"
    cmake --build "$travail/build" -j "$(nproc)"
    cmake --install "$travail/build"
    touch "$qt/.complet"
    rm -rf "$travail"
fi
flock -u 9
echo "Qt pour Windows : $qt"
if [ "$etape" = "--qt" ]; then
    exit 0
fi
