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
trap 'stop_app; kill $xvfb_pid 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
app_pid=""; xvfb_pid=""
timeout_s=${SMOKE_TIMEOUT:-30}
# shellcheck source=wait.sh
. "$(dirname "$0")/wait.sh"
start_xvfb
start_app_on_new_page "$binary"

xdotool type --delay 20 '<p>hi'
xdotool key Right Right Right Right
xdotool type --delay 20 ' <br> &nbs'
xdotool key Return
xdotool type --delay 20 ' <b>'
xdotool key --clearmodifiers ctrl+z

page="$work/writing.htm"
save_as_typed "$page"
want='<p>hi</p> <br> &nbsp; <b>'
grep -qF "$want" "$page" || fail "the page lacks '$want': $(grep -a 'hi' "$page")"
grep -qF '<b></b>' "$page" && fail "Ctrl+Z left the end tag of <b>"
echo "e2e writing aids: end tags, a reference and Ctrl+Z as typed"
