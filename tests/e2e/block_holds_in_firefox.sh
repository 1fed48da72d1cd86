# A Firefox with its own DNS-over-HTTPS on and a site open follows a block within its name
# cache time plus 2 s: the helper's policy turns DNS-over-HTTPS off and keeps the cache
# short, and the block is cut again when the cache ran out (without them, measured, Firefox
# opened the site for minutes). The administrator's policies.json comes back byte for byte.
source "$(dirname "$0")/hold_lib.sh"
in_namespace
browser=$firefox && [ -n "$browser" ] || skip "no Firefox"
request="$work/home/request/blocked-hosts"
show_on_failure "$helper_log" "$work/tabs" "$work/browser.err"
# DNS-over-HTTPS answers .10, the system .20.
system_address=198.51.100.20
site_network; ip addr add "$system_address/32" dev site0
start_names site.test=$system_address
start_site $site_address 80
start_site $system_address 80

# A certificate authority of the test's own, trusted through the administrator's policies.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=test-ca -keyout "$work/ca.key" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
  -out "$work/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj /CN=doh -keyout "$work/doh.key" -out "$work/doh.csr" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' >"$work/doh.ext"
openssl x509 -req -in "$work/doh.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
  -days 2 -extfile "$work/doh.ext" -out "$work/doh.pem" 2>/dev/null
serve "$work/doh.out" doh 127.0.0.1 8443 "$work/doh.pem" "$work/doh.key" "$work/doh.log" \
  site.test=$site_address
policies=/etc/firefox/policies/policies.json && mkdir -p "${policies%/*}"
printf '{"policies": {"Certificates": {"Install": ["%s"]}}}\n' "$work/ca.pem" >"$policies"
cp "$policies" "$work/policies-before"

write_request
start_daemon
wait_for 5 grep -q DNSOverHTTPS "$policies" || fail "no Firefox policy"
expiration=$(python3 -c 'import json, sys
p = json.load(open(sys.argv[1]))["policies"]
assert p["Certificates"] and p["Preferences"]["network.dnsCacheExpirationGracePeriod"]["Value"] == 0
print(p["Preferences"]["network.dnsCacheExpiration"]["Value"])' "$policies") ||
  fail "the policies are not merged"
tabs "$work/tabs" 'prefs:{"network.trr.mode": 2, "network.trr.uri": "https://127.0.0.1:8443/dns-query",
 "network.trr.custom_uri": "https://127.0.0.1:8443/dns-query", "network.trr.confirmationNS": "skip",
 "doh-rollout.disable-heuristics": true, "app.update.enabled": false,
 "network.captive-portal-service.enabled": false, "network.connectivity-service.enabled": false}' \
  open:http://site.test/ wait:"$work/go" every:0.5:$((expiration + 5)):http://site.test/
check "Firefox resolves through the system" \
  contains "$(tab "$work/tabs" 1)" "real page of site.test / from $system_address"

touch "$work/go"
sleep 1 # loads of the open site, on its kept-alive connection
blocked=$EPOCHREALTIME
write_request site.test
wait_for 3 hosts_has 127.0.0.2 site.test || fail "site.test not blocked"
wait_for 2 grep -q "closed [0-9]* connections\? to site.test$" "$helper_log" ||
  { skip_if_kernel_refuses; fail "no cut"; }
wait_for $((expiration + 20)) not running "$tabs" || fail "Firefox's loads did not end"
read -r loads last <<<"$(python3 -c 'import json, sys
loads = [json.loads(l) for l in open(sys.argv[2]) if "\"at\"" in l and json.loads(l)["at"] > float(sys.argv[1])]
print(len(loads), max([l["at"] - float(sys.argv[1]) for l in loads if "real page" in l["text"]], default=0))' \
  "$blocked" "$work/tabs")"
check "Firefox kept loading after the block ($loads loads)" [ "$loads" -ge 6 ]
check "none opened the site later than $expiration s + 2 s (last: $last s)" \
  python3 -c 'import sys; sys.exit(float(sys.argv[1]) > float(sys.argv[2]) + 2)' "$last" "$expiration"
check "the second cut is logged" wait_for 3 grep -q "closed [0-9]* connections\? to site.test again$" "$helper_log"
check "Firefox never asked its DNS-over-HTTPS server" not grep -qs site.test "$work/doh.log"

stop "$daemon"
"$bin/tarrow-helper" --clear 2>>"$helper_log"
check "policies.json comes back byte for byte" cmp -s "$policies" "$work/policies-before"
finish
