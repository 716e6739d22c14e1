#!/usr/bin/env bash
# check-deb.sh BUILD_DIR: inspects the package that `./run package` built there. Every file of
# BUILD_DIR/packaging/contents must be in it, the control data must name the package, its
# version and this machine's architecture, and the dependencies must have been computed
# from the binaries. Manual pages must be gzip'd, the desktop entry and the AppStream data valid.
set -euo pipefail

build=${1:?usage: check-deb.sh BUILD_DIR}
version=$(sed -n 's/^CPACK_PACKAGE_VERSION:.*=//p; s/^CMAKE_PROJECT_VERSION:.*=//p' "$build/CMakeCache.txt" | head -n 1)
deb=$build/durnix_${version}_$(dpkg --print-architecture).deb
failed=0
fail() { echo "check-deb: $*" >&2; failed=1; }

[ -f "$deb" ] || { echo "check-deb: $deb is missing; build it with ./run package" >&2; exit 1; }
listed=$(dpkg-deb --contents "$deb" | awk '{ print $6 }' | sed 's|^\./||')
while read -r path; do
  [ -n "$path" ] && ! grep -qxF "$path" <<<"$listed" && fail "missing from the package: $path"
done <"$build/packaging/contents"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = durnix ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
for library in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 libqt6network6; do
  grep -qw "$library" <<<"$(field Depends)" || fail "Depends lacks $library: $(field Depends)"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
for manual in "$unpacked"/usr/share/man/man1/*; do
  gzip -t "$manual" 2>/dev/null || fail "not gzip'd: ${manual#"$unpacked"/}"
done
grep -qx 'Exec=durnix --desktop' "$unpacked/usr/share/applications/durnix.desktop" ||
  fail "the desktop entry does not start durnix --desktop"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.xml >/dev/null ||
    fail "the AppStream data does not validate"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$unpacked/usr/share/applications/durnix.desktop" || fail "the desktop entry does not validate"
fi

[ $failed -eq 0 ] && echo "check-deb: $deb holds $(wc -l <<<"$listed") entries, as expected"
exit $failed
