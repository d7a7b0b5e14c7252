#!/usr/bin/env bash
# What the live preview costs while typing: a key in a 1 MB page with the
# preview off and on, and from a key to the page's paint of it for a 100 KB
# and a 1 MB page, changed in place and (as before) loaded anew 300 ms after
# the key. Offscreen, with the engine drawing in software.
#
#   bench/run-live-bench.sh [KEYS]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${TW_BENCH_BUILD_DIR:-$src/build-bench}
log=$(mktemp)
work=$(mktemp -d)
trap 'rm -rf "$work" "$log"' EXIT

echo "Building tw_live_bench in $build ..."
if ! { cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_BENCHMARKS=ON \
        && cmake --build "$build" -j"${JOBS:-2}" --target tw_live_bench; } >"$log" 2>&1; then
    cat "$log"; exit 1
fi
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
# The engine's sandbox refuses to run as root; a measurement may do without it.
[ "$(id -u)" = 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
cd "$work"
"$build/tw_live_bench" "${1:-200}" 2>/dev/null
