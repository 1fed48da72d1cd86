# Bad input for making a block hold: names that do not resolve, resolve too slowly, to
# 0.0.0.0, to loopback or to 500 addresses; the canary in the request; a foreign earlier
# hosts line. The pass waits for the lookup deadline at most, the foreign line stays, and
# the still-open name is logged once and listed for the app. (Foreign policy files are
# the policy writers' own tests.)
source "$(dirname "$0")/hold_lib.sh"
daemon_setup

site_network
start_names site.test=$site_address www.site.test=$site_address slow.test=silent \
  zero.test=0.0.0.0 loop.test=127.0.0.1 many.test=many:500
start_site $site_address 80
start_site 127.0.0.1 8080

# A foreign line that wins over the section for www.site.test.
echo "203.0.113.5 www.site.test" >>/etc/hosts
foreign_before=$(grep -n 'www.site.test' /etc/hosts)
foreign_kept() { [ "$(grep -n 'www.site.test' /etc/hosts | head -1)" = "$foreign_before" ]; }
write_request
start_daemon
hold "$work/site-client" site.test 80
hold "$work/loop-client" loop.test 8080

start=$(now_ms)
write_request site.test www.site.test slow.test nx.test zero.test loop.test many.test \
  use-application-dns.net
wait_for 5 hosts_has 127.0.0.2 site.test || fail "not blocked"
took=$(($(now_ms) - start))
# The name server never answers slow.test and the resolver would wait 2 s for it; the
# lookups end at the 1 s deadline.
check "a name past the deadline holds the pass 1.6 s at most ($took ms)" [ "$took" -lt 1600 ]
check "the canary is not written" bash -c '! grep -q use-application-dns.net /etc/hosts'
check "a name of 500 addresses is blocked" hosts_has 127.0.0.2 many.test

wait_for 2 grep -q '^closed' "$work/site-client" || { skip_if_kernel_refuses; fail "site.test not cut"; }
# The client may see its connection end before the helper has logged it.
check "the closing line names every name and the late one" wait_for 2 grep -q "closed [0-9]* connections\? to site.test, slow.test, nx.test, zero.test, loop.test, many.test (no address in time for slow.test)$" "$helper_log"
sleep 0.5
check "a loopback connection is not cut" bash -c '! grep -q "^closed" "$1"' _ "$work/loop-client"

# The foreign line wins: listed for the app, left as it was.
check "the still-open name is listed" \
  wait_for 2 grep -qx "www.site.test: an earlier line of /etc/hosts names it" /var/lib/Tarrow/still-open
check "the list's mode and owner" [ "$(stat -c '%a %u' /var/lib/Tarrow/still-open)" = "644 0" ]
check "the foreign line is left as it was" foreign_kept

sleep 3.5 # a timer pass or two
check "the still-open name is logged once" [ "$(lines_with "$helper_log" \
  "still open: www.site.test (an earlier line of /etc/hosts names it)")" = 1 ]

# Unblocking: the list goes, the foreign line stays.
write_request
wait_for 3 no_section || fail "section not removed"
check "the still-open list goes" wait_for 2 test ! -e /var/lib/Tarrow/still-open
check "the foreign line stays" foreign_kept
finish
