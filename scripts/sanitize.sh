#!/usr/bin/env bash
# Builds the tests of spelling while typing with ThreadSanitizer and with AddressSanitizer, each in a
# build directory of its own (build-thread, build-address), and runs them: bash scripts/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."

for sanitizer in thread address; do
  dir="build-$sanitizer"
  # Light optimisation and line tables only: quicker to build, and still readable reports.
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DXQ_SANITIZE="$sanitizer" > /dev/null
  cmake --build "$dir" -j "$(nproc)" --target xqsanitizetests xqsanitizeapptests
  (cd "$dir" && ctest -L sanitize --output-on-failure)
done
