#!/usr/bin/env bash
# The tray icon appears within 2 s of a tray that starts after the app, restarts, or starts
# with it: over XEmbed (trayer) and over StatusNotifierItem (a stand-in watcher).
source "$(dirname "$0")/../support/lib.sh"
need Xvfb trayer xdotool xwininfo dbus-daemon
need_python_modules dbus gi
work_folder tray
app_home
start_xvfb

within_2s() { # <label> <command...>
  local label=$1 start=$(now_ms) ms=99999
  shift
  wait_for 10 "$@" && ms=$(($(now_ms) - start))
  check "$label ($ms ms)" [ "$ms" -le 2000 ]
}
docked() { tray_icon >/dev/null; }
# The menu: an unmanaged window of the app's, taller than a tool tip.
menu_shown() {
  local id
  for id in $(xdotool search --onlyvisible --class '^Tarrow$' 2>/dev/null); do
    xwininfo -id "$id" | grep -q 'Override Redirect State: yes' || continue
    [ "$(xwininfo -id "$id" | sed -n 's/.*Height: *\([0-9]*\).*/\1/p')" -ge 100 ] && return 0
  done
  return 1
}
tray_gone() { not xdotool search --class '^trayer$' >/dev/null 2>&1; }
start_tray_alone() { wait_for 10 tray_gone || true; start_tray; } # it gets the selection

# XEmbed, with no session bus.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"
TARROW_HOME="$work/xembed" start_app
sleep 3 # the app runs a while without any tray
start_tray_alone
within_2s "XEmbed: the icon docks in a tray that starts after the app" docked
# Panels open a status icon's menu on the left click too.
xdotool mousemove --window "$(tray_icon)" 8 8 click 1
check "XEmbed: a left click opens the menu" wait_for 3 menu_shown
xdotool key Escape
stop "$tray"
wait_for 10 not docked || true
start_tray_alone
within_2s "XEmbed: and again when the tray restarts" docked
stop "$tray" "$app"
start_tray_alone
TARROW_HOME="$work/together" start_app
within_2s "XEmbed: and when the app and the tray start together" docked
stop "$app" "$tray"

# StatusNotifierItem on a private session bus; no XEmbed tray.
start_bus
export DBUS_SESSION_BUS_ADDRESS=$bus_address
show_on_failure "$work/watcher.out"
start_watcher() {
  : >"$work/watcher.out"
  background "$system_python" "$(dirname "$0")/fake_status_notifier_watcher.py" \
    >"$work/watcher.out" 2>&1
  watcher=$!
}
registered() { grep -q '^registered .* Tarrow$' "$work/watcher.out"; }
TARROW_HOME="$work/sni" start_app
sleep 3
start_watcher
within_2s "StatusNotifierItem: the app's item registers with a watcher that starts after it" registered
stop "$watcher"
start_watcher
within_2s "StatusNotifierItem: and again when the watcher restarts" registered
finish
