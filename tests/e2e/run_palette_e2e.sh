#!/usr/bin/env bash
# Picks a colour in the real palette with the mouse: types a word into
# Document 1, selects it, presses "Font Color" and clicks the silver cell.
# The page must then hold the word in that colour's FONT tag; it is read back
# through the clipboard.
# Usage: run_palette_e2e.sh TAGWRIGHT-EXECUTABLE
set -euo pipefail
exe=$1

. "$(dirname "$0")/xsession.sh"
start_x xdotool xclip

known_placement

start_app

wid=$(wait_window '^Tagwright$') || fail "no window titled Tagwright"
sleep 0.5
xdotool type --delay 20 hello
xdotool key ctrl+a
# "Font Color" is the fifth button of the HTML Edit bar along the frame's
# right edge: its middle lies 58 pixels from that edge and 180 from the top.
xdotool mousemove --window "$wid" 742 180 click 1
palette=$(wait_window '^Colors$') || fail "the palette did not open"
# Cell a2, silver, has its middle 18 pixels right of and 38 below the
# palette's top left corner.
xdotool mousemove --window "$palette" 18 38 click 1
palette_closed() { ! visible_window '^Colors$'; }
wait_until palette_closed || fail "the palette did not close"

xdotool mousemove --window "$wid" 200 250 click 1
expected='<FONT COLOR="#C0C0C0">hello</FONT>'
wait_until copies "$expected" || fail "the page holds '$copied', not '$expected'"
echo "1 passed, 0 failed"
