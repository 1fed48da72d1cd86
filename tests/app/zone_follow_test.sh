#!/usr/bin/env bash
# The system's time zone changes while the app runs (/etc/localtime pointed elsewhere,
# as the system settings do): by the next tick the schedules run in the new zone.
# Runs inside tests/e2e/netns.sh, whose /etc is a private copy.
set -euo pipefail
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work="${NETNS_SCRATCH:?run through tests/e2e/netns.sh}"
export QT_QPA_PLATFORM=offscreen TARROW_HOME="$work/home" HOME="$work/user"
unset XDG_RUNTIME_DIR DISPLAY WAYLAND_DISPLAY TZ
mkdir -p "$HOME"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.1; done
}
# A schedule of every day from 30 minutes before to 30 minutes after the time it will be
# in Tokyo in nine hours' time: off in UTC, on in Tokyo.
now=$(( 10#$(date -u +%H) * 60 + 10#$(date -u +%M) ))
mkdir -p "$TARROW_HOME"
cat > "$TARROW_HOME/config.json" <<JSON
{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "example.com", "enabled": true}],
 "schedules": [{"id": "7C9E6679-7425-40DE-944B-E07FC1F90AE7", "enabled": true,
  "days": [1, 2, 3, 4, 5, 6, 7], "start": $(( (now + 510) % 1440 )), "end": $(( (now + 570) % 1440 ))}]}
JSON

ln -sfn /usr/share/zoneinfo/Etc/UTC /etc/localtime
"$bin/tarrow" 2>"$work/app.err" &
app=$!
check "the app starts" wait_for 10 grep -qs "started, state in" "$TARROW_HOME/tarrow.log"
check "in UTC the schedule is not running" wait_for 10 grep -q "okay, now" "$TARROW_HOME/tarrow.log"

ln -sfn /usr/share/zoneinfo/Asia/Tokyo /etc/localtime.new
mv -T /etc/localtime.new /etc/localtime  # replaced in one step, as the system settings do
changed=$(date +%s%3N)
blocking() { [ -s "$TARROW_HOME/request/blocked-hosts" ]; }
check "by the next tick it runs in Tokyo time" wait_for 7 blocking
echo "milliseconds from the change to the request: $(( $(date +%s%3N) - changed ))"
check "the change is logged once" [ "$(grep -c 'time zone: Asia/Tokyo' "$TARROW_HOME/tarrow.log")" = 1 ]
stamp_hour=$(tail -n 1 "$TARROW_HOME/tarrow.log" | cut -c12-13)
check "the log's stamps follow too" [ "$stamp_hour" = "$(TZ=Asia/Tokyo date +%H)" ]

kill -TERM "$app"
wait "$app" || true
if [ "$fails" -ne 0 ]; then
  cat "$work/app.err"
  exit 1
fi
echo "all passed"
