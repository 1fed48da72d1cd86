# The road of a blocked site through the real app and daemon: "on" puts every enabled site
# in /etc/hosts; a request reaches the helper, whose note makes the app show the card once
# and count one attempt on the local day; the block page turns to "open again" with "off".
# A strict lock holds: the app refuses "off", and the daemon keeps the locked names through
# the app's quitting, a request naming fewer and its own restart, until 3 s after its end;
# root's --clear ends a lock at once.
source "$(dirname "$0")/hold_lib.sh"
in_namespace
private_usr_local
app_home
install_helper "$bin/tarrow-helper"
hits=/var/lib/Tarrow/hits counts="$TARROW_HOME/attempts.json" lock=/var/lib/Tarrow/strict-lock
show_on_failure "$helper_log" "$hits" "$counts" "$work/browser.err"
ln -sfn /usr/share/zoneinfo/Etc/GMT+12 /etc/localtime # UTC-12: the local day is not UTC's
unset TZ; export LC_ALL=C.UTF-8
send() { echo "$1" >"$TARROW_HOME/command"; }
every_name_blocked() { [ -s "$request" ] && not grep -vxFf <(sed -n 's/^127.0.0.2 //p' /etc/hosts) "$request"; }
report_is() { [ "$("$bin/tarrow" --attempts 2>>"$work/app.err")" = "$1" ]; }

start_daemon
printf '%s www.youtube.com\n' "$(date +%s)" >"$hits" # fresh, but from before the app
start_app
send on
check "on blocks every enabled site, every requested name" wait_for 15 eval 'hosts_has 127.0.0.2 youtube.com && every_name_blocked'
check "the helper works" wait_for 11 grep -qx "helper: working" "$state"
check "a hit from before the app shows nothing" not logged "card: "

curl -s -o /dev/null -m 3 https://www.youtube.com/ || true
check "a visit shows the card" wait_for 5 logged "card: YouTube (www.youtube.com)"
curl -s -o /dev/null -m 10 "http://youtube.com/[1-50]" || true # more within 20 s
sleep 6 # a tick
check "no second card within a minute" [ "$(lines_with "$app_log" "card: ")" = 1 ]
day=$(TZ=Etc/GMT+12 date +%F)
check "one attempt, on the local day" [ "$(python3 -c 'import json, sys
print(json.dumps(json.load(open(sys.argv[1]))["days"]))' "$counts")" = "{\"$day\": {\"youtube.com\": 1}}" ]
check "--attempts prints it beside the running app" report_is "1      youtube.com
1 attempt in 7 days"
send "card Example.ORG"
check "the demonstration card" wait_for 8 logged "card: example.org (example.org)"
send forget
check "forget empties the attempts" wait_for 8 report_is "0 attempts in 7 days"

status=0
"$bin/tarrow" --render "$work/pictures" --working >/dev/null 2>"$work/render.err" || status=$?
check "--render beside the app: status 0, every picture, the app still running" \
  eval '[ "$status/$(ls "$work/pictures" | wc -l)" = 0/12 ] && running "$app"'

if [ -n "$chromium" ]; then
  browser=$chromium
  probe="JSON.stringify([document.title, document.getElementById('line').textContent,
    document.getElementById('open').hidden])"
  tabs "$work/page" "open:http://127.0.0.1:47110/blocked?site=youtube.com&back=https%3A%2F%2Fyoutube.com%2F" \
    "watch:15:$probe"
  wait_for 40 grep -q '^\["Tarrow: YouTube","Tarrow keeps this site closed' "$work/page" ||
    fail "no block page: $(cat "$work/page")"
fi
send off
check "off removes the section, empties the request" wait_for 11 eval 'no_section && [ ! -s "$request" ]'
if [ -n "$chromium" ]; then
  wait "$tabs" || true
  check "the page turns to open again by itself, the link back shown, and stays so" [ "$(grep '^\[' "$work/page" | uniq)" = \
    '["Tarrow: YouTube","Tarrow keeps this site closed until you say okay.",true]
["Tarrow: YouTube","Everything is open again.",false]' ]
fi

send "lock 2"
check "the app's lock reaches the helper, in a file root's alone" wait_for 15 eval \
  'grep -qsx youtube.com "$lock" && [ "$(stat -c %u:%a "$lock")" = 0:644 ]'
send off
check "off is refused" wait_for 11 logged "okay, now refused: a strict lock holds until"
quit_app
check "SIGTERM ends the app with status 0, its request empty" [ "$status/$(wc -c <"$request")" = 0/0 ]
kept() { sleep 3.3; check "$1 keeps the locked name" hosts_has 127.0.0.2 "${2:-kept.example}"; } # a watch and a pass
kept "the app's quitting" youtube.com
stop "$daemon"
check "--clear ends the lock" eval '"$bin/tarrow-helper" --clear 2>>"$helper_log" && [ ! -e "$lock" ]'

# A strict request as the app writes it, for 15 s: room for two passes and a restart.
write_request kept.example other.example
end=$(($(date +%s) + 15))
printf 'until %s\nkept.example\n' "$(date -u -d "@$end" +%Y-%m-%dT%H:%M:%SZ)" >"${request%/*}/strict-lock"
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
