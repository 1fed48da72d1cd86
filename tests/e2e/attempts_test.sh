#!/usr/bin/env bash
# Attempts counted end to end, run through netns.sh (root, throw-away namespaces): the
# real helper's listener takes curl requests for a blocked name and the real app counts
# them in attempts.json.
#
# Walks through: a burst of requests to a site and its www. name is one attempt, on the
# local day; more within 20 s stay one; "--attempts" prints it exactly, beside the
# running app; "forget" empties the file. (New local days and a broken file are the
# attempt store's own tests.)
source "$(dirname "$0")/../support/lib.sh"
in_namespace
app_home
export LC_ALL=C.UTF-8
unset TZ
counts="$TARROW_HOME/attempts.json"
show_on_failure "$helper_log" "$counts"

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

cat > "$TARROW_HOME/config.json" <<'JSON'
{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "example.com", "enabled": true},
           {"id": "7C9E6679-7425-40DE-944B-E07FC1F90AE7", "domain": "example.org", "enabled": true}],
 "manualOn": true}
JSON
zone Etc/GMT+12  # UTC-12
start_daemon
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

# --- forget ---
echo forget > "$TARROW_HOME/command"
check "forget empties the file" wait_for 8 has_text "$counts" '{
  "days": {}
}'
check "--attempts says none" report_is "0 attempts in 7 days"
finish
