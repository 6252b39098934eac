#!/usr/bin/env bash
# The desktop window on a real X server (Xvfb): it opens at twice the device's size, a
# click at a scaled point reaches the control under it, its title follows the foreground
# window, and closing it ends the program cleanly.
source "$(dirname "$0")/desktop/lib.sh"

command -v Xvfb >/dev/null && command -v xdotool >/dev/null || {
    echo "SKIP: Xvfb and xdotool are needed (tools/packages.sh test)"
    exit 77
}

# A display of our own; Xvfb writes the free number it took.
: >"$WORK/display"
Xvfb -displayfd 3 -screen 0 800x800x24 -nolisten tcp 3>>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
STARTED+=("$!")
display=""
for i in $(seq 100); do
    display=$(tr -dc 0-9 <"$WORK/display")
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || fail "Xvfb did not start"
export DISPLAY=:$display SDL_VIDEODRIVER=x11
unset TARNWICK_SCALE

start_tarnwick

wid=$(xdotool search --sync --name '^Tarnwick$' | head -n 1)
[ -n "$wid" ] || fail "no X window titled Tarnwick"
eval "$(xdotool getwindowgeometry --shell "$wid")"
expect_eq "${WIDTH}x${HEIGHT}" "480x640" "window size at scale 2"

# Start on the Season tab, then click the strip's left end: the first tab, whatever the
# captions' widths, at twice its device coordinates.
ctl choose Tarnwick 1001 4 >/dev/null || fail "choose the Season tab"
ctl idle >/dev/null
read -r x y < <(control Tarnwick '.[] | select(.id == 1001) | "\(.rect[0] + 4) \(.rect[1] + .rect[3] / 2 | floor)"')
xdotool mousemove --window "$wid" $((x * 2 + 1)) $((y * 2 + 1)) click 1
for i in $(seq 50); do
    [ "$(control Tarnwick '.[] | select(.id == 1001) | .selected')" = 0 ] && break
    sleep 0.1
done
expect_eq "$(control Tarnwick '.[] | select(.id == 1001) | .selected')" "0" "tab after the click"

# The desktop window's title follows the foreground window.
ctl command Tarnwick 40017 >/dev/null || fail "open About"
ctl idle >/dev/null
for i in $(seq 50); do
    [ "$(xdotool getwindowname "$wid")" = "About Tarnwick" ] && break
    sleep 0.1
done
expect_eq "$(xdotool getwindowname "$wid")" "About Tarnwick" "title with About in front"

# Closing the desktop window is the user quitting: with the About box still open, the
# main window is cancelled, its clean-up ends the About box, and the program exits 0.
cc "$(dirname "$0")/desktop/close_window.c" -o "$WORK/close_window" -lX11 ||
    fail "cannot build the close helper"
"$WORK/close_window" "$wid" || fail "close request not sent"
for i in $(seq 100); do
    kill -0 "$TW_PID" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$TW_PID" 2>/dev/null && fail "still running 10 s after its window was closed"
rc=0
wait "$TW_PID" || rc=$?
expect_eq "$rc" "0" "exit code after closing the window"
[ -e "$TARNWICK_DESKTOP" ] && fail "socket left behind after a clean exit"

# A message box is ended too: the start-up refusal of a missing install, closed with the
# window, lets the program end.
TARNWICK_REGISTRY=$WORK/none.reg "$PREFIX/bin/tarnwick" >>"$WORK/tarnwick.log" 2>&1 &
TW_PID=$!
STARTED+=("$TW_PID")
for i in $(seq 100); do
    [ "$(ctl windows 2>/dev/null | jq -r '.[0].title')" = "Tarnwick" ] && break
    sleep 0.1
done
ctl controls Tarnwick | jq -e '.[] | select(.text == "OK")' >/dev/null || fail "no message box"
wid=$(xdotool search --sync --name '^Tarnwick$' | head -n 1)
"$WORK/close_window" "$wid" || fail "close request not sent"
rc=0
timeout 10 tail --pid="$TW_PID" -f /dev/null || fail "message box not ended by the close"
wait "$TW_PID" || rc=$?
expect_eq "$rc" "0" "exit code after closing the message box's window"
echo PASS
