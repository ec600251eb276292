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
for alias in lzcat unlzc; do
    expect "$alias is a link to lzc" test "$(readlink "$prefix/bin/$alias")" = lzc
done
for page in lzc lzcat unlzc vellicor; do
    expect "the man page of $page is installed" test -s "$prefix/share/man/man1/$page.1"
done
entry=$prefix/share/applications/vellicor.desktop
expect "the desktop entry is valid" "$validate" "$entry"
expect "the desktop entry hands vellicor the file it opens" grep -qx 'Exec=vellicor %f' "$entry"
expect "the desktop entry opens .lzc files" grep -qx 'MimeType=application/x-lzc;' "$entry"
# The file type as a desktop's MIME database sees it once the package's XML is compiled.
mime=$prefix/mime
mkdir -p "$mime/packages"
cp "$prefix/share/mime/packages/vellicor.xml" "$mime/packages/"
expect "the MIME package compiles" update-mime-database "$mime"
expect "*.lzc names the type" grep -qx '[0-9]*:application/x-lzc:\*\.lzc' "$mime/globs2"
expect "no magic bytes claim the type" bash -c "! grep -q x-lzc '$mime/magic'"
expect "the type shows the vellicor icon" grep -qx 'application/x-lzc:vellicor' "$mime/icons"
expect "the type has a comment" grep -q '<comment>.' "$mime/application/x-lzc.xml"
expect "the scalable icon is installed" \
    test -s "$prefix/share/icons/hicolor/scalable/apps/vellicor.svg"
expect "the bitmap icon is installed" \
    test -s "$prefix/share/icons/hicolor/256x256/apps/vellicor.png"

finish
