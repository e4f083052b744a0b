#!/bin/bash
# The printer application against the CUPS chain for one JPEG photo card
# (1016 x 648, a CR80 card at 300 dpi):
#  - the application: a private server with a printer writing to a
#    directory; each job is timed from its submission (IPP Print-Job) until
#    the server reports it completed, that is the card's stream written
#    (cr80ippsubmit, one job after the other, after one job not counted);
#  - the chain: `cupsfilter` turns the JPEG into a CUPS raster with the
#    project's PPD, then the filter makes the stream (both timed together as
#    one shell command by cr80measure, which also reports CPU time and peak
#    RSS).
# Prints the medians of RUNS runs and the ratio application / chain (the
# target: at most 0.5).
# Environment: RUNS (default 7, at least 5), BUILD (build directory, default
# build-bench; the printer application needs libpappl-dev).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="${BUILD:-$ROOT/build-bench}"
RUNS="${RUNS:-7}"
WORK=$(mktemp -d)
SERVER=""
cleanup() {
    if [ -n "$SERVER" ]; then
        kill "$SERVER" 2>/dev/null || true
        wait "$SERVER" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

echo "Building (Release) in $BUILD ..."
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target rastertocr80 cr80measure cr80ippsubmit >"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log"; exit 1; }
if ! cmake --build "$BUILD" -j"$(nproc)" --target cr80-printer-app >>"$WORK/build.log" 2>&1; then
    echo "The printer application is not built (libpappl-dev missing?):"
    tail -n 5 "$WORK/build.log"
    exit 1
fi
APP=$(find "$BUILD" -name cr80-printer-app -type f -perm -u+x | head -n 1)

export SOURCE_DATE_EPOCH=1767225600
unset PPD

# The photo: smooth colour gradients under fine random texture, as a JPEG of
# the card's own size at 300 dpi.
cat >"$WORK/photo.ps" <<'EOF'
%!PS
/W 243.84 def /H 155.52 def
0 1 W { /x exch def x W div 0.9 0.9 sethsbcolor x 0 1 H rectfill } for
1 srand
0 0.72 W { /x exch def
  0 0.72 H { /y exch def
    rand 1000 mod 3000 div rand 1000 mod 3000 div rand 1000 mod 3000 div setrgbcolor
    rand 4 mod 0 eq { x y 0.72 0.72 rectfill } if
  } for
} for
1 1 1 setrgbcolor W 3 div H 2 div 40 0 360 arc fill
showpage
EOF
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=jpeg -dJPEGQ=90 -r300 -dDEVICEWIDTHPOINTS=243.84 \
    -dDEVICEHEIGHTPOINTS=155.52 -dFIXEDMEDIA -sOutputFile="$WORK/photo.jpg" "$WORK/photo.ps"

# The application's server, on a free loopback port.
mkdir -p "$WORK/spool" "$WORK/pictures" "$WORK/out"
for _ in 1 2 3 4 5; do
    PORT=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null && continue
    "$APP" server -o server-port="$PORT" -o log-file="$WORK/server.log" -o log-level=warn \
        -o state-file="$WORK/state" -o spool-directory="$WORK/spool" -o picture-directory="$WORK/pictures" \
        -o printer-name=card -o device-uri="file://$WORK/out" </dev/null >"$WORK/server.out" 2>&1 &
    SERVER=$!
    URI="ipp://localhost:$PORT/ipp/print/card"
    for _ in $(seq 100); do
        kill -0 "$SERVER" 2>/dev/null || break
        ipptool -T 2 -q "$URI" get-printer-attributes.test 2>/dev/null && break 2
        sleep 0.2
    done
    kill "$SERVER" 2>/dev/null || true
    wait "$SERVER" 2>/dev/null || true
    SERVER=""
done
[ -n "$SERVER" ] || { cat "$WORK/server.out"; echo "the printer application did not start"; exit 1; }

JOB=(image/jpeg printer-resolution=300x300 print-color-mode=color)
"$BUILD/bench/cr80ippsubmit" 1 "$URI" "$WORK/photo.jpg" "${JOB[@]}" >/dev/null
APP_TIMES=$("$BUILD/bench/cr80ippsubmit" "$RUNS" "$URI" "$WORK/photo.jpg" "${JOB[@]}")
APP_RSS=$(awk '/^VmHWM/ { print $2 }' "/proc/$SERVER/status")
CARD=$(ls -S "$WORK/out" | head -n 1)
APP_BYTES=$(stat -c %s "$WORK/out/$CARD")

CHAIN="cupsfilter -p '$ROOT/ppd/cr80card.ppd' -m application/vnd.cups-raster '$WORK/photo.jpg' \
    >'$WORK/photo.ras' 2>/dev/null && PPD='$ROOT/ppd/cr80card.ppd' '$BUILD/rastertocr80' 1 bench bench 1 '' \
    '$WORK/photo.ras' 2>/dev/null"
sh -c "$CHAIN" >"$WORK/chain.prn" || { echo "the CUPS chain failed"; exit 1; }
CHAIN_FIGURES=$("$BUILD/bench/cr80measure" "$RUNS" /dev/null -- sh -c "$CHAIN")
CHAIN_BYTES=$(stat -c %s "$WORK/chain.prn")

echo
echo "== Printer application against the CUPS chain: a 1016 x 648 JPEG photo card at 300 dpi (median of $RUNS runs) =="
echo "$APP_TIMES | $CHAIN_FIGURES | $APP_RSS $APP_BYTES $CHAIN_BYTES" | awk -F'|' '{
    split($1, a, " "); split($2, c, " "); split($3, x, " ")
    printf "%-52s %10.1f\n", "printer application, submit to completed: wall ms", a[1]
    printf "%-52s %10.1f\n", "CUPS chain, cupsfilter + filter: wall ms", c[1]
    printf "%-52s %10.1f\n", "CUPS chain: CPU ms", c[2]
    printf "%-52s %10.2f   (target <= 0.50: %s)\n", "application / chain (wall)", a[1] / c[1],
        (a[1] <= 0.5 * c[1] ? "met" : "NOT met")
    printf "%-52s %10.1f\n", "peak RSS MB, application server (whole run)", x[1] / 1024
    printf "%-52s %10.1f\n", "peak RSS MB, CUPS chain (largest process)", c[3] / 1024
    printf "%-52s %10d\n", "stream bytes, application", x[2]
    printf "%-52s %10d\n", "stream bytes, CUPS chain", x[3]
    printf "application runs, ms:"; for (i = 2; i <= length(a); ++i) printf " %s", a[i]; printf "\n"
}'
