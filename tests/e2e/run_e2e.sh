#!/usr/bin/env bash
# The real program under a virtual X server, driven from outside as a person
# would: mouse clicks on the controls' places, typed text, the real file
# dialogs. Usage: run_e2e.sh FENRA E2E_CHECK
# Exits 77 (skipped) when the X tools are not installed. FENRA_E2E_KEEP=1
# keeps the work folder (files, screenshot, the program's output).
set -euo pipefail

fenra=$1
check=$2
desktop_file=$3

# Asked for help or its version, the program answers without a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$fenra" --version)" = "fenra 1.0" ] ||
  { echo "FAILED: fenra --version"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$fenra" --help | grep -q '^Usage: fenra .*\[FILE\]' ||
  { echo "FAILED: fenra --help"; exit 1; }

for tool in xvfb-run Xvfb xauth xdotool xprop import; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: the end-to-end test needs $tool (Debian packages xvfb, xauth, xdotool, imagemagick)"
    exit 77
  fi
done

# Start a private X server and come back in it.
if [ -z "${FENRA_E2E_DISPLAY_UP:-}" ]; then
  export FENRA_E2E_DISPLAY_UP=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/fenra-e2e.XXXXXX")
out=$work/out
mkdir -p "$out" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
app=
keep=${FENRA_E2E_KEEP:-}
cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app"; wait "$app" 2>/dev/null || true; fi
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

# Waits up to $1 seconds for the command after it to succeed.
within() {
  local seconds=$1; shift
  local until=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $until ] || return 1
    sleep 0.2
  done
}

# Positions in the window's client area, from twips (15 to the pixel).
px() { echo $(($1 / 15)); }
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# A control given as Left Top Width Height in twips: a click at its middle.
press() { click $(px $(($1 + $3 / 2))) $(px $(($2 + $4 / 2))); }
# Data set K's box i (from 0): 5 pixels into the box, at its middle line.
box() { echo $(($(px $((60 + 1380 * ($1 - 1) + 240))) + 5)) $(($(px $((180 + 300 * $2))) + 8)); }
type_into() {   # x y text
  click "$1" "$2"
  xdotool key ctrl+a
  xdotool type --delay 20 "$3"
}

file_size() { stat -c %s "$1" 2>/dev/null; }
has_size() { [ "$(file_size "$1")" = "$2" ]; }
dialog_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
dialog_open() { [ -n "$(dialog_id "$1")" ]; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# The dialog titled $1 must open; the full path $2 goes into its file-name field.
# Return may first close the name completer's list: it is pressed again while
# the dialog stays open.
answer_dialog() {
  local title=$1 path=$2
  within 20 dialog_open "$title" || fail "no \"$title\" dialog appeared"
  # Typing before the dialog has the keyboard would land in the main window.
  within 10 has_focus "$(dialog_id "$title")" || fail "the \"$title\" dialog did not get the keyboard"
  xdotool key ctrl+a
  xdotool type --delay 20 "$path"
  for _ in 1 2 3; do
    xdotool key Return
    within 3 bash -c "! xdotool search --onlyvisible --name '^$title\$' >/dev/null 2>&1" && return 0
  done
  fail "the \"$title\" dialog did not take $path"
}

bmp_size=$((54 + (794 * 3 + 2) * 381))   # rows of 3-byte pixels padded to 4 bytes

"$check" prepare "$out" || fail "could not prepare load.tfg"

"$fenra" >"$work/fenra.log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app" --name '^The Fenra Game' | head -n 1) ||
  fail "the window did not appear"

# The desktop matches the window to its menu entry by the window's class.
wm_class=$(xprop -id "$window" WM_CLASS | sed 's/.*", "//; s/"$//')
[ "$wm_class" = "$(sed -n 's/^StartupWMClass=//p' "$desktop_file")" ] || fail "window class \"$wm_class\""

# The title, with its five blanks, and the size of the client area.
title=$(xdotool getwindowname "$window")
[ "$title" = "The Fenra Game     " ] || fail "title is \"$title\""
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
[ "$geometry" = "794x549" ] || fail "window is $geometry, not 794x549"

# Data sets 1 and 2 both map every point to (0.5, 0.2); White points; Enter runs.
values=(0 0 0.5 0 0 0.2)
for set in 1 2; do
  for i in 0 1 2 3 4 5; do
    type_into $(box "$set" "$i") "${values[$i]}"
  done
done
press $((8400 + 120)) 720 735 195   # optclrwhite
click $(box 1 0)
xdotool key Return

press 11160 600 615 435   # cmdSave
answer_dialog "Save As" "$out/typed.tfg"
within 10 has_size "$out/typed.tfg" 217 || fail "typed.tfg was not saved whole"

press 10080 1560 1095 255   # cmdSavePicture
answer_dialog "Save As" "$out/typed.bmp"
within 10 has_size "$out/typed.bmp" "$bmp_size" || fail "typed.bmp was not saved whole"

# A data file loaded back and drawn: its picture and its data saved again.
press 11160 1080 615 435   # cmdLoad
answer_dialog "Open" "$out/load.tfg"
click $(box 1 0)
xdotool key Return
press 10080 1560 1095 255
answer_dialog "Save As" "$out/loaded.bmp"
within 10 has_size "$out/loaded.bmp" "$bmp_size" || fail "loaded.bmp was not saved whole"
press 11160 600 615 435
answer_dialog "Save As" "$out/reloaded.tfg"
within 10 has_size "$out/reloaded.tfg" 217 || fail "reloaded.tfg was not saved whole"

# What the screen shows once the dialogs are gone and the window has repainted.
screen_ok() { import -window "$window" "$work/screen.png" && "$check" screen "$work/screen.png" 2>/dev/null; }
within 10 screen_ok || { "$check" screen "$work/screen.png"; fail "the screen does not show the loaded picture"; }

# A batch of two.
type_into $(px $((9960 + 600 + 375 / 2))) $(px $((240 + 285 / 2))) 2   # txtArray
press $((9960 + 120)) 600 855 495   # cmdSaveBatch
answer_dialog "Save As" "$out/batch.tfg"
within 30 has_size "$out/batch(2).tfg" 217 || fail "the batch did not write batch(2).tfg"

kill -0 "$app" 2>/dev/null || fail "the program is gone"
"$check" files "$out" || fail "the saved files are not as expected"
kill "$app"; wait "$app" 2>/dev/null || true

# A data file given on the command line opens as Load Data opens it.
"$fenra" "$out/load.tfg" >"$work/fenra.log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$app" --name '^The Fenra Game' | head -n 1) ||
  fail "the window did not appear for a given file"
press $((8400 + 120)) 720 735 195   # optclrwhite
click $(box 1 0)
xdotool key Return
rm -f "$work/screen.png"
within 10 screen_ok || { "$check" screen "$work/screen.png"; fail "the given file was not drawn"; }
cp "$work/screen.png" e2e-screen.png
echo "end-to-end run passed; the window as it looked: $PWD/e2e-screen.png"
