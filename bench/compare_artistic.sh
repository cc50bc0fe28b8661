#!/bin/sh
# Times velmira-cli's painterly filters on a 6000 x 4000 BMP, whole process, side by
# side with single-threaded ImageMagick and with a plain open-and-save:
#   paint     "watercolour"      beside convert -paint 3
#   spread    "frosted-glass 5"  beside convert -spread 5
#   lens      "lens"             beside velmira-cli's own open-and-save
#   bath      "bath-glass"       beside the same open-and-save
# and every other filter alone. Runs alternate between the tools (compare_common.sh),
# outputs go to tmpfs, and each row gives the median wall and CPU time, the peak
# memory and the ratio to the reference, followed by the range of wall times.
#
#   bench/compare_artistic.sh VELMIRA_CLI
#
# Environment: BENCH_WORK (default /dev/shm/velmira-artistic-bench), ROUNDS (default
# 5), VELMIRA_FILTER_THREADS (default 1, as ImageMagick runs on one thread).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/compare_common.sh"

[ $# -ge 1 ] || { echo "usage: $0 path/to/velmira-cli" >&2; exit 1; }
velmira="$(cd "$(dirname "$1")" && pwd)/$(basename "$1") convert"  # the runs happen in $work
work=${BENCH_WORK:-/dev/shm/velmira-artistic-bench}
rounds=${ROUNDS:-5}
export VELMIRA_FILTER_THREADS=${VELMIRA_FILTER_THREADS:-1}
command -v convert >/dev/null || { echo "ImageMagick's convert is missing" >&2; exit 1; }
mkdir -p "$work"
cd "$work"
export VELMIRA_HOME="$work/home"

# Smooth bands with noise on top: neither flat nor pure noise. Generated once.
[ -s in.bmp ] || convert -seed 5 -size 4000x6000 gradient:black-white -rotate 90 \
  \( -size 6000x4000 xc:gray50 +noise Uniform \) -compose overlay -composite -type truecolor BMP3:in.bmp

im="convert -limit thread 1"
others="stamp confetti line-colouring korean-paper rain-drops drops oil-painting dalmatian"

# case | tool | command
cases() {
  cat <<EOC
paint|velmira|$velmira --do watercolour in.bmp out.bmp
paint|imagemagick|$im in.bmp -paint 3 BMP3:out.bmp
spread|velmira|$velmira --do 'frosted-glass 5' in.bmp out.bmp
spread|imagemagick|$im in.bmp -spread 5 BMP3:out.bmp
lens|velmira|$velmira --do lens in.bmp out.bmp
lens|opensave|$velmira in.bmp out.bmp
bath|velmira|$velmira --do bath-glass in.bmp out.bmp
bath|opensave|$velmira in.bmp out.bmp
EOC
  for c in $others; do echo "$c|velmira|$velmira --do $c in.bmp out.bmp"; done
}

time_cases results.txt "$rounds"
medians results.txt > medians.txt
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; filter threads: $VELMIRA_FILTER_THREADS"
ratio_table medians.txt "paint spread lens bath $others" "velmira imagemagick opensave" "imagemagick opensave"
echo "wall time range (s):"
awk '{ k = $1 " " $2; if (!(k in lo) || $3 < lo[k]) lo[k] = $3; if ($3 > hi[k]) hi[k] = $3 }
     END { for (k in lo) printf "  %-24s %.3f - %.3f\n", k, lo[k], hi[k] }' results.txt | sort
