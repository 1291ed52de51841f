#!/usr/bin/env bash
# Builds the editor and starts it on a working copy of the bundled sample data (an AutoText store
# and "mru.ini"), without arguments, so that it opens with the AutoText chooser: bash scripts/run.sh
#
# The editor works in the directory its program file lies in, so the copy gets a link to the program
# and the speller configuration.
# The copy is made once (build/sample-workdir); entries saved while trying the editor stay there until
# it is removed. Without a display the editor runs on Qt's offscreen platform and saves a picture of
# its window instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target xqeditor

work=build/sample-workdir
mkdir -p "$work"
for item in AText mru.ini; do
    [ -e "$work/$item" ] || cp -r "data/sample/$item" "$work/"
done
# The speller directory defaults to the program's directory: the bundled German speller goes beside it.
for dir in data/speller/*/; do
    name=$(basename "$dir")
    [ -e "$work/$name" ] || cp -r "$dir" "$work/$name"
done
ln -f build/src/app/xqeditor "$work/xqeditor" 2>/dev/null || cp -f build/src/app/xqeditor "$work/xqeditor"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting $work/xqeditor"
    exec "$work/xqeditor"
fi

shot="$PWD/build/xqeditor-start.png"
rm -f "$shot"
echo "No display (DISPLAY and WAYLAND_DISPLAY are not set): starting the editor on Qt's offscreen"
echo "platform to take a picture of its window."
QT_QPA_PLATFORM=offscreen XQEDITOR_SCREENSHOT="$shot" "$work/xqeditor" \
    2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR >&2)
if [ -f "$shot" ]; then
    echo "The window as it starts, with the AutoText chooser: $shot"
else
    echo "No picture was taken: an editor of this user is running already and was brought forward." >&2
    exit 1
fi
