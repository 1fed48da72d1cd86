# tarrow-helper --listen-test <folder> <plain port> <TLS port>: answers on 127.0.0.1,
# notes hits in <folder>/hits, and exits 1 with one line when a port is taken.
set -euo pipefail
helper="${TARROW_BIN:?}/tarrow-helper"
folder=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$folder"' EXIT
fail() { echo "FAIL: $*" >&2; cat "$folder/log" >&2 || true; exit 1; }

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
plain=$(free_port)
tls=$(free_port)
"$helper" --listen-test "$folder" "$plain" "$tls" 2>"$folder/log" &
pid=$!
for _ in $(seq 100); do grep -q "listen test on" "$folder/log" && break; sleep 0.05; done
grep -q "listen test on 127.0.0.1:$plain and :$tls, hits in $folder/hits" "$folder/log" ||
    fail "no start line"

answer=$(timeout 5 curl -s -H 'Host: www.Example.org:8080' "http://127.0.0.1:$plain/")
grep -q '<h1>example.org?<br>' <<<"$answer" || fail "no page for the Host header"
timeout 5 curl -s -k --resolve "tls.example:$tls:127.0.0.1" "https://tls.example:$tls/" &&
    fail "the TLS port must not complete a handshake"
sleep 0.2
hosts=$(cut -d' ' -f2 "$folder/hits" | tr '\n' ' ')
[ "$hosts" = "www.example.org tls.example " ] || fail "hits: $hosts"

# The same ports again, while taken: one failure line, exit 1.
set +e
"$helper" --listen-test "$folder" "$plain" "$tls" 2>"$folder/second"
status=$?
set -e
[ "$status" = 1 ] || fail "exit status $status for a taken port"
tail -n1 "$folder/second" | grep -q '  listen test: cannot bind$' || fail "no cannot-bind line"
echo "listen_test_mode: ok"
