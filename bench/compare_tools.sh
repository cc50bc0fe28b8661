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

results=results.txt
: > "$results"
now() { date +%s.%N; }
for round in $(seq "$rounds"); do
  cases | while IFS='|' read -r name tool cmd; do
    rm -f out.bmp
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
rm -f out.bmp

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
    printf "%-10s %-12s %8s %8s %8s %9s\n", "case", "tool", "wall_s", "cpu_s", "peak_MB", "vs_IM"
    split("copy fill wand range", names, " ")
    split("velmira imagemagick", tools, " ")
    for (p = 1; p <= 4; ++p) {
      for (q = 1; q <= 2; ++q) {
        k = names[p] " " tools[q]
        if (!(k in keys)) continue
        im = names[p] " imagemagick"
        ri = (im in keys) ? sprintf("%.2fx", w[k] / w[im]) : "-"
        printf "%-10s %-12s %8.3f %8.3f %8.1f %9s\n", names[p], tools[q], w[k], u[k], m[k] / 1024, ri
      }
    }
  }' "$results"
