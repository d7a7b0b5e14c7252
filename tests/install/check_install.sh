#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree file by file:
# the program, its data, the desktop entry (validated), the icon and the man
# page; then that a program in that bin folder finds the installed data, the
# browser module and the checker.
#   check_install.sh BUILD_DIR PROBE LIBDIR
set -euo pipefail
build=$1
probe=$2
libdir=$3
dest=$(mktemp -d "${TMPDIR:-/tmp}/tw-install.XXXXXX")
trap 'rm -rf "$dest"' EXIT
prefix=$dest/usr

cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/tagwright
$libdir/tagwright/tagwright-browser.so
$libdir/tagwright/tagwright-check
share/applications/tagwright.desktop
share/icons/hicolor/scalable/apps/tagwright.svg
share/man/man1/tagwright.1
share/tagwright/PicFlip1.txt
share/tagwright/PicFlip2.txt
share/tagwright/Template.html
share/tagwright/help.htm
share/tagwright/sample.htm"
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected list:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi

[ -x "$prefix/bin/tagwright" ] || { echo "program not executable"; exit 1; }
for program in "$prefix/bin/tagwright" "$prefix/$libdir/tagwright/tagwright-check"; do
    if ldd "$program" | grep -q 'not found'; then
        echo "missing libraries:"; ldd "$program"; exit 1
    fi
done

entry=$prefix/share/applications/tagwright.desktop
desktop-file-validate "$entry"
grep -qx 'MimeType=text/html;' "$entry" || { echo "entry does not open text/html"; exit 1; }
grep -qx 'Exec=tagwright %F' "$entry" || { echo "entry does not pass the files"; exit 1; }
grep -qx 'Icon=tagwright' "$entry" || { echo "entry names another icon"; exit 1; }
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/tagwright.svg" || { echo "icon is no SVG"; exit 1; }

warnings=$(groff -man -Tutf8 -ww -z "$prefix/share/man/man1/tagwright.1" 2>&1)
[ -z "$warnings" ] || { echo "man page: $warnings"; exit 1; }
lexgrog "$prefix/share/man/man1/tagwright.1" | grep -q 'tagwright - a desktop editor' \
    || { echo "man page has no NAME line"; exit 1; }

cp "$probe" "$prefix/bin/"
found=$(cd / && "$prefix/bin/$(basename "$probe")" Template.html help.htm)
want="module $prefix/$libdir/tagwright
checker $prefix/$libdir/tagwright/tagwright-check
$prefix/share/tagwright/Template.html
$prefix/share/tagwright/help.htm"
if [ "$found" != "$want" ]; then
    printf 'the installed program looks for its data in\n%s\ninstead of\n%s\n' "$found" "$want"
    exit 1
fi
echo "install tree ok"
