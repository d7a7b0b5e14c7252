#!/usr/bin/env bash
# Times opening, typing, caret moves and scrolling on pages that are one long
# line (5 and 20 MB, as they are and opened with line breaks) and on a 5 MB
# page of ordinary lines, highlighted and plain; a key on one-line pages of
# 256 KB to 2 MB (where a key starts to cost a quarter of a second); the
# processor time of an idle editor with its caret blinking and standing
# still; the longest-line count; and the Open command's own code for each
# answer to the long-line question. Each row runs in its own process so that
# its peak memory belongs to it alone. Builds in build-bench/ (or
# $TW_BENCH_BUILD_DIR). Extra options go to tw_longline_bench, for instance
# --sci=2514:4096 to try a position cache size.
#
#   bench/run-longline-bench.sh [--sci=MESSAGE:VALUE ...]
#
# For open, "ms" is the mean of the runs and "cpu ms" their mean processor
# time; the step rows give the median and the slowest of their steps and the
# median processor time of a step, which a busy machine inflates less. For
# idle, "cpu ms" is the processor time of 5 s left alone. For the command
# rows, "ask cpu" is the processor time until the question shows.
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_longline_open_bench
open_bench=$bench
build_bench tw_longline_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

row() { # label, program, filter, extra options...
    local label=$1 program=$2 filter=$3
    shift 3
    "$program" --benchmark_filter="$filter" --benchmark_format=csv "$@" 2>/dev/null |
        awk -F, -v label="$label" '
            function num(name, fmt) { return (name in col && $col[name] != "") ? sprintf(fmt, $col[name]) : sprintf("%10s", "-") }
            /^name,/ { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); col[$i] = i }; next }
            ("name" in col) {
                ms = ("median_ms" in col && $col["median_ms"] != "") ? $col["median_ms"] : $col["real_time"]
                cpu = ("cpu_median_ms" in col && $col["cpu_median_ms"] != "") ? $col["cpu_median_ms"] : \
                      ("cpu_ms" in col && $col["cpu_ms"] != "") ? $col["cpu_ms"] : $col["cpu_time"]
                printf "%-34s %10.1f %s %10.1f %s %s %10.1f\n", label, ms, num("max_ms", "%10.1f"), cpu,
                       num("load_cpu_ms", "%10.1f"), num("ask_cpu_ms", "%10.1f"), $col["peak_rss_MB"] }'
}

echo "load: $(uptime | sed 's/.*load average: //')"
printf '%-34s %10s %10s %10s %10s %10s %10s\n' case "ms" "max ms" "cpu ms" "load cpu" "ask cpu" "peak MB"
for page in 256KB 512KB 768KB 1MB 2MB; do
    for look in lexer plain; do
        row "key/$page-one-line/$look" "$bench" "^key/$page-one-line/$look/" "$@"
    done
done
for page in 5MB-one-line 5MB-one-line-breaks 20MB-one-line 20MB-one-line-breaks 5MB-lines; do
    for look in lexer plain; do
        for op in open key right end scroll idle idle-steady; do
            row "$op/$page/$look" "$bench" "^$op/$page/$look/" "$@"
        done
    done
done
for page in 5MB-one-line 20MB-one-line 5MB-lines; do
    "$bench" --benchmark_filter="^census/$page\$" --benchmark_format=csv 2>/dev/null |
        awk -F, -v label="census/$page" '
            /^name,/ { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); col[$i] = i }; next }
            ("name" in col) { printf "%-34s %10.3f ms per MB\n", label, $col["ms_per_MB"] * 1000 }'
done
for mb in 1MB 5MB 20MB; do
    for answer in as-is breaks lines; do
        row "command/$answer/$mb" "$open_bench" "^$answer/$mb/"
    done
done
echo "load: $(uptime | sed 's/.*load average: //')"
