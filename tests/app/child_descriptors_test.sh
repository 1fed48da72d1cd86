#!/usr/bin/env bash
# A program the app starts inherits none of the app's descriptors: the About box's link
# is clicked on a private X server, and the browser it starts (a stand-in xdg-open)
# lists what it was given. Only standard input, output and error may be there. Runs
# inside netns.sh, so that the hits folder exists and is watched; a private bus stands
# in for the session and the system bus.
source "$(dirname "$0")/../support/lib.sh"
need Xvfb trayer xdotool dbus-daemon
in_namespace
app_home
start_xvfb
start_bus
export DBUS_SESSION_BUS_ADDRESS=$bus_address DBUS_SYSTEM_BUS_ADDRESS=$bus_address
show_on_failure "$work/tray.out"

# The browser: names every descriptor it holds, and the file or socket behind it.
mkdir -p "$work/path"
printf '#!/bin/sh\nexec stat -c "%%n %%N" /proc/self/fd/* > "%s" 2>/dev/null\n' \
  "$work/child.fds" >"$work/path/xdg-open"
chmod +x "$work/path/xdg-open"

start_tray
# The app itself is handed nothing beyond standard input, output and error.
only_std_fds() {
  cd "/proc/$BASHPID/fd"
  for fd in *; do [ "$fd" -gt 2 ] && eval "exec $fd>&-"; done
  cd /
  exec "$@"
}
background only_std_fds env PATH="$work/path:$PATH" "$bin/tarrow" 2>"$work/app.err" </dev/null >/dev/null
app=$!
wait_for 10 tray_icon >/dev/null || fail "the icon is not in the tray"
xdotool mousemove --window "$(tray_icon)" 8 8 click 3
sleep 1
xdotool key Up Up Return # "About Tarrow", the last item but one
about() { xdotool search --onlyvisible --name '^About Tarrow$' 2>/dev/null | head -n 1 | grep .; }
wait_for 5 about >/dev/null || fail "the About box did not open"
# The link is the line of the credits under the maker's; it is centred, so the middle of
# the box is on it at some height.
dialog=$(about)
width=$(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
for y in $(seq 40 4 120); do
  [ -s "$work/child.fds" ] && break
  xdotool mousemove --window "$dialog" $((width / 2)) "$y" click 1
  sleep 0.3
done
wait_for 5 test -s "$work/child.fds" || fail "the link started no browser"
echo "the browser was given:"
sed 's/^/  /' "$work/child.fds"
check "the app watches the hits folder (inotify)" contains "$(ls -l "/proc/$app/fd")" inotify
check "and is on the bus" contains "$(ls -l "/proc/$app/fd")" socket

# Sockets of the TCP servers (the page server) are made close-on-exec by the shared
# server code; this test checks every other descriptor of the app.
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
finish
