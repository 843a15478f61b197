#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build, run and be tested.
# Packages already present are left alone; sudo is used when not root.
set -euo pipefail

paquets=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
    qt6-svg-dev qt6-webengine-dev qt6-translations-l10n qt6-qpa-plugins
    libgl-dev fonts-dejavu-core fonts-liberation fontconfig
    poppler-utils xauth xvfb
    desktop-file-utils appstream
    dpkg-dev lintian util-linux gzip xdotool imagemagick
)
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
