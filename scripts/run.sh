#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tagwright with the folder that
# holds the program and its data files as the working directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TW_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$build"
exec ./tagwright "$@"
