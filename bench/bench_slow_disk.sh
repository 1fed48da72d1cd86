#!/usr/bin/env bash
# One click's wall time in the settings window (a site's checkbox with 200 sites, a day
# chip with 500 schedules), 99th percentile, on the disk as it is and on a slow one (every
# fsync 50 ms, the slow_fsync preload). Given a second build folder, the same runs are
# made there too, so that two versions are compared in one run.
#   bash bench/bench_slow_disk.sh <build> [<other build>]
# Each build folder needs bin/bench_settings, bin/bench_schedules and lib/libslow_fsync.so
# (a Release or RelWithDebInfo build with -DTARROW_BENCH=ON).
set -euo pipefail
export QT_QPA_PLATFORM=offscreen

# Prints "<benchmark> <p50 ms> <p99 ms>" for each measured benchmark of one program.
p99s() {
  "$@" --benchmark_format=json 2>/dev/null |
    python3 -c 'import json, sys
for b in json.load(sys.stdin)["benchmarks"]:
    if "p99_ms" in b:
        print("%-24s p50 %7.2f  p99 %7.2f  (CPU p99 %6.2f)" % (b["name"].split("/iterations")[0],
              b["p50_ms"], b["p99_ms"], b["cpu_p99_ms"]))'
}

for build in "$@"; do
  build=$(cd "$build" && pwd)
  for disk in plain slow; do
    preload=""
    [ "$disk" = slow ] && preload="$build/lib/libslow_fsync.so"
    echo "== $build, $disk disk (ms)"
    LD_PRELOAD="$preload" p99s "$build/bin/bench_settings" --benchmark_filter='^TickOneCheckbox/'
    LD_PRELOAD="$preload" p99s "$build/bin/bench_schedules" \
      --benchmark_filter='^redrawAfterOneEdit/500'
  done
done
