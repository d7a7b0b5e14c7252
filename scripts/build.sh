#!/usr/bin/env bash
# Configures and builds Tagwright into build/ (or $TW_BUILD_DIR). Line tables
# are all the debug information a stack trace needs; they cost a fraction of
# full information to make and link (pass CMAKE_CXX_FLAGS_RELWITHDEBINFO to a
# cmake of your own for more).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TW_BUILD_DIR:-$root/build}
generator=()
if [ ! -f "$build/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" >/dev/null
cmake --build "$build" -j"$(nproc)"
