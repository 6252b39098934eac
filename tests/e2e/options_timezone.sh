#!/usr/bin/env bash
# A user picks the Bruins and "GMT-8 Pacific US" in Options, saves, quits and starts again:
# the Team tab shows the Bruins' games in Pacific time and the Season tab's first game is
# three hours earlier than the Eastern 7:00p it was before.
set -euo pipefail

: "${TW_BINARY_DIR:?}" "${TW_SOURCE_DIR:?}"
work=$(mktemp -d)
app_pid=
cleanup() {
    if [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null; then kill "$app_pid"; fi
    rm -rf "$work"
}
trap cleanup EXIT

prefix=$work/prefix
cmake --install "$TW_BINARY_DIR" --prefix "$prefix" >/dev/null
export TARNWICK_REGISTRY=$work/registry.reg
export TARNWICK_DESKTOP=$work/desktop.sock
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export SDL_VIDEODRIVER=offscreen
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
"$prefix/bin/tarnwick-install" "$prefix"
ctl=$prefix/bin/tarnwick-ctl
[[ -x $ctl ]] || ctl=$TW_BINARY_DIR/tools/tarnwick-ctl
shots=${TW_SCREENSHOTS:-$work}

fail() { echo "FAIL: $*" >&2; exit 1; }

start_app() {
    "$prefix/bin/tarnwick" &
    app_pid=$!
    for _ in $(seq 100); do
        "$ctl" find Tarnwick 2>/dev/null | grep -q '[0-9]' && break
        sleep 0.1
    done
    "$ctl" idle >/dev/null || fail "the main window did not settle"
}

quit_app() {
    "$ctl" command Tarnwick 1 >/dev/null
    wait "$app_pid" || fail "tarnwick exited with $?"
    app_pid=
}

# tarnwick-ctl prints a reply's only field as it is: cells print the rows, controls the list.
# The first row of list view $1 in the main window, cells joined by "|".
first_row() {
    "$ctl" cells Tarnwick "$1" | python3 -c '
import json, sys
rows = json.load(sys.stdin)
print("|".join(rows[0]) if rows else "")'
}

# The position of $2 among the items of combo box $1 of window "TWK Options".
option_index() {
    "$ctl" controls "TWK Options" | python3 -c '
import json, sys
want_id, want = int(sys.argv[1]), sys.argv[2]
for c in json.load(sys.stdin):
    if c["id"] == want_id:
        print(c["items"].index(want))' "$1" "$2"
}

start_app
eastern=$(first_row 1008)
[[ $eastern == "10/08|Bruins @ "*"|7:00p" ]] || fail "Season tab before: $eastern"

"$ctl" command Tarnwick 40010 >/dev/null
"$ctl" idle >/dev/null
bruins=$(option_index 1022 Bruins)
pacific=$(option_index 1023 "GMT-8 Pacific US")
[[ $bruins == 4 && $pacific == 4 ]] || fail "Bruins at $bruins, Pacific at $pacific"
"$ctl" choose "TWK Options" 1022 "$bruins" >/dev/null
"$ctl" choose "TWK Options" 1023 "$pacific" >/dev/null
"$ctl" idle >/dev/null
"$ctl" screenshot "$shots/options.png" >/dev/null
"$ctl" command "TWK Options" 1039 >/dev/null
"$ctl" idle >/dev/null
"$ctl" find "TWK Options" | grep -q '[0-9]' && fail "Options still open after Save"

"$ctl" command Tarnwick 40017 >/dev/null
"$ctl" idle >/dev/null
"$ctl" screenshot "$shots/about.png" >/dev/null
"$ctl" command "About Tarnwick" 1 >/dev/null
"$ctl" idle >/dev/null
quit_app

grep -qi '"OffSet"="-3"' "$TARNWICK_REGISTRY" || fail "OffSet not stored: $(cat "$TARNWICK_REGISTRY")"

start_app
team=$(first_row 1006)
[[ $team == "10/08| @ "*"|4:00p" ]] || fail "Team tab after restart: $team"
season=$(first_row 1008)
[[ $season == *"|4:00p" ]] || fail "Season tab after restart: $season (was $eastern)"
[[ ${season%|*} == "${eastern%|*}" ]] || fail "Season tab's first game changed: $season vs $eastern"
quit_app
echo "ok: Team tab '$team', Season tab '$eastern' -> '$season'"
