#!/usr/bin/env bash
# Sets up the machine, builds the program (release) and runs it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target umbrava
exec ./build/release/src/app/umbrava "$@"
