#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks what lands there.
set -euo pipefail
build=$1
validate=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

source "$(dirname "$0")/expect.sh"

expect "vellicor is installed and executable" test -x "$prefix/bin/vellicor"
expect "lzc is installed and executable" test -x "$prefix/bin/lzc"
expect "lzc runs from the install tree" "$prefix/bin/lzc" --version
expect "the man page is installed" test -s "$prefix/share/man/man1/lzc.1"
expect "the desktop entry is installed" test -s "$prefix/share/applications/vellicor.desktop"
expect "the desktop entry is valid" "$validate" "$prefix/share/applications/vellicor.desktop"
expect "the desktop entry starts vellicor" \
    grep -qx 'Exec=vellicor' "$prefix/share/applications/vellicor.desktop"
expect "the scalable icon is installed" \
    test -s "$prefix/share/icons/hicolor/scalable/apps/vellicor.svg"
expect "the bitmap icon is installed" \
    test -s "$prefix/share/icons/hicolor/256x256/apps/vellicor.png"

finish
