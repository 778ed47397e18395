# SPDX-License-Identifier: GPL-3.0-or-later
# Installs into a temporary prefix and checks the tree file by file, then validates the desktop
# entry, the metainfo and the manual page the way distributions do, runs the installed program
# without a display, and has `cpack` make the Debian package and lintian check it.
set -euo pipefail
BUILD=${1:?usage: $0 BUILD-DIR SOURCE-DIR}
SOURCE=${2:?usage: $0 BUILD-DIR SOURCE-DIR}
PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/marquill-install.XXXXXX")
trap 'rm -rf "$PREFIX"' EXIT
fail() { echo "FAIL [install]: $*" >&2; exit 1; }

cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

expected="bin/marquill
share/applications/io.github.marquill.Marquill.desktop
share/doc/marquill/changelog.Debian.gz
share/doc/marquill/copyright
share/icons/hicolor/128x128/apps/marquill.png
share/icons/hicolor/16x16/apps/marquill.png
share/icons/hicolor/22x22/apps/marquill.png
share/icons/hicolor/24x24/apps/marquill.png
share/icons/hicolor/256x256/apps/marquill.png
share/icons/hicolor/32x32/apps/marquill.png
share/icons/hicolor/48x48/apps/marquill.png
share/icons/hicolor/64x64/apps/marquill.png
share/icons/hicolor/scalable/apps/marquill.svg
share/man/man1/marquill.1.gz
share/marquill/skins/dark.cjs
share/marquill/skins/light.cjs
share/metainfo/io.github.marquill.Marquill.metainfo.xml"
actual=$(cd "$PREFIX" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(echo "$expected" | LC_ALL=C sort)" ] || fail "installed tree differs:
$(diff <(echo "$expected" | LC_ALL=C sort) <(echo "$actual") || true)"

[ -x "$PREFIX/bin/marquill" ] || fail "the program is not executable"
for size in 16 22 24 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/${size}x${size}/apps/marquill.png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
done
python3 -c 'import sys, xml.etree.ElementTree as T; T.parse(sys.argv[1])' \
    "$PREFIX/share/icons/hicolor/scalable/apps/marquill.svg" || fail "the scalable icon is no XML"
for skin in light dark; do
    cmp -s "$SOURCE/skins/$skin.cjs" "$PREFIX/share/marquill/skins/$skin.cjs" || fail "skin $skin.cjs differs"
done
zcat "$PREFIX/share/man/man1/marquill.1.gz" | grep -q '^\.TH MARQUILL 1' || fail "the manual page has no title line"
warnings=$(zcat "$PREFIX/share/man/man1/marquill.1.gz" | LC_ALL=C.UTF-8 groff -man -ww -z 2>&1) || true
[ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
[ "$(zcat "$PREFIX/share/doc/marquill/changelog.Debian.gz" | head -n1)" = \
    "marquill ($(sed -n 's/^project(Marquill VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")-1) unstable; urgency=medium" ] \
    || fail "the Debian changelog does not start with this version"
grep -q '^License: GPL-3+' "$PREFIX/share/doc/marquill/copyright" || fail "the copyright file names no GPL-3+"

desktop=$PREFIX/share/applications/io.github.marquill.Marquill.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
grep -qx 'Exec=marquill %F' "$desktop" || fail "the desktop entry does not pass the files on"
grep -qx 'MimeType=text/plain;' "$desktop" || fail "the desktop entry does not offer plain text"
grep -qx 'Icon=marquill' "$desktop" || fail "the desktop entry names another icon"
appstreamcli validate --no-net --pedantic "$PREFIX/share/metainfo/io.github.marquill.Marquill.metainfo.xml" \
    || fail "appstreamcli rejects the metainfo"

# The installed program answers --help and --version with no display at all, and opens none.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$PREFIX/bin/marquill" --version) \
    || fail "--version failed"
[ "$out" = "marquill $(sed -n 's/^project(Marquill VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")" ] \
    || fail "--version printed '$out'"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$PREFIX/bin/marquill" --help) || fail "--help failed"
grep -q '^Usage: marquill \[options\] \[FILE\.\.\.\]' <<<"$out" || fail "--help printed: $out"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$PREFIX/bin/marquill" a.txt 2>/dev/null || status=$?
[ "$status" -eq 1 ] || fail "without a display a start with files ended with $status, not 1"
# The Debian package as `cpack` makes it: lintian finds no error in it (warnings are shown).
PACKAGES=$PREFIX/packages
(cd "$BUILD" && cpack -G DEB -B "$PACKAGES" >"$PREFIX/cpack.log" 2>&1) || fail "cpack failed: $(cat "$PREFIX/cpack.log")"
deb=$(find "$PACKAGES" -maxdepth 1 -name 'marquill_*.deb' | head -n1)
[ -n "$deb" ] || fail "cpack made no .deb"
status=0
lintian --fail-on error --info "$deb" || status=$?
[ "$status" -eq 0 ] || fail "lintian finds errors in $(basename "$deb")"
echo "install: passed"
