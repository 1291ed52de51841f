#!/usr/bin/env bash
# Fails when a file of the engine (everything under src/ except the Qt layers) includes a Qt header.
set -u
src=$1
hits=$(grep -rnE '^\s*#\s*include\s*[<"](Q[A-Za-z]+|Qt[A-Za-z]*/)' "$src" \
         --include='*.h' --include='*.hpp' --include='*.cpp' \
       | grep -vE "^$src/(app|dialogs|cli|platform/qt)/" || true)
if [ -n "$hits" ]; then
  echo "Qt headers included by the engine:"
  echo "$hits"
  exit 1
fi
echo "engine is free of Qt"
