#!/usr/bin/env bash
# The user's journeys through the program, driven from the outside by
# tests/helpers/journey_driver.cpp with real input (SendInput) in the Wine
# virtual desktop "shell" (1024x768) on a private Xvfb. Prints PASS/FAIL per
# journey, leaves a screenshot per journey under docs/screens/, and exits
# non-zero on any failure. By hand only (not part of `make test`).
#   tools/journeys.sh            (JOURNEYS_BUILD=<win32 build dir>, default build/journeys-win32)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build="${JOURNEYS_BUILD:-$root/build/journeys-win32}"
screens="${JOURNEYS_SCREENS:-$root/docs/screens}"
export WINEPREFIX="$root/build/wineprefix-journeys"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset win32 -B "$build" >/dev/null || exit 2; fi
cmake --build "$build" --target zelvane journey_driver sleeper_child >/dev/null || { echo "build failed"; exit 2; }
if [ ! -d "$WINEPREFIX" ]; then cp -a "$root/build/wineprefix" "$WINEPREFIX"; fi
mkdir -p "$screens"

# Xvfb picks a free display number itself and tells it through a pipe.
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"; rm -f "$fifo"
cleanup() { wineserver -k 2>/dev/null; kill "$xvfb" 2>/dev/null; }
trap cleanup EXIT
export DISPLAY=":$number"

# The prefix's desktop "shell" (with its taskbar and notification area) comes
# up with the first program; give it a moment before the driver starts.
wine cmd /c exit >/dev/null 2>&1
sleep 2

failed=0
out=$(mktemp)
dir=$(winepath -w "$build")
wine "$build/journey_driver.exe" "$dir" 2>/dev/null >"$out" &
driver=$!
# Follow the driver's lines: a SHOT marker asks for the screen of that moment.
tail -n +1 -f --pid=$driver "$out" 2>/dev/null | while IFS= read -r line; do
  line=${line%$'\r'}
  case "$line" in
    "SHOT "*) import -window root "$screens/${line#SHOT }.png" ;;
    "FAIL "*) echo "$line" ;;
    "PASS "*) echo "$line" ;;
    *) echo "$line" ;;
  esac
done
wait $driver
rc=$?
grep -q "^FAIL" "$out" && failed=1
n_pass=$(grep -c "^PASS" "$out")
n_fail=$(grep -c "^FAIL" "$out")
rm -f "$out"
echo "journeys: $n_pass passed, $n_fail failed (driver exit $rc)"
[ "$failed" = 0 ] && [ "$rc" = 0 ] && [ "$n_pass" -gt 0 ]
