#!/usr/bin/env bash
# Installs the Debian 12 packages that Vellicor needs, skipping those that are already there.
# Run as root (or through sudo).
#   scripts/install-deps.sh window   what building and running the window and lzc needs
#                                    (scripts/run.sh)
#   scripts/install-deps.sh [all]    that and everything the checks need: tests, sanitizers,
#                                    fuzzing, benchmarks, packaging, the Windows cross-build
#                                    under Wine, coverage, the WebAssembly build, the npm
#                                    package and the page's browser test (scripts/test.sh)
set -euo pipefail

window=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    xvfb xauth
)
checks=(
    clang-format clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    zlib1g-dev liblz4-dev libzstd-dev libdivsufsort-dev
    dpkg-dev desktop-file-utils file shared-mime-info lintian
    hyperfine time gzip zstd lz4 python3
    abigail-tools pybind11-dev python3-dev python3-pytest
    g++-mingw-w64-x86-64-posix wine64 googletest icoutils librsvg2-bin nsis x11-apps netpbm locales
    gcovr
    emscripten chromium chromium-driver python3-selenium
)
# Node and npm for the npm package: Debian's, unless a Node from elsewhere (which carries its
# own npm) is already installed.
command -v node >/dev/null || checks+=(nodejs)
command -v npm >/dev/null || checks+=(npm)
case "${1:-all}" in
    window) packages=("${window[@]}") ;;
    all) packages=("${window[@]}" "${checks[@]}") ;;
    *)
        echo "usage: $0 [window|all]" >&2
        exit 1
        ;;
esac
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "${missing[@]}"
fi
