#!/usr/bin/env bash
# Times Find in Files over a generated site of 2,000 pages (about 100 MB):
# the first result, the whole search beside ripgrep on the same files and
# pattern (rg, Debian's `ripgrep`, installed here with the benchmark
# packages), and the longest the window thread is held meanwhile.
# Usage: run-findfiles-bench.sh [site-folder] [runs]
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_findfiles_bench
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" "$@"
