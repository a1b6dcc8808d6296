#!/usr/bin/env bash
# Starts Halvane natively on Wayland, on a headless weston of its own, with a page named on the
# command line; types into the page and saves it with File > Save, then checks the saved bytes.
# Then: the window is a Wayland surface (the client's own protocol log), File > New brings up the
# colour picker and its Apply writes the body tag, the About box opens and closes, and a second
# start with a page hands it to the running program. Nothing can send key presses to a Wayland
# client from outside, so the test drives the program the way assistive tools do, over AT-SPI
# (atspi_drive.py). Every wait has a deadline (SMOKE_TIMEOUT seconds, 30 by default); a
# compositor that cannot start fails the test with its log.
set -euo pipefail
binary=$1
here=$(cd "$(dirname "$0")" && pwd)
timeout_s=${SMOKE_TIMEOUT:-30}

fail() {
  echo "FAIL: $*" >&2
  if [ -s "${work:-}/weston.log" ]; then
    echo "--- weston's log:" >&2
    tail -n 20 "$work/weston.log" >&2
  fi
  if [ -s "${work:-}/app.log" ]; then
    echo "--- the editor's output (without its protocol log):" >&2
    grep -v '^\[[0-9 .]*\]' "$work/app.log" | tail -n 40 >&2 || true
  fi
  exit 1
}

qt_plugins=$(/usr/lib/qt6/bin/qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null ||
  echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
missing=()
command -v weston >/dev/null || missing+=(weston)
ls "$qt_plugins"/platforms/libqwayland-*.so >/dev/null 2>&1 || missing+=(qt6-wayland)
command -v dbus-launch >/dev/null || missing+=(dbus-x11)
[ -x /usr/libexec/at-spi-bus-launcher ] || missing+=(at-spi2-core)
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
[ ${#missing[@]} -eq 0 ] ||
  fail "missing tools: install the Debian package(s) ${missing[*]} (scripts/deps installs them)"

work=$(mktemp -d)
app_pid=""; weston_pid=""; bus_pid=""; launcher_pid=""; waiter_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$app_pid" 2>/dev/null || true
  fi
  for pid in $waiter_pid $launcher_pid $bus_pid $weston_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=wait.sh
. "$here/wait.sh"

# A compositor of our own: private runtime folder, a socket name no other session uses.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
socket="halvane-e2e-$$"
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --width=1280 --height=1024 \
  --log="$work/weston.log" >"$work/weston.out" 2>&1 &
weston_pid=$!
weston_up() {
  kill -0 "$weston_pid" 2>/dev/null ||
    fail "weston ended at start: $(tail -n 5 "$work/weston.out" "$work/weston.log" 2>/dev/null)"
  [ -S "$XDG_RUNTIME_DIR/$socket" ]
}
wait_for "weston did not open its socket $socket" weston_up
export WAYLAND_DISPLAY=$socket

# A session bus of our own, and the accessibility bus launcher on it.
start_accessibility_bus "$work/atspi.log"

drive() { /usr/bin/python3 "$here/atspi_drive.py" "$timeout_s" Halvane "$@" || fail "$*: see above"; }

page="$work/wayland page.htm"
printf '<HTML>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n' >"$page"
export QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
# The client's protocol log tells what it asked the compositor for.
WAYLAND_DEBUG=client "$binary" "$page" >"$work/app.log" 2>&1 &
app_pid=$!

drive type "Page $page" 13 "Typed on Wayland"
drive press "menu item" "Save"
expected=$'<HTML>\r\n<BODY>Typed on Wayland\r\n</BODY>\r\n</HTML>\r\n'
saved_is_expected() { [ "$(cat "$page"; echo x)" = "${expected}x" ]; }
wait_for "the saved page is not what was typed: $(od -c "$page" | head -5)" saved_is_expected

grep -Eq 'xdg_toplevel@[0-9]+\.set_title\("Halvane"\)' "$work/app.log" ||
  fail "no Wayland toplevel titled Halvane in the client's protocol log"

# A modal dialog keeps the action that opened it waiting: press in the background.
modal() { /usr/bin/python3 "$here/atspi_drive.py" "$timeout_s" Halvane press "menu item" "$1" \
  >/dev/null 2>&1 & waiter_pid=$!; }
modal "New"
drive window "Color Picker"
grep -Eq 'xdg_toplevel@[0-9]+\.set_title\("Color Picker"\)' "$work/app.log" ||
  fail "the colour picker is not a Wayland toplevel of its own"
drive press "push button" "Apply"
drive gone "Color Picker"
drive text "Page Document 1" | grep -q "<BODY BGCOLOR=" || fail "no body tag from the colour picker"

modal "About Halvane..."
drive window "About Halvane"
drive press "push button" "OK"
drive gone "About Halvane"

# Single instance: a second start hands its page over and ends.
second="$work/second.htm"
printf '<P>second</P>\r\n' >"$second"
set +e
timeout "$timeout_s" "$binary" "$second" >"$work/second.log" 2>&1; code=$?
set -e
[ "$code" -eq 0 ] || fail "the second start ended with $code: $(cat "$work/second.log")"
drive text "Page $second" >/dev/null
kill -0 "$app_pid" || fail "the editor exited"
echo "e2e wayland: typed and saved $(wc -c <"$page") bytes, picker, About and hand-off on a Wayland surface"
