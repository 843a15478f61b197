#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build, run and be tested, and those
# named as arguments.
# Packages already present are left alone; sudo is used when not root.
set -euo pipefail

paquets=(
    cmake make gcc g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
    qt6-svg-dev qt6-webengine-dev qt6-translations-l10n qt6-qpa-plugins
    libgl-dev fonts-dejavu-core fonts-liberation fontconfig
    poppler-utils xauth xvfb xdotool
    dbus-daemon dbus-bin at-spi2-core
    desktop-file-utils appstream
    nodejs
    dpkg-dev lintian util-linux gzip imagemagick ccache
)
# node reads our ADIF export back in the tests, with an npm package installed below.
# A nodejs from elsewhere may carry its own npm, which the Debian package would conflict with.
if ! command -v npm >/dev/null 2>&1; then
    paquets+=(npm)
fi
# Further packages named on the command line: scripts/windows.sh names its toolchain.
paquets+=("$@")
if [ "${KVRT_FUZZ:-}" = 1 ]; then
    paquets+=(clang libclang-rt-14-dev)
fi

manquants=()
for p in "${paquets[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        manquants+=("$p")
    fi
done

if [ "${#manquants[@]}" -gt 0 ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    echo "Installation de : ${manquants[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${manquants[@]}"
fi

# The independent ADIF reader the tests compare our export with, in a fixed folder beside the
# build folders (tests/echange/CMakeLists.txt names it), so that the tests need no network.
racine="$(cd "$(dirname "$0")/.." && pwd)"
npm_dir="$racine/build-npm"
if [ ! -f "$npm_dir/node_modules/adif-parser-ts/package.json" ]; then
    mkdir -p "$npm_dir"
    npm install --prefix "$npm_dir" --no-audit --no-fund --no-save adif-parser-ts@0.7.7
fi
