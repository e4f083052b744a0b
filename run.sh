#!/bin/sh
# Sets everything up and prints the bundled sample card:
# installs what is missing, builds in build/, writes the sample card as a
# CUPS raster and runs the filter on it. The printer stream lands in
# out/sample.prn and the filter's log in out/sample.log; cardstream checks
# the stream, lists it in out/sample.txt and draws it in out/sample-*.png.
set -e
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
mkdir -p out
./build/make-raster --sample -o out/sample.ras
PPD="$(pwd)/ppd/cr80card.ppd" SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-1767225600}" \
    ./build/rastertocr80 1 "$(id -un)" "Sample card" 1 "" out/sample.ras >out/sample.prn 2>out/sample.log
./build/cardstream --check out/sample.prn
./build/cardstream out/sample.prn >out/sample.txt
rm -f out/sample-card*.png
./build/cardstream --png out/sample out/sample.prn >out/sample-png.txt
echo "Printer stream: $(pwd)/out/sample.prn ($(wc -c <out/sample.prn) bytes)"
echo "Filter log:     $(pwd)/out/sample.log"
echo "Listing:        $(pwd)/out/sample.txt"
sed 's|^|Preview:        '"$(pwd)"'/|' out/sample-png.txt
rm -f out/sample-png.txt
