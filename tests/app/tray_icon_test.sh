#!/usr/bin/env bash
# The tray icon appears within 2 s of a tray becoming available, whenever that is: a tray
# that starts after the app, one that starts together with it, and one that restarts.
# Over XEmbed (trayer on a private X server) and over StatusNotifierItem (a stand-in
# watcher on a private session bus). TARROW_TRAY_TRIES sets how often each is tried
# (default 1); every wait is printed in milliseconds.
source "$(dirname "$0")/../support/lib.sh"
need Xvfb trayer xdotool xwininfo dbus-daemon
need_python_modules dbus gi
tries="${TARROW_TRAY_TRIES:-1}"
work_folder tray
app_home
start_xvfb

# time_until <command...>: the milliseconds until it succeeds, or "never" after 10 s.
time_until() {
  local start
  start=$(now_ms)
  if wait_for 10 "$@"; then echo $(($(now_ms) - start)); else echo never; fi
}
within_2s() { for ms in "$@"; do [ "$ms" != never ] && [ "$ms" -le 2000 ] || return 1; done; }

docked() { tray_icon >/dev/null; }
# The menu: a window of the app's that the window manager does not place, taller than a
# tool tip.
menu_shown() {
  local id
  for id in $(xdotool search --onlyvisible --class '^Tarrow$' 2>/dev/null); do
    xwininfo -id "$id" | grep -q 'Override Redirect State: yes' || continue
    [ "$(xwininfo -id "$id" | sed -n 's/.*Height: *\([0-9]*\).*/\1/p')" -ge 100 ] && return 0
  done
  return 1
}
undocked() { not docked; }
tray_gone() { not xdotool search --class '^trayer$' >/dev/null 2>&1; }
start_tray_alone() { # once the last tray is gone, so the new one gets the tray selection
  wait_for 10 tray_gone || true
  start_tray
}
start_app_in() { TARROW_HOME="$work/$1" start_app; }

# --- XEmbed. No session bus, and none may be started for the app. ---
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"
start_app_in home-xembed
sleep 3 # the app runs a while without any tray
start_tray_alone
later=($(time_until docked)) restarted=()
# Panels open a status icon's menu on the left click too, not only on the right one.
xdotool mousemove --window "$(tray_icon)" 8 8 click 1
check "XEmbed: a left click opens the menu" wait_for 3 menu_shown
xdotool key Escape
# TARROW_TRAY_SHOT=<file.png> keeps a screenshot of the docked icon to look at.
if [ -n "${TARROW_TRAY_SHOT:-}" ]; then import -window root "$TARROW_TRAY_SHOT" || true; fi
for _ in $(seq "$tries"); do
  stop "$tray"
  wait_for 10 undocked || true
  start_tray_alone
  restarted+=($(time_until docked))
done
stop "$tray" "$app"
echo "XEmbed, tray started 3 s after the app: ${later[*]} ms"
echo "XEmbed, tray restarted: ${restarted[*]} ms"
check "XEmbed: the icon docks within 2 s of a tray that starts after the app" within_2s "${later[@]}"
check "XEmbed: and within 2 s of every restart of the tray" within_2s "${restarted[@]}"

together=()
for n in $(seq "$tries"); do
  start_tray_alone
  start_app_in "home-together-$n"
  together+=($(time_until docked))
  if [ "${together[-1]}" = never ]; then # what the display held, to see why
    xwininfo -root -tree >"$work/windows-together-$n" 2>&1
    show_on_failure "$work/windows-together-$n"
  fi
  stop "$app" "$tray"
done
echo "XEmbed, app and tray started together: ${together[*]} ms"
check "XEmbed: the icon docks when the app and the tray start together" within_2s "${together[@]}"

# --- StatusNotifierItem on a private session bus; no XEmbed tray. ---
start_bus
export DBUS_SESSION_BUS_ADDRESS=$bus_address
show_on_failure "$work/watcher.out"
start_watcher() {
  : >"$work/watcher.out"
  background "$system_python" "$(dirname "$0")/fake_status_notifier_watcher.py" \
    >"$work/watcher.out" 2>&1
  watcher=$!
}
registered() { grep -q '^registered ' "$work/watcher.out"; }
start_app_in home-sni
sleep 3
start_watcher
later=($(time_until registered)) restarted=()
check "StatusNotifierItem: the item is the app's" grep -q '^registered .* Tarrow$' "$work/watcher.out"
for _ in $(seq "$tries"); do
  stop "$watcher"
  start_watcher
  restarted+=($(time_until registered))
done
echo "StatusNotifierItem, watcher started 3 s after the app: ${later[*]} ms"
echo "StatusNotifierItem, watcher restarted: ${restarted[*]} ms"
check "StatusNotifierItem: the app registers within 2 s of a watcher that starts after it" \
  within_2s "${later[@]}"
check "StatusNotifierItem: and again within 2 s of every restart of the watcher" \
  within_2s "${restarted[@]}"
finish
