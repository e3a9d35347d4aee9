#!/bin/sh
# Builds the Debian package, unpacks it into a temporary root with dpkg -x and
# starts the program from there. Skipped (77) without the Debian packaging tools.
#   package_deb.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
. "$source/tests/install/common.sh"

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v $tool >/dev/null; then
    echo "$tool missing (package dpkg-dev): the Debian package is not built"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$tmp/out" >"$tmp/cpack.log" 2>&1) ||
  { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/out/*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = zentrix ] || fail "package name $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = 1.0 ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libarchive13; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done

dpkg -x "$deb" "$tmp/root"
for f in usr/bin/zentrix usr/lib/zentrix/Utils.so usr/share/zentrix/help/index.html \
         usr/share/applications/org.zentrix.Zentrix.desktop; do
  expect_file "$tmp/root/$f"
done
out=$(start_installed "$tmp/root/usr/bin/zentrix" "$tmp/run") || fail "the packaged program failed: $out"
expect_started_from "$out" "$tmp/root/usr"
echo "packaged ($(basename "$deb"), Depends: $depends) and started"
