#!/usr/bin/env bash
# Builds the plug-in DLL twice, in two fresh build folders at different
# paths, and checks that the two DLLs are byte-identical (no link
# timestamp, no build paths in the binary).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$root/build/repro}
rm -rf "$work"
for side in a b-with-a-longer-path; do
  cmake -S "$root" -B "$work/$side" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF >/dev/null
  cmake --build "$work/$side" --target vornpsui -j "$(nproc)" >/dev/null
done
a=$work/a/bin/vornpsui.dll
b=$work/b-with-a-longer-path/bin/vornpsui.dll
if cmp -s "$a" "$b"; then
  echo "reproducible: $(sha256sum "$a" | cut -c1-16)... $(stat -c %s "$a") bytes, identical in both builds"
  rm -rf "$work"
else
  echo "the two builds differ:"; cmp "$a" "$b" | head -5; exit 1
fi
