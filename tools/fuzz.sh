#!/usr/bin/env bash
# Builds the performance-data fuzz target with clang (libFuzzer, address and
# undefined-behaviour sanitizers) and runs it over a seed corpus of
# well-formed blocks.
#   tools/fuzz.sh [seconds] [work directory]
# 20 seconds by default (the bounded run of `make test`); give more for a
# campaign by hand, e.g. `tools/fuzz.sh 3600`. New inputs that the fuzzer
# finds stay in <work>/corpus for the next run; a crash leaves its input in
# <work> and ends the script with a failure.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
work=${2:-$root/build/fuzz}
mkdir -p "$work/corpus" "$work/seeds"

sources=(cpu/PerfData.cpp cpu/CpuUsageSampler.cpp cpu/PerfBlockBuilder.cpp cpu/LoadIndicator.cpp
         base/IntParse.cpp)
flags=(-std=c++20 -O1 -g -I"$root" -Wall -Wextra)

# Rebuilds only when a source or this script is newer than the binary.
stale() {
  local target=$1; shift
  [ -f "$target" ] || return 0
  for f in "$@"; do [ "$root/$f" -nt "$target" ] && return 0; done
  return 1
}
deps=("${sources[@]}" cpu/PerfData.h cpu/CpuUsageSampler.h cpu/PerfBlockBuilder.h cpu/LoadIndicator.h
      base/IntParse.h base/Error.h cpu/fuzz/perfdata_fuzz.cpp cpu/fuzz/perfdata_seeds.cpp tools/fuzz.sh)
if stale "$work/perfdata_fuzz" "${deps[@]}"; then
  (cd "$root" && clang++ "${flags[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
     cpu/fuzz/perfdata_fuzz.cpp "${sources[@]}" -o "$work/perfdata_fuzz")
fi
if stale "$work/perfdata_seeds" "${deps[@]}"; then
  (cd "$root" && clang++ "${flags[@]}" cpu/fuzz/perfdata_seeds.cpp cpu/PerfBlockBuilder.cpp cpu/PerfData.cpp \
     -o "$work/perfdata_seeds")
fi
"$work/perfdata_seeds" "$work/seeds"

cd "$work"
exec ./perfdata_fuzz -max_total_time="$seconds" -max_len=20000 -timeout=10 -print_final_stats=1 \
  corpus seeds
