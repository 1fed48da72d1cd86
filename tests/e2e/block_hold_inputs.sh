# Bad input for making a block hold: names that do not resolve, resolve too slowly, to
# 0.0.0.0, to loopback or to 500 addresses; the canary in the request; a policy folder
# that is a link elsewhere and a foreign file of the policy's name; a foreign earlier
# hosts line. The pass waits for the lookup deadline at most, nothing foreign changes,
# and the still-open name is logged once and listed for the app.
source "$(dirname "${BASH_SOURCE[0]}")/hold_lib.sh"

site_network
start_names site.test=$site_address www.site.test=$site_address slow.test=silent \
    zero.test=0.0.0.0 loop.test=127.0.0.1 many.test=many:500
start_site $site_address 80
start_site 127.0.0.1 8080

# A foreign line that wins over the section for www.site.test.
echo "203.0.113.5 www.site.test" >>/etc/hosts
foreign_before=$(grep -n 'www.site.test' /etc/hosts)
# Chrome's folder is a link to elsewhere; Brave's holds a file of the policy's name.
mkdir -p /etc/opt/chrome/policies "$work/elsewhere" /etc/brave/policies/managed
ln -s "$work/elsewhere" /etc/opt/chrome/policies/managed
echo '{"DnsOverHttpsMode": "secure"}' >"/etc/brave/policies/managed/$policy"
cp "/etc/brave/policies/managed/$policy" "$work/brave-before"
# Firefox's file holds the administrator's own policies, formatted their way.
firefox=/etc/firefox/policies/policies.json
mkdir -p /etc/firefox/policies
printf '{ "policies" : {"DisableTelemetry":true,\n  "Homepage": {"URL": "http://intranet.example/"}}}' >"$firefox"
cp "$firefox" "$work/firefox-before"

write_request
start_daemon
hold "$work/site-client" site.test 80
hold "$work/loop-client" loop.test 8080

start=$(now_ms)
write_request site.test www.site.test slow.test nx.test zero.test loop.test many.test \
    use-application-dns.net
wait_for 5 hosts_has 127.0.0.2 site.test || fail "not blocked"
took=$(($(now_ms) - start))
echo "pass with a name past the deadline: section written after $took ms"
# The name server never answers slow.test and the resolver would wait 2 s for it; the
# lookups end at the 1 s deadline.
[ "$took" -lt 1600 ] || fail "the pass took $took ms"
grep -q 'use-application-dns.net' /etc/hosts && fail "the canary was written"
hosts_has 127.0.0.2 many.test || fail "many.test not blocked"

wait_for 2 grep -q '^closed' "$work/site-client" || { skip_if_kernel_refuses; fail "site.test not cut"; }
grep -q "closed [0-9]* connections\? to site.test, slow.test, nx.test, zero.test, loop.test, many.test (no address in time for slow.test)$" "$log" ||
    fail "closing line"
sleep 0.5
grep -q '^closed' "$work/loop-client" && fail "a loopback connection was cut"

# The foreign line wins: logged once with its reason, listed for the app, left as it was.
line="www.site.test: an earlier line of /etc/hosts names it"
wait_for 2 grep -qx "$line" /var/lib/Tarrow/still-open || fail "still-open file"
[ "$(stat -c '%a %u' /var/lib/Tarrow/still-open)" = "644 0" ] || fail "still-open mode"
[ "$(grep -n 'www.site.test' /etc/hosts | head -1)" = "$foreign_before" ] || fail "foreign line changed"

# Policies: nothing through the link, the foreign file untouched; each said once.
[ -z "$(ls -A "$work/elsewhere")" ] || fail "wrote through the link"
cmp -s "/etc/brave/policies/managed/$policy" "$work/brave-before" || fail "foreign policy changed"
python3 -c 'import json, sys; p = json.load(open(sys.argv[1]))["policies"]
assert p["DNSOverHTTPS"] == {"Enabled": False, "Locked": True} and p["DisableTelemetry"], p' \
    "$firefox" || fail "Firefox policy not merged"
sleep 3.5 # a timer pass or two
[ "$(log_count "still open: www.site.test (an earlier line of /etc/hosts names it)")" = 1 ] ||
    fail "still open not logged once"
[ "$(log_count "left /etc/opt/chrome/policies/managed alone: a symbolic link, not followed")" = 1 ] ||
    fail "link not logged once"
[ "$(log_count "left /etc/brave/policies/managed/$policy alone: a file of that name that is not ours")" = 1 ] ||
    fail "foreign file not logged once"

# Unblocking: the list and our policies go, foreign things stay.
write_request
wait_for 3 no_section || fail "section not removed"
wait_for 2 test ! -e /var/lib/Tarrow/still-open || fail "still-open left"
cmp -s "/etc/brave/policies/managed/$policy" "$work/brave-before" || fail "foreign policy removed"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "wrote through the link"
[ "$(grep -n 'www.site.test' /etc/hosts)" = "$foreign_before" ] || fail "foreign line changed"
wait_for 2 cmp -s "$firefox" "$work/firefox-before" || fail "Firefox policies not put back byte for byte"

# A policies.json that is not JSON is left as it is, and said once.
printf '{"policies": {' >"$firefox"
write_request site.test
wait_for 3 hosts_has 127.0.0.2 site.test || fail "not blocked again"
sleep 3.5
[ "$(log_count "left $firefox alone: not a JSON object with a \"policies\" object")" = 1 ] ||
    fail "broken policies.json not logged once"
[ "$(cat "$firefox")" = '{"policies": {' ] || fail "broken policies.json changed"
write_request
wait_for 3 no_section || fail "section not removed"
[ "$(cat "$firefox")" = '{"policies": {' ] || fail "broken policies.json changed"
echo "block_hold_inputs: ok"
