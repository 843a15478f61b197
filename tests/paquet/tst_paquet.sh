#!/usr/bin/env bash
# The Debian package, as an administrator and a user meet it.
#
#   tst_paquet.sh contenu  SOURCES CONSTRUCTION SORTIE VERSION   builds it and inspects it
#   tst_paquet.sh installe SOURCES CONSTRUCTION SORTIE VERSION   installs it in a throwaway
#       root, starts it as an ordinary user with a read-only program folder under Xvfb, types
#       the first start's callsign and year with real X key events, checks the user's folder,
#       then removes the package and checks that the user's files stay.
#
# A missing tool is a failure: nothing here is skipped.
set -uo pipefail
mode="$1"; sources="$2"; construction="$3"; sortie="$4"; version="$5"
paquet="$sortie/qez-challenge-kvrt_${version}_amd64.deb"
echecs=0

echec() { echo "ECHEC : $*" >&2; echecs=$((echecs + 1)); }
verifier() { # verifier "description" commande...
    local description="$1"; shift
    if "$@"; then echo "ok : $description"; else echec "$description"; fi
}
outil() {
    for o in "$@"; do
        command -v "$o" >/dev/null 2>&1 || { echo "ECHEC : l'outil $o manque (bash scripts/dependances.sh l'installe)" >&2; exit 1; }
    done
}
fin() {
    if [ "$echecs" -gt 0 ]; then echo "$echecs vérification(s) en échec" >&2; exit 1; fi
    echo "toutes les vérifications sont bonnes"
    exit 0
}

