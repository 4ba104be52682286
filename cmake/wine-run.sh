#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine for ctest.
# One Wine prefix per build folder (VORN_WINEPREFIX, set by the test command);
# our own winspool.drv stand-in replaces Wine's spooler for the process.
# Output goes through a file: Wine's helper processes (wineserver, services)
# outlive the program and would otherwise hold ctest's pipe open.
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEPREFIX=${VORN_WINEPREFIX:-${WINEPREFIX:-$PWD/wineprefix}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winspool.drv=n;${WINEDLLOVERRIDES:-}"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$wine" "$@" </dev/null >"$out" 2>&1
else
  "$wine" "$@" </dev/null >"$out" 2>&1
fi
rc=$?
cat "$out"
exit $rc
