#!/bin/sh
# Times whole geometric conversions side by side: velmira-cli, ImageMagick and
# libvips, both single-threaded, reading and writing BMP:
#   resize50   a 6000 x 4000 picture to 50 % (area average / box)
#   resize200  a 1920 x 1080 picture to 200 % (bilinear)
#   rotflip    a 6000 x 4000 picture turned 90 degrees, then mirrored left-right
#   freerot    a 4000 x 3000 picture freely rotated by 30 degrees (velmira only)
# Runs alternate between the tools so that a change in machine load hits every tool
# alike; the median wall and CPU time of the rounds and the peak memory are shown,
# with ratios to ImageMagick and to libvips.
#
#   bench/compare_transforms.sh VELMIRA_CLI
#
# Environment: BENCH_WORK (inputs and outputs; default /tmp/velmira-transform-bench),
# ROUNDS (default 5).
set -eu

[ $# -ge 1 ] || { echo "usage: $0 path/to/velmira-cli" >&2; exit 1; }
velmira="$1 convert"
work=${BENCH_WORK:-/tmp/velmira-transform-bench}
rounds=${ROUNDS:-5}
command -v convert >/dev/null || { echo "ImageMagick's convert is missing" >&2; exit 1; }
command -v vips >/dev/null || { echo "libvips' vips is missing" >&2; exit 1; }
mkdir -p "$work"
cd "$work"
export VELMIRA_HOME="$work/home"

# A photo-like input, generated once and kept.
if [ ! -s in.jpg ]; then
  echo "generating the 6000 x 4000 input (once)..." >&2
  convert -seed 7 -size 6000x4000 plasma:fractal -blur 0x1 -quality 92 in.jpg
fi
[ -s in.bmp ] || convert in.jpg -type truecolor BMP3:in.bmp
[ -s small.bmp ] || convert in.jpg -resize '1920x1080!' -type truecolor BMP3:small.bmp
[ -s mid.bmp ] || convert in.jpg -resize '4000x3000!' -type truecolor BMP3:mid.bmp

im="convert -limit thread 1"
vips="env VIPS_CONCURRENCY=1 vips"

# case | tool | command
cases() {
  cat <<EOC
resize50|velmira|$velmira --do 'resize 3000 2000' in.bmp out.bmp
resize50|imagemagick|$im in.bmp -filter box -resize 50% BMP3:out.bmp
resize50|vips|$vips shrink in.bmp out.bmp 2 2
resize200|velmira|$velmira --do 'resize 3840 2160' small.bmp out.bmp
resize200|imagemagick|$im small.bmp -filter triangle -resize 200% BMP3:out.bmp
resize200|vips|$vips resize small.bmp out.bmp 2 --kernel linear
rotflip|velmira|$velmira --do 'rotate 90' --do flip-h in.bmp out.bmp
rotflip|imagemagick|$im in.bmp -rotate 90 -flop BMP3:out.bmp
rotflip|vips|$vips rot in.bmp t.v d90 && $vips flip t.v out.bmp horizontal
freerot|velmira|$velmira --do 'free-rotate 30' mid.bmp out.bmp
EOC
}

results=results.txt
: > "$results"
now() { date +%s.%N; }
for round in $(seq "$rounds"); do
  cases | while IFS='|' read -r name tool cmd; do
    rm -f out.bmp t.v
    start=$(now)
    if ! /usr/bin/time -f "%M %U %S" -o rss.txt sh -c "$cmd" >/dev/null 2>err.txt; then
      echo "$name $tool failed: $(cat err.txt)" >&2
      continue
    fi
    end=$(now)
    set -- $(tail -n 1 rss.txt)
    echo "$name $tool $(echo "$end - $start" | bc) $1 $(echo "$2 + $3" | bc)" >> "$results"
  done
  echo "round $round done" >&2
done
rm -f out.bmp t.v

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
awk '
  function median(arr, c,   i, j, tmp) {
    for (i = 2; i <= c; ++i) for (j = i; j > 1 && arr[j - 1] > arr[j]; --j) { tmp = arr[j]; arr[j] = arr[j - 1]; arr[j - 1] = tmp }
    return (c % 2) ? arr[(c + 1) / 2] : (arr[c / 2] + arr[c / 2 + 1]) / 2
  }
  { key = $1 " " $2; c = ++n[key]; wall[key, c] = $3; cpu[key, c] = $5; if ($4 > m[key]) m[key] = $4; keys[key] = 1 }
  END {
    for (k in keys) {
      delete a; delete b
      for (i = 1; i <= n[k]; ++i) { a[i] = wall[k, i]; b[i] = cpu[k, i] }
      w[k] = median(a, n[k]); u[k] = median(b, n[k])
    }
    printf "%-10s %-12s %8s %8s %8s %9s %9s %8s\n", "case", "tool", "wall_s", "cpu_s", "peak_MB", "vs_IM", "vs_vips", ""
    split("resize50 resize200 rotflip freerot", names, " ")
    split("velmira imagemagick vips", tools, " ")
    for (p = 1; p <= 4; ++p) {
      for (q = 1; q <= 3; ++q) {
        k = names[p] " " tools[q]
        if (!(k in keys)) continue
        im = names[p] " imagemagick"; vp = names[p] " vips"
        ri = (im in keys) ? sprintf("%.2fx", w[k] / w[im]) : "-"
        rv = (vp in keys) ? sprintf("%.2fx", w[k] / w[vp]) : "-"
        printf "%-10s %-12s %8.3f %8.3f %8.1f %9s %9s\n", names[p], tools[q], w[k], u[k], m[k] / 1024, ri, rv
      }
    }
  }' "$results"
