# A strict lock from the real app through the real helper: "lock 2" in the command file
# blocks and the status says strict; "off" is refused; quitting the app empties its
# request, yet the lock's names stay blocked.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
private_usr_local
app_home
show_on_failure "$helper_log" "$state"
hosts_blocks() { grep -qx "127.0.0.2 $1\|0.0.0.0 $1" /etc/hosts; }
send() { echo "$1" >"$TARROW_HOME/command"; }

install_helper "$bin/tarrow-helper"
start_daemon
start_app
wait_for 11 state_has "helper: working" || fail "the helper is not working"

send "lock 2"
check "lock 2 blocks" wait_for 11 hosts_blocks youtube.com
check "the status says strict" wait_for 6 grep -q " – strict$" "$state"
check "the helper keeps the lock" wait_for 4 grep -qx youtube.com /var/lib/Tarrow/strict-lock
send off
check "off is refused" wait_for 11 logged "okay, now refused: a strict lock holds until"
quit_app
check "quitting empties the request" [ ! -s "$request" ]
sleep 3.5 # the watch and one timer pass of the helper
check "the lock's names stay blocked after quitting" hosts_blocks youtube.com
finish
