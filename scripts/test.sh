#!/usr/bin/env bash
# Builds everything and runs all tests: bash scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
# The fuzz targets run first, so that the test summary is the last thing printed.
bash scripts/fuzz.sh
# Spelling while typing under ThreadSanitizer and AddressSanitizer, in build directories of their own.
bash scripts/sanitize.sh
cd build
ctest --output-on-failure -j "$(nproc)"
