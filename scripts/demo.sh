#!/usr/bin/env bash
# The demo command: builds the plug-in, loads it into the stand-in host and
# shows what it does. With a display it leaves the printing preferences open
# for you; without one (or with VORN_HEADLESS set) it runs on Xvfb, walks the
# preferences itself and saves screenshots into build/demo-shots (taken by
# scripts/capture-shots.sh). Either way it then prints what the job and the
# printer were left with.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORN_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" >/dev/null
source "$root/scripts/wine-env.sh"
vorn_wine_env "$build"
trap vorn_wine_cleanup EXIT
cd "$build/bin"
export WINEDLLOVERRIDES="winspool.drv=n"
if [ -z "${VORN_HEADLESS:-}" ]; then
  exec /usr/lib/wine/wine64 vorn_demo.exe "$@"
fi

# Xvfb has no window manager to draw title bars and frames: let Wine draw
# them itself for the demo program and the ticket editor, so the shots show
# whole windows.
for program in vorn_demo.exe vornjtwxp.exe; do
  /usr/lib/wine/wine64 reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" \
    /v Managed /d N /f >/dev/null 2>&1 || true
done
# The caption buttons' glyphs come from Marlett, which this Wine build keeps
# outside the prefix.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/" || true
fi
shots=$build/demo-shots
rm -rf "$shots"
status=0
"$root/scripts/capture-shots.sh" "$shots" /usr/lib/wine/wine64 vorn_demo.exe "$@" || status=$?
echo "Screenshots: $(cd "$shots" && ls *.png 2>/dev/null | tr '\n' ' ')"
echo "They are in $shots"
exit "$status"
