#!/bin/sh
# Times 1920 × 1080 BMP → 256-colour GIF side by side: Velmira (octree, no
# dithering), ImageMagick with -dither None -colors 256 and libvips' GIF save,
# both single-threaded. Runs alternate between the tools so a change in machine
# load hits every tool alike; the median of the rounds is reported with the peak
# memory and the ratio to each other tool.
#
#   bench/compare_gif.sh [VELMIRA_CLI]
#
# VELMIRA_CLI: path of velmira-cli, run as "VELMIRA_CLI convert IN OUT.gif".
# Without it the bench driver gif_driver (LoadFile, ReduceTo8Bit, SaveFile) stands in.
# Environment: BENCH_BIN (folder holding gif_driver; default build/bench),
# BENCH_WORK (inputs and outputs; default /tmp/velmira-gif-bench), ROUNDS (default 7).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
bin=${BENCH_BIN:-$here/../build/bench}
work=${BENCH_WORK:-/tmp/velmira-gif-bench}
rounds=${ROUNDS:-7}
if [ $# -ge 1 ]; then
  velmira="$1 convert"
else
  velmira="$bin/gif_driver"
  [ -x "$velmira" ] || { echo "no $velmira: build the bench targets first" >&2; exit 1; }
fi
command -v convert >/dev/null || { echo "ImageMagick's convert is missing" >&2; exit 1; }
command -v vips >/dev/null || { echo "libvips' vips is missing" >&2; exit 1; }
mkdir -p "$work"
cd "$work"

# A photo-like full-HD input, generated once.
if [ ! -s in.bmp ]; then
  echo "generating the 1920 x 1080 input (once)..." >&2
  convert -seed 7 -size 1920x1080 plasma:fractal -blur 0x1 -type truecolor BMP3:in.bmp
fi

cases() {
  cat <<EOF2
velmira|$velmira in.bmp out.gif
imagemagick|convert -limit thread 1 in.bmp -dither None -colors 256 out.gif
vips|env VIPS_CONCURRENCY=1 vips copy in.bmp out.gif
EOF2
}

results=results.txt
: > "$results"
now() { date +%s.%N; }
for round in $(seq "$rounds"); do
  cases | while IFS='|' read -r tool cmd; do
    rm -f out.gif
    start=$(now)
    if ! /usr/bin/time -f "%M %U %S" -o rss.txt sh -c "$cmd" >/dev/null 2>err.txt; then
      echo "$tool failed: $(cat err.txt)" >&2
      continue
    fi
    end=$(now)
    set -- $(tail -n 1 rss.txt)
    echo "$tool $(echo "$end - $start" | bc) $1 $(stat -c %s out.gif) $(echo "$2 + $3" | bc)" >> "$results"
  done
  echo "round $round done" >&2
done
rm -f out.gif

# Median wall seconds and median CPU seconds (user + system: the fairer figure on
# a loaded machine), peak kilobytes and output size per tool.
awk '
  { w[$1, ++n[$1]] = $2; c[$1, n[$1]] = $5; if ($3 > m[$1]) m[$1] = $3; size[$1] = $4 }
  function median(a, k, cnt,   i, j, v, tmp) {
    for (i = 1; i <= cnt; ++i) v[i] = a[k, i]
    for (i = 1; i <= cnt; ++i) for (j = i + 1; j <= cnt; ++j) if (v[j] < v[i]) { tmp = v[i]; v[i] = v[j]; v[j] = tmp }
    return (cnt % 2) ? v[(cnt + 1) / 2] : (v[cnt / 2] + v[cnt / 2 + 1]) / 2
  }
  END {
    for (k in n) { mw[k] = median(w, k, n[k]); mc[k] = median(c, k, n[k]) }
    printf "%-12s %7s %7s %10s %10s %8s %8s\n", "tool", "wall_s", "cpu_s", "vs_magick", "vs_vips", "peak_MB", "gif_KB"
    split("velmira imagemagick vips", tools, " ")
    for (q = 1; q <= 3; ++q) {
      k = tools[q]
      if (!(k in n)) continue
      printf "%-12s %7.3f %7.3f %9.2fx %9.2fx %8.1f %8.1f\n", k, mw[k], mc[k], mw[k] / mw["imagemagick"], mw[k] / mw["vips"], m[k] / 1024, size[k] / 1024
    }
  }' "$results"
