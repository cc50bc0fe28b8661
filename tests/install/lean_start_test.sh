#!/usr/bin/env bash
# velmira-cli must not load at start the libraries only some commands need: FFmpeg
# (movies), Qt Gui (text) and libxlsxwriter (workbooks) are opened on first use.
# Linked directly they made every conversion start 0.1 s slower and hold 29 MB more.
# The commands that use them are tested elsewhere; this checks that a plain
# conversion maps none of them.
# Usage: lean_start_test.sh VELMIRA_CLI PICTURE
set -euo pipefail
cli=$1
picture=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export VELMIRA_HOME=$scratch/home
# LD_DEBUG=files lists every library the dynamic linker loads, including dlopen.
LD_DEBUG=files "$cli" convert "$picture" "$scratch/out.jpg" 2>"$scratch/ld.txt" >/dev/null
grep -q 'file=libjpeg' "$scratch/ld.txt" || { echo "FAIL: the loader trace shows no libjpeg" >&2; exit 1; }
if loaded=$(grep -oE 'file=(libav[a-z]*|libswscale|libQt6Gui|libxlsxwriter)[^ ]*' "$scratch/ld.txt" | sort -u) &&
   [ -n "$loaded" ]; then
  echo "FAIL: a plain conversion loaded: $loaded" >&2
  exit 1
fi
echo "lean start ok"
