#!/usr/bin/env bash
# The Windows program is a GUI program (no console window) that needs no DLL
# beside it: every DLL it imports is one that Windows itself provides.
#   system_dlls_test.sh <objdump> <drifton.exe>
set -u
objdump=$1
program=$2
headers=$("$objdump" -p "$program") || { echo "FAIL: cannot read $program"; exit 1; }

system_dlls=" kernel32.dll user32.dll gdi32.dll opengl32.dll msvcrt.dll "
failed=0
while read -r dll; do
    echo "imports $dll"
    lower=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
    case $system_dlls in
    *" $lower "*) ;;
    *) echo "FAIL: $dll is not a system DLL"; failed=1 ;;
    esac
done < <(echo "$headers" | sed -n 's/^\s*DLL Name: //p')
echo "$headers" | sed -n 's/^\s*DLL Name: //p' | grep -q . || { echo "FAIL: no imports found"; failed=1; }

subsystem=$(echo "$headers" | sed -n 's/^Subsystem\s*//p')
echo "subsystem $subsystem"
case $subsystem in
*"(Windows GUI)"*) ;;
*) echo "FAIL: not a GUI program"; failed=1 ;;
esac
exit $failed
