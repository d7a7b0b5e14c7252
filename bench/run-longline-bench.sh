#!/usr/bin/env bash
# Times opening, typing, caret moves and scrolling on pages that are one long
# line (5 and 20 MB) and on a 5 MB page of ordinary lines, highlighted and
# plain; each row runs in its own process so that its peak memory belongs to
# it alone. Builds in build-bench/ (or $TW_BENCH_BUILD_DIR). Extra options go
# to the benchmark, for instance --sci=2514:4096 to try a position cache size.
#
#   bench/run-longline-bench.sh [--sci=MESSAGE:VALUE ...]
#
# For open, "ms" is the mean of the runs and "cpu ms" their mean processor
# time; the step rows give the median and the slowest of their steps and the
# median processor time of a step, which a busy machine inflates less.
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_longline_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
echo "load: $(uptime | sed 's/.*load average: //')"
printf '%-30s %10s %10s %10s %10s\n' case "ms" "max ms" "cpu ms" "peak MB"
for page in 5MB-one-line 20MB-one-line 5MB-lines; do
    for look in lexer plain; do
        for op in open key right end scroll; do
            "$bench" --benchmark_filter="^$op/$page/$look/" --benchmark_format=csv "$@" 2>/dev/null |
                awk -F, -v label="$op/$page/$look" '
                    /^name,/ { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); col[$i] = i }; next }
                    ("name" in col) {
                        ms = ("median_ms" in col && $col["median_ms"] != "") ? $col["median_ms"] : $col["real_time"]
                        mx = ("max_ms" in col && $col["max_ms"] != "") ? sprintf("%10.1f", $col["max_ms"]) : sprintf("%10s", "-")
                        cpu = ("cpu_median_ms" in col && $col["cpu_median_ms"] != "") ? sprintf("%10.1f", $col["cpu_median_ms"]) : sprintf("%10.1f", $col["cpu_time"])
                        printf "%-30s %10.1f %s %s %10.1f\n", label, ms, mx, cpu, $col["peak_rss_MB"] }'
        done
    done
done
echo "load: $(uptime | sed 's/.*load average: //')"
