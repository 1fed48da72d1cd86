#!/usr/bin/env bash
# Without a tray (Xvfb alone): a second start shows the running copy's Sites within 1 s
# and exits 0, over the session bus and through the command file; the desktop entry's
# activation and actions reach it over the bus; the card shows on every desktop.
source "$(dirname "$0")/../support/lib.sh"
need Xvfb xdotool xprop dbus-daemon
need_python_modules dbus
work_folder second-start
app_home
start_xvfb

visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
shown() { [ -n "$(visible "$1")" ]; }
close() { # <title> <key>, as its user would
  xdotool windowfocus --sync "$(visible "$1")" key "$2" 2>/dev/null || true
  wait_for 2 not shown "$1"
}
first_and_second_start() {
  local status=0 start
  app_log="$TARROW_HOME/tarrow.log"
  show_on_failure "$app_log" "$work/second.err"
  start_app
  check "$1: the first start shows the welcome window" wait_for 10 shown Tarrow
  close Tarrow Escape
  check "$1: welcome closed, nothing of the app is seen" not shown Sites
  start=$(now_ms)
  timeout 10 "$bin/tarrow" 2>>"$work/second.err" || status=$?
  check "$1: the second start exits 0 ($status)" [ "$status" = 0 ]
  wait_for 1 shown Sites || true
  check "$1: the Sites window is shown within 1 s ($(($(now_ms) - start)) ms)" shown Sites
  check "$1: the running copy says so once" wait_for 1 said_once
}
said_once() { [ "$(lines_with "$app_log" "another start: settings shown")" = 1 ]; }
bus_call() {
  "$system_python" -c '
import dbus, sys
app = dbus.SessionBus().get_object("de.brightloom.tarrow", "/de/brightloom/tarrow")
getattr(app, sys.argv[1])(*eval(sys.argv[2]), dbus_interface="org.freedesktop.Application")
' "$@"
}

start_bus
export DBUS_SESSION_BUS_ADDRESS=$bus_address TARROW_HOME="$work/with-bus"
first_and_second_start "session bus"
check "without a tray the log says where Tarrow is, once" [ "$(lines_with "$app_log" \
  "no tray on this desktop: open Tarrow from the applications menu")" = 1 ]
close Sites ctrl+w
check "the desktop's Activate shows the settings" eval 'bus_call Activate "[{}]" && wait_for 1 shown Sites'
check "the desktop action \"Block for 1 Hour\" locks an hour" \
  eval 'bus_call ActivateAction "[\"block-hour\", [], {}]" && wait_for 1 logged "command: for 60"'
echo "card youtube.com" >"$TARROW_HOME/command"
on_every_desktop() { xprop -id "$(visible Tarrow)" _NET_WM_DESKTOP | grep -q '= 4294967295$'; }
check "the card shows, on every desktop" wait_for 3 on_every_desktop
stop "$app"

export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus" TARROW_HOME="$work/no-bus"
first_and_second_start "no bus"
check "no bus: the command file was taken" [ ! -e "$work/no-bus/command" ]
stop "$app"
finish
