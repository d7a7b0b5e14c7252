#!/usr/bin/env bash
# Times one keystroke in a 1 MB and a 50 MB page with the recovery journal on
# and off, and reports the bytes each keystroke adds to the journal. Builds in
# build-bench/ (or $TW_BENCH_BUILD_DIR).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${TW_BENCH_BUILD_DIR:-$src/build-bench}
TW_WITH_BENCHMARKS=1 "$src/scripts/setup.sh"
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target tw_journal_bench >/dev/null
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bench/tw_journal_bench" "$@"
