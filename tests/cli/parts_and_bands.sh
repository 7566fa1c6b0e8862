#!/usr/bin/env bash
# The real program: a picture drawn whole, in bands under --memory, and in
# three parts run side by side by GNU parallel then merged, is the same file
# byte for byte; a merge of a share given twice writes nothing.
#   parts_and_bands.sh FENRA_RENDER SAMPLES_DIR
set -euo pipefail
render="$1"
data="$2/sierpinski.tfg"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
opts=(--colour density --points 3000000 --seed 9 --oversample 2 --scale 2 --depth 16)

"$render" "$data" "${opts[@]}" -o whole.png >/dev/null
"$render" "$data" "${opts[@]}" -o banded.png --memory 3M --threads 2 >/dev/null
parallel --halt now,fail=1 "$render" "$data" "${opts[@]}" --part {}/3 --sums part{}.sums ::: 1 2 3
"$render" --merge part3.sums part1.sums part2.sums -o merged.png >/dev/null
cmp whole.png banded.png
cmp whole.png merged.png

if "$render" --merge part1.sums part1.sums part3.sums -o bad.png 2>err.txt; then exit 1; fi
grep -q "part1.sums is share 1/3 again" err.txt
[ ! -e bad.png ]
echo "whole, banded and merged parts: the same bytes"
