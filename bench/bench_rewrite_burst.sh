#!/usr/bin/env bash
# What the request's owner can make the root helper do, measured on the real daemon
# inside a throw-away namespace (run as root):
#   - a request flipped between two lists every 10 ms for 5 s: hosts file rewrites per
#     second, megabytes written per second and the helper's CPU share, and whether the
#     last request is the one applied;
#   - single changes (400 ms apart): request rewritten -> hosts file rewritten, p50/p99.
# Usage: bench/bench_rewrite_burst.sh <folder with tarrow-helper> [rounds]
source "$(dirname "$0")/../tests/support/lib.sh"
bin=$(cd "${1:?usage: $0 <folder with tarrow-helper> [rounds]}" && pwd)
rounds=${2:-100}
in_namespace "$bin" "$rounds"
request=$work/request/blocked-hosts
# A hosts file of realistic size: a long foreign list, and 50 blocked names.
for i in $(seq 1 20000); do echo "0.0.0.0 tracker$i.ads.example.net"; done >>/etc/hosts
write_request $(printf 'base%d.example ' $(seq 1 50))
start_daemon
wait_for 5 hosts_has 127.0.0.2 base50.example || fail "not blocked"

timing="$(dirname "$0")/request_timing.py"
python3 "$timing" flip "$request" "$daemon" "$helper_log"
python3 "$timing" single "$request" "$rounds"
