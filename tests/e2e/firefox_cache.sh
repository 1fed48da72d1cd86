# A Firefox started after the helper, with a site open, follows a block of that site
# within its name cache time plus 2 s: the helper's policies keep Firefox's own name
# cache short, and the block's addresses are cut once more when it has run out.
# (Without them, measured, Firefox went on opening the site for minutes.) The
# administrator's policies.json is merged into and comes back byte for byte on removal.
source "$(dirname "$0")/hold_lib.sh"
daemon_setup
firefox=$(command -v firefox-esr || command -v firefox) || skip "no Firefox"
show_on_failure "$work/tabs"

site_network
start_names site.test=$site_address
start_site $site_address 8080
policies=/etc/firefox/policies/policies.json
mkdir -p /etc/firefox/policies
printf '{"policies": {"DisableAppUpdate": true,\n "Preferences": {"browser.startup.page": {"Value": 0}}}}' >"$policies"
cp "$policies" "$work/policies-before"

write_request
start_daemon
check "the policies are there once the daemon runs" wait_for 5 python3 -c 'import json, sys
p = json.load(open(sys.argv[1]))["policies"]
assert p["DisableAppUpdate"] and p["Preferences"]["browser.startup.page"] == {"Value": 0}, p
assert p["Preferences"]["network.dnsCacheExpirationGracePeriod"] == {"Value": 0, "Status": "locked"}, p
assert p["Preferences"]["network.dnsCacheExpiration"]["Status"] == "locked", p' "$policies"
expiration=$(python3 -c 'import json, sys
print(json.load(open(sys.argv[1]))["policies"]["Preferences"]["network.dnsCacheExpiration"]["Value"])' "$policies")

background python3 "$e2e/browser_tabs.py" "$firefox" "$work/firefox-profile" \
  open:http://site.test:8080/ wait:"$work/go" every:0.5:$((expiration + 5)):http://site.test:8080/ \
  >"$work/tabs" 2>&1
tabs=$!
wait_for 60 grep -q '^{' "$work/tabs" || fail "Firefox did not load"
check "the site is open in Firefox" contains "$(grep '^{' "$work/tabs" | head -1)" "real page"

touch "$work/go"
sleep 1 # loads of the open site, on its kept-alive connection
blocked=$EPOCHREALTIME
write_request site.test
wait_for 3 hosts_has 127.0.0.2 site.test || fail "site.test not blocked"
wait_for 2 grep -q "closed [0-9]* connections\? to site.test$" "$helper_log" ||
  { skip_if_kernel_refuses; fail "no cut"; }
wait_for $((expiration + 20)) not running "$tabs" || fail "Firefox's loads did not end"
# The last load that still reached the site, and how long after the block it ended.
late=$(python3 -c 'import json, sys
blocked, loads = float(sys.argv[1]), [json.loads(l) for l in open(sys.argv[2]) if l.startswith("{") and "at" in l]
after = [l for l in loads if l["at"] > blocked]
opened = [l["at"] - blocked for l in after if "real page" in l["text"]]
print("%d %.1f" % (len(after), max(opened, default=0)))' "$blocked" "$work/tabs")
read -r loads_after last_open <<<"$late"
check "Firefox kept loading after the block ($loads_after loads)" [ "$loads_after" -ge 6 ]
check "no load opened the site later than $expiration s + 2 s after the block (last: $last_open s)" \
  python3 -c 'import sys; sys.exit(float(sys.argv[1]) > float(sys.argv[2]) + 2)' "$last_open" "$expiration"
check "the second cut is logged" wait_for 3 grep -q "closed [0-9]* connections\? to site.test again$" "$helper_log"

stop_daemon
"$bin/tarrow-helper" --clear 2>>"$helper_log"
check "policies.json comes back byte for byte on removal" cmp -s "$policies" "$work/policies-before"
finish
