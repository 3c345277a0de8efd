#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks what apt and the
# desktop get: its name, control data, contents, lintian's verdict where
# lintian is installed, and the program started the way the menu entry starts it.
# check-package.sh BUILD_DIR [OUT_DIR]   (OUT_DIR keeps the package)
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keep=${2:-}
out=$work/out # cpack leaves its staging folder beside the package
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
version=$("$build/bin/tackora-cli" --version | awk '{print $2}')
deb=$out/tackora_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$out")"
if [ -n "$keep" ]; then
  cp "$deb" "$keep/"
fi

dpkg-deb -I "$deb" >"$work/control"
field() { sed -n "s/^ $1: //p" "$work/control"; }
[ "$(field Package)" = tackora ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "architecture $(field Architecture)"
depends=$(field Depends)
for needed in fonts-noto-cjk libqt6widgets6 libqt6webenginecore6 libqt6webenginecore6-bin libqt6multimedia6 libc6; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
grep -q qt6-translations-l10n <<<"$(field Recommends)" || fail "qt6-translations-l10n is not recommended"

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
id=org.tackora.Tackora
for file in ./usr/bin/tackora ./usr/bin/tackora-cli ./usr/lib/tackora/libtackora_sound.so \
  ./usr/lib/tackora/tackora-calendar ./usr/share/tackora/wnl.dat ./usr/share/applications/$id.desktop \
  ./usr/share/metainfo/$id.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/$id.svg \
  ./usr/share/icons/hicolor/48x48/apps/$id.png ./usr/share/man/man1/tackora.1.gz ./usr/share/man/man1/tackora-cli.1.gz \
  ./usr/share/doc/tackora/copyright ./usr/share/doc/tackora/changelog.gz; do
  grep -qxF "$file" "$work/contents" || fail "the package lacks $file"
done

if command -v lintian >/dev/null; then
  # Errors fail; warnings are shown.
  lintian --no-tag-display-limit "$deb" >"$work/lintian" 2>&1 || true
  cat "$work/lintian"
  ! grep -q '^E:' "$work/lintian" || fail "lintian reports errors"
fi

# Unpacked, the menu entry's command starts the program.
dpkg-deb -x "$deb" "$work/root"
exec_line=$(sed -n 's/^Exec=//p' "$work/root/usr/share/applications/$id.desktop")
program=${exec_line%% *}
[ -x "$work/root/usr/bin/$program" ] || fail "the entry runs $program, which the package does not hold"
shown=$(QT_QPA_PLATFORM=offscreen timeout 60 "$work/root/usr/bin/$program" --home "$work/home" --no-splash \
  --exit-after-show)
[ "$shown" = shown ] || fail "the packaged program did not show its board"
echo "package $(basename "$deb") checked"
