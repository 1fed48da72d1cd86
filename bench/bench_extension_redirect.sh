#!/usr/bin/env bash
# How fast Tarrow's browser extension sends a tab to Tarrow's page: in headless Chromium
# inside a throw-away namespace (run as root), with the real helper daemon and app
# blocking site.test, one tab navigates to https://site.test/ 20 times (about:blank in
# between); each run is timed from the navigation's start until the tab shows the
# /blocked page. Prints every run and p50/p95/max; the aim is p95 < 300 ms.
# Then the sweep: <tabs> tabs open on site.test when blocking starts, and the time from
# the block until every one shows the page.
# Usage: bench/bench_extension_redirect.sh <build folder's bin> [runs] [tabs]
source "$(dirname "$0")/bench_lib.sh"
bin=$(cd "${1:?usage: $0 <folder with tarrow and tarrow-helper> [runs] [tabs]}" && pwd)
runs=${2:-20}
tabs=${3:-200}
in_namespace "$bin" "$runs" "$tabs"
[ -n "$chromium" ] || skip "no chromium"
extension_id=$(cut -d' ' -f1 "$bin/de.brightloom.tarrow.extension/id") ||
  fail "no extension beside the helper"
app_home
show_on_failure "$helper_log" "$work/browser.out" "$work/browser.err"
site_network
start_names site.test="$site_address"
start_site "$site_address" 80
echo '{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "site.test", "enabled": true}]}' \
  >"$TARROW_HOME/config.json"
start_daemon
wait_for 5 test -s /etc/chromium/policies/managed/zz-de.brightloom.tarrow.extension.json ||
  fail "no extension policy"
start_app
wait_for 10 logged "page server on 127.0.0.1:" || fail "no page server"
send() { echo "$1" >"$TARROW_HOME/command"; }
site_blocked() { grep -qx '127.0.0.2 site.test' /etc/hosts; }
# browser <steps...>: extension_timing.py in the background, its lines in browser.out.
browser() {
  background python3 "$bench_dir/extension_timing.py" "$chromium" "$(mktemp -d "$work/profile.XXXXXX")" \
    "$@" >"$work/browser.out" 2>>"$work/browser.err"; browser_pid=$!
}

send on
wait_for 11 site_blocked || fail "site.test was not blocked"
sleep 2.5  # the extension's poll has seen the block
browser "ext:$extension_id" "time:https://site.test/:$runs"
wait "$browser_pid" || true
forget "$browser_pid"
python3 - "$work/browser.out" <<'PY'
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1]) if l.startswith("{")]
print(json.dumps(lines[0]))
ms = [l["ms"] for l in lines[1:]]
for l in lines[1:]:
    print("run %2d: %s ms" % (l["run"], l["ms"]))
done = sorted(m for m in ms if m is not None)
if len(done) < len(ms) or not done:
    sys.exit("%d of %d runs never reached the page" % (len(ms) - len(done), len(ms)))
pick = lambda q: done[min(len(done) - 1, int(round(q * (len(done) - 1))))]
print("p50 %.1f ms, p95 %.1f ms, max %.1f ms (%d runs)" % (pick(0.5), pick(0.95), done[-1], len(done)))
PY

# The sweep of many open tabs when blocking starts.
send off
wait_for 11 not site_blocked || fail "site.test stayed blocked"
sleep 2.5
browser "ext:$extension_id" "tabs:http://site.test/:$tabs" "wait:$work/swept" followall:30
wait_for 120 grep -q '"tabs"' "$work/browser.out" || fail "the tabs did not open"
send on
wait_for 11 site_blocked || fail "site.test was not blocked"
touch "$work/swept"
wait "$browser_pid" || true
forget "$browser_pid"
echo "sweep: $(grep '"blocked"' "$work/browser.out") of $tabs tabs, from the block in /etc/hosts"
finish
