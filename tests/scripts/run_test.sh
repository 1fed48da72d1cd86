#!/usr/bin/env bash
# scripts/run.sh started the ways a user starts it, with cmake and the app stood in (the
# stand-in app prints who it runs as and with which session): as root alone, through
# sudo for a desktop user with and without a display, and for a user that is not there.
# Runs inside netns.sh --overlay: the desktop user is made in the overlaid /etc, and
# /run is a tmpfs of the namespace.
source "$(dirname "$0")/../support/lib.sh"
in_namespace --overlay
chmod 755 "$work" "${work%/*}"  # the desktop user reaches the stand-in app
mount -t tmpfs -o mode=0755 tmpfs /run
useradd --no-create-home --home-dir "$work/desk-home" desk
uid=$(id -u desk)

mkdir -p "$work/bin" "$work/build/bin"
cat > "$work/bin/cmake" <<STUB
#!/bin/sh
echo "\$(id -un) \$*" >> "$work/cmake.log"
STUB
cat > "$work/build/bin/tarrow" <<'STUB'
#!/bin/sh
echo "user=$(id -un) home=$HOME display=${DISPLAY:-} wayland=${WAYLAND_DISPLAY:-}" \
  "runtime=${XDG_RUNTIME_DIR:-} bus=${DBUS_SESSION_BUS_ADDRESS:-} qpa=${QT_QPA_PLATFORM:-}" \
  "args=$*"
STUB
chmod 755 "$work/bin/cmake" "$work/build/bin/tarrow"

run() {  # run <environment...>: the app's line in $app, run.sh's own lines in $said
  rm -f "$work/cmake.log"
  status=0
  app=$(env -u SUDO_USER -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XAUTHORITY \
    PATH="$work/bin:$PATH" TARROW_BUILD="$work/build" "$@" \
    bash "$source_dir/scripts/run.sh" --menu 2>"$work/said") || status=$?
  said=$(grep '^run.sh: ' "$work/said" || true)
}

run
check "root alone: runs as root" contains "$app" "user=root"
check "root alone, no display: offscreen" contains "$app" "qpa=offscreen"
check "root alone: the arguments reach the app" contains "$app" "args=--menu"
check "root alone: built first" grep -q "^root --build $work/build --target tarrow tarrow-helper" "$work/cmake.log"

run SUDO_USER=desk
check "sudo, no display: status 0" [ "$status" = 0 ]
check "sudo, no display: runs as the desktop user in their home" contains "$app" "user=desk home=$work/desk-home "
check "sudo, no display: offscreen" contains "$app" "qpa=offscreen"
check "sudo, no display: says so" contains "$said" "no display of desk found"
check "sudo: built by root where the user may not write" grep -q "^root --build" "$work/cmake.log"

mkdir -p "/run/user/$uid"
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "/run/user/$uid/bus"
run SUDO_USER=desk DISPLAY=:5
check "sudo with an X display: runs on it" contains "$app" "user=desk home=$work/desk-home display=:5 "
check "sudo with an X display: the user's runtime folder and bus" \
  contains "$app" "runtime=/run/user/$uid bus=unix:path=/run/user/$uid/bus"
check "sudo with an X display: not offscreen" contains "$app" "qpa= "
check "sudo with an X display: says whom it starts" contains "$said" "starting Tarrow as desk on :5"

python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "/run/user/$uid/wayland-0"
run SUDO_USER=desk
check "sudo on Wayland: the user's socket" contains "$app" "wayland=wayland-0 runtime=/run/user/$uid"
check "sudo on Wayland: not offscreen" contains "$app" "qpa= "

run SUDO_USER=nobody-here
check "sudo for no such user: fails" [ "$status" = 1 ]
check "sudo for no such user: says why" contains "$said" "SUDO_USER names 'nobody-here', who is no user here"
check "sudo for no such user: the app does not start" [ -z "$app" ]

finish
