#!/usr/bin/env bash
# A long fuzz campaign by hand: every target for the given time (one hour
# each by default), in a work directory of its own whose corpora grow from
# run to run. Prints one summary line per target (executions, corpus size,
# crash or not) for docs/RELIABILITY.md.
#   tools/fuzz_campaign.sh [seconds per target] [work directory]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-3600}
work=${2:-$root/build/fuzz-campaign}
echo "fuzz campaign $(date -u +%Y-%m-%d), $seconds s per target, clang $(clang++ -dumpversion)"
exec "$root/tools/fuzz.sh" "$seconds" "$work" perfdata intparse settings proclist accessible
