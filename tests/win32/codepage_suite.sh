#!/usr/bin/env bash
# The program is Unicode on every system locale: the Win32 tests of text
# outside the ANSI code page, of the running program's Russian table and of
# a saved Cyrillic setting, again under code page 1252 (en_US.UTF-8).
#   tests/win32/codepage_suite.sh <win32_tests.exe>
# A Wine process under another locale rewrites the prefix's regional settings,
# so the run has a copy of the project's prefix of its own, on a private Xvfb
# with its own wineserver; both are shut down after, and the caller's display
# and wineserver are never touched. Each test runs in a process of its own.
set -u
exe=$1
filter='Controls.*:SettingsStore.SaveThenLoad*:ReadFromOutside.TheTableRowByRow*:Dpi.TextIs*'
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(dirname "$exe")
export ZELVANE_WINE_LOCALE=en_US.UTF-8 ZELVANE_TEST_CODEPAGE=1252
ZELVANE_WINEPREFIX="$root/build/wineprefix-cp1252" . "$root/tools/wine-env"
if [ ! -f "$WINEPREFIX/.zelvane-copy" ]; then
  rm -rf "$WINEPREFIX"
  cp -a "$root/build/wineprefix" "$WINEPREFIX" || { echo "cannot copy the prefix"; exit 1; }
  touch "$WINEPREFIX/.zelvane-copy"
fi
fifo=$(mktemp -u); mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"; rm -f "$fifo"
cleanup() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; kill "$xvfb" 2>/dev/null; }
trap cleanup EXIT
export DISPLAY=":$number"
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

tests=$(wine "$exe" --gtest_list_tests "--gtest_filter=$filter" 2>/dev/null | tr -d '\r' |
  awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
[ "$(echo "$tests" | grep -c .)" -ge 4 ] || { echo "tests missing from: $tests"; exit 1; }
failed=0
for t in $tests; do
  if wine "$exe" "--gtest_filter=$t" >"$build/cp1252.log" 2>&1; then
    echo "PASS $t under code page 1252"
  else
    echo "FAIL $t under code page 1252"; tr -d '\r' <"$build/cp1252.log" | grep -v '^\[' ; failed=1
  fi
done
exit $failed
