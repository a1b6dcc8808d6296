#!/usr/bin/env bash
# Starts Halvane under Xvfb, opens a page with Ctrl+N, presses F3 and checks that the red tag
# pair appeared; also checks the clear message given when there is no display at all.
set -euo pipefail
binary=$1
work=$(mktemp -d)
trap 'kill $app_pid $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
app_pid=""; xvfb_pid=""

fail() { echo "FAIL: $*" >&2; exit 1; }

# Without a display: a message, no crash.
set +e
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$binary" 2>&1); code=$?
set -e
[ "$code" -eq 2 ] || fail "no-display exit code $code"
grep -q "needs a graphical display" <<<"$out" || fail "no-display message: $out"

# A free display number.
for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { display=:$n; break; }; done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
"$binary" >"$work/app.log" 2>&1 &
app_pid=$!

wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name '^Halvane$' 2>/dev/null | head -1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "no visible window titled Halvane"

red_pixels() {
  import -window root "$work/shot.png"
  convert "$work/shot.png" -fuzz 35% -fill black +opaque 'rgb(255,0,0)' -fill white -opaque 'rgb(255,0,0)' \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers ctrl+n
sleep 1
before=$(red_pixels)
xdotool key F3
sleep 0.5
after=$(red_pixels)
[ "$after" -gt $((before + 50)) ] || fail "F3 drew no red tag pair (red pixels $before -> $after)"
kill -0 "$app_pid" || fail "the editor exited"
echo "e2e smoke: window shown, F3 inserted the red tag pair ($before -> $after red pixels)"
