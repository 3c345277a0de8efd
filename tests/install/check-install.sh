#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop and a
# user find there: every file in its place, the desktop entry and the metainfo
# valid, the manual pages clean, and the installed programs running.
# check-install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=/usr/local
root=$work/root$prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$work/root cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.tackora.Tackora
for file in bin/tackora bin/tackora-cli \
  lib/tackora/libtackora_sound.so lib/tackora/tackora-calendar \
  share/tackora/wnl.dat "share/tackora/软件使用帮助.txt" \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$id.svg \
  share/man/man1/tackora.1.gz share/man/man1/tackora-cli.1.gz share/doc/tackora/copyright; do
  [ -f "$root/$file" ] || fail "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || fail "no ${size}px icon"
  file -b "$png" | grep -q "PNG image data, $size x $size" || fail "the ${size}px icon is $(file -b "$png")"
done
[ -x "$root/bin/tackora" ] && [ -x "$root/bin/tackora-cli" ] && [ -x "$root/lib/tackora/tackora-calendar" ] ||
  fail "the programs are not executable"
# The web engine belongs to the calendar program alone: the board stays lean.
! ldd "$root/bin/tackora" | grep -q WebEngine || fail "tackora links a web engine"
! ldd "$root/bin/tackora" | grep -q Qt6Network || fail "tackora links Qt's network library"
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"

# The entry's keys, then the validators. Debian 12's desktop-file-validate
# (0.26) predates the SingleMainWindow key of the entry format 1.5; that one
# complaint is all it may say.
entry=$root/share/applications/$id.desktop
for key in Name 'Name\[zh_CN\]' Comment Exec Icon StartupNotify SingleMainWindow; do
  grep -q "^$key=" "$entry" || fail "the desktop entry has no $key"
done
grep -qx 'Categories=Utility;' "$entry" || fail "the desktop entry is not in Utility"
grep -qx "Icon=$id" "$entry" || fail "the desktop entry names another icon"
complaints=$(desktop-file-validate "$entry" 2>&1 | grep -v 'key "SingleMainWindow" in group "Desktop Entry", but keys extending the format should start with "X-"' || true)
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<release version=\"$("$root/bin/tackora-cli" --version | awk '{print $2}')\"" \
  "$root/share/metainfo/$id.metainfo.xml" || fail "the metainfo's release is not the program's version"

for page in tackora tackora-cli; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done

# The installed programs run from there.
home=$work/home
"$root/bin/tackora-cli" --help | grep -q '^Usage: tackora-cli' || fail "tackora-cli --help"
# Asked for their version or usage, they answer without a display.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${nodisplay[@]}" "$root/bin/tackora" --version | grep -Eq '^tackora [0-9]+\.[0-9]+' || fail "tackora --version"
"${nodisplay[@]}" "$root/bin/tackora" --help | grep -q '^Usage: tackora' || fail "tackora --help"
status=0
"${nodisplay[@]}" "$root/bin/tackora" --bogus 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "tackora --bogus ended with $status, not 2"
shown=$(QT_QPA_PLATFORM=offscreen timeout 60 "$root/bin/tackora" --home "$home" --no-splash --exit-after-show)
[ "$shown" = shown ] || fail "the installed tackora did not show its board: $shown"
[ -f "$home/setup.ini" ] || fail "the installed tackora wrote no setup.ini into --home"
# Qt's own options stay Qt's: they are no wrong argument.
shown=$(QT_QPA_PLATFORM=offscreen timeout 60 "$root/bin/tackora" -platform offscreen --home "$home" --no-splash \
  --exit-after-show)
[ "$shown" = shown ] || fail "tackora -platform offscreen did not show its board: $shown"
# The calendar program answers the board from there, with the installed page.
answers=$(printf 'page %s\nshow\n' "$root/share/tackora/wnl.dat" |
  QT_QPA_PLATFORM=offscreen timeout 60 "$root/lib/tackora/tackora-calendar" 2>/dev/null | tr '\n' ' ')
[ "$answers" = "started shown " ] || fail "the installed tackora-calendar answered: $answers"
echo "installed and checked under $prefix"
