# Port 80 held by another program: names point at 0.0.0.0; once the port is free and
# the 60-second pause is over, the next pass points them at 127.0.0.2. Takes about 65 s.
source "$(dirname "$0")/../support/lib.sh"
daemon_setup

hold_ports 127.0.0.2 80
write_request held.example
start_daemon
wait_for 5 hosts_has 0.0.0.0 held.example || fail "not blocked without the note"
check "the port line" grep -q "port 80 on 127.0.0.2: Address already in use" "$helper_log"
check "port 443 was tried" grep -q "port 443 on 127.0.0.2: ready" "$helper_log"
check "the listener line" grep -q "listener not up, blocking without the note" "$helper_log"
check "the blocking line" wait_for 2 grep -q "blocking 1 host names, without the note" "$helper_log"
stop "$holder"
started=$(date +%s)

sleep 50
check "no switch before the pause is over" hosts_has 0.0.0.0 held.example
wait_for 20 hosts_has 127.0.0.2 held.example || fail "never switched to 127.0.0.2"
took=$(($(date +%s) - started))
check "the switch within 66 s ($took s)" [ "$took" -le 66 ]
# The log line follows the rewrite (after the cache flush), so it may come a moment later.
answering='blocking 1 host names, answering on 127.0.0.2'
check "the answering line" wait_for 2 grep -q "$answering" "$helper_log"
check "logged once" [ "$(lines_with "$helper_log" "$answering")" = 1 ]
check "no retry during the pause" [ "$(lines_with "$helper_log" 'listener not up')" = 1 ]
finish
