#!/usr/bin/env bash
# Installs the build into a private folder (DESTDIR) and checks what a desktop reads there:
# the desktop entry, the AppStream description, the editing file type as the MIME database
# sees it, the icons and manual page, the preview's renderer and the markup checker where the
# program looks for them, and that the installed program runs.
# Usage: install_check.sh <build folder>
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli update-mime-database xdg-mime; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/deps" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
share="$work/root/usr/share"
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$share/applications/halvane.desktop"
appstreamcli validate --no-net "$share/metainfo/io.github.halvane.Halvane.metainfo.xml"
for size in 16 24 32 48 64 128 256; do
  file "$share/icons/hicolor/${size}x${size}/apps/halvane.png" | grep -q "PNG image data, $size x $size" \
    || fail "icon ${size}x${size}"
done
[ -s "$share/icons/hicolor/scalable/apps/halvane.svg" ] || fail "scalable icon"
zcat "$share/man/man1/halvane.1.gz" | grep -qF 'new\-instance' || fail "manual page"

update-mime-database "$share/mime"
printf '{\\rtf1\\ansi {\\colortbl;\\red255\\green0\\blue0;}\\cf1 <B>\\par }' >"$work/some.hted"
printf '{\\rtf1\\ansi plain rich text\\par }' >"$work/letter.rtf"
query() { XDG_DATA_DIRS="$share:/usr/share" XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$1"; }
[ "$(query "$work/some.hted")" = application/x-halvane-page ] || fail "some.hted is $(query "$work/some.hted")"
# The editing type claims its own files, not every rich text file.
[ "$(query "$work/letter.rtf")" != application/x-halvane-page ] || fail "letter.rtf taken as an editing page"
grep -q 'StartupWMClass=Halvane' "$share/applications/halvane.desktop" || fail "StartupWMClass"

# The preview's renderer and the markup checker are looked for in lib/halvane beside the
# program's bin folder: a Qt plugin and a program there.
module="$work/root/usr/lib/halvane/halvane_webpreview.so"
[ -f "$module" ] || fail "preview renderer not installed at usr/lib/halvane (where the program looks)"
nm -D --defined-only "$module" | grep -q ' qt_plugin_instance$' || fail "preview renderer is no Qt plugin"
[ -x "$work/root/usr/lib/halvane/halvane-markup" ] || fail "markup checker not installed at usr/lib/halvane"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/halvane" --version)
[ "$version" = "Halvane 1.2.1" ] || fail "installed program says '$version'"
echo "install check passed"
