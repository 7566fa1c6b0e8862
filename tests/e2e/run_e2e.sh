#!/usr/bin/env bash
# The real program under a virtual X server, driven from outside as a person
# would: a data file given to it, mouse clicks on the controls' places, typed
# text (also during a long run), the real file dialogs, a batch whose writes
# inotifywait sees in their order; e2e_check then checks what it saved and showed.
# Usage: run_e2e.sh FENRA E2E_CHECK DESKTOP_FILE. Exits 77 (skipped) when the X
# tools are not installed. FENRA_E2E_KEEP=1 keeps the work folder.
set -euo pipefail
fenra=$1 check=$2 desktop_file=$3

# Asked for help or its version, the program answers without a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$fenra" --version)" = "fenra 1.0" ] || { echo "FAILED: --version"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$fenra" --help | grep -q '^Usage: fenra .*\[FILE\]' ||
  { echo "FAILED: --help"; exit 1; }

for tool in xvfb-run Xvfb xauth xdotool xprop import compare inotifywait; do
  command -v "$tool" >/dev/null ||
    { echo "SKIPPED: the end-to-end test needs $tool (Debian packages xvfb, xauth, xdotool, imagemagick, inotify-tools)"; exit 77; }
done
if [ -z "${FENRA_E2E_DISPLAY_UP:-}" ]; then   # start a private X server and come back in it
  export FENRA_E2E_DISPLAY_UP=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/fenra-e2e.XXXXXX")
out=$work/out app= watcher= keep=${FENRA_E2E_KEEP:-}
mkdir -p "$out" "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
cleanup() {
  for p in $app $watcher; do kill -0 "$p" 2>/dev/null && { kill "$p"; wait "$p" 2>/dev/null || true; }; done
  if [ "$keep" = 1 ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null && echo "screen at the failure: $work/failure.png" >&2
  sed 's/^/  fenra: /' "$work/fenra.log" >&2 || true
  keep=1
  exit 1
}

# Qt's own widgets, its own file dialog, no settings of the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_STYLE_OVERRIDE

within() {   # waits up to $1 seconds for the command after it to succeed
  local until=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $until ] || return 1; sleep 0.2; done
}
# A control given as Left Top Width Height in twips (15 to the pixel): a click at its middle.
press() { xdotool mousemove --window "$window" $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)) click 1; }
dialog_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
dialog_open() { [ -n "$(dialog_id "$1")" ]; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# The dialog titled $1 must open and take the full path $2. Return may first
# close the name completer's list: it is pressed again while the dialog stays open.
answer_dialog() {
  within 20 dialog_open "$1" || fail "no \"$1\" dialog appeared"
  within 10 has_focus "$(dialog_id "$1")" || fail "the \"$1\" dialog did not get the keyboard"
  xdotool key ctrl+a type --delay 20 "$2"
  for _ in 1 2 3; do
    xdotool key Return
    within 3 bash -c "! xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1" && return 0
  done
  fail "the \"$1\" dialog did not take $2"
}
screen_ok() { import -window "$window" "$work/screen.png" && "$check" "$work/screen.png" 2>/dev/null; }
# A part of the window, Left Top Width Height in pixels, to the file $5.
grab() { import -window "$window" -crop "$3x$4+$1+$2" +repage "$work/$5.png"; }
same() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>/dev/null; }
# Grabbed twice, 0.2 s apart, the same: the window has finished painting there (a dialog just closed).
settled() { grab "$@" && sleep 0.2 && grab "${@:1:4}" "$5-again" && same "$5" "$5-again"; }

# Data sets 1 and 2 send every point to (0.2, 0.5); set 3's odd texts must travel all the same.
{ printf 2; printf '%-6s' 0.0000 0.0000 0.2000 0.0000 0.0000 0.5000 0.0000 0.0000 0.2000 0.0000 0.0000 0.5000 \
    -0.123 0.9 1e-3 '' x 0,5 $(yes 0.0000 | head -n 18); } >"$out/load.tfg"
"$fenra" "$out/load.tfg" >"$work/fenra.log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app" --name '^The Fenra Game' | head -n 1) ||
  fail "the window did not appear"
# The desktop matches the window to its menu entry by the window's class.
wm_class=$(xprop -id "$window" WM_CLASS | sed 's/.*", "//; s/"$//')
[ "$wm_class" = "$(sed -n 's/^StartupWMClass=//p' "$desktop_file")" ] || fail "window class \"$wm_class\""

press 8520 720 735 195   # White
xdotool mousemove --window "$window" 25 20 click 1 key Return   # Enter in data set 1's first box runs
within 10 screen_ok || fail "the given file's picture is not on the screen"
press 11160 600 615 435   # Save Data
answer_dialog "Save As" "$out/saved.tfg"
press 10080 1560 1095 255   # Save Picture
answer_dialog "Save As" "$out/saved.bmp"

# A click and a key during a long run wait for its end and are then handled in their order: the click
# in data set 2's first box, then the text typed, which Save Data afterwards finds there. A screenshot
# taken meanwhile shows the bar on its way and the box as it was.
box=(112 12 73 17) bar_end=(513 152 40 13)   # pixels: txtdata2(0); the end of prgIter
within 10 settled "${box[@]}" box-before && within 10 settled "${bar_end[@]}" bar-full || fail "the window did not settle"
press 9240 480 615 285   # Iterations:
xdotool key ctrl+a type 1e8   # seconds: long enough to type into, short enough for the suite
press 10080 2280 1095 255   # Start
press 1680 180 1095 255   # data set 2, coefficient 1
xdotool key ctrl+a type 0.1
grab "${box[@]}" box-during && grab "${bar_end[@]}" bar-during
! same bar-during bar-full || fail "the run of 1e8 points ended before the input was given; the test needs a longer one"
same box-during box-before || fail "the click or the key was handled during the run"
run_ended() { grab "${bar_end[@]}" bar-after && same bar-after bar-full; }
within 60 run_ended || fail "the long run did not end"
press 9240 480 615 285 && xdotool key ctrl+a type 5000   # back to a short run for the batch
press 11160 600 615 435   # Save Data
answer_dialog "Save As" "$out/typed.tfg"

# A batch of three: each picture, then its data file, written whole under temporary names and then
# renamed into place, the picture first.
inotifywait -m -e close_write,moved_to --format '%e %f' "$out" >"$work/writes.log" 2>"$work/inotify.log" &
watcher=$!
within 10 grep -q "Watches established" "$work/inotify.log" || fail "inotifywait did not start"
press 10560 240 375 285   # Runs: a batch of three
xdotool key ctrl+a type 3
press 10080 600 855 495   # Random Batch
answer_dialog "Save As" "$out/batch.tfg"
within 30 grep -q 'MOVED_TO batch(3).tfg' "$work/writes.log" || fail "the batch did not end"
expected=$(for n in 1 2 3; do printf 'CLOSE_WRITE,CLOSE batch(%s).%s.part\n' $n bmp $n tfg; printf 'MOVED_TO batch(%s).%s\n' $n bmp $n tfg; done)
[ "$(sed -E 's/\.[0-9a-f]{8}\.part$/.part/' "$work/writes.log" | grep 'batch(')" = "$expected" ] ||
  fail "the batch wrote in this order: $(cat "$work/writes.log")"
kill -0 "$app" 2>/dev/null || fail "the program is gone"
"$check" "$work/screen.png" "$out" || fail "what the program saved or showed is not as expected"
cp "$work/screen.png" e2e-screen.png
echo "end-to-end run passed; the window as it looked: $PWD/e2e-screen.png"
