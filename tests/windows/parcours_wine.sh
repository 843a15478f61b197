#!/usr/bin/env bash
# The installer's journey under wine, as a Windows user lives it:
#   parcours_wine.sh <QEZ_Challenge_KVRT-<version>-setup.exe> <version> <folder of the test's output>
# a fresh wine prefix; the installer run silently (/S); the program, its Start-menu entry and
# its line in the system's list of programs there; the installed program started on a private
# X server, its first start answered and the Station window filled with real X key events
# (xdotool); three QSOs typed with Enter alone, the third one a castle already contacted;
# Fichier > Quitter. The log must hold, byte for byte, what the Linux program writes for the
# same keys (tests/bout_en_bout). Last, the silent uninstall takes the program away and leaves
# the log, its journal and the settings. On a failure, the screen as it was is kept beside the
# test's output (echec_parcours_wine.png).
set -euo pipefail
installateur="$1"
version="$2"
capture="$3/echec_parcours_wine.png"
rm -f "$capture"
nom=QEZ_Challenge_KVRT
delai=120

etape="préparation"
echec() {
    echo "ÉCHEC à l'étape « $etape » : $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        if import -window root "$capture" 2>/dev/null; then
            echo "L'écran à ce moment : $capture" >&2
        fi
        echo "Fenêtres visibles :" >&2
        for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
            echo "  $id $(xdotool getwindowname "$id" 2>/dev/null)" >&2
        done
    fi
    if [ -f "${racine:-/nonexistent}/sortie.txt" ]; then
        echo "Sortie du programme :" >&2
        cat "$racine/sortie.txt" >&2
    fi
    exit 1
}
for outil in wine wineserver Xvfb xdotool import cmp; do
    command -v "$outil" >/dev/null || echec "$outil est introuvable : lancez scripts/windows.sh, qui l'installe"
done
[ -f "$installateur" ] || echec "l'installateur $installateur est introuvable : scripts/windows.sh le fabrique"

racine="$(mktemp -d "${TMPDIR:-/tmp}/kvrt-parcours.XXXXXX")"
serveur=""
programme_pid=""
finir() {
    [ -n "$programme_pid" ] && kill "$programme_pid" 2>/dev/null || true
    WINEPREFIX="$racine/prefixe" wineserver -k 2>/dev/null || true
    [ -n "$serveur" ] && kill "$serveur" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$racine"
}
trap finir EXIT

export WINEPREFIX="$racine/prefixe"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The program draws on Windows's own platform, as for a person; the tests' offscreen one is
# not for it.
unset QT_QPA_PLATFORM QT_PLUGIN_PATH

# Today's UTC date names the QSOs: a run that would straddle midnight waits for the new day.
while [ "$(date -u +%H%M)" -gt 2355 ]; do sleep 10; done
annee="$(date -u +%Y)"
jour="$(date -u +%d/%m/%y)"

# ---- The private X server; -displayfd gives the first free display number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$racine/affichage" 2>"$racine/xvfb.txt" &
serveur=$!
fin=$((SECONDS + 30))
until [ -s "$racine/affichage" ]; do
    [ "$SECONDS" -lt "$fin" ] || echec "Xvfb n'a pas donné de numéro d'affichage"
    sleep 0.1
done
export DISPLAY=":$(tr -d '\n' < "$racine/affichage")"

attendre() { # attendre <commande> <ce qui est attendu>
    local fin=$((SECONDS + delai))
    until eval "$1"; do
        [ "$SECONDS" -lt "$fin" ] || echec "attendu en vain pendant $delai s : $2"
        if [ -n "$programme_pid" ] && ! kill -0 "$programme_pid" 2>/dev/null; then
            echec "le programme s'est arrêté en attendant : $2"
        fi
        sleep 0.2
    done
}
fenetre() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
# Sets id to the one visible window whose name matches.
attendre_fenetre() {
    motif="$1"
    attendre '[ -n "$(fenetre "$motif")" ]' "une fenêtre « $motif »"
    id="$(fenetre "$motif")"
}
attendre_disparition() {
    disparue="$1"
    attendre '! xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$disparue"' "la fermeture de la fenêtre $disparue"
}
# No window manager: the journey gives the window the keyboard, as a click on its frame would.
focaliser() { xdotool windowfocus --sync "$1"; sleep 0.3; }
taper() { xdotool type --delay 60 "$1"; }
touches() { xdotool key --delay 100 "$@"; }
repondre_boite() {
    attendre_fenetre "^$nom\$"
    local boite="$id"
    focaliser "$boite"
    touches "$1"
    attendre_disparition "$boite"
}

# ---- The silent install.
etape="installation silencieuse"
wine "$installateur" /S || echec "l'installateur a échoué (statut $?)"
dossier="$WINEPREFIX/drive_c/Program Files/$nom"
for f in "$nom.exe" Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll libwinpthread-1.dll \
         libstdc++-6.dll libgcc_s_seh-1.dll platforms/qwindows.dll translations/qtbase_fr.qm qt.conf \
         FXXXX_Challenge_KVRT.txt QEZ_Challenge.hlp LICENSE Desinstaller.exe; do
    [ -f "$dossier/$f" ] || echec "$f n'a pas été installé dans $dossier"
