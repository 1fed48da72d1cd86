#!/usr/bin/env bash
# The desktop's "less motion" setting, as the card follows it, read at start and followed
# as it changes, each way with the setting on and then off (or off and then on): the
# settings portal on a private session bus (its appearance key, then GNOME's key it
# passes on), GNOME's enable-animations through a stand-in gsettings when no bus
# answers, and KDE's kdeglobals on KDE.
source "$(dirname "$0")/../../support/lib.sh"
tool="${1:?usage: reduced_motion_test.sh <motion_tool>}"
need dbus-daemon
need_python_modules dbus gi
work_folder motion
here=$(dirname "$0")
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

# The portal: the first value at start, the second after SIGUSR1.
start_bus
for setting in "org.freedesktop.appearance reduced-motion u 1 0 reduced full" \
  "org.gnome.desktop.interface enable-animations b true false full reduced"; do
  read -r space key kind first second at_start after <<<"$setting"
  background env DBUS_SESSION_BUS_ADDRESS="$bus_address" "$system_python" \
    "$here/fake_settings_portal.py" "$space" "$key" "$kind" "$first" "$second" \
    >"$work/portal.out" 2>"$work/portal.err"
  portal=$!
  wait_for 10 grep -q ready "$work/portal.out" || fail "the stand-in portal did not start"
  DBUS_SESSION_BUS_ADDRESS="$bus_address" run_tool "$key"
  check "portal $key: $at_start at start" said "start: $at_start from the settings portal" "$key"
  kill -USR1 "$portal"
  wait_for 10 grep -q '^changed' "$work/$key.out" || true
  check "portal $key: $after after the change" said "changed: $after" "$key"
  stop "$tool_pid" "$portal"
done

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
