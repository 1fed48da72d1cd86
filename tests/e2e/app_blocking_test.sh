#!/usr/bin/env bash
# The real app and the real helper daemon together, run through netns.sh (as root in
# throw-away namespaces): the app's state folder is scratch, /etc is a scratch copy, and
# the helper is "installed" by copying it to its system path inside the namespace only.
#
# Walks through: helper missing -> outdated -> working; "on" blocks the enabled sites
# in /etc/hosts; "for 90" locks 90 minutes; "off" unblocks; a section that stops
# matching turns the helper stuck; a second copy quits; SIGTERM empties the request and
# the helper unblocks.
set -euo pipefail

bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work="${NETNS_SCRATCH:?run this through tests/e2e/netns.sh}"
app_pid= helper_pid=
cleanup() {
  [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
  [ -n "$helper_pid" ] && kill -KILL "$helper_pid" 2>/dev/null
  wait 2>/dev/null
  umount /usr/local 2>/dev/null
}
trap cleanup EXIT
# The helper's install location, inside this namespace only.
mount -t tmpfs tmpfs /usr/local
mkdir -p /usr/local/libexec /etc/systemd/system "$work/home"

export TARROW_HOME="$work/home" QT_QPA_PLATFORM=offscreen
unset XDG_RUNTIME_DIR
request="$TARROW_HOME/request/blocked-hosts"
state="$TARROW_HOME/state"
helper_path=/usr/local/libexec/de.brightloom.tarrow.helper
unit=/etc/systemd/system/de.brightloom.tarrow.helper.service

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
# wait_for <seconds> <command...>: polls until the command succeeds.
wait_for() {
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do
    [ "$(date +%s)" -ge "$until" ] && return 1
    sleep 0.2
  done
}
state_has() { grep -qxF -- "$1" "$state" 2>/dev/null; }
hosts_blocks() { grep -qx "127.0.0.2 $1\|0.0.0.0 $1" /etc/hosts; }
no_section() { ! grep -q '^# >>> Tarrow' /etc/hosts; }
log_count() { grep -cF -- "$1" "$TARROW_HOME/tarrow.log" || true; }

start_helper() {
  "$bin/tarrow-helper" --daemon "$request" --uid 0 2>>"$work/helper.log" &
  helper_pid=$!
}

# --- missing: nothing installed yet ---
start_helper
"$bin/tarrow" 2>>"$work/app.err" &
app_pid=$!
check "state file says missing" wait_for 10 state_has "helper: missing"

# --- outdated: a different program at the helper's path ---
cp /bin/true "$helper_path"
printf '[Service]\nExecStart=%s --daemon %s --uid 0\n' "$helper_path" "$request" > "$unit"
check "another program is outdated" wait_for 11 state_has "helper: outdated"

# --- working: the helper this build ships ---
cp "$bin/tarrow-helper" "$helper_path"
check "the shipped helper is working" wait_for 11 state_has "helper: working"

# --- on ---
echo on > "$TARROW_HOME/command"
check "on blocks the enabled sites within two ticks" wait_for 11 hosts_blocks youtube.com
check "every requested name is in the section" \
  bash -c "while read -r n; do grep -qx \"\\(127.0.0.2\\|0.0.0.0\\) \$n\" /etc/hosts || exit 1; done < '$request'"
names=$(wc -l < "$request")
check "state counts the blocked names" wait_for 11 state_has "blocked now: $names host names"
check "state shows the status" state_has "Tarrow – until you say okay"
check "command logged" [ "$(log_count "command: on")" = 1 ]
check "the command file is gone" [ ! -e "$TARROW_HOME/command" ]

# --- for 90 ---
before=$(date +%s)
echo "for 90" > "$TARROW_HOME/command"
on_until() {
  local text
  text=$(grep -o '"onUntil": *"[^"]*"' "$TARROW_HOME/config.json" | sed 's/.*"\([^"]*\)"$/\1/')
  [ -n "$text" ] && date -d "$text" +%s
}
has_on_until() { on_until >/dev/null; }
check "for 90 sets onUntil" wait_for 11 has_on_until
until_s=$(on_until || echo 0)
between() { [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; }
check "onUntil is 5,400 s ahead" between "$until_s" $((before + 5400)) $((before + 5400 + 7))
check "manualOn is cleared" grep -q '"manualOn": false' "$TARROW_HOME/config.json"

# --- off ---
echo off > "$TARROW_HOME/command"
check "off removes the section within two ticks" wait_for 11 no_section
check "state shows nothing blocked" wait_for 11 state_has "blocked now: 0 host names"
check "the request is empty" [ ! -s "$request" ]

# --- stuck: the section stops matching and nothing repairs it ---
echo on > "$TARROW_HOME/command"
check "on again" wait_for 11 hosts_blocks youtube.com
kill -KILL "$helper_pid"; wait "$helper_pid" 2>/dev/null || true; helper_pid=
"$bin/tarrow-helper" --clear --no-flush 2>>"$work/helper.log"  # the section disappears
check "a lasting mismatch turns the helper stuck" wait_for 20 state_has "helper: stuck"
check "the status says blocking is not working" state_has "Blocking isn’t working right now"
sleep 6
check "stuck is logged once" [ "$(log_count "helper: stuck")" = 1 ]
start_helper
check "a running helper repairs it" wait_for 11 state_has "helper: working"

# --- a second copy ---
set +e
"$bin/tarrow" 2>>"$work/second.err"
second=$?
set -e
check "a second copy exits 0" [ "$second" = 0 ]
check "a second copy names the first one's pid" \
  [ "$(log_count "Tarrow is already running (pid $app_pid), this copy quits")" = 1 ]
check "the first copy still runs" kill -0 "$app_pid"

# --- SIGTERM ---
kill -TERM "$app_pid"
set +e
wait "$app_pid"
status=$?
set -e
app_pid=
check "SIGTERM ends the app with status 0" [ "$status" = 0 ]
emptied() { [ -f "$request" ] && [ ! -s "$request" ]; }
check "SIGTERM empties the request" emptied
check "the helper unblocks" wait_for 8 no_section

if [ "$fails" -ne 0 ]; then
  echo "--- app stderr"; cat "$work/app.err"
  echo "--- helper log"; cat "$work/helper.log"
  echo "--- state"; cat "$state"; echo
  exit 1
fi
echo "all passed"
