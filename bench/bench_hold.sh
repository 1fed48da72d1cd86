#!/usr/bin/env bash
# What making a block hold costs a pass, measured on the real daemon inside a throw-away
# namespace (run as root; build without sanitizers):
#   - blocking 10 new sites with their aliases (30 names): request rewritten -> section
#     written and connections cut (the helper's "closed ..." line), p50/p99/max;
#   - unblocking them again, a pass in which nothing new is blocked;
# each with a name server that answers at once (names a cache holds) and one that
# answers after 30 ms, with 200 unrelated connections open for the socket listing.
# Given a second helper (today's, without the hold), it runs the same rounds on it and
# prints the difference.
# Usage: bench/bench_hold.sh <folder with tarrow-helper> [<folder with today's>] [rounds]
source "$(dirname "$0")/bench_lib.sh"
usage="usage: $0 <folder with tarrow-helper> [<baseline folder>] [rounds]"
hold_bin=$(cd "${1:?$usage}" && pwd)
base=
if [ -n "${2:-}" ]; then base=$(cd "$2" && pwd); fi
rounds=${3:-40}
in_namespace "$hold_bin" "$base" "$rounds"
request=$work/request/blocked-hosts
site_network

# 200 connections that stay open, so that listing the sockets has something to look at.
background python3 -c '
import socket, time
server = socket.socket(); server.bind(("127.0.0.1", 9000)); server.listen(256)
held = [socket.create_connection(("127.0.0.1", 9000)) for _ in range(200)]
accepted = [server.accept()[0] for _ in range(200)]
time.sleep(3600)'

run() { # run <label> <helper folder> <delay ms>
  start_names --delay-ms="$3" "*.test=$site_address"
  write_request $(printf 'base%d.example ' $(seq 1 50))
  : >"$helper_log"
  bin=$2 start_daemon
  wait_for 5 hosts_has 127.0.0.2 base50.example || fail "not blocked"
  python3 "$(dirname "$0")/request_timing.py" hold "$request" "$rounds" "$helper_log" "$1"
  stop "$daemon" "$names"
}

for delay in 0 30; do
  if [ -n "$base" ]; then run "today, dns ${delay} ms" "$base" "$delay"; fi
  run "hold, dns ${delay} ms" "$hold_bin" "$delay"
done
