#!/usr/bin/env bash
# Whole-command time, side by side in one run: fenra-render drawing 1e8
# density points of the three-map triangle (samples/sierpinski.tfg) at
# --scale 2 (1588 x 762), against flam3-render drawing 1e8 samples of the
# same three maps at the same size. Both write a PNG. One thread, then two.
# flam3-render is only measured against, never needed by the program: it is
# installed here (the Debian package flam3-utils) when missing; without
# hyperfine (scripts/install-deps.sh --test) this skips.
#
#   bench/vs_flam3.sh [BUILD_DIR]      # default: build
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
render="$build/cli/fenra-render"
command -v hyperfine >/dev/null || { echo "skipped: hyperfine is not installed"; exit 0; }
if ! command -v flam3-render >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends flam3-utils >/dev/null \
    || { echo "skipped: flam3-utils could not be installed"; exit 0; }
fi
[ -x "$render" ] || { echo "build fenra-render first ($render)"; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# flam3's maps are "a d b e c f" for (a·x + b·y + c, d·x + e·y + f); 1e8
# samples are 1e8 / (1588 · 762) = 82.64 per pixel. The frame is the window's
# "1x" at twice its size: 666.7 pixels a unit, centred on (0.191, 0.5835).
cat >"$work/triangle.flam3" <<'XML'
<flames><flame name="triangle" size="1588 762" center="0.191 0.5835" scale="666.667" rotate="0"
  quality="82.64" supersample="1" filter="0.5" oversample="1" brightness="4" gamma="2.2" vibrancy="1"
  background="0 0 0" palette="0">
 <xform weight="1" color="0" linear="1" coefs="0.5 0 0 0.5 -0.48 0.026"/>
 <xform weight="1" color="0.5" linear="1" coefs="0.5 0 0 0.5 0.671 0.026"/>
 <xform weight="1" color="1" linear="1" coefs="0.5 0 0 0.5 0.0955 0.5575"/>
</flame></flames>
XML

for threads in 1 2; do
  hyperfine --warmup 1 --runs "${RUNS:-10}" --export-markdown "$work/t$threads.md" --export-json "$work/t$threads.json" \
    -n "fenra-render, $threads thread(s)" \
    "$render $here/samples/sierpinski.tfg -o $work/fenra.png --scale 2 --points 100000000 --colour density --seed 1 --threads $threads" \
    -n "flam3-render, $threads thread(s)" \
    "env nthreads=$threads seed=1 isaac_seed=1 out=$work/flam3.png flam3-render < $work/triangle.flam3"
  cat "$work/t$threads.md"
  # Single runs here vary by a fifth or more: the medians' ratio is the figure to quote.
  grep -o '"median": [0-9.e+-]*' "$work/t$threads.json" | awk -v t="$threads" \
    '{m[NR] = $2} END {printf "medians, %d thread(s): fenra-render %.0f ms, flam3-render %.0f ms, ratio %.1f\n", t, m[1] * 1000, m[2] * 1000, m[2] / m[1]}'
done
