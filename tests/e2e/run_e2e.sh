#!/usr/bin/env bash
# Starts the built program under a private Xvfb, finds its frame by title,
# moves it, closes it as a window manager would, and checks that the frame's
# placement reached the settings store.
# Usage: run_e2e.sh TAGWRIGHT-EXECUTABLE X11CLOSE-EXECUTABLE
set -euo pipefail
exe=$1
closer=$2

# Exit code 77 tells CTest the test was skipped, not passed.
for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

display=""
for n in $(seq 120 160); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
up=""
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && { up=1; break; }; sleep 0.1; done
[ -n "$up" ] || { echo "SKIP: Xvfb did not come up on $display"; cat "$work/xvfb.log"; exit 77; }

(cd "$(dirname "$exe")" && exec "$exe") >"$work/app.log" 2>&1 &
app=$!

wid=""
for _ in $(seq 150); do
  wid=$(xdotool search --onlyvisible --name '^Tagwright$' 2>/dev/null | head -n 1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || { echo "FAIL: no window titled Tagwright"; cat "$work/app.log"; exit 1; }
echo "found frame window $wid"

xdotool windowmove "$wid" 200 150
sleep 1
"$closer" "$wid"

for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "FAIL: the program did not end on close"; exit 1; fi
wait "$app" || { echo "FAIL: the program exited with an error"; cat "$work/app.log"; exit 1; }
app=""

conf=$XDG_CONFIG_HOME/Tagwright/Tagwright.conf
[ -f "$conf" ] || { echo "FAIL: no settings written"; exit 1; }
cat "$conf"
grep -qx 'MainLeft=3000' "$conf" || { echo "FAIL: MainLeft is not 3000 twips"; exit 1; }
grep -qx 'MainTop=2250' "$conf" || { echo "FAIL: MainTop is not 2250 twips"; exit 1; }
grep -q '^MainWidth=' "$conf" && grep -q '^MainHeight=' "$conf" || { echo "FAIL: size missing"; exit 1; }
echo "1 passed, 0 failed"
