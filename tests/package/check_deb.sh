#!/usr/bin/env bash
# Usage: check_deb.sh BUILD_DIR OUT_DIR VERSION
# Builds the Debian package of BUILD_DIR, unpacks it into a scratch root and
# checks the program, its desktop entry, its licence and its dependencies.
set -euo pipefail
build=$1 out=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; fail "cpack did not make the package"; }
deb="$out/drifton_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$out")"

dpkg-deb -x "$deb" "$out/root"
[ -x "$out/root/usr/bin/drifton" ] || fail "usr/bin/drifton missing or not executable"
[ -f "$out/root/usr/share/applications/drifton.desktop" ] || fail "desktop entry missing"
grep -qx "Exec=drifton" "$out/root/usr/share/applications/drifton.desktop" || fail "desktop entry runs something else"
[ -f "$out/root/usr/share/doc/drifton/copyright" ] || fail "licence missing"

[ "$(dpkg-deb -f "$deb" Package)" = drifton ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
# The package names, without their version constraints.
names=" $(echo "$depends" | sed -e 's/ *([^)]*)//g' -e 's/,/ /g') "
for library in libc6 libgl1 libx11-6 libstdc++6 libwayland-client0 libwayland-egl1 libegl1 libdecor-0-0 libxkbcommon0; do
    case "$names" in *" $library "*) ;; *) fail "Depends lacks $library: $depends" ;; esac
done
recommends=$(dpkg-deb -f "$deb" Recommends)
case "$recommends" in *libdecor-0-plugin-1-cairo*) ;; *) fail "Recommends lacks libdecor's plugin: $recommends" ;; esac
echo "ok: $(basename "$deb"), Depends: $depends; Recommends: $recommends"
