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
