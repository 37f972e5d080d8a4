#!/usr/bin/env bash
# Sets up the machine, builds the program (release) and runs it from its built folder, where the
# build has assembled the game's data ("assets/" beside the program). Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target umbrava
cd build/release/src/app
exec ./umbrava "$@"
