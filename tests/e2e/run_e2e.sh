#!/usr/bin/env bash
# Starts the built program under a private Xvfb, finds its frame by title,
# moves it, closes it as a window manager would, and checks that the frame's
# placement reached the settings store.
# Usage: run_e2e.sh TAGWRIGHT-EXECUTABLE X11CLOSE-EXECUTABLE
set -euo pipefail
exe=$1
closer=$2

. "$(dirname "$0")/xsession.sh"
start_x xdotool

start_app

wid=$(wait_window '^Tagwright$') || { echo "FAIL: no window titled Tagwright"; cat "$work/app.log"; exit 1; }
echo "found frame window $wid"

xdotool windowmove "$wid" 200 150
# The server has moved the window, so the program hears of the move before
# it hears of the close that follows.
moved() { xdotool getwindowgeometry "$wid" 2>/dev/null | grep -q 'Position: 200,150'; }
wait_until moved || { echo "FAIL: the window was not moved"; exit 1; }
"$closer" "$wid"

wait_until app_ended || { echo "FAIL: the program did not end on close"; exit 1; }
wait "$app" || { echo "FAIL: the program exited with an error"; cat "$work/app.log"; exit 1; }
app=""

conf=$XDG_CONFIG_HOME/Tagwright/Tagwright.conf
[ -f "$conf" ] || { echo "FAIL: no settings written"; exit 1; }
cat "$conf"
grep -qx 'MainLeft=3000' "$conf" || { echo "FAIL: MainLeft is not 3000 twips"; exit 1; }
grep -qx 'MainTop=2250' "$conf" || { echo "FAIL: MainTop is not 2250 twips"; exit 1; }
grep -q '^MainWidth=' "$conf" && grep -q '^MainHeight=' "$conf" || { echo "FAIL: size missing"; exit 1; }
echo "1 passed, 0 failed"
