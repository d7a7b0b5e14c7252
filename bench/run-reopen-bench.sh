#!/usr/bin/env bash
# Start-up with 20 pages: named on the command line, and brought back by
# Reopen Pages at Start from the list of the last exit, each to the first
# idle moment. Builds in build-bench/ (or $TW_BENCH_BUILD_DIR).
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_reopen_bench
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" "$@"
