#!/usr/bin/env bash
# Builds the Debian package qez-challenge-kvrt_<version>_amd64.deb with CPack, from a release
# build with Debian's hardening flags, and checks it with lintian. Installs what is missing
# with apt first (sudo when not root).
#
#   bash scripts/paquet.sh [--sortie DOSSIER] [--construction DOSSIER] [--sans-lintian]
#
# The package goes to the current folder (or --sortie); the build folder is build-paquet.
# Then, as root:  apt-get install ./qez-challenge-kvrt_<version>_amd64.deb
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
sortie="$PWD"
construction="$racine/build-paquet"
lintian=1
while [ $# -gt 0 ]; do
    case "$1" in
        --sortie) sortie="$2"; shift 2 ;;
        --construction) construction="$2"; shift 2 ;;
        --sans-lintian) lintian=0; shift ;;
        *) echo "usage : bash scripts/paquet.sh [--sortie DOSSIER] [--construction DOSSIER] [--sans-lintian]" >&2; exit 2 ;;
    esac
done
mkdir -p "$sortie"
sortie="$(cd "$sortie" && pwd)"

if [ -z "${KVRT_SANS_DEPENDANCES:-}" ]; then
    bash "$racine/scripts/dependances.sh"
fi

# The flags Debian builds its own packages with: hardening, and no build path in the binary.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS) -ffile-prefix-map=$racine=."
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
lanceur=()
if command -v ccache >/dev/null 2>&1; then
    lanceur=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$racine" -B "$construction" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DKVRT_PAQUET_DEBIAN=ON "${lanceur[@]}" >/dev/null
cmake --build "$construction" --target QEZ_Challenge_KVRT -j "$(nproc)"

rm -f "$construction"/qez-challenge-kvrt_*.deb
(cd "$construction" && cpack -G DEB -C Release >/dev/null)
paquet="$(ls "$construction"/qez-challenge-kvrt_*_amd64.deb)"
cp "$paquet" "$sortie/"
paquet="$sortie/$(basename "$paquet")"

if [ "$lintian" = 1 ]; then
    # Errors fail the build; the warnings left are explained in paquet/lintian.txt.
    lintian --fail-on error "$paquet"
fi
echo "$paquet"