if [ "$mode" = contenu ]; then
    outil cmake cpack dpkg-deb dpkg-shlibdeps dpkg-buildflags lintian desktop-file-validate appstreamcli apt-get gzip
    mkdir -p "$sortie"
    rm -f "$paquet"
    if ! KVRT_SANS_DEPENDANCES=1 bash "$sources/scripts/paquet.sh" --sans-lintian --sortie "$sortie" --construction "$construction"; then
        echo "ECHEC : scripts/paquet.sh n'a pas construit le paquet" >&2
        exit 1
    fi
    [ -f "$paquet" ] || { echo "ECHEC : $paquet manque" >&2; ls "$sortie" >&2; exit 1; }

    # Control fields.
    champ() { dpkg-deb -f "$paquet" "$1"; }
    verifier "Package" [ "$(champ Package)" = qez-challenge-kvrt ]
    verifier "Version" [ "$(champ Version)" = "$version" ]
    verifier "Architecture" [ "$(champ Architecture)" = amd64 ]
    verifier "Section" [ "$(champ Section)" = hamradio ]
    verifier "Maintainer avec une adresse" grep -qE '^[^<]+ <[^@>]+@[^>]+>$' <<<"$(champ Maintainer)"
    verifier "Description longue" [ "$(champ Description | wc -l)" -ge 5 ]
    depends="$(champ Depends)"
    echo "Depends: $depends"
    # From dpkg-shlibdeps, with the versions it computes, and the run-time parts of Qt.
    for d in 'libc6 (>= ' 'libstdc++6 (>= ' 'libqt6core6 (>= ' 'libqt6gui6 (>= ' 'libqt6widgets6 (>= ' \
             'libqt6printsupport6 (>= ' 'libqt6network6 (>= ' 'libqt6webenginewidgets6 (>= ' \
             'qt6-translations-l10n' 'libqt6webenginecore6-bin' 'hicolor-icon-theme'; do
        verifier "Depends nomme $d" grep -qF "$d" <<<"$depends"
    done
    # The program needs qtbase alone: the charts are drawn by its own code, the map read by it.
    for d in libqt6charts6 libqt6svg6 libqt6svgwidgets6; do
        verifier "Depends ne nomme pas $d" bash -c '! grep -qF "$1" <<<"$2"' _ "$d" "$depends"
    done

    # Contents: paths, owners, modes.
    liste="$(dpkg-deb -c "$paquet")"
    chemins="$(awk '{ print $6 }' <<<"$liste" | sed 's,^\./,/,; s,/$,,')"
    prive=/usr/lib/qez-challenge-kvrt
    partage=/usr/share/qez-challenge-kvrt
    id=org.kvrt.QEZ_Challenge_KVRT
    attendus=(
        /usr/bin/QEZ_Challenge_KVRT "$prive/QEZ_Challenge_KVRT" "$prive/modules/libkvrt_web.so"
        "$prive/FXXXX_Challenge_KVRT.txt" "$prive/QEZ_Challenge.hlp" "$prive/manuel" "$prive/licences" "$prive/LICENSE"
        "$partage/FXXXX_Challenge_KVRT.txt" "$partage/QEZ_Challenge.hlp"
        "$partage/licences/carte/LICENSE.md" "$partage/licences/carte/CREDITS.md"
        "/usr/share/applications/$id.desktop" "/usr/share/metainfo/$id.metainfo.xml"
        "/usr/share/icons/hicolor/scalable/apps/$id.svg"
        /usr/share/man/man1/QEZ_Challenge_KVRT.1.gz
        /usr/share/doc/qez-challenge-kvrt/copyright /usr/share/doc/qez-challenge-kvrt/changelog.gz
    )
    for t in 16 32 48 64 128 256; do attendus+=("/usr/share/icons/hicolor/${t}x${t}/apps/$id.png"); done
    for image in "$sources"/resources/manuel/*.png; do attendus+=("$partage/manuel/$(basename "$image")"); done
    for a in "${attendus[@]}"; do
        verifier "contient $a" grep -qxF "$a" <<<"$chemins"
    done
    verifier "rien hors de /usr" [ -z "$(grep -v '^/usr' <<<"$chemins" | grep -v '^\.\?$')" ]
    verifier "aucun log ni liste enregistrée" [ -z "$(grep -E '_Challenge_KVRT_[^/]*\.txt$' <<<"$chemins")" ]
    verifier "tout appartient à root" [ -z "$(awk '$2 != "root/root"' <<<"$liste")" ]
    verifier "rien d'inscriptible par le groupe ou les autres" [ -z "$(awk '$1 !~ /^l/ && ($1 ~ /^.....w/ || $1 ~ /^........w/)' <<<"$liste")" ]
    verifier "l'exécutable est exécutable" grep -qE "^-rwxr-xr-x .* \./usr/lib/qez-challenge-kvrt/QEZ_Challenge_KVRT$" <<<"$liste"
    verifier "le lanceur mène à l'exécutable" grep -qF "./usr/bin/QEZ_Challenge_KVRT -> ../lib/qez-challenge-kvrt/QEZ_Challenge_KVRT" <<<"$liste"
    verifier "le programme trouve son modèle" grep -qF "$prive/FXXXX_Challenge_KVRT.txt -> ../../share/qez-challenge-kvrt/FXXXX_Challenge_KVRT.txt" <<<"${liste//.\/usr//usr}"

    # The desktop files as installed.
    arbre="$(mktemp -d)"
    trap 'rm -rf "$arbre"' EXIT
    dpkg-deb -x "$paquet" "$arbre"
    entree="$arbre/usr/share/applications/$id.desktop"
    verifier "Exec de l'entrée de menu" grep -qxF "Exec=$prive/QEZ_Challenge_KVRT" "$entree"
    verifier "desktop-file-validate" desktop-file-validate "$entree"
    verifier "appstreamcli validate" appstreamcli validate --no-net "$arbre/usr/share/metainfo/$id.metainfo.xml"
    verifier "le modèle est celui des sources" cmp -s "$arbre$partage/FXXXX_Challenge_KVRT.txt" "$sources/resources/FXXXX_Challenge_KVRT.txt"
    verifier "le journal des versions est lisible" gzip -t "$arbre/usr/share/doc/qez-challenge-kvrt/changelog.gz"
    verifier "la page de manuel est lisible" gzip -t "$arbre/usr/share/man/man1/QEZ_Challenge_KVRT.1.gz"
    verifier "l'exécutable est dépouillé" bash -c "! readelf -S '$arbre$prive/QEZ_Challenge_KVRT' | grep -q '\.debug_info'"

    # lintian: no error and no warning; the informational tags left are in the README.
    rapport="$sortie/lintian.txt"
    lintian -I -E "$paquet" >"$rapport" 2>&1
    cat "$rapport"
    verifier "lintian sans erreur ni avertissement" [ -z "$(grep -E '^[EW]: ' "$rapport")" ]

    # apt would find everything the package needs in Debian 12.
    simulation="$(apt-get install --simulate "$paquet" 2>&1)"
    grep -q "^Inst qez-challenge-kvrt" <<<"$simulation" || echo "$simulation" >&2
    verifier "apt-get install ./paquet se résout" grep -q "^Inst qez-challenge-kvrt" <<<"$simulation"
    fin
fi

[ "$mode" = installe ] || { echo "usage : tst_paquet.sh contenu|installe SOURCES CONSTRUCTION SORTIE VERSION" >&2; exit 2; }
outil dpkg dpkg-deb Xvfb xdotool setpriv import
[ -f "$paquet" ] || { echo "ECHEC : $paquet manque ; tst_paquet le construit" >&2; exit 1; }

travail="$(mktemp -d)"
chmod 755 "$travail"
racine="$travail/racine"
maison="$travail/maison"
mkdir -p "$racine" "$maison"
pid_x=""; pid_programme=""
nettoyer() {
    [ -n "$pid_programme" ] && kill "$pid_programme" 2>/dev/null
    [ -n "$pid_x" ] && kill "$pid_x" 2>/dev/null
    wait 2>/dev/null
    chmod -R u+w "$travail" 2>/dev/null
    rm -rf "$travail"
}
trap nettoyer EXIT

# Root installs with dpkg into the throwaway root, and the user is nobody; an ordinary user
# running the tests unpacks it and makes it read-only, and is the user himself.
if [ "$(id -u)" = 0 ]; then
    mkdir -p "$racine/var/lib/dpkg/info" "$racine/var/lib/dpkg/updates"
    touch "$racine/var/lib/dpkg/status"
    dpkg --root="$racine" --force-depends -i "$paquet" >"$travail/dpkg.txt" 2>&1 \
        || { cat "$travail/dpkg.txt" >&2; echo "ECHEC : dpkg -i" >&2; exit 1; }
    chown 65534:65534 "$maison"
    utilisateur=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
    dpkg-deb -x "$paquet" "$racine"
    chmod -R a-w "$racine/usr"
    utilisateur=()
fi
programme="$racine/usr/lib/qez-challenge-kvrt"
partage="$racine/usr/share/qez-challenge-kvrt"
etat_installe() { (cd "$racine/usr" && find . -printf '%p %y %m %s %l\n' | sort); }
avant="$(etat_installe)"
verifier "le dossier du programme est fermé à l'utilisateur" \
    env -i "${utilisateur[@]}" /bin/sh -c "! touch '$programme/essai' 2>/dev/null"

# A display of our own. -noreset: the server would otherwise start over each time its last
# client leaves (the first user's program, closed), and refuse the next program while it does.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$travail/xvfb.txt" 2>&1 &
pid_x=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=":$n"

capture() { import -window root "$sortie/$1.png" 2>/dev/null; }
fenetre() { # the id of the visible window whose name matches, waiting for it
    # xdotool gives up at once when a window goes away while it looks (the message box just
    # answered): each look is short, and repeated for up to 30 s.
    local id="" _
    for _ in $(seq 150); do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)"
        [ -n "$id" ] && break
        sleep 0.2
    done
    echo "$id"
}

# premier_demarrage HOME NOM [setpriv ...]: starts the installed program for a user with no
# settings, types the first start (callsign F1ABC/P, year 2009) and checks his folder.
premier_demarrage() {
    local maison="$1" nom="$2"; shift 2
    local abandon="" boite station principale
    env -i PATH=/usr/bin:/bin HOME="$maison" DISPLAY="$DISPLAY" LANG=C.UTF-8 "$@" \
        "$racine/usr/bin/QEZ_Challenge_KVRT" >"$travail/programme_$nom.txt" 2>&1 &
    pid_programme=$!
    boite="$(fenetre '^QEZ_Challenge_KVRT$')"
    if [ -z "$boite" ]; then
        abandon="pas de message de première installation"
    else
        xdotool windowfocus --sync "$boite"; xdotool key Return
        station="$(fenetre '^Selection Indicatif et Ann')"
        if [ -z "$station" ]; then
            abandon="pas de fenêtre Station"
        else
            xdotool windowfocus --sync "$station"
            xdotool key ctrl+a; xdotool type --delay 40 "f1abc/p"; xdotool key Return
            xdotool key ctrl+a; xdotool type --delay 40 "2009"; xdotool key Return
            xdotool key Return
        fi
    fi
    local donnees="$maison/.local/share/Challenge_KVRT/QEZ_Challenge_KVRT"
    local log="$donnees/F1ABC_P_Challenge_KVRT_2009.txt"
    if [ -z "$abandon" ]; then
        for _ in $(seq 100); do [ -f "$log" ] && break; sleep 0.2; done
        principale="$(fenetre 'QEZ_Challenge +Revision')"
        [ -n "$principale" ] || abandon="la fenêtre principale ne s'est pas ouverte"
    fi
    if [ -z "$abandon" ]; then
        # The rules window comes from the plugin of the web windows, installed apart.
        xdotool windowfocus --sync "$principale"; xdotool key alt+t
        if [ -z "$(fenetre '^Reglement$')" ]; then
            abandon="la fenêtre Reglement ne s'est pas ouverte (module des pages web)"
        fi
    fi
    sleep 0.5
    if [ -n "$abandon" ]; then
        echec "$nom : $abandon"
        capture "echec_$nom"
        echo "--- sortie du programme ---" >&2; cat "$travail/programme_$nom.txt" >&2
    else
        capture "premier_demarrage_$nom"
    fi

    verifier "$nom : le dossier de l'utilisateur est créé" [ -d "$donnees" ]
    verifier "$nom : le modèle y est copié" cmp -s "$donnees/FXXXX_Challenge_KVRT.txt" "$partage/FXXXX_Challenge_KVRT.txt"
    verifier "$nom : le log y est créé depuis le modèle" cmp -s "$log" "$partage/FXXXX_Challenge_KVRT.txt"
    verifier "$nom : les fichiers sont à l'utilisateur" [ "$(stat -c %u "$log" 2>/dev/null)" = "$(stat -c %u "$maison")" ]
    local reglages="$maison/.config/Challenge_KVRT/Challenge_KVRT.ini"
    verifier "$nom : Chemin Repertoire nomme le dossier de l'utilisateur" grep -qxF "Chemin%20Repertoire=$donnees" "$reglages"
    verifier "$nom : Indicatif Station" grep -qxF "Indicatif%20Station=F1ABC_P" "$reglages"
    verifier "$nom : rien n'a changé sous /usr" [ "$(etat_installe)" = "$avant" ]
    kill "$pid_programme" 2>/dev/null; wait "$pid_programme" 2>/dev/null; pid_programme=""
}

premier_demarrage "$maison" utilisateur "${utilisateur[@]}"
if [ "$(id -u)" = 0 ]; then
    # Root may write the program folder, yet the package's program never does.
    mkdir -p "$travail/maison_root"
    premier_demarrage "$travail/maison_root" root
fi

# Removing the package takes every file of its own and nothing of the user's.
if [ "$(id -u)" = 0 ]; then
    empreintes="$(cd "$travail" && find maison maison_root -type f -print0 | sort -z | xargs -0 sha256sum)"
    dpkg --root="$racine" -r qez-challenge-kvrt >"$travail/dpkg.txt" 2>&1 \
        || { cat "$travail/dpkg.txt" >&2; echec "dpkg -r"; }
    restes="$( [ ! -d "$racine/usr" ] || (cd "$racine/usr" && find . ! -type d) )"
    [ -z "$restes" ] || echo "$restes" >&2
    verifier "la suppression enlève tout le paquet" [ -z "$restes" ]
    verifier "la suppression garde les fichiers de l'utilisateur" \
        [ "$(cd "$travail" && find maison maison_root -type f -print0 | sort -z | xargs -0 sha256sum)" = "$empreintes" ]
fi
fin
