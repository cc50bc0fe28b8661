# Shared by the compare_*.sh scripts (sourced, not run).
#
# time_cases RESULTS ROUNDS: runs every "case|tool|command" line that the caller's
# `cases` function prints, ROUNDS times, alternating the tools within each round so
# that a change in machine load hits every tool alike, and appends
# "case tool wall_s peak_KB cpu_s" per run to RESULTS. Outputs named out.* are
# removed between runs.
#
# medians RESULTS: one line per case and tool: "case tool wall_s cpu_s peak_KB",
# the medians of wall and CPU (user + system) seconds and the largest peak.

time_cases() {
  _results=$1
  : > "$_results"
  for _round in $(seq "$2"); do
    cases | while IFS='|' read -r _name _tool _cmd; do
      rm -f out.* t.v
      _start=$(date +%s.%N)
      if ! /usr/bin/time -f "%M %U %S" -o rss.txt sh -c "$_cmd" >/dev/null 2>err.txt; then
        echo "$_name $_tool failed: $(cat err.txt)" >&2
        continue
      fi
      _end=$(date +%s.%N)
      set -- $(tail -n 1 rss.txt)
      echo "$_name $_tool $(echo "$_end - $_start" | bc) $1 $(echo "$2 + $3" | bc)" >> "$_results"
    done
    echo "round $_round done" >&2
  done
  rm -f out.* t.v
}

medians() {
  awk '
    function median(arr, c,   i, j, tmp) {
      for (i = 2; i <= c; ++i) for (j = i; j > 1 && arr[j - 1] > arr[j]; --j) { tmp = arr[j]; arr[j] = arr[j - 1]; arr[j - 1] = tmp }
      return (c % 2) ? arr[(c + 1) / 2] : (arr[c / 2] + arr[c / 2 + 1]) / 2
    }
    { key = $1 " " $2; c = ++n[key]; wall[key, c] = $3; cpu[key, c] = $5; if ($4 > m[key]) m[key] = $4 }
    END {
      for (k in n) {
        delete a; delete b
        for (i = 1; i <= n[k]; ++i) { a[i] = wall[k, i]; b[i] = cpu[k, i] }
        print k, median(a, n[k]), median(b, n[k]), m[k]
      }
    }' "$1"
}

# ratio_table MEDIANS "CASES" "TOOLS" "REFS": a row per case and tool in the given
# order, with each run's wall time as a ratio to each reference tool's (REFS names
# tools; the column shows "-" where the reference did not run that case).
ratio_table() {
  awk -v names="$2" -v tools="$3" -v refs="$4" '
    { w[$1 " " $2] = $3; u[$1 " " $2] = $4; m[$1 " " $2] = $5 }
    END {
      np = split(names, cs, " "); nt = split(tools, ts, " "); nr = split(refs, rs, " ")
      printf "%-10s %-12s %8s %8s %8s", "case", "tool", "wall_s", "cpu_s", "peak_MB"
      for (r = 1; r <= nr; ++r) printf " %14s", "vs_" rs[r]
      printf "\n"
      for (p = 1; p <= np; ++p) for (q = 1; q <= nt; ++q) {
        k = cs[p] " " ts[q]
        if (!(k in w)) continue
        printf "%-10s %-12s %8.3f %8.3f %8.1f", cs[p], ts[q], w[k], u[k], m[k] / 1024
        for (r = 1; r <= nr; ++r) {
          ref = cs[p] " " rs[r]
          printf " %14s", (ref in w) ? sprintf("%.2fx", w[k] / w[ref]) : "-"
        }
        printf "\n"
      }
    }' "$1"
}
