#!/usr/bin/env bash
# The tray item shows itself once a tray appears after the app has started: the app runs
# on a virtual X display without any tray, then a stand-in tray host takes the tray
# selection and must receive the item's dock request.
set -euo pipefail
bin="${TARROW_BIN:?}"
host="${1:?path of fake_tray_host}"
if ! command -v Xvfb >/dev/null; then
  echo "skipped: no Xvfb" >&2
  exit 77
fi
work=$(mktemp -d /tmp/tarrow-tray.XXXXXX)
xvfb= app=
trap '[ -n "$app" ] && kill -TERM "$app" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 2>"$work/xvfb.err" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR
export QT_QPA_PLATFORM=xcb TARROW_HOME="$work/home"

"$bin/tarrow" 2>"$work/app.err" &
app=$!
sleep 3
if ! kill -0 "$app"; then
  echo "FAIL  the app runs without a tray"; cat "$work/app.err"; exit 1
fi
echo "ok    the app runs without a tray"
if "$host" 25 > "$work/host.out"; then
  echo "ok    the item docks once a tray appears"
else
  echo "FAIL  the item docks once a tray appears ($(cat "$work/host.out"))"
  cat "$work/app.err"
  exit 1
fi
