#!/usr/bin/env bash
# Vellicor.exe under Wine on a virtual X display, driven by window_driver.exe from the keyboard:
# Tab, Tab, Enter compresses the typed name into what the Linux lzc writes, and says so, and the
# progress control that screen readers know stands at 100; Alt+C on a name whose .lzc holds other
# bytes asks before replacing it, with the form disabled and No the default, so Enter keeps the
# old bytes and empties the bar; --compress FILE compresses a non-ASCII name; in German, Alt+K
# compresses a name quoted as Explorer's "Copy as path" quotes it.
# scripts/windows-test.sh sets Wine up.
#   xvfb-run -a tests/windows/vellicor_exe_test.sh VELLICOR_EXE WINDOW_DRIVER_EXE LINUX_LZC
set -uo pipefail
exe=$1
driver=$2
linux=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
failures=0
expect() {  # expect WHAT EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        echo "FAILED: $1: expected \"$2\", got \"$3\""
        failures=$((failures + 1))
    fi
}
drive() { wine "$driver" "$@" | tr -d '\r' | tr '\n' '~'; }

seq 1 3000 >text.txt
wine "$exe" &
shown=$!
file="Z:$dir\\text.txt"
file=${file//\//\\}
said="Compressed Size: 99.84%|Wrote 13872 bytes to~$file.lzc~from the 13893 bytes of~$file|"
expect "compressing" "$said~buttons Open &Folder/OK/ default OK, compress enabled~no other box~" \
    "$(drive compress "$file")"
expect "the form" "... &compress &decompress msctls_progress32 at 100~" \
    "$(drive form)"
"$linux" -c -w 32767 text.txt | cmp -s - text.txt.lzc ||
    expect "the .lzc" "the Linux build's" "other bytes"
printf 'old' >text.txt.lzc
asked="text.txt.lzc already exists. Replace it?~~$file.lzc|"
expect "the replace question" \
    "$asked~buttons &Yes/&No/ default &No, compress disabled~no other box~" \
    "$(drive alt c "$file")"
[ "$(head -c 4 text.txt.lzc)" = old ] || expect "the .lzc after No" "the old bytes" "replaced"
expect "the form after No" "... &compress &decompress msctls_progress32 at 0~" \
    "$(drive form)"
drive close >/dev/null
wait "$shown"

# Explorer's "Compress with Vellicor" on a name that no ANSI code page holds.
export LC_ALL=C.UTF-8  # Wine hands the program its arguments from UTF-8
cp text.txt 'ünï €.txt'
wine "$exe" --compress "Z:$dir/ünï €.txt" &
shown=$!
expect "--compress" "Compressed Size: 99.84%" "$(drive read | cut -d '|' -f 1)"
"$linux" -c -w 32767 text.txt | cmp -s - 'ünï €.txt.lzc' ||
    expect "the non-ASCII name's .lzc" "the Linux build's" "other bytes or none"
drive close >/dev/null
wait "$shown"
# The Windows display language: German, with German mnemonics. Wine takes it from the Linux
# locale, made here for the test.
rm text.txt.lzc
mkdir locale
localedef -i de_DE -f UTF-8 locale/de_DE.UTF-8 2>/dev/null
env -u LC_ALL LOCPATH="$dir/locale" LANG=de_DE.UTF-8 wine "$exe" &
shown=$!
expect "German captions" "... &komprimieren &dekomprimieren msctls_progress32 at 0~" \
    "$(drive form)"
expect "Alt+K on a quoted name" "Komprimierte Größe: 99.84 %" \
    "$(drive alt k "\"$file\"" | cut -d '|' -f 1)"
"$linux" -c -w 32767 text.txt | cmp -s - text.txt.lzc ||
    expect "the quoted name's .lzc" "the Linux build's" "other bytes or none"
drive close >/dev/null
wait "$shown"
[ "$failures" = 0 ] && echo "Vellicor.exe: all checks passed"
exit $((failures > 0))
