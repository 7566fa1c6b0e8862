# Sourced by the end-to-end scripts once their checks without a display are done.
# Expects x_tools (tools beyond the common ones), x_screen (WxH) and app_log (the
# program's log in $work). Exits 77 (skipped) without the X tools; else runs the
# script again inside a private X server and gives it: $work (kept on failure or
# with FENRA_E2E_KEEP=1), $app and $watcher (pids, stopped at the end), Qt's own
# widgets and dialogs with no settings of the user's, fail and within.
for tool in xvfb-run Xvfb xauth xdotool import $x_tools; do
  command -v "$tool" >/dev/null ||
    { echo "SKIPPED: the end-to-end test needs $tool (Debian packages xvfb, xauth, xdotool, x11-utils, imagemagick, inotify-tools)"; exit 77; }
done
if [ -z "${FENRA_E2E_DISPLAY_UP:-}" ]; then   # start a private X server and come back in it
  export FENRA_E2E_DISPLAY_UP=1
  exec xvfb-run -a -s "-screen 0 ${x_screen}x24 -nolisten tcp" bash "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/fenra-e2e.XXXXXX")
app= keep=${FENRA_E2E_KEEP:-}
mkdir -p "$work/home" "$work/runtime" && chmod 700 "$work/runtime"
cleanup() {
  for p in $app ${watcher:-}; do kill -0 "$p" 2>/dev/null && { kill "$p"; wait "$p" 2>/dev/null || true; }; done
  if [ "$keep" = 1 ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null && echo "screen at the failure: $work/failure.png" >&2
  sed "s/^/  ${app_log%.log}: /" "$work/$app_log" >&2 || true
  keep=1
  exit 1
}

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_STYLE_OVERRIDE

within() {   # waits up to $1 seconds for the command after it to succeed
  local until=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $until ] || return 1; sleep 0.1; done
}
