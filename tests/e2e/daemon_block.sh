# The daemon blocks with the note: names point at 127.0.0.2, the plain port answers
# with the block page, the TLS port notes the server name, request changes show at
# once, and an emptied request removes the section and the listener together.
source "$(dirname "${BASH_SOURCE[0]}")/daemon_lib.sh"

write_request blocked.example www.blocked.example
start_daemon
wait_for 5 hosts_has 127.0.0.2 blocked.example || fail "names do not point at 127.0.0.2"
hosts_has :: www.blocked.example || fail "no IPv6 line"
wait_for 2 grep -q "blocking 2 host names, answering on 127.0.0.2" "$log" || fail "no blocking line"
[ "$(stat -c %a /var/lib/Tarrow)" = 755 ] || fail "hits folder mode"

page=$(timeout 5 curl -s -w '\n%{http_code}' http://www.blocked.example/some/path) || fail "curl"
[ "$(tail -n1 <<<"$page")" = 403 ] || fail "status: $(tail -n1 <<<"$page")"
grep -q '<h1>blocked.example?<br>' <<<"$page" || fail "page does not name the site"

echo | timeout 5 openssl s_client -servername blocked.example -connect blocked.example:443 \
    >/dev/null 2>&1 && fail "TLS handshake should not complete"
hits=/var/lib/Tarrow/hits
wait_for 2 grep -q ' blocked.example$' "$hits" || fail "no hit for the TLS name"
[ "$(grep -c ' blocked.example$' "$hits")" = 1 ] || fail "TLS hit not exactly once"
wait_for 2 grep -q ' www.blocked.example$' "$hits" || fail "no hit for the plain request"
[ "$(stat -c '%a %u' "$hits")" = "600 $user" ] || fail "hits mode and owner $(stat -c '%a %u' "$hits")"
[ -z "$(tail -c1 "$hits")" ] || fail "hits file does not end with a line feed"

# A rewritten request shows within moments, well before the next timer tick.
for round in 1 2 3; do
    start=$(now_ms)
    write_request blocked.example www.blocked.example "new$round.example"
    wait_for 3 hosts_has 127.0.0.2 "new$round.example" || fail "rewrite $round not applied"
    took=$(($(now_ms) - start))
    [ "$took" -lt 500 ] || fail "rewrite $round took $took ms"
done

# An emptied request: the section and the listener go in the same pass.
write_request
wait_for 3 no_section || fail "section not removed"
# The pass that removed the section stops the listener right after; the next timer pass
# would be up to 3 s later.
wait_for 0.5 port_closed 127.0.0.2 80 || fail "listener still up after unblocking"
port_closed 127.0.0.2 443 || fail "TLS listener still up after unblocking"
[ "$(log_count unblocked)" = 1 ] || fail "unblocked not logged once"
echo "daemon_block: ok"
