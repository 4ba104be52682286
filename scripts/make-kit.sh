#!/usr/bin/env bash
# Builds the install kit: the release DLL, its configuration file, the
# driver-package lines, the installation guide and SHA-256 sums, packed as
# build/vornpsui-7.00.tar.gz (reproducible: fixed owner, order and times).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORN_BUILD_DIR:-$root/build}
version=7.00
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vornpsui -j "$(nproc)" >/dev/null
"$root/scripts/check-binary.sh" "$build/bin/vornpsui.dll" >/dev/null

kit=$build/kit/vornpsui-$version
rm -rf "$build/kit"
mkdir -p "$kit"
cp "$build/bin/vornpsui.dll" "$root/kit/vornps.ini" "$root/kit/vornps.inf" "$root/kit/INSTALL.md" "$kit/"
(cd "$kit" && sha256sum vornpsui.dll vornps.ini vornps.inf INSTALL.md > SHA256SUMS)
archive=$build/vornpsui-$version.tar.gz
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime=@0 -C "$build/kit" -cf - "vornpsui-$version" |
  gzip -n > "$archive"
echo "kit: $archive"
(cd "$kit" && ls -l --time-style=+ | awk 'NR>1{printf "  %-14s %8d bytes\n", $NF, $5}')
