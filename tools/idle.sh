#!/usr/bin/env bash
# Idle overhead of the running program against Wine's task manager, each in a
# Wine prefix (so with a wineserver) and on a virtual X server of its own, in
# the same minutes on the same machine:
#   phase 1: Zelvane's main window shown, auto-refresh on (1000 ms), CPU timer 1000 ms
#   phase 2: Zelvane hidden in the notification area, auto-refresh off
# against `wine taskmgr` shown on its Processes page at its default 1-second
# update, and against the floor: bench/minimal_window.exe --floor, which makes
# only the calls that showing the same things needs (a line of text drawn
# every 200 ms, the process list and the processor times every second;
# --floor-hidden: the processor times only, no window). Counts the processor
# time (utime+stime from /proc) of the program's
# process and of its wineserver, and the resident and private memory.
#   tools/idle.sh                 (IDLE_SECONDS=60)
set -eu
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BENCH_BUILD:-$root/build/win32}"
seconds="${IDLE_SECONDS:-60}"
results="${IDLE_RESULTS:-$root/build/idle-results.txt}"
. "$root/tools/wine-env"  # each phase names its own prefix below
hz=$(getconf CLK_TCK)

"$root/tools/setup.sh" >/dev/null
if [ ! -f "$build/CMakeCache.txt" ]; then cmake --preset win32 -B "$build" >/dev/null; fi
cmake --build "$build" --target zelvane_bench >/dev/null

ours="$root/build/wineprefix-idle-zelvane"
peer="$root/build/wineprefix-idle-peer"
base="$root/build/wineprefix-idle-base"  # a minimal window: what an idle prefix costs its wineserver
flo="$root/build/wineprefix-idle-floor"
for p in "$ours" "$peer" "$base" "$flo"; do
  if [ ! -d "$p" ]; then cp -a "$root/build/wineprefix" "$p"; fi
done

pids_to_stop=()
cleanup() {
  WINEPREFIX="$ours" wineserver -k 2>/dev/null || true
  WINEPREFIX="$peer" wineserver -k 2>/dev/null || true
  WINEPREFIX="$base" wineserver -k 2>/dev/null || true
  WINEPREFIX="$flo" wineserver -k 2>/dev/null || true
  for p in "${pids_to_stop[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

start_display() {  # sets $display to the display it started
  local d
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    d=$(( 200 + RANDOM % 300 ))
    [ -e "/tmp/.X11-unix/X$d" ] && continue
    Xvfb ":$d" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids_to_stop+=($!)
    sleep 1
    display=":$d"
    return
  done
  echo "no free display" >&2
  exit 1
}

# The Linux process of a Windows program (or of the wineserver) in a prefix.
find_pid() {  # prefix pattern
  local pid
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    grep -qxzF "WINEPREFIX=$1" "$dir/environ" 2>/dev/null || continue
    if [ "$2" = wineserver ]; then
      case "$(cat "$dir/comm" 2>/dev/null)" in wineserver*) echo "$pid"; return;; esac
    else
      grep -qizF "$2" "$dir/cmdline" 2>/dev/null && { echo "$pid"; return; }
    fi
  done
  return 0
}

cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
rss_kib() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
private_kib() { awk '/^Private_(Clean|Dirty)/ { s += $2 } END { print s }' "/proc/$1/smaps_rollup"; }

in_ours() { DISPLAY=$d1 WINEPREFIX="$ours" "$@"; }
in_peer() { DISPLAY=$d2 WINEPREFIX="$peer" "$@"; }

start_display; d1=$display
start_display; d2=$display
start_display; d3=$display
start_display; d4=$display
DISPLAY=$d3 WINEPREFIX="$base" wine "$build/minimal_window.exe" >/dev/null 2>&1 &
DISPLAY=$d4 WINEPREFIX="$flo" wine "$build/minimal_window.exe" --floor >/dev/null 2>&1 &
in_ours wine "$build/zelvane.exe" >/dev/null 2>&1 &
in_peer wine taskmgr >/dev/null 2>&1 &
sleep 8
zpid=$(find_pid "$ours" zelvane.exe)
zsrv=$(find_pid "$ours" wineserver)
tpid=$(find_pid "$peer" taskmgr.exe)
tsrv=$(find_pid "$peer" wineserver)
bsrv=$(find_pid "$base" wineserver)
fpid=$(find_pid "$flo" minimal_window.exe)
fsrv=$(find_pid "$flo" wineserver)
if [ -z "$zpid" ] || [ -z "$zsrv" ] || [ -z "$tpid" ] || [ -z "$tsrv" ] || [ -z "$bsrv" ] || [ -z "$fpid" ] || [ -z "$fsrv" ]; then
  echo "could not find the processes (zelvane $zpid/$zsrv, taskmgr $tpid/$tsrv)" >&2
  exit 1
