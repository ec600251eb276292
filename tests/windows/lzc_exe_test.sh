#!/usr/bin/env bash
# lzc.exe under Wine (scripts/windows-test.sh sets Wine up): round trips that match the Linux
# build byte for byte, binary pipes, the refusal to replace, the read-only attribute and time
# carried over, hidden files, non-ASCII names, the name lzcat.exe, malformed streams, and
# lzc.exe as typed into cmd.exe, -r in a tree deeper than 260 characters, -l on a console and
# Ctrl+C in a batch.
#   tests/windows/lzc_exe_test.sh LZC_EXE LINUX_LZC CONSOLE_CODE_PAGES_EXE CONSOLE_INTERRUPT_EXE
set -uo pipefail
exe=$1
linux=$2
pages_exe=$3
interrupt_exe=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
export LC_ALL=C.UTF-8  # Wine hands the program its arguments from UTF-8
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
lzc() { wine "$exe" "$@"; }
status_of() {  # status_of COMMAND...: prints the command's exit status
    "$@" >/dev/null 2>&1
    echo $?
}

# Bytes that text mode would change (CR LF, lone LF, 0x1A), text, noise, runs, one byte.
printf 'line\r\nline\nend\x1a\x00after\r\n\n\r' >crlf.bin
seq 1 9000 | head -c 32767 >text.txt
head -c 20000 /dev/urandom >noise.bin
printf 'ab%.0s' $(seq 3000) >runs.bin
printf x >one
inputs=(crlf.bin text.txt noise.bin runs.bin one)

for window in 32767 4092 1024; do
    for name in "${inputs[@]}"; do
        "$linux" -c -w "$window" "$name" >expected.lzc
        cp "$name" original
        lzc -w "$window" "$name" && cmp -s "$name.lzc" expected.lzc ||
            fail "$name at window $window differs from the Linux build"
        rm -f "$name" && lzc -d "$name.lzc" && cmp -s "$name" original ||
            fail "$name at window $window does not come back"
        rm -f "$name.lzc"
    done
done

lzc -c crlf.bin >piped.lzc && "$linux" -c crlf.bin | cmp -s - piped.lzc ||
    fail "compressing to a pipe changes bytes"
lzc -dc piped.lzc >back && cmp -s back crlf.bin || fail "restoring to a pipe changes bytes"
lzc -dc <piped.lzc >back && cmp -s back crlf.bin || fail "restoring from a pipe changes bytes"

printf 'old bytes' >one.lzc
[ "$(status_of lzc one)" = 2 ] && [ "$(cat one.lzc)" = "old bytes" ] ||
    fail "an existing output was not kept without -f, with the warning status"
lzc -f one && "$linux" -c one | cmp -s - one.lzc || fail "-f did not replace the output"

cp text.txt kept.txt
touch -d '2001-02-03 04:05:06' kept.txt
wine cmd /c attrib +r kept.txt >/dev/null
lzc kept.txt && [ "$(stat -c %Y kept.txt.lzc)" = "$(stat -c %Y kept.txt)" ] &&
    [[ $(stat -c %A kept.txt.lzc) != *w* ]] || fail "the read-only attribute or time was lost"

cp text.txt hidden.txt
wine cmd /c attrib +h hidden.txt >/dev/null
[[ $(lzc hidden.txt 2>&1) == *"hidden.txt: no such file"* ]] && [ ! -e hidden.txt.lzc ] ||
    fail "a hidden file was not refused as missing"

name='näme € 日本.txt'
cp text.txt "$name"
lzc "$name" && "$linux" -c text.txt | cmp -s - "$name.lzc" || fail "a non-ASCII name fails"
[[ $(lzc -d "$name.lzc" 2>&1) == *"lzc: $name: already exists"* ]] ||
    fail "a non-ASCII name is not shown as written"

cp "$exe" LZCat.Exe
[ "$(wine ./LZCat.Exe one.lzc)" = x ] || fail "lzcat.exe is not lzc -dc"

printf '\x80\x05ab' >bad.lzc
[ "$(status_of lzc -d bad.lzc)" = 1 ] && [ ! -e bad ] || fail "a malformed stream was accepted"

