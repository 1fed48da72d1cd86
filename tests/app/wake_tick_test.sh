#!/usr/bin/env bash
# The machine wakes up (logind's PrepareForSleep(false) on the system bus): the app
# ticks at once, not at its next five-second timer. A private bus stands in for the
# system bus, a small script for logind. The tick is seen by the command file it takes.
set -euo pipefail
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
here="$(cd "$(dirname "$0")" && pwd)"
python=/usr/bin/python3
if ! command -v dbus-daemon >/dev/null || ! "$python" -c 'import dbus' 2>/dev/null; then
  echo "skipped: needs dbus-daemon and python3-dbus" >&2
  exit 77
fi
work=$(mktemp -d /tmp/tarrow-wake.XXXXXX)
bus= app= logind=
trap 'for p in $app $logind $bus; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen TARROW_HOME="$work/home" HOME="$work/user"
unset XDG_RUNTIME_DIR DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
mkdir -p "$HOME"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.02; done
}
now_ms() { date +%s%3N; }

dbus-daemon --session --address="unix:path=$work/bus" --nofork --print-address=1 \
  > "$work/address" 2>"$work/bus.err" &
bus=$!
wait_for 10 test -s "$work/address"
export DBUS_SYSTEM_BUS_ADDRESS="$(head -n 1 "$work/address")"

mkfifo "$work/to-logind"
"$python" "$here/fake_logind.py" "$DBUS_SYSTEM_BUS_ADDRESS" < "$work/to-logind" \
  > "$work/logind.out" 2>&1 &
logind=$!
exec 4>"$work/to-logind"
wait_for 10 grep -q ready "$work/logind.out"

"$bin/tarrow" 2>"$work/app.err" &
app=$!
check "the app starts" wait_for 10 grep -qs "started, state in" "$TARROW_HOME/tarrow.log"
check "and listens for wake-ups" bash -c "! grep -q 'cannot watch for wake-ups' '$work/app.err'"

command_taken() { [ ! -e "$TARROW_HOME/command" ]; }
woke=()
for word in on off on; do
  # A timer tick takes a first command; the next timer tick is five seconds away.
  echo suggest > "$TARROW_HOME/command"
  wait_for 8 command_taken
  echo "$word" > "$TARROW_HOME/command"
  start=$(now_ms)
  echo wake >&4
  if wait_for 3 command_taken; then
    woke+=($(( $(now_ms) - start )))
  else
    woke+=(never)
  fi
done
echo "milliseconds from PrepareForSleep(false) to the tick: ${woke[*]}"
fast() { for ms in "${woke[@]}"; do [ "$ms" != never ] && [ "$ms" -lt 1500 ] || return 1; done; }
check "every wake-up ticks within 1.5 s" fast
three_commands() { [ "$(grep -c 'command: o[nf]' "$TARROW_HOME/tarrow.log")" = 3 ]; }
check "each of those ticks ran its command" wait_for 3 three_commands

echo sleep >&4
check "going to sleep is no reason to tick" wait_for 3 grep -q "sent sleep" "$work/logind.out"

if [ "$fails" -ne 0 ]; then
  cat "$work/app.err"
  exit 1
fi
echo "all passed"
