#!/usr/bin/env bash
# Runs a test program on a private Xvfb inside its own session bus with the
# assistive technology bus running and Qt told to serve it, as a screen
# reader would have it.
# Usage: run_with_at.sh TEST-EXECUTABLE [test arguments...]
set -euo pipefail
. "$(dirname "$0")/xsession.sh"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "SKIP: $launcher is not installed (at-spi2-core)"; exit 77; }
start_x dbus-run-session
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 TW_AT_LAUNCHER=$launcher
dbus-run-session -- bash -c '"$TW_AT_LAUNCHER" --launch-immediately >/dev/null 2>&1 & exec "$@"' run "$@"
