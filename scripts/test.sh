#!/usr/bin/env bash
# The test command: installs what is missing, builds, runs every test under
# Wine and Xvfb, and prints ctest's summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORN_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
vorn_wine_env "$build"
trap vorn_wine_cleanup EXIT
cd "$build"
# The release checks need no Wine and run beside the Wine tests, which take
# turns (they share one prefix and one display).
ctest --output-on-failure -j "$(nproc)" "$@"
