#!/usr/bin/env bash
# Builds the plug-in and prints what it costs its host: each figure beside
# the bare cost it cannot avoid (DLL load, DEVMODE operations, new-ticket
# record, opening the printing preferences and what it holds while open, the
# ticket list and the Tickets page's refresh tick at 1,000 and 10,000
# tickets). Takes a few minutes under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORN_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" >/dev/null
source "$root/scripts/wine-env.sh"
vorn_wine_env "$build"
trap vorn_wine_cleanup EXIT
cd "$build/bin"
"$root/cmake/wine-run.sh" ./plugin_bench.exe
