#!/usr/bin/env bash
# Times checking a 1 MB page with HTML Tidy, a keystroke in a 1 MB page with
# Check As You Type on and off, and how long a 20 MB page's check holds up the
# window's event loop. Builds in build-bench/ (or $TW_BENCH_BUILD_DIR).
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_check_bench
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" "$@"
