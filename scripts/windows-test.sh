#!/usr/bin/env bash
# Cross-builds the codec, lzc.exe, Vellicor.exe and the codec tests for 64-bit Windows with
# MinGW-w64, checks that the programs need no DLLs beyond the system's and carry their resources,
# that the icon has every size, makes the zip and checks its listing, and runs the tests under
# Wine: the codec's test programs through CTest, tests/windows/lzc_exe_test.sh against lzc.exe,
# tests/windows/installer_test.sh against the installer and, on a virtual X display,
# tests/windows/vellicor_exe_test.sh against the window.
#   scripts/windows-test.sh LINUX_LZC   (a Linux build of lzc, whose outputs lzc.exe must match)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_lzc=$(realpath "$1")
build=build/windows

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DVELLICOR_WERROR=ON
cmake --build "$build" --parallel 2

# The release programs: stripped, needing only the system's DLLs, with their manifests (UTF-8
# code page, long paths, per-monitor DPI; the window also common controls 6), icons and the
# project's version.
version=$(sed -n 's/^project(Vellicor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for exe in cli/lzc.exe ui/win32/Vellicor.exe; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$build/$exe" | sed -n 's/.*DLL Name: //p')
    echo "$exe imports: $(echo $dlls)"
    system='kernel32|ntdll|msvcrt|ucrtbase|api-ms-win-.*|advapi32|shell32|user32|gdi32|comctl32|ole32'
    if echo "$dlls" | grep -viqE "^($system)\.dll$"; then
        echo "$exe needs a DLL that Windows does not have"
        exit 1
    fi
    if x86_64-w64-mingw32-objdump -h "$build/$exe" | grep -q '\.debug'; then
        echo "$exe carries debug sections"
        exit 1
    fi
    resources=$(x86_64-w64-mingw32-windres -J coff -i "$build/$exe" -O rc)
    for wanted in RT_MANIFEST RT_GROUP_ICON "\"ProductVersion\", \"$version\"" '>UTF-8<' \
        '>true</longPathAware>' '>PerMonitorV2<'; do
        if ! grep -qF "$wanted" <<<"$resources"; then
            echo "$exe's resources lack $wanted"
            exit 1
        fi
    done
done
if ! x86_64-w64-mingw32-windres -J coff -i "$build/ui/win32/Vellicor.exe" -O rc |
    grep -qF 'Microsoft.Windows.Common-Controls'; then
    echo "Vellicor.exe does not ask for common controls 6"
    exit 1
fi
# vellicor.dll: the system's DLLs only, and only vellicor_* exported.
dll=$(x86_64-w64-mingw32-objdump -p "$build/lib/vellicor.dll")
if sed -n 's/.*DLL Name: //p' <<<"$dll" | grep -viqE "^($system)\.dll$" ||
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dll" | sed '1d;/^$/d' |
    grep -vq '\] vellicor_'; then
    echo "vellicor.dll needs a DLL that Windows does not have, or exports more than vellicor_*"
    exit 1
fi

# The icon holds each size Windows shows, each drawn at that size.
sizes=$(icotool -l "$build/vellicor.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | tr '\n' ' ')
if [ "$sizes" != "16 24 32 48 64 256 " ]; then
    echo "the icon holds the sizes $sizes, not 16 24 32 48 64 256"
    exit 1
fi

# The zip a Windows user downloads: the four programs, the library (vellicor.dll, its import
# library and header), a README and the licence, in CRLF text.
(cd "$build" && cpack -G ZIP >/dev/null)
top=vellicor-$version-win64
listing=$(cmake -E tar tf "$build/$top.zip" | LC_ALL=C sort | tr '\n' ' ')
expected="$top/LICENSE.txt $top/README.txt $top/Vellicor.exe $top/libvellicor.dll.a "
expected+="$top/lzc.exe $top/lzcat.exe $top/unlzc.exe $top/vellicor.dll $top/vellicor.h "
if [ "$listing" != "$expected" ]; then
    echo "the zip holds $listing, not $expected"
    exit 1
fi
unpacked=$(mktemp -d)
(cd "$unpacked" && cmake -E tar xf "$OLDPWD/$build/$top.zip")
for text in "$unpacked/$top"/*.txt; do
    if [ "$(grep -c $'\r$' "$text")" != "$(wc -l <"$text")" ]; then
        echo "$(basename "$text") in the zip is not CRLF text"
        exit 1
    fi
done
rm -rf "$unpacked"

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
    "$PWD/$build/tests/windows/console_code_pages.exe" \
    "$PWD/$build/tests/windows/console_interrupt.exe"
cmake --build "$build" --target installer

# The window wants a display: its own Wine server, started with the virtual one.
wineserver --kill
xvfb-run -a bash tests/windows/installer_test.sh "$PWD/$build/vellicor-$version-win64-setup.exe" \
    "$PWD/$build/tests/windows/window_driver.exe"
xvfb-run -a bash tests/windows/vellicor_exe_test.sh "$PWD/$build/ui/win32/Vellicor.exe" \
    "$PWD/$build/tests/windows/window_driver.exe" "$linux_lzc"
