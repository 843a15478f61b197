#!/usr/bin/env bash
# Builds the libFuzzer targets of the core (clang, ASan and UBSan) apart from the normal build
# and runs each for the given number of seconds, 60 by default:
#
#   scripts/fuzz.sh [seconds]
#
# Each target starts from the inputs kept in tests/data/fuzz/<target> and grows its own corpus
# in build-fuzz/corpus/<target>. An input that breaks a rule or crashes is written to
# build-fuzz/trouvailles/<target>/; copy it into tests/data/fuzz/<target> so that the normal
# test run replays it. The exit status is not 0 when any target found something.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
duree="${1:-60}"
construction="${KVRT_CONSTRUCTION_FUZZ:-$racine/build-fuzz}"
cibles=(fuzz_enregistrement fuzz_ligne_liste fuzz_date fuzz_log fuzz_journal fuzz_adif)

KVRT_FUZZ=1 bash "$racine/scripts/dependances.sh"
cmake -S "$racine" -B "$construction" -DKVRT_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$construction" -j "$(nproc)" --target "${cibles[@]}"

# Qt keeps a few allocations for the life of the process; they are not leaks of the code under test.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

echec=0
for cible in "${cibles[@]}"; do
    corpus="$construction/corpus/$cible"
    trouvailles="$construction/trouvailles/$cible"
    mkdir -p "$corpus" "$trouvailles"
    cp -n "$racine/tests/data/fuzz/$cible/"* "$corpus/" 2>/dev/null || true
    journal="$construction/$cible.log"
    programme="$(find "$construction" -type f -name "$cible" -perm -u+x | head -n 1)"
    echo "== $cible: $duree s"
    if ! "$programme" -max_total_time="$duree" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$trouvailles/" "$corpus" >"$journal" 2>&1; then
        echec=1
        echo "   found something: see $journal and $trouvailles"
        grep -E "rule broken|ERROR: |SUMMARY" "$journal" | head -n 5 || true
    fi
    grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb" "$journal" | sed 's/^/   /' || true
    echo "   corpus: $(ls "$corpus" | wc -l) inputs"
done
exit $echec
