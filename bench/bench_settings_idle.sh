#!/usr/bin/env bash
# The idle app with the settings window made and hidden, against the app without it:
# timer events, wake-ups and resident memory over the same time.
#   bash bench/bench_settings_idle.sh [build/bin] [seconds]
set -euo pipefail
bin="${1:-$(dirname "$0")/../build/bin}"
seconds="${2:-30}"
without=$("$bin/bench_settings_idle" without "$seconds" 2>/dev/null)
with=$("$bin/bench_settings_idle" with "$seconds" 2>/dev/null)
echo "$without"
echo "$with"
rss() { sed -E 's/.*RSS ([0-9]+) kB.*/\1/' <<<"$1"; }
timers() { sed -E 's/.*: ([0-9]+) timer events.*/\1/' <<<"$1"; }
wakeups() { sed -E 's/.*, ([0-9]+) wake-ups.*/\1/' <<<"$1"; }
echo "extra timer events: $(( $(timers "$with") - $(timers "$without") ))"
echo "extra wake-ups: $(( $(wakeups "$with") - $(wakeups "$without") ))"
echo "extra resident memory: $(( ($(rss "$with") - $(rss "$without")) / 1024 )) MB"
