#!/usr/bin/env bash
# Idle cost of the running app: CPU over a minute and resident memory, on Qt's offscreen
# platform, with 200 sites, 20 schedules and blocking on. As root the app runs in a
# throw-away namespace whose /etc/hosts has 150,000 lines; otherwise the machine's own
# hosts file is read (never written).
#   bash bench/bench_tick_idle.sh [build/bin] [seconds]
source "$(dirname "$0")/../tests/support/lib.sh"
bin=$(cd "${1:-$source_dir/build/bin}" && pwd)
seconds="${2:-60}"
if [ "$(id -u)" = 0 ]; then
  in_namespace "$bin" "$seconds"
  awk 'BEGIN { for (i = 0; i < 150000; i++)
         printf "10.%d.%d.%d host%d.lan\n", int(i / 65536) % 256, int(i / 256) % 256, i % 256, i }' \
    >>/etc/hosts
else
  work_folder idle
fi
app_home

uuid() { tr a-f A-F </proc/sys/kernel/random/uuid; }
{
  echo '{"manualOn": true, "notice": true, "suggest": false, "sites": ['
  for i in $(seq 0 199); do
    [ "$i" = 0 ] || echo ','
    printf '{"domain": "site%d.example", "enabled": true, "id": "%s"}' "$i" "$(uuid)"
  done
  echo '], "schedules": ['
  for i in $(seq 0 19); do
    [ "$i" = 0 ] || echo ','
    printf '{"days": [%d, %d], "enabled": true, "start": %d, "end": %d, "id": "%s"}' \
      $((1 + i % 7)) $((1 + (i + 3) % 7)) $((60 * (i % 24))) $((60 * ((i + 5) % 24))) "$(uuid)"
  done
  echo ']}'
} >"$TARROW_HOME/config.json"

start_app
pid=$app
sleep 10 # start-up and the first ticks are not idle
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# Nanoseconds on a CPU, summed over the app's threads (finer than the clock ticks above).
cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{ sum += $1 } END { printf "%d", sum }'; }
start=$(cpu) start_ns=$(cpu_ns)
sleep "$seconds"
end=$(cpu) end_ns=$(cpu_ns)
hz=$(getconf CLK_TCK)
rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
echo "hosts file: $(wc -l </etc/hosts) lines; request: $(wc -l <"$request") names"
echo "idle CPU over ${seconds} s: $((end - start)) ticks of 1/${hz} s = $(awk -v t=$((end - start)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.3f", 100 * t / hz / s }') % of one core"
echo "idle CPU over ${seconds} s by the scheduler: $(((end_ns - start_ns) / 1000)) µs = $(awk -v ns=$((end_ns - start_ns)) -v s="$seconds" 'BEGIN { printf "%.4f", 100 * ns / 1e9 / s }') % of one core"
echo "resident memory: $((rss / 1024)) MB now, $((hwm / 1024)) MB peak"
