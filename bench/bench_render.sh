#!/usr/bin/env bash
# The whole "tarrow --render" run, as the documentation script makes it (the helper set
# up, five suggestions), timed over several runs; then the largest size. Prints the
# median and the slowest time, their ratio to the 3-second budget, and the peak resident
# memory against 200 MB. Build with -DCMAKE_BUILD_TYPE=Release for figures that count.
#   bash bench/bench_render.sh [build/bin] [runs]
source "$(dirname "$0")/../tests/support/lib.sh"
tarrow="${1:-$source_dir/build/bin}/tarrow"
runs="${2:-10}"
work_folder bench-render
app_home
unset TARROW_RENDER_SIZE QT_QPA_PLATFORM
export TZ=Europe/Berlin TARROW_NOW=2026-10-23T07:00:00Z

one() {  # one <label> [env...]: prints "<seconds> <peak kB>"
  local label=$1; shift
  rm -rf "$work/out"
  env "$@" /usr/bin/time -f '%e %M' -o "$work/time" \
    "$tarrow" --render "$work/out" --working --demo-suggestions > /dev/null 2> "$work/$label.err"
  cat "$work/time"
}

one warm-up > /dev/null
for _ in $(seq "$runs"); do one default; done | sort -n > "$work/times"
median=$(awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }' "$work/times")
slowest=$(tail -1 "$work/times" | cut -d' ' -f1)
peak=$(sort -k2 -n "$work/times" | tail -1 | cut -d' ' -f2)
read -r large_time large_peak < <(one largest TARROW_RENDER_SIZE=99999x99999)

printf '%-34s %8s %8s\n' "--render ($runs runs, 580x440)" median slowest
printf '%-34s %7.2fs %7.2fs\n' "time" "$median" "$slowest"
printf '%-34s %8.2f %8.2f\n' "ratio to the 3 s budget" \
  "$(awk "BEGIN { print $median / 3 }")" "$(awk "BEGIN { print $slowest / 3 }")"
printf '%-34s %7d MB\n' "peak memory" "$((peak / 1024))"
printf '%-34s %7.2fs %5d MB (ratio to 200 MB: %.2f)\n' "largest size (2048x2048)" \
  "$large_time" "$((large_peak / 1024))" "$(awk "BEGIN { print $large_peak / 1024 / 200 }")"
