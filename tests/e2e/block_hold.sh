# A block holds against open connections: a kept-alive connection to a site that starts
# being blocked is closed within a second of the section being written, and a browser
# that had the site open cannot reach it in a new tab. A second site on the same address
# loses its connection too, and simply connects again. The browsers' policy is there
# while blocking and goes on unblocking and on --clear.
source "$(dirname "$0")/hold_lib.sh"
daemon_setup
chromium=$(command -v chromium || command -v chromium-browser) || skip "no chromium"
show_on_failure "$work/chromium.err"
# Only where Chromium is installed is its policy folder made and checked.
folder=/etc/chromium/policies/managed
[ -d /usr/lib/chromium ] && installed=true || installed=false

site_network
start_names site.test=$site_address other.test=$site_address
start_site $site_address 80
write_request
start_daemon
# The policy folder is there before anything is blocked, so that a browser started now
# watches it.
$installed && check "the policy folder is made while idle" wait_for 3 test -d "$folder"

# tabs <output> <steps...>: headless Chromium opening tabs, in the background.
tabs() {
  local out=$1
  shift
  background python3 "$e2e/browser_tabs.py" "$chromium" "$(mktemp -d "$work/profile.XXXXXX")" \
    "$@" >"$out" 2>>"$work/chromium.err"
}
# tab <output> <n>: the n-th opened tab's JSON line, once there.
tab() {
  wait_for 30 bash -c "[ \$(grep -c '^{' '$1') -ge $2 ]" || fail "tab $2 did not load"
  grep '^{' "$1" | sed -n "${2}p"
}
blocked_at() {
  wait_for 5 hosts_has 127.0.0.2 site.test || fail "site.test not blocked"
  now_ms
}

# 1. One site: the browser had it open, a client holds a kept-alive connection.
chromium_started=$(now_ms)
tabs "$work/tabs1" open:http://site.test/first wait:"$work/go1" open:http://site.test/second \
  wait:"$work/go1b" open:chrome://policy/
tab "$work/tabs1" 1 | grep -q 'real page of site.test /first' || fail "site not open at first"
hold "$work/client1" site.test 80
# Chromium watches its policy folder only from a few seconds after its start; a policy
# written before that waits for its next periodic reload.
while [ "$(now_ms)" -lt $((chromium_started + 6000)) ]; do sleep 0.1; done
write_request site.test
section=$(blocked_at)
wait_for 3 grep -q '^closed' "$work/client1" || { skip_if_kernel_refuses; fail "connection not closed"; }
took=$(($(awk '/^closed/ {print $2}' "$work/client1") - section))
check "the kept-alive connection closed within 1 s ($took ms)" [ "$took" -lt 1000 ]
check "the closed connections are logged" \
  grep -Eq "closed [1-9][0-9]* connections? to site.test$" "$helper_log"
touch "$work/go1"
second=$(tab "$work/tabs1" 2)
check "a new tab does not reach the site" lacks "$second" "real page"
check "the site never saw the new tab's request" lacks "$(cat "$work/site.log")" "site.test /second"
if $installed; then
  check "the policy is written" [ "$(cat "$folder/$policy")" = "$policy_text" ]
  check "and logged" \
    grep -q "browser policy written, DNS-over-HTTPS off: $folder/$policy" "$helper_log"
  # The running Chromium took it up: its own policy page lists it as applied. It reads
  # a changed policy folder once the files have stood still for 5 s.
  sleep 6
  touch "$work/go1b"
  policy_page=$(tab "$work/tabs1" 3)
  check "the running Chromium applies it" \
    contains "$policy_page" 'DnsOverHttpsMode off Platform Machine Mandatory OK'
fi

# 2. Unblocked: the policy goes with the section.
write_request
wait_for 3 no_section || fail "section not removed"
check "the policy goes on unblocking" wait_for 2 test ! -e "$folder/$policy"

# 3. Two sites on one address; only site.test is blocked, other.test stays open.
hold "$work/client2" other.test 80 --reconnect
tabs "$work/tabs2" open:http://other.test/a wait:"$work/go2" open:http://other.test/c \
  open:http://site.test/d
tab "$work/tabs2" 1 | grep -q 'real page of other.test /a' || fail "other.test not open"
write_request site.test
blocked_at >/dev/null
check "the shared address is cut" wait_for 3 grep -q '^closed' "$work/client2"
check "other.test connects again" wait_for 5 grep -q '^reconnected HTTP/1.1 200' "$work/client2"
touch "$work/go2"
other=$(tab "$work/tabs2" 2)
blocked=$(tab "$work/tabs2" 3)
check "other.test opens again in a new tab" contains "$other" 'real page of other.test /c'
check "site.test does not" lacks "$blocked" "real page"

# 4. --clear (the removal script's step) removes section and policy alike.
stop_daemon
$installed && check "the policy stays while the daemon is stopped" [ -e "$folder/$policy" ]
"$bin/tarrow-helper" --clear 2>>"$helper_log" || fail "--clear failed"
check "--clear removes the section" no_section
check "--clear removes the policy" [ ! -e "$folder/$policy" ]
$installed && check "the removal is logged" \
  grep -q "browser policy removed: $folder/$policy" "$helper_log"
finish
