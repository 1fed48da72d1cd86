#!/usr/bin/env bash
# Standard error whose reader has gone (a closed terminal, `tarrow 2> >(exit 0)`): the
# app keeps running, every line still reaches tarrow.log, and quitting empties the
# request as always.
set -euo pipefail
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work=$(mktemp -d /tmp/tarrow-stderr.XXXXXX)
app=
trap '[ -z "$app" ] || kill -KILL "$app" 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen TARROW_HOME="$work/home" HOME="$work/user"
unset XDG_RUNTIME_DIR DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.2; done
}

# A pipe whose only reader ends once the app holds the writing end.
mkfifo "$work/pipe"
exec 3<>"$work/pipe"
"$bin/tarrow" 2>"$work/pipe" 3<&- &
app=$!
stderr_is_pipe() { [ "$(readlink "/proc/$app/fd/2" 2>/dev/null)" = "$work/pipe" ]; }
wait_for 10 stderr_is_pipe
exec 3<&-  # the last reader is gone: every write to standard error now fails

check "the first log line reaches tarrow.log" \
  wait_for 10 grep -qs "started, state in $TARROW_HOME" "$TARROW_HOME/tarrow.log"
echo on > "$TARROW_HOME/command"
check "the app blocks on command" wait_for 10 test -s "$TARROW_HOME/request/blocked-hosts"
check "so its later lines are logged too" grep -q "command: on" "$TARROW_HOME/tarrow.log"
check "it is still running" kill -0 "$app"
kill -TERM "$app" 2>/dev/null || true
set +e; wait "$app"; status=$?; set -e
app=
check "it quits with status 0 (not 141)" [ "$status" = 0 ]
check "quitting emptied the request" [ ! -s "$TARROW_HOME/request/blocked-hosts" ]

if [ "$fails" -ne 0 ]; then
  cat "$TARROW_HOME/tarrow.log" 2>/dev/null || true
  exit 1
fi
echo "all passed"
