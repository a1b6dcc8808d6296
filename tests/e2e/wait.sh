# Sourced by the end-to-end scripts, which define fail() and timeout_s.
# wait_for DESCRIPTION COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails the test
# with DESCRIPTION at the deadline.
wait_for() {
  local what=$1; shift
  local deadline=$((SECONDS + timeout_s))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "$what (waited ${timeout_s} s)"
    sleep 0.1
  done
}

# start_accessibility_bus LOG: a session bus of the test's own and the accessibility bus
# launcher on it, waited for; sets bus_pid and launcher_pid for the script's clean-up.
start_accessibility_bus() {
  eval "$(dbus-launch --sh-syntax)"
  bus_pid=$DBUS_SESSION_BUS_PID
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$1" 2>&1 &
  launcher_pid=$!
  wait_for "the accessibility bus did not come up" accessibility_bus_up
}
accessibility_bus_up() {
  dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1
}

# The X scripts' common steps. They use $work (the test's folder), $app_pid and $xvfb_pid.

# The editor answers SIGTERM by writing its recovery copies and settings before it ends: wait
# for that (a few seconds at most, then SIGKILL) before its folders go.
stop_app() {
  [ -n "${app_pid:-}" ] || return 0
  kill "$app_pid" 2>/dev/null || return 0
  for _ in $(seq 1 100); do
    kill -0 "$app_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$app_pid" 2>/dev/null || true
}

# The first visible window whose title matches, other than $2 (stored in $found).
find_window() {
  found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -1 || true)
  [ -n "$found" ]
}
no_window() { ! find_window "$1"; }

# Xvfb takes a free display number itself and says which (-displayfd). -noreset: by default
# the server starts afresh when its last client goes, and the editor, connecting just as the
# probe below had disconnected, was now and then refused and aborted.
start_xvfb() {
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_for "Xvfb did not say which display it took" test -s "$work/display"
  export DISPLAY=":$(head -n 1 "$work/display")"
  wait_for "Xvfb did not start on $DISPLAY" xdotool getmouselocation
}

# Starts the editor ($1) with folders of the test's own and opens a new page: File > New is
# followed by the modal colour picker, whose colours Enter accepts. Sets $wid, the main window.
start_app_on_new_page() {
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
  mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM
  "$1" >"$work/app.log" 2>&1 &
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
}

# Save As through the file dialog (Ctrl+A), typing the path $1; waits for the bytes. The save
# is atomic: once the page is there, it is whole.
save_as_typed() {
  xdotool key --clearmodifiers ctrl+a
  wait_for "no save dialog after Ctrl+A" find_window 'Save' "$wid"
  xdotool windowfocus --sync "$found"
  xdotool type --delay 5 "$1"
  xdotool key Return
  wait_for "nothing saved at $1" test -s "$1"
}
