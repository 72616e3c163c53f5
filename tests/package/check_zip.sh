#!/usr/bin/env bash
# Usage: check_zip.sh BUILD_DIR OUT_DIR ZIP ENTRY[=BUILT]...
# Makes the zip of BUILD_DIR with cpack and checks that it is named ZIP,
# that it holds exactly the ENTRY paths, and that each ENTRY given with
# =BUILT is, byte for byte, the file BUILT of BUILD_DIR: the Windows zip's
# programs, the page's files.
set -euo pipefail
build=$1 out=$2 name=$3
shift 3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; fail "cpack did not make the zip"; }
zip="$out/$name"
[ -f "$zip" ] || fail "no $name; made: $(ls "$out")"

wanted=$(printf '%s\n' "${@%%=*}" | sort | tr '\n' ' ')
held=$(cd "$out" && cmake -E tar tf "$zip" | sort | tr '\n' ' ')
[ "$held" = "$wanted" ] || fail "the zip holds: $held"
mkdir -p "$out/unpacked"
(cd "$out/unpacked" && cmake -E tar xf "$zip")
for entry in "$@"; do
    [ "$entry" != "${entry%%=*}" ] || continue
    cmp -s "$out/unpacked/${entry%%=*}" "$build/${entry#*=}" || fail "${entry%%=*} is not the one built"
done
echo "ok: $name holds $held"
