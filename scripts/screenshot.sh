#!/usr/bin/env bash
# Remakes the README's pictures of the window: docs/window_screenshot.png (English),
# docs/window_screenshot_de.png (German) and docs/window_screenshot_dark.png (English in a dark
# palette). The real window, drawn on Qt's offscreen platform at twice its size, so no display is
# needed. VELLICOR_BUILD names another build directory to use.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELLICOR_BUILD:-build/release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel 2 --target vellicor_screenshot
mkdir -p docs
for shot in "window_screenshot en" "window_screenshot_de de" "window_screenshot_dark en dark"; do
    read -r name language palette <<<"$shot"
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$build/ui/vellicor_screenshot" \
        "docs/$name.png" "$language" ${palette:+"$palette"}
    echo "Wrote docs/$name.png"
done
