#!/usr/bin/env bash
# Reopen Pages at Start as a user meets it: the program starts with two pages
# named on the command line; Alt+F, Up (the File menu's last item) and Enter
# turn "Reopen Pages at Start" on, which writes the list at once; the program
# is then killed, as in a crash. Started again without pages it shows both,
# the last one active, read back through the clipboard.
# Usage: run_reopen_e2e.sh TAGWRIGHT-EXECUTABLE
set -euo pipefail
exe=$1

. "$(dirname "$0")/xsession.sh"
start_x xdotool xclip

known_placement

run() { (cd "$(dirname "$exe")" && exec "$exe" "$@") >>"$work/app.log" 2>&1 & app=$!; }
fail() { echo "FAIL: $1"; cat "$work/app.log"; exit 1; }
list=$XDG_DATA_HOME/Tagwright/Tagwright/open-pages
listed() { grep -qF "$work/b.htm" "$list" 2>/dev/null && grep -qF "$work/a.htm" "$list"; }
chosen() { grep -qx 'reopenPages=true' "$XDG_CONFIG_HOME/Tagwright/Tagwright.conf"; }
# The active window's text, copied to the clipboard, is $1.
holds() { xdotool key ctrl+a ctrl+c; sleep 0.2; [ "$(xclip -o -selection clipboard 2>/dev/null || true)" = "$1" ]; }
# Goes through the windows until the one holding $1 is met.
met() { holds "$1" && return 0; xdotool key ctrl+Tab; return 1; }

printf 'first page' >"$work/a.htm"
printf 'second page' >"$work/b.htm"
run "$work/a.htm" "$work/b.htm"
wait_window '^Tagwright$' >/dev/null || fail "no window titled Tagwright"
wait_until holds 'second page' || fail "the second page is not the active window"
xdotool key alt+f Up Return
wait_until chosen || fail "Reopen Pages at Start was not turned on"
wait_until listed || fail "the list of open pages was not written"
kill -9 "$app"; wait "$app" 2>/dev/null || true; app=""

run
wait_window '^Tagwright$' >/dev/null || fail "no window titled Tagwright after the crash"
wait_until holds 'second page' || fail "the second page did not come back active"
wait_until met 'first page' || fail "the first page did not come back"
kill -9 "$app"; wait "$app" 2>/dev/null || true; app=""
echo "1 passed, 0 failed"
