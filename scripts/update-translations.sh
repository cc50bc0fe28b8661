#!/usr/bin/env bash
# Refreshes translations/velmira_<lang>.ts from the sources: lupdate collects every
# marked Korean text (QT_TR_NOOP and UiText in the core, Tr in the editor), then
# fold_translations.py puts them into the one context the program looks them up in,
# keeping every translation already written. Texts no longer in the sources are
# dropped. Run it after adding or changing a text, then translate the new entries.
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-$(command -v lupdate6 || echo /usr/lib/qt6/bin/lupdate)}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$LUPDATE" -silent -no-obsolete -locations absolute \
  -tr-function-alias QT_TR_NOOP+=UiText,tr+=Tr \
  -extensions cpp,h src -ts "$tmp/extracted.ts" 2>"$tmp/lupdate.log" || { cat "$tmp/lupdate.log" >&2; exit 1; }
grep -v "lacks Q_OBJECT macro\|Cannot invoke tr() like this\|Qualifying with unknown\|undeclared qualified class" "$tmp/lupdate.log" >&2 || true
for lang in en ja; do
  python3 scripts/fold_translations.py "$tmp/extracted.ts" "translations/velmira_$lang.ts" "$lang"
done
