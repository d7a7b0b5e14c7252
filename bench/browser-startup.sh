#!/usr/bin/env bash
# What the browser costs, under a private Xvfb: start-up time to the first
# window and resident memory of a small frame without the browser module,
# with the old start-up attribute (a GL context at start), and with one
# browser window loaded; then the CPU an idle frame with three browser windows
# on local pages uses. Medians of 5 fresh processes.
#
#   bench/browser-startup.sh [IDLE-SECONDS]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=${TW_BENCH_BUILD_DIR:-$src/build-bench}
seconds=${1:-20}
log=$(mktemp)
work=$(mktemp -d)

echo "Building tw_browser_start in $build ..."
if ! { cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_BENCHMARKS=ON \
        && cmake --build "$build" -j"${JOBS:-2}" --target tw_browser_start; } >"$log" 2>&1; then
    cat "$log"; exit 1
fi
exe=$build/tw_browser_start
page=$src/data/sample.htm

export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
# The engine's sandbox refuses to run as root; a measurement may do without it.
[ "$(id -u)" = 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1

display=:$((190 + RANDOM % 20))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$work" "$log"' EXIT
export DISPLAY=$display
sleep 1

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

measure() { # mode -> "time-ms rss-kB peak-kB" medians
    local mode=$1 times=() rss=() peak=() i t0 out
    for i in 1 2 3 4 5; do
        t0=$(date +%s%N)
        out=$(/usr/bin/time -f "peak %M" -o "$work/time" "$exe" "$mode" "$page" 2>/dev/null)
        local at; at=$(awk '/^loaded/ {print $2}' <<<"$out"); [ -n "$at" ] || at=$(awk '/^window/ {print $2}' <<<"$out")
        times+=($(( (at - t0) / 1000000 )))
        rss+=($(awk '/^rss/ {print $2}' <<<"$out"))
        peak+=($(awk '/^peak/ {print $2}' "$work/time"))
    done
    printf '%-8s %6s ms %8s kB resident %8s kB peak\n' "$mode" \
        "$(printf '%s\n' "${times[@]}" | median)" "$(printf '%s\n' "${rss[@]}" | median)" \
        "$(printf '%s\n' "${peak[@]}" | median)"
}

echo "mode     time to window (browser: to page loaded), resident memory of the program"
measure plain
measure attr
measure browser

tree() { # pid and all its descendants
    local p=$1; echo "$p"
    for c in $(pgrep -P "$p" || true); do tree "$c"; done
}
ticks() { local s=0 p; for p in $(tree "$app"); do
    [ -r "/proc/$p/stat" ] && s=$((s + $(awk '{print $14 + $15}' "/proc/$p/stat"))); done; echo $s; }

"$exe" idle3 "$page" >"$work/idle.out" 2>/dev/null &
app=$!
for i in $(seq 100); do grep -q '^loaded' "$work/idle.out" && break; sleep 0.2; done
sleep 3
hz=$(getconf CLK_TCK)
before=$(ticks); sleep "$seconds"; after=$(ticks)
used=$((after - before))
echo "idle for ${seconds}s with 3 browser windows (program and engine processes): ${used} ticks = $((used * 1000 / hz)) ms of CPU"
awk -v u="$used" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "average load: %.3f%% of one core\n", 100 * u / hz / s }'
