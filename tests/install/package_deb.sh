#!/bin/sh
# Builds the Debian package, checks it with lintian (an error fails the test),
# unpacks it into a temporary root with dpkg -x and starts the program from
# there. Skipped (77) without the Debian packaging tools; lintian is installed
# when it is missing and we may.
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

maintainer=$(dpkg-deb -f "$deb" Maintainer)
case "$maintainer" in
  *@localhost*|"") fail "maintainer: $maintainer" ;;
esac

if ! command -v lintian >/dev/null && [ "$(id -u)" -eq 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    -o DPkg::Lock::Timeout=300 lintian >"$tmp/lintian-install.log" 2>&1 || cat "$tmp/lintian-install.log"
fi
command -v lintian >/dev/null || fail "lintian missing (package lintian) and not installable here"
# Errors fail; warnings are shown. Run as root, lintian asks to be told that is meant.
lintian --allow-root --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 || true
cat "$tmp/lintian.log"
if grep -q '^E: ' "$tmp/lintian.log"; then
  fail "lintian found errors in $(basename "$deb")"
fi

dpkg -x "$deb" "$tmp/root"
for f in usr/bin/zentrix usr/lib/zentrix/Utils.so usr/share/zentrix/help/index.html \
         usr/share/applications/org.zentrix.Zentrix.desktop usr/share/doc/zentrix/copyright \
         usr/share/doc/zentrix/changelog.gz usr/share/man/man1/zentrix.1.gz; do
  expect_file "$tmp/root/$f"
done
out=$(start_installed "$tmp/root/usr/bin/zentrix" "$tmp/run") || fail "the packaged program failed: $out"
expect_started_from "$out" "$tmp/root/usr"
echo "packaged ($(basename "$deb"), Depends: $depends) and started"
