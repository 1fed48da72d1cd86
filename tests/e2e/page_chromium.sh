#!/usr/bin/env bash
# The block page in a real browser: headless Chromium loads the page of `tarrow
# --page-test` while the hosts file blocks a site, then sees it switch to "Everything is
# open again." with the link back once the section is gone. Inside netns.sh (as root,
# with a scratch copy of /etc).
source "$(dirname "$0")/../support/lib.sh"
in_namespace
chromium=$(command -v chromium || command -v chromium-browser) || skip "no chromium"
app_home
show_on_failure "$work/page-test.err" "$work/chromium.err"
printf 'youtube.com\nwww.youtube.com\n' >"$work/request"

# dump <file> <address>: the page's DOM after its scripts ran.
dump() {
  timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$(mktemp -d "$work/profile.XXXXXX")" --virtual-time-budget=6000 \
    --dump-dom "$2" >"$1" 2>>"$work/chromium.err" || true
}
has() { grep -qF -- "$2" "$1"; }

"$bin/tarrow-helper" --apply "$work/request" --uid 0 --hosts /etc/hosts --no-flush
check "the section blocks youtube.com" grep -q '^127.0.0.2 youtube.com$\|^0.0.0.0 youtube.com$' /etc/hosts

background "$bin/tarrow" --page-test >"$work/page-test.out" 2>"$work/page-test.err"
wait_for 5 test -s "$work/page-test.out" || fail "no page address"
read -r url _ <"$work/page-test.out"

# While blocked: the site's name and the until line, after the page's own polling.
dump "$work/blocked.html" "$url"
check "the title names the site" has "$work/blocked.html" '<title>Tarrow: YouTube</title>'
check "the polling kept the page blocked" has "$work/blocked.html" \
  '<p class="lead" id="line"><b>Tarrow</b> keeps this site closed until 12:00, on schedule.'
check "the lead was never replaced" \
  lacks "$(cat "$work/blocked.html")" '<p class="lead" id="line">Everything is open again.</p>'

# Open again while the page is on screen: it switches by itself within one poll.
probe="JSON.stringify({line: (document.getElementById('line')||{}).textContent,
  how: !!(document.getElementById('how')||{}).hidden,
  open: !!(document.getElementById('open')||{}).hidden,
  href: ((document.querySelector('#open a')||{}).href)||''})"
background python3 "$tests_dir/e2e/browser_tabs.py" "$chromium" "$(mktemp -d "$work/profile.XXXXXX")" \
  "open:$url" "watch:8:$probe" >"$work/watch.jsonl" 2>>"$work/chromium.err"
watch=$!
wait_for 30 grep -q '"line"' "$work/watch.jsonl" || fail "the page was not watched"
sleep 2
"$bin/tarrow-helper" --clear --hosts /etc/hosts --no-flush
wait "$watch" || true
check "the section is gone" no_section
blocked_state='{"line":"Tarrow keeps this site closed until 12:00, on schedule.","how":false,"open":true,"href":"https://www.youtube.com/watch?v=0"}'
open_state='{"line":"Everything is open again.","how":true,"open":false,"href":"https://www.youtube.com/watch?v=0"}'
check "the page showed the block first" grep -qxF "$blocked_state" "$work/watch.jsonl"
check "then everything is open, the how-to hidden, the link back shown" \
  grep -qxF "$open_state" "$work/watch.jsonl"
went_back() {
  grep '^{"line"' "$work/watch.jsonl" | sed -n '/Everything is open/,$p' | grep -qv 'Everything is open'
}
check "and it never went back" not went_back

# A page whose back address is a script: served, but without a way back.
dump "$work/script.html" "http://127.0.0.1:47110/blocked?site=youtube.com&back=javascript%3Aalert(1)"
check "a script address is dropped" has "$work/script.html" '<p class="how" id="open" hidden="">'
check "BACK is empty" has "$work/script.html" 'BACK = "";'
check "the page still switches" has "$work/script.html" "Everything is open again."
finish
