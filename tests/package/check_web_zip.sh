#!/usr/bin/env bash
# Usage: check_web_zip.sh BUILD_DIR OUT_DIR VERSION
# Makes the page's zip of BUILD_DIR and checks that it holds exactly the
# page's folder, drifton/ with the page, its script and its WebAssembly, as
# built.
set -euo pipefail
build=$1 out=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/unpacked"
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; fail "cpack did not make the zip"; }
zip="$out/drifton-${version}-web.zip"
[ -f "$zip" ] || fail "no $(basename "$zip"); made: $(ls "$out")"

held=$(cd "$out" && cmake -E tar tf "$zip" | sort | tr '\n' ' ')
[ "$held" = "drifton/drifton.js drifton/drifton.wasm drifton/index.html " ] || fail "the zip holds: $held"
(cd "$out/unpacked" && cmake -E tar xf "$zip")
for file in index.html drifton.js drifton.wasm; do
    cmp -s "$out/unpacked/drifton/$file" "$build/web/$file" || fail "$file is not the one built"
done
echo "ok: $(basename "$zip") holds $held"
