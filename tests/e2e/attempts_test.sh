#!/usr/bin/env bash
# Attempts counted end to end, run through netns.sh (root, throw-away namespaces): the
# real helper's listener takes curl requests for a blocked name and the real app counts
# them in attempts.json.
#
# Walks through: a burst of requests to a site and its www. name is one attempt; more
# within 20 s stay one; "--attempts" prints it exactly, beside the running app; the
# system's time zone moves from UTC-12 to UTC+14, so the next attempt falls on a new
# local day; "forget" empties the file; a broken file is refused by "--attempts" and set
# aside by the next start, which counts again.
set -euo pipefail

bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work="${NETNS_SCRATCH:?run this through tests/e2e/netns.sh}"
app_pid= helper_pid=
cleanup() {
  [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
  [ -n "$helper_pid" ] && kill -KILL "$helper_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
export TARROW_HOME="$work/home" HOME="$work/user" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
unset XDG_RUNTIME_DIR DISPLAY WAYLAND_DISPLAY TZ
mkdir -p "$TARROW_HOME" "$HOME"
request="$TARROW_HOME/request/blocked-hosts"
counts="$TARROW_HOME/attempts.json"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.2; done
}
zone() {  # the system's zone replaced in one step, as the system settings do
  ln -sfn "/usr/share/zoneinfo/$1" /etc/localtime.new
  mv -T /etc/localtime.new /etc/localtime
}
blocked() { grep -qx '127.0.0.2 example.com' /etc/hosts; }
# 100 requests each to example.com and www.example.com, in one curl each.
burst() {
  curl -4 -s -m 10 -o /dev/null "http://example.com/[1-100]" || true
  curl -4 -s -m 10 -o /dev/null "http://www.example.com/[1-100]" || true
}
has_text() { [ "$(cat "$1" 2>/dev/null)" = "$2" ]; }
day_count() {  # day_count <yyyy-mm-dd>: example.com's count on that day, or nothing
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["days"].get(sys.argv[2], {}).get("example.com", ""))' \
    "$counts" "$1" 2>/dev/null
}
count_is() { [ "$(day_count "$1")" = "$2" ]; }
no_address() { ! grep -q 'http\|/1\|www\.' "$counts"; }
attempts() { "$bin/tarrow" --attempts 2>"$work/attempts.err"; }
report_is() { [ "$(attempts)" = "$1" ]; }
start_app() {
  "$bin/tarrow" 2>>"$work/app.err" &
  app_pid=$!
}

cat > "$TARROW_HOME/config.json" <<'JSON'
{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "example.com", "enabled": true},
           {"id": "7C9E6679-7425-40DE-944B-E07FC1F90AE7", "domain": "example.org", "enabled": true}],
 "manualOn": true}
JSON
zone Etc/GMT+12  # UTC-12
"$bin/tarrow-helper" --daemon "$request" --uid 0 2>>"$work/helper.log" &
helper_pid=$!
start_app
check "the helper blocks the sites" wait_for 15 blocked

# --- a burst is one attempt, counted on the local day ---
first=$(date +%s)
burst
west_day=$(TZ=Etc/GMT+12 date -d "@$first" +%F)
several_hits() { [ "$(grep -c 'example.com$' /var/lib/Tarrow/hits)" -ge 2 ]; }
check "the helper noted several hits" wait_for 3 several_hits
check "the burst is counted once, on the day in UTC-12" wait_for 8 count_is "$west_day" 1
check "the file is the user's alone" [ "$(stat -c %a "$counts")" = 600 ]
check "nothing of an address is kept" no_address
burst  # still within 20 s of the counted hit
sleep 6  # a tick later
check "more of it within 20 s stays one attempt" count_is "$west_day" 1
check "--attempts prints the week, beside the running app" report_is \
  "1      example.com
1 attempt in 7 days"

# --- a new local day: the time zone moves 26 hours east ---
zone Etc/GMT-14  # UTC+14
check "the app follows the zone" wait_for 8 grep -q "time zone: Etc/GMT-14" "$TARROW_HOME/tarrow.log"
while [ $(( $(date +%s) - first )) -le 21 ]; do sleep 0.5; done  # a new attempt
second=$(date +%s)
burst
east_day=$(TZ=Etc/GMT-14 date -d "@$second" +%F)
check "the next attempt falls on the new day" wait_for 8 count_is "$east_day" 1
check "two local days, not one" [ "$west_day" != "$east_day" ]
check "the first day keeps its count" count_is "$west_day" 1
check "--attempts adds both days" report_is \
  "2      example.com
2 attempts in 7 days"

# --- forget ---
echo forget > "$TARROW_HOME/command"
check "forget empties the file" wait_for 8 has_text "$counts" '{
  "days": {}
}'
check "--attempts says none" report_is "0 attempts in 7 days"

# --- a broken file ---
kill -TERM "$app_pid"; wait "$app_pid" || true; app_pid=
printf 'not json' > "$counts"
set +e
attempts >/dev/null
status=$?
set -e
check "--attempts refuses a broken file with status 1" [ "$status" = 1 ]
check "and says why" grep -q "attempts.json: not JSON" "$work/attempts.err"
start_app
check "the next start sets it aside" wait_for 10 has_text "$TARROW_HOME/attempts.broken.json" "not json"
check "and says so once" [ "$(grep -c 'attempts.json unreadable (not JSON), moved to attempts.broken.json' \
  "$TARROW_HOME/tarrow.log")" = 1 ]
check "the helper blocks again" wait_for 15 blocked
burst
check "counting starts again" wait_for 8 report_is "1      example.com
1 attempt in 7 days"
check "the app still runs" kill -0 "$app_pid"

if [ "$fails" -ne 0 ]; then
  echo "--- app stderr"; cat "$work/app.err"
  echo "--- helper log"; cat "$work/helper.log"
  echo "--- attempts.json"; cat "$counts" 2>/dev/null || true
  exit 1
fi
echo "all passed"
