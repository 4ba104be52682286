#!/usr/bin/env bash
# The demo command: builds the plug-in, loads it into the stand-in host and
# shows what it does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORN_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" >/dev/null
source "$root/scripts/wine-env.sh"
vorn_wine_env "$build"
trap vorn_wine_cleanup EXIT
cd "$build/bin"
WINEDLLOVERRIDES="winspool.drv=n" /usr/lib/wine/wine64 vorn_demo.exe "$@"