# As cmd.exe users type it: COMMAND LINE | exit status | a pattern its messages match. Wildcards
# are expanded in sorted order, leaving out hidden files and folders, and not after "--"; a
# reserved device name is no output, except NUL named with -o; errors read as the system says.
cp "$exe" lzc.exe
mkdir wild wild/d.txt
printf a >wild/c.txt && printf b >wild/a.txt && printf c >wild/B.txt && printf h >wild/h.txt
wine cmd /c attrib +h 'wild\h.txt' >/dev/null
"$linux" -c text.txt >NOTES.TXT.LZC
while IFS='|' read -r line status pattern; do
    said=$(wine cmd /c "lzc.exe $line" 2>&1)
    actual=$?
    [ "$actual" = "$status" ] && [[ $said == $pattern ]] ||
        fail "lzc $line: status $actual, said: $said"
done <<'TABLE'
-v wild\*.txt|0|*a.txt.lzc:*B.txt.lzc:*c.txt.lzc:*
-d -f -v wild\*.LZC|0|*a.txt:*B.txt:*c.txt:*
-d NOTES.TXT.LZC|0|
wild\*.none -- wild\*.txt|1|*.none: no such file*.txt: no such file*
/?|0|Usage: lzc*
-?|0|Usage: lzc*
--out aux.lzc one|1|*aux.lzc: is the device AUX*
-d aux.lzc|2|*aux.lzc: its output aux would be the device AUX*
-f -o NUL one|0|
-f -o wild\NUL wild\a.txt|0|
-o nodir\x.lzc one|1|*x.lzc: *[Pp]ath*
TABLE
[ ! -e wild/NUL ] || fail "-o wild\\NUL made a file NUL instead of writing the device"
cmp -s NOTES.TXT text.txt || fail "NOTES.TXT.LZC did not restore NOTES.TXT"

# -r through a tree whose paths pass 260 characters: every level is reached, each file's output
# lands beside it, and the messages name them with backslashes.
level=$(printf 'd%.0s' $(seq 60))
deep=tree/$level/$level/$level/$level/$level
mkdir -p "$deep"
for at in tree tree/$level/$level/$level "$deep"; do printf 'x' >"$at/f.txt"; done
ln -s "$dir/wild" "$deep/elsewhere"  # a reparse point under Wine: reported, never entered
said=$(wine cmd /c "lzc.exe -r -v tree" 2>&1)
[ "$(find tree -name f.txt.lzc | wc -l)" = 3 ] && [ -e "$deep/f.txt.lzc" ] &&
    [[ $said == *"tree\\$level\\$level\\$level\\$level\\$level\\f.txt -> "* ]] &&
    [[ $said == *"\\elsewhere: is a symbolic link -- skipped"* ]] &&
    [[ $said != *error* && $said != */* ]] || fail "lzc -r in a deep tree said: $said"

wine cmd /c "lzc.exe --help >help.txt"
[ "$(grep -c $'\r$' help.txt)" = "$(wc -l <help.txt)" ] || fail "the help is not CRLF text"

# The console's code pages are the same after a run (script gives Wine a console, which
# draws each character between escape sequences).
cp "$pages_exe" pages.exe
pages=$(script -qec 'wine cmd /c "pages.exe & lzc.exe -c one >NUL & pages.exe"' /dev/null \
    </dev/null | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | grep -o 'pages:[0-9]*,[0-9]*')
[ "$(wc -l <<<"$pages")" = 2 ] && [ "$(uniq <<<"$pages" | wc -l)" = 1 ] ||
    fail "the console's code page changed: $pages"

# -l's table on a console, as the messages: a non-ASCII name shows as it is.
"$linux" -c one >'Übersicht-日本.lzc'
listed=$(script -qec 'wine cmd /c "lzc.exe -l Übersicht-日本.lzc"' /dev/null </dev/null |
    sed 's/\x1b\[[0-9;?]*[A-Za-z]//g')
[[ $listed == *"Übersicht-日本.lzc"* ]] || fail "lzc -l on a console showed: $listed"

# Ctrl+C in a batch, once a file is done and lzc reads the next from a pipe: the status is
# STATUS_CONTROL_C_EXIT, never success.
cp "$interrupt_exe" interrupt.exe
stopped=$(script -qec 'wine interrupt.exe "lzc.exe -v -f one -"' /dev/null </dev/null |
    sed 's/\x1b\[[0-9;?]*[A-Za-z]//g')
[[ $stopped == *status:C000013A* ]] || fail "Ctrl+C in a batch ended lzc with $stopped"

[ "$failures" = 0 ] && echo "lzc.exe: all checks passed"
exit $((failures > 0))
