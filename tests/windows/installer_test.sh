#!/usr/bin/env bash
# The installer under Wine (scripts/windows-test.sh sets Wine up): a silent install puts the
# programs into the user's own programs folder, the Start-menu entry (starting in Documents),
# the registry entries for .lzc, "Compress with Vellicor" and the list of installed programs in
# place and the folder on the user's PATH, and opening a .lzc starts the window with its name; a
# silent uninstall, waited for as the README says, leaves the registry and PATH as they were
# before. Run on a display (xvfb-run).
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
value() { # value KEY [NAME]: the default value, or NAME's
    local which=(/ve)
    [ $# = 2 ] && which=(/v "$2")
    wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_[A-Z_]*SZ *//p'
}
user_registry() { # what the installer may touch: the user's classes and environment
    for key in 'HKCU\Software\Classes' 'HKCU\Environment'; do
        rm -f "$WINEPREFIX/saved.reg"
        wine reg export "$key" "$WINEPREFIX/saved.reg" /y >/dev/null 2>&1
        tr -d '\0' <"$WINEPREFIX/saved.reg" 2>/dev/null
    done
}
# The state before: as on Windows, without what an earlier run's install may have left.
wine reg delete "$classes\\*" /f >/dev/null 2>&1
wine reg add "$classes" /f >/dev/null 2>&1
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\keep' /f >/dev/null 2>&1
before=$(user_registry)

grep -qa '>true</dpiAware>' "$setup" || fail "the installer is not DPI-aware"
wine "$setup" /S
installed=$(cd "$folder" 2>/dev/null && ls | tr '\n' ' ')
wanted="LICENSE.txt README.txt Vellicor.exe lzc.exe lzcat.exe uninstall.exe unlzc.exe "
[ "$installed" = "$wanted" ] ||
    fail "the installed folder holds $installed"
[ -f "$shortcut" ] || fail "no Start-menu entry"
# The entry starts in Documents, the one path in the .lnk that is not the program's.
home='C:\users\'$(whoami)
strings -el "$shortcut" | grep -qxF "$home\\Documents" ||
    fail "the Start-menu entry starts in $(strings -el "$shortcut" | tr '\n' ' ')"
installed_in=$home'\AppData\Local\Programs\Vellicor'
exe=$installed_in'\Vellicor.exe'
for pair in "0|Vellicor.lzc" "1|\"$exe\" \"%1\"" "2|\"$exe\" --compress \"%1\""; do
    got=$(value "${keys[${pair%%|*}]}")
    [ "$got" = "${pair#*|}" ] || fail "${keys[${pair%%|*}]} holds $got, not ${pair#*|}"
done
for name in UninstallString DisplayIcon Publisher URLInfoAbout EstimatedSize; do
    wine reg query "${keys[3]}" /v "$name" >/dev/null 2>&1 || fail "the Uninstall key lacks $name"
done
[ "$(value 'HKCU\Environment' Path)" = "C:\keep;$installed_in" ] ||
    fail "PATH after the install: $(value 'HKCU\Environment' Path)"
# Wine's ShellExecute does not read the user's own classes, so the open command registered
# above (checked to be "EXE" "%1") is run as Explorer would run it.
printf 'x' >"$users/opened.lzc"
wine "$folder/Vellicor.exe" 'C:\users\'"$(whoami)"'\opened.lzc' &
opened=$(wine "$driver" name | tr -d '\r')
wine "$driver" close
[ "$opened" = 'C:\users\'"$(whoami)"'\opened.lzc' ] || fail "opening a .lzc named $opened"
wait
rm -f "$users/opened.lzc"

# Silently, waiting for the end, as the README says: uninstall.exe and its folder are left.
wine "$folder/uninstall.exe" /S "_?=$installed_in"
left=$(cd "$folder" 2>/dev/null && ls | tr '\n' ' ')
[ "$left" = "uninstall.exe " ] || fail "the uninstall left $left"
rm -rf "$folder"
[ ! -e "$shortcut" ] || fail "the uninstall left the Start-menu entry"
wine reg query "${keys[3]}" >/dev/null 2>&1 && fail "the uninstall left ${keys[3]}"
[ "$(user_registry)" = "$before" ] ||
    fail "the uninstall left in the registry: $(diff <(echo "$before") <(user_registry))"
[ "$failures" = 0 ] && echo "the installer: all checks passed"
exit $((failures > 0))
