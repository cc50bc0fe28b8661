#!/bin/sh
# Times whole conversions side by side on a generated 6000 × 4000 picture:
# Velmira, the floor (libjpeg-turbo / libtiff alone), ImageMagick and libvips, both
# single-threaded. Runs alternate between the tools so that a change in machine load
# hits every tool alike; the median of the rounds is reported with the peak memory.
#
#   bench/compare_codecs.sh [VELMIRA_CLI]
#
# Besides wall time the processes' CPU time (user + system) is reported: on a
# machine shared with other work it is the steadier of the two.
#
# VELMIRA_CLI: path of velmira-cli, run as "VELMIRA_CLI convert IN OUT". Without it
# the bench driver codec_driver (LoadFile + SaveFile) stands in.
# Environment: BENCH_BIN (folder holding floor_codec and codec_driver; default
# build/bench), BENCH_WORK (inputs and outputs; default /tmp/velmira-codec-bench),
# ROUNDS (default 5).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
. "$here/compare_common.sh"
bin=${BENCH_BIN:-$here/../build/bench}
work=${BENCH_WORK:-/tmp/velmira-codec-bench}
rounds=${ROUNDS:-5}
floor="$bin/floor_codec"
if [ $# -ge 1 ]; then
  velmira="$1 convert"
else
  velmira="$bin/codec_driver"
fi
[ -x "$floor" ] || { echo "no $floor: build the bench targets first" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick's convert is missing" >&2; exit 1; }
command -v vips >/dev/null || { echo "libvips' vips is missing" >&2; exit 1; }
mkdir -p "$work"
cd "$work"

# A photo-like input: plasma has the spread of detail of a real photograph, so the
# JPEG coder does realistic work; generated once and kept.
if [ ! -s in.jpg ]; then
  echo "generating the 6000 x 4000 input (once)..." >&2
  convert -seed 7 -size 6000x4000 plasma:fractal -blur 0x1 -quality 92 in.jpg
fi
[ -s in.bmp ] || convert in.jpg -type truecolor BMP3:in.bmp

im="convert -limit thread 1"
vips="env VIPS_CONCURRENCY=1 vips"

# path | tool | command with IN and OUT
cases() {
  cat <<EOF
jpeg-bmp|velmira|$velmira in.jpg out.bmp
jpeg-bmp|floor|$floor jpeg2bmp in.jpg out.bmp
jpeg-bmp|imagemagick|$im in.jpg BMP3:out.bmp
jpeg-bmp|vips|$vips copy in.jpg out.bmp
bmp-jpeg|velmira|$velmira in.bmp out.jpg
bmp-jpeg|floor|$floor bmp2jpeg in.bmp out.jpg
bmp-jpeg|imagemagick|$im in.bmp -quality 100 out.jpg
bmp-jpeg|vips|$vips copy in.bmp out.jpg[Q=100]
bmp-tiff|velmira|$velmira in.bmp out.tif
bmp-tiff|floor|$floor bmp2tiff in.bmp out.tif
bmp-tiff|imagemagick|$im in.bmp -compress JPEG -quality 100 -define tiff:rows-per-strip=8 out.tif
bmp-tiff|vips|$vips tiffsave in.bmp out.tif --compression jpeg --Q 100
bmp-bmp|velmira|$velmira in.bmp out.bmp
bmp-bmp|imagemagick|$im in.bmp BMP3:out.bmp
bmp-bmp|vips|$vips copy in.bmp out.bmp
EOF
}

time_cases results.txt "$rounds"
medians results.txt > medians.txt

# Medians of wall and CPU seconds and the peak resident memory per path and tool,
# with ratios to the floor (for BMP to BMP, to ImageMagick).
awk '
  { w[$1 " " $2] = $3; u[$1 " " $2] = $4; m[$1 " " $2] = $5 }
  END {
    printf "%-9s %-12s %8s %7s %8s %7s %8s\n", "path", "tool", "wall_s", "ratio", "cpu_s", "ratio", "peak_MB"
    split("jpeg-bmp bmp-jpeg bmp-tiff bmp-bmp", paths, " ")
    split("velmira floor imagemagick vips", tools, " ")
    for (p = 1; p <= 4; ++p) {
      ref = (paths[p] == "bmp-bmp") ? paths[p] " imagemagick" : paths[p] " floor"
      for (q = 1; q <= 4; ++q) {
        k = paths[p] " " tools[q]
        if (!(k in w)) continue
        printf "%-9s %-12s %8.3f %6.2fx %8.3f %6.2fx %8.1f\n", paths[p], tools[q], w[k], w[k] / w[ref], u[k], u[k] / u[ref], m[k] / 1024
      }
    }
  }' medians.txt
