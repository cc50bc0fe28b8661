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
here=$(cd "$(dirname "$0")" && pwd)
. "$here/compare_common.sh"

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

time_cases results.txt "$rounds"
medians results.txt > medians.txt

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
ratio_table medians.txt "resize50 resize200 rotflip freerot" "velmira imagemagick vips" "imagemagick vips"
