#!/usr/bin/env bash
# Whatever a client sends, the program answers ok:false, keeps the connection and goes on
# answering; its data is untouched.
source "$(dirname "$0")/desktop/lib.sh"

start_tarnwick
before=$(ctl cells Tarnwick 1008 | md5sum)

big=$(head -c 70000 /dev/zero | tr '\0' 'x')
# One connection, one reply per line, in order; the last line proves it is still usable.
replies=$(
    {
        echo '{"op":"windows"'
        echo '[1,2,3]'
        echo '{"op":"fly"}'
        echo '{"noop":1}'
        echo '{"op":"tap","x":"ten","y":5}'
        echo '{"op":"tap","x":1e400,"y":5}'
        echo '{"op":"controls","window":987654321}'
        echo '{"op":"controls","window":"No Such Window"}'
        echo '{"op":"controls","window":[1]}'
        echo '{"op":"cells","window":"Tarnwick","id":4242}'
        echo '{"op":"cells","window":"Tarnwick","id":1001}'
        echo '{"op":"choose","window":"Tarnwick","id":1001,"index":99}'
        echo '{"op":"choose","window":"Tarnwick","id":1022,"index":-1}'
        echo '{"op":"screenshot","path":"/nonexistent/folder/x.png"}'
        echo '{"op":"idle","timeout_ms":"soon"}'
        printf '{"op":"find","title":"\xff\xfe"}\n'
        echo "{\"op\":\"find\",\"title\":\"$big\"}"
        echo '{"op":"find","title":"Tarnwick"}'
    } | ctl pipe
) && fail "pipe reported success for bad requests"
count=$(wc -l <<<"$replies")
expect_eq "$count" "18" "one reply per request"
expect_eq "$(head -n 17 <<<"$replies" | jq -r .ok | sort -u)" "false" "every bad request refused"
head -n 17 <<<"$replies" | jq -e 'select((.error | type) != "string" or (.error | length) == 0)' \
    >/dev/null && fail "a refusal without an error text"
expect_eq "$(tail -n 1 <<<"$replies" | jq -r .ok)" "true" "connection usable after the bad lines"
grep -q 'longer than 65536' <<<"$replies" || fail "oversized line not named"
grep -q 'fly' <<<"$replies" || fail "unknown op not named"

kill -0 "$TW_PID" || fail "program gone"
ctl idle >/dev/null || fail "not idle after the bad requests"
expect_eq "$(ctl cells Tarnwick 1008 | md5sum)" "$before" "season list unchanged"
echo PASS
