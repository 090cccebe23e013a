#!/usr/bin/env bash
# Builds boardprobe.exe from two copies of the source in different folders
# and checks that both builds wrote the same bytes: no time stamps, no paths.
# Usage: reproducible.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

built=()
for copy in "$work/one" "$work/a/much/longer/folder/two"; do
  mkdir -p "$copy"
  tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
  cmake --preset win32 -S "$copy" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$copy/build/win32" --target boardprobe >/dev/null
  built+=("$copy/build/win32/boardprobe.exe")
done

if cmp "${built[0]}" "${built[1]}"; then
  echo "1 passed, 0 failed"
else
  echo "the two builds differ"
  echo "0 passed, 1 failed"
  exit 1
fi
