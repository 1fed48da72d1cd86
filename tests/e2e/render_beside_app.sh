#!/usr/bin/env bash
# "--render" beside a running copy of the app on the same state folder, inside the
# namespaces of netns.sh (the app's page server binds its fixed ports there): it is not
# refused as a second copy, and the running copy neither notices nor stops.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
app_home
export TZ=Europe/Berlin TARROW_NOW=2026-10-23T07:00:00Z

start_app
check "the app runs" wait_for 20 logged "started, state in $TARROW_HOME"

status=0
"$bin/tarrow" --render "$work/pictures" --working >"$work/render.out" 2>"$work/render.err" ||
  status=$?
check "--render beside it: status 0" [ "$status" = 0 ]
check "--render is not refused as a second copy" \
  lacks "$(cat "$work/render.err")" "already running"
check "the running copy still runs" kill -0 "$app"
# A plain second start still only shows the running copy: the lock is still its own.
status=0
timeout 20 "$bin/tarrow" 2>"$work/second.err" || status=$?
check "a second start ends at once, status 0" [ "$status" = 0 ]
shown() { [ "$(grep -c "another start: settings shown" "$TARROW_HOME/tarrow.log")" = 1 ]; }
check "a second start shows the running copy, --render did not" wait_for 2 shown
finish
