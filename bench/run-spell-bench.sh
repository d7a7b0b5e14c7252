#!/usr/bin/env bash
# Times checking the spelling of a 1 MB page (a new checker, and one that has
# seen the page), a keystroke in a 1 MB page with Check Spelling on and off,
# and how long a 1 MB page's check holds up the window's event loop. Builds in
# build-bench/ (or $TW_BENCH_BUILD_DIR).
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_spell_bench
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" "$@"
