#!/usr/bin/env bash
# "--render" beside a running copy of the app on the same state folder, inside the
# namespaces of netns.sh (the app's page server binds its fixed ports there): the
# pictures are made, the running copy neither notices nor stops, and no second tray app
# is started.
set -euo pipefail
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}/tarrow"
work="${NETNS_SCRATCH:?run this through tests/e2e/netns.sh}"
export HOME="$work/user" TARROW_HOME="$work/home" QT_QPA_PLATFORM=offscreen
export TZ=Europe/Berlin TARROW_NOW=2026-10-23T07:00:00Z
mkdir -p "$HOME" "$TARROW_HOME"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.1; done
}

"$bin" 2> "$work/app.err" &
app=$!
check "the app runs" wait_for 20 grep -qs "started, state in $TARROW_HOME" "$TARROW_HOME/tarrow.log"
config_before=$(cat "$TARROW_HOME/config.json")

set +e
"$bin" --render "$work/pictures" --working > "$work/render.out" 2> "$work/render.err"
status=$?
set -e
check "--render beside it: status 0" [ "$status" = 0 ]
check "--render beside it: twelve pictures" [ "$(ls "$work/pictures" | wc -l)" = 12 ]
check "--render beside it: three window lines" [ "$(wc -l < "$work/render.out")" = 3 ]
check "--render is not refused as a second copy" \
  bash -c '! grep -q "already running" "$1"' _ "$work/render.err"
check "the running copy still runs" kill -0 "$app"
check "the configuration is as it was" [ "$(cat "$TARROW_HOME/config.json")" = "$config_before" ]
# A plain second start is refused, as always: the lock is still the running copy's.
set +e
timeout 20 "$bin" 2> "$work/second.err"
set -e
check "a second app still quits" grep -q "already running (pid $app)" "$work/second.err"

kill -TERM "$app"
wait "$app" || true
[ "$fails" = 0 ]
