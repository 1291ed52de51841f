#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on the seed corpora.
# Fails when a target finds a crash, a hang, a leak or undefined behaviour: bash scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ is not installed, skipping the fuzz targets"
    exit 0
fi

seconds=${XQ_FUZZ_SECONDS:-30}
# Inputs up to 64 KiB, well above the largest seed: the costly documents are the long ones.
max_len=${XQ_FUZZ_MAX_LEN:-65536}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DXQ_BUILD_FUZZ=ON -DXQ_BUILD_TESTS=OFF -DXQ_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_rvf_reader fuzz_text_reader fuzz_rtf_reader \
    fuzz_rtf_import

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=build-fuzz/artifacts
mkdir -p "$artifacts"

run() {
    local target=$1
    shift
    # The fuzzer adds what it finds to its corpus: it works on a copy of the seeds.
    mkdir -p "$work/$target"
    for seeds in "$@"; do
        [ -d "$seeds" ] || continue
        find "$seeds" -maxdepth 1 -type f ! -name README.md -exec cp {} "$work/$target/" \;
    done
    # A target may come with a dictionary of the tokens its format is made of.
    local dict=()
    if [ -f "fuzz/$target.dict" ]; then
        dict=(-dict="fuzz/$target.dict")
    fi
    echo "fuzz: $target for ${seconds}s on $(ls "$work/$target" | wc -l) seeds, inputs up to $max_len bytes"
    "build-fuzz/fuzz/$target" "$work/$target" "${dict[@]}" -max_total_time="$seconds" -max_len="$max_len" \
        -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$artifacts/$target-" -print_final_stats=1 2>"$work/$target.log" || {
        tail -n 60 "$work/$target.log"
        echo "fuzz: $target found a problem; the input is in $artifacts/"
        return 1
    }
    grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" || true
}

run fuzz_rvf_reader tests/data/rvf tests/data/rvf-malformed tests/data/hostile
run fuzz_text_reader tests/data/text
# The committed seeds and the RTF corpus kept with the tests.
run fuzz_rtf_reader tests/data/rtf tests/data/rtf-corpus
# The whole import into a document, written back as RTF and RVF: the same seeds and tokens.
run fuzz_rtf_import tests/data/rtf tests/data/rtf-corpus
