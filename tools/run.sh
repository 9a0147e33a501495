#!/usr/bin/env bash
# Starts zelvane.exe under Wine in the project's prefix (a virtual desktop
# with a taskbar and a notification area). Without a display it runs the
# program on a private Xvfb for a few seconds and leaves a screenshot.
#   tools/run.sh [exe] [-- program arguments]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
exe="${ZELVANE_EXE:-$root/build/win32/zelvane.exe}"
shot="${ZELVANE_SHOT:-$root/build/screenshot.png}"
seconds="${ZELVANE_SECONDS:-6}"
. "$root/tools/wine-env"

if [ -n "${DISPLAY:-}" ]; then
  exec "${zelvane_wine_locale[@]}" wine "$exe" "$@"
fi

# Xvfb picks a free display number itself and tells it through a pipe.
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"; rm -f "$fifo"
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=":$number"
wine "$exe" "$@" &
prog=$!
sleep "$seconds"
if [ -n "${ZELVANE_BEFORE_SHOT:-}" ]; then eval "$ZELVANE_BEFORE_SHOT"; sleep 1; fi
import -window root "$shot"
kill $prog 2>/dev/null
wineserver -k 2>/dev/null
echo "screenshot: $shot"
