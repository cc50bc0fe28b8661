#!/usr/bin/env bash
# Times velmira-cli's painterly filters on a 6000 x 4000 BMP, whole process, side by
# side in one run with single-threaded ImageMagick (-paint 3 beside "watercolour",
# -spread 5 beside "frosted-glass 5") and with a plain open-and-save (beside "lens"
# and "bath-glass").
#
#   bench/compare_artistic.sh [BUILD_DIR] [RUNS] [THREADS]
#
# Each row gives the median wall time and the median CPU time (user + system) of RUNS
# runs (default 5) with the smallest and largest wall time. The machine is shared, so
# wall times move with the load; CPU time moves less. THREADS (default 1) is passed as
# VELMIRA_FILTER_THREADS so the comparison with one ImageMagick thread is even.
set -euo pipefail

BUILD=${1:-"$(dirname "$0")/../build"}
RUNS=${2:-5}
THREADS=${3:-1}
CLI="$BUILD/src/cli/velmira-cli"
[ -x "$CLI" ] || { echo "no velmira-cli in $BUILD (build it first)" >&2; exit 1; }
# Outputs on tmpfs, so that the disk does not time the runs.
WORK=${VELMIRA_BENCH_DIR:-/dev/shm}/velmira-compare-artistic
mkdir -p "$WORK"
IN="$WORK/in24.bmp"

if [ ! -f "$IN" ]; then
  # Smooth bands with noise on top, as the enhancement filters' comparison uses.
  python3 - "$IN" <<'EOF'
import os, struct, sys
w, h = 6000, 4000
row = w * 3
pad = (4 - row % 4) % 4
rows = []
base = bytes((x * 255 // (w - 1)) for x in range(w))
for y in range(h):
    noise = os.urandom(w)
    r = bytearray(row + pad)
    g = (y * 255) // (h - 1)
    r[0:row:3] = bytes((b >> 2) + (x >> 1) for b, x in zip(noise, base))
    r[1:row:3] = bytes([g]) * w
    r[2:row:3] = base
    rows.append(bytes(r))
data = b"".join(rows)
hdr = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54) + struct.pack(
    "<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(hdr + data)
EOF
fi

# median wall, median cpu, min wall, max wall of RUNS runs of "$@"
measure() {
  local walls=() cpus=()
  for _ in $(seq "$RUNS"); do
    local out TIMEFORMAT='%R %U %S'
    out=$( { time "$@" >/dev/null 2>/dev/null; } 2>&1 | tail -1) || { echo "failed"; return; }
    walls+=("$(echo "$out" | awk '{print $1}')")
    cpus+=("$(echo "$out" | awk '{print $2 + $3}')")
  done
  local mw mc lo hi
  mw=$(printf '%s\n' "${walls[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  mc=$(printf '%s\n' "${cpus[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  lo=$(printf '%s\n' "${walls[@]}" | sort -g | head -1)
  hi=$(printf '%s\n' "${walls[@]}" | sort -g | tail -1)
  printf '%6.2f %6.2f %6.2f %6.2f' "$mw" "$mc" "$lo" "$hi"
}

row() { printf '%-44s %s\n' "$1" "$2"; }

export VELMIRA_FILTER_THREADS=$THREADS
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); velmira filter threads: $THREADS; runs: $RUNS"
printf '%-44s %6s %6s %6s %6s\n' "" "wall" "cpu" "min" "max"
row "velmira-cli convert (open and save)" "$(measure "$CLI" convert "$IN" "$WORK/out.bmp")"
IM=$(command -v convert-im6.q16 || command -v magick || command -v convert || true)
if [ -n "$IM" ]; then
  row "ImageMagick 1 thread -paint 3" "$(measure "$IM" -limit thread 1 "$IN" -paint 3 "$WORK/out_im.bmp")"
  row "ImageMagick 1 thread -spread 5" "$(measure "$IM" -limit thread 1 "$IN" -spread 5 "$WORK/out_im.bmp")"
fi
for c in "watercolour" "frosted-glass 5" "lens" "bath-glass" "stamp" "confetti" "line-colouring" "korean-paper" \
         "rain-drops" "frosted-glass 1" "frosted-glass 15" "drops" "oil-painting" "dalmatian"; do
  row "velmira-cli --do '$c'" "$(measure "$CLI" convert --do "$c" "$IN" "$WORK/out.bmp")"
done
