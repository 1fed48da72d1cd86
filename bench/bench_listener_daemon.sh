#!/usr/bin/env bash
# Timing figures of the helper's daemon, measured on the real program inside a
# throw-away namespace (run as root; build without sanitizers for the memory figure):
#   - request rewritten -> hosts file rewritten: latency p50/p99/max over many rewrites;
#   - wake-ups of an idle daemon (its threads' context switches per minute);
#   - resident memory while blocking with the listener up.
# Usage: bench/bench_listener_daemon.sh <folder with tarrow-helper> [rewrites] [idle seconds]
source "$(dirname "$0")/../tests/support/lib.sh"
bin=$(cd "${1:?usage: $0 <folder with tarrow-helper> [rewrites] [idle seconds]}" && pwd)
rewrites=${2:-100} idle=${3:-30}
in_namespace "$bin" "$rewrites" "$idle"
request=$work/request/blocked-hosts
write_request $(printf 'base%d.example ' $(seq 1 50))
start_daemon
pid=$daemon
wait_for 5 hosts_has 127.0.0.2 base50.example || fail "not blocked"

python3 "$(dirname "$0")/request_timing.py" single "$request" "$rewrites"

status() { awk -v key="$1:" '$1 == key {print $2}' "/proc/$pid/status"; }
echo "resident memory while blocking: VmRSS=$(status VmRSS) kB VmHWM=$(status VmHWM) kB threads=$(status Threads)"

switches() {
  cat /proc/"$pid"/task/*/status | awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {s += $2} END {print s}'
}
measure_idle() {
  local before after
  before=$(switches)
  sleep "$idle"
  after=$(switches)
  echo "$1: $((after - before)) wake-ups in $idle s ($(((after - before) * 60 / idle)) per minute, $(ls /proc/$pid/task | wc -l) threads)"
}
measure_idle "idle while blocking (listener up, no connections)"

write_request
wait_for 5 no_section || fail "not unblocked"
measure_idle "idle with nothing blocked"
echo "resident memory idle: VmRSS=$(status VmRSS) kB"

# Blocking again for the load.
write_request $(printf 'base%d.example ' $(seq 1 50))
wait_for 5 hosts_has 127.0.0.2 base50.example || fail "not blocked again"
# Memory after load: 2000 short requests, then 200 clients that hold their connection
# after sending an unfinished head or hello of 12-16 KB (64 of them are handled at
# once, each with its buffer).
python3 - <<'PY'
import socket, time
for i in range(2000):
    s = socket.create_connection(("127.0.0.2", 80))
    s.sendall(b"GET / HTTP/1.1\r\nHost: base%d.example\r\n\r\n" % (i % 50 + 1))
    while s.recv(65536): pass
    s.close()
held = []
for i in range(200):
    s = socket.create_connection(("127.0.0.2", 443 if i % 2 else 80))
    s.sendall(b"\x16\x03\x01\x3f\xff\x01" + b"x" * 16000 if i % 2 else b"GET / HTTP/1.1\r\n" + b"X: y\r\n" * 2000)
    held.append(s)
time.sleep(1)
PY
echo "resident memory after 2000 requests and 200 held connections: VmRSS=$(status VmRSS) kB VmHWM=$(status VmHWM) kB"
