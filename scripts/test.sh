#!/usr/bin/env bash
# Sets up the machine, builds and runs the whole test suite: once optimised (release), once under
# AddressSanitizer and UndefinedBehaviorSanitizer (asan-ubsan, clang, which also replays the fuzz
# corpora). Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh || exit 1

status=0
for preset in release asan-ubsan; do
    echo "== $preset"
    if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset"; then
        echo "== $preset: build failed"
        status=1
        continue
    fi
    ctest --preset "$preset" || status=1
done
exit $status
