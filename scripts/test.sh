#!/usr/bin/env bash
# Sets up the machine, builds and runs the whole test suite: once optimised (release), once under
# AddressSanitizer and UndefinedBehaviorSanitizer (asan-ubsan, clang, which also replays the fuzz
# corpora); then the thread-stress tests alone (label tsan) under ThreadSanitizer. Tests run in
# parallel on every core (CTEST_PARALLEL_LEVEL, when set, says how many).
# Prints the wall time of each configure, build and test run. Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh || exit 1

# CTest presets cannot say "every core" on CMake 3.25 ("jobs": 0 runs one test at a time), so the
# count comes from the environment, which the presets leave alone.
export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"

# The compiler cache keys paths relative to the checkout and leaves the build folder out of the
# debug builds' keys, so that a fresh clone elsewhere on the same machine reuses what an earlier
# clone compiled.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

timings=()
# timed LABEL COMMAND...: runs the command and notes its wall time under the label.
timed() {
    local label="$1" start status tenths
    shift
    start=$(date +%s%N)
    "$@"
    status=$?
    tenths=$((($(date +%s%N) - start) / 100000000))
    timings+=("$(printf '%-20s %5d.%d s' "$label" $((tenths / 10)) $((tenths % 10)))")
    return $status
}

# No build or test may write into the source tree: what git sees must be the same at the end.
tree_before=$(git status --porcelain 2>/dev/null)

status=0
for preset in release asan-ubsan; do
    echo "== $preset"
    if ! timed "$preset configure" cmake --preset "$preset" >/dev/null ||
        ! timed "$preset build" cmake --build --preset "$preset"; then
        echo "== $preset: build failed"
        status=1
        continue
    fi
    timed "$preset tests" ctest --preset "$preset" || status=1
done
# Only the programs labelled tsan are built under ThreadSanitizer (the target tsan_tests).
echo "== tsan"
if timed "tsan configure" cmake --preset tsan >/dev/null &&
    timed "tsan build" cmake --build --preset tsan --target tsan_tests; then
    timed "tsan tests" ctest --preset tsan -L tsan || status=1
else
    echo "== tsan: build failed"
    status=1
fi
tree_after=$(git status --porcelain 2>/dev/null)
if [ "$tree_before" != "$tree_after" ]; then
    echo "== the build or the tests changed the source tree:"
    diff <(echo "$tree_before") <(echo "$tree_after")
    status=1
fi
echo "== wall time ($CTEST_PARALLEL_LEVEL tests at a time)"
printf '%s\n' "${timings[@]}"
exit $status
