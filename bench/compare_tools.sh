#!/bin/sh
# Times the area tools as whole velmira-cli conversions of a 6000 x 4000 BMP that is
# one region (every pixel the same colour), side by side with ImageMagick's flood
# fill, single-threaded:
#   copy      open and save only (what every case below also pays)
#   fill      flood fill from the centre (velmira fill / ImageMagick floodfill)
#   wand      magic wand from the centre (velmira only; compare with copy)
#   range     colour-range selection (velmira only; compare with copy)
# Runs alternate between the tools so that a change in machine load hits every tool
# alike; the median wall and CPU time of the rounds and the peak memory are shown,
# with the ratio to ImageMagick where it does the same work.
#
#   bench/compare_tools.sh VELMIRA_CLI
#
# Environment: BENCH_WORK (inputs and outputs; default /tmp/velmira-tools-bench),
# ROUNDS (default 5).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/compare_common.sh"

[ $# -ge 1 ] || { echo "usage: $0 path/to/velmira-cli" >&2; exit 1; }
velmira="$1 convert"
work=${BENCH_WORK:-/tmp/velmira-tools-bench}
rounds=${ROUNDS:-5}
command -v convert >/dev/null || { echo "ImageMagick's convert is missing" >&2; exit 1; }
mkdir -p "$work"
cd "$work"
export VELMIRA_HOME="$work/home"

[ -s flat.bmp ] || convert -size 6000x4000 xc:'#808080' -type truecolor BMP3:flat.bmp

im="convert -limit thread 1"

# case | tool | command
cases() {
  cat <<EOC
copy|velmira|$velmira flat.bmp out.bmp
copy|imagemagick|$im flat.bmp BMP3:out.bmp
fill|velmira|$velmira --fg '#c81e1e' --do 'fill 3000 2000 10' flat.bmp out.bmp
fill|imagemagick|$im flat.bmp -fill '#c81e1e' -draw 'color 3000,2000 floodfill' BMP3:out.bmp
wand|velmira|$velmira --do 'magic-wand 3000 2000 25' flat.bmp out.bmp
range|velmira|$velmira --do 'select-colour-range 3000 2000 10' flat.bmp out.bmp
EOC
}

time_cases results.txt "$rounds"
medians results.txt > medians.txt

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
ratio_table medians.txt "copy fill wand range" "velmira imagemagick" "imagemagick"
