#!/usr/bin/env bash
# The demo command: builds the plug-in, loads it into the stand-in host and
# shows what it does. Without a display (or with VORN_HEADLESS set) it runs
# on Xvfb and saves screenshots of the printing preferences into
# build/demo-shots: the demo announces each shot with a "<name>.ready" file
# holding the window's geometry; this script captures the screen and removes
# the file.
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
# them itself for the demo program, so the shots show whole windows.
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\AppDefaults\vorn_demo.exe\X11 Driver' \
  /v Managed /d N /f >/dev/null 2>&1 || true
# The caption buttons' glyphs come from Marlett, which this Wine build keeps
# outside the prefix.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/" || true
fi
shots=$build/demo-shots
rm -rf "$shots"
mkdir -p "$shots"
export VORN_SHOTS_DIR=$shots
/usr/lib/wine/wine64 vorn_demo.exe "$@" &
demo=$!
capture() {
  local ready=$1 name geometry
  name=$(basename "$ready" .ready)
  geometry=$(head -n1 "$ready" | tr -d '\r')
  if [[ $geometry =~ ^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$ ]]; then
    import -window root -crop "$geometry" +repage "$shots/$name.png" 2>/dev/null ||
      import -window root "$shots/$name.png"
  else
    import -window root "$shots/$name.png"
  fi
  rm -f "$ready"
}
while kill -0 "$demo" 2>/dev/null; do
  for ready in "$shots"/*.ready; do
    [ -e "$ready" ] && capture "$ready"
  done
  sleep 0.2
done
status=0
wait "$demo" || status=$?
rm -f "$shots"/*.part
exit "$status"
