#!/usr/bin/env bash
# Second start to window: how long from starting `tarrow` while a copy runs until the
# running copy's Sites window is visible, on a private X server without a tray. Runs
# each way (over the session bus, and through the command file without one) the given
# number of times and prints the median, the 95th percentile and the largest, in ms.
# The window is closed (Ctrl+W) before each run.
#   bash bench/bench_second_start.sh [build/bin] [runs]
source "$(dirname "$0")/../tests/support/lib.sh"
bin=$(cd "${1:-$source_dir/build/bin}" && pwd)
runs="${2:-20}"
need Xvfb xdotool dbus-daemon
work_folder second-start-bench
app_home
start_xvfb
start_bus

sites_window() { xdotool search --onlyvisible --name '^Sites$' 2>/dev/null | head -n 1 || true; }

# measure <label>: the app runs already.
measure() {
  local times=() i start id
  for i in $(seq "$runs"); do
    id=$(sites_window)
    if [ -n "$id" ]; then # closed as its user would, so the app knows
      xdotool windowfocus --sync "$id" key ctrl+w
      while [ -n "$(sites_window)" ]; do sleep 0.01; done
    fi
    start=$(now_us)
    "$bin/tarrow" 2>/dev/null || fail "the second start failed"
    until [ -n "$(sites_window)" ]; do
      [ $(($(now_us) - start)) -lt 5000000 ] || fail "no Sites window after 5 s"
      sleep 0.002
    done
    times+=($((($(now_us) - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk -v label="$1" '
    { t[NR] = $1 }
    END {
      p95 = t[int(NR * 0.95 + 0.999)]; if (p95 == "") p95 = t[NR]
      printf "%-16s runs %d  median %d ms  p95 %d ms  max %d ms\n",
             label, NR, t[int((NR + 1) / 2)], p95, t[NR]
    }'
}

for way in bus file; do
  if [ "$way" = bus ]; then
    export DBUS_SESSION_BUS_ADDRESS=$bus_address
  else
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"
  fi
  export TARROW_HOME="$work/home-$way"
  start_app
  wait_for 10 test -s "$TARROW_HOME/state" || fail "the app did not start"
  sleep 1 # the welcome window of a first start is up; it stays, as it does not matter here
  measure "$way"
  stop "$app"
done
