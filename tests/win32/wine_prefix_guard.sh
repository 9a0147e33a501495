#!/usr/bin/env bash
# The suite's Wine entry (tools/wine-run, the test runner's emulator) runs in
# the project's prefix with the project's Wine settings, whatever the caller's
# shell holds: a Wine user's own prefix is never created or written, and their
# debug channels, DLL overrides and locale never reach a run of ours (which
# runs under the program's users' Russian locale).
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
theirs=$(mktemp -d)
trap 'WINEPREFIX="$theirs/prefix" wineserver -k 2>/dev/null; rm -rf "$theirs"' EXIT
mkdir "$theirs/prefix"
export WINEPREFIX="$theirs/prefix" WINEDEBUG="+loaddll,+reg" WINEDLLOVERRIDES="cmd.exe=d"
export LANG=C.UTF-8 LC_ALL=C LC_CTYPE=C LANGUAGE=de ZELVANE_WINE_LOCALE=
seen=$("$root/tools/wine-run" cmd /c 'echo %WINEPREFIX%^|%WINEDEBUG%^|%WINEDLLOVERRIDES%^|%LANG%^|%LC_ALL%^|%LANGUAGE%' \
  2>"$theirs/stderr" | tr -d '\r')
failed=0
expect="$root/build/wineprefix|-all|mscoree,mshtml=|ru_RU.UTF-8|ru_RU.UTF-8|%LANGUAGE%"
if [ "$seen" != "$expect" ]; then
  echo "the run saw '$seen', expected '$expect'"; failed=1
fi
if [ -n "$(ls -A "$theirs/prefix")" ]; then
  echo "the caller's prefix was written:"; ls -A "$theirs/prefix"; failed=1
fi
if grep -q 'trace:' "$theirs/stderr"; then
  echo "the caller's WINEDEBUG reached the run:"; head -3 "$theirs/stderr"; failed=1
fi
exit $failed
