# The one shell library of the whole-program tests and the timing scripts; sourced.
set -euo pipefail

support_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tests_dir=${support_dir%/*}
source_dir=${tests_dir%/*}
bin="${TARROW_BIN:-$source_dir/build/bin}"

fails=0
diagnostics=()

# check <description> <command...>: one "ok"/"FAIL" line; the script goes on.
check() { if "${@:2}"; then echo "ok    $1"; else echo "FAIL  $1"; fails=$((fails + 1)); fi; }
contains() { [[ $1 == *"$2"* ]]; }
not() { ! "$@"; }

show_on_failure() { diagnostics+=("$@"); }
print_diagnostics() {
  local f; for f in "${diagnostics[@]}"; do if [ -s "$f" ]; then echo "--- $f" && tail -n 40 "$f"; fi; done
}

# fail <message>: ends the script at once (also from a command substitution).
fail() { echo "FAIL  $*" >&2; print_diagnostics >&2; exit 1; }
finish() {
  [ "$fails" != 0 ] || { echo "all passed"; exit 0; }
  print_diagnostics
  echo "$fails failed"; exit 1
}
# skip <why>: exit status 77, which CTest counts as skipped.
skip() { echo "skipped: $*" >&2; exit 77; }
need() { local tool && for tool in "$@"; do command -v "$tool" >/dev/null || skip "no $tool"; done; }
system_python=/usr/bin/python3
need_python_modules() { local m; for m in "$@"; do "$system_python" -c "import $m" 2>/dev/null || skip "no python3-$m"; done; }

now_us() { echo $((10#${EPOCHREALTIME//[!0-9]/})); }
now_ms() { echo $(($(now_us) / 1000)); }

# wait_for <seconds> <command...>: until it succeeds (status 1 once the seconds are over).
wait_for() {
  local whole=${1%.*} fraction= start now deadline
  [[ $1 == *.* ]] && fraction=${1#*.}
  fraction="${fraction}000000" start=$(now_us)
  deadline=$((start + 10#${whole:-0} * 1000000 + 10#${fraction:0:6}))
  shift
  until "$@"; do
    now=$(now_us)
    [ "$now" -lt "$deadline" ] || return 1
    if [ $((now - start)) -lt 2000000 ]; then sleep 0.02; else sleep 0.1; fi
  done
}

pids=() exit_steps=()

# background <command...>: with the caller's redirections; stopped when the script ends.
background() {
  "$@" <&0 & # without a redirection of its own, it would read from /dev/null
  pids+=($!)
}
running() { local stat && stat=$(cat "/proc/$1/stat" 2>/dev/null) && stat=${stat##*) } && [ "${stat%% *}" != Z ]; }
# stop <pid...>: SIGTERM, SIGKILL for what still runs 5 s later; reaped.
stop() {
  local pid deadline=$(($(now_ms) + 5000))
  [ $# -gt 0 ] || return 0
  kill -TERM "$@" 2>/dev/null || true
  for pid in "$@"; do
    while running "$pid" && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.02; done
    kill -KILL "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true
  done
  forget "$@"
}
forget() {
  local pid kept=() && for pid in "${pids[@]}"; do [[ " $* " == *" $pid "* ]] || kept+=("$pid"); done
  pids=("${kept[@]}")
}
# at_exit <command>: a clean-up step; run last first, after the programs are stopped.
at_exit() { exit_steps+=("$1"); }
on_exit() {
  local status=$? i; set +e
  stop "${pids[@]}"
  for ((i = ${#exit_steps[@]} - 1; i >= 0; i--)); do eval "${exit_steps[i]}"; done
  exit "$status"
}
trap on_exit EXIT; trap 'exit 130' INT; trap 'exit 143' TERM

# work_folder <name>: $work is netns.sh's scratch folder, or a temporary one.
work_folder() {
  work=${NETNS_SCRATCH:-}
  [ -n "$work" ] || { work=$(mktemp -d "/tmp/tarrow-$1.XXXXXX"); at_exit "rm -rf '$work'"; }
  helper_log=$work/helper.log
}

# in_namespace [--overlay] [arguments...]: this script again inside netns.sh.
in_namespace() {
  local overlay=()
  [ "${1:-}" != --overlay ] || { overlay=(--overlay); shift; }
  [ -n "${NETNS_SCRATCH:-}" ] || exec bash "$tests_dir/e2e/netns.sh" "${overlay[@]}" bash "$0" "$@"
  work_folder namespace
}

namespace_ready() {
  local scratch=$1 mode=$2 folder
  mount --make-rprivate /; ip link set lo up
  if [ "$mode" = overlay ]; then overlay_system "$scratch"; else private_etc_and_hits "$scratch"; fi
  for folder in /run/systemd /run/dbus /run/nscd; do [ ! -d "$folder" ] || mount -t tmpfs -o mode=0755,size=1m tmpfs "$folder"; done
}

# A private copy of /etc, and an empty hits folder whose mount point lives on a tmpfs over
# /var/lib that carries the real entries through: nothing reaches the machine's own.
private_etc_and_hits() {
  local scratch=$1 entry name
  mount --bind "$scratch/etc" /etc
  mkdir "$scratch/varlib"
  mount --rbind /var/lib "$scratch/varlib"
  mount -t tmpfs -o mode=0755 tmpfs /var/lib
  for entry in "$scratch/varlib"/* "$scratch/varlib"/.[!.]*; do
    name=/var/lib/${entry##*/}
    if [ "$name" = /var/lib/Tarrow ]; then continue
    elif [ -L "$entry" ]; then cp -P "$entry" "$name"
    elif [ -d "$entry" ]; then mkdir "$name" && mount --rbind "$entry" "$name"
    elif [ -e "$entry" ]; then touch "$name" && mount --bind "$entry" "$name"
    fi
  done
  umount -R "$scratch/varlib"; rmdir "$scratch/varlib"
  mkdir -m 0755 /var/lib/Tarrow; mount --bind "$scratch/hits" /var/lib/Tarrow
}