fi
# The task manager on its Processes page (Ctrl+Tab from Applications).
win=$(DISPLAY=$d2 xdotool search --sync --onlyvisible --pid "$tpid" 2>/dev/null | head -1 || true)
if [ -n "$win" ]; then
  DISPLAY=$d2 xdotool windowactivate --sync "$win" key ctrl+Tab 2>/dev/null || true
fi
in_ours wine "$build/zelvane_bench.exe" control autoreload-on >/dev/null 2>&1

# Measures one phase: processor milliseconds of each process over `seconds`.
measure() {
  sleep 3
  local a b c d e f g
  a=$(cpu_ticks "$zpid"); b=$(cpu_ticks "$zsrv"); c=$(cpu_ticks "$tpid"); d=$(cpu_ticks "$tsrv"); e=$(cpu_ticks "$bsrv")
  f=$(cpu_ticks "$fpid"); g=$(cpu_ticks "$fsrv")
  sleep "$seconds"
  echo "$(( ($(cpu_ticks "$zpid") - a) * 1000 / hz )) $(( ($(cpu_ticks "$zsrv") - b) * 1000 / hz ))" \
       "$(( ($(cpu_ticks "$tpid") - c) * 1000 / hz )) $(( ($(cpu_ticks "$tsrv") - d) * 1000 / hz ))" \
       "$(rss_kib "$zpid") $(private_kib "$zpid") $(rss_kib "$tpid") $(private_kib "$tpid")" \
       "$(( ($(cpu_ticks "$bsrv") - e) * 1000 / hz ))" \
       "$(( ($(cpu_ticks "$fpid") - f + $(cpu_ticks "$fsrv") - g) * 1000 / hz ))"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
shown=$(measure)
in_ours wine "$build/zelvane_bench.exe" control autoreload-off >/dev/null 2>&1
in_ours wine "$build/zelvane_bench.exe" control hide >/dev/null 2>&1
kill "$fpid" 2>/dev/null || true
DISPLAY=$d4 WINEPREFIX="$flo" wine "$build/minimal_window.exe" --floor-hidden >/dev/null 2>&1 &
sleep 3
fpid=$(find_pid "$flo" minimal_window.exe)
hidden=$(measure)
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

{
  echo "date=$(date -u +%Y-%m-%dT%H:%MZ) seconds=$seconds load_before=\"$load_before\" load_after=\"$load_after\""
  echo "shown $shown"
  echo "hidden $hidden"
} >"$results"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print "-" }'; }
pass() { awk -v a="$1" -v b="$2" -v g="$3" 'BEGIN { print (b > 0 && a <= g * b) ? "yes" : "NO" }'; }

printf '\nIdle overhead over %s s, %s cores, load %s -> %s\n\n' "$seconds" "$(nproc)" "$load_before" "$load_after"
printf '%-26s %8s %8s %8s | %8s %8s %8s | %7s %5s | %6s %7s %5s | %6s %7s\n' "processor ms" "zelvane" "server" \
  "total" "taskmgr" "server" "total" "ratio" "goal" "idle" "net" "goal" "floor" "÷ floor"
for phase in shown hidden; do
  read -r zp zs tp ts zr zpriv tr tpriv bs fl <<<"${!phase}"
  goal=$([ $phase = shown ] && echo 0.5 || echo 0.1)
  label=$([ $phase = shown ] && echo "shown, auto-refresh on" || echo "hidden, auto-refresh off")
  zn=$(( zp + zs - bs )); tn=$(( tp + ts - bs ))
  printf '%-26s %8d %8d %8d | %8d %8d %8d | %7s %5s | %6d %7s %5s | %6d %7s\n' "$label" "$zp" "$zs" $((zp + zs)) \
    "$tp" "$ts" $((tp + ts)) "$(ratio $((zp + zs)) $((tp + ts)))" "$(pass $((zp + zs)) $((tp + ts)) "$goal")" \
    "$bs" "$(ratio $zn $tn)" "$(pass $zn $tn "$goal")" "$fl" "$(ratio $((zp + zs)) "$fl")"
done
echo "(idle: the wineserver of a prefix that runs only a minimal window; net: both totals less it;"
echo " floor: minimal_window.exe --floor / --floor-hidden and its wineserver, the calls alone)"
echo
printf '%-26s %8s %8s | %8s %8s | %7s\n' "memory MiB (at the end)" "resident" "private" "resident" "private" "ratio"
for phase in shown hidden; do
  read -r zp zs tp ts zr zpriv tr tpriv bs fl <<<"${!phase}"
  printf '%-26s %8.1f %8.1f | %8.1f %8.1f | %7s\n' "$phase" "$(ratio "$zr" 1024)" "$(ratio "$zpriv" 1024)" \
    "$(ratio "$tr" 1024)" "$(ratio "$tpriv" 1024)" "$(ratio "$zpriv" "$tpriv")"
done
echo
echo "results: $results"
