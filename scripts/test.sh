#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest. Then
# builds again with clang into a second folder, with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the tests of the subsystems below the
# browser windows and the frame there (any report fails the test that caused
# it), and runs each fuzzer for TW_FUZZ_SECONDS (30).
# TW_SANITIZE=all builds and runs the whole suite in the second round too;
# TW_SANITIZE=0 skips it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TW_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600

sanitize=${TW_SANITIZE:-1}
if [ "$sanitize" != 0 ]; then
  sanitized=${TW_SANITIZE_BUILD_DIR:-$build-sanitize}
  scope=core labels=(-L core)
  if [ "$sanitize" = all ]; then scope=all labels=(); fi
  "$root/scripts/build-sanitized.sh" "$sanitized" "$scope"
  . "$root/scripts/sanitizers/env.sh"
  ctest --test-dir "$sanitized" "${labels[@]}" --output-on-failure -j2 --timeout 600
  "$root/scripts/fuzz.sh" "${TW_FUZZ_SECONDS:-30}" "$sanitized"
fi
