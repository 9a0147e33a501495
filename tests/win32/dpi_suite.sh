#!/usr/bin/env bash
# The Win32 suite's DPI tests (Dpi*.*) at another display scale.
#   tests/win32/dpi_suite.sh <dpi> <win32_tests.exe>
# 1. Once per build of the suite, the same tests run at 96 DPI in the
#    project's prefix (on the caller's display, or tools/xrun's) and write
#    every window's rectangles to <build>/dpi-layout-96.txt.
# 2. Then each test runs in a process of its own in a copy of the prefix at
#    <dpi> (tools/dpi-prefix), on a virtual desktop that fits the main window
#    at that scale, on a private Xvfb with its own wineserver; the tests get
#    the DPI in ZELVANE_TEST_DPI and the 96-DPI rectangles in
#    ZELVANE_DPI_BASELINE. Both are shut down after; the caller's display and
#    wineserver are never touched.
set -u
dpi=$1
exe=$2
filter='Dpi*.*'
recorder='DpiLayout.EveryWindowIsItsLayoutAt96DpiScaled'
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(dirname "$exe")
baseline="$build/dpi-layout-96.txt"
winpath() { printf 'Z:%s' "$1"; }

if [ ! "$baseline" -nt "$exe" ]; then
  run96=("$root/tools/wine-run" "$exe" "--gtest_filter=$recorder")
  [ -n "${DISPLAY:-}" ] || run96=("$root/tools/xrun" "${run96[@]}")
  # Written beside and then moved: a run at another DPI never reads half a file.
  if ! ZELVANE_DPI_RECORD="$(winpath "$baseline.$$")" "${run96[@]}" >"$build/dpi-96.log" 2>&1; then
    echo "the run at 96 DPI failed:"; cat "$build/dpi-96.log"; rm -f "$baseline.$$"; exit 1
  fi
  mv "$baseline.$$" "$baseline"
fi

. "$root/tools/dpi-prefix"
dpi_prefix "$dpi" || { echo "cannot make the prefix at $dpi DPI"; exit 1; }
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${DPI_SCREEN}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"; rm -f "$fifo"
cleanup() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; kill "$xvfb" 2>/dev/null; }
trap cleanup EXIT
export DISPLAY=":$number" ZELVANE_TEST_DPI="$dpi" ZELVANE_DPI_BASELINE="$(winpath "$baseline")"
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

tests=$(wine "$exe" --gtest_list_tests "--gtest_filter=$filter" 2>/dev/null | tr -d '\r' |
  awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
[ -n "$tests" ] || { echo "no test matches $filter"; exit 1; }
failed=0
for t in $tests; do
  if wine "$exe" "--gtest_filter=$t" >"$build/dpi-$dpi.log" 2>&1; then
    echo "PASS $t at $dpi DPI"
    tr -d '\r' <"$build/dpi-$dpi.log" | grep '^font at'
  else
    echo "FAIL $t at $dpi DPI"; tr -d '\r' <"$build/dpi-$dpi.log" | grep -v '^\[' ; failed=1
  fi
done
exit $failed
