#!/usr/bin/env bash
# Commands from the shell against the real app inside netns.sh: each is taken at once
# and answered with the status line; the request follows; bad words, nothing running, a
# state folder that cannot be written, two shells at once, another user, and a copy that
# was killed.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
app_home
tarrow() { "$bin/tarrow" "$@" >"$work/out" 2>"$work/err"; }
out() { cat "$work/out"; }
err() { cat "$work/err"; }
first_state_line() { head -n 1 "$state"; }

# --- bad words: the usage, exit 2, before anything is asked ---
for words in "for 0" "for 10081" "for abc" "for" "bogus" "on now"; do
  status=0
  tarrow $words || status=$?
  check "'$words' exits 2 with the usage" eval '[ "$status" = 2 ] && contains "$(err)" "Usage: tarrow on"'
done

# --- nothing running ---
status=0
tarrow status || status=$?
check "nothing running: exit 1" [ "$status" = 1 ]
check "nothing running: said on standard error" [ "$(err)" = "Tarrow is not running." ]
check "nothing running: none started" [ ! -e "$state" ]

start_app
check "the app started" wait_for 10 test -s "$state"

# --- each word answers with the status line once taken ---
for words in on "for 30" off status; do
  status=0
  start=$(now_ms)
  tarrow $words || status=$?
  took=$(($(now_ms) - start))
  check "'$words' exits 0 (${took} ms)" [ "$status" = 0 ]
  check "'$words' prints the state file's status line" [ "$(out)" = "$(first_state_line)" ]
  check "'$words' answered within 2 s" [ "$took" -lt 2000 ]
  case $words in
    on) check "on: the request lists the sites" [ -s "$request" ] ;;
    off) check "off: the request is empty" [ ! -s "$request" ] ;;
  esac
done
status=0
tarrow settings || status=$?
check "settings exits 0" [ "$status" = 0 ]
check "settings logged" logged "command: settings"

# --- the command file written by hand wakes the app at once ---
echo on >"$TARROW_HOME/command"
check "a command file is taken within 1 s" wait_for 1 test ! -e "$TARROW_HOME/command"
check "and the request follows" wait_for 1 test -s "$request"

# --- two shells at once: neither command is lost ---
tarrow_at() { "$bin/tarrow" "$@" >/dev/null 2>&1; }
tarrow_at for 45 & first=$!
tarrow_at off & second=$!
status=0
wait "$first" || status=$?
wait "$second" || status=$((status + $?))
check "two shells at once both exit 0" [ "$status" = 0 ]
check "both commands were taken" eval 'logged "command: for 45" && logged "command: off"'

# --- a state folder that cannot be written ---
mount --bind "$TARROW_HOME" "$TARROW_HOME"
mount -o remount,bind,ro "$TARROW_HOME"
status=0
tarrow on || status=$?
umount "$TARROW_HOME"
check "read-only state folder: exit 1" [ "$status" = 1 ]
check "read-only state folder: says why" contains "$(err)" "Read-only file system"

# --- another user: a copy of their own, nothing crosses ---
other="$work/other"
mkdir -p "$other/home"
chown -R 65534:65534 "$other"
status=0
setpriv --reuid=65534 --regid=65534 --clear-groups \
  env HOME="$other" TARROW_HOME="$other/home" "$bin/tarrow" status >"$work/out" 2>"$work/err" ||
  status=$?
check "another user's command does not reach this copy" [ "$status" = 1 ]
check "another user is told nothing runs for them" [ "$(err)" = "Tarrow is not running." ]

# --- a copy that was killed leaves its lock file: nothing runs, and the next one starts ---
kill -KILL "$app"
wait "$app" 2>/dev/null || true
forget "$app"
status=0
tarrow status || status=$?
check "after a killed copy: not running" [ "$status" = 1 ]
start_app
# A second start at once, while the first is still starting up: shown once it is up.
wait_for 5 grep -qx "$app" "$TARROW_HOME/tarrow.lock" || fail "the first copy holds no lock"
status=0
"$bin/tarrow" 2>>"$work/second.err" || status=$?
check "a second start during start-up exits 0" [ "$status" = 0 ]
started_twice() { [ "$(lines_with "$app_log" " started, state in ")" = 2 ]; }
check "after a killed copy: the next start starts" wait_for 10 started_twice
check "the early second start is answered" wait_for 3 logged "another start: settings shown"
status=0
tarrow status || status=$?
check "and takes commands" [ "$status" = 0 ]

quit_app
check "the app ends with 0" [ "$status" = 0 ]
finish
