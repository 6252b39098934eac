#!/usr/bin/env bash
# File > Download > Standings as a user does it: against nginx serving a newer standings
# file the Standings tab shows the new file (title and rows) exactly as a fresh start on
# that file does; with the server stopped, one message box says why and nothing changes.
set -euo pipefail
bin="$TW_BINARY_DIR/tarnwick"
ctl="$TW_BINARY_DIR/tools/tarnwick-ctl"
install_bin="$TW_BINARY_DIR/tools/tarnwick-install"
for tool in "$bin" "$ctl" "$install_bin"; do
  [ -x "$tool" ] || { echo "SKIP: $tool not built"; exit 0; }
done
command -v jq >/dev/null || { echo "SKIP: jq not installed"; exit 0; }

work="$(mktemp -d /tmp/tw-e2e-download-XXXXXX)"
pid=""
nginx_pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export TARNWICK_REGISTRY="$work/registry.reg"
export TARNWICK_DESKTOP="$work/desktop.sock"
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}"

data="$work/prefix/share/tarnwick"
served="$work/served"
mkdir -p "$data" "$served"
cp "$TW_SOURCE_DIR"/res/data/*.dat "$data/"
# The server's file: a new as-of text, and other numbers for the first team.
{
  printf '"03/02/2004"\r\n'
  tail -n +2 "$data/Standings.dat" | sed 's/^"Flyers",40,27,15,101/"Flyers",41,27,15,103/'
} >"$served/Standings.dat"
cmp -s "$served/Standings.dat" "$data/Standings.dat" && fail "the served file is not new"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null \
       || echo $((20000 + RANDOM % 20000)))
"$TW_SOURCE_DIR/tools/nginx/serve.sh" "$served" "$port" "$work/nginx" >/dev/null
nginx_pid=$(cat "$work/nginx/nginx.pid")
"$install_bin" --server "127.0.0.1:$port" "$work/prefix" >/dev/null

start() {
  "$bin" >"$work/out.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do
    main=$("$ctl" find Tarnwick 2>/dev/null || true)
    [ -n "$main" ] && [ "$main" != null ] && break
    sleep 0.1
  done
  [ -n "$main" ] && [ "$main" != null ] || fail "the main window did not open: $(cat "$work/out.log")"
  "$ctl" idle 10000 >/dev/null
}
stop() {
  "$ctl" command "$main" 1 >/dev/null || true
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}
# File > Download > Standings with the stylus: the File button of the command bar, the
# Download item of its menu, the first item (Standings) of the pop-up that opens.
tap_first_item() { # of a pop-up menu at [x, y, width, height]
  "$ctl" tap "$(echo "$1" | jq '.[0] + (.[2] / 2 | floor)')" "$(echo "$1" | jq '.[1] + 10')" >/dev/null
}
menus() { "$ctl" windows | jq -c '[.[] | select(.title == "" and .visible) | .rect]'; }
download_standings() {
  "$ctl" tap 18 307 >/dev/null
  "$ctl" idle 5000 >/dev/null
  [ "$(menus | jq length)" = 1 ] || fail "the File menu did not open: $(menus)"
  tap_first_item "$(menus | jq -c '.[0]')"
  "$ctl" idle 5000 >/dev/null
  [ "$(menus | jq length)" = 2 ] || fail "the Download pop-up did not open: $(menus)"
  tap_first_item "$(menus | jq -c '.[0]')" # the newest pop-up is the topmost
}
# The windows titled "Tarnwick" other than the main window: message boxes.
boxes() { "$ctl" windows | jq -c --argjson main "$main" '[.[] | select(.title == "Tarnwick" and .hwnd != $main)]'; }

start
before=$("$ctl" cells "$main" 1005)
"$ctl" screenshot "$work/before.png" >/dev/null

download_standings
"$ctl" idle 20000 >/dev/null
[ "$("$ctl" find "TWK Download")" = null ] || fail "the download dialog is still open"
[ "$(boxes)" = "[]" ] || fail "a message box after a good download: $(boxes)"
cmp -s "$data/Standings.dat" "$served/Standings.dat" || fail "Standings.dat is not the served file"
after=$("$ctl" cells "$main" 1005)
[ "$after" != "$before" ] || fail "the standings rows did not change"
echo "$after" | jq -e 'map(select(.[0] | test("Flyers"))) | .[0] | index("103")' >/dev/null \
  || fail "the Flyers row does not show the new points: $after"
"$ctl" screenshot "$work/downloaded.png" >/dev/null
cmp -s "$work/before.png" "$work/downloaded.png" && fail "the screen did not change"

# A fresh start on the new file shows the same screen: the title carries the new as-of text.
stop
start
"$ctl" screenshot "$work/fresh.png" >/dev/null
cmp -s "$work/downloaded.png" "$work/fresh.png" \
  || fail "the screen after the download differs from a fresh start on the new file"

# The server stopped: one message box over the main window, the standings as before.
kill "$nginx_pid"
for _ in $(seq 1 100); do [ -e "$work/nginx/nginx.pid" ] || break; sleep 0.05; done
nginx_pid=""
stored=$(cat "$data/Standings.dat")
shown=$("$ctl" cells "$main" 1005)
download_standings
"$ctl" idle 20000 >/dev/null
list=$(boxes)
[ "$(echo "$list" | jq length)" = 1 ] || fail "expected one message box, got: $list"
box=$(echo "$list" | jq '.[0].hwnd')
text=$("$ctl" controls "$box" | jq -r '[.[] | select(.class == "static") | .text] | join("")')
case $text in
  *"Send Request Error 12029"*"The attempt to connect to the server failed."*) ;;
  *) fail "message box text: $text" ;;
esac
"$ctl" command "$box" 1 >/dev/null
"$ctl" idle 10000 >/dev/null
[ "$(boxes)" = "[]" ] || fail "a second message box: $(boxes)"
[ "$("$ctl" cells "$main" 1005)" = "$shown" ] || fail "the standings changed after a failure"
[ "$(cat "$data/Standings.dat")" = "$stored" ] || fail "Standings.dat changed after a failure"
stop
echo ok
