#!/usr/bin/env bash
# Builds the plug-in DLL again in a fresh build folder at another path and
# checks that it is byte-identical to the one given (the test command's own
# build; no link timestamp, no build paths in the binary). Without a DLL
# given it builds twice.
#   check-reproducible.sh WORK_FOLDER [REFERENCE_DLL]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$root/build/repro}
reference=${2:-}
rm -rf "$work"
build() {
  cmake -S "$root" -B "$work/$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF >/dev/null
  cmake --build "$work/$1" --target vornpsui -j "$(nproc)" >/dev/null
}
if [ -z "$reference" ]; then
  build a
  reference=$work/a/bin/vornpsui.dll
fi
build b-with-a-longer-path
a=$reference
b=$work/b-with-a-longer-path/bin/vornpsui.dll
if cmp -s "$a" "$b"; then
  echo "reproducible: $(sha256sum "$a" | cut -c1-16)... $(stat -c %s "$a") bytes, identical in both builds"
  rm -rf "$work"
else
  echo "the two builds differ:"; cmp "$a" "$b" | head -5; exit 1
fi
