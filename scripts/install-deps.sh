#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Vellicor needs, skipping those that
# are already there. Run as root (or through sudo).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev
    zlib1g-dev liblz4-dev libzstd-dev
    xvfb xauth
    dpkg-dev desktop-file-utils file shared-mime-info lintian
    hyperfine time gzip zstd lz4 python3
    g++-mingw-w64-x86-64-posix wine64 googletest
    gcovr
)
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
