# The daemon alone: a request's names point at 127.0.0.2 at once, where the page and the
# TLS port note which was wanted; an emptied request unblocks; a new folder is watched.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
request="$work/home/request/blocked-hosts" request_owner=65534 hits=/var/lib/Tarrow/hits
show_on_failure "$helper_log" /etc/hosts
rewritten() { # the last name blocked within 500 ms
  local start=$(now_ms) took
  write_request "$@"
  wait_for 3 hosts_has 127.0.0.2 "${@: -1}" || fail "${*: -1} not blocked"
  took=$(($(now_ms) - start)) && check "${*: -1} blocked within 500 ms ($took ms)" [ "$took" -lt 500 ]
}

write_request blocked.example www.blocked.example
umount /var/lib/Tarrow && rmdir /var/lib/Tarrow # the daemon makes its hits folder itself
start_daemon
wait_for 5 hosts_has 127.0.0.2 blocked.example || fail "names do not point at 127.0.0.2"
check "an IPv6 line" hosts_has :: www.blocked.example
check "the hits folder's mode" [ "$(stat -c %a /var/lib/Tarrow)" = 755 ]
page=$(timeout 5 curl -s -w '%{http_code}' http://www.blocked.example/some/path) || fail "curl"
check "the page names the site, status 403" eval 'contains "$page" "<h1>blocked.example?<br>" && [ "${page: -3}" = 403 ]'
check "no TLS handshake completes" not bash -c 'echo | timeout 5 openssl s_client \
  -servername blocked.example -connect blocked.example:443 >/dev/null 2>&1'
check "one hit for each, the file the user's alone" wait_for 2 eval \
  '[ "$(cut -d" " -f2 "$hits" | sort | xargs)/$(stat -c "%a %u" "$hits")" = "blocked.example www.blocked.example/600 $request_owner" ]'
for round in 1 2; do rewritten blocked.example "new$round.example"; done

write_request
check "an emptied request removes the section and the listener" wait_for 3 eval 'no_section && not curl -so /dev/null -m 1 http://127.0.0.2/'


rm -rf "${request%/*}"
write_request back.example
wait_for 4 hosts_has 127.0.0.2 back.example || fail "new folder's request not applied"
sleep 0.2
rewritten back.example again.example # the new folder is watched
finish
