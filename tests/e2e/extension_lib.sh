# Shared steps of the tests and the benchmark of Tarrow's browser extension, inside
# netns.sh: a web site for site.test and other.test, the helper's daemon (which puts the
# extension's policy in place), and the app blocking site.test.
source "$(dirname "${BASH_SOURCE[0]}")/hold_lib.sh"

extension_setup() {
  chromium=$(command -v chromium || command -v chromium-browser) || skip "no chromium"
  extension_id=$(cut -d' ' -f1 "$bin/de.brightloom.tarrow.extension/id" 2>/dev/null) ||
    fail "no extension beside the helper"
  app_home
  show_on_failure "$helper_log" "$work/browser.out"
  policy_file=/etc/chromium/policies/managed/zz-de.brightloom.tarrow.extension.json
  site_network
  start_names site.test="$site_address" other.test="$site_address"
  start_site "$site_address" 80
  cat >"$TARROW_HOME/config.json" <<'JSON'
{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "site.test", "enabled": true}]}
JSON
  if [ "${1:-}" = --admin ]; then admin_extension; fi
  start_daemon
  wait_for 5 test -s "$policy_file" || fail "no extension policy"
  start_app
  wait_for 10 logged "page server on 127.0.0.1:" || fail "no page server"
}

# admin_extension: an administrator's own forced extension in a policy file of theirs
# that sorts before Tarrow's (a second copy of the extension, packed with a key of its
# own); $admin_id is its id.
admin_extension() {
  python3 "$source_dir/scripts/pack_extension.py" "$source_dir/extension" "$work/admin" \
    "$work/admin-key.pem" 1.0.0 || fail "could not pack the administrator's extension"
  admin_id=$(cut -d' ' -f1 "$work/admin/id")
  cat >"$work/admin/updates.xml" <<XML
<?xml version='1.0' encoding='UTF-8'?>
<gupdate xmlns='http://www.google.com/update2/response' protocol='2.0'>
  <app appid='$admin_id'><updatecheck codebase='file://$work/admin/tarrow.crx' version='1.0.0' /></app>
</gupdate>
XML
  mkdir -p /etc/chromium/policies/managed
  echo "{\"ExtensionInstallForcelist\": [\"$admin_id;file://$work/admin/updates.xml\"]}" \
    >/etc/chromium/policies/managed/aa-admin.json
}

send() { echo "$1" >"$TARROW_HOME/command"; }
site_blocked() { grep -qx '127.0.0.2 site.test' /etc/hosts; }

# browser <steps...>: extension_tabs.py in the background, its lines in browser.out.
browser() {
  background python3 "$tests_dir/e2e/extension_tabs.py" "$chromium" \
    "$(mktemp -d "$work/profile.XXXXXX")" "$@" >"$work/browser.out" 2>&1
  browser_pid=$!
}
