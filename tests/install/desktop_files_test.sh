#!/usr/bin/env bash
# The desktop files as the desktop's own tools read them: the entry, the AppStream
# metainfo, the MIME package (compiled into a scratch MIME database, which must
# then know *.vlm by name and by its first bytes, and *.sco by name), and the manual
# page, which must list every command `velmira-cli --help` names.
# Usage: desktop_files_test.sh SOURCE_DIR VELMIRA_CLI
set -euo pipefail
src=$1
cli=$2
d=$src/desktop
id=org.velmira.Velmira
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$d/$id.desktop" || fail "desktop entry"
grep -qx 'Exec=velmira %F' "$d/$id.desktop" || fail "Exec line"
grep -q '^Categories=.*Graphics;.*RasterGraphics;' "$d/$id.desktop" || fail "categories"
grep -q '^MimeType=.*application/x-velmira-vlm;' "$d/$id.desktop" || fail "own MIME type in the entry"

appstreamcli validate --no-net "$d/$id.metainfo.xml" || fail "metainfo"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$d/$id.metainfo.xml" || fail "launchable"

xmllint --noout "$d/velmira-mime.xml" || fail "MIME package is not well-formed XML"
mkdir -p "$scratch/mime/packages"
cp "$d/velmira-mime.xml" "$scratch/mime/packages/velmira.xml"
out=$(XDG_DATA_DIRS="$scratch" update-mime-database "$scratch/mime" 2>&1) || fail "update-mime-database: $out"
[ -z "$out" ] || fail "update-mime-database complained: $out"
grep -q '^50:application/x-velmira-vlm:\*\.vlm$' "$scratch/mime/globs2" || fail "*.vlm glob"
grep -q '^50:application/x-velmira-sco:\*\.sco$' "$scratch/mime/globs2" || fail "*.sco glob"
grep -aq 'application/x-velmira-vlm' "$scratch/mime/magic" || fail "VLM magic"
[ -f "$scratch/mime/application/x-velmira-vlm.xml" ] || fail "VLM type file"

# The manual page renders without warnings and lists every command.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$d/velmira-cli.1" 2>&1 >/dev/null) || fail "man"
[ -z "$warnings" ] || fail "man page warnings: $warnings"
page=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$d/velmira-cli.1" 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g; s/.\x08//g')
help=$("$cli" --help)
commands=$(printf '%s\n' "$help" | sed -n '/^Commands:/,$p' | sed -n 's/^  \([a-z0-9-]\+\).*/\1/p')
[ "$(printf '%s\n' "$commands" | wc -l)" -gt 50 ] || fail "could not read the command list from --help"
for c in $commands info convert movie devices scan --json --fg --bg --brush --tolerance --border-spread \
         --quality --history --calibration --decimals --font --font-style --version; do
  grep -qE -- "(^|[[:space:]])$c([[:space:]]|$)" <<<"$page" || fail "man page lacks $c"
done
echo "desktop files ok"
