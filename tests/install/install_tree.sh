#!/bin/sh
# Installs the build into a temporary DESTDIR as `make install` does, checks the
# files a desktop expects and validates them, starts the installed program, and
# removes everything again as `make uninstall` does.
#   install_tree.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
. "$source/tests/install/common.sh"

tmp=$(mktemp -d)
manifest=$build/install_manifest.txt
restore() {
  # The build's own manifest (of a real `make install`) is kept as it was.
  if [ -f "$tmp/manifest.saved" ]; then mv "$tmp/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$tmp"
}
trap restore EXIT
[ -f "$manifest" ] && cp "$manifest" "$tmp/manifest.saved"

root=$tmp/root
prefix=/usr/local
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null
cp "$manifest" "$tmp/manifest"
top=$root$prefix

id=org.zentrix.Zentrix
[ -x "$top/bin/zentrix" ] || fail "no executable $top/bin/zentrix"
if [ -x "$build/zenview" ]; then
  [ -x "$top/bin/zenview" ] || fail "no picture viewer $top/bin/zenview"
fi
for f in lib/zentrix/Utils.so lib/zentrix/FileInfo.so share/zentrix/help/index.html \
         share/zentrix/tips.txt share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/man/man1/zentrix.1.gz \
         share/doc/zentrix/copyright share/doc/zentrix/changelog.gz; do
  expect_file "$top/$f"
done
[ -z "$(find "$top/bin" -name '*.so')" ] || fail "a library was installed into bin/"
for size in 16 22 24 32 48 64 128 256; do
  png=$top/share/icons/hicolor/${size}x${size}/apps/$id.png
  expect_file "$png"
  [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is $(png_size "$png")"
done

desktop=$top/share/applications/$id.desktop
grep -qx 'MimeType=inode/directory;' "$desktop" || fail "the desktop entry does not take directories"
grep -Eq '^Exec=zentrix %[FU]$' "$desktop" || fail "the desktop entry's Exec line: $(grep ^Exec= "$desktop")"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate missing (package desktop-file-utils): desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$top/share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli validate"
else
  echo "appstreamcli missing (package appstream): metainfo not validated"
fi
if command -v groff >/dev/null; then
  warnings=$(zcat "$top/share/man/man1/zentrix.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "the manual page: $warnings"
fi

out=$(start_installed "$top/bin/zentrix" "$tmp/run") || fail "the installed program failed: $out"
expect_started_from "$out" "$top"

# Uninstall: what was installed goes, folders that are not the program's own stay,
# and so does anything else in them.
echo "[Desktop Entry]" >"$top/share/applications/other.desktop"
DESTDIR=$root cmake -DMANIFEST="$tmp/manifest" -P "$source/data/uninstall.cmake" >/dev/null
left=$(cd "$root" && find . -type f)
[ "$left" = "./usr/local/share/applications/other.desktop" ] || fail "left after uninstall: $left"
[ -z "$(find "$root" -name zentrix)" ] || fail "folders left: $(find "$root" -name zentrix)"
[ -d "$top/share/icons/hicolor/scalable/apps" ] || fail "uninstall removed shared folders"
echo "installed, validated, started and uninstalled"
