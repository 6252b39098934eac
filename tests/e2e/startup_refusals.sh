#!/usr/bin/env bash
# The installed program refuses to start without its Install value, and on a season file
# of another season: a message box titled "Tarnwick" with the refusal's text, then exit
# code 0 once the box is closed.
set -euo pipefail
: "${TW_BINARY_DIR:?TW_BINARY_DIR must name the build folder}"
work=$(mktemp -d /tmp/tw-e2e-refusals-XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/tarnwick.log" ] && cat "$work/tarnwick.log" >&2
    exit 1
}
expect_eq() { [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"; }

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export TARNWICK_REGISTRY=$work/registry.reg TARNWICK_DESKTOP=$work/run/desktop.sock
export SDL_VIDEODRIVER=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
prefix=$work/prefix
cmake --install "$TW_BINARY_DIR" --prefix "$prefix" >/dev/null || fail "cmake --install"
ctl() { "$prefix/bin/tarnwick-ctl" "$@"; }

refusal() {
    local expected=$1 what=$2 rc=0 i
    "$prefix/bin/tarnwick" >>"$work/tarnwick.log" 2>&1 &
    pid=$!
    for i in $(seq 100); do
        [ -S "$TARNWICK_DESKTOP" ] && ctl windows >/dev/null 2>&1 && break
        kill -0 "$pid" 2>/dev/null || fail "$what: tarnwick exited without a message"
        sleep 0.1
    done
    ctl idle 20000 >/dev/null || fail "$what: not idle"
    expect_eq "$(ctl windows | jq -r '[.[] | select(.visible) | .title] | join(",")')" \
        "Tarnwick" "$what: the one window shown"
    expect_eq "$(ctl controls Tarnwick | jq --arg t "$expected" 'map(select(.text == $t)) | length')" \
        "1" "$what: the message"
    kill -0 "$pid" || fail "$what: ended before the box was closed"
    # The program may end before its reply to the command has gone out.
    ctl command Tarnwick 1 >/dev/null 2>&1 || true
    wait "$pid" || rc=$?
    pid=
    expect_eq "$rc" "0" "$what: exit code"
}

# The key without Install.
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellmore\\tarnwick]\n"Team"=dword:00000003\n' \
    >"$TARNWICK_REGISTRY"
refusal $'Tarnwick does not appear to be installed properly.\n\nPlease run install again.' \
    "no Install"

# Installed, with a schedule whose first game is in 2004.
"$prefix/bin/tarnwick-install" "$prefix" >/dev/null || fail "tarnwick-install"
printf '10/08/2004 19:00,4,23\r\n10/09/2004 19:00,5,16\r\n' >"$prefix/share/tarnwick/Season.dat"
refusal $'Tarnwick version does not match schedule.\n\nPlease install the most current version.' \
    "a 2004 season"
echo PASS
