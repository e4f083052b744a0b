#!/bin/sh
# Builds the project and runs every test.
set -e
cd "$(dirname "$0")"
./scripts/deps.sh
# CR80_CMAKE_OPTIONS: more options for the configuration (CI: -DCR80_WERROR=ON).
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release ${CR80_CMAKE_OPTIONS:-} >/dev/null
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j"$(nproc)"
