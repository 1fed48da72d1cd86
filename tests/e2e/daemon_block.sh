# The daemon blocks with the note: names point at 127.0.0.2, the plain port answers
# with the block page, the TLS port notes the server name, request changes show at
# once, and an emptied request removes the section and the listener together.
source "$(dirname "$0")/../support/lib.sh"
daemon_setup

write_request blocked.example www.blocked.example
# The daemon makes its hits folder itself (on this namespace's own /var/lib).
umount /var/lib/Tarrow && rmdir /var/lib/Tarrow
start_daemon
wait_for 5 hosts_has 127.0.0.2 blocked.example || fail "names do not point at 127.0.0.2"
check "an IPv6 line" hosts_has :: www.blocked.example
check "the blocking line" wait_for 2 grep -q "blocking 2 host names, answering on 127.0.0.2" "$helper_log"
check "the hits folder's mode" [ "$(stat -c %a /var/lib/Tarrow)" = 755 ]

page=$(timeout 5 curl -s -w '\n%{http_code}' http://www.blocked.example/some/path) || fail "curl"
check "the page's status is 403" [ "$(tail -n1 <<<"$page")" = 403 ]
check "the page names the site" grep -q '<h1>blocked.example?<br>' <<<"$page"

check "no TLS handshake completes" bash -c '! echo | timeout 5 openssl s_client \
  -servername blocked.example -connect blocked.example:443 >/dev/null 2>&1'
hits=/var/lib/Tarrow/hits
check "a hit for the TLS name" wait_for 2 grep -q ' blocked.example$' "$hits"
check "noted exactly once" [ "$(grep -c ' blocked.example$' "$hits")" = 1 ]
check "a hit for the plain request" wait_for 2 grep -q ' www.blocked.example$' "$hits"
check "the hits file's mode and owner" [ "$(stat -c '%a %u' "$hits")" = "600 $request_owner" ]
check "the hits file ends with a line feed" [ -z "$(tail -c1 "$hits")" ]

# A rewritten request shows within moments, well before the next timer tick.
for round in 1 2 3; do
  start=$(now_ms)
  write_request blocked.example www.blocked.example "new$round.example"
  wait_for 3 hosts_has 127.0.0.2 "new$round.example" || fail "rewrite $round not applied"
  took=$(($(now_ms) - start))
  check "rewrite $round within 500 ms ($took ms)" [ "$took" -lt 500 ]
done

# An emptied request: the section and the listener go in the same pass; the next timer
# pass would be up to 3 s later.
write_request
wait_for 3 no_section || fail "section not removed"
check "the listener stops with the section" wait_for 0.5 port_closed 127.0.0.2 80
check "so does the TLS listener" port_closed 127.0.0.2 443
check "unblocked is logged once" [ "$(lines_with "$helper_log" unblocked)" = 1 ]
finish
