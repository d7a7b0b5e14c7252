# Sourced by the bench/run-*.sh scripts: the source and benchmark build
# folders ($TW_BENCH_BUILD_DIR, build-bench/ by default), and build_bench,
# which installs what is missing and builds one benchmark program in Release,
# showing the build's output only when it fails. Sets $bench to the program.
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TW_BENCH_BUILD_DIR:-$src/build-bench}

build_bench() {
    TW_WITH_BENCHMARKS=1 "$src/scripts/setup.sh" >/dev/null
    local log
    log=$(mktemp)
    if ! { cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_BENCHMARKS=ON \
            && cmake --build "$build" -j"${JOBS:-2}" --target "$1"; } >"$log" 2>&1; then
        cat "$log"
        rm -f "$log"
        exit 1
    fi
    rm -f "$log"
    bench=$build/bench/$1
}
