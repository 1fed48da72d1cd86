# A block holds in a Chromium that had the site open: a kept-alive connection is closed
# within a second (another site on its address connects again), a new tab does not reach
# it, the running browser takes up the helper's policy (its own DNS-over-HTTPS off). The
# policy goes on unblocking and with --clear.
source "$(dirname "$0")/hold_lib.sh"
in_namespace
browser=$chromium && [ -n "$browser" ] || skip "no chromium"
show_on_failure "$helper_log" "$work/browser.err"
request="$work/home/request/blocked-hosts"
policy=/etc/chromium/policies/managed/de.brightloom.tarrow.helper.json
site_network
start_names site.test=$site_address other.test=$site_address
start_site $site_address 80
write_request
start_daemon
check "the policy folder is made while idle" wait_for 3 test -d "${policy%/*}"

started=$(now_ms)
tabs "$work/tabs1" open:http://site.test/first wait:"$work/go1" open:http://site.test/second \
  wait:"$work/go1b" open:chrome://policy/
contains "$(tab "$work/tabs1" 1)" 'real page of site.test /first' || fail "site not open at first"
hold "$work/client1" site.test 80
hold "$work/client2" other.test 80 --reconnect
# Chromium watches its policy folder from a few seconds after its start only.
while [ "$(now_ms)" -lt $((started + 6000)) ]; do sleep 0.1; done
write_request site.test
wait_for 5 hosts_has 127.0.0.2 site.test || fail "site.test not blocked"
section=$(now_ms)
wait_for 3 grep -q '^closed' "$work/client1" || { skip_if_kernel_refuses; fail "connection not closed"; }
took=$(($(awk '/^closed/ {print $2}' "$work/client1") - section))
check "the kept-alive connection closed within 1 s ($took ms)" [ "$took" -lt 1000 ]
check "another site on the same address is cut too, and connects again" \
  wait_for 5 grep -q '^reconnected HTTP/1.1 200' "$work/client2"
touch "$work/go1"
check "a new tab does not reach the site, which never sees its request" \
  eval 'not contains "$(tab "$work/tabs1" 2)" "real page" && not grep -q "site.test /second" "$work/site.log"'
check "the policy is written" [ "$(cat "$policy")" = '{"DnsOverHttpsMode": "off"}' ]
sleep 6 # Chromium reads a changed policy folder once it stood still for 5 s
touch "$work/go1b"
check "the running Chromium applies it" \
  contains "$(tab "$work/tabs1" 3)" 'DnsOverHttpsMode off Platform Machine Mandatory OK'
write_request
check "the policy goes on unblocking" wait_for 3 test ! -e "$policy"


stop "$daemon"
"$bin/tarrow-helper" --clear 2>>"$helper_log" || fail "--clear failed"
check "--clear removes the section and the policy" eval 'no_section && [ ! -e "$policy" ]'
finish
