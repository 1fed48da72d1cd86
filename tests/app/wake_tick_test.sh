#!/usr/bin/env bash
# The machine wakes up (logind's PrepareForSleep(false) on the system bus): the app
# ticks at once, not at its next five-second timer. A private bus stands in for the
# system bus, a small script for logind. The tick is seen by the command file it takes.
source "$(dirname "$0")/../support/lib.sh"
need_python_modules dbus
work_folder wake
app_home
start_bus
export DBUS_SYSTEM_BUS_ADDRESS=$bus_address

mkfifo "$work/to-logind"
exec 4<>"$work/to-logind" # open before the reader, or opening it would wait for a writer
background "$system_python" "$(dirname "$0")/fake_logind.py" "$DBUS_SYSTEM_BUS_ADDRESS" \
  <"$work/to-logind" >"$work/logind.out" 2>&1
wait_for 10 grep -q ready "$work/logind.out" || fail "the stand-in logind did not start"

start_app
check "the app starts" wait_for 10 logged "started, state in"
check "and listens for wake-ups" not grep -q 'cannot watch for wake-ups' "$work/app.err"

command_taken() { [ ! -e "$TARROW_HOME/command" ]; }
# The first tick runs before the app listens for wake-ups and takes one command at most:
# after this one, the rounds' first commands are taken by timer ticks, with the app
# listening.
echo suggest >"$TARROW_HOME/command"
wait_for 8 command_taken || fail "no tick took the command"
woke=()
for word in on off on; do
  # A timer tick takes a first command; the next timer tick is five seconds away.
  echo suggest >"$TARROW_HOME/command"
  wait_for 8 command_taken
  echo "$word" >"$TARROW_HOME/command"
  start=$(now_ms)
  echo wake >&4
  if wait_for 3 command_taken; then woke+=($(($(now_ms) - start))); else woke+=(never); fi
done
echo "milliseconds from PrepareForSleep(false) to the tick: ${woke[*]}"
fast() { for ms in "${woke[@]}"; do [ "$ms" != never ] && [ "$ms" -lt 1500 ] || return 1; done; }
check "every wake-up ticks within 1.5 s" fast
three_commands() { [ "$(grep -c 'command: o[nf]' "$app_log")" = 3 ]; }
check "each of those ticks ran its command" wait_for 3 three_commands

echo sleep >&4
check "going to sleep is no reason to tick" wait_for 3 grep -q "sent sleep" "$work/logind.out"
finish
