#!/usr/bin/env bash
# Builds xqconvert and shows the bundled sample AutoText entries as text, and lays each one out
# into a PNG picture in build/sample-png: bash scripts/show-samples.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target xqconvert

store=data/sample/AText
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mkdir -p build/sample-png

# The entries in the order of the list file (code page 1252): section, N = shortcut,
# K = short name, I = file name.
shortcut="" name="" file=""
show() {
    [ -n "$file" ] || return 0
    echo
    echo "=== $shortcut: $name ($file) ==="
    build/src/cli/xqconvert "$store/$file" "$out/entry.txt"
    iconv -f CP1252 -t UTF-8 "$out/entry.txt" | tr -d '\r'
    echo
    build/src/cli/xqconvert "$store/$file" "build/sample-png/${file%.*}.png" 2>/dev/null
    echo "(laid out as it prints: build/sample-png/${file%.*}.png)"
}
while IFS= read -r line; do
    line=${line%$'\r'}
    case "$line" in
        "["*"]") show; shortcut="" name="" file="" ;;
        N=*) shortcut=${line#N=} ;;
        K=*) name=${line#K=} ;;
        I=*) file=${line#I=} ;;
    esac
done < <(iconv -f CP1252 -t UTF-8 "$store/AutoText.lst")
show
