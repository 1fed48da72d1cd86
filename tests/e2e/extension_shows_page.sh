# The extension, installed by the helper's policy, sends a tab open on a site blocked later
# to Tarrow's page at its next ask (every 2 s), a new tab at once (also in capitals with a
# final dot); other sites open; it finds the app on its next port; with the page switch
# off it leaves tabs alone; --clear removes the policy.
source "$(dirname "$0")/hold_lib.sh"
in_namespace
browser=$chromium && [ -n "$browser" ] || skip "no chromium"
extension_id=$(cut -d' ' -f1 "$bin/de.brightloom.tarrow.extension/id") || fail "no extension beside the helper"
app_home
show_on_failure "$helper_log" "$work/browser.out" "$work/browser.err"
policy_file=/etc/chromium/policies/managed/zz-de.brightloom.tarrow.extension.json
site_network
start_names site.test="$site_address" other.test="$site_address"
start_site "$site_address" 80
echo '{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "site.test", "enabled": true}]}' \
  >"$TARROW_HOME/config.json"
start_daemon
wait_for 5 test -s "$policy_file" || fail "no extension policy"
start_app
send() { echo "$1" >"$TARROW_HOME/command"; }
site_blocked() { grep -qx '127.0.0.2 site.test' /etc/hosts; }
page="http://127.0.0.1:47110/blocked?site=site.test&back="
other='{"open": "http://other.test/", "url": "http://other.test/", "title": "other.test"'
tabs "$work/browser.out" "ext:$extension_id" keep:http://site.test/ open:http://other.test/ "wait:$work/blocked" \
  follow:3 "open:https://site.test/a?b=1" "open:https://SITE.test./c" open:http://other.test/ \
  "wait:$work/moved" "open:https://site.test/m" "wait:$work/off" "open:https://site.test/z"
out() { cat "$work/browser.out"; }
wait_for 60 grep -qF "$other" "$work/browser.out" || fail "the browser did not get going"
check "the policy installed the extension, the site opened" eval 'contains "$(out)" "{\"extension\": \"$extension_id\"}" &&
  contains "$(out)" "\"url\": \"http://site.test/\", \"title\": \"site.test\""'

send on
wait_for 11 site_blocked || fail "site.test was not blocked"
touch "$work/blocked"
wait_for 10 grep -q '"kept"' "$work/browser.out"
kept_ms=$(sed -n 's/.*"kept".*"after_ms": \([0-9]*\).*/\1/p' "$work/browser.out")
check "the open tab went to the page within one ask (${kept_ms} ms)" eval \
  'contains "$(out)" "{\"kept\": \"${page}http%3A%2F%2Fsite.test%2F\"" && [ "${kept_ms:-9999}" -lt 2500 ]'
wait_for 30 eval '[ "$(grep -c "\"open\"" "$work/browser.out")" -ge 5 ]' || fail "no more tabs opened"
check "a new tab shows Tarrow's page, also in capitals with a final dot" eval 'contains "$(out)" \
  "\"url\": \"${page}https%3A%2F%2Fsite.test%2Fa%3Fb%3D1\", \"title\": \"Tarrow: site.test\"" &&
  contains "$(out)" "\"url\": \"${page}https%3A%2F%2Fsite.test.%2Fc\""'
check "another site opens normally while blocking" [ "$(grep -cF "$other" "$work/browser.out")" = 2 ]

# A program on the first port that answers almost as Tarrow does.
quit_app
mkdir "$work/other" && echo '{"app":"Other","page":true,"names":["site.test"]}' >"$work/other/blocking"
background python3 -m http.server -b 127.0.0.1 -d "$work/other" 47110 >/dev/null 2>&1
wait_for 5 curl -sf -o /dev/null http://127.0.0.1:47110/blocking || fail "the other program did not start"
start_app
wait_for 11 logged "page server on 127.0.0.1:47111" || fail "the app did not take the next port"
touch "$work/moved"
wait_for 20 grep -qF '"open": "https://site.test/m"' "$work/browser.out" || fail "no tab on m"
check "the page of the app on its next port" contains "$(out)" \
  '"url": "http://127.0.0.1:47111/blocked?site=site.test&back=https%3A%2F%2Fsite.test%2Fm"'

quit_app
python3 -c 'import json, sys; c = json.load(open(sys.argv[1])); c["notice"] = False
json.dump(c, open(sys.argv[1], "w"))' "$TARROW_HOME/config.json"
start_app
wait_for 11 site_blocked || fail "site.test was not blocked with the switch off"
sleep 2.5 # one ask of the extension
touch "$work/off"
wait_for 20 grep -qF '"open": "https://site.test/z"' "$work/browser.out" || fail "no tab on z"
check "with the page switch off nothing is redirected" contains "$(out)" '"open": "https://site.test/z", "url": "https://site.test/z"'

quit_app
stop "$daemon"
check "--clear removes the policy and the update manifest" eval '"$bin/tarrow-helper" --clear 2>>"$helper_log" &&
  [ ! -e "$policy_file" -a ! -e /var/lib/Tarrow/extension-updates.xml ]'
finish
