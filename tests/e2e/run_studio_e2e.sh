#!/usr/bin/env bash
# fenra-studio under a virtual X server, driven from outside with xdotool:
# a collection's entry given on its command line must show a lit picture within
# two seconds; Right ten times and Ctrl+S must move map 1 to the right in the
# file and leave every other byte; ten Ctrl+Z and Ctrl+S must give the original
# numbers back. Usage: run_studio_e2e.sh FENRA_STUDIO COLLECTION. Exits 77
# (skipped) without the X tools. FENRA_E2E_KEEP=1 keeps the work folder.
set -euo pipefail
studio=$1 collection=$2

# Help and version need no display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$studio" --version | grep -q '^fenra-studio [0-9]' ||
  { echo "FAILED: --version"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$studio" --help | grep -q -- '--name <ENTRY>' ||
  { echo "FAILED: --help"; exit 1; }

for tool in xvfb-run Xvfb xauth xdotool import convert; do
  command -v "$tool" >/dev/null ||
    { echo "SKIPPED: the studio's end-to-end test needs $tool (Debian packages xvfb, xauth, xdotool, imagemagick)"; exit 77; }
done
if [ -z "${FENRA_E2E_DISPLAY_UP:-}" ]; then
  export FENRA_E2E_DISPLAY_UP=1
  exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/fenra-studio-e2e.XXXXXX")
app= keep=${FENRA_E2E_KEEP:-}
mkdir -p "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app"; wait "$app" 2>/dev/null || true; fi
  if [ "$keep" = 1 ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null && echo "screen at the failure: $work/failure.png" >&2
  sed 's/^/  studio: /' "$work/studio.log" >&2 || true
  keep=1
  exit 1
}
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_STYLE_OVERRIDE

within() {   # waits up to $1 seconds for the command after it to succeed
  local until=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $until ] || return 1; sleep 0.1; done
}
# The share of the window's pixels that are lit: the picture, not just the outlines.
lit_share() { import -window "$window" "$work/screen.png" && convert "$work/screen.png" -colorspace gray -threshold 8% -format '%[fx:mean]' info:; }
lit() { awk -v s="$(lit_share)" 'BEGIN { exit !(s > 0.05) }'; }
rows() { sed -n '/^sierpinski {/,/^}/p' "$1" | grep -v '^ *;' | grep '[0-9]'; }

cp "$collection" "$work/classic.ifs"
cp "$collection" "$work/original.ifs"
started=$SECONDS
"$studio" "$work/classic.ifs" --name sierpinski >"$work/studio.log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app" --name '^sierpinski' | head -n 1) ||
  fail "the window did not appear"
within 2 lit || fail "no lit picture within 2 s of the window ($(lit_share) of the window lit)"
echo "lit picture after $((SECONDS - started)) s"
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
same_numbers() { diff <(rows "$1" | awk '{ $1 = $1; print }' | awk '{ for (i = 1; i <= NF; i++) printf "%s ", $i + 0; print "" }') \
                      <(rows "$2" | awk '{ $1 = $1; print }' | awk '{ for (i = 1; i <= NF; i++) printf "%s ", $i + 0; print "" }') >/dev/null; }
same_numbers "$work/classic.ifs" "$work/original.ifs" || fail "ten undos and Ctrl+S did not give the original numbers back"
cmp -s <(sed "${row1}d" "$work/classic.ifs") <(sed "${row1}d" "$work/original.ifs") || fail "bytes outside map 1's row changed"
echo "PASSED"
