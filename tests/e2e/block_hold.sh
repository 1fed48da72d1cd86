# A block holds against open connections: a kept-alive connection to a site that starts
# being blocked is closed within a second of the section being written, and a browser
# that had the site open cannot reach it in a new tab. A second site on the same address
# loses its connection too, and simply connects again. The browsers' policy is there
# while blocking and goes on unblocking and on --clear.
source "$(dirname "${BASH_SOURCE[0]}")/hold_lib.sh"

chromium=$(command -v chromium || command -v chromium-browser || true)
[ -n "$chromium" ] || { echo "skipped: no chromium"; exit 77; }

site_network
start_names site.test=$site_address other.test=$site_address
start_site $site_address 80
write_request
start_daemon
# The policy folder of an installed browser is there before anything is blocked, so that
# a browser started now watches it.
if [ -d /usr/lib/chromium ]; then
    wait_for 3 test -d /etc/chromium/policies/managed || fail "no policy folder while idle"
fi

# tabs <output> <steps...>: headless Chromium opening tabs, in the background.
tabs() {
    local out=$1
    shift
    python3 "$e2e/chromium_tabs.py" "$chromium" "$(mktemp -d "$work/profile.XXXXXX")" "$@" \
        >"$out" 2>>"$work/chromium.err" &
    background+=($!)
}
# tab <output> <n>: the n-th opened tab's JSON line, once there.
tab() {
    wait_for 30 bash -c "[ \$(cat '$1' 2>/dev/null | grep -c '^{') -ge $2 ]" || fail "tab $2 did not load"
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
sleep_until=$((chromium_started + 6000))
while [ "$(now_ms)" -lt "$sleep_until" ]; do sleep 0.1; done
write_request site.test
section=$(blocked_at)
wait_for 3 grep -q '^closed' "$work/client1" || { skip_if_kernel_refuses; fail "connection not closed"; }
took=$(($(awk '/^closed/ {print $2}' "$work/client1") - section))
echo "kept-alive connection closed $took ms after the section was written"
[ "$took" -lt 1000 ] || fail "connection closed only after $took ms"
grep -Eq "closed [1-9][0-9]* connections? to site.test$" "$log" || fail "no line on the closed connections"
touch "$work/go1"
tab "$work/tabs1" 2 | grep -q 'real page' && fail "a new tab still reached the site"
grep -q 'site.test /second' "$work/site.log" && fail "the site saw the new tab's request"
if [ -d /usr/lib/chromium ]; then
    folder=/etc/chromium/policies/managed
    [ "$(cat "$folder/$policy")" = "$policy_text" ] || fail "no policy in $folder"
    grep -q "browser policy written, DNS-over-HTTPS off: $folder/$policy" "$log" || fail "policy not logged"
    # The running Chromium took it up: its own policy page lists it as applied. It reads
    # a changed policy folder once the files have stood still for 5 s.
    sleep 6
    touch "$work/go1b"
    tab "$work/tabs1" 3 | grep -q 'DnsOverHttpsMode off Platform Machine Mandatory OK' ||
        fail "Chromium does not apply the policy"
fi

# 2. Unblocked: the policy goes with the section.
write_request
wait_for 3 no_section || fail "section not removed"
wait_for 2 test ! -e "/etc/chromium/policies/managed/$policy" || fail "policy left after unblocking"

# 3. Two sites on one address; only site.test is blocked, other.test stays open.
hold "$work/client2" other.test 80 --reconnect
tabs "$work/tabs2" open:http://other.test/a wait:"$work/go2" open:http://other.test/c \
    open:http://site.test/d
tab "$work/tabs2" 1 | grep -q 'real page of other.test /a' || fail "other.test not open"
write_request site.test
blocked_at >/dev/null
wait_for 3 grep -q '^closed' "$work/client2" || fail "the shared address was not cut"
wait_for 5 grep -q '^reconnected HTTP/1.1 200' "$work/client2" || fail "other.test: $(cat "$work/client2")"
touch "$work/go2"
tab "$work/tabs2" 2 | grep -q 'real page of other.test /c' || fail "other.test did not open again"
tab "$work/tabs2" 3 | grep -q 'real page' && fail "site.test opened in a new tab"

# 4. --clear (the removal script's step) removes section and policy alike.
stop_daemon
if [ -d /usr/lib/chromium ]; then
    [ -e "/etc/chromium/policies/managed/$policy" ] || fail "policy gone before --clear"
fi
"$helper" --clear 2>>"$log" || fail "--clear failed"
no_section || fail "--clear left the section"
[ ! -e "/etc/chromium/policies/managed/$policy" ] || fail "--clear left the policy"
grep -q "browser policy removed: /etc/chromium/policies/managed/$policy" "$log" ||
    [ ! -d /usr/lib/chromium ] || fail "removal not logged"
echo "block_hold: ok"
