#!/usr/bin/env bash
# The block page in a real browser: headless Chromium loads the page of `tarrow
# --page-test` while the hosts file blocks a site, then sees it switch to "Everything is
# open again." with the link back once the section is gone. Runs through tests/e2e/netns.sh (as
# root, with a scratch copy of /etc).
set -euo pipefail

bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work="${NETNS_SCRATCH:?run this through tests/e2e/netns.sh}"
chromium=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$chromium" ]; then echo "no chromium; skipped"; exit 77; fi

server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT
export TARROW_HOME="$work/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$TARROW_HOME"

source "$(dirname "$0")/checks.sh"
has() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -qF -- "$2" "$1"; }

block() {
  printf 'youtube.com\nwww.youtube.com\n' > "$work/request"
  "$bin/tarrow-helper" --apply "$work/request" --uid 0 --hosts /etc/hosts --no-flush
}
unblock() { "$bin/tarrow-helper" --clear --hosts /etc/hosts --no-flush; }

# dump <file> <chromium options...>: the page's DOM after its scripts ran.
dump() {
  local out=$1; shift
  local profile
  profile=$(mktemp -d "$work/profile.XXXXXX")
  timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" "$@" --dump-dom "$url" > "$out" 2>>"$work/chromium.err" || true
}

block
check "the section blocks youtube.com" grep -q '^127.0.0.2 youtube.com$\|^0.0.0.0 youtube.com$' /etc/hosts

"$bin/tarrow" --page-test > "$work/page-test.out" 2>"$work/page-test.err" &
server_pid=$!
for _ in $(seq 50); do [ -s "$work/page-test.out" ] && break; sleep 0.1; done
read -r url token < "$work/page-test.out"
check "the address names the first port" [ "${url%%/blocked*}" = "http://127.0.0.1:47110" ]
check "the token is 32 hex digits" bash -c "[[ '$token' =~ ^[0-9a-f]{32}$ ]]"

# While blocked: the site's name, the until line, no way back yet.
dump "$work/blocked.html" --virtual-time-budget=6000
check "the title names the site" has "$work/blocked.html" "<title>Tarrow: YouTube</title>"
check "the heading names the site" has "$work/blocked.html" '<span class="site">YouTube?</span>'
check "the lead says until when" has "$work/blocked.html" \
  "keeps this site closed until 12:00, on schedule."
check "the how-to is shown" has "$work/blocked.html" '<p class="how" id="how">'
check "the way back is hidden" has "$work/blocked.html" '<p class="how" id="open" hidden="">'
check "the polling kept the page blocked" has "$work/blocked.html" \
  '<p class="lead" id="line"><b>Tarrow</b> keeps this site closed'
check "the lead was never replaced" lacks "$work/blocked.html" \
  '<p class="lead" id="line">Everything is open again.</p>'

# Open again while the page is on screen: it switches by itself within one poll.
python3 "$(dirname "$0")/page_watch.py" "$chromium" "$(mktemp -d "$work/profile.XXXXXX")" \
  "$url" 9 > "$work/watch.jsonl" 2>>"$work/chromium.err" &
watch_pid=$!
sleep 4
unblock

wait "$watch_pid"
check "the section is gone" bash -c "! grep -q '# >>> Tarrow' /etc/hosts"
blocked_state='{"line":"Tarrow keeps this site closed until 12:00, on schedule.","how":false,"open":true,"href":"https://www.youtube.com/watch?v=0"}'
open_state='{"line":"Everything is open again.","how":true,"open":false,"href":"https://www.youtube.com/watch?v=0"}'
check "the page showed the block first" grep -qxF "$blocked_state" "$work/watch.jsonl"
check "then everything is open, the how-to hidden, the link back shown" \
  grep -qxF "$open_state" "$work/watch.jsonl"
check "and it never went back" bash -c "sed -n '/Everything is open/,\$p' '$work/watch.jsonl' | grep -qv 'Everything is open' && exit 1 || exit 0"

# A page whose back address is a script: served, but without a way back.
url="http://127.0.0.1:47110/blocked?site=youtube.com&back=javascript%3Aalert(1)"
dump "$work/script.html" --virtual-time-budget=6000
check "a script address is dropped" has "$work/script.html" '<p class="how" id="open" hidden="">'
check "BACK is empty" has "$work/script.html" 'BACK = "";'
check "the page still switches" has "$work/script.html" "Everything is open again."

if [ "$fails" -ne 0 ]; then
  echo "--- page-test stderr"; cat "$work/page-test.err"
  echo "--- chromium stderr (tail)"; tail -20 "$work/chromium.err"
  exit 1
fi
echo "all passed"
