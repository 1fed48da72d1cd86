#!/usr/bin/env bash
# Standard error whose reader has gone (a closed terminal): the app keeps running and
# every line still reaches tarrow.log.
source "$(dirname "$0")/../support/lib.sh"
work_folder stderr
app_home

# A pipe whose only reader ends once the app holds the writing end.
mkfifo "$work/pipe"
exec 3<>"$work/pipe"
background "$bin/tarrow" 2>"$work/pipe" 3<&-
app=$!
stderr_is_pipe() { [ "$(readlink "/proc/$app/fd/2" 2>/dev/null)" = "$work/pipe" ]; }
wait_for 10 stderr_is_pipe || fail "the app did not start"
exec 3<&- # the last reader is gone: every write to standard error now fails

check "the first log line reaches tarrow.log" wait_for 10 logged "started, state in $TARROW_HOME"
echo on >"$TARROW_HOME/command"
check "the app blocks on command" wait_for 10 test -s "$request"
check "so its later lines are logged too" logged "command: on"
check "it is still running" kill -0 "$app"
quit_app
check "it quits with status 0 (not 141)" [ "$status" = 0 ]
finish
