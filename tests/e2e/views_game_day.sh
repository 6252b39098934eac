#!/usr/bin/env bash
# The installed program on a game day of the bundled season, 10 January 2004, under
# faketime: the Today tab lists that day's games with their times, the Team tab the
# favourite team's 82 games, and two taps on the roster's "Player" header reverse it.
source "$(dirname "$0")/desktop/lib.sh"

# The day comes from the system clock, moved to the game day; the monotonic clock that
# drives the timers runs on untouched. A sanitized build lets the clock library load first.
faketime_lib=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -1)
[ -n "$faketime_lib" ] || fail "libfaketime is not installed"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
LD_PRELOAD=$faketime_lib FAKETIME="@2004-01-10 12:00:00" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    start_tarnwick

ctl choose Tarnwick 1001 1 >/dev/null && ctl idle >/dev/null
expect_eq "$(ctl cells Tarnwick 1047 | jq -c .)" \
    '[["Blackhawks @ Blues","2:00p"],["Senators @ Predators","2:00p"],["Hurricanes @ Bruins","7:00p"],["Islanders @ Canadiens","7:00p"],["Devils @ Panthers","7:30p"],["Penguins @ Rangers","7:30p"],["Flames @ Coyotes","9:30p"]]' \
    "the games of 10 January 2004"
ctl screenshot "$WORK/today.png" >/dev/null || fail "screenshot of Today"

ctl choose Tarnwick 1001 2 >/dev/null && ctl idle >/dev/null
expect_eq "$(ctl cells Tarnwick 1006 | jq length)" "82" "games of the favourite team"
expect_eq "$(ctl cells Tarnwick 1006 | jq -r '.[0] | join("|")')" "10/09| vs Sharks|9:00p" \
    "the Avalanche's first game"

ctl choose Tarnwick 1001 3 >/dev/null && ctl idle >/dev/null
rect=$(control Tarnwick '.[] | select(.id == 1007) | .rect | join(" ")')
read -r x y _ _ <<<"$rect"
header_x=$((x + 1 + 20 + 40)) # the middle of "Player", after the 20 pixels of "#"
header_y=$((y + 6))
ctl tap "$header_x" "$header_y" >/dev/null && ctl idle >/dev/null
ascending=$(ctl cells Tarnwick 1007 | jq -c '[.[] | .[1]]')
ctl tap "$header_x" "$header_y" >/dev/null && ctl idle >/dev/null
descending=$(ctl cells Tarnwick 1007 | jq -c '[.[] | .[1]] | reverse')
expect_eq "$(jq length <<<"$ascending")" "24" "players of the favourite team"
expect_eq "$(jq -c sort <<<"$ascending")" "$ascending" "the first tap sorts by name"
expect_eq "$descending" "$ascending" "the second tap reverses the roster"
ctl screenshot "$WORK/roster.png" >/dev/null || fail "screenshot of Roster"
# TW_SHOTS names a folder that keeps the screenshots for a look.
if [ -n "${TW_SHOTS:-}" ]; then
    cp "$WORK/today.png" "$WORK/roster.png" "$TW_SHOTS/"
fi
echo PASS
