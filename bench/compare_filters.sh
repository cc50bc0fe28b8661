#!/usr/bin/env bash
# Times velmira-cli's filters and point operations on a 24-megapixel picture, whole
# process, beside single-threaded ImageMagick and libvips doing a 4 x 4 mean.
#
#   bench/compare_filters.sh [BUILD_DIR] [RUNS]
#
# Each figure is the best of RUNS wall-clock runs (default 3). The picture is made
# once under $TMPDIR. ImageMagick and libvips rows are skipped when the tools are
# missing. The no-op convert row is the floor every velmira-cli row stands on
# (reading and writing 72 MB of BMP).
set -euo pipefail

BUILD=${1:-"$(dirname "$0")/../build"}
RUNS=${2:-3}
CLI="$BUILD/src/cli/velmira-cli"
[ -x "$CLI" ] || { echo "no velmira-cli in $BUILD (build it first)" >&2; exit 1; }
WORK=${TMPDIR:-/tmp}/velmira-compare-filters
mkdir -p "$WORK"
IN="$WORK/in24.bmp"

if [ ! -f "$IN" ]; then
  python3 - "$IN" <<'EOF'
import os, struct, sys, random
w, h = 6000, 4000
row = w * 3
pad = (4 - row % 4) % 4
# Smooth bands with noise on top: neither flat nor pure noise.
rnd = random.Random(5)
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

best() {  # best wall time in seconds of RUNS runs of "$@"
  local b=""
  for _ in $(seq "$RUNS"); do
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "failed"; return; }
    t1=$(date +%s.%N)
    b=$(echo "$t0 $t1 ${b:-1e9}" | awk '{d = $2 - $1; print (d < $3 ? d : $3)}')
  done
  printf '%.3f' "$b"
}

row() { printf '%-48s %8s s\n' "$1" "$2"; }

echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
row "velmira-cli convert (no command)" "$(best "$CLI" convert "$IN" "$WORK/out.bmp")"
for c in "blur 4" "blur 2" "blur 9" "soften 4" "erode 2" "erode 9" "dilate 2" "dilate 9" "sharpen" \
         "edge-emphasis 10 1" "brightness-contrast 10 20" "rgb-offset 5 -5 9" "levels 0 10 240" "invert"; do
  row "velmira-cli --do '$c'" "$(best "$CLI" convert --do "$c" "$IN" "$WORK/out.bmp")"
done

MASK="$WORK/mean4.mat"
printf '4 4 16 0\n1 1 1 1\n1 1 1 1\n1 1 1 1\n1 1 1 1\n' >"$MASK"
IM=$(command -v convert-im6.q16 || command -v magick || command -v convert || true)
if [ -n "$IM" ]; then
  row "ImageMagick 1 thread -morphology Convolve 4x4 /16" \
    "$(best "$IM" -limit thread 1 "$IN" -define convolve:scale='!' -morphology Convolve \
      '4x4:1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1' "$WORK/out_im.bmp")"
fi
if command -v vips >/dev/null; then
  [ -f "$WORK/in24.ppm" ] || vips copy "$IN" "$WORK/in24.ppm"
  row "vips conv 4x4 integer, 1 thread, PPM to PPM" \
    "$(best env VIPS_CONCURRENCY=1 vips conv "$WORK/in24.ppm" "$WORK/out_vips.ppm" "$MASK" --precision integer)"
  row "vips conv 4x4 integer, 1 thread, BMP to .v" \
    "$(best env VIPS_CONCURRENCY=1 vips conv "$IN" "$WORK/out_vips.v" "$MASK" --precision integer)"
fi
