#!/usr/bin/env bash
# The installer under Wine (scripts/windows-test.sh sets Wine up): a silent install puts the
# programs into the user's own programs folder, the Start-menu entry and the registry entries
# for .lzc and "Compress with Vellicor" in place, and opening a .lzc starts the window with its
# name; a silent uninstall leaves none of it. Run on a display (xvfb-run).
#   tests/windows/installer_test.sh SETUP_EXE WINDOW_DRIVER_EXE
set -uo pipefail
setup=$1
driver=$2
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
users=$WINEPREFIX/drive_c/users/$(whoami)
folder=$users/AppData/Local/Programs/Vellicor
shortcut="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vellicor.lnk"
classes='HKCU\Software\Classes'
keys=("$classes\\.lzc" "$classes\\Vellicor.lzc\\shell\\open\\command"
    "$classes\\*\\shell\\Vellicor.compress\\command"
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellicor')
value() { wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }

wine "$setup" /S
installed=$(cd "$folder" 2>/dev/null && ls | tr '\n' ' ')
wanted="LICENSE.txt README.txt Vellicor.exe lzc.exe lzcat.exe uninstall.exe unlzc.exe "
[ "$installed" = "$wanted" ] ||
    fail "the installed folder holds $installed"
[ -f "$shortcut" ] || fail "no Start-menu entry"
exe='C:\users\'$(whoami)'\AppData\Local\Programs\Vellicor\Vellicor.exe'
for pair in "0|Vellicor.lzc" "1|\"$exe\" \"%1\"" "2|\"$exe\" --compress \"%1\""; do
    got=$(value "${keys[${pair%%|*}]}")
    [ "$got" = "${pair#*|}" ] || fail "${keys[${pair%%|*}]} holds $got, not ${pair#*|}"
done
wine reg query "${keys[3]}" /v UninstallString >/dev/null 2>&1 || fail "not listed to uninstall"
# Wine's ShellExecute does not read the user's own classes, so the open command registered
# above (checked to be "EXE" "%1") is run as Explorer would run it.
printf 'x' >"$users/opened.lzc"
wine "$folder/Vellicor.exe" 'C:\users\'"$(whoami)"'\opened.lzc' &
opened=$(wine "$driver" name | tr -d '\r')
wine "$driver" close
[ "$opened" = 'C:\users\'"$(whoami)"'\opened.lzc' ] || fail "opening a .lzc named $opened"
wait
rm -f "$users/opened.lzc"

# The uninstaller runs on from a copy of itself, so its end is waited for (a minute at most,
# which only a hang takes).
wine "$folder/uninstall.exe" /S
for _ in $(seq 600); do
    [ -e "$folder" ] || break
    sleep 0.1
done
[ ! -e "$folder" ] || fail "the uninstall left $(ls "$folder")"
[ ! -e "$shortcut" ] || fail "the uninstall left the Start-menu entry"
for key in "${keys[@]}" "$classes\\Vellicor.lzc"; do
    wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall left $key"
done
[ "$failures" = 0 ] && echo "the installer: all checks passed"
exit $((failures > 0))
