#!/usr/bin/env bash
# Builds Tarrow and starts the tray app as the desktop user:
#   - as a normal user: installs missing packages through sudo (only then), builds, starts;
#   - as root through sudo: installs what is missing, builds (as the user when the user
#     may write this folder), and starts the app as $SUDO_USER with that user's display,
#     runtime folder and session bus, so its state lands in the user's home, not /root;
#   - as root without $SUDO_USER (a fresh server or container): starts it as root.
# Without a display it runs on Qt's offscreen platform (no tray icon; blocking, the
# command file and the state file work the same). Stop it with Ctrl-C: that empties
# the request, so the helper unblocks. TARROW_BUILD names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TARROW_BUILD:-build}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac

say() { echo "run.sh: $*" >&2; }

desktop_user=""
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
  if ! getent passwd "$SUDO_USER" >/dev/null; then
    say "SUDO_USER names '$SUDO_USER', who is no user here; run it as that user instead"
    exit 1
  fi
  desktop_user=$SUDO_USER
fi

if [ "$(id -u)" -eq 0 ]; then
  bash scripts/deps.sh
elif ! bash scripts/deps.sh --check; then
  if ! command -v sudo >/dev/null; then
    say "installing the missing packages needs root: run 'bash scripts/deps.sh' as root"
    exit 1
  fi
  say "installing the missing packages needs root"
  sudo bash scripts/deps.sh
fi

as_builder=()
if [ -n "$desktop_user" ] && runuser -u "$desktop_user" -- test -w . &&
  { [ ! -e "$build" ] || runuser -u "$desktop_user" -- test -w "$build"; }; then
  as_builder=(runuser -u "$desktop_user" --)
fi
"${as_builder[@]}" cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARROW_TESTS=OFF -DTARROW_BENCH=OFF >/dev/null
"${as_builder[@]}" cmake --build "$build" --target tarrow tarrow-helper

if [ -z "$desktop_user" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
  fi
  exec "$build/bin/tarrow" "$@"
fi

# The desktop user's session: sudo keeps DISPLAY and XAUTHORITY; the Wayland socket,
# the X authority of a display manager and the session bus lie in the runtime folder.
IFS=: read -r _ _ uid _ _ home _ < <(getent passwd "$desktop_user")
runtime=/run/user/$uid
session=(HOME="$home" USER="$desktop_user" LOGNAME="$desktop_user" PATH="/usr/local/bin:/usr/bin:/bin"
  LANG="${LANG:-C.UTF-8}")
[ -d "$runtime" ] && session+=(XDG_RUNTIME_DIR="$runtime")
[ -S "$runtime/bus" ] && session+=(DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus")
display=""
if [ -n "${DISPLAY:-}" ]; then
  display=$DISPLAY
  session+=(DISPLAY="$DISPLAY")
  for auth in "${XAUTHORITY:-}" "$runtime/gdm/Xauthority" "$home/.Xauthority"; do
    if [ -n "$auth" ] && [ -f "$auth" ]; then session+=(XAUTHORITY="$auth"); break; fi
  done
fi
for socket in "$runtime"/wayland-[0-9]; do
  if [ -S "$socket" ]; then
    display=${socket##*/}
    session+=(WAYLAND_DISPLAY="$display")
    break
  fi
done
if [ -n "${QT_QPA_PLATFORM:-}" ]; then
  session+=(QT_QPA_PLATFORM="$QT_QPA_PLATFORM")
elif [ -z "$display" ]; then
  say "no display of $desktop_user found (DISPLAY is not set and $runtime holds no Wayland" \
    "socket); Tarrow runs offscreen, without a tray icon"
  session+=(QT_QPA_PLATFORM=offscreen)
fi
[ -n "${XDG_CURRENT_DESKTOP:-}" ] && session+=(XDG_CURRENT_DESKTOP="$XDG_CURRENT_DESKTOP")
[ -n "${TARROW_HOME:-}" ] && session+=(TARROW_HOME="$TARROW_HOME")
say "starting Tarrow as $desktop_user${display:+ on $display}"
exec runuser -u "$desktop_user" -- env -i "${session[@]}" "$build/bin/tarrow" "$@"
