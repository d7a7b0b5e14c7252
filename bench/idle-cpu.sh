#!/usr/bin/env bash
# Measures the CPU an idle Tagwright uses with ten document windows open:
# starts the built program under a private Xvfb with ten pages, waits for it
# to settle (the caret stops blinking ten seconds after the last input), then
# reads its CPU time and how often its threads woke up over a quiet period.
#
#   bench/idle-cpu.sh [BUILD-DIR] [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-30}
exe=$build/tagwright
[ -x "$exe" ] || { echo "build Tagwright first (scripts/build.sh)"; exit 1; }

work=$(mktemp -d)
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
for i in $(seq 10); do printf '<HTML><BODY>page %s</BODY></HTML>\n' "$i" >"$work/page$i.htm"; done

display=:$((170 + RANDOM % 20))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# The program may still be writing into its home folder as it ends: wait for it.
trap 'kill $app $xvfb 2>/dev/null; wait $app 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display
sleep 1
(cd "$build" && exec ./tagwright "$work"/page*.htm) >/dev/null 2>&1 &
app=$!
sleep 12

ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
# Every time a thread of the program is switched in counts as a wake-up;
# each thread's count, so that threads that end in between drop out.
wakes() {
    for t in /proc/$app/task/*; do
        awk -v t="${t##*/}" '/ctxt_switches/ { n += $2 } END { print t, n }' "$t/status" 2>/dev/null
    done
}
hz=$(getconf CLK_TCK)
before=$(ticks)
wakes >"$work/wakes.before"
sleep "$seconds"
after=$(ticks)
wakes >"$work/wakes.after"
woken=$(awk 'NR == FNR { n[$1] = $2; next } ($1 in n) { w += $2 - n[$1] } END { print w + 0 }' \
    "$work/wakes.before" "$work/wakes.after")
used=$((after - before))
echo "idle for ${seconds}s with 10 documents (+1 empty): ${used} ticks = $((used * 1000 / hz)) ms of CPU"
echo "wake-ups of all its threads: ${woken} in ${seconds}s"
awk -v u="$used" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "average load: %.3f%% of one core\n", 100 * u / hz / s }'
