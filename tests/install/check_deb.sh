#!/usr/bin/env bash
# Builds the Debian package with CPack and checks what it holds and needs.
#   check_deb.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d "${TMPDIR:-/tmp}/tw-deb.XXXXXX")
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/tagwright_*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/tagwright ./usr/share/applications/tagwright.desktop \
         ./usr/share/icons/hicolor/scalable/apps/tagwright.svg ./usr/share/man/man1/tagwright.1 \
         ./usr/share/tagwright/Template.html ./usr/share/tagwright/help.htm \
         ./usr/lib/tagwright/tagwright-browser.so ./usr/lib/tagwright/tagwright-check; do
    grep -qx "$f" <<<"$contents" || { echo "package lacks $f"; echo "$contents"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqscintilla2-qt6 libqt6widgets6 libpcre2-8 libqt6webenginewidgets6; do
    grep -q "$lib" <<<"$depends" || { echo "package does not depend on $lib: $depends"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = tagwright ] || { echo "wrong package name"; exit 1; }
echo "package ok: $(basename "$deb")"
