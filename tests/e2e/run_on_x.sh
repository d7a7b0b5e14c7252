#!/usr/bin/env bash
# Runs a test program on a real X display (a private Xvfb) instead of
# offscreen, inside its own session bus, with xdotool at hand: browser
# windows start the web engine as they do for a user, and the program may
# press real keys and click through the X server on its own windows.
# Usage: run_on_x.sh TEST-EXECUTABLE [test arguments...]
set -euo pipefail
. "$(dirname "$0")/xsession.sh"
start_x dbus-run-session xdotool
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
dbus-run-session -- "$@"
