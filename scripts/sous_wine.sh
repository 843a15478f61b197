#!/usr/bin/env bash
# Runs a Windows test program under wine; CTest's emulator in the Windows build
# (scripts/windows.sh names it): sous_wine.sh <Qt for Windows> <program.exe> [arguments...]
#  - a fresh wine prefix for each run, removed after it, so that no run sees another's files;
#  - wine's own messages off, and a private X server (xvfb-run), which wine wants at its start
#    even for a program drawn on the offscreen platform;
#  - Qt's DLLs and the mingw runtime found through WINEPATH, as they would be beside the program;
#  - QtTest's report written to a file and shown: under wine a redirected stdout stays empty.
set -euo pipefail
qt="$1"
programme="$2"
shift 2

# The prefix, and with it the program's temporary folder, in memory where there is some: the
# tests sync the disk at every change, which costs nothing there (as TMPDIR=/dev/shm on Linux).
memoire=/dev/shm
[ -d "$memoire" ] && [ -w "$memoire" ] || memoire="${TMPDIR:-/tmp}"
travail="$(mktemp -d "$memoire/kvrt-wine.XXXXXX")"
trap 'rm -rf "$travail"' EXIT
windows() { printf 'Z:%s' "${1//\//\\}"; }

export WINEPREFIX="$travail/prefixe"
export WINEDEBUG=-all
# No Mono nor Gecko installer at the prefix's creation: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
chemins=("$qt/bin" /usr/x86_64-w64-mingw32/lib)
for d in /usr/lib/gcc/x86_64-w64-mingw32/*-posix; do
    chemins+=("$d")
done
WINEPATH=""
for d in "${chemins[@]}"; do
    WINEPATH="${WINEPATH:+$WINEPATH;}$(windows "$d")"
done
export WINEPATH

rapport="$travail/rapport.txt"
statut=0
# wineserver is waited for inside the X server's life, so that the prefix is left whole.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    bash -c 'wine "$@"; s=$?; wineserver -w; exit $s' wine "$programme" "$@" -o "$(windows "$rapport"),txt" \
    </dev/null || statut=$?
if [ -f "$rapport" ]; then
    cat "$rapport"
else
    echo "sous_wine.sh : pas de rapport de $programme (statut $statut)" >&2
    [ "$statut" -ne 0 ] || statut=1
fi
exit "$statut"
