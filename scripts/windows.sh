#!/usr/bin/env bash
# The program for 64-bit Windows, cross-built here with mingw-w64:
#   1. installs the toolchain (mingw-w64, wine, NSIS, Xvfb) with apt;
#   2. builds Qt 6.4.2 (qtbase only) from Debian's own source, once, into a cache outside the
#      clone, reused as long as it is there;
#   3. cross-builds the program and its test programs, and makes the installer
#      QEZ_Challenge_KVRT-<version>-setup.exe in build-windows/.
# "--qt" stops after step 2, "--installateur" once the installer is made; otherwise the tests
# under wine follow (CTest label windows).
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
etape="${1:-}"

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# --- 1. the toolchain, beside what the Linux build needs
bash "$racine/scripts/dependances.sh" g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 nsis \
    ninja-build xz-utils

# --- 2. Qt for Windows, built once
version_qt=6.4.2
options_qt=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_sql=OFF -DFEATURE_network=ON -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_openssl=OFF
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

# --- 3. the program and its test programs, cross-built against that Qt
construction="$racine/build-windows"
version="$(sed -n 's/^project(QEZ_Challenge_KVRT VERSION \([0-9.]*\).*/\1/p' "$racine/CMakeLists.txt")"
lanceur=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$racine}" CCACHE_NOHASHDIR=1
    lanceur=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# moc, rcc and uic are the build machine's (qt6-base-dev-tools), of the same Qt version. The
# tests run under wine through scripts/sous_wine.sh; the program folder is the install prefix.
cmake -S "$racine" -B "$construction" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$racine/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DKVRT_DOSSIER_PROGRAMME=. \
    -DCMAKE_CROSSCOMPILING_EMULATOR="bash;$racine/scripts/sous_wine.sh;$qt" \
    "${lanceur[@]}"
cmake --build "$construction" --target QEZ_Challenge_KVRT kvrt_tests_windows -j "$(nproc)"

# --- 4. the program folder: what cmake installs, then Qt's DLLs, plugins and French
# translations and the mingw runtime, each DLL found from what the executables import
programme="$construction/programme"
rm -rf "$programme"
cmake --install "$construction" --prefix "$programme"
mingw_gcc="$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | head -n1)"
sources_dll=("$qt/bin" "$mingw_gcc" /usr/x86_64-w64-mingw32/lib)
for categorie in platforms styles imageformats printsupport; do
    if [ -d "$qt/plugins/$categorie" ]; then
        mkdir -p "$programme/$categorie"
        cp "$qt/plugins/$categorie"/*.dll "$programme/$categorie/"
    fi
done
# The DLLs each executable or DLL imports, then theirs, until none is missing; the system's
# own (KERNEL32, USER32, ...) are in none of these folders and are left to Windows.
a_voir=("$programme/QEZ_Challenge_KVRT.exe")
while IFS= read -r -d '' f; do a_voir+=("$f"); done < <(find "$programme" -mindepth 2 -name '*.dll' -print0)
while [ "${#a_voir[@]}" -gt 0 ]; do
    f="${a_voir[0]}"
    a_voir=("${a_voir[@]:1}")
    for dll in $(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'); do
        [ -f "$programme/$dll" ] && continue
        for d in "${sources_dll[@]}"; do
            if [ -f "$d/$dll" ]; then
                cp "$d/$dll" "$programme/$dll"
                a_voir+=("$programme/$dll")
                break
            fi
        done
    done
done
for dll in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll Qt6Network.dll libwinpthread-1.dll libstdc++-6.dll libgcc_s_seh-1.dll; do
    [ -f "$programme/$dll" ] || { echo "DLL manquante dans le dossier du programme : $dll" >&2; exit 1; }
done
# Standard buttons and dialogs in French: Qt's own translation, found through qt.conf.
mkdir -p "$programme/translations"
cp /usr/share/qt6/translations/qtbase_fr.qm "$programme/translations/"
printf '%s\r\n' "[Paths]" "Prefix = ." "Plugins = ." "Translations = translations" > "$programme/qt.conf"

# --- 5. the installer
installateur="$construction/QEZ_Challenge_KVRT-$version-setup.exe"
fichiers="$construction/nsis-fichiers.nsh"
suppressions="$construction/nsis-suppressions.nsh"
: > "$fichiers"
: > "$suppressions"
(cd "$programme" && find . -mindepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort) | while IFS= read -r d; do
    w="${d//\//\\}"
    printf 'CreateDirectory "$INSTDIR\\%s"\n' "$w" >> "$fichiers"
done
(cd "$programme" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) | while IFS= read -r f; do
    w="${f//\//\\}"
    printf 'File "/oname=$INSTDIR\\%s" "%s"\n' "$w" "$programme/$f" >> "$fichiers"
    printf 'Delete "$INSTDIR\\%s"\n' "$w" >> "$suppressions"
done
# Folders last, the deepest first; each only when nothing of the user's is left in it.
(cd "$programme" && find . -mindepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort -r) | while IFS= read -r d; do
    w="${d//\//\\}"
    printf 'RMDir "$INSTDIR\\%s"\n' "$w" >> "$suppressions"
done
makensis -V2 -DVERSION="$version" -DPROGRAMME="$programme" -DICONE="$construction/resources/QEZ_Challenge_KVRT.ico" \
    -DFICHIERS="$fichiers" -DSUPPRESSIONS="$suppressions" -DSORTIE="$installateur" \
    "$racine/paquet/windows/QEZ_Challenge_KVRT.nsi"
echo "Installateur : $installateur"
if [ "$etape" = "--installateur" ]; then
    exit 0
fi

# --- 6. the tests under wine: the test programs, then the installer's journey
ctest --test-dir "$construction" -L windows --output-on-failure
