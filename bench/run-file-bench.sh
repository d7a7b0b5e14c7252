#!/usr/bin/env bash
# Times opening and saving large pages through the code the File commands use
# and reports each page's peak memory. Builds the benchmark in build-bench/
# (or $TW_BENCH_BUILD_DIR), writes the sample pages to a temporary folder and
# runs each page size in a process of its own, so that the peak resident set
# size belongs to that page alone.
#
#   bench/run-file-bench.sh [extra Google Benchmark options]
#
# "open" is reading the file, loading it into a fresh editor and painting it;
# "save" is writing the editor's text over a file (temporary file, sync, rename).
# "base" is the process's memory before any page is loaded.
set -euo pipefail

. "$(dirname "$0")/build-bench.sh"
data=$(mktemp -d "${TMPDIR:-/tmp}/tw-file-bench.XXXXXX")
trap 'rm -rf "$data"' EXIT

echo "Building tw_file_bench in $build ..."
build_bench tw_file_bench

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$bench" --generate="$data" 2>/dev/null

printf '%-14s %8s %8s %10s %10s %8s %10s %10s\n' \
    page "open s" "save s" "open peak" "save peak" "base" "peak/size" "above base"
for page in 1MB 20MB 100MB 200MB 5MB-one-line 20MB-legacy; do
    for op in open save; do
        "$bench" --dir="$data" --case="$page" --benchmark_filter="^$op/" --benchmark_format=csv \
            "$@" 2>/dev/null
    done | awk -F, -v page="$page" '
        function unq(s) { gsub(/"/, "", s); return s }
        function secs(t, unit) {
            return unit == "ns" ? t / 1e9 : unit == "us" ? t / 1e6 : unit == "ms" ? t / 1e3 : t
        }
        /^name,/ { for (i = 1; i <= NF; i++) col[unq($i)] = i; next }
        !("name" in col) { next }
        {
            op = unq($col["name"]); sub(/\/.*/, "", op)
            if ($col["error_occurred"] == "true") { err = unq($col["error_message"]); next }
            time[op] = secs($col["real_time"], $col["time_unit"])
            peak[op] = $col["peak_rss_MB"]; base = $col["base_rss_MB"]; size = $col["file_MB"]
        }
        END {
            if (err != "") { printf "%-14s failed: %s\n", page, err; exit }
            if (size == 0) { printf "%-14s no result\n", page; exit }
            top = peak["open"] > peak["save"] ? peak["open"] : peak["save"]
            printf "%-14s %8.3f %8.3f %10.1f %10.1f %8.1f %10.2f %10.2f\n", page, time["open"],
                   time["save"], peak["open"], peak["save"], base, top / size, (top - base) / size
        }'
done
echo "Times are the mean of several runs; memory in MB (peak resident set size);"
echo "peak/size counts the whole process, above base only what the page added."
