# Commands from the shell to the real app, taken at once and answered with the status line;
# bad words; nothing running, a read-only state folder, two shells, another user, a killed copy.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
app_home
tarrow() { status=0; "$bin/tarrow" "$@" >"$work/out" 2>"$work/err" || status=$?; }
err() { cat "$work/err"; }

for words in "for 0" "for 10081" "bogus" "on now"; do
  tarrow $words
  check "'$words' exits 2 with the usage" eval '[ "$status" = 2 ] && contains "$(err)" "Usage: tarrow on"'
done
tarrow status
check "nothing running: exit 1, said so, none started" \
  eval '[ "$status/$(err)" = "1/Tarrow is not running." ] && [ ! -e "$state" ]'

start_app
wait_for 10 test -s "$state" || fail "the app did not start"
for words in on "for 30" off status; do
  start=$(now_ms)
  tarrow $words
  took=$(($(now_ms) - start))
  check "'$words' exits 0 with the status line within 2 s ($took ms)" \
    eval '[ "$status" = 0 ] && [ "$(cat "$work/out")" = "$(head -n 1 "$state")" ] && [ "$took" -lt 2000 ]'
  [ "$words" != off ] || check "off: the request is empty" [ ! -s "$request" ]
done
echo on >"$TARROW_HOME/command"
check "a command file written by hand is taken within 1 s, the request following" \
  wait_for 1 eval '[ ! -e "$TARROW_HOME/command" -a -s "$request" ]'

"$bin/tarrow" for 45 >/dev/null 2>&1 & first=$!
"$bin/tarrow" off >/dev/null 2>&1 & second=$!
check "two shells at once: both exit 0, both taken" eval 'wait $first && wait $second &&
  logged "command: for 45" && logged "command: off"'

mount --bind "$TARROW_HOME" "$TARROW_HOME"; mount -o remount,bind,ro "$TARROW_HOME"
tarrow on
umount "$TARROW_HOME"
check "a read-only state folder: exit 1, says why" eval '[ "$status" = 1 ] && contains "$(err)" "Read-only file system"'

mkdir -p "$work/other/home"; chown -R 65534:65534 "$work/other"
status=0
setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/other" \
  TARROW_HOME="$work/other/home" "$bin/tarrow" status >/dev/null 2>"$work/err" || status=$?
check "another user's command does not reach this copy" [ "$status/$(err)" = "1/Tarrow is not running." ]

kill -KILL "$app"; stop "$app"
tarrow status
check "a killed copy: not running" [ "$status" = 1 ]
start_app
wait_for 5 grep -qx "$app" "$TARROW_HOME/tarrow.lock" || fail "the next copy holds no lock"
tarrow # a second start while the first still starts up
check "the next copy starts, answers a second start during its start-up" wait_for 10 eval \
  '[ "$status/$(lines_with "$app_log" " started, state in ")" = 0/2 ] && logged "another start: settings shown"'
quit_app
check "the app ends with 0" [ "$status" = 0 ]
finish
