# Tarrow's browser extension, installed by the helper's policy in a Chromium started
# afterwards, sends a tab open on a site blocked later to Tarrow's page at its next ask
# (every 2 s) and a new tab on it at once, in capitals with a final dot too; another site
# opens normally; it finds the app on its next port when another program holds the first;
# with the page switch off it leaves the tab alone; --clear removes the policy.
source "$(dirname "$0")/extension_lib.sh"
in_namespace
extension_setup
page="http://127.0.0.1:47110/blocked?site=site.test&back="
other='{"open": "http://other.test/", "url": "http://other.test/", "title": "other.test"'
browser "ext:$extension_id" keep:http://site.test/ open:http://other.test/ "wait:$work/blocked" \
  follow:3 "open:https://site.test/a?b=1" "open:https://SITE.test./c" open:http://other.test/ \
  "wait:$work/moved" "open:https://site.test/m" "wait:$work/off" "open:https://site.test/z"
out() { cat "$work/browser.out"; }
wait_for 60 grep -qF "$other" "$work/browser.out" || fail "the browser did not get going"
check "the policy installed the extension" contains "$(out)" "{\"extension\": \"$extension_id\"}"
check "the site opened before the block" contains "$(out)" '"url": "http://site.test/", "title": "site.test"'

send on
wait_for 11 site_blocked || fail "site.test was not blocked"
touch "$work/blocked"
wait_for 10 grep -q '"kept"' "$work/browser.out"
kept_ms=$(sed -n 's/.*"kept".*"after_ms": \([0-9]*\).*/\1/p' "$work/browser.out")
check "the open tab went to the page within one ask (${kept_ms} ms)" eval \
  'contains "$(out)" "{\"kept\": \"${page}http%3A%2F%2Fsite.test%2F\"" && [ "${kept_ms:-9999}" -lt 2500 ]'
wait_for 30 eval '[ "$(grep -c "\"open\"" "$work/browser.out")" -ge 5 ]' || fail "no more tabs opened"
check "a new tab on the site shows Tarrow's page" contains "$(out)" \
  "\"url\": \"${page}https%3A%2F%2Fsite.test%2Fa%3Fb%3D1\", \"title\": \"Tarrow: site.test\""
check "capitals and a final dot are the same site" contains "$(out)" "\"url\": \"${page}https%3A%2F%2Fsite.test.%2Fc\""
check "another site opens normally while blocking" [ "$(grep -cF "$other" "$work/browser.out")" = 2 ]

# A program on the first port that answers almost as Tarrow does.
quit_app
background python3 -c '
import http.server
class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"{\"app\":\"Other\",\"page\":true,\"names\":[\"site.test\"]}"
        self.send_response(200); self.send_header("Content-Length", str(len(body)))
        self.end_headers(); self.wfile.write(body)
server = http.server.HTTPServer(("127.0.0.1", 47110), H)
print("ready", flush=True)
server.serve_forever()' >"$work/foreign.out" 2>&1
wait_for 5 grep -q ready "$work/foreign.out" || fail "the foreign server did not start"
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
check "with the page switch off nothing is redirected" \
  contains "$(out)" '"open": "https://site.test/z", "url": "https://site.test/z"'

quit_app
stop "$daemon"
"$bin/tarrow-helper" --clear >>"$helper_log" 2>&1
check "--clear removes the policy and the update manifest" \
  eval '[ ! -e "$policy_file" -a ! -e /var/lib/Tarrow/extension-updates.xml ]'
finish
