#!/usr/bin/env bash
# fenra-studio under Xvfb, driven with xdotool: an entry given on the command line lit within 2 s; Right ten
# times and Ctrl+S move map 1 right in the file, every other byte kept; ten Ctrl+Z and Ctrl+S give the
# numbers back. Usage: run_studio_e2e.sh FENRA_STUDIO COLLECTION; 77: skipped; FENRA_E2E_KEEP=1 keeps the work.
set -euo pipefail
studio=$1 collection=$2

# Help and version need no display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$studio" --version | grep -q '^fenra-studio [0-9]' ||
  { echo "FAILED: --version"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$studio" --help | grep -q -- '--name <ENTRY>' ||
  { echo "FAILED: --help"; exit 1; }

x_tools=convert x_screen=1280x800 app_log=studio.log
source "$(dirname "$0")/x_session.sh"
# The share of the window's pixels that are lit: the picture, not just the outlines.
lit_share() { import -window "$window" "$work/screen.png" && convert "$work/screen.png" -colorspace gray -threshold 8% -format '%[fx:mean]' info:; }
lit() { awk -v s="$(lit_share)" 'BEGIN { exit !(s > 0.05) }'; }
rows() { sed -n '/^sierpinski {/,/^}/p' "$1" | grep -v '^ *;' | grep '[0-9]'; }

cp "$collection" "$work/classic.ifs"
cp "$collection" "$work/original.ifs"
"$studio" "$work/classic.ifs" --name sierpinski >"$work/studio.log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app" --name '^sierpinski' | head -n 1) ||
  fail "the window did not appear"
within 2 lit || fail "no lit picture within 2 s of the window ($(lit_share) of the window lit)"
xdotool windowfocus --sync "$window"   # no window manager here: the shortcuts need an active window

for _ in $(seq 10); do xdotool key Right; done
xdotool key ctrl+s
within 5 bash -c "! cmp -s '$work/classic.ifs' '$work/original.ifs'" || fail "Ctrl+S did not write the file"
# Only the first row of the entry changed, and only its e grew.
diff <(rows "$work/original.ifs" | sed -n '2,$p') <(rows "$work/classic.ifs" | sed -n '2,$p') >/dev/null ||
  fail "maps other than map 1 changed"
read -r a b c d e f p _ < <(rows "$work/classic.ifs" | head -n 1)
awk -v e="$e" 'BEGIN { exit !(e > 0) }' || fail "map 1 did not move right: e = $e"
row1=$(awk '/^sierpinski \{/ { inside = 1; next } inside && /^[^;]*[0-9]/ { print NR; exit }' "$work/original.ifs")
cmp -s <(sed "${row1}d" "$work/classic.ifs") <(sed "${row1}d" "$work/original.ifs") ||
  fail "bytes outside map 1's row changed"

cp "$work/classic.ifs" "$work/after-right.ifs"
for _ in $(seq 10); do xdotool key ctrl+z; done
xdotool key ctrl+s
saved_again() { ! cmp -s "$work/classic.ifs" "$work/after-right.ifs"; }
within 5 saved_again || fail "Ctrl+S after the undos did not write the file"
# The original numbers (map 1's row is written in the shortest form), every other byte as it was.
numbers() { rows "$1" | awk '{ for (i = 1; i <= NF; i++) printf "%s ", $i + 0; print "" }'; }
same_numbers() { diff <(numbers "$1") <(numbers "$2") >/dev/null; }
same_numbers "$work/classic.ifs" "$work/original.ifs" || fail "ten undos and Ctrl+S did not give the original numbers back"
cmp -s <(sed "${row1}d" "$work/classic.ifs") <(sed "${row1}d" "$work/original.ifs") || fail "bytes outside map 1's row changed"
echo "PASSED"
