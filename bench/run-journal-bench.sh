#!/usr/bin/env bash
# Times one keystroke in a 1 MB and a 50 MB page with the recovery journal on
# and off, and reports the bytes each keystroke adds to the journal. Builds in
# build-bench/ (or $TW_BENCH_BUILD_DIR).
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_journal_bench
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" "$@"
