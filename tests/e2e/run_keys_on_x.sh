#!/usr/bin/env bash
# Runs a test program on a private Xvfb inside its own session bus, with
# xdotool at hand: the program presses real keys and clicks through the X
# server on its own windows.
# Usage: run_keys_on_x.sh TEST-EXECUTABLE [test arguments...]
set -euo pipefail
. "$(dirname "$0")/xsession.sh"
start_x dbus-run-session xdotool
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
dbus-run-session -- "$@"
