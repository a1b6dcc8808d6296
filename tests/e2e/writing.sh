#!/usr/bin/env bash
# The writing aids with real X keys under Xvfb: on a new page, "<p>hi" gets its end tag, "<br>"
# none, "&nbs" and Return gives "&nbsp;", and Ctrl+Z right after a ">" takes back exactly the
# end tag it brought; the page is saved through Save As and its bytes checked.
set -euo pipefail
binary=$1

fail() {
  echo "FAIL: $*" >&2
  [ -s "${work:-}/app.log" ] && tail -n 40 "$work/app.log" >&2
  exit 1
}
command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
  fail "missing tools: install the Debian packages xvfb and xdotool (scripts/deps installs them)"

work=$(mktemp -d)
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
timeout_s=${SMOKE_TIMEOUT:-30}
# shellcheck source=wait.sh
. "$(dirname "$0")/wait.sh"
find_window() {
  found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -1 || true)
  [ -n "$found" ]
}
no_window() { ! find_window "$1"; }

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_for "Xvfb did not say which display it took" test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
wait_for "Xvfb did not start on $DISPLAY" xdotool getmouselocation

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
"$binary" >"$work/app.log" 2>&1 &
app_pid=$!
wait_for "no visible window titled Halvane" find_window '^Halvane$'
wid=$found
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers ctrl+n
wait_for "no colour picker after File > New" find_window '^Color Picker$'
xdotool windowfocus --sync "$found"
xdotool key Return
wait_for "the colour picker stayed open after Enter" no_window '^Color Picker$'
xdotool windowfocus --sync "$wid"

xdotool type --delay 20 '<p>hi'
xdotool key Right Right Right Right
xdotool type --delay 20 ' <br> &nbs'
xdotool key Return
xdotool type --delay 20 ' <b>'
xdotool key --clearmodifiers ctrl+z

page="$work/writing.htm"
xdotool key --clearmodifiers ctrl+a
wait_for "no save dialog after Ctrl+A" find_window 'Save' "$wid"
xdotool windowfocus --sync "$found"
xdotool type --delay 5 "$page"
xdotool key Return
wait_for "nothing saved at $page" test -s "$page"
want='<p>hi</p> <br> &nbsp; <b>'
grep -qF "$want" "$page" || fail "the page lacks '$want': $(grep -a 'hi' "$page")"
grep -qF '<b></b>' "$page" && fail "Ctrl+Z left the end tag of <b>"
echo "e2e writing aids: end tags, a reference and Ctrl+Z as typed"
