#!/usr/bin/env bash
# The whole road of a blocked site to the card, with the real helper daemon and the
# real app (Qt offscreen), as root through tests/e2e/netns.sh: the app blocks its sites,
# curl asks for https://www.youtube.com/, the helper records the hit, the app logs the
# card. Also: hits from before the app started show nothing; a second hit within a
# minute shows nothing; all ten page ports taken are logged once and change nothing else.
set -euo pipefail

bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
work="${NETNS_SCRATCH:?run this through tests/e2e/netns.sh}"
app_pid= helper_pid= holder_pid=
cleanup() {
  for pid in "$app_pid" "$helper_pid" "$holder_pid"; do
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  done
  wait 2>/dev/null || true
  umount /usr/local 2>/dev/null || true
}
trap cleanup EXIT
# The helper's install location, inside this namespace only, so the app sees it working.
mount -t tmpfs tmpfs /usr/local
mkdir -p /usr/local/libexec /etc/systemd/system "$work/home"
cp "$bin/tarrow-helper" /usr/local/libexec/de.brightloom.tarrow.helper

export TARROW_HOME="$work/home" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR
request="$TARROW_HOME/request/blocked-hosts"
printf '[Service]\nExecStart=/usr/local/libexec/de.brightloom.tarrow.helper --daemon %s --uid 0\n' \
  "$request" > /etc/systemd/system/de.brightloom.tarrow.helper.service
hits=/var/lib/Tarrow/hits
log="$TARROW_HOME/tarrow.log"

source "$(dirname "$0")/checks.sh"
logged() { grep -qF -- "$1" "$log" 2>/dev/null; }
count() { grep -cF -- "$1" "$log" 2>/dev/null || true; }
hit_for() { grep -q " $1\$" "$hits" 2>/dev/null; }
blocked() { grep -q '^127.0.0.2 www.youtube.com$' /etc/hosts; }
visit() { curl -s -o /dev/null --max-time 3 "https://$1/" || true; }

start_app() {
  "$bin/tarrow" 2>>"$work/app.err" &
  app_pid=$!
}
stop_app() {
  kill -TERM "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=
}

"$bin/tarrow-helper" --daemon "$request" --uid 0 2>>"$work/helper.log" &
helper_pid=$!

# A hit from before the app started: fresh, for a blocked site, and still never shown.
printf '%s www.youtube.com\n' "$(date +%s)" > "$hits"
start_app
check "the page server is up" wait_for 10 logged "page server on 127.0.0.1:47110"
echo on > "$TARROW_HOME/command"
check "the sites are blocked with the note" wait_for 15 blocked
check "the helper works" wait_for 15 grep -qx "helper: working" "$TARROW_HOME/state"
sleep 1
check "the earlier hit showed nothing" [ "$(count "card: ")" = 0 ]

# The road: the browser's connection reaches the helper, the hit reaches the app.
visit www.youtube.com
check "the helper recorded the hit" wait_for 5 hit_for www.youtube.com
check "the app showed the card" wait_for 5 logged "card: YouTube (www.youtube.com)"

# The same site again within a minute: recorded, not shown again.
sleep 1.2
visit youtube.com
check "the second hit is recorded" wait_for 5 hit_for youtube.com
sleep 1
check "no second card within a minute" [ "$(count "card: YouTube")" = 1 ]

# Another blocked site shows its own card; an unblocked name is never recorded.
visit bild.de
check "another site has its own card" wait_for 5 logged "card: Bild (bild.de)"
visit example.org
sleep 1
check "nothing for a site that is not blocked" [ "$(count "card: ")" = 2 ]

# The demonstration from the command file always shows the card.
echo "card Example.ORG" > "$TARROW_HOME/command"
check "the demonstration card" wait_for 8 logged "card: example.org (example.org)"

# The hits folder goes away and a new one takes its place: the next tick watches it.
umount /var/lib/Tarrow
rmdir /var/lib/Tarrow && mkdir -m 0755 /var/lib/Tarrow
sleep 6
visit news.google.com
check "hits are seen again in the new folder" \
  wait_for 8 logged "card: Google News (news.google.com)"

# All ten page ports taken: logged once, and the card still works.
stop_app
python3 -c '
import socket, time
held = []
for port in range(47110, 47120):
    s = socket.socket(); s.bind(("127.0.0.1", port)); s.listen(1); held.append(s)
print("held", flush=True)
time.sleep(600)' > "$work/holder.out" &
holder_pid=$!
wait_for 5 grep -q held "$work/holder.out"
start_app
check "ports taken is logged" wait_for 10 logged "page server not started: ports 47110–47119 are taken"
sleep 6
check "and logged once" [ "$(count "page server not started")" = 1 ]
check "the app still runs" kill -0 "$app_pid"
visit m.youtube.com
check "the card still shows" wait_for 5 logged "card: YouTube (m.youtube.com)"

if [ "$fails" -ne 0 ]; then
  echo "--- app log"; cat "$log"
  echo "--- app stderr (tail)"; tail -20 "$work/app.err"
  echo "--- helper log"; cat "$work/helper.log"
  echo "--- hits"; cat "$hits" 2>/dev/null
  exit 1
fi
echo "all passed"
