#!/usr/bin/env bash
# Installs the program for the current user, as a desktop program:
#   ~/.local/share/QEZ_Challenge_KVRT/   the program folder (executable, plugin of the web windows,
#                                        log template, manual, licences); the logs and exports
#                                        are written here
#   ~/.local/bin/QEZ_Challenge_KVRT      a link to start it from a terminal
#   ~/.local/share/applications, icons/hicolor, metainfo: the menu entry, icons, AppStream file
# Installs what is missing with apt first (sudo when not root). Running it again updates the
# program and keeps every log and export of the program folder.
#
#   bash scripts/installer.sh                 install or update
#   bash scripts/installer.sh --desinstaller  remove the program, keep the logs, exports and settings
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
prefixe="${KVRT_PREFIXE:-$HOME/.local}"
construction="${KVRT_CONSTRUCTION:-$racine/build-installation}"
programme="$prefixe/share/QEZ_Challenge_KVRT"
id="org.kvrt.QEZ_Challenge_KVRT"

mettre_a_jour_caches() {
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$prefixe/share/applications" || true
    fi
    # An icon cache of the user's own is refreshed, never created: a cache that nothing else
    # keeps up to date would hide the icons other programs install there later.
    local icones="$prefixe/share/icons/hicolor"
    if [ -d "$icones" ]; then
        touch "$icones"
        if [ -f "$icones/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null 2>&1; then
            gtk-update-icon-cache -q -t -f "$icones" || true
        fi
    fi
}

# The user's files in the program folder: logs, exports, and anything else not installed here.
empreintes_logs() {
    if [ -d "$programme" ]; then
        (cd "$programme" && find . -maxdepth 1 -type f -name '*_Challenge_KVRT_*.txt' -print0 \
            | sort -z | xargs -0 -r sha256sum)
    fi
}

if [ "${1:-}" = "--desinstaller" ]; then
    rm -f "$prefixe/bin/QEZ_Challenge_KVRT" \
          "$prefixe/share/applications/$id.desktop" \
          "$prefixe/share/metainfo/$id.metainfo.xml" \
          "$prefixe/share/icons/hicolor/scalable/apps/$id.svg"
    for taille in 16 32 48 64 128 256; do
        rm -f "$prefixe/share/icons/hicolor/${taille}x${taille}/apps/$id.png"
    done
    if [ -d "$programme" ]; then
        rm -f "$programme/QEZ_Challenge_KVRT" "$programme/libkvrt_web.so" "$programme/QEZ_Challenge.hlp" \
              "$programme/FXXXX_Challenge_KVRT.txt" "$programme/LICENSE"
        rm -rf "$programme/manuel" "$programme/licences"
        # Only an empty folder goes: logs and exports stay where they are.
        rmdir "$programme" 2>/dev/null || echo "Logs et exports conservés dans $programme"
    fi
    mettre_a_jour_caches
    echo "QEZ_Challenge_KVRT est désinstallé. Les réglages (~/.config/Challenge_KVRT) sont conservés."
    exit 0
elif [ $# -gt 0 ]; then
    echo "usage : bash scripts/installer.sh [--desinstaller]" >&2
    exit 2
fi

bash "$racine/scripts/dependances.sh"

type=()
if [ ! -f "$construction/CMakeCache.txt" ]; then
    type=(-DCMAKE_BUILD_TYPE=Release)
fi
cmake -S "$racine" -B "$construction" "${type[@]}" -DCMAKE_INSTALL_PREFIX="$prefixe"
cmake --build "$construction" --target QEZ_Challenge_KVRT -j "$(nproc)"

avant="$(empreintes_logs)"
cmake --install "$construction" --prefix "$prefixe"
apres="$(empreintes_logs)"
# cmake --install only adds and replaces its own files; make sure of it for the user's logs.
if [ -n "$avant" ]; then
    manquants="$(comm -23 <(printf '%s\n' "$avant") <(printf '%s\n' "$apres"))"
    if [ -n "$manquants" ]; then
        echo "ERREUR : des logs du dossier $programme ont changé pendant l'installation :" >&2
        echo "$manquants" >&2
        exit 1
    fi
fi

mettre_a_jour_caches

echo
echo "QEZ_Challenge_KVRT est installé dans $programme"
echo "Il se lance depuis le menu des applications (Utilitaires) ou par la commande QEZ_Challenge_KVRT."
case ":$PATH:" in
    *":$prefixe/bin:"*) ;;
    *) echo "Note : $prefixe/bin n'est pas dans le PATH ; lancez $prefixe/bin/QEZ_Challenge_KVRT" \
            "ou ouvrez une nouvelle session." ;;
esac
