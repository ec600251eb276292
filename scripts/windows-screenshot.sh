#!/usr/bin/env bash
# Makes the README's picture of Vellicor.exe: docs/windows_screenshot.png, the window as Wine
# draws it on a virtual X display, with a name in its box. Run scripts/windows-test.sh first (it
# builds build/windows and its Wine prefix).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows
cmake --build "$build" --parallel 2 --target Vellicor
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p docs
# xwd takes the window by its title once Wine has made it, and again a moment later, once it is
# drawn.
xvfb-run -a -s "-screen 0 800x400x24" bash -c '
    wine "$1" "C:\\users\\Public\\Documents\\report.txt" &
    for _ in $(seq 60); do
        xwd -silent -name "Vellicor v1.0" >/dev/null 2>&1 && break
        sleep 1
    done
    sleep 2
    xwd -silent -name "Vellicor v1.0" | xwdtopnm 2>/dev/null | pnmtopng >docs/windows_screenshot.png
    wineserver --kill' _ "$PWD/$build/ui/win32/Vellicor.exe"
echo "Wrote docs/windows_screenshot.png"
