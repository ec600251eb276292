#!/usr/bin/env bash
# Remakes docs/window_screenshot.png, the README's picture of the window: the real window, drawn on
# Qt's offscreen platform at twice its size, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel 2 --target vellicor_screenshot
mkdir -p docs
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$build/ui/vellicor_screenshot" docs/window_screenshot.png
echo "Wrote docs/window_screenshot.png"
