#!/usr/bin/env bash
# Help while typing, with real key presses into the program: "<p>" gets its
# closing tag, one Undo takes back the '>' with it, "</" is completed with
# the name of the element still open and adds nothing where that element is
# closed right after the caret, and Enter takes a name from the list. The
# page's text is read back through the clipboard.
# Usage: run_typing_e2e.sh TAGWRIGHT-EXECUTABLE
set -euo pipefail
exe=$1

. "$(dirname "$0")/xsession.sh"
start_x xdotool xclip

known_placement

# Waits until the page's text is $1; leaves the caret at the end of the page.
wait_text() {
  wait_until copies "$1" || fail "the page holds [$copied], not [$1]"
  xdotool key ctrl+End
}

start_app
wait_window '^Tagwright$' >/dev/null || fail "no window titled Tagwright"
sleep 0.5

xdotool type --delay 50 '<p>'
wait_text '<p></p>'
echo "typed <p>: <p></p>"

xdotool key ctrl+z
wait_text '<p'
echo "after one Undo: <p"

# An element left open, then "</".
xdotool key ctrl+a Delete
xdotool type --delay 50 '<i>x'
wait_text '<i>x</i>'
xdotool key BackSpace BackSpace BackSpace BackSpace
wait_text '<i>x'
xdotool type --delay 50 '</'
wait_text '<i>x</i>'
echo "typed </ after <i>x: <i>x</i>"

# "</" where the element is closed right after the caret already adds nothing.
xdotool key ctrl+a Delete
xdotool type --delay 50 '<li>'
wait_text '<li></li>'
xdotool key Left Left Left Left Left
xdotool type --delay 50 '</'
wait_text '<li></</li>'
echo "typed </ in <li>|</li>: <li></</li>"

# The list of element names, narrowed by what is typed; Enter takes the choice.
xdotool key ctrl+a Delete
xdotool type --delay 50 '<tex'
xdotool key Return
wait_text '<textarea'
echo "typed <tex and Enter: <textarea"
echo "5 passed, 0 failed"
