#!/usr/bin/env bash
# Times one key with help while typing off and on, in a 1 MB and a 50 MB
# page, for the keys the help reads most for. Builds in build-bench/ (or
# $TW_BENCH_BUILD_DIR).
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_typing_bench
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" "$@"
