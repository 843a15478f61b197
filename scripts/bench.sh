#!/usr/bin/env bash
# Builds the benchmark in build-bench (optimised, with debug symbols for profiling) and runs
# it on the offscreen platform. Extra arguments go to the benchmark, for example
#   bash scripts/bench.sh --tailles 10000 --repetitions 31
# The temporary logs go under $TMPDIR (default /tmp): put it on the disk that will hold
# the real logs, since every change ends with a flush to disk.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
bash "$racine/scripts/dependances.sh"
construction="$racine/build-bench"
cmake -S "$racine" -B "$construction" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$construction" --target kvrt_bench -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=Europe/Paris
exec "$construction/bench/kvrt_bench" "$@"
