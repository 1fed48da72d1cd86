#!/usr/bin/env bash
# The desktop's "less motion" setting, as the card follows it, read at start and followed
# as it changes, where no settings portal answers: GNOME's enable-animations through a
# stand-in gsettings, and KDE's kdeglobals on KDE. (The portal's values are the unit
# test's.)
source "$(dirname "$0")/../../support/lib.sh"
tool="${1:?usage: reduced_motion_test.sh <motion_tool>}"
work_folder motion
no_bus="unix:path=$work/no-bus"
export XDG_CONFIG_HOME="$work/config" XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$XDG_CONFIG_HOME" "$work/bin"
export PATH="$work/bin:$PATH"  # the stand-in gsettings of each case comes first

said() { grep -qxF -- "$1" "$work/$2.out"; }
# run_tool <name>: the tool in the background, its output in $work/<name>.out.
run_tool() {
  background "$tool" >"$work/$1.out" 2>"$work/$1.err"
  tool_pid=$!
  wait_for 10 grep -q '^start:' "$work/$1.out" || true
}

# No bus: GNOME's setting through gsettings; `monitor` reports the change once the
# test writes $work/flip.
cat >"$work/bin/gsettings" <<STUB
#!/bin/sh
[ "\$2 \$3" = "org.gnome.desktop.interface enable-animations" ] || exit 1
if [ "\$1" = get ]; then echo false; exit 0; fi
while [ ! -e "$work/flip" ]; do sleep 0.05; done
echo "enable-animations: true"
exec sleep 30
STUB
chmod 755 "$work/bin/gsettings"
DBUS_SESSION_BUS_ADDRESS=$no_bus run_tool gsettings
check "gsettings: reduced at start" said "start: reduced from gsettings" gsettings
touch "$work/flip"
wait_for 10 grep -q '^changed' "$work/gsettings.out" || true
check "gsettings: full after the change" said "changed: full" gsettings
stop "$tool_pid"
# From here on gsettings knows no such key, as where GNOME's schemas are missing.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/gsettings"

# KDE without a portal: kdeglobals, replaced by rename as KDE writes it.
printf '[General]\nAnimationDurationFactor=0\n[KDE]\nAnimationDurationFactor=1\n' \
  >"$XDG_CONFIG_HOME/kdeglobals"
XDG_CURRENT_DESKTOP=KDE DBUS_SESSION_BUS_ADDRESS=$no_bus run_tool kde
check "kdeglobals: full at start (another group's key does not count)" \
  said "start: full from kdeglobals" kde
printf '[KDE]\nAnimationDurationFactor=0\n' >"$XDG_CONFIG_HOME/kdeglobals.new"
mv "$XDG_CONFIG_HOME/kdeglobals.new" "$XDG_CONFIG_HOME/kdeglobals"
wait_for 10 grep -q '^changed' "$work/kde.out" || true
check "kdeglobals: reduced after the change" said "changed: reduced" kde
stop "$tool_pid"

# Nothing at all: full motion.
DBUS_SESSION_BUS_ADDRESS=$no_bus run_tool none
check "no setting anywhere: full motion" said "start: full from nothing" none
stop "$tool_pid"
finish
