#!/usr/bin/env bash
# Under a headless Wayland compositor, natively and on XWayland: the app stays up without
# a tray, shows its settings on a second start and the card, and ends on SIGTERM with 0.
source "$(dirname "$0")/../support/lib.sh"
need weston dbus-daemon
plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$plugins/platforms/libqwayland-generic.so" ] || skip "no qt6-wayland"
work_folder wayland
app_home
start_bus
export DBUS_SESSION_BUS_ADDRESS=$bus_address

on() { # wayland, or xcb on XWayland
  local platform=$1 runtime="$work/runtime-$1" weston_log="$work/weston-$1.log" options=()
  mkdir -m 0700 "$runtime"
  if [ "$platform" = xcb ]; then
    options=(--xwayland)
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix # XWayland's socket folder
  fi
  XDG_RUNTIME_DIR=$runtime background weston --backend=headless-backend.so --socket=wayland-test \
    --idle-time=0 "${options[@]}" >"$weston_log" 2>&1
  local weston=$!
  show_on_failure "$weston_log"
  wait_for 10 test -S "$runtime/wayland-test" || fail "weston did not start"
  if [ "$platform" = xcb ]; then
    wait_for 10 grep -q "xserver listening on display" "$weston_log" || fail "no XWayland"
    export DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$weston_log")
  fi
  export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=$platform
  export TARROW_HOME="$work/home-$platform"
  app_log="$TARROW_HOME/tarrow.log"
  mkdir -p "$TARROW_HOME"
  show_on_failure "$app_log"

  start_app
  check "$platform: no tray found, and the log says where Tarrow is" \
    wait_for 10 logged "no tray on this desktop"
  status=0
  "$bin/tarrow" 2>>"$work/second.err" || status=$?
  check "$platform: a second start exits 0" [ "$status" = 0 ]
  check "$platform: the running copy shows its settings" \
    wait_for 1 logged "another start: settings shown"
  echo "card youtube.com" >"$TARROW_HOME/command"
  check "$platform: the card's command is taken" wait_for 6 logged "command: card youtube.com"
  sleep 1
  check "$platform: the app still runs with the card shown" running "$app"
  quit_app
  check "$platform: SIGTERM ends it with 0" [ "$status" = 0 ]
  stop "$weston"
  unset DISPLAY
}

on wayland
if command -v Xwayland >/dev/null; then on xcb; else echo "no Xwayland: XWayland not tried"; fi
finish
