#!/usr/bin/env bash
# Start-up of the real program under a private Xvfb, as a new user sees it:
# time from starting the process to its first window (the splash) and to its
# frame window being visible, and its
# resident memory once settled (1 s later), each run a fresh process with a
# fresh home folder. Prints the median of the runs (5 unless given).
#
#   bench/startup.sh [RUNS] [PROGRAM]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
exe=${2:-$src/build/tagwright}
[ -x "$exe" ] || { echo "no program at $exe (build it first: scripts/build.sh)"; exit 1; }
for tool in Xvfb c++; do command -v "$tool" >/dev/null || { echo "$tool is needed"; exit 1; }; done

work=$(mktemp -d)
# The window is waited for through X events, so nothing polls for it while
# the program starts.
c++ -O2 -o "$work/mapwait" "$src/bench/mapwait.cpp" -lX11 || { echo "building mapwait needs libx11-dev"; exit 1; }
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
app=
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
unset QT_QPA_PLATFORM
sleep 0.5

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
times=()
firsts=()
rss=()
for run in $(seq "$runs"); do
    home=$work/home$run
    mkdir -p "$home/run"; chmod 700 "$home/run"
    coproc waiter { exec "$work/mapwait" Tagwright; }
    read -r ready <&"${waiter[0]}"
    start=$(date +%s%N)
    (cd "$(dirname "$exe")" && HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run \
        exec "$exe") >/dev/null 2>&1 &
    app=$!
    read -r first <&"${waiter[0]}"
    read -r shown <&"${waiter[0]}"
    wait "$waiter_PID" 2>/dev/null || true
    sleep 1
    times+=($(( (shown - start) / 1000000 )))
    firsts+=($(( (first - start) / 1000000 )))
    rss+=($(awk '/^VmRSS/ {print $2}' "/proc/$app/status"))
    kill "$app"; wait "$app" 2>/dev/null || true
    app=
done
printf 'start to first window (splash): %s ms (runs: %s)\n' "$(printf '%s\n' "${firsts[@]}" | median)" "${firsts[*]}"
printf 'start to frame window: %s ms (runs: %s)\n' "$(printf '%s\n' "${times[@]}" | median)" "${times[*]}"
printf 'resident memory: %s MB\n' "$(printf '%s\n' "${rss[@]}" | median | awk '{printf "%.1f", $1 / 1024}')"
