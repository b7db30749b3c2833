#!/usr/bin/env bash
# Records the demo's whole show at 60 frames a second (or --fps N) with skarn-record and prints
# where the time went (drawing, readback, encoding), the speed against real time (goal: at least
# 2x, aim 3x) and the peak memory (goal: under 300 MB). Needs no display.
# Usage: bench_record [--fps N]     (installed into the bench build directory by CMake)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=@SKARN_SOURCE_DIR@
fps=60
[ "${1:-}" = "--fps" ] && fps=$2
out=$(mktemp -d /tmp/skarn-record-bench-XXXXXX)
trap 'rm -rf "$out"' EXIT
cd "$source_dir"
/usr/bin/time -f "%M %U %S %e" -o "$out/usage" \
  "$here/skarn-record" --fps "$fps" --times demo "$out/demo.mp4" >"$out/stdout" 2>"$out/stderr"
tail -n 1 "$out/stdout"
grep -a '^temps' "$out/stderr"
read -r peak user sys wall <"$out/usage"
awk -v peak="$peak" -v user="$user" -v sys="$sys" -v wall="$wall" 'BEGIN {
  printf "wall %.1f s for a 140 s show: %.2fx real time (goal 2x, aim 3x): %s\n", wall, 140 / wall,
         ((140 / wall >= 2) ? "met" : "missed")
  printf "processor time %.1f s (user %.1f + system %.1f): %.2f cores busy on average\n",
         user + sys, user, sys, (user + sys) / wall
  printf "peak memory %.0f MB (goal under 300 MB): %s\n", peak / 1024, peak / 1024 < 300 ? "met" : "missed"
}'
