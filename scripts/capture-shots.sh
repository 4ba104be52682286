#!/usr/bin/env bash
# Runs a program that announces screenshots and takes them:
#   capture-shots.sh SHOTS_DIR PROGRAM [ARGS...]
# The program (given VORN_SHOTS_DIR=SHOTS_DIR) writes "<name>.ready" holding
# a window's geometry (WxH+X+Y) and waits; this script captures that part of
# the screen ($DISPLAY) into "<name>.png" and removes the file. Answers the
# program's exit code.
set -uo pipefail
shots=$1
shift
mkdir -p "$shots"
export VORN_SHOTS_DIR=$shots
"$@" &
program=$!
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
while kill -0 "$program" 2>/dev/null; do
  for ready in "$shots"/*.ready; do
    [ -e "$ready" ] && capture "$ready"
  done
  sleep 0.2
done
status=0
wait "$program" || status=$?
rm -f "$shots"/*.part "$shots"/*.ready
exit "$status"
