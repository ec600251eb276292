#!/usr/bin/env bash
# Builds the Debian packages with CPack and checks their names, files and metadata: vellicor,
# and the library's libvellicor1, libvellicor-dev and python3-vellicor.
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

# The library's packages: each file as a pattern of dpkg-deb -c's names (lib/* is multiarch).
while read -r name pattern; do
    expect "$name holds $pattern" bash -c "dpkg-deb -c '$out/${name}_${version}_'*.deb |
        awk '{print \$6}' | grep -qx '${pattern//\*/[^/]*}'"
done <<'EOF_FILES'
libvellicor1 ./usr/lib/*/libvellicor.so.1
libvellicor1 ./usr/lib/*/libvellicor.so.1.0.0
libvellicor1 ./usr/share/doc/libvellicor1/copyright
libvellicor-dev ./usr/include/vellicor.h
libvellicor-dev ./usr/lib/*/libvellicor.so
libvellicor-dev ./usr/lib/*/libvellicor.a
libvellicor-dev ./usr/lib/*/pkgconfig/vellicor.pc
libvellicor-dev ./usr/lib/*/cmake/Vellicor/VellicorConfig.cmake
python3-vellicor ./usr/lib/python3/dist-packages/vellicor.cpython-*.so
python3-vellicor ./usr/lib/python3/dist-packages/vellicor.pyi
EOF_FILES
expect "libvellicor1 declares its symbols" bash -c \
    "dpkg-deb -I '$out/libvellicor1_${version}_'*.deb symbols | grep -q vellicor_compress@VELLICOR_1"
expect "libvellicor-dev depends on libvellicor1 of its version" bash -c \
    "dpkg-deb -f '$out/libvellicor-dev_${version}_'*.deb Depends | grep -qF 'libvellicor1 (= $version)'"
for file in "$out"/*.deb; do
    expect "lintian finds no errors and no warnings in $(basename "$file")" \
        lintian --fail-on error,warning "$file"
done

finish
