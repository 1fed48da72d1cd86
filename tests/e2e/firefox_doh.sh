# Firefox with its own DNS-over-HTTPS on, started while something is blocked: the
# helper's policy makes it resolve through the system, so that a site blocked later is
# blocked in it too (measured without the policy, Firefox goes on asking its
# DNS-over-HTTPS server, which knows nothing of the hosts file).
source "$(dirname "$0")/hold_lib.sh"
daemon_setup
firefox=$(command -v firefox-esr || command -v firefox) || skip "no Firefox"
show_on_failure "$work/tabs"

# The name server on the web (DNS-over-HTTPS) answers .10, the system's answers .20.
doh_address=$site_address
system_address=198.51.100.20
site_network
ip addr add "$system_address/32" dev site0
start_names site.test=$system_address first.test=$system_address
# Without keep-alive every load looks the name up: this test is about where Firefox
# looks it up (closing open connections is block_hold.sh's).
start_site $doh_address 80 close
start_site $system_address 80 close

# A certificate authority of the test's own, trusted by Firefox through the
# administrator's policies.json (which the helper merges into and puts back).
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=test-ca \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
  -keyout "$work/ca.key" -out "$work/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj /CN=doh -keyout "$work/doh.key" \
  -out "$work/doh.csr" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' >"$work/doh.ext"
openssl x509 -req -in "$work/doh.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
  -CAcreateserial -days 2 -extfile "$work/doh.ext" -out "$work/doh.pem" 2>/dev/null
background python3 "$e2e/doh_server.py" 127.0.0.1 8443 "$work/doh.pem" "$work/doh.key" \
  "$work/doh.log" site.test=$doh_address first.test=$doh_address >"$work/doh.out" 2>&1
wait_for 5 grep -q ready "$work/doh.out" || fail "DNS-over-HTTPS server did not start"
policies=/etc/firefox/policies/policies.json
mkdir -p /etc/firefox/policies
printf '{"policies": {"Certificates": {"Install": ["%s"]}}}\n' "$work/ca.pem" >"$policies"

# Blocking is on before Firefox starts: the policy is in place when it reads it.
write_request first.test
start_daemon
wait_for 5 grep -q DNSOverHTTPS "$policies" || fail "no Firefox policy"

prefs='{"network.trr.mode": 2, "network.trr.uri": "https://127.0.0.1:8443/dns-query",
 "network.trr.custom_uri": "https://127.0.0.1:8443/dns-query",
 "network.trr.confirmationNS": "skip", "doh-rollout.disable-heuristics": true,
 "network.dnsCacheExpiration": 1, "network.dnsCacheExpirationGracePeriod": 0,
 "app.update.enabled": false, "toolkit.telemetry.enabled": false,
 "datareporting.policy.dataSubmissionEnabled": false,
 "network.captive-portal-service.enabled": false,
 "network.connectivity-service.enabled": false}'
background python3 "$e2e/browser_tabs.py" "$firefox" "$work/firefox-profile" "prefs:$prefs" \
  open:http://site.test/a wait:"$work/go" open:http://site.test/b open:http://site.test/c \
  >"$work/tabs" 2>&1
loads() { grep '^{' "$work/tabs" | sed -n "${1}p"; }
wait_for 60 grep -q '^{' "$work/tabs" || fail "Firefox did not load"
check "Firefox resolves through the system" \
  contains "$(loads 1)" "real page of site.test /a from $system_address"

write_request first.test site.test
wait_for 5 hosts_has 127.0.0.2 site.test || fail "site.test not blocked"
sleep 2 # Firefox keeps a name it looked up (1 s by the profile here)
touch "$work/go"
wait_for 30 bash -c "[ \$(grep -c '^{' '$work/tabs') -ge 3 ]" || fail "later loads"
# Firefox may answer the first load after a name expired from its cache with the old
# address while it looks the name up again; the load after that has the new answer.
check "a site blocked later is blocked in Firefox" lacks "$(loads 3)" "real page"
check "Firefox did not ask its DNS-over-HTTPS server" \
  bash -c '! grep -qs site.test "$1"' _ "$work/doh.log"
finish
