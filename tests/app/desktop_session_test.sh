#!/usr/bin/env bash
# With a tray on a private X server, in netns.sh: a browser the app starts (About's link)
# inherits none of its descriptors; a wake-up from a stand-in logind ticks at once (a new
# time zone is taken); "Quit Tarrow" empties the request and keeps the attempt just counted.
source "$(dirname "$0")/../support/lib.sh"
need Xvfb trayer xdotool dbus-daemon
in_namespace
app_home
unset TZ # the system zone counts
start_xvfb
start_bus
export DBUS_SESSION_BUS_ADDRESS=$bus_address DBUS_SYSTEM_BUS_ADDRESS=$bus_address
show_on_failure "$work/tray.out"
cat >"$TARROW_HOME/config.json" <<'JSON'
{"sites": [{"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "domain": "example.com", "enabled": true}],
 "manualOn": true}
JSON

# The browser names every descriptor it holds.
mkdir -p "$work/path"
printf '#!/bin/sh\nexec stat -c "%%n %%N" /proc/self/fd/* > "%s" 2>/dev/null\n' \
  "$work/child.fds" >"$work/path/xdg-open"
chmod +x "$work/path/xdg-open"

# Replaced in one step, as the system settings do.
zone() { ln -sfn "/usr/share/zoneinfo/$1" /etc/localtime.new && mv -T /etc/localtime.new /etc/localtime; }
zone Etc/UTC
need_python_modules dbus
mkfifo "$work/to-logind"
exec 4<>"$work/to-logind" # open before the reader, or opening it would wait for a writer
background "$system_python" "$(dirname "$0")/fake_logind.py" "$bus_address" \
  <"$work/to-logind" >"$work/logind.out" 2>&1
wait_for 10 grep -q ready "$work/logind.out" || fail "the stand-in logind did not start"
start_tray
only_std_fds() {
  for fd in "/proc/$BASHPID/fd"/*; do [ "${fd##*/}" -gt 2 ] && eval "exec ${fd##*/}>&-"; done
  exec "$@"
}
background only_std_fds env PATH="$work/path:$PATH" "$bin/tarrow" 2>"$work/app.err" </dev/null >/dev/null
app=$!
wait_for 10 tray_icon >/dev/null || fail "the icon is not in the tray"
menu() { xdotool mousemove --window "$(tray_icon)" 8 8 click 3 && sleep 1; } # walked from its end
menu
xdotool key Up Up Return # "About Tarrow", the last item but one
about() { xdotool search --onlyvisible --name '^About Tarrow$' 2>/dev/null | head -n 1 | grep .; }
wait_for 5 about >/dev/null || fail "the About box did not open"
# The link is centred under the maker's line.
dialog=$(about)
width=$(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
for y in $(seq 40 4 120); do
  [ -s "$work/child.fds" ] && break
  xdotool mousemove --window "$dialog" $((width / 2)) "$y" click 1
  sleep 0.3
done
wait_for 5 test -s "$work/child.fds" || fail "the link started no browser"
sed 's/^/  the browser was given: /' "$work/child.fds"
# The page server's sockets are close-on-exec in the shared server code: the rest counts.
tcp_inodes=$(awk 'NR > 1 {print $10}' /proc/net/tcp /proc/net/tcp6 2>/dev/null | sort -u)
leaked=()
while read -r name _ _ target; do
  fd=${name##*/}
  case "$fd" in 0 | 1 | 2) continue ;; esac
  inode=$(sed -n "s/^'socket:\[\([0-9]*\)\]'$/\1/p" <<<"$target")
  if [ -n "$inode" ] && grep -qx "$inode" <<<"$tcp_inodes"; then continue; fi
  leaked+=("$fd $target")
done <"$work/child.fds"
check "it inherited nothing else of the app (${#leaked[@]}: ${leaked[*]:-none})" \
  [ "${#leaked[@]}" = 0 ]

xdotool key Escape 2>/dev/null || true # the About box, if still open
check "the app listens for wake-ups" not grep -q 'cannot watch for wake-ups' "$work/app.err"
for place in Asia/Tokyo Europe/Berlin America/New_York; do # thrice: a timer tick may come by chance
  zone "$place"
  echo wake >&4
  check "a wake-up ticks at once: $place taken within 1.5 s" wait_for 1.5 logged "time zone: $place"
done
check "the request blocks example.com" wait_for 8 grep -q example.com "$request"
menu # opening it ticks: the hit comes after
echo "$(date +%s) www.example.com" >/var/lib/Tarrow/hits.new
mv /var/lib/Tarrow/hits.new /var/lib/Tarrow/hits
sleep 0.1
xdotool key Up Return # "Quit Tarrow"
status=0
wait "$app" || status=$?
forget "$app"
check "Quit Tarrow ends the app with 0 ($status)" [ "$status" = 0 ]
check "and empties the request" [ ! -s "$request" ]
check "and keeps the attempt just counted" grep -q example.com "$TARROW_HOME/attempts.json"
finish
