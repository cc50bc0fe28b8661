#!/usr/bin/env bash
# Installs the build into a scratch prefix, moves the prefix elsewhere (so nothing
# can lean on where it was installed) and runs the installed programs from there
# with a working folder outside the source and build trees: velmira-cli converts a
# picture and draws text (through its text module), and the editor starts offscreen, reports its shared folder (which must
# be the moved prefix's), paints the picture, quits, and leaves no history folder.
# Usage: installed_tree_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/installed" >/dev/null || fail "cmake --install"
id=org.velmira.Velmira
for f in bin/velmira bin/velmira-cli share/velmira/Samples/velmira-sample.bmp share/velmira/FirstShow.ini \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/mime/packages/velmira.xml \
         share/man/man1/velmira-cli.1 share/icons/hicolor/scalable/apps/$id.svg lib/velmira/velmira-text.so; do
  [ -f "$scratch/installed/$f" ] || fail "not installed: $f"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$scratch/installed/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || fail "no ${size}px icon"
  file "$png" | grep -q "PNG image data, $size x $size" || fail "${size}px icon: $(file "$png")"
done

mv "$scratch/installed" "$scratch/moved"
prefix=$scratch/moved
mkdir -p "$scratch/work" "$scratch/home"
cd "$scratch/work"
export VELMIRA_HOME=$scratch/home
unset VELMIRA_SHARE
sample=$prefix/share/velmira/Samples/velmira-sample.bmp

"$prefix/bin/velmira-cli" convert --do 'resize 80 60' "$sample" small.jpg || fail "installed velmira-cli convert"
info=$("$prefix/bin/velmira-cli" info small.jpg) || fail "installed velmira-cli info"
grep -q '80 x 60, 24 bits per pixel, JPEG' <<<"$info" || fail "converted picture: $info"
"$prefix/bin/velmira-cli" convert --do 'resize 80 60' "$sample" plain.bmp || fail "installed velmira-cli convert"
"$prefix/bin/velmira-cli" convert --do 'resize 80 60' --fg '#ff0000' --do 'text 5 5 20 "Ab"' "$sample" text.bmp \
  || fail "installed velmira-cli text"
! cmp -s plain.bmp text.bmp || fail "the installed velmira-cli drew no text"

out=$(QT_QPA_PLATFORM=offscreen VELMIRA_REPORT_FIRST_PAINT=1 VELMIRA_EXIT_AFTER_FIRST_PAINT=1 \
      timeout 120 "$prefix/bin/velmira" "$sample" 2>"$scratch/editor.err") || {
  cat "$scratch/editor.err" >&2
  fail "installed editor did not start and quit"
}
grep -qx "shared-folder $prefix/share/velmira" <<<"$out" || fail "shared folder outside the prefix: $out"
grep -q '^first-paint-ms [0-9]\+$' <<<"$out" || fail "the editor painted nothing: $out"
if [ -d "$VELMIRA_HOME/tmp" ] && [ -n "$(ls -A "$VELMIRA_HOME/tmp")" ]; then
  fail "the editor left history behind: $(ls -A "$VELMIRA_HOME/tmp")"
fi
echo "installed tree ok"
