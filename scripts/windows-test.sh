#!/usr/bin/env bash
# Cross-builds the codec, lzc.exe and the codec tests for 64-bit Windows with MinGW-w64, checks
# that lzc.exe needs no DLLs beyond the system's, and runs the tests under Wine: the codec's test
# programs through CTest, then tests/windows/lzc_exe_test.sh against lzc.exe.
#   scripts/windows-test.sh LINUX_LZC   (a Linux build of lzc, whose outputs lzc.exe must match)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_lzc=$(realpath "$1")
build=build/windows

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DVELLICOR_WERROR=ON
cmake --build "$build" --parallel 2

dlls=$(x86_64-w64-mingw32-objdump -p "$build/cli/lzc.exe" | sed -n 's/.*DLL Name: //p')
echo "lzc.exe imports: $(echo $dlls)"
if echo "$dlls" | grep -viqE '^(kernel32|msvcrt|ucrtbase|api-ms-win-.*|advapi32|shell32|user32)\.dll$'; then
    echo "lzc.exe needs a DLL that Windows does not have"
    exit 1
fi

# Wine, headless, with its prefix in the build tree. One server is kept for the whole run (one
# left over from an interrupted run is ended first), so that each program starts in a fraction
# of a second. wineboot makes the prefix on the first run and starts Wine's own services; their
# output goes nowhere, so that nothing waits for those streams to close.
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
wineserver --kill >/dev/null 2>&1 || true
wineserver --persistent
trap 'wineserver --kill' EXIT
wineboot >/dev/null 2>&1

ctest --test-dir "$build" --parallel 2 --output-on-failure
bash tests/windows/lzc_exe_test.sh "$PWD/$build/cli/lzc.exe" "$linux_lzc" \
    "$PWD/$build/tests/windows/console_code_pages.exe"
