#!/usr/bin/env bash
# The installed program on a desktop with no display, driven over the desktop socket:
# windows and controls read back, a tap and a choice reach the controls as a user's would,
# and the screen comes back as a PNG.
source "$(dirname "$0")/desktop/lib.sh"

start_tarnwick

# The main window is the one top-level window, in front.
windows=$(ctl windows)
expect_eq "$(jq -r '.[0].title' <<<"$windows")" "Tarnwick" "topmost window"
expect_eq "$(jq -r '.[0].foreground' <<<"$windows")" "true" "main window in front"
expect_eq "$(jq -c '.[0].rect' <<<"$windows")" "[0,26,240,268]" "main window fills the work area"
hwnd=$(ctl find Tarnwick)
expect_eq "$hwnd" "$(jq -r '.[0].hwnd' <<<"$windows")" "find gives the listed handle"
expect_eq "$(ctl find 'No Such Window')" "null" "find of an unknown title"

# The tab strip: five tabs, Standings current; the season list is filled by the start-up
# timers, which idle has waited for.
tabs=$(ctl controls Tarnwick | jq -c '.[] | select(.id == 1001)')
expect_eq "$(jq -r .class <<<"$tabs")" "tab" "class of the tab strip"
expect_eq "$(jq -r '.items | length' <<<"$tabs")" "5" "tab count"
expect_eq "$(jq -r .selected <<<"$tabs")" "0" "first tab current"
rows=$(control "$hwnd" '.[] | select(.id == 1008) | .rows')
[ "$rows" -gt 1000 ] || fail "season list has $rows rows"
expect_eq "$(ctl cells Tarnwick 1008 | jq 'length')" "$rows" "cells of every season row"

# choose: the Season tab as a user's tap would pick it; its list shows, Standings' hides.
ctl choose Tarnwick 1001 4 >/dev/null || fail "choose the Season tab"
ctl idle >/dev/null
expect_eq "$(control Tarnwick '.[] | select(.id == 1001) | .selected')" "4" "tab after choose"
expect_eq "$(control Tarnwick '.[] | select(.id == 1008) | .visible')" "true" "season list shown"
expect_eq "$(control Tarnwick '.[] | select(.id == 1005) | .visible')" "false" "standings hidden"

# tap: the strip's left end is the first tab whatever the captions' widths.
read -r x y < <(control Tarnwick '.[] | select(.id == 1001) | "\(.rect[0] + 4) \(.rect[1] + .rect[3] / 2 | floor)"')
ctl tap "$x" "$y" >/dev/null || fail "tap"
ctl idle >/dev/null
expect_eq "$(control Tarnwick '.[] | select(.id == 1001) | .selected')" "0" "tab after tap"
expect_eq "$(control Tarnwick '.[] | select(.id == 1005) | .visible')" "true" "standings shown"

# A team picked in the Team tab's drop-down fills the schedule list for that team.
ctl choose Tarnwick 1001 2 >/dev/null
ctl choose Tarnwick 1022 5 >/dev/null || fail "choose a team"
ctl idle >/dev/null
expect_eq "$(control Tarnwick '.[] | select(.id == 1022) | .selected')" "5" "team picked"
games=$(ctl cells Tarnwick 1006 | jq 'length')
[ "$games" -gt 70 ] || fail "team schedule has $games rows"

# The screen as a PNG, with relative paths taken from the caller's folder.
(cd "$WORK" && ctl screenshot shot.png) || fail "screenshot"
expect_eq "$(png_size "$WORK/shot.png")" "240x320" "screenshot size"

# Errors the program must answer without harm.
ctl controls 'No Such Window' 2>/dev/null && fail "controls of an unknown window succeeded"
ctl cells Tarnwick 4242 2>/dev/null && fail "cells of an unknown control succeeded"
rc=0
ctl bogus 2>/dev/null || rc=$?
expect_eq "$rc" "2" "exit code of an unknown verb"
expect_eq "$(ctl cursor)" "none" "no wait cursor when idle"

kill -0 "$TW_PID" || fail "program gone"
echo PASS
