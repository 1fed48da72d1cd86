#!/usr/bin/env bash
# The tray icon appears within 2 s of a tray becoming available, whenever that is: a tray
# that starts after the app, one that starts together with it, and one that restarts.
# Over XEmbed (trayer on a private X server) and over StatusNotifierItem (a stand-in
# watcher on a private session bus). TARROW_TRAY_TRIES sets how often each is tried
# (default 2); every wait is printed in milliseconds.
set -euo pipefail
bin="${TARROW_BIN:?TARROW_BIN names the build/bin folder}"
here="$(cd "$(dirname "$0")" && pwd)"
tries="${TARROW_TRAY_TRIES:-2}"
python=/usr/bin/python3
for tool in Xvfb trayer xdotool xwininfo dbus-daemon; do
  if ! command -v "$tool" >/dev/null; then echo "skipped: no $tool" >&2; exit 77; fi
done
if ! "$python" -c 'import dbus, gi' 2>/dev/null; then
  echo "skipped: no python3-dbus or python3-gi" >&2; exit 77
fi
work=$(mktemp -d /tmp/tarrow-tray.XXXXXX)
xvfb= app= tray= bus= watcher=
stop() {
  local p
  for p in "$@"; do kill "$p" 2>/dev/null || true; done
  wait "$@" 2>/dev/null || true
}
trap 'stop $app $tray $watcher; stop $bus $xvfb; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 2>"$work/xvfb.err" &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb HOME="$work/user"
unset WAYLAND_DISPLAY XDG_RUNTIME_DIR
mkdir -p "$HOME"
root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
now_ms() { date +%s%3N; }
# Waits up to 10 s for a command; prints the milliseconds it took, or "never".
time_until() {
  local start; start=$(now_ms)
  while ! "$@"; do
    if [ $(( $(now_ms) - start )) -gt 10000 ]; then echo never; return 0; fi
    sleep 0.05
  done
  echo $(( $(now_ms) - start ))
}
within_2s() { for ms in "$@"; do [ "$ms" != never ] && [ "$ms" -le 2000 ] || return 1; done; }

# The app's icon window: named Tarrow, larger than 1x1, mapped inside a tray. (Qt names
# it in _NET_WM_NAME only, which xdotool's --name does not search.)
docked() {
  local id
  for id in $(xdotool search --onlyvisible --class '^Tarrow$' 2>/dev/null); do
    [ "$(xdotool getwindowname "$id")" = Tarrow ] || continue
    xdotool getwindowgeometry "$id" | grep -q 'Geometry: 1x1' && continue
    xwininfo -id "$id" -tree | grep -q "Parent window id: $root" && continue
    return 0
  done
  return 1
}
undocked() { ! docked; }
tray_gone() { ! xdotool search --class '^trayer$' >/dev/null 2>&1; }
start_tray() {  # once the last tray is gone, so the new one gets the tray selection
  time_until tray_gone >/dev/null
  trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
    >/dev/null 2>&1 &
  tray=$!
}
start_app() {  # start_app <state folder>
  TARROW_HOME="$1" "$bin/tarrow" 2>>"$work/app.err" &
  app=$!
}

# --- XEmbed. No session bus, and none may be started for the app. ---
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"
start_app "$work/home-xembed"
sleep 3  # the app runs a while without any tray
later=() restarted=()
start_tray
later+=($(time_until docked))
# TARROW_TRAY_SHOT=<file.png> keeps a screenshot of the docked icon to look at.
if [ -n "${TARROW_TRAY_SHOT:-}" ]; then import -window root "$TARROW_TRAY_SHOT" || true; fi
for _ in $(seq "$tries"); do
  stop $tray
  time_until undocked >/dev/null
  start_tray
  restarted+=($(time_until docked))
done
stop $tray $app
echo "XEmbed, tray started 3 s after the app: ${later[*]} ms"
echo "XEmbed, tray restarted: ${restarted[*]} ms"
check "XEmbed: the icon docks within 2 s of a tray that starts after the app" within_2s "${later[@]}"
check "XEmbed: and within 2 s of every restart of the tray" within_2s "${restarted[@]}"

together=()
for n in $(seq "$tries"); do
  start_tray
  start_app "$work/home-together-$n"
  together+=($(time_until docked))
  stop $app $tray
done
echo "XEmbed, app and tray started together: ${together[*]} ms"
check "XEmbed: the icon docks when the app and the tray start together" within_2s "${together[@]}"

# --- StatusNotifierItem on a private session bus; no XEmbed tray. ---
dbus-daemon --session --address="unix:path=$work/session-bus" --nofork --print-address=1 \
  > "$work/bus-address" 2>"$work/bus.err" &
bus=$!
for _ in $(seq 100); do [ -s "$work/bus-address" ] && break; sleep 0.05; done
export DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus-address")"
start_watcher() {
  : > "$work/watcher.out"
  "$python" "$here/fake_status_notifier_watcher.py" > "$work/watcher.out" 2>&1 &
  watcher=$!
}
registered() { grep -q '^registered ' "$work/watcher.out"; }
start_app "$work/home-sni"
sleep 3
later=() restarted=()
start_watcher
later+=($(time_until registered))
check "StatusNotifierItem: the item is the app's" grep -q '^registered .* Tarrow$' "$work/watcher.out"
for _ in $(seq "$tries"); do
  stop $watcher
  start_watcher
  restarted+=($(time_until registered))
done
stop $app $watcher
echo "StatusNotifierItem, watcher started 3 s after the app: ${later[*]} ms"
echo "StatusNotifierItem, watcher restarted: ${restarted[*]} ms"
check "StatusNotifierItem: the app registers within 2 s of a watcher that starts after it" \
  within_2s "${later[@]}"
check "StatusNotifierItem: and again within 2 s of every restart of the watcher" \
  within_2s "${restarted[@]}"

if [ "$fails" -ne 0 ]; then
  tail -n 20 "$work/app.err"
  cat "$work/watcher.out"
  exit 1
fi
echo "all passed"
