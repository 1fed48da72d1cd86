# Steps of the test and the timing script of Tarrow's browser extension, inside
# netns.sh: a site for site.test and other.test, the helper's daemon (which puts the
# extension's policy in place) and the app, whose one site is site.test.
source "$(dirname "${BASH_SOURCE[0]}")/hold_lib.sh"
extension_setup() {
  [ -n "$chromium" ] || skip "no chromium"
  extension_id=$(cut -d' ' -f1 "$bin/de.brightloom.tarrow.extension/id" 2>/dev/null) ||
    fail "no extension beside the helper"
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
  wait_for 10 logged "page server on 127.0.0.1:" || fail "no page server"
}
send() { echo "$1" >"$TARROW_HOME/command"; }
site_blocked() { grep -qx '127.0.0.2 site.test' /etc/hosts; }
# browser <steps...>: browser_tabs.py in the background, its lines in browser.out.
browser() {
  browser=$chromium
  tabs "$work/browser.out" "$@"
  browser_pid=$tabs
}
