#!/usr/bin/env bash
# Zelvane's benchmark: the table rebuild against the bare system calls with 0,
# 100 and 400 extra processes, one CPU indicator tick against the bare query
# and against the query with the one taskbar look-up that setting the hint
# makes, start-up to the first paint against a minimal window with the same
# manifest and one common control (the honest floor), and the size of
# zelvane.exe. Medians of many repetitions under Wine, printed with their
# ratios and the goals. Not part of `make test`.
#   tools/bench.sh                 (BENCH_SIZES="0 100 400" BENCH_RUNS=15)
# Results also go to build/bench-results.txt (tools/bench_plot.py draws them).
set -eu
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BENCH_BUILD:-$root/build/win32}"
sizes="${BENCH_SIZES:-0 100 400}"
runs="${BENCH_RUNS:-15}"
results="${BENCH_RESULTS:-$root/build/bench-results.txt}"
# A prefix of its own: the runs must not share a wineserver with anything else.
ZELVANE_WINEPREFIX="$root/build/wineprefix-bench" . "$root/tools/wine-env"

"$root/tools/setup.sh" >/dev/null
if [ ! -d "$WINEPREFIX" ]; then cp -a "$root/build/wineprefix" "$WINEPREFIX"; fi
if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset win32 -B "$build" >/dev/null; fi
cmake --build "$build" --target zelvane_bench >/dev/null

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
raw=$(mktemp)
trap 'rm -f "$raw"' EXIT
# One virtual X server and one wineserver for all steps.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -e
  bench="$1"; runs="$2"; shift 2
  for n in "$@"; do
    case $n in 0) reps=200;; *) reps=$(( 4000 / (n + 10) + 10 ));; esac
    wine "$bench" rebuild "$n" "$reps"
  done
  wine "$bench" tick 400
  wine "$bench" startup "$runs"
  wineserver -k || true
' bench "$build/zelvane_bench.exe" "$runs" $sizes >"$raw" 2>/dev/null
size=$(stat -c %s "$build/zelvane.exe")

{
  echo "date=$(date -u +%Y-%m-%dT%H:%MZ) load=\"$load_before\" cores=$(nproc) wine=\"$(wine --version)\""
  tr -d '\r' <"$raw" | grep -E '^(rebuild|tick|startup) '
  echo "size bytes=$size"
} >"$results"

# key=value of a result line
field() { sed -n "s/.*\b$2=\([^ ]*\).*/\1/p" <<<"$1"; }
pass() { awk -v a="$1" -v b="$2" 'BEGIN { print (a <= b) ? "yes" : "NO" }'; }

printf '\nZelvane benchmark, %s cores, load before %s, %s\n\n' "$(nproc)" "$load_before" "$(wine --version)"
printf '%-34s %12s %12s %12s %8s %8s %6s\n' "measurement (medians)" "bare" "floor" "program" "÷ bare" "÷ floor" "goal"
while read -r line; do
  case $line in
  rebuild*)
    r=$(field "$line" ratio)
    printf '%-34s %9.2f ms %9.2f ms %9.2f ms %8.3f %8.3f %6s\n' \
      "rebuild, $(field "$line" processes) processes (+$(field "$line" extra))" \
      "$(awk -v v="$(field "$line" bare_us)" 'BEGIN{print v/1000}')" \
      "$(awk -v v="$(field "$line" floor_us)" 'BEGIN{print v/1000}')" \
      "$(awk -v v="$(field "$line" rebuild_us)" 'BEGIN{print v/1000}')" "$r" "$(field "$line" floor_ratio)" \
      "$(pass "$r" 1.15)" ;;
  tick*)
    r=$(field "$line" ratio)
    printf '%-34s %9.1f us %12s %9.1f us %8.2f %8s %6s\n' "CPU indicator tick, steady load" \
      "$(field "$line" bare_us)" "" "$(field "$line" tick_us)" "$r" "" "-"
    l=$(field "$line" lookup_ratio)
    printf '%-34s %9.1f us %12s %9.1f us %8.2f %8s %6s\n' "  against bare + taskbar look-up" \
      "$(field "$line" bare_lookup_us)" "" "$(field "$line" lookup_tick_us)" "$l" "" "$(pass "$l" 1.3)"
    printf '%-34s %12s %12s %9.1f us %8s %8s %6s\n' "  ... when the gauge image changes" "" "" \
      "$(field "$line" image_change_us)" "" "" "-"
    printf '%-34s %9.1f us %12s %12s %8s %8s %6s\n' "  bare query with room for 64 CPUs" \
      "$(field "$line" bare_room64_us)" "" "" "" "" "-" ;;
  startup*)
    r=$(field "$line" ratio)
    printf '%-34s %9.1f ms %12s %9.1f ms %8.3f %8s %6s\n' "start-up to first paint ($(field "$line" runs) runs)" \
      "$(field "$line" minimal_ms)" "" "$(field "$line" program_ms)" "$r" "" "$(pass "$r" 1.3)" ;;
  esac
done <"$results"
printf '%-34s %12s %12s %8.3f MiB %8s %8s %6s\n' "zelvane.exe size" "" "" \
  "$(awk -v s="$size" 'BEGIN{print s/1048576}')" "" "" "$(pass "$size" 1048576)"
echo
echo "results: $results"
