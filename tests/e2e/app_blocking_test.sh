#!/usr/bin/env bash
# The real app and the real helper daemon together, inside netns.sh: the app's state
# folder is scratch, /etc is a scratch copy, and the helper is "installed" by copying it
# to its system path inside the namespace only.
#
# Walks through: helper missing -> outdated -> working; "on" blocks the enabled sites
# in /etc/hosts; "off" unblocks; a section that stops matching turns the helper stuck;
# a strict lock refuses "off"; SIGTERM empties the request, yet the lock's names stay
# blocked.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
private_usr_local
app_home
show_on_failure "$helper_log" "$state"
hosts_blocks() { grep -qx "127.0.0.2 $1\|0.0.0.0 $1" /etc/hosts; }
send() { echo "$1" >"$TARROW_HOME/command"; }

# --- missing -> outdated (another program at the helper's path) -> working ---
start_daemon
start_app
check "state file says missing" wait_for 10 state_has "helper: missing"
install_helper /bin/true
check "another program is outdated" wait_for 11 state_has "helper: outdated"
install_helper "$bin/tarrow-helper"
check "the shipped helper is working" wait_for 11 state_has "helper: working"

# --- on ---
send on
check "on blocks the enabled sites within two ticks" wait_for 11 hosts_blocks youtube.com
every_name_blocked() {
  local name
  while read -r name; do hosts_blocks "$name" || return 1; done <"$request"
}
check "every requested name is in the section" every_name_blocked
check "state counts the blocked names" \
  wait_for 11 state_has "blocked now: $(wc -l <"$request") host names"

# --- off ---
send off
check "off removes the section within two ticks" wait_for 11 no_section
check "state shows nothing blocked" wait_for 11 state_has "blocked now: 0 host names"
check "the request is empty" [ ! -s "$request" ]

# --- stuck: the section stops matching and nothing repairs it ---
send on
check "on again" wait_for 11 hosts_blocks youtube.com
stop_daemon
"$bin/tarrow-helper" --clear --no-flush 2>>"$helper_log" # the section disappears
check "a lasting mismatch turns the helper stuck" wait_for 20 state_has "helper: stuck"
check "the status says blocking is not working" state_has "Blocking isn’t working right now"
start_daemon
check "a running helper repairs it" wait_for 11 state_has "helper: working"

# --- a strict lock: "off" is refused, and the helper keeps its names ---
send "lock 2"
check "the status says strict" wait_for 6 grep -q " – strict$" "$state"
check "the helper keeps the lock" wait_for 4 grep -qx youtube.com /var/lib/Tarrow/strict-lock
send off
check "off is refused" wait_for 11 logged "okay, now refused: a strict lock holds until"

# --- SIGTERM ---
quit_app
check "SIGTERM ends the app with status 0" [ "$status" = 0 ]
check "SIGTERM empties the request" [ -f "$request" -a ! -s "$request" ]
sleep 3.5 # the watch and one timer pass of the helper
check "the lock's names stay blocked after quitting" hosts_blocks youtube.com
finish
