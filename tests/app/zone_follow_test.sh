#!/usr/bin/env bash
# The system's time zone changes while the app runs (/etc/localtime pointed elsewhere,
# as the system settings do): by the next tick the schedules run in the new zone.
# Runs inside netns.sh, whose /etc is a private copy.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
app_home
unset TZ
# A schedule of every day from 30 minutes before to 30 minutes after the time it will be
# in Tokyo in nine hours' time: off in UTC, on in Tokyo.
now=$((10#$(date -u +%H) * 60 + 10#$(date -u +%M)))
cat >"$TARROW_HOME/config.json" <<JSON
{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "example.com", "enabled": true}],
 "schedules": [{"id": "7C9E6679-7425-40DE-944B-E07FC1F90AE7", "enabled": true,
  "days": [1, 2, 3, 4, 5, 6, 7], "start": $(((now + 510) % 1440)), "end": $(((now + 570) % 1440))}]}
JSON

ln -sfn /usr/share/zoneinfo/Etc/UTC /etc/localtime
start_app
check "the app starts" wait_for 10 logged "started, state in"
check "in UTC the schedule is not running" wait_for 10 logged "okay, now"

ln -sfn /usr/share/zoneinfo/Asia/Tokyo /etc/localtime.new
mv -T /etc/localtime.new /etc/localtime # replaced in one step, as the system settings do
changed=$(now_ms)
check "by the next tick it runs in Tokyo time" wait_for 7 test -s "$request"
echo "milliseconds from the change to the request: $(($(now_ms) - changed))"
check "the change is logged once" [ "$(lines_with "$app_log" 'time zone: Asia/Tokyo')" = 1 ]
check "the log's stamps follow too" \
  [ "$(tail -n 1 "$app_log" | cut -c12-13)" = "$(TZ=Asia/Tokyo date +%H)" ]
finish
