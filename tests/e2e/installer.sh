#!/usr/bin/env bash
# tarnwick-install records the data directory without touching the user's settings,
# changes nothing when run again, and leaves a registry file it cannot read alone.
set -euo pipefail
install_bin="$TW_BINARY_DIR/tools/tarnwick-install"
work="$(mktemp -d /tmp/tw-e2e-install-XXXXXX)"
trap 'rm -rf "$work"' EXIT
export TARNWICK_REGISTRY="$work/conf/registry.reg"
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/prefix/share/tarnwick"
cp "$TW_SOURCE_DIR"/res/data/*.dat "$work/prefix/share/tarnwick/"

# A relative prefix with a trailing slash becomes the absolute data directory.
(cd "$work" && "$install_bin" ./prefix/ >/dev/null)
grep -qxF "\"Install\"=\"$work/prefix/share/tarnwick\"" "$TARNWICK_REGISTRY" \
  || fail "Install not written as an absolute directory: $(cat "$TARNWICK_REGISTRY")"
grep -q '"Server"' "$TARNWICK_REGISTRY" && fail "Server written without --server"

# The user's settings survive, and a second identical run changes no byte.
cat >> "$TARNWICK_REGISTRY" <<'REG'
"OffSet"="-7"
"Index"=dword:00000002
"Team"=dword:0000001d
REG
"$install_bin" --server data.example:8080 "$work/prefix" >/dev/null
before="$(cat "$TARNWICK_REGISTRY")"
"$install_bin" --server data.example:8080 "$work/prefix" >/dev/null
[ "$(cat "$TARNWICK_REGISTRY")" = "$before" ] || fail "second run changed the registry"
for line in '"OffSet"="-7"' '"Index"=dword:00000002' '"Team"=dword:0000001d' \
            '"Server"="data.example:8080"'; do
  grep -qxF "$line" "$TARNWICK_REGISTRY" || fail "missing $line"
done

# Bad input: a clear message, exit 1, nothing written.
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Vell' \
  > "$TARNWICK_REGISTRY"
cp "$TARNWICK_REGISTRY" "$work/cut.reg"
if "$install_bin" "$work/prefix" 2>"$work/err"; then fail "accepted a cut registry file"; fi
grep -q "left as it is" "$work/err" || fail "unclear message: $(cat "$work/err")"
cmp -s "$TARNWICK_REGISTRY" "$work/cut.reg" || fail "cut registry file was written over"
for args in "--server" "--server a:0 $work/prefix" "--server a:b $work/prefix" "a b" ""; do
  # shellcheck disable=SC2086
  if "$install_bin" $args 2>/dev/null; then fail "accepted: $args"; fi
done
echo ok
