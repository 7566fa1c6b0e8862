#!/usr/bin/env bash
# The whole command on one core and on two: fenra-render drawing 1e8 density
# points of the maple at --scale 2 into a PNG, one thread and two threads in
# alternation (a machine shared with others drifts; alternating pairs see the
# same drift), RUNS pairs. Prints each median and their ratio, with the
# kernel's own ratio measured in the same minute for comparison: the command
# cannot scale better than the kernel it is made of.
#
#   bench/two_cores.sh [BUILD_DIR]      # default: build; RUNS=15
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
run() {
  local start end
  start=$(date +%s%N)
  "$build/cli/fenra-render" "$here/samples/maple.tfg" -o "$work/out.png" --colour density --scale 2 \
    --points 100000000 --seed 1 --threads "$1" >/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
for ((i = 0; i < ${RUNS:-15}; ++i)); do
  run 1 >>"$work/one"
  run 2 >>"$work/two"
done
one=$(median <"$work/one")
two=$(median <"$work/two")
echo "whole command, median of ${RUNS:-15}: 1 thread $one ms, 2 threads $two ms, ratio $(awk -v a="$one" -v b="$two" 'BEGIN {printf "%.2f", a / b}')"
"$build/bench/bench_kernel" --benchmark_filter='BM_Kernel/AVX2' 2>/dev/null | grep -o 'AVX2/[12]/.*items_per_second=[0-9.]*M/s' |
  sed 's|/min_time.*items_per_second=| |' | awk '{r[NR] = $2 + 0} END {printf "kernel alone: %.2f\n", r[2] / r[1]}'
