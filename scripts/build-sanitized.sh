#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into the folder given (default build-sanitize/), together with the libFuzzer
# targets: all code carries the fuzzer's coverage hooks, which cost the tests
# little and spare a third build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-sanitize}
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
# -O1 keeps the build quick and the stacks readable; line tables are all a
# report needs to name files and lines, and cost a fraction of full debug
# information to make and link (lld links them several times faster too).
cmake -S "$root" -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined -fuse-ld=lld" -DTW_BUILD_FUZZERS=ON >/dev/null
cmake --build "$out" -j"$(nproc)"
