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
trap 'stop_app; kill $xvfb_pid 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
app_pid=""; xvfb_pid=""

# shellcheck source=wait.sh
. "$(dirname "$0")/wait.sh"

# Without a display: a message, no crash.
set +e
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$binary" 2>&1); code=$?
set -e
[ "$code" -eq 2 ] || fail "no-display exit code $code"
grep -q "needs a graphical display" <<<"$out" || fail "no-display message: $out"

start_xvfb
start_app_on_new_page "$binary"
# Bold: the key events are handled in order, so the save below sees its tags.
xdotool key F3

# Save As, typing the path, then check the bytes written.
page="$work/smoke page.htm"
save_as_typed "$page"

# New page, default colours accepted, Bold at the caret the picker left (offset 122).
expected="$(dirname "$0")/expected-new-bold.htm"
cmp -s "$page" "$expected" || fail "saved page differs from $expected: $(cmp "$page" "$expected" 2>&1)"
kill -0 "$app_pid" || fail "the editor exited"
echo "e2e smoke: window shown, picker accepted, F3 and Save As wrote the expected $(wc -c <"$page") bytes"
