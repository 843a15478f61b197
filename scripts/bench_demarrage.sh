#!/usr/bin/env bash
# Measures the cold start of the program against a trivial Qt window built beside it: the time
# from launching each one to its window being mapped on an X server (Xvfb), polled with xdotool.
# The program starts on a station set up with an empty log, from a copy of its installed folder
# (executable, plugin of the web windows, template), as a user starts it. Twice: as on a plain
# desktop, then with accessibility on, as when a screen reader runs (a session bus of our own,
# the AT-SPI bus, and Qt's bridge on for every window), where each widget shown costs more.
# Medians of N runs:
#   bash scripts/bench_demarrage.sh [N]        (default 21)
# The machine may be shared: run it a few times and read the ratio, not the milliseconds.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
n="${1:-21}"
bash "$racine/scripts/dependances.sh"
construction="${KVRT_CONSTRUCTION:-$racine/build-bench}"
cmake -S "$racine" -B "$construction" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$construction" --target QEZ_Challenge_KVRT kvrt_fenetre_triviale -j "$(nproc)"

for outil in Xvfb xdotool dbus-daemon; do
    if ! command -v "$outil" >/dev/null 2>&1; then
        echo "ERREUR : $outil est absent (bash scripts/dependances.sh l'installe)" >&2
        exit 1
    fi
done
lanceur_atspi=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$lanceur_atspi" ]; then
    echo "ERREUR : $lanceur_atspi est absent (bash scripts/dependances.sh installe at-spi2-core)" >&2
    exit 1
fi

travail="$(mktemp -d)"
xvfb_pid=""
bus_pid=""
atspi_pid=""
nettoyer() {
    [ -n "$atspi_pid" ] && kill "$atspi_pid" 2>/dev/null || true
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$travail"
}
trap nettoyer EXIT

# The program folder and the settings of a user whose station is set up, with an empty log.
programme="$travail/programme"
mkdir -p "$programme" "$travail/home/.config/Challenge_KVRT"
cp "$construction/QEZ_Challenge_KVRT" "$construction/libkvrt_web.so" \
   "$racine/resources/FXXXX_Challenge_KVRT.txt" "$racine/resources/QEZ_Challenge.hlp" "$programme/"
: > "$programme/F1ABC_Challenge_KVRT_2009.txt"
printf '[Setup%%20]\nIndicatif%%20Station=F1ABC\n\n[Setup%%20F1ABC]\nAnnee%%20Challenge=2009\n' \
    > "$travail/home/.config/Challenge_KVRT/Challenge_KVRT.ini"

# A display of our own, away from the numbers other sessions like to take.
ecran=$((300 + RANDOM % 500))
while [ -e "/tmp/.X$ecran-lock" ] || [ -e "/tmp/.X11-unix/X$ecran" ]; do
    ecran=$((ecran + 1))
done
# -noreset: the server would otherwise start over each time its last client leaves, and refuse
# the next program while it does.
Xvfb ":$ecran" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$ecran" HOME="$travail/home" LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM
for _ in $(seq 50); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

# Milliseconds from the launch to the first mapped window of the process.
mesurer() {
    local debut fin pid
    debut=$(date +%s%N)
    "$@" >/dev/null 2>>"$travail/erreurs.txt" &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "ERREUR : $1 s'est arrêté avant d'afficher sa fenêtre :" >&2
            grep -v "^$" "$travail/erreurs.txt" | tail -8 >&2
            return 1
        fi
    done
    fin=$(date +%s%N)
    moteur=$(grep -c -i webengine "/proc/$pid/maps" || true)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # Killed, the program leaves the lock of its log behind, which Quitter takes away: the next
    # start would take over a stale lock (two writes to the disk), which a user's start does not.
    rm -f "$programme/.F1ABC_Challenge_KVRT_2009.txt.lock" "$programme/.F1ABC_Challenge_KVRT_2009.txt.lock.rmlock"
    echo $(( (fin - debut) / 1000 ))
}

mediane() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Medians of n launches of each, alternated, so that the load of a shared machine weighs on
# both alike; a first round of each, not counted, warms the file cache.
comparer() {
    local titre="$1" cible="$2" t l mt ml
    local triviale=() logbook=()
    mesurer "$construction/bench/kvrt_fenetre_triviale" >/dev/null || exit 1
    mesurer "$programme/QEZ_Challenge_KVRT" >/dev/null || exit 1
    for _ in $(seq "$n"); do
        t=$(mesurer "$construction/bench/kvrt_fenetre_triviale") || exit 1
        l=$(mesurer "$programme/QEZ_Challenge_KVRT") || exit 1
        triviale+=("$t")
        logbook+=("$l")
    done
    mt=$(printf '%s\n' "${triviale[@]}" | mediane)
    ml=$(printf '%s\n' "${logbook[@]}" | mediane)
    echo
    echo "$titre (médianes de $n lancements, Xvfb, log vide)"
    echo
    echo "| Programme | ms |"
    echo "|---|---:|"
    awk -v t="$mt" -v l="$ml" -v c="$cible" 'BEGIN {
        printf "| fenêtre Qt triviale | %.1f |\n", t / 1000
        printf "| QEZ_Challenge_KVRT | %.1f |\n", l / 1000
        printf "\nRapport : %.2f%s\n", l / t, c
    }'
}

moteur=0
comparer "Démarrage jusqu'à la fenêtre affichée" ""
# Once more, to look into the process for the web engine's libraries once the window is up.
mesurer "$programme/QEZ_Challenge_KVRT" >/dev/null
echo "Bibliothèques du moteur web chargées au démarrage : $moteur"

# Accessibility on: a session bus of our own and the AT-SPI bus on it, and Qt's bridge on.
adresse_et_pid="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)"
export DBUS_SESSION_BUS_ADDRESS="$(echo "$adresse_et_pid" | sed -n 1p)"
bus_pid="$(echo "$adresse_et_pid" | sed -n 2p)"
"$lanceur_atspi" --launch-immediately >/dev/null 2>&1 &
atspi_pid=$!
for _ in $(seq 50); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.1
done
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
comparer "Démarrage jusqu'à la fenêtre affichée, accessibilité active" " (cible 1,5)"
