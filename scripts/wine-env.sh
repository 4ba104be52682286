# Sourced by the test and demo commands: one Wine prefix per build folder,
# created once, and an X display (Xvfb) when none is there.
vorn_wine_env() {
  local build=$1
  export VORN_WINEPREFIX=$build/wineprefix
  export WINEPREFIX=$VORN_WINEPREFIX
  export WINEDEBUG=-all
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix (first run only)..."
    WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    # Xvfb has no window manager: let Wine manage its windows itself, which
    # spares a two-second wait each time a top-level window is hidden.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      >/dev/null 2>&1 || true
    wineserver -w
  fi
  if [ -z "${DISPLAY:-}" ] || [ -n "${VORN_HEADLESS:-}" ]; then
    local n=$((90 + RANDOM % 100))
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VORN_XVFB_PID=$!
    export DISPLAY=":$n"
    export VORN_HEADLESS=1
    sleep 1
  fi
  wineserver -p 60 2>/dev/null || true
}
vorn_wine_cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "${VORN_XVFB_PID:-}" ]; then kill "$VORN_XVFB_PID" 2>/dev/null || true; fi
}
