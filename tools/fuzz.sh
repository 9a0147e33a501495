#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, address and undefined-
# behaviour sanitizers) and runs each for the given time or number of
# executions:
#   perfdata  the performance-data walk and the sampler (cpu/fuzz), over a
#             seed corpus of well-formed blocks
#   intparse  the integer parser against a reference (base/fuzz)
#   settings  the settings loader over an in-memory registry with random
#             value types and sizes, and save-then-load (settings/fuzz)
#   proclist  the reader of the system's process list (processes/fuzz)
#   accessible  the screen readers' child ids, row binding and events over
#             random table changes (base/fuzz)
#
#   tools/fuzz.sh [seconds | runs=N] [work directory] [target ...]
# 20 seconds per target by default; every target when none is named. The
# bounded runs of `make test` pass one target each and a number of
# executions, so that a slow machine does the same work, only later. Give more for a campaign by
# hand, e.g. `tools/fuzz.sh 3600`, or use tools/fuzz_campaign.sh. New inputs
# that a fuzzer finds stay in <work>/<target>/corpus for the next run; a crash
# leaves its input in <work>/<target>, the other targets still run, and the
# script ends with a failure. Each target ends with one summary line:
#   fuzz <target>: <executions> executions in <seconds> s, corpus <n>, <result>
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bound=${1:-20}
case $bound in
  runs=*) limit=(-runs="${bound#runs=}") ;;
  *) limit=(-max_total_time="$bound") ;;
esac
work=${2:-$root/build/fuzz}
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(perfdata intparse settings proclist accessible)

flags=(-std=c++20 -O1 -g -I"$root" -Wall -Wextra)
fuzzflags=(-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

# Rebuilds only when a source or this script is newer than the binary.
stale() {
  local target=$1; shift
  [ -f "$target" ] || return 0
  for f in "$@"; do [ "$root/$f" -nt "$target" ] && return 0; done
  return 1
}

# build <binary> <fuzzer source> <sources...>; headers of the folders count too.
build() {
  local bin=$1; shift
  local deps=("$@" tools/fuzz.sh)
  for f in "$@"; do [ -f "$root/${f%.cpp}.h" ] && deps+=("${f%.cpp}.h"); done
  deps+=(base/Error.h base/IntParse.h)
  if stale "$bin" "${deps[@]}"; then
    (cd "$root" && clang++ "${flags[@]}" "${fuzzflags[@]}" "$@" -o "$bin") || return 1
  fi
}

prepare() {  # prepare <target> <dir>: builds the target and fills its seeds
  local t=$1 dir=$2
  case $t in
    perfdata)
      local sources=(cpu/PerfData.cpp cpu/CpuUsageSampler.cpp cpu/PerfBlockBuilder.cpp cpu/LoadIndicator.cpp
                     base/IntParse.cpp)
      build "$dir/fuzz" cpu/fuzz/perfdata_fuzz.cpp "${sources[@]}" || return 1
      if stale "$dir/seeder" cpu/fuzz/perfdata_seeds.cpp cpu/PerfBlockBuilder.cpp cpu/PerfData.cpp tests/host/perf_test_blocks.h tools/fuzz.sh; then
        (cd "$root" && clang++ "${flags[@]}" cpu/fuzz/perfdata_seeds.cpp cpu/PerfBlockBuilder.cpp cpu/PerfData.cpp \
           -o "$dir/seeder") || return 1
      fi
      "$dir/seeder" "$dir/seeds" ;;
    intparse)
      build "$dir/fuzz" base/fuzz/intparse_fuzz.cpp base/IntParse.cpp || return 1
      local i=0
      for s in 0 -0 42 "   -7" +7 '$1F' 0x1f 0X1F '-$80000000' 2147483647 -2147483648 2147483648 \
               '$FFFFFFFF' '$100000000' 9223372036854775807 -9223372036854775808 '$FFFFFFFFFFFFFFFF' \
               ' ' '$' 0x 1e3 '5 ' $'\t5'; do
        printf '%s' "$s" > "$dir/seeds/s$((i++))"
      done ;;
    settings)
      build "$dir/fuzz" settings/fuzz/settings_fuzz.cpp settings/Settings.cpp settings/Registry.cpp \
            base/IntParse.cpp base/Text.cpp || return 1
      # A few byte strings are enough: the input is read as choices.
      for i in 0 1 2 3; do head -c $((64 * (i + 1))) /dev/urandom > "$dir/seeds/r$i"; done ;;
    proclist)
      build "$dir/fuzz" processes/fuzz/proclist_fuzz.cpp processes/SystemProcessList.cpp || return 1
      # One record without a name; two records with names ("ab", "c") at the
      # fuzzer's buffer address 0x10000.
      head -c 72 /dev/zero > "$dir/seeds/one"
      {
        printf '\x48\0\0\0\x03\0\0\0'; head -c 48 /dev/zero; printf '\x04\0\x06\0\x90\0\x01\0'
        printf '\x08\0\0\0\x04\0\0\0'
        printf '\0\0\0\0\x01\0\0\0'; head -c 48 /dev/zero; printf '\x02\0\x04\0\x94\0\x01\0'
        printf '\x08\0\0\0\x08\0\0\0'
        printf 'a\0b\0c\0'
      } > "$dir/seeds/two" ;;
    accessible)
      build "$dir/fuzz" base/fuzz/accessible_fuzz.cpp base/AccessibleModel.cpp base/GridModel.cpp || return 1
      for i in 0 1 2 3; do head -c $((48 * (i + 1))) /dev/urandom > "$dir/seeds/r$i"; done ;;
    *) echo "fuzz: unknown target $t (perfdata, intparse, settings, proclist, accessible)" >&2; return 1 ;;
  esac
}

failed=0
for t in "${targets[@]}"; do
  dir=$work/$t
  mkdir -p "$dir/corpus" "$dir/seeds"
  if ! prepare "$t" "$dir"; then
    echo "fuzz $t: build failed"; failed=1; continue
  fi
  log=$dir/last.log
  (cd "$dir" && ./fuzz "${limit[@]}" -max_len=20000 -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 corpus seeds) >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^stat::.*//;s/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$log" | tail -1)
  size=$(find "$dir/corpus" -type f | wc -l)
  if [ $rc -eq 0 ]; then
    echo "fuzz $t: ${runs:-?} executions in ${took:-?} s, corpus $size, no crash"
  else
    failed=1
    grep -E 'ERROR|SUMMARY|Test unit written|==[0-9]+==' "$log" | head -20
    echo "fuzz $t: ${runs:-?} executions, corpus $size, CRASH (log $log)"
  fi
done
exit $failed
