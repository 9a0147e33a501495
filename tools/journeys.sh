#!/usr/bin/env bash
# The user's journeys through the program, driven from the outside by
# tests/helpers/journey_driver.cpp with real input (SendInput) in the Wine
# virtual desktop "shell" (1024x768) on a private Xvfb. Prints PASS/FAIL per
# journey, leaves a screenshot per journey under docs/screens/ (JOURNEYS_SCREENS),
# and exits non-zero on any failure. `make test` runs it last.
#   tools/journeys.sh            (JOURNEYS_BUILD=<win32 build dir>, default build/journeys-win32)
# JOURNEYS_PREFIX and JOURNEYS_SCREEN run them in another prefix of the
# project's on a screen of another size (tools/dpi_screens.sh: at 150 %).
# The driver confirms that each step's input reached the program and waits
# for conditions only (docs/RELIABILITY.md, "Journeys from the outside").
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build="${JOURNEYS_BUILD:-$root/build/journeys-win32}"
screens="${JOURNEYS_SCREENS:-$root/docs/screens}"
ZELVANE_WINEPREFIX="${JOURNEYS_PREFIX:-$root/build/wineprefix-journeys}" . "$root/tools/wine-env"

if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset win32 -B "$build" >/dev/null || exit 2; fi
cmake --build "$build" --target zelvane journey_driver journey_hook sleeper_child >/dev/null || { echo "build failed"; exit 2; }
if [ ! -d "$WINEPREFIX" ]; then cp -a "$root/build/wineprefix" "$WINEPREFIX"; fi
mkdir -p "$screens"

# Xvfb picks a free display number itself and tells it through a pipe.
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${JOURNEYS_SCREEN:-1024x768}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"; rm -f "$fifo"
cleanup() { wineserver -k 2>/dev/null; kill "$xvfb" 2>/dev/null; }
trap cleanup EXIT
export DISPLAY=":$number"

# The prefix's desktop "shell" (with its taskbar and notification area) comes
# up with the first program; the driver waits for its taskbar before it starts.
started=$(date +%s)
failed=0
out=$(mktemp)
shots=$(mktemp -d)
dir=$(winepath -w "$build")
wine "$build/journey_driver.exe" "$dir" "$(winepath -w "$shots")" 2>/dev/null >"$out" &
driver=$!
# Follow the driver's lines: a SHOT marker asks for the screen of that moment;
# the file of that name tells the driver that the picture is taken.
tail -n +1 -f --pid=$driver "$out" 2>/dev/null | while IFS= read -r line; do
  line=${line%$'\r'}
  case "$line" in
    "SHOT "*) name=${line#SHOT }; import -window root "$screens/$name.png"; : >"$shots/$name" ;;
    *) echo "$line" ;;
  esac
done
wait $driver
rc=$?
rm -rf "$shots"
grep -q "^FAIL" "$out" && failed=1
n_pass=$(grep -c "^PASS" "$out")
n_fail=$(grep -c "^FAIL" "$out")
rm -f "$out"
echo "journeys: $n_pass passed, $n_fail failed (driver exit $rc) in $(( $(date +%s) - started )) s"
[ "$failed" = 0 ] && [ "$rc" = 0 ] && [ "$n_pass" -gt 0 ]
