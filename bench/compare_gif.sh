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
    if ! /usr/bin/time -f "%M" -o rss.txt sh -c "$cmd" >/dev/null 2>err.txt; then
      echo "$tool failed: $(cat err.txt)" >&2
      continue
    fi
    end=$(now)
    echo "$tool $(echo "$end - $start" | bc) $(tail -n 1 rss.txt) $(stat -c %s out.gif)" >> "$results"
  done
  echo "round $round done" >&2
done
rm -f out.gif

sort -k1,1 -k2,2n "$results" | awk '
  { t[$1, ++n[$1]] = $2; if ($3 > m[$1]) m[$1] = $3; size[$1] = $4 }
  END {
    for (k in n) { c = n[k]; med[k] = (c % 2) ? t[k, (c + 1) / 2] : (t[k, c / 2] + t[k, c / 2 + 1]) / 2 }
    printf "%-12s %8s %10s %10s %9s %9s\n", "tool", "median_s", "vs_magick", "vs_vips", "peak_MB", "gif_KB"
    split("velmira imagemagick vips", tools, " ")
    for (q = 1; q <= 3; ++q) {
      k = tools[q]
      if (!(k in n)) continue
      printf "%-12s %8.3f %9.2fx %9.2fx %9.1f %9.1f\n", k, med[k], med[k] / med["imagemagick"], med[k] / med["vips"], m[k] / 1024, size[k] / 1024
    }
  }'
