#!/usr/bin/env bash
# clang-tidy over the plug-in's sources with the checks in .clang-tidy; any
# finding fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
gccdir=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | sort -V | tail -n 1)
tidy=$(command -v clang-tidy || command -v clang-tidy-14)
flags=(--target=x86_64-w64-mingw32 -std=c++17 -Wno-unknown-pragmas -Wno-unknown-warning-option
       -nostdinc++ -isystem "$gccdir/include/c++" -isystem "$gccdir/include/c++/x86_64-w64-mingw32"
       -isystem "$gccdir/include/c++/backward" -isystem /usr/x86_64-w64-mingw32/include
       -D_WIN32_WINNT=0x0502 -DWINVER=0x0502 -D_WIN32_IE=0x0600 -DUNICODE -D_UNICODE
       -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I "$root/plug-in")
mapfile -d '' sources < <(find "$root/plug-in" -name '*.cpp' -print0 | sort -z)
"$tidy" --quiet --config-file="$root/.clang-tidy" "${sources[@]}" -- "${flags[@]}" 2>/dev/null
echo "clang-tidy: ${#sources[@]} plug-in sources, no findings"
