#!/usr/bin/env bash
# Installs the library alone into a temporary prefix, builds the README's C example from there
# through pkg-config (shared and static) and through find_package(Vellicor), and checks that
# each writes lzc's bytes at the six windows, and that the shared library shows only vellicor_*;
# with PYTHON, also that the Python module imports from the prefix.
#   check_consumers.sh BUILD_DIR SOURCE_DIR LZC [PYTHON]
set -euo pipefail
build=$1
source_dir=$2
lzc=$3
python=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
for component in library development ${python:+python}; do
    cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
done
libdir=$(dirname "$(find "$prefix" -name vellicor.pc)")/..
export PKG_CONFIG_PATH=$libdir/pkgconfig LD_LIBRARY_PATH=$libdir

source "$source_dir/tests/install/expect.sh"

sed -n '/^## Using the library/,/^## /p' "$source_dir/README.md" |
    sed -n '/^```c$/,/^```$/p' | sed '1d;$d' >"$work/example.c"
flags=(-std=c99 -Wall -Wextra -Wpedantic -Werror)
expect "the example builds through pkg-config" \
    cc "${flags[@]}" "$work/example.c" $(pkg-config --cflags --libs vellicor) -o "$work/by_pkgconfig"
expect "the example builds with the static library" \
    cc "${flags[@]}" "$work/example.c" $(pkg-config --cflags vellicor) -L"$libdir" \
    -Wl,-Bstatic -lvellicor -Wl,-Bdynamic $(pkg-config --static --libs-only-l vellicor |
        sed 's/-lvellicor//') -o "$work/by_static"
expect "the example builds through find_package(Vellicor)" bash -c "
    cmake -S '$source_dir/tests/lib/consumer' -B '$work/cmake' -DCMAKE_PREFIX_PATH='$prefix' \
        -DEXAMPLE='$work/example.c' -DCMAKE_C_FLAGS='${flags[*]}' >/dev/null &&
    cmake --build '$work/cmake' >/dev/null && cp '$work/cmake/by_cmake' '$work/'"
expect "the static build needs no libvellicor" bash -c "! ldd '$work/by_static' | grep -q vellicor"

# A text whose paragraphs recur a document apart: in reach of the larger windows only.
cat "$source_dir"/docs/format.md{,,} | head -c 32768 >"$work/large"
head -c 32767 "$work/large" >"$work/source"
for window in 32767 16383 8191 4092 2048 1024; do
    "$lzc" -c -w "$window" <"$work/source" >"$work/expected"
    for program in by_pkgconfig by_static by_cmake; do
        expect "$program writes lzc's bytes at window $window" bash -c \
            "'$work/$program' $window <'$work/source' | cmp -s - '$work/expected'"
    done
done
said=$("$work/by_pkgconfig" <"$work/large" 2>&1 >/dev/null; echo "status $?")
expect "a source too large is refused in the status's words" \
    test "$said" = $'example: larger than 32767 bytes\nstatus 1'

library=$(readlink -f "$libdir/libvellicor.so.1")
expect "the SONAME is libvellicor.so.1" bash -c \
    "readelf -d '$library' | grep -q 'SONAME.*\[libvellicor.so.1\]'"
expect "only vellicor_* is exported" bash -c \
    "! nm -D --defined-only '$library' | awk '{print \$3}' | grep -vE '^(vellicor_.*@@VELLICOR_1|VELLICOR_1)$'"

if [ -n "$python" ]; then
    expect "the Python module imports from the prefix's site-packages" env \
        PYTHONPATH="$(dirname "$(find "$prefix" -name 'vellicor.*.so')")" "$python" -c \
        'import vellicor, sys; sys.exit(vellicor.decompress(vellicor.compress(b"ab")) != b"ab")'
fi

finish
