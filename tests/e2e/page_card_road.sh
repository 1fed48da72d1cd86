#!/usr/bin/env bash
# The whole road of a blocked site to the card, with the real helper daemon and the
# real app (Qt offscreen), as root inside netns.sh: the app blocks its sites, curl asks
# for https://www.youtube.com/, the helper records the hit, the app logs the card. Also:
# hits from before the app started show nothing; a second hit within a minute shows
# nothing; all ten page ports taken are logged once and change nothing else.
source "$(dirname "$0")/../support/lib.sh"
in_namespace
private_usr_local
app_home
install_helper "$bin/tarrow-helper"
hits=/var/lib/Tarrow/hits
show_on_failure "$helper_log" "$hits"
cards() { lines_with "$app_log" "card: ${1:-}"; }
hit_for() { grep -qs " $1\$" "$hits"; }
blocked() { grep -q '^127.0.0.2 www.youtube.com$' /etc/hosts; }
visit() { curl -s -o /dev/null --max-time 3 "https://$1/" || true; }

start_daemon
# A hit from before the app started: fresh, for a blocked site, and still never shown.
printf '%s www.youtube.com\n' "$(date +%s)" >"$hits"
start_app
check "the page server is up" wait_for 10 logged "page server on 127.0.0.1:47110"
echo on >"$TARROW_HOME/command"
check "the sites are blocked with the note" wait_for 15 blocked
check "the helper works" wait_for 15 state_has "helper: working"
sleep 1
check "the earlier hit showed nothing" [ "$(cards)" = 0 ]

# The road: the browser's connection reaches the helper, the hit reaches the app.
visit www.youtube.com
check "the helper recorded the hit" wait_for 5 hit_for www.youtube.com
check "the app showed the card" wait_for 5 logged "card: YouTube (www.youtube.com)"

# The same site again within a minute: recorded, not shown again.
sleep 1.2
visit youtube.com
check "the second hit is recorded" wait_for 5 hit_for youtube.com
sleep 1
check "no second card within a minute" [ "$(cards YouTube)" = 1 ]

# Another blocked site shows its own card; an unblocked name is never recorded.
visit bild.de
check "another site has its own card" wait_for 5 logged "card: Bild (bild.de)"
visit example.org
sleep 1
check "nothing for a site that is not blocked" [ "$(cards)" = 2 ]

# The demonstration from the command file always shows the card.
echo "card Example.ORG" >"$TARROW_HOME/command"
check "the demonstration card" wait_for 8 logged "card: example.org (example.org)"

# The hits folder goes away and a new one takes its place: the next tick watches it.
umount /var/lib/Tarrow
rmdir /var/lib/Tarrow && mkdir -m 0755 /var/lib/Tarrow
sleep 6
visit news.google.com
check "hits are seen again in the new folder" \
  wait_for 8 logged "card: Google News (news.google.com)"

# All ten page ports taken: logged once, and the card still works.
quit_app
hold_ports 127.0.0.1 $(seq 47110 47119)
start_app
check "ports taken is logged" \
  wait_for 10 logged "page server not started: ports 47110–47119 are taken"
sleep 6
check "and logged once" [ "$(lines_with "$app_log" "page server not started")" = 1 ]
check "the app still runs" kill -0 "$app"
visit m.youtube.com
check "the card still shows" wait_for 5 logged "card: YouTube (m.youtube.com)"
finish
