#!/usr/bin/env bash
# Measures what CI costs: clones the checkout's HEAD into a scratch folder, runs the README's test
# command there pinned to a few cores, and prints the wall time of each stage (configure, build and
# tests of every preset) and the slowest compiles and links of each preset, from Ninja's log.
#
#   scripts/buildtime.sh [--cores LIST] [--warm] [--keep] [--into DIR]
#
#   --cores LIST  the CPUs to run on, as taskset takes them (default 0,1: two cores, as in CI)
#   --warm        keep the compiler cache on (default: off, so every unit really compiles)
#   --keep        leave the scratch clone behind (its path is printed)
#   --into DIR    clone into DIR (default: a new folder under ${TMPDIR:-/tmp})
#
# A cold figure needs the cache off; a warm one is a second run with --warm after a first.
set -uo pipefail
cd "$(dirname "$0")/.."

cores=0,1
warm=0
keep=0
into=""
while [ $# -gt 0 ]; do
    case "$1" in
        --cores) cores="$2"; shift 2 ;;
        --warm) warm=1; shift ;;
        --keep) keep=1; shift ;;
        --into) into="$2"; shift 2 ;;
        *) echo "buildtime: unknown argument '$1' (see the script's opening lines)" >&2; exit 2 ;;
    esac
done

./scripts/setup.sh || exit 1

if [ -z "$into" ]; then
    into=$(mktemp -d "${TMPDIR:-/tmp}/umbrava-buildtime.XXXXXX") || exit 1
fi
if [ -e "$into/.git" ]; then
    echo "buildtime: $into already holds a clone" >&2
    exit 2
fi
git clone -q "$PWD" "$into" || exit 1
echo "== clone of $(git rev-parse --short HEAD) in $into, on CPUs $cores, compiler cache $([ $warm = 1 ] && echo on || echo off)"

log="$into/buildtime.log"
start=$(date +%s)
if [ $warm = 1 ]; then
    (cd "$into" && taskset -c "$cores" ./scripts/test.sh) >"$log" 2>&1
else
    (cd "$into" && CCACHE_DISABLE=1 taskset -c "$cores" ./scripts/test.sh) >"$log" 2>&1
fi
status=$?
total=$(($(date +%s) - start))

echo "== stages"
sed -n '/^== wall time/,$p' "$log" | tail -n +2
printf '%-20s %5d   s (whole run, exit status %d)\n' "all" "$total" "$status"
grep -E '^[0-9]+% tests passed|tests failed out of' "$log" | sed 's/^/   /'

# The slowest steps of each preset's build. A .ninja_log line is "start end mtime output hash"
# (milliseconds); a step with several outputs has one line each, so steps are told apart by hash.
for dir in "$into"/build/*/; do
    [ -f "$dir/.ninja_log" ] || continue
    echo "== slowest compiles, $(basename "$dir")"
    awk -F'\t' 'NR > 1 && !seen[$5 $1 $2]++ && $4 ~ /\.o$/ {
                    sub(/^.*CMakeFiles\//, "", $4); printf "%8.1f s  %s\n", ($2 - $1) / 1000, $4 }' \
        "$dir/.ninja_log" | sort -rn | head -n 10
    echo "== slowest links and other steps, $(basename "$dir")"
    awk -F'\t' 'NR > 1 && !seen[$5 $1 $2]++ && $4 !~ /\.o$/ {
                    printf "%8.1f s  %s\n", ($2 - $1) / 1000, $4 }' \
        "$dir/.ninja_log" | sort -rn | head -n 10
done

if [ $status -ne 0 ]; then
    echo "== the test command failed; its output is in $log"
    keep=1
fi
if [ $keep = 1 ]; then
    echo "== the clone stays in $into"
else
    rm -rf "$into"
fi
exit $status
