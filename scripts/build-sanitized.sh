#!/usr/bin/env bash
# Builds with clang, AddressSanitizer and UndefinedBehaviorSanitizer into the
# folder given (default build-sanitize/), together with the libFuzzer targets:
# all code carries the fuzzer's coverage hooks, which cost the tests little
# and spare a third build.
# Usage: scripts/build-sanitized.sh [FOLDER] [core|all]
# "core" (the default) builds the subsystems below the browser windows and
# the frame, their tests and the fuzzers; "all" builds everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-sanitize}
scope=${2:-core}
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
generator=()
if [ ! -f "$out/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
# -O1 keeps the build quick and the stacks readable; line tables are all a
# report needs to name files and lines, and cost a fraction of full debug
# information to make and link.
cmake -S "$root" -B "$out" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" -DTW_BUILD_FUZZERS=ON >/dev/null
if [ "$scope" = all ]; then
  cmake --build "$out" -j"$(nproc)"
else
  cmake --build "$out" -j"$(nproc)" --target tw_core_tests tw_fuzzers
fi
