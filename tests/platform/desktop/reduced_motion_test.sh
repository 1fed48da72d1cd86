#!/usr/bin/env bash
# The desktop's "less motion" setting, as the card follows it, read at start and followed
# as it changes, where no settings portal answers: GNOME's enable-animations through a
# stand-in gsettings, and KDE's kdeglobals on KDE. (The portal's values are the unit
# test's.)
source "$(dirname "$0")/../../support/lib.sh"
tool="${1:?usage: reduced_motion_test.sh <motion_tool>}"
work_folder motion
export XDG_CONFIG_HOME="$work/config" XDG_CURRENT_DESKTOP=GNOME PATH="$work/bin:$PATH"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
mkdir -p "$XDG_CONFIG_HOME" "$work/bin"
# run_tool <name> <change...>: the tool's output in $work/<name>.out, the change made.
run_tool() {
  local name=$1
  shift
  background "$tool" >"$work/$name.out" 2>"$work/$name.err"
  wait_for 10 grep -q '^start:' "$work/$name.out" || true
  local pid=$!
  [ $# = 0 ] || { "$@" && wait_for 10 grep -q '^changed' "$work/$name.out" || true; }
  stop "$pid"
}
said() { grep -qxF -- "$1" "$work/$2.out"; }

# GNOME: `monitor` reports the change once the test writes $work/flip.
cat >"$work/bin/gsettings" <<STUB
#!/bin/sh
[ "\$2 \$3" = "org.gnome.desktop.interface enable-animations" ] || exit 1
if [ "\$1" = get ]; then echo false; exit 0; fi
while [ ! -e "$work/flip" ]; do sleep 0.05; done
echo "enable-animations: true"
exec sleep 30
STUB
chmod 755 "$work/bin/gsettings"
run_tool gsettings touch "$work/flip"
check "gsettings: reduced at start, full after the change" \
  eval 'said "start: reduced from gsettings" gsettings && said "changed: full" gsettings'
# From here on gsettings knows no such key, as where GNOME's schemas are missing.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/gsettings"

# KDE: kdeglobals, replaced by rename as KDE writes it; another group's key does not count.
printf '[General]\nAnimationDurationFactor=0\n[KDE]\nAnimationDurationFactor=1\n' \
  >"$XDG_CONFIG_HOME/kdeglobals"
printf '[KDE]\nAnimationDurationFactor=0\n' >"$work/kdeglobals.new"
XDG_CURRENT_DESKTOP=KDE run_tool kde mv "$work/kdeglobals.new" "$XDG_CONFIG_HOME/kdeglobals"
check "kdeglobals: full at start, reduced after the change" \
  eval 'said "start: full from kdeglobals" kde && said "changed: reduced" kde'

run_tool none
check "no setting anywhere: full motion" said "start: full from nothing" none
finish
