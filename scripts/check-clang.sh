#!/usr/bin/env bash
# A second compiler over the plug-in's sources: Debian's clang targeting
# x86_64-w64-mingw32, syntax and warnings only, warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
gccdir=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | sort -V | tail -n 1)
flags=(--target=x86_64-w64-mingw32 -std=c++17 -fsyntax-only -Wall -Wextra -Werror
       -Wno-unknown-pragmas -Wno-cast-function-type-mismatch -Wno-unknown-warning-option
       -nostdinc++ -isystem "$gccdir/include/c++" -isystem "$gccdir/include/c++/x86_64-w64-mingw32"
       -isystem "$gccdir/include/c++/backward" -isystem /usr/x86_64-w64-mingw32/include
       -D_WIN32_WINNT=0x0502 -DWINVER=0x0502 -D_WIN32_IE=0x0600 -DUNICODE -D_UNICODE
       -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I "$root/plug-in")
count=0
while IFS= read -r -d '' src; do
  clang++ "${flags[@]}" "$src"
  count=$((count + 1))
done < <(find "$root/plug-in" -name '*.cpp' -print0 | sort -z)
echo "clang: $count plug-in sources compile without warnings"
