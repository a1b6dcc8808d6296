#!/usr/bin/env bash
# Starts Halvane under Xvfb: File > New, accept the colour picker, F3, Save As by typing a path
# into the file dialog, and checks the saved bytes; also checks the clear message given when
# there is no display at all. Every wait polls up to a deadline (SMOKE_TIMEOUT seconds, 30 by
# default), so that a slow start (a sanitizer build, a busy machine) is waited for and a
# window that never comes fails in bounded time.
set -euo pipefail
binary=$1
timeout_s=${SMOKE_TIMEOUT:-30}

fail() {
  echo "FAIL: $*" >&2
  if [ -s "${work:-}/app.log" ]; then
    echo "--- the editor's output:" >&2
    tail -n 40 "$work/app.log" >&2
  fi
  exit 1
}

missing=()
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xdotool >/dev/null || missing+=(xdotool)
[ ${#missing[@]} -eq 0 ] ||
  fail "missing tools: install the Debian package(s) ${missing[*]} (scripts/deps installs them)"

work=$(mktemp -d)
# The editor answers SIGTERM by writing its recovery copies and settings before it ends: wait
# for that (a few seconds at most, then SIGKILL) before its folders go.
stop_app() {
  [ -n "$app_pid" ] || return 0
  kill "$app_pid" 2>/dev/null || return 0
  for _ in $(seq 1 100); do
    kill -0 "$app_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$app_pid" 2>/dev/null || true
}
trap 'stop_app; kill $xvfb_pid 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
app_pid=""; xvfb_pid=""

# shellcheck source=wait.sh
. "$(dirname "$0")/wait.sh"

# The first visible window whose title matches, other than $2 (stored in $found).
find_window() {
  found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -1 || true)
  [ -n "$found" ]
}
no_window() { ! find_window "$1"; }

# Without a display: a message, no crash.
set +e
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$binary" 2>&1); code=$?
set -e
[ "$code" -eq 2 ] || fail "no-display exit code $code"
grep -q "needs a graphical display" <<<"$out" || fail "no-display message: $out"

# Xvfb takes a free display number itself and says which (-displayfd). -noreset: by default
# the server starts afresh when its last client goes, and the editor, connecting just as the
# probe below had disconnected, was now and then refused and aborted.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_for "Xvfb did not say which display it took" test -s "$work/display"
display=":$(head -n 1 "$work/display")"
export DISPLAY=$display
wait_for "Xvfb did not start on $display" xdotool getmouselocation

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
"$binary" >"$work/app.log" 2>&1 &
app_pid=$!

wait_for "no visible window titled Halvane" find_window '^Halvane$'
wid=$found

xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers ctrl+n
# File > New is followed by the modal colour picker: accept its colours with Enter.
wait_for "no colour picker after File > New" find_window '^Color Picker$'
xdotool windowfocus --sync "$found"
xdotool key Return
wait_for "the colour picker stayed open after Enter" no_window '^Color Picker$'
xdotool windowfocus --sync "$wid"
# Bold: the key events are handled in order, so the save below sees its tags.
xdotool key F3

# Save As through the file dialog, typing the path, then check the bytes written.
page="$work/smoke page.htm"
xdotool key --clearmodifiers ctrl+a
wait_for "no save dialog after Ctrl+A" find_window 'Save' "$wid"
xdotool windowfocus --sync "$found"
xdotool type --delay 5 "$page"
xdotool key Return
# The save is atomic: once the page is there, it is whole.
wait_for "nothing saved at $page" test -s "$page"

# New page, default colours accepted, Bold at the caret the picker left (offset 122).
expected="$(dirname "$0")/expected-new-bold.htm"
cmp -s "$page" "$expected" || fail "saved page differs from $expected: $(cmp "$page" "$expected" 2>&1)"
kill -0 "$app_pid" || fail "the editor exited"
echo "e2e smoke: window shown, picker accepted, F3 and Save As wrote the expected $(wc -c <"$page") bytes"