overlay_system() {
  local layers=$1/layers top
  mkdir "$layers"; mount -t tmpfs -o mode=0700 tmpfs "$layers"
  for top in usr etc var; do
    mkdir "$layers/$top" "$layers/$top.work"
    mount -t overlay overlay -o "lowerdir=/$top,upperdir=$layers/$top,workdir=$layers/$top.work" "/$top" ||
      skip "overlay mounts not permitted here"
  done
}

installed_helper=/usr/local/libexec/de.brightloom.tarrow.helper
helper_unit=/etc/systemd/system/de.brightloom.tarrow.helper.service
private_usr_local() { mount -t tmpfs tmpfs /usr/local; mkdir -p /usr/local/libexec /etc/systemd/system; }
install_helper() {
  install -m 755 "$1" "$installed_helper"
  printf '[Service]\nExecStart=%s --daemon %s --uid 0\n' "$installed_helper" "$request" >"$helper_unit"
}

# stand_in_admin_tools: pkexec (drops --disable-internal-agent) and systemctl (records its
# calls in $work/systemctl.log; is-active is "active" while $work/active-left counts down).
stand_in_admin_tools() {
  mkdir -p "$work/bin"
  printf '#!/bin/sh\n[ "$1" = --disable-internal-agent ] && shift\nexec "$@"\n' >"$work/bin/pkexec"
  cat >"$work/bin/systemctl" <<STUB
#!/bin/sh
echo "\$*" >> "$work/systemctl.log"
if [ "\$1" = is-active ]; then
  n=\$(cat "$work/active-left" 2>/dev/null || echo 0)
  if [ "\$n" -gt 0 ]; then echo \$((n - 1)) > "$work/active-left"; echo active; exit 0; fi
  echo inactive; exit 3
fi
exit 0
STUB
  chmod 755 "$work/bin/pkexec" "$work/bin/systemctl"
  export PATH="$work/bin:$PATH"
}
systemctl_calls() { cat "$work/systemctl.log" 2>/dev/null || true; }

# start_xvfb: a private X server; DISPLAY names it.
start_xvfb() {
  need Xvfb
  exec 3>"$work/display"
  background Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 2>"$work/xvfb.err"
  exec 3>&-
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
}
# start_bus: a private message bus; $bus_address names it.
start_bus() {
  need dbus-daemon
  background dbus-daemon --session --address="unix:path=$work/bus" --nofork --print-address=1 \
    >"$work/bus-address" 2>"$work/bus.err"
  wait_for 10 test -s "$work/bus-address" || fail "the private bus did not start"
  bus_address=$(head -n 1 "$work/bus-address")
}
# start_tray: an XEmbed tray on the display; $tray is its pid.
start_tray() {
  background trayer --edge top --align right --widthtype pixel --width 120 \
    --heighttype pixel --height 28 >>"$work/tray.out" 2>&1; tray=$!
}
# tray_icon: the window id of the app's icon docked in a tray: named Tarrow (in
# _NET_WM_NAME, which xdotool --name does not search), larger than 1x1, not on the root.
tray_icon() {
  local id root
  root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  for id in $(xdotool search --onlyvisible --class '^Tarrow$' 2>/dev/null); do
    [ "$(xdotool getwindowname "$id")" = Tarrow ] || continue
    xdotool getwindowgeometry "$id" | grep -q 'Geometry: 1x1' && continue
    xwininfo -id "$id" -tree | grep -q "Parent window id: $root" && continue
    echo "$id"; return 0
  done
  return 1
}

# app_home: a home and state folder of the app's own in $work, Qt off screen, no session.
app_home() {
  export HOME="$work/user" TARROW_HOME="$work/home" QT_QPA_PLATFORM=offscreen
  unset XDG_RUNTIME_DIR XDG_DATA_HOME XDG_CONFIG_HOME DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
  mkdir -p "$HOME" "$TARROW_HOME"
  request="$TARROW_HOME/request/blocked-hosts" state="$TARROW_HOME/state" app_log="$TARROW_HOME/tarrow.log"
  show_on_failure "$app_log" "$work/app.err"
}
start_app() { background "$bin/tarrow" "$@" 2>>"$work/app.err"; app=$!; }
# quit_app: SIGTERM, as a logout sends it; the exit status in $status.
quit_app() { kill -TERM "$app"; status=0; wait "$app" || status=$?; forget "$app"; }
logged() { grep -qsF -- "$1" "$app_log"; }
lines_with() { grep -cF -- "$2" "$1" 2>/dev/null || true; }

request_owner=0
# write_request <names...>: replaces $request at once, as the app does.
write_request() {
  local folder=${request%/*} temp="$request.tmp"
  mkdir -p "$folder"; chown "$request_owner" "$folder"; rm -f "$temp"
  if [ $# -gt 0 ]; then printf '%s\n' "$@" >"$temp"; else : >"$temp"; fi
  chown "$request_owner" "$temp"; mv -f "$temp" "$request"
}
# start_daemon: the helper's daemon on $request for $request_owner; $daemon is its pid.
start_daemon() {
  background "$bin/tarrow-helper" --daemon "$request" --uid "$request_owner" 2>>"$helper_log"; daemon=$!
  wait_for 5 grep -qs "helper started for $request" "$helper_log" || fail "the daemon did not start"
}
hosts_has() { grep -qx "$1 $2" /etc/hosts; }
has_section() { grep -q '^# >>> Tarrow >>>' /etc/hosts; }
no_section() { ! has_section; }
