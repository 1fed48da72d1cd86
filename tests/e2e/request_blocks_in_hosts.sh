# The daemon alone: a request's names point at 127.0.0.2 in /etc/hosts at once, where the
# page and the TLS port note which name was wanted; an emptied, stale or removed request
# unblocks; a request folder made anew is watched again.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
request="$work/home/request/blocked-hosts" request_owner=65534 hits=/var/lib/Tarrow/hits
show_on_failure "$helper_log" /etc/hosts
# rewritten <names...>: the request rewritten, the last name blocked within 500 ms.
rewritten() {
  local start took
  start=$(now_ms)
  write_request "$@"
  wait_for 3 hosts_has 127.0.0.2 "${@: -1}" || fail "${*: -1} not blocked"
  took=$(($(now_ms) - start))
  check "${*: -1} blocked within 500 ms ($took ms)" [ "$took" -lt 500 ]
}

write_request blocked.example www.blocked.example
umount /var/lib/Tarrow && rmdir /var/lib/Tarrow # the daemon makes its hits folder itself
start_daemon
wait_for 5 hosts_has 127.0.0.2 blocked.example || fail "names do not point at 127.0.0.2"
check "an IPv6 line" hosts_has :: www.blocked.example
check "the hits folder's mode" [ "$(stat -c %a /var/lib/Tarrow)" = 755 ]
page=$(timeout 5 curl -s -w '%{http_code}' http://www.blocked.example/some/path) || fail "curl"
check "the page names the site" contains "$page" '<h1>blocked.example?<br>'
check "the page's status is 403" [ "${page: -3}" = 403 ]
check "no TLS handshake completes" not bash -c 'echo | timeout 5 openssl s_client \
  -servername blocked.example -connect blocked.example:443 >/dev/null 2>&1'
check "one hit for the TLS name" wait_for 2 [ "$(lines_with "$hits" ' blocked.example')" = 1 ]
check "a hit for the plain request" wait_for 2 grep -q ' www.blocked.example$' "$hits"
check "the hits file's mode and owner" [ "$(stat -c '%a %u' "$hits")" = "600 $request_owner" ]
for round in 1 2; do rewritten blocked.example "new$round.example"; done

write_request
check "an emptied request removes the section" wait_for 3 no_section
check "and the listener with it" wait_for 0.5 not curl -s -m 1 http://127.0.0.2/

write_request stale.example
wait_for 4 hosts_has 127.0.0.2 stale.example || fail "not blocked"
touch -d "@$(($(date +%s) - 301))" "$request"
check "a request older than 300 s unblocks within a tick" wait_for 4 no_section

rm -rf "${request%/*}"
write_request back.example
wait_for 4 hosts_has 127.0.0.2 back.example || fail "new folder's request not applied"
sleep 0.2
rewritten back.example again.example # the new folder is watched
finish
