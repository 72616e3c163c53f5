#!/usr/bin/env bash
# Usage: installer_test.sh BUILD_DIR OUT_DIR VERSION
# Builds the Windows installer of BUILD_DIR and takes it through a round trip
# under Wine, in a prefix of its own under OUT_DIR, on the X display in
# DISPLAY: a silent install puts the program, screen saver, README and
# licence in Program Files\drifton, the screen saver in the 64-bit system
# folder, a shortcut in the Start menu and an entry in the list of
# installed programs; the installed program opens its window and ends on
# Escape with 0; a silent uninstall leaves none of it behind.
set -euo pipefail
build=$1 out=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G NSIS --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; fail "cpack did not make the installer"; }
installer="$out/drifton-${version}-win64.exe"
[ -f "$installer" ] || fail "no $(basename "$installer"); made: $(ls "$out")"
# This Wine runs only 64-bit programs, and the program is one.
kind=$(file -b "$installer")
echo "$(basename "$installer"): $kind"
case $kind in "PE32+ executable"*x86-64*) ;; *) fail "not a 64-bit Windows program" ;; esac

. "$here/../../scripts/wine-env.sh" "$out"
trap wine_stop EXIT
wine_boot

folder="$WINEPREFIX/drive_c/Program Files/drifton"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/drifton"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\drifton'
# Every Wine program's output goes to a file: the services a program starts
# stay a while and would hold a pipe open.
query() { wine reg query "$1" </dev/null >"$out/query.txt" 2>&1; }

# The installer and the uninstaller leave work to Wine's services: wait for
# its server to end before looking.
wine "$installer" /S </dev/null >"$out/install.log" 2>&1 || fail "the installer failed, see $out/install.log"
wineserver -w
saver="$WINEPREFIX/drive_c/windows/system32/drifton.scr"
for file in drifton.exe drifton.scr README.md LICENSE Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "no $file in Program Files\\drifton"
done
cmp -s "$folder/drifton.exe" "$build/drifton.exe" || fail "the installed drifton.exe is not the one built"
cmp -s "$saver" "$build/drifton.scr" || fail "no drifton.scr as built in the system folder"
[ -f "$menu/drifton.lnk" ] || fail "no drifton.lnk in the Start menu's drifton folder"
grep -aqF 'C:\Program Files\drifton\drifton.exe' "$menu/drifton.lnk" || fail "the shortcut starts something else"
query "$key" || fail "no entry under $key"
tr -d '\r' <"$out/query.txt" | sed -n 's/^ *\([A-Za-z]*\) *REG_SZ *\(.*\)$/\1=\2/p' >"$out/entry.txt"
cat "$out/entry.txt"
for expected in DisplayName=drifton DisplayVersion="$version" "Publisher=The drifton developers" \
    'DisplayIcon=C:\Program Files\drifton\drifton.exe' 'UninstallString="C:\Program Files\drifton\Uninstall.exe"'; do
    grep -qxF "$expected" "$out/entry.txt" || fail "the entry lacks $expected"
done

bash "$here/../app/windows/program_test.sh" "$folder/drifton.exe" escape ||
    fail "the installed program did not run as it should"

wine "$folder/Uninstall.exe" /S </dev/null >"$out/uninstall.log" 2>&1 || fail "the uninstaller failed"
wineserver -w
[ ! -e "$saver" ] || fail "drifton.scr is still in the system folder"
[ ! -e "$folder" ] || fail "left in Program Files: $(find "$folder" | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "left in the Start menu: $(find "$menu" | tr '\n' ' ')"
! query "$key" || fail "the entry under $key is still there"
! query 'HKLM\Software\The drifton developers' || fail "the installer's own key is still there"
echo "ok: installed, ran and uninstalled $(basename "$installer")"
