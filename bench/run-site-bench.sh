#!/usr/bin/env bash
# How the Site dock fills with a generated folder of FILES files (100,000 by
# default): the time to its first rows, to the whole folder listed and
# sorted, and the longest the window was held up meanwhile, beside Qt's own
# file-system model and tree view as they come. Offscreen, median of RUNS.
#
#   bench/run-site-bench.sh [FILES] [RUNS]
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
echo "Building tw_site_bench in $build ..."
build_bench tw_site_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
cd "$work"
"$bench" "${1:-100000}" "${2:-5}" 2>/dev/null
