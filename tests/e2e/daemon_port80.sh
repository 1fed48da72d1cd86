# Port 80 held by another program: names point at 0.0.0.0; once the port is free and
# the 60-second pause is over, the next pass points them at 127.0.0.2. Takes about 65 s.
source "$(dirname "${BASH_SOURCE[0]}")/daemon_lib.sh"

python3 -c '
import socket, time
s = socket.socket(); s.bind(("127.0.0.2", 80)); s.listen(1); time.sleep(600)' &
holder=$!
wait_for 5 port_open 127.0.0.2 80 || fail "the holder did not start"

write_request held.example
start_daemon
wait_for 5 hosts_has 0.0.0.0 held.example || fail "not blocked without the note"
grep -q "port 80 on 127.0.0.2: Address already in use" "$log" || fail "no port line"
grep -q "port 443 on 127.0.0.2: ready" "$log" || fail "port 443 was not tried"
grep -q "listener not up, blocking without the note" "$log" || fail "no listener line"
wait_for 2 grep -q "blocking 1 host names, without the note" "$log" || fail "no blocking line"
kill "$holder"
wait "$holder" 2>/dev/null || true
started=$(date +%s)

sleep 50
hosts_has 0.0.0.0 held.example || fail "switched before the pause was over"
wait_for 20 hosts_has 127.0.0.2 held.example || fail "never switched to 127.0.0.2"
took=$(($(date +%s) - started))
[ "$took" -le 66 ] || fail "switch took $took s"
# The log line follows the rewrite (after the cache flush), so it may come a moment later.
wait_for 2 grep -q "blocking 1 host names, answering on 127.0.0.2" "$log" || fail "no answering line"
[ "$(log_count 'blocking 1 host names, answering on 127.0.0.2')" = 1 ] || fail "answering line not once"
[ "$(log_count 'listener not up')" = 1 ] || fail "retried during the pause"
echo "daemon_port80: ok (switched after $took s)"
