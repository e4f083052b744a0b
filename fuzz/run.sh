#!/bin/sh
# Runs every fuzz target for the given number of seconds:
#   fuzz/run.sh <seconds> [target ...]
# Builds the targets in build-fuzz/ with clang (CR80_FUZZ=ON) when needed.
# Each target starts from its committed seeds (fuzz/corpus/<target>/) plus
# what earlier runs found (build-fuzz/fuzz-work/<target>/, not committed).
# FUZZ_JOBS=2 runs two targets at a time. A crashing input lands in
# build-fuzz/artifacts/ and makes the script fail. The summary gives, per
# target, the executions per second and the coverage reached.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)

if [ $# -lt 1 ]; then
    echo "usage: fuzz/run.sh <seconds> [target ...]" >&2
    exit 2
fi
SECONDS_PER_TARGET=$1
shift
JOBS=${FUZZ_JOBS:-1}
BUILD=${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCR80_FUZZ=ON \
    -DBUILD_TESTING=OFF ${CR80_CMAKE_OPTIONS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)" >/dev/null

if [ $# -gt 0 ]; then
    TARGETS="$*"
else
    TARGETS=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
fi

WORK=$BUILD/fuzz-work
ARTIFACTS=$BUILD/artifacts
LOGS=$BUILD/fuzz-logs
mkdir -p "$WORK" "$ARTIFACTS" "$LOGS"

run_one() {
    t=$1
    mkdir -p "$WORK/$t"
    # -timeout: an input slower than this is a fault (a hang); the memory
    # limit allows the largest face the filter accepts, under the sanitizer.
    # Single allocations up to 4 GiB are allowed: libcups reserves a line of
    # the size a raster header declares (32 bits) while reading the header,
    # before the filter can refuse the page; the memory is not touched, and
    # the resident limit still catches what is.
    "$BUILD/fuzz/$t" "$WORK/$t" "$ROOT/fuzz/corpus/$t" \
        -max_total_time="$SECONDS_PER_TARGET" -timeout=60 -rss_limit_mb=4096 -malloc_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$ARTIFACTS/$t-" >"$LOGS/$t.log" 2>&1
}

FAILED=""
set -- $TARGETS
while [ $# -gt 0 ]; do
    PIDS=""
    NAMES=""
    n=0
    while [ $# -gt 0 ] && [ $n -lt "$JOBS" ]; do
        run_one "$1" &
        PIDS="$PIDS $!"
        NAMES="$NAMES $1"
        n=$((n + 1))
        shift
    done
    i=1
    for pid in $PIDS; do
        name=$(echo $NAMES | cut -d' ' -f$i)
        if ! wait "$pid"; then
            FAILED="$FAILED $name"
        fi
        i=$((i + 1))
    done
done

printf '%-16s %10s %10s %10s %10s %8s\n' target runs exec/s cov features corpus
for t in $TARGETS; do
    log=$LOGS/$t.log
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    cov=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    corp=$(echo "$last" | sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p')
    printf '%-16s %10s %10s %10s %10s %8s\n' "$t" "${runs:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}"
done

if [ -n "$FAILED" ]; then
    echo "fuzzing found a fault in:$FAILED (inputs in $ARTIFACTS, logs in $LOGS)" >&2
    for t in $FAILED; do
        grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$LOGS/$t.log" | head -5 >&2
    done
    exit 1
fi
