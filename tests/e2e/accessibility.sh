#!/usr/bin/env bash
# What a screen reader reads: starts Halvane under Xvfb with its accessibility bridge on a
# private D-Bus session and accessibility bus, opens the page and a set of dialogs by their
# shortcuts, then walks every window over AT-SPI (atspi_unnamed.py) and fails on any control
# without a name a person understands. Every wait polls up to SMOKE_TIMEOUT seconds (30).
set -euo pipefail
binary=$1
here=$(cd "$(dirname "$0")" && pwd)
timeout_s=${SMOKE_TIMEOUT:-30}

fail() {
  echo "FAIL: $*" >&2
  [ -s "${work:-}/app.log" ] && { echo "--- the editor's output:" >&2; tail -n 40 "$work/app.log" >&2; }
  exit 1
}

missing=()
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v dbus-launch >/dev/null || missing+=(dbus-x11)
[ -x /usr/libexec/at-spi-bus-launcher ] || missing+=(at-spi2-core)
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
[ ${#missing[@]} -eq 0 ] ||
  fail "missing tools: install the Debian package(s) ${missing[*]} (scripts/deps installs them)"

work=$(mktemp -d)
app_pid=""; xvfb_pid=""; bus_pid=""; launcher_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$app_pid" 2>/dev/null || true
  fi
  for pid in $launcher_pid $bus_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=wait.sh
. "$here/wait.sh"

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wait_for "Xvfb did not say which display it took" test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
xvfb_up() { xdotool getmouselocation >/dev/null 2>&1; }
wait_for "Xvfb did not start on $DISPLAY" xvfb_up

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"

# A session bus of our own, and the accessibility bus launcher on it.
start_accessibility_bus "$work/atspi.log"

unset QT_QPA_PLATFORM
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
"$binary" >"$work/app.log" 2>&1 &
app_pid=$!

windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l; }
find_main() { main=$(xdotool search --onlyvisible --name '^Halvane$' 2>/dev/null | head -1); [ -n "$main" ]; }
wait_for "no visible window titled Halvane" find_main

# shortcut KEYS: the key on the main window; waits for one more visible window of the editor.
more_than() { [ "$(windows)" -gt "$1" ]; }
shortcut() {
  local before; before=$(windows)
  xdotool windowfocus --sync "$main"
  xdotool key --clearmodifiers "$1"
  wait_for "no window came up for $1" more_than "$before"
}

# File > New and its modal colour picker: walked while it is up, then accepted.
shortcut ctrl+n
/usr/bin/python3 "$here/atspi_unnamed.py" Halvane 2 "$timeout_s" >"$work/picker.txt" || true
picker=$(xdotool search --onlyvisible --name '^Color Picker$' | head -1)
[ -n "$picker" ] || fail "no colour picker after File > New"
xdotool windowfocus --sync "$picker"
xdotool key Return
# The picker must be gone before the next shortcut: a slow program (a sanitizer build) would
# otherwise count it among the windows and ignore keys sent while it is still modal.
picker_gone() { ! xdotool search --onlyvisible --name '^Color Picker$' >/dev/null 2>&1; }
wait_for "the colour picker did not close" picker_gone
# The page, then a dialog of every kind: up-downs (Table, Sound, Dynamic Animation, Frames),
# fields, options and lists (Font Size, Target, Hyperlink, Find, Go to Line).
for keys in shift+ctrl+F7 shift+ctrl+F6 ctrl+F1 F11 F1 shift+F7 shift+ctrl+F4 ctrl+f ctrl+l; do
  shortcut "$keys"
done

status=0
/usr/bin/python3 "$here/atspi_unnamed.py" Halvane 10 "$timeout_s" >"$work/all.txt" || status=$?
echo "== with the colour picker up"; cat "$work/picker.txt"
echo "== with the page and nine dialogs open"; cat "$work/all.txt"
grep -q "^0 unnamed" "$work/picker.txt" || status=1
kill -0 "$app_pid" || fail "the editor exited"
[ "$status" -eq 0 ] || fail "controls without a name a person understands (listed above)"
echo "accessibility: every control of every window walked has a name"
