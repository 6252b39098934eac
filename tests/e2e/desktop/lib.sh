# Shared by the desktop end-to-end tests: installs the build into a temporary prefix with
# its own registry file and desktop socket, starts the installed program with no display,
# and stops everything it started on every way out.
set -euo pipefail

: "${TW_BINARY_DIR:?TW_BINARY_DIR must name the build folder}"
WORK=$(mktemp -d /tmp/tw-e2e-XXXXXX)
PREFIX=$WORK/prefix
STARTED=()

cleanup() {
    local pid live=()
    for pid in "${STARTED[@]}"; do
        kill "$pid" 2>/dev/null && live+=("$pid")
    done
    for pid in "${live[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$WORK/tarnwick.log" ]; then
        echo "--- program output:" >&2
        cat "$WORK/tarnwick.log" >&2
    fi
    exit 1
}

# Nothing of the user's own set-up may leak in or be touched.
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config XDG_RUNTIME_DIR=$WORK/runtime
export TARNWICK_REGISTRY=$WORK/registry.reg TARNWICK_DESKTOP=$WORK/run/desktop.sock
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

cmake --install "$TW_BINARY_DIR" --prefix "$PREFIX" >/dev/null || fail "cmake --install"
"$PREFIX/bin/tarnwick-install" "$PREFIX" || fail "tarnwick-install"

ctl() { "$PREFIX/bin/tarnwick-ctl" "$@"; }

# Starts the installed program and waits until it answers at the socket and is idle.
start_tarnwick() {
    "$PREFIX/bin/tarnwick" >>"$WORK/tarnwick.log" 2>&1 &
    TW_PID=$!
    STARTED+=("$TW_PID")
    local i
    for i in $(seq 100); do
        [ -S "$TARNWICK_DESKTOP" ] && ctl windows >/dev/null 2>&1 && break
        kill -0 "$TW_PID" 2>/dev/null || fail "tarnwick exited at start"
        sleep 0.1
    done
    ctl idle 20000 >/dev/null || fail "not idle after start"
}

# The value of a jq filter over the controls of a window.
control() { ctl controls "$1" | jq -r "$2"; }

expect_eq() {
    [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"
}

# Width and height of a PNG file, from its header.
png_size() {
    local hex
    hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}
