#!/usr/bin/env bash
# Times loading and painting pages highlighted and with highlighting off, at
# 1, 19, 21 and 50 MB (over 20 MB the page is plain either way), each case in
# its own process so that its peak memory belongs to it alone. Builds in
# build-bench/ (or $TW_BENCH_BUILD_DIR).
set -euo pipefail
. "$(dirname "$0")/build-bench.sh"
build_bench tw_look_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
printf '%-26s %8s %8s %6s %10s %10s\n' case "load ms" "end ms" plain "peak MB" "base MB"
for name in LoadHighlighted LoadHighlightingOff; do
    for mb in 1 19 21 50; do
        "$bench" --benchmark_filter="^BM_$name/$mb/" --benchmark_format=csv 2>/dev/null |
            awk -F, -v label="$name/$mb" '
                /^name,/ { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); col[$i] = i }; next }
                ("name" in col) { printf "%-26s %8.0f %8.0f %6s %10.1f %10.1f\n", label, $col["real_time"], $col["to_end_ms"],
                                  $col["plain"] == 1 ? "yes" : "no", $col["peak_rss_MB"], $col["base_rss_MB"] }'
    done
done
