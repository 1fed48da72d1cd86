#!/usr/bin/env bash
# The real app and the real helper daemon together, inside netns.sh: the app's state
# folder is scratch, /etc is a scratch copy, and the helper is "installed" by copying it
# to its system path inside the namespace only.
#
# Walks through: helper missing -> outdated -> working; "on" blocks the enabled sites
# in /etc/hosts; "for 90" locks 90 minutes; "off" unblocks; a section that stops
# matching turns the helper stuck; a second copy shows the first and quits; SIGTERM empties the request and
# the helper unblocks.
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
check "state shows the status" state_has "Tarrow – until you say okay"
check "command logged" [ "$(lines_with "$app_log" "command: on")" = 1 ]
check "the command file is gone" [ ! -e "$TARROW_HOME/command" ]

# --- for 90 ---
before=$(date +%s)
send "for 90"
on_until() {
  local text
  text=$(grep -o '"onUntil": *"[^"]*"' "$TARROW_HOME/config.json" | sed 's/.*"\([^"]*\)"$/\1/')
  [ -n "$text" ] && date -d "$text" +%s
}
has_on_until() { on_until >/dev/null; }
check "for 90 sets onUntil" wait_for 11 has_on_until
until_s=$(on_until || echo 0)
check "onUntil is 5,400 s ahead" \
  [ "$until_s" -ge $((before + 5400)) -a "$until_s" -le $((before + 5400 + 7)) ]
check "manualOn is cleared" grep -q '"manualOn": false' "$TARROW_HOME/config.json"

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
sleep 6
check "stuck is logged once" [ "$(lines_with "$app_log" "helper: stuck")" = 1 ]
start_daemon
check "a running helper repairs it" wait_for 11 state_has "helper: working"

# --- a second copy ---
status=0
"$bin/tarrow" 2>>"$work/second.err" || status=$?
check "a second copy exits 0" [ "$status" = 0 ]
shown_once() { [ "$(lines_with "$app_log" "another start: settings shown")" = 1 ]; }
check "the first copy shows its settings once" wait_for 2 shown_once
check "the first copy still runs" kill -0 "$app"

# --- SIGTERM ---
quit_app
check "SIGTERM ends the app with status 0" [ "$status" = 0 ]
check "SIGTERM empties the request" [ -f "$request" -a ! -s "$request" ]
check "the helper unblocks" wait_for 8 no_section
finish
