#!/usr/bin/env bash
# Time from starting the editor on a 24-megapixel JPEG to its first painted picture.
# Usage: bench/startup.sh [build-dir] [runs]   (default: build, 5 runs)
# Prints the editor's own figure (main() to the first paint of the view) and the
# wall-clock time of the whole process (start, first paint, exit).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
runs="${2:-5}"
exe="$build/src/ui/velmira"
[ -x "$exe" ] || { echo "no editor at $exe; build it first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
picture="$work/plasma-6000x4000.jpg"
convert -size 6000x4000 plasma:fractal -quality 92 "$picture"
echo "picture: $(identify -format '%wx%h' "$picture"), $(du -h "$picture" | cut -f1)"

export VELMIRA_HOME="$work/home"
export VELMIRA_REPORT_FIRST_PAINT=1 VELMIRA_EXIT_AFTER_FIRST_PAINT=1
platform=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then export QT_QPA_PLATFORM=offscreen; fi

for i in $(seq "$runs"); do
  start=$(date +%s%N)
  inner=$("$exe" "$picture" 2>/dev/null | awk '/first-paint-ms/ {print $2}')
  end=$(date +%s%N)
  echo "run $i: first paint ${inner} ms after main(); whole process $(( (end - start) / 1000000 )) ms"
done
