#!/usr/bin/env bash
# Starts Halvane under Xvfb: File > New, accept the colour picker, F3, Save As by typing a path
# into the file dialog, and checks the saved bytes; also checks the clear message given when
# there is no display at all.
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
# File > New is followed by the modal colour picker: accept its colours with Enter.
picker=$(xdotool search --onlyvisible --name '^Color Picker$' 2>/dev/null | head -1 || true)
[ -n "$picker" ] || fail "no colour picker after File > New"
xdotool windowfocus --sync "$picker"
xdotool key Return
sleep 0.5
xdotool windowfocus --sync "$wid"
before=$(red_pixels)
xdotool key F3
sleep 0.5
after=$(red_pixels)
[ "$after" -gt $((before + 50)) ] || fail "F3 drew no red tag pair (red pixels $before -> $after)"

# Save As through the file dialog, typing the path, then check the bytes written.
page="$work/smoke page.htm"
xdotool key --clearmodifiers ctrl+a
dialog=""
for _ in $(seq 50); do
  dialog=$(xdotool search --onlyvisible --name 'Save' 2>/dev/null | grep -v "^$wid$" | head -1 || true)
  [ -n "$dialog" ] && break
  sleep 0.1
done
[ -n "$dialog" ] || fail "no save dialog after Ctrl+A"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 5 "$page"
xdotool key Return
for _ in $(seq 50); do [ -s "$page" ] && break; sleep 0.1; done
[ -s "$page" ] || fail "nothing saved at $page"

# New page, default colours accepted, Bold at the caret the picker left (offset 122).
expected="$(dirname "$0")/expected-new-bold.htm"
cmp -s "$page" "$expected" || fail "saved page differs from $expected: $(cmp "$page" "$expected" 2>&1)"
kill -0 "$app_pid" || fail "the editor exited"
echo "e2e smoke: window shown, picker accepted, F3 inserted the red tag pair ($before -> $after red pixels), Save As wrote $(wc -c <"$page") bytes"
