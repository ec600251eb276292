#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Vellicor window (under Xvfb when there is no
# display). Arguments go to the window: scripts/run.sh FILE starts with FILE in the name box.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh window

# Neither the tests nor the benchmarks: their libraries come with scripts/test.sh.
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLICOR_BUILD_TESTS=OFF \
    -DVELLICOR_BENCH=OFF
cmake --build "$build" --parallel 2 --target vellicor lzc

window="$build/ui/vellicor"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting the Vellicor window ($window)."
    exec "$window" "$@"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): starting the Vellicor window under"
echo "Xvfb with 'xvfb-run -a $window'. It is not visible there; stop it with Ctrl+C."
exec xvfb-run -a "$window" "$@"
