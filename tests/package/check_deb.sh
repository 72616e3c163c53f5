#!/usr/bin/env bash
# Usage: check_deb.sh BUILD_DIR OUT_DIR VERSION ARCHITECTURE
# Builds the Debian package of BUILD_DIR, unpacks it into a scratch root and
# checks the program, its desktop entry, its documentation and metadata, its
# dependencies, and that lintian finds no error and no warning in it.
set -euo pipefail
build=$1 out=$2 version=$3 arch=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; fail "cpack did not make the package"; }
deb="$out/drifton_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$out")"

dpkg-deb -x "$deb" "$out/root"
[ -x "$out/root/usr/bin/drifton" ] || fail "usr/bin/drifton missing or not executable"
[ -f "$out/root/usr/share/applications/drifton.desktop" ] || fail "desktop entry missing"
grep -qx "Exec=/usr/bin/drifton" "$out/root/usr/share/applications/drifton.desktop" ||
    fail "desktop entry runs something else: $(grep '^Exec=' "$out/root/usr/share/applications/drifton.desktop")"
[ -x "$out/root/usr/libexec/xscreensaver/drifton" ] || fail "usr/libexec/xscreensaver/drifton missing or not executable"
grep -q '<screensaver name="drifton"' "$out/root/usr/share/xscreensaver/config/drifton.xml" ||
    fail "usr/share/xscreensaver/config/drifton.xml missing or not the display mode's settings"
[ -f "$out/root/usr/share/doc/drifton/copyright" ] || fail "licence missing"
[ -f "$out/root/usr/share/metainfo/drifton.metainfo.xml" ] || fail "AppStream metadata missing"
# The manual page and the changelog, compressed and readable; the changelog's
# top entry is this version's.
man=$out/root/usr/share/man/man6/drifton.6.gz
changelog=$out/root/usr/share/doc/drifton/changelog.gz
page=$(zcat "$man" 2>/dev/null) || fail "usr/share/man/man6/drifton.6.gz missing or not gzip"
[[ "$page" == ".TH DRIFTON 6 "* ]] || fail "drifton.6.gz is not the manual page"
entries=$(zcat "$changelog" 2>/dev/null) || fail "usr/share/doc/drifton/changelog.gz missing or not gzip"
[[ "$entries" == "drifton ($version) "* ]] || fail "changelog does not start with $version"

[ "$(dpkg-deb -f "$deb" Package)" = drifton ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
# The package names, without their version constraints.
names=" $(echo "$depends" | sed -e 's/ *([^)]*)//g' -e 's/,/ /g') "
for library in libc6 libgl1 libx11-6 libstdc++6 libwayland-client0 libwayland-egl1 libegl1 libdecor-0-0 libxkbcommon0; do
    case "$names" in *" $library "*) ;; *) fail "Depends lacks $library: $depends" ;; esac
done
recommends=$(dpkg-deb -f "$deb" Recommends)
case "$recommends" in *libdecor-0-plugin-1-cairo*) ;; *) fail "Recommends lacks libdecor's plugin: $recommends" ;; esac
[ "$(dpkg-deb -f "$deb" Suggests)" = xscreensaver ] || fail "Suggests is not xscreensaver"
# Installed-Size counted as dpkg counts it (each file in KiB rounded up, a KiB
# for each folder), not from the sizes the build's file system gives folders.
kib=0
while read -r kind size; do
    if [ "$kind" = f ]; then kib=$((kib + (size + 1023) / 1024)); else kib=$((kib + 1)); fi
done < <(find "$out/root" -mindepth 1 -printf '%y %s\n')
[ "$(dpkg-deb -f "$deb" Installed-Size)" = "$kib" ] ||
    fail "Installed-Size is $(dpkg-deb -f "$deb" Installed-Size), the files take $kib KiB"

# Debian's own checks: any error (E:) or warning (W:) fails.
command -v lintian >/dev/null || fail "lintian is missing (package lintian)"
if ! lintian --fail-on error,warning "$deb" >"$out/lintian.log" 2>&1; then
    cat "$out/lintian.log" >&2
    fail "lintian rejects $(basename "$deb")"
fi
echo "ok: $(basename "$deb"), Depends: $depends; Recommends: $recommends; lintian: no error, no warning"
