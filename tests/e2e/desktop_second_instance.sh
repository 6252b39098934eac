#!/usr/bin/env bash
# A second start hands over to the running copy: the running main window comes to the
# front and the second process exits 0 at once, without reading the registry.
source "$(dirname "$0")/desktop/lib.sh"

start_tarnwick

# Put another window in front first: the About box, a dialog of its own.
ctl command Tarnwick 40017 >/dev/null || fail "open About"
ctl idle >/dev/null
expect_eq "$(ctl windows | jq -r '.[] | select(.foreground) | .title')" "About Tarnwick" \
    "About in front"

# The second copy gets a registry that cannot be read: had it looked, it would stop at
# the "not installed" message box and never exit.
rc=0
TARNWICK_REGISTRY=$WORK/missing/registry.reg timeout 20 "$PREFIX/bin/tarnwick" \
    >"$WORK/second.log" 2>&1 || rc=$?
expect_eq "$rc" "0" "exit code of the second start"
[ -e "$WORK/missing" ] && fail "the second start touched its registry folder"

ctl idle >/dev/null
expect_eq "$(ctl windows | jq -r '.[] | select(.foreground) | .title')" "Tarnwick" \
    "main window in front after the second start"
expect_eq "$(ctl windows | jq -r '.[] | select(.title == "Tarnwick") | .visible')" "true" \
    "main window shown"
kill -0 "$TW_PID" || fail "first copy gone"

# A socket left behind by a copy that died is replaced by the next start.
kill -9 "$TW_PID"
wait "$TW_PID" 2>/dev/null || true
[ -S "$TARNWICK_DESKTOP" ] || fail "expected the dead copy's socket to remain"
start_tarnwick
expect_eq "$(ctl find Tarnwick | grep -c '^[0-9]')" "1" "new copy answers"
echo PASS
