#!/usr/bin/env bash
# Opens the 200 MB page (and the 100 MB one) with assistive technology active,
# as a screen reader user would: a private Xvfb, a session bus with the
# assistive technology bus running, and Qt told to serve it. Prints the open
# time and the process's peak memory for each page, one process per page.
#
#   [TW_PAGES="100MB 200MB"] bench/run-assistive-bench.sh [extra Google Benchmark options]
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
data=$(mktemp -d "${TMPDIR:-/tmp}/tw-at-bench.XXXXXX")
trap 'rm -rf "$data"' EXIT
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "needs $launcher (apt-get install at-spi2-core)"; exit 1; }

build_bench tw_file_bench
QT_QPA_PLATFORM=offscreen "$bench" --generate="$data" 2>/dev/null

. "$src/tests/e2e/xsession.sh"
start_x dbus-run-session
trap 'cleanup; rm -rf "$data"' EXIT
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 TW_AT_LAUNCHER=$launcher
for page in ${TW_PAGES:-100MB 200MB}; do
    dbus-run-session -- bash -c '"$TW_AT_LAUNCHER" --launch-immediately >/dev/null 2>&1 & exec "$@"' run \
        "$bench" --assistive --dir="$data" --case="$page" --benchmark_filter="^open/" "$@" 2>/dev/null \
        | grep -E "^open/"
done
echo "open time per page; peak_rss_MB is the process's peak resident memory, with assistive technology on."
