#!/usr/bin/env bash
# Builds boardprobe.exe from two copies of the source in different folders,
# each with the README's command for a real machine, and checks that both
# builds wrote the same bytes (no time stamps, no paths), and that the build
# holds no program or library but the tool: no stand-in metal.dll beside it.
# Usage: reproducible.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

built=()
for copy in "$work/one" "$work/a/much/longer/folder/two"; do
  mkdir -p "$copy"
  tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
  (cd "$copy" && cmake --preset win32 -DBUILD_TESTING=OFF >/dev/null &&
    cmake --build --preset win32 >/dev/null)
  built+=("$copy/build/win32/boardprobe.exe")
done

failed=0
cmp "${built[0]}" "${built[1]}" || { echo "FAIL the two builds differ"; failed=1; }
programs=$(cd "$work/one/build/win32" && find . -iname '*.exe' -o -iname '*.dll')
[ "$programs" = ./boardprobe.exe ] ||
  { echo "FAIL the build holds more than boardprobe.exe:" $programs; failed=$((failed + 1)); }
echo "$((2 - failed)) passed, $failed failed"
exit $((failed > 0))