done
[ -n "$(ls "$dossier/manuel/"*.png 2>/dev/null)" ] || echec "les images du manuel n'ont pas été installées"
raccourci="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$nom.lnk"
[ -f "$raccourci" ] || echec "pas d'entrée $nom dans le menu Démarrer"
cle='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QEZ_Challenge_KVRT'
wine reg query "$cle" /v DisplayVersion 2>/dev/null | tr -d '\r' | grep -q "REG_SZ *$version\$" \
    || echec "le programme n'est pas dans la liste des programmes du système avec la version $version"

# ---- First start: the message, then the Station window, typed and validated by Enter.
etape="premier démarrage"
(cd "$racine" && exec wine "C:\\Program Files\\$nom\\$nom.exe") >"$racine/sortie.txt" 2>&1 &
programme_pid=$!
repondre_boite Return
attendre_fenetre "^Selection Indicatif et Ann"
station="$id"
focaliser "$station"
# The "/" of a portable callsign is typed, and stored as "_".
taper "f4abc/p"
touches Return
taper "$annee"
touches Return Return
attendre_disparition "$station"
attendre_fenetre "QEZ_Challenge +Revision"
principale="$id"

# The folder of the logs: the program folder, which this user may write, as with an install
# into a folder of his own; the user's data folder otherwise.
log=""
trouver_log() {
    log="$(find "$WINEPREFIX/drive_c" -name "F4ABC_P_Challenge_KVRT_$annee.txt" -print -quit 2>/dev/null)"
    [ -n "$log" ]
}
attendre trouver_log "le log de la station, copié du modèle"
octets_attendus() { printf '%s\r\n' "$@"; }
log_vaut() { # log_vaut <ce qui est attendu> <lignes...>
    local quoi="$1"
    shift
    octets_attendus "$@" > "$racine/attendu"
    if ! attendre_silencieux; then
        echo "--- attendu :" >&2; cat -A "$racine/attendu" >&2
        echo "--- lu :" >&2; cat -A "$log" >&2
        echec "le log n'a pas les octets attendus : $quoi"
    fi
}
attendre_silencieux() {
    local fin=$((SECONDS + delai))
    until cmp -s "$racine/attendu" "$log"; do
        [ "$SECONDS" -lt "$fin" ] || return 1
        sleep 0.2
    done
}

# ---- Three QSOs by Enter alone, in automatic date mode: the cursor waits in Indicatif.
etape="premier QSO"
focaliser "$principale"
taper "f5xyz"
touches Return Return
taper "29001"
touches Return Return Return
q1="$jour  29001  Chateau Contacte        F5XYZ       "
log_vaut "le premier QSO" "$q1"

etape="deuxième QSO, type choisi par les flèches"
taper "on4xyz"
touches Return Down Down Down Return
taper "2a001"
touches Return Return Return
q2="$jour  2A001  Chateau active          ON4XYZ      "
log_vaut "le deuxième QSO" "$q1" "$q2"

etape="troisième QSO, château déjà contacté, en attente de validation"
taper "f6abc"
touches Return Return
taper "29001"
touches Return
repondre_boite Return
focaliser "$principale"
touches space Return Return
q3="$jour *29001  Chateau active          F6ABC       "
log_vaut "le troisième QSO" "$q1" "$q2" "$q3"
[ -z "$(fenetre "^$nom\$")" ] || echec "une boîte de message inattendue est ouverte"

# ---- Fichier > Quitter, by the keyboard: the program ends by itself.
etape="fin du programme"
focaliser "$principale"
touches alt+f q
fin=$((SECONDS + delai))
while kill -0 "$programme_pid" 2>/dev/null; do
    [ "$SECONDS" -lt "$fin" ] || echec "le programme ne s'arrête pas par Fichier > Quitter"
    sleep 0.2
done
statut=0
wait "$programme_pid" || statut=$?
programme_pid=""
[ "$statut" -eq 0 ] || echec "le programme a fini avec le statut $statut"
cmp -s "$racine/attendu" "$log" || echec "le log a changé à la fin du programme"
journal="$log.journal"
[ -f "$journal" ] || echec "pas de journal des modifications à côté du log"
reglages="$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Challenge_KVRT/Challenge_KVRT.ini' -print -quit)"
[ -n "$reglages" ] || echec "pas de settings dans le dossier de l'utilisateur (AppData\\Roaming\\Challenge_KVRT)"
grep -q '^Indicatif%20Station=F4ABC_P' "$reglages" || echec "la station n'est pas dans les settings"

# ---- The silent uninstall. The uninstaller runs again from a copy of itself, so that it can
# remove its own file: the end of every process of the prefix tells that it is over.
etape="désinstallation silencieuse"
cp "$log" "$racine/log_avant"
cp "$journal" "$racine/journal_avant"
wine "C:\\Program Files\\$nom\\Desinstaller.exe" /S || echec "la désinstallation a échoué"
wineserver -w
for f in "$nom.exe" Qt6Core.dll platforms qt.conf QEZ_Challenge.hlp manuel translations Desinstaller.exe; do
    [ ! -e "$dossier/$f" ] || echec "$f est resté après la désinstallation"
done
[ ! -e "$raccourci" ] || echec "l'entrée du menu Démarrer est restée"
if wine reg query "$cle" >/dev/null 2>&1; then
    echec "le programme est resté dans la liste des programmes du système"
fi
cmp -s "$racine/log_avant" "$log" || echec "la désinstallation a touché le log"
cmp -s "$racine/journal_avant" "$journal" || echec "la désinstallation a touché le journal"
[ -f "$reglages" ] || echec "la désinstallation a supprimé les settings"
echo "Parcours de l'installateur sous wine : réussi"
