# A strict lock holds: the app refuses "off", and the daemon keeps the locked names through
# the app's quitting, a request naming fewer and its own restart, until 3 s after the end;
# root's --clear ends a lock at once.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
private_usr_local
app_home
install_helper "$bin/tarrow-helper"
show_on_failure "$helper_log" "$state"
strict="${request%/*}/strict-lock" lock=/var/lib/Tarrow/strict-lock
ask_strict() { # <seconds ahead> <names...>: as the app writes it
  end=$(($(date +%s) + $1))
  printf 'until %s\n' "$(date -u -d "@$end" +%Y-%m-%dT%H:%M:%SZ)" "${@:2}" | sed '2,$s/^until //' >"$strict.tmp"
  mv -f "$strict.tmp" "$strict"
}
kept() { # after the watch and one timer pass, the locked name is blocked
  sleep 3.3
  check "$1 keeps the locked name" hosts_has 127.0.0.2 "${2:-kept.example}"
}

start_daemon
start_app
echo "lock 2" >"$TARROW_HOME/command"
check "the app's lock reaches the helper, in a file root's alone" wait_for 15 eval \
  'grep -qsx youtube.com "$lock" && [ "$(stat -c %u:%a "$lock")" = 0:644 ]'
echo off >"$TARROW_HOME/command"
check "off is refused" wait_for 11 logged "okay, now refused: a strict lock holds until"
quit_app
check "quitting empties the request" [ -f "$request" -a ! -s "$request" ]
kept "the app's quitting" youtube.com
stop "$daemon"
check "--clear ends the lock" eval '"$bin/tarrow-helper" --clear 2>>"$helper_log" && [ ! -e "$lock" ]'

write_request kept.example other.example
ask_strict 15 kept.example # room for two passes and a restart on a busy machine
start_daemon
wait_for 5 hosts_has 127.0.0.2 kept.example || fail "not blocked"
write_request other.example
kept "a request naming fewer sites"
stop "$daemon"
start_daemon
kept "the helper's restart"
write_request
while [ "$(date +%s)" -lt "$end" ]; do sleep 0.1; done
check "the section and the lock file go within 3 s of the end" wait_for 3.5 eval 'no_section && [ ! -e "$lock" ]'
finish
