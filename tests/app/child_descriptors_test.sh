#!/usr/bin/env bash
# A program the app starts inherits none of the app's descriptors: the About box's link
# is clicked on a private X server, and the browser it starts (a stand-in xdg-open)
# lists what it was given. Only standard input, output and error may be there. Runs
# inside tests/e2e/netns.sh, so that the hits folder exists and is watched; a private
# bus stands in for the session and the system bus.
set -euo pipefail
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
for tool in Xvfb trayer xdotool dbus-daemon; do
  if ! command -v "$tool" >/dev/null; then echo "skipped: no $tool" >&2; exit 77; fi
done
work="${NETNS_SCRATCH:?run through tests/e2e/netns.sh}"
xvfb= app= tray= bus=
stop() {
  local p
  for p in "$@"; do kill "$p" 2>/dev/null || true; done
  wait "$@" 2>/dev/null || true
}
trap 'stop $app $tray; stop $bus $xvfb' EXIT
trap 'exit 1' INT TERM

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 2>"$work/xvfb.err" &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb HOME="$work/user"
export TARROW_HOME="$work/home"
unset WAYLAND_DISPLAY XDG_RUNTIME_DIR
mkdir -p "$HOME" "$work/path"
dbus-daemon --session --address="unix:path=$work/bus" --nofork --print-address=1 \
  > "$work/bus-address" 2>"$work/bus.err" &
bus=$!
for _ in $(seq 100); do [ -s "$work/bus-address" ] && break; sleep 0.05; done
export DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus-address")"
export DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$until" ] && return 1; sleep 0.1; done
}

# The browser: names every descriptor it holds, and the file or socket behind it.
cat > "$work/path/xdg-open" <<SH
#!/bin/sh
exec stat -c '%n %N' /proc/self/fd/* > "$work/child.fds" 2>/dev/null
SH
chmod +x "$work/path/xdg-open"

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
  >"$work/tray.out" 2>&1 &
tray=$!
# The app itself is handed nothing beyond standard input, output and error.
only_std_fds() {
  cd "/proc/$BASHPID/fd"
  for fd in *; do [ "$fd" -gt 2 ] && eval "exec $fd>&-"; done
  cd /
  exec "$@"
}
(only_std_fds env PATH="$work/path:$PATH" "$bin/tarrow") 2>"$work/app.err" </dev/null >/dev/null &
app=$!
icon() {
  local id root
  root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  for id in $(xdotool search --onlyvisible --class '^Tarrow$' 2>/dev/null); do
    xdotool getwindowgeometry "$id" | grep -q 'Geometry: 1x1' && continue
    # The welcome window of a first start is a window of its own, not the docked icon.
    xwininfo -id "$id" -tree | grep -q "Parent window id: $root" && continue
    echo "$id"
    return 0
  done
  return 1
}
has_icon() { icon >/dev/null; }
check "the icon is in the tray" wait_for 10 has_icon
xdotool mousemove --window "$(icon)" 8 8 click 3
sleep 1
xdotool key Up Up Return  # "About Tarrow", the last item but one
about() { xdotool search --onlyvisible --name '^About Tarrow$' 2>/dev/null | head -n 1; }
has_about() { [ -n "$(about)" ]; }
check "the About box opens" wait_for 5 has_about
# The link is the line of the credits under the maker's; it is centred, so the middle of
# the box is on it at some height.
dialog=$(about)
width=$(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
for y in $(seq 40 4 120); do
  [ -s "$work/child.fds" ] && break
  xdotool mousemove --window "$dialog" $((width / 2)) "$y" click 1
  sleep 0.3
done
check "the link starts a browser" wait_for 5 test -s "$work/child.fds"
echo "the browser was given:"
sed 's/^/  /' "$work/child.fds"
check "the app watches the hits folder (inotify)" \
  bash -c "ls -l /proc/$app/fd | grep -q inotify"
check "and is on the bus" grep -q 'socket' <(ls -l /proc/$app/fd)

# Sockets of the TCP servers (the page server) are made close-on-exec by the shared
# server code; this test checks every other descriptor of the app.
tcp_inodes=$(awk 'NR > 1 {print $10}' /proc/net/tcp /proc/net/tcp6 2>/dev/null | sort -u)
leaked=()
while read -r name _ _ target; do
  fd=${name##*/}
  case "$fd" in 0|1|2) continue ;; esac
  inode=$(sed -n "s/^'socket:\[\([0-9]*\)\]'$/\1/p" <<<"$target")
  if [ -n "$inode" ] && grep -qx "$inode" <<<"$tcp_inodes"; then continue; fi
  leaked+=("$fd $target")
done < "$work/child.fds"
check "it inherited nothing else of the app (${#leaked[@]}: ${leaked[*]:-none})" \
  [ "${#leaked[@]}" = 0 ]

if [ "$fails" -ne 0 ]; then
  kill -0 "$tray" 2>/dev/null || echo "the tray ended: $(cat "$work/tray.out")"
  cat "$work/app.err"
  exit 1
fi
echo "all passed"
