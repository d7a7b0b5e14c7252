#!/usr/bin/env bash
# Crash recovery as a user meets it: types into an opened page and into an
# untitled one, kills the program (SIGKILL) after the journals are written,
# starts it again, accepts the offer to restore, and reads back the text of
# every window through the clipboard.
# Usage: run_recovery_e2e.sh TAGWRIGHT-EXECUTABLE
set -euo pipefail
exe=$1

. "$(dirname "$0")/xsession.sh"
start_x xdotool xclip

known_placement
printf '<P>old</P>' >"$work/page.htm"

run() { (cd "$(dirname "$exe")" && exec "$exe" "$@") >>"$work/app.log" 2>&1 & app=$!; }
fail() { echo "FAIL: $1"; cat "$work/app.log"; exit 1; }

run "$work/page.htm"
wid=$(wait_window '^Tagwright$') || fail "no window titled Tagwright"
sleep 0.5
xdotool type --delay 20 'new'          # into the opened page, which is active
xdotool key ctrl+Tab                   # to Document 1
sleep 0.3
xdotool type --delay 20 'draft'
sleep 5                                # the journals are written 2 s after the last edit
kill -9 "$app"; wait "$app" 2>/dev/null || true; app=""

run
# The question is the one visible window that is not the frame.
other_window() {
  local w
  for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null || true); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null || true)" != Tagwright ] && { echo "$w"; return; }
  done
  return 0
}
question=""
for _ in $(seq 600); do
  question=$(other_window)
  [ -n "$question" ] && break
  sleep 0.1
done
[ -n "$question" ] || fail "no question offered the pages again"
xdotool windowactivate --sync "$question" 2>/dev/null || true
xdotool key alt+y
sleep 1

# Read every window's text: the restored ones must hold what was typed.
seen=""
for _ in 1 2 3 4; do
  xdotool key ctrl+a ctrl+c
  sleep 0.3
  seen="$seen[$(xclip -o -selection clipboard 2>/dev/null || true)]"
  xdotool key ctrl+Tab
  sleep 0.3
done
echo "windows hold: $seen"
case "$seen" in *'[new<P>old</P>]'*) ;; *) fail "the opened page was not restored";; esac
case "$seen" in *'[draft]'*) ;; *) fail "the untitled page was not restored";; esac
echo "1 passed, 0 failed"
