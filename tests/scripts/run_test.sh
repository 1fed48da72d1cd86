# scripts/run.sh as a user starts it, cmake and the app stood in (the app prints who it runs
# as, with which session): as root alone, through sudo for a desktop user without a display,
# on X, on Wayland, and for no such user. Inside netns.sh --overlay, where the user is made.
source "$(dirname "$0")/../support/lib.sh"
in_namespace --overlay
chmod 755 "$work" "${work%/*}"; mount -t tmpfs -o mode=0755 tmpfs /run
useradd --no-create-home --home-dir "$work/desk-home" desk
uid=$(id -u desk)
mkdir -p "$work/bin" "$work/build/bin"
printf '#!/bin/sh\necho "$(id -un) $*" >> %s/cmake.log\n' "$work" >"$work/bin/cmake"
printf '#!/bin/sh\necho "user=$(id -un) home=$HOME display=${DISPLAY:-} wayland=${WAYLAND_DISPLAY:-} %s"\n' \
  'runtime=${XDG_RUNTIME_DIR:-} bus=${DBUS_SESSION_BUS_ADDRESS:-} qpa=${QT_QPA_PLATFORM:-} args=$*' >"$work/build/bin/tarrow"
chmod 755 "$work/bin/cmake" "$work/build/bin/tarrow"
run() { # run <environment...>: the app's line in $app, run.sh's own in $said
  rm -f "$work/cmake.log"
  status=0
  app=$(env -u SUDO_USER -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XAUTHORITY \
    PATH="$work/bin:$PATH" TARROW_BUILD="$work/build" "$@" \
    bash "$source_dir/scripts/run.sh" --menu 2>"$work/said") || status=$?
  said=$(grep '^run.sh: ' "$work/said" || true)
}
socket() { python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$1"; }
built_by_root() { grep -q "^root --build $work/build --target tarrow tarrow-helper" "$work/cmake.log"; }

run
check "root alone: built first, runs as root, offscreen, with the arguments" eval 'built_by_root &&
  contains "$app" "user=root" && contains "$app" "qpa=offscreen args=--menu"'
run SUDO_USER=desk
check "sudo, no display: built by root, runs as the user in their home, offscreen, says so" eval \
  '[ "$status" = 0 ] && built_by_root && contains "$app" "user=desk home=$work/desk-home " &&
  contains "$app" "qpa=offscreen" && contains "$said" "no display of desk found"'
mkdir -p "/run/user/$uid"; socket "/run/user/$uid/bus"
run SUDO_USER=desk DISPLAY=:5
check "sudo on X: on it, with the user's runtime folder and bus, says whom it starts" eval \
  'contains "$app" "display=:5 wayland= runtime=/run/user/$uid bus=unix:path=/run/user/$uid/bus qpa= " &&
  contains "$said" "starting Tarrow as desk on :5"'
socket "/run/user/$uid/wayland-0"
run SUDO_USER=desk
check "sudo on Wayland: the user's socket" contains "$app" "wayland=wayland-0 runtime=/run/user/$uid bus=unix:path=/run/user/$uid/bus qpa= "
run SUDO_USER=nobody-here
check "sudo for no such user: fails, says why, starts nothing" eval '[ "$status/$app" = 1/ ] &&
  contains "$said" "SUDO_USER names '"'nobody-here'"', who is no user here"'
finish
