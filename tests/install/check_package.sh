#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its name, files and metadata.
set -euo pipefail
build=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb="$out/vellicor_${version}_$(dpkg --print-architecture).deb"

source "$(dirname "$0")/expect.sh"
has_file() { dpkg-deb -c "$deb" | awk '{print $6}' | grep -qx "$1"; }
field() { dpkg-deb -f "$deb" "$1"; }

expect "the package is named vellicor_VERSION_ARCH.deb" test -s "$deb"
for file in ./usr/bin/vellicor ./usr/bin/lzc ./usr/bin/lzcat ./usr/bin/unlzc \
    ./usr/share/man/man1/lzc.1.gz ./usr/share/man/man1/lzcat.1.gz ./usr/share/man/man1/unlzc.1.gz \
    ./usr/share/man/man1/vellicor.1.gz ./usr/share/applications/vellicor.desktop \
    ./usr/share/mime/packages/vellicor.xml ./usr/share/icons/hicolor/scalable/apps/vellicor.svg \
    ./usr/share/doc/vellicor/copyright ./usr/share/doc/vellicor/changelog.gz; do
    expect "the package holds $file" has_file "$file"
done
expect "the package depends on Qt Widgets (from the binaries)" \
    bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libqt6widgets6'"
expect "the package depends on the C library (from the binaries)" \
    bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libc6'"
expect "the package depends on Qt's platform plugins" \
    bash -c "dpkg-deb -f '$deb' Depends | grep -q 'qt6-qpa-plugins'"
expect "the maintainer is filled in" test -n "$(field Maintainer)"
expect "the section is utils" test "$(field Section)" = utils
expect "the description is filled in" test -n "$(field Description)"
expect "lintian finds no errors and no warnings" lintian --fail-on error,warning "$deb"

finish
