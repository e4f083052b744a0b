#!/bin/sh
# Builds the filter and the benchmarks in Release mode and prints:
#  1. milliseconds per card and cards per second through the pipeline, for
#     CR80 cards at 300, 600 and 1200 x 300 dpi, per setting case;
#  2. wall time, CPU time and peak RSS of the whole filter process on a
#     1-card and a 100-card raster (case b at 300 dpi), next to the
#     decode-only floor that reads the same raster with libcups, and the
#     ratios filter / floor.
# Environment: RUNS (process runs per figure, default 5; medians are shown),
# BENCH_REPS (pipeline benchmark repetitions, default 5), BUILD (build
# directory, default build-bench), BENCH_FILTER (regex of pipeline cases).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="${BUILD:-$ROOT/build-bench}"
RUNS="${RUNS:-5}"
BENCH_REPS="${BENCH_REPS:-5}"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT INT TERM

echo "Building (Release) in $BUILD ..."
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target rastertocr80 make-raster cr80bench raster-decode-floor cr80measure \
    >"$WORK/build.log" 2>&1 || { cat "$WORK/build.log"; exit 1; }

export SOURCE_DATE_EPOCH=1767225600
unset PPD

echo
echo "== Pipeline, in process (median of $BENCH_REPS repetitions; sample card; stream discarded) =="
"$BUILD/bench/cr80bench" --benchmark_format=csv --benchmark_repetitions="$BENCH_REPS" \
    --benchmark_report_aggregates_only=true ${BENCH_FILTER:+--benchmark_filter="$BENCH_FILTER"} \
    2>/dev/null >"$WORK/bench.csv"
awk -F, '
    /_median"?,/ {
        name = $1; gsub(/"/, "", name); sub(/\/min_time.*/, "", name); sub(/_median$/, "", name)
        split(name, part, "/"); res = part[1]; cas = part[2]
        wall[res "/" cas] = $3; cpu[res "/" cas] = $4
        if (!(cas in seen)) { seen[cas] = 1; order[++n] = cas }
    }
    END {
        printf "%-26s %-9s %10s %10s %10s %9s\n", "case", "dpi", "ms/card", "cards/s", "CPU ms", "x 300dpi"
        split("300 600 1200x300", R, " ")
        for (i = 1; i <= n; ++i) {
            c = order[i]
            for (j = 1; j <= 3; ++j) {
                k = R[j] "/" c
                if (!(k in wall)) continue
                ratio = (R[1] "/" c in wall) && wall[R[1] "/" c] > 0 ? sprintf("%.2f", wall[k] / wall[R[1] "/" c]) : "-"
                printf "%-26s %-9s %10.2f %10.1f %10.2f %9s\n", c, R[j], wall[k], 1000 / wall[k], cpu[k], ratio
            }
        }
    }' "$WORK/bench.csv"

echo
echo "== Whole process, 300 dpi, case b (median of $RUNS runs; stream to /dev/null) =="
"$BUILD/make-raster" --sample -o "$WORK/1.ras"
"$BUILD/make-raster" --sample --pages 100 -o "$WORK/100.ras"
OPTS="FBlackManagement=ALLBLACKPOINT FOverlayManagement=FULLVARNISH"
measure() {
    "$BUILD/bench/cr80measure" "$RUNS" /dev/null -- "$@"
}
F1=$(measure "$BUILD/rastertocr80" 1 bench bench 1 "$OPTS" "$WORK/1.ras")
F100=$(measure "$BUILD/rastertocr80" 1 bench bench 1 "$OPTS" "$WORK/100.ras")
D1=$(measure "$BUILD/bench/raster-decode-floor" "$WORK/1.ras")
D100=$(measure "$BUILD/bench/raster-decode-floor" "$WORK/100.ras")
echo "$F1 $F100 $D1 $D100" | awk '{
    fw1 = $1; fc1 = $2; fr1 = $3; fw100 = $4; fc100 = $5; fr100 = $6
    dw1 = $7; dc1 = $8; dr1 = $9; dw100 = $10; dc100 = $11; dr100 = $12
    fxw = (fw100 - fw1) / 99; fxc = (fc100 - fc1) / 99
    dxw = (dw100 - dw1) / 99; dxc = (dc100 - dc1) / 99
    printf "%-30s %12s %12s %12s\n", "", "filter", "floor", "filter/floor"
    printf "%-30s %12.1f %12.1f %12.2f\n", "1 card: wall ms", fw1, dw1, fw1 / dw1
    printf "%-30s %12.1f %12.1f %12.2f\n", "1 card: CPU ms", fc1, dc1, fc1 / dc1
    printf "%-30s %12.1f %12.1f %12.2f\n", "100 cards: wall ms", fw100, dw100, fw100 / dw100
    printf "%-30s %12.1f %12.1f %12.2f\n", "100 cards: CPU ms", fc100, dc100, fc100 / dc100
    printf "%-30s %12.2f %12.2f %12.2f\n", "extra card: wall ms", fxw, dxw, (dxw > 0 ? fxw / dxw : 0)
    printf "%-30s %12.2f %12.2f %12.2f\n", "extra card: CPU ms", fxc, dxc, (dxc > 0 ? fxc / dxc : 0)
    printf "%-30s %12.1f %12.1f %12.2f\n", "peak RSS MB, 1 card", fr1 / 1024, dr1 / 1024, fr1 / dr1
    printf "%-30s %12.1f %12.1f %12.2f\n", "peak RSS MB, 100 cards", fr100 / 1024, dr100 / 1024, fr100 / dr100
    printf "\nTargets: extra card <= 3 x floor (wall %s, CPU %s); 1 card <= 1.5 x floor (%s); ",
        (fxw <= 3 * dxw ? "met" : "NOT met"), (fxc <= 3 * dxc ? "met" : "NOT met"), (fw1 <= 1.5 * dw1 ? "met" : "NOT met")
    printf "peak RSS <= 64 MB and flat (%s)\n", (fr100 <= 65536 && fr100 <= fr1 * 1.1 + 2048 ? "met" : "NOT met")
}'
