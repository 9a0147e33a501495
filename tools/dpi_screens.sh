#!/usr/bin/env bash
# The journeys (tools/journeys.sh) at another display scale, by hand: in a
# copy of the project's prefix at that DPI (tools/dpi-prefix) on a screen
# that fits, leaving one screenshot per window in docs/screens/dpi<dpi>-*.png.
#   tools/dpi_screens.sh [dpi]       (default 144, 150 %)
# Not part of `make test`.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dpi=${1:-144}
. "$root/tools/dpi-prefix"
dpi_prefix "$dpi" "wineprefix-dpi$dpi-journeys" || { echo "cannot make the prefix at $dpi DPI"; exit 2; }
shots=$(mktemp -d)
JOURNEYS_PREFIX="$WINEPREFIX" JOURNEYS_SCREEN="$DPI_SCREEN" JOURNEYS_SCREENS="$shots" \
  JOURNEYS_BUILD="${JOURNEYS_BUILD:-$root/build/win32}" "$root/tools/journeys.sh"
rc=$?
for pair in start:main settings_restart:settings about:about kill_search:search properties:properties; do
  if [ -f "$shots/${pair%%:*}.png" ]; then
    cp "$shots/${pair%%:*}.png" "$root/docs/screens/dpi$dpi-${pair#*:}.png"
  else
    echo "no screenshot of the ${pair#*:} window"; rc=1
  fi
done
rm -rf "$shots"
exit $rc
