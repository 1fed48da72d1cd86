#!/usr/bin/env bash
# Tarrow's browser extension in a real headless Chromium, inside netns.sh: the helper's
# daemon writes the policy, the browser started afterwards installs the extension, and
# the app's page server tells it what is blocked.
#
# Walks through: a tab open on site.test before the block goes to Tarrow's page at the
# extension's next ask (every 2 s); opening the blocked site (also in capitals with a
# final dot) shows the page with the right site and back address; another site opens
# normally; a foreign program on the first port and the app back on the next one; with the page switch off nothing
# is redirected; --clear removes the policy. An administrator's own forced extension in
# another policy file stays installed beside Tarrow's.
source "$(dirname "$0")/extension_lib.sh"
in_namespace
extension_setup --admin
check "the policy names the extension and the update manifest" grep -qF \
  "\"$extension_id;file:///var/lib/Tarrow/extension-updates.xml\"" "$policy_file"
check "the update manifest offers the packed extension" grep -qF \
  "codebase='file://$bin/de.brightloom.tarrow.extension/tarrow.crx'" \
  /var/lib/Tarrow/extension-updates.xml

page="http://127.0.0.1:47110/blocked?site=site.test&back="
other='{"open": "http://other.test/", "url": "http://other.test/", "title": "other.test"}'
browser "ext:$extension_id" "ext:$admin_id" keep:http://site.test/ open:http://other.test/ \
  "wait:$work/blocked" follow:3 \
  "open:https://site.test/a?b=1" "open:https://SITE.test./c" open:http://other.test/ \
  "wait:$work/moved" "open:https://site.test/m" \
  "wait:$work/off" "open:https://site.test/z"
line() { sed -n "$1p" "$work/browser.out"; }
opened() { [ "$(grep -c '"open"' "$work/browser.out")" -ge "$1" ]; }

wait_for 40 grep -qF "$other" "$work/browser.out" || fail "the browser did not get going"
check "the extension was installed by policy" grep -qF "{\"extension\": \"$extension_id\"" \
  "$work/browser.out"
check "an administrator's forced extension in another file stays installed" \
  grep -qF "{\"extension\": \"$admin_id\"" "$work/browser.out"
check "the administrator's file is left as it was" \
  grep -qxF "{\"ExtensionInstallForcelist\": [\"$admin_id;file://$work/admin/updates.xml\"]}" \
  /etc/chromium/policies/managed/aa-admin.json
check "the site opened normally before the block" \
  grep -qF '"url": "http://site.test/", "title": "site.test"' "$work/browser.out"

send on
wait_for 11 site_blocked || fail "site.test was not blocked"
touch "$work/blocked"
wait_for 10 grep -q '"kept"' "$work/browser.out"
kept_ms=$(line 6 | sed 's/.*"after_ms": \([0-9]*\).*/\1/')
check "the open tab went to the page" \
  grep -qF "{\"kept\": \"${page}http%3A%2F%2Fsite.test%2F\"" "$work/browser.out"
# The extension asks every 2 s, as the page does: the block is seen at its next poll.
check "within one poll of the block (${kept_ms} ms)" [ "${kept_ms:-9999}" -lt 2500 ]

wait_for 20 opened 5 || fail "no more tabs opened"
check "the blocked site shows Tarrow's page" grep -qF \
  "\"url\": \"${page}https%3A%2F%2Fsite.test%2Fa%3Fb%3D1\", \"title\": \"Tarrow: site.test\"" \
  "$work/browser.out"
check "capitals and a final dot are the same site" \
  grep -qF "\"url\": \"${page}https%3A%2F%2Fsite.test.%2Fc\"" "$work/browser.out"
check "another site opens normally while blocking" [ "$(grep -cF "$other" "$work/browser.out")" = 2 ]

# A foreign program on the first port that answers the route almost as Tarrow does: the
# app comes back on the next port, and the extension finds it there.
quit_app
background python3 -c '
import http.server
class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"{\"app\":\"Other\",\"page\":true,\"names\":[\"site.test\"]}"
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args): pass
server = http.server.HTTPServer(("127.0.0.1", 47110), H)
print("ready", flush=True)
server.serve_forever()' >"$work/foreign.out" 2>&1
wait_for 5 grep -q ready "$work/foreign.out" || fail "the foreign server did not start"
start_app
wait_for 11 site_blocked || fail "site.test was not blocked again"
check "the app took the next port" logged "page server on 127.0.0.1:47111"
touch "$work/moved"
wait_for 20 grep -qF '"open": "https://site.test/m"' "$work/browser.out" || fail "no tab on m"
check "the page of the app on its new port" \
  grep -qF '"url": "http://127.0.0.1:47111/blocked?site=site.test&back=https%3A%2F%2Fsite.test%2Fm"' \
  "$work/browser.out"

# The page switch off: blocked, but the tab is left alone.
quit_app
python3 -c 'import json,sys; p=sys.argv[1]; c=json.load(open(p)); c["notice"]=False; json.dump(c, open(p,"w"))' \
  "$TARROW_HOME/config.json"
start_app
wait_for 11 site_blocked || fail "site.test was not blocked with the switch off"
sleep 2.5  # one poll of the extension
touch "$work/off"
wait_for 20 grep -qF '"open": "https://site.test/z"' "$work/browser.out" || fail "no tab on z"
check "with the page switch off nothing is redirected" \
  grep -qF '"open": "https://site.test/z", "url": "https://site.test/z"' "$work/browser.out"
wait "$browser_pid" || true
forget "$browser_pid"

quit_app
stop_daemon
"$bin/tarrow-helper" --clear >>"$helper_log" 2>&1
check "--clear removes the policy" [ ! -e "$policy_file" ]
check "--clear removes the update manifest" [ ! -e /var/lib/Tarrow/extension-updates.xml ]
finish
