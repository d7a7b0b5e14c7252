#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS each (default 30; give more for a
# longer search), two at a time, from the seeds in fuzz/seeds and the corpus
# kept in the build folder. A finding is saved under BUILD/fuzz-findings and
# fails the run: turn it into a regression test.
# Usage: scripts/fuzz.sh [SECONDS] [BUILD]   (BUILD defaults to build-sanitize/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
out=${2:-$root/build-sanitize}
targets=(fuzz_page fuzz_numbers fuzz_placement fuzz_builders)
for t in "${targets[@]}"; do
  [ -x "$out/fuzz/$t" ] || { "$root/scripts/build-sanitized.sh" "$out"; break; }
done
. "$root/scripts/sanitizers/env.sh"
mkdir -p "$out/fuzz-findings"
# The fuzzed code loads no GL driver or browser engine whose leaks need full
# stacks to be named; fast unwinding makes each run about ten times quicker.
export ASAN_OPTIONS="${ASAN_OPTIONS/fast_unwind_on_malloc=0/fast_unwind_on_malloc=1}"
# The page fuzzer writes and syncs files: in memory it runs far more often.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

run() {
  local t=$1 corpus="$out/fuzz-corpus/$1"
  mkdir -p "$corpus"
  local dirs=("$corpus")
  [ -d "$root/fuzz/seeds/$t" ] && dirs+=("$root/fuzz/seeds/$t")
  # One input running a minute is a hang: far beyond what a slow one needs on
  # a busy machine, so that a finding is never the machine's slowness.
  if "$out/fuzz/$t" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -max_len=4096 \
       -print_final_stats=1 -artifact_prefix="$out/fuzz-findings/$t-" "${dirs[@]}" >"$out/fuzz-$t.log" 2>&1; then
    echo "fuzz: $t: $(grep -m1 'stat::number_of_executed_units' "$out/fuzz-$t.log" | awk '{print $2}') runs, no finding"
  else
    echo "fuzz: $t FOUND A FAULT (input in $out/fuzz-findings):"
    tail -40 "$out/fuzz-$t.log"
    return 1
  fi
}

status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" & a=$!
  b=""
  if [ -n "${targets[i + 1]:-}" ]; then run "${targets[i + 1]}" & b=$!; fi
  wait "$a" || status=1
  [ -z "$b" ] || wait "$b" || status=1
done
exit $status
