#!/usr/bin/env bash
# Sets up the machine, builds the platform demo (release) and runs it. On a desktop it opens
# the demo's window; without a display (DISPLAY unset) it runs the scripted tour under Xvfb and
# prints where its screenshots are. Arguments go to the demo.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target platformdemo
demo=./build/release/tools/platformdemo/platformdemo

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$demo" "$@"
fi
echo "No display: the demo's tour runs under Xvfb (1280 x 720)."
status=0
xvfb-run -a -s "-screen 0 1280x720x24" "$demo" --tour "$@" || status=$?
echo "Screenshots: $(pwd)/build/release/tools/platformdemo/platformdemo-run/screenshots/"
exit "$status"
