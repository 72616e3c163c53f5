#!/usr/bin/env bash
# Usage: check_zip.sh BUILD_DIR OUT_DIR VERSION
# Builds the Windows zip of BUILD_DIR and checks that it holds exactly the
# program, the screen saver, the README and the licence.
set -euo pipefail
build=$1 out=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; fail "cpack did not make the zip"; }
zip="$out/drifton-${version}-win64.zip"
[ -f "$zip" ] || fail "no $(basename "$zip"); made: $(ls "$out")"

held=$(cd "$out" && cmake -E tar tf "$zip" | sort | tr '\n' ' ')
[ "$held" = "LICENSE README.md drifton.exe drifton.scr " ] || fail "the zip holds: $held"
mkdir -p "$out/unpacked"
(cd "$out/unpacked" && cmake -E tar xf "$zip")
for file in drifton.exe drifton.scr; do
    cmp -s "$out/unpacked/$file" "$build/$file" || fail "$file is not the one built"
done
echo "ok: $(basename "$zip") holds $held"
