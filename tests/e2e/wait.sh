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
